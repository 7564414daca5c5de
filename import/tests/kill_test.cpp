// The import killed at random moments (SIGKILL, as a crash or a task manager
// would end it): once the table is opened again, every row is as before the
// import or every row as after it, never a mix. The playlist's size and the
// number of kills come from MVIMPORT_KILL_ROWS and MVIMPORT_KILLS (small by
// default, so the suite stays quick; the closing checks run 100 000 rows).
#include <gtest/gtest.h>

#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <thread>

#include "cli/testing/runcli.h"
#include "db/paradox/table.h"
#include "matching/tests/station.h"

namespace importing {
namespace {

using stationtest::Cp;

int fromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? std::atoi(text) : fallback;
}

// The rows as the program reads them once any unfinished write is rolled
// back, sorted: the import may store them in another order than a rerun.
std::vector<std::string> rowsOf(const std::string& path) {
  std::vector<std::string> lines = stationtest::FileLines(path);
  std::sort(lines.begin(), lines.end());
  return lines;
}

std::string pad(std::string_view text, std::size_t width) {
  std::string s = Cp(text);
  s.resize(width, ' ');
  return s;
}

class KillTest : public ::testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const int rows = fromEnvironment("MVIMPORT_KILL_ROWS", 3000);
    std::vector<std::vector<std::string>> songs;
    for (int i = 0; i < 60; ++i) {
      songs.push_back(stationtest::SongRow("Artist " + std::to_string(i), "Song " + std::to_string(i),
                                           "C:\\m\\" + std::to_string(i) + ".mp3", i));
    }
    m_station.Songs(songs);
    m_station.PlayList();
    // The old playlist: every hour of the days around 1 March 2016 filled.
    db::ParadoxTable table(m_station.paths.PlayListPath);
    std::vector<db::Row> old;
    for (int i = 0; i < rows; ++i) {
      db::Row row(table.fields().size());
      row[0] = core::EncodeDate(2016, 2, 20) + (i / 24 / 20) % 20;
      row[1] = std::int64_t{(i / 20) % 24};
      row[2] = std::int64_t{i % 20};
      row[3] = std::string("C:\\old\\") + std::to_string(i) + ".mp3";
      row[5] = std::string("old ") + std::to_string(i);
      old.push_back(std::move(row));
    }
    table.Append(old);
    std::string text;
    for (int h = 0; h < 24; ++h) {
      const std::string hh = (h < 10 ? "0" : "") + std::to_string(h);
      text += "Russkoe Radio Hour " + hh + ":00-" + hh + ":59     " + pad("01.03.2016", 16) + "\r\n";
      for (int k = 0; k < 20; ++k) {
        const int song = (h * 20 + k) % 60;
        text += "07:00:00 PG000001 " + pad("Artist " + std::to_string(song), 18) +
                pad("Song " + std::to_string(song), 19) + "03:30\r\n";
      }
    }
    std::ofstream(m_station.dir.path() / "day.log", std::ios::binary) << text;
    std::ofstream(m_station.dir.path() / "station.ini", std::ios::binary)
        << "[Setting]\r\nMVPath=" + m_station.dir.Folder() + "\r\nBasePath=" + m_station.dir.Folder() +
               "\r\nMethod=2\r\nArtist_Start=19\r\nArtist_End=36\r\nName_Start=37\r\nName_End=55\r\n";
    backup(".orig");
  }

  std::vector<std::string> tableFiles() const {
    return {m_station.paths.PlayListPath, m_station.paths.AssociationPath};
  }
  void backup(const std::string& suffix) const {
    for (const std::string& f : tableFiles()) {
      if (std::filesystem::exists(core::FsPath(f))) {
        std::filesystem::copy_file(core::FsPath(f), core::FsPath(f + suffix),
                                   std::filesystem::copy_options::overwrite_existing);
      }
    }
  }
  void restore() const {
    for (const std::string& f : tableFiles()) {
      std::error_code ec;
      std::filesystem::remove(core::FsPath(f), ec);
      std::filesystem::remove(core::FsPath(f + "-journal"), ec);
      if (std::filesystem::exists(core::FsPath(f + ".orig"))) {
        std::filesystem::copy_file(core::FsPath(f + ".orig"), core::FsPath(f));
      }
    }
    std::filesystem::remove_all(m_station.dir.path() / "ImportUndo");
    db::TableCache::Clear();
  }

  // Starts the import; returns its process.
  pid_t start() const {
    const pid_t pid = ::fork();
    if (pid == 0) {
      const std::string ini = clitest::PathText(m_station.dir.path() / "station.ini");
      const std::string day = clitest::PathText(m_station.dir.path() / "day.log");
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      ::dup2(null, 2);
      ::execl(MVIMPORT_CLI, MVIMPORT_CLI, "import", "--ini", ini.c_str(), "--date", "01.03.2016", "--clear",
              GetParam(), day.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }

  stationtest::Station m_station;
};

TEST_P(KillTest, LeavesTheRowsOfBeforeOrOfAfter) {
  const std::vector<std::string> before = rowsOf(m_station.paths.PlayListPath);
  const auto began = std::chrono::steady_clock::now();
  int status = 0;
  ::waitpid(start(), &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto took = std::chrono::steady_clock::now() - began;
  db::TableCache::Clear();
  const std::vector<std::string> after = rowsOf(m_station.paths.PlayListPath);
  ASSERT_NE(before, after);

  std::mt19937 random(7);
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
  const int kills = fromEnvironment("MVIMPORT_KILLS", 12);
  int asBefore = 0;
  int asAfter = 0;
  for (int k = 0; k < kills; ++k) {
    restore();
    const pid_t pid = start();
    std::this_thread::sleep_for(std::chrono::microseconds(random() % (span + 1)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    db::TableCache::Clear();
    const std::vector<std::string> now = rowsOf(m_station.paths.PlayListPath);
    ASSERT_TRUE(now == before || now == after) << "kill " << k << ": " << now.size() << " rows";
    (now == before ? asBefore : asAfter) += 1;
  }
  std::cout << "      " << kills << " kills: " << asBefore << " as before, " << asAfter << " as after\n";
}

INSTANTIATE_TEST_SUITE_P(Modes, KillTest, ::testing::Values("hours", "day", "none"));

}  // namespace
}  // namespace importing

#endif
