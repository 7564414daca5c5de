// The import command of mvimport-cli, run as a station's scheduled job runs it,
// on a station folder made here.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "cli/testing/runcli.h"
#include "import/tests/pxtable.h"
#include "matching/tests/station.h"

namespace importing {
namespace {

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

// A PowerGold line: artist in columns 19-36, title in 37-55.
std::string songLine(std::string_view time, std::string_view artist, std::string_view title) {
  return std::string(time) + " PG000001 " + pad(artist, 18) + pad(title, 19) + "03:30\r\n";
}

std::string header(int hour, std::string_view date) {
  const std::string hh = (hour < 10 ? "0" : "") + std::to_string(hour);
  return "Russkoe Radio Hour " + hh + ":00-" + hh + ":59     " + pad(date, 16) + "\r\n";
}

using clitest::CliRun;
using clitest::PathText;

class CliImportTest : public ::testing::Test {
 protected:
  CliImportTest() {
    station.Songs({stationtest::SongRow("Artist Seven", "Song Seven", "C:\\m\\7.mp3"),
                   stationtest::SongRow("Artist Eight", "Song Eight", "C:\\m\\8.mp3"),
                   stationtest::SongRow("Артист", "Песня", "C:\\m\\п.mp3")});
    station.Jingles({stationtest::JingleRow("Top", "C:\\j\\top.wav"), stationtest::JingleRow("Hour", "C:\\j\\hour.wav")});
    station.PlayList();
    writeFile(station.dir.path() / "station.ini",
              "[Setting]\r\nMVPath=" + station.dir.Folder() + "\r\nBasePath=" + station.dir.Folder() +
                  "\r\nMethod=2\r\nArtist_Start=19\r\nArtist_End=36\r\nName_Start=37\r\nName_End=55\r\n"
                  "[Hours]\r\nMorning=7\r\n");
    writePlaylist("01.03.2016");
  }

  void writePlaylist(std::string_view date) {
    writeFile(playlist(), header(7, date) + songLine("07:00:00", "Artist Seven", "Song Seven") +
                              songLine("07:03:30", "Nobody Knows", "Lost Song") +
                              songLine("07:06:00", "Артист", "Песня") + "Total Time: 00:58:00\r\n" +
                              header(8, date) + songLine("08:00:00", "Artist Eight", "Song Eight") +
                              songLine("08:03:00", "Artist Seven", "Song Seven") + "Total Time: 00:58:00\r\n");
  }

  std::filesystem::path playlist() const { return station.dir.path() / "day.log"; }

  CliRun run(const std::string& options) {
    return clitest::RunCli(MVIMPORT_CLI, "import " + options, station.dir.path());
  }

  CliRun runWithIni(const std::string& options) {
    db::TableCache::Clear();  // the command writes the tables from another process
    return run("--ini \"" + PathText(station.dir.path() / "station.ini") + "\" " + options + " \"" +
               PathText(playlist()) + "\"");
  }

  stationtest::Station station;
};

TEST_F(CliImportTest, ImportsTheDayWithJinglesAndReportsEachHour) {
  const CliRun result = runWithIni("--jingles-every 2 --jingles Top --seed 1");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "hour\ttarget\tentries\tmatched\twritten\tremoved\tnot in base\n"
            "7\t01.03.2016 7\t4\t3\t3\t0\t0\n"
            "8\t01.03.2016 8\t3\t3\t3\t0\t0\n"
            "unmatched\t1\n"
            "7 2 Nobody Knows - Lost Song\n"
            "Импорт выполнен!\n");
  EXPECT_TRUE(result.err.empty());
  EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath),
            (std::vector<std::string>{"01.03.2016 7 0 Song Seven", "01.03.2016 7 1 Top", "01.03.2016 7 2 Песня",
                                      "01.03.2016 8 0 Song Eight", "01.03.2016 8 1 Top",
                                      "01.03.2016 8 2 Song Seven"}));
  // Association.db was created without a question.
  EXPECT_TRUE(stationtest::FileLines(station.paths.AssociationPath).empty());
}

TEST_F(CliImportTest, DateHoursAndClearModeFromTheOptions) {
  ASSERT_EQ(runWithIni("").exitCode, 0);
  CliRun result = runWithIni("--date 02.03.2016 --hours 8,9 --clear none");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "hour\ttarget\tentries\tmatched\twritten\tremoved\tnot in base\n"
            "8\t02.03.2016 8\t2\t2\t2\t0\t0\n"
            "9\t02.03.2016 9\t0\t0\t0\t0\t0\n"
            "unmatched\t0\n"
            "Импорт выполнен!\n");
  result = runWithIni("--template Morning --clear none");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath),
            (std::vector<std::string>{"01.03.2016 7 0 Song Seven", "01.03.2016 7 1 Песня", "01.03.2016 8 0 Song Eight",
                                      "01.03.2016 8 1 Song Seven", "02.03.2016 8 0 Song Eight",
                                      "02.03.2016 8 1 Song Seven", "01.03.2016 7 2 Song Seven",
                                      "01.03.2016 7 3 Песня"}));
}

TEST_F(CliImportTest, StaleRowsAreKeptUnlessDeletionIsAsked) {
  station.Associations({{"Gone", "Song", "C:\\gone.mp3"}, {"Nobody Knows", "Lost Song", "C:\\m\\8.mp3"}});
  ASSERT_EQ(runWithIni("").exitCode, 0);
  EXPECT_EQ(stationtest::FileLines(station.paths.AssociationPath).size(), 2u);
  const CliRun result = runWithIni("--delete-stale");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(stationtest::FileLines(station.paths.AssociationPath),
            std::vector<std::string>{"Nobody Knows\tLost Song\tC:\\m\\8.mp3"});
  EXPECT_NE(result.out.find("unmatched\t0\n"), std::string::npos);  // the association matched it
}

struct FailureCase {
  std::string_view name;
  std::string options;
  int exitCode;
  std::string message;  // part of the error output
};

class CliFailureTest : public CliImportTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CliFailureTest, ReportsWhyAndWritesNothing) {
  const FailureCase& c = GetParam();
  const CliRun result = runWithIni(c.options);
  EXPECT_EQ(result.exitCode, c.exitCode);
  EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  EXPECT_TRUE(result.out.empty());
  EXPECT_TRUE(pxtest::Slots(station.paths.PlayListPath).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Options, CliFailureTest,
    ::testing::Values(
        FailureCase{"UnknownOption", "--fast", 2, "unknown option --fast"},
        FailureCase{"BadHours", "--hours 7-25", 2, "--hours takes hours"},
        FailureCase{"BadClear", "--clear week", 2, "--clear takes hours, day or none"},
        FailureCase{"HoursAndTemplate", "--hours 7 --template Morning", 2, "exclude each other"},
        FailureCase{"SeedAlone", "--seed 3", 2, "need --jingles-every"},
        FailureCase{"StepOutOfRange", "--jingles-every 21", 2, "--jingles-every takes a number from 1 to 20"},
        FailureCase{"BadDate", "--date 31.02.2016", 2, "--date takes a date"},
        FailureCase{"MissingTemplate", "--template Evening", 1, "no hour template Evening"},
        FailureCase{"UnknownJingle", "--jingles-every 2 --jingles \"Top;Noon\"", 1, "no jingle Noon in Jingles.db"},
        FailureCase{"DateTooEarly", "--date 04.01.2016", 1, "Укажите дату плейлиста!"}),
    stationtest::CaseName());

TEST_F(CliImportTest, RefusesASettingsFileThatIsNotWindows1251) {
  writeFile(station.dir.path() / "station.ini", std::string("\xFF\xFE[\0S\0e\0", 8));
  const CliRun result = runWithIni("");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("файл настроек сохранён в кодировке UTF-16"), std::string::npos) << result.err;
  EXPECT_TRUE(pxtest::Slots(station.paths.PlayListPath).empty());
}

TEST_F(CliImportTest, FailsWithoutADateOrASongBase) {
  writePlaylist("");
  CliRun result = runWithIni("");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Укажите дату плейлиста!\n");
  std::filesystem::remove(core::FsPath(station.paths.BaseSongPath));
  result = runWithIni("--date 01.03.2016");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Не найдена база песен!\nНет файла " + stationtest::Utf(station.paths.BaseSongPath) + "\n");
  EXPECT_EQ(run("\"" + PathText(playlist()) + "\"").exitCode, 2);  // no --ini
}

// Every file of the station folder but the command's own output, by name.
std::map<std::string, std::string> folderBytes(const std::filesystem::path& dir) {
  std::map<std::string, std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(dir)) {
    if (!item.is_regular_file()) continue;
    const std::string name = PathText(std::filesystem::relative(item.path(), dir));
    if (name == "out.txt" || name == "err.txt") continue;
    std::ifstream in(item.path(), std::ios::binary);
    files[name] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

// A dry run says what the import would do and leaves every file as it was:
// no Association.db, journal, lock or undo record appears.
TEST_F(CliImportTest, ADryRunChangesNoByteAndMakesNoFile) {
  stationtest::AppendRows(station.paths.PlayListPath, {{"01.03.2016", "7", "0", "", "", "old"}});
  db::TableCache::Clear();
  const auto before = folderBytes(station.dir.path());
  const CliRun result = runWithIni("--dry-run --delete-stale");
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "hour\ttarget\tentries\tmatched\twritten\tremoved\tnot in base\n"
            "7\t01.03.2016 7\t3\t2\t2\t1\t0\n"
            "8\t01.03.2016 8\t2\t2\t2\t0\t0\n"
            "unmatched\t1\n"
            "7 2 Nobody Knows - Lost Song\n"
            "Пробный запуск: ничего не записано (было бы удалено 1, добавлено 4).\n");
  EXPECT_EQ(folderBytes(station.dir.path()), before);
}

// Too few entries matched, or rows removed and none written (a file of
// another layout, or not text at all): refused, nothing changed; --force
// imports all the same.
TEST_F(CliImportTest, RefusesAnImportThatWouldLoseTheDay) {
  ASSERT_EQ(runWithIni("").exitCode, 0);
  const auto imported = folderBytes(station.dir.path());
  CliRun result = runWithIni("--min-matched 90");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Импорт отменён: сопоставлено 4 из 5 записей выбранных часов, меньше 90 % (--force — всё равно "
            "импортировать).\n");
  EXPECT_TRUE(result.out.empty());
  EXPECT_EQ(folderBytes(station.dir.path()), imported);

  writeFile(playlist(), "\xEF\xBB\xBF\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F \xE2\x80\x94 garbage\r\n\x01\x02\x03\r\n");
  const auto garbage = folderBytes(station.dir.path());
  result = runWithIni("--hours 7,8 --date 01.03.2016");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "Импорт отменён: он удалил бы 4 строки и не записал бы ни одной. Проверьте формат файла и "
            "сопоставления (--force — всё равно импортировать).\n");
  EXPECT_EQ(folderBytes(station.dir.path()), garbage);

  result = runWithIni("--hours 7,8 --date 01.03.2016 --force");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(pxtest::Slots(station.paths.PlayListPath).empty());
}

// history lists the imports, undo takes back the newest not undone.
TEST_F(CliImportTest, HistoryAndUndo) {
  const std::string ini = "--ini \"" + PathText(station.dir.path() / "station.ini") + "\"";
  ASSERT_EQ(runWithIni("--clear none").exitCode, 0);
  const auto afterFirst = pxtest::ReadRecords(station.paths.PlayListPath);
  ASSERT_EQ(runWithIni("--clear none").exitCode, 0);
  CliRun result = clitest::RunCli(MVIMPORT_CLI, "history " + ini, station.dir.path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  std::istringstream lines(result.out);
  std::string first, second, third;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_FALSE(std::getline(lines, third));
  EXPECT_EQ(first.rfind("2\tвыполнен\t", 0), 0u) << first;
  EXPECT_NE(first.find("\t01.03.2016\tnone\t0\t0\t4\t"), std::string::npos) << first;
  EXPECT_EQ(second.rfind("1\tвыполнен\t", 0), 0u) << second;

  result = clitest::RunCli(MVIMPORT_CLI, "undo " + ini, station.dir.path());
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Импорт отменён.\nУдалено 4 строки, восстановлено 0 строк.\n");
  db::TableCache::Clear();
  EXPECT_EQ(pxtest::ReadRecords(station.paths.PlayListPath), afterFirst);
  ASSERT_EQ(clitest::RunCli(MVIMPORT_CLI, "undo " + ini, station.dir.path()).exitCode, 0);
  result = clitest::RunCli(MVIMPORT_CLI, "undo " + ini, station.dir.path());
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "Нет импорта, который можно отменить.\n");
  db::TableCache::Clear();
  EXPECT_TRUE(pxtest::Slots(station.paths.PlayListPath).empty());
  result = clitest::RunCli(MVIMPORT_CLI, "history " + ini, station.dir.path());
  EXPECT_EQ(result.out.rfind("2\tотменён\t", 0), 0u) << result.out;
  EXPECT_EQ(clitest::RunCli(MVIMPORT_CLI, "undo", station.dir.path()).exitCode, 2);
}

#ifndef _WIN32
// Two copies started together: the second waits for the first, so the
// hours hold one import's rows, not two.
TEST_F(CliImportTest, TwoCopiesAtOnceDoNotDoubleAnHour) {
  const std::string args = "import --ini \"" + PathText(station.dir.path() / "station.ini") + "\" \"" +
                           PathText(playlist()) + "\"";
  for (int round = 0; round < 5; ++round) {
    const std::string both = clitest::Quoted(MVIMPORT_CLI) + " " + args + " >/dev/null 2>&1 & " +
                             clitest::Quoted(MVIMPORT_CLI) + " " + args + " >/dev/null 2>&1 & wait";
    ASSERT_EQ(std::system(both.c_str()), 0);
    db::TableCache::Clear();
    EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath),
              (std::vector<std::string>{"01.03.2016 7 0 Song Seven", "01.03.2016 7 1 Песня",
                                        "01.03.2016 8 0 Song Eight", "01.03.2016 8 1 Song Seven"}))
        << "round " << round;
  }
}
#endif

}  // namespace
}  // namespace importing
