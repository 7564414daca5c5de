// The suggest command of mvimport-cli on a station folder made here: what it
// prints for the lines the check leaves unmatched, and that it leaves every
// file as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/testing/runcli.h"
#include "matching/tests/station.h"

namespace cli {
namespace {

using clitest::CliRun;
using clitest::PathText;
using stationtest::Cp;
using stationtest::PrintTo;

void writeFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

std::string pad(std::string_view utf8, std::size_t width) {
  std::string text = Cp(utf8);
  text.resize(width, ' ');
  return text;
}

// A Mirvane line: title in columns 7-38, artist (or the jingle marker) in 39-70.
std::string line(std::string_view time, std::string_view title, std::string_view artist) {
  return std::string(time) + " " + pad(title, 32) + pad(artist, 32) + "\r\n";
}

// Every file of the folder with its bytes.
std::map<std::string, std::string> snapshot(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    files[PathText(entry.path())] = bytes.str();
  }
  return files;
}

struct Printed {
  int hour, number, rank, score;
  std::string artist, name, path;  // UTF-8
};

std::vector<Printed> parse(const std::string& out) {
  std::vector<Printed> rows;
  std::istringstream lines(out);
  std::string text;
  while (std::getline(lines, text)) {
    std::vector<std::string> f;
    std::size_t start = 0;
    for (std::size_t tab; (tab = text.find('\t', start)) != std::string::npos; start = tab + 1) {
      f.push_back(text.substr(start, tab - start));
    }
    f.push_back(text.substr(start));
    EXPECT_EQ(f.size(), 7u) << text;
    if (f.size() != 7) continue;
    rows.push_back({std::stoi(f[0]), std::stoi(f[1]), std::stoi(f[2]), std::stoi(f[3]), f[4], f[5], f[6]});
  }
  return rows;
}

class CliSuggestTest : public ::testing::Test {
 protected:
  CliSuggestTest() {
    station.Songs({stationtest::SongRow("Artist Seven", "Song Seven", "C:\\m\\7.mp3"),
                   stationtest::SongRow("Кино", "Группа крови", "C:\\m\\Кино.mp3"),
                   stationtest::SongRow("Queen", "Bohemian Rhapsody", "C:\\m\\queen.mp3"),
                   stationtest::SongRow("Queen", "Bohemian Rhapsody (Live)", "C:\\m\\queen live.mp3"),
                   stationtest::SongRow("The Beatles", "Hey Jude", "C:\\m\\jude.mp3")});
    station.Jingles({stationtest::JingleRow("Top of the Hour", "C:\\j\\top.wav"),
                     stationtest::JingleRow("Hour", "C:\\j\\hour.wav")});
    // A stale row: its file left the song base; the check keeps it on No.
    station.Associations({{"Alias", "Alias Song", "C:\\gone\\alias.mp3"}});
    station.PlayList();
    writeFile(station.dir.path() / "station.ini",
              "[Setting]\r\nMVPath=" + station.dir.Folder() + "\r\nBasePath=" + station.dir.Folder() +
                  "\r\nMethod=0\r\nArtist_Start=39\r\nArtist_End=70\r\nName_Start=7\r\nName_End=38\r\n"
                  "Use_Jingle=1\r\nJArtist_Start=39\r\nJArtist_End=70\r\nJName_Start=7\r\nJName_End=38\r\n"
                  "Jingle_Artist=" + Cp("Джингл") + "\r\n[Hours]\r\nMorning=7\r\n");
    writeFile(playlist(), line("07:00", "Song Seven", "Artist Seven") + line("07:03", "Gruppa krovi", "Kino") +
                              line("07:06", "Bohemian Rapsody", "Queen") +
                              line("07:09", "Top of the Hour (remix)", "Джингл") +
                              line("07:12", "Lost Song", "Nobody Knows") + line("08:00", "Alias Song", "Alias") +
                              line("08:03", "Hey Jude", "Beatles"));
  }

  std::filesystem::path playlist() const { return station.dir.path() / "day.txt"; }

  CliRun run(const std::string& options) {
    db::TableCache::Clear();
    return clitest::RunCli(MVIMPORT_CLI,
                           "suggest --ini \"" + PathText(station.dir.path() / "station.ini") + "\" " + options +
                               " \"" + PathText(playlist()) + "\"",
                           outputs.path());
  }

  stationtest::Station station;
  stationtest::TempDir outputs;  // the command's output files, apart from the station
};

TEST_F(CliSuggestTest, PrintsRankedCandidatesOfTheUnmatchedLinesOnly) {
  const CliRun result = run("");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(result.err.empty()) << result.err;
  const auto printed = parse(result.out);
  std::map<std::pair<int, int>, std::vector<Printed>> byLine;
  for (const auto& p : printed) byLine[{p.hour, p.number}].push_back(p);
  // Matched by the base (7 1) and by the stale association (8 1): nothing.
  EXPECT_EQ(byLine.count({7, 1}), 0u);
  EXPECT_EQ(byLine.count({8, 1}), 0u);
  // A song the base lacks gets no strong candidate.
  for (const auto& p : byLine[{7, 5}]) EXPECT_LT(p.score, 80) << p.artist << " " << p.name;

  struct Expected {
    int hour, number;
    std::string artist, name, path;
  };
  for (const Expected& e : {Expected{7, 2, "Кино", "Группа крови", "C:\\m\\Кино.mp3"},
                            Expected{7, 3, "Queen", "Bohemian Rhapsody", "C:\\m\\queen.mp3"},
                            Expected{7, 4, "", "Top of the Hour", "C:\\j\\top.wav"},
                            Expected{8, 2, "The Beatles", "Hey Jude", "C:\\m\\jude.mp3"}}) {
    const auto& found = byLine[{e.hour, e.number}];
    ASSERT_FALSE(found.empty()) << e.hour << " " << e.number;
    EXPECT_EQ(found[0].rank, 1);
    EXPECT_GE(found[0].score, 80);
    EXPECT_LE(found[0].score, 100);
    EXPECT_EQ(found[0].artist, e.artist);
    EXPECT_EQ(found[0].name, e.name);
    EXPECT_EQ(found[0].path, e.path);  // as the base stores it, not upper-cased
    for (std::size_t i = 1; i < found.size(); ++i) {
      EXPECT_EQ(found[i].rank, static_cast<int>(i) + 1);
      EXPECT_LE(found[i].score, found[i - 1].score);
    }
  }
  // Both takes of the song, the studio one first.
  ASSERT_EQ((byLine[{7, 3}].size()), 2u);
  EXPECT_EQ((byLine[{7, 3}][1].name), "Bohemian Rhapsody (Live)");
  // Lines are printed hour by hour, in list order.
  for (std::size_t i = 1; i < printed.size(); ++i) {
    EXPECT_LE(std::pair(printed[i - 1].hour, printed[i - 1].number), std::pair(printed[i].hour, printed[i].number));
  }
}

TEST_F(CliSuggestTest, TopAndHoursChooseWhatIsPrinted) {
  std::size_t firsts = 0;
  for (const auto& p : parse(run("").out)) firsts += p.rank == 1 ? 1 : 0;
  CliRun result = run("--top 1");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const auto& p : parse(result.out)) EXPECT_EQ(p.rank, 1);
  EXPECT_EQ(parse(result.out).size(), firsts);

  for (const std::string options : {"--hours 8", "--template Morning"}) {
    result = run(options);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto printed = parse(result.out);
    ASSERT_FALSE(printed.empty()) << options;
    for (const auto& p : printed) EXPECT_EQ(p.hour, options == "--hours 8" ? 8 : 7) << options;
  }
  result = run("--hours 9-10");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(result.out.empty());
}

TEST_F(CliSuggestTest, ExactMatchesPrintNothing) {
  writeFile(playlist(), line("07:00", "Song Seven", "Artist Seven") + line("07:03", "HEY JUDE", "the beatles") +
                            line("07:06", "Top of the Hour", "Джингл"));
  const CliRun result = run("");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
}

// No byte of any file changes and no file appears, whatever the command reads;
// a missing Association.db is not created, the bases fill the paths alone.
TEST_F(CliSuggestTest, WritesNothing) {
  const auto before = snapshot(station.dir.path());
  ASSERT_EQ(run("").exitCode, 0);
  ASSERT_EQ(run("--template Morning --top 5").exitCode, 0);
  EXPECT_EQ(snapshot(station.dir.path()), before);

  std::filesystem::remove(core::FsPath(station.paths.AssociationPath));
  const auto withoutAssociations = snapshot(station.dir.path());
  const CliRun result = run("");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(snapshot(station.dir.path()), withoutAssociations);
  EXPECT_FALSE(std::filesystem::exists(core::FsPath(station.paths.AssociationPath)));
  // The bases alone still match the first line and leave the others to suggest.
  const auto printed = parse(result.out);
  ASSERT_FALSE(printed.empty());
  for (const auto& p : printed) EXPECT_FALSE(p.hour == 7 && p.number == 1);
}

struct FailureCase {
  std::string_view name;
  std::string options;
  int exitCode;
  std::string message;  // part of the error output
};

class CliSuggestFailureTest : public CliSuggestTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliSuggestFailureTest, ReportsWhyAndPrintsNoCandidates) {
  const FailureCase& c = GetParam();
  const auto before = snapshot(station.dir.path());
  const CliRun result = run(c.options);
  EXPECT_EQ(result.exitCode, c.exitCode);
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty());
  EXPECT_EQ(snapshot(station.dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliSuggestFailureTest,
    ::testing::Values(FailureCase{"UnknownOption", "--fast", 2, "unknown option --fast"},
                      FailureCase{"BadHours", "--hours 7-25", 2, "--hours takes hours"},
                      FailureCase{"TopZero", "--top 0", 2, "--top takes a number from 1 to 100"},
                      FailureCase{"TopTooMany", "--top 101", 2, "--top takes a number from 1 to 100"},
                      FailureCase{"TopNotANumber", "--top three", 2, "--top takes a number from 1 to 100, not three"},
                      FailureCase{"HoursAndTemplate", "--hours 7 --template Morning", 2, "exclude each other"},
                      FailureCase{"MissingTemplate", "--template Evening", 1, "no hour template Evening"}),
    stationtest::CaseName());

TEST_F(CliSuggestTest, RefusesWithoutTheBasesOrThePlaylist) {
  std::filesystem::remove(core::FsPath(station.paths.JinglesPath));
  CliRun result = run("");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Не найдена база джинглов!\nНет файла " + stationtest::Utf(station.paths.JinglesPath) + "\n");
  std::filesystem::remove(core::FsPath(station.paths.BaseSongPath));
  result = run("");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Не найдена база песен!\nНет файла " + stationtest::Utf(station.paths.BaseSongPath) + "\n");
  std::filesystem::remove(playlist());
  result = run("");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("Не удалось открыть файл плейлиста"), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty());
  EXPECT_EQ(clitest::RunCli(MVIMPORT_CLI, "suggest \"" + PathText(playlist()) + "\"", outputs.path()).exitCode, 2);
}

}  // namespace
}  // namespace cli
