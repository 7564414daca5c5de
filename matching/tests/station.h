// A small station made in a test: a folder with the tables built through the
// program's own CREATE TABLE and table object, and an operator that answers
// from a script and records what it was told. Shared by the tests of
// matching/, assoc/ and import/.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

#include "core/codec.h"
#include "core/daymodel.h"
#include "core/fspath.h"
#include "core/settings.h"
#include "db/query.h"
#include "db/station.h"
#include "db/stationtables.h"
#include "db/table.h"
#include "db/values.h"
#include "db/tablecache.h"
#include "matching/operatorui.h"

namespace stationtest {

inline std::string Cp(std::string_view utf8) { return core::cp1251(utf8); }
inline std::string Utf(std::string_view cp1251) { return core::cp1251ToUtf8(cp1251); }

// A fresh folder with a Cyrillic name, removed with its contents at the end.
class TempDir {
 public:
  TempDir() {
    static std::atomic<int> counter{0};
    const std::string name = Cp("станция_") + std::to_string(::getpid()) + "_" + std::to_string(counter++);
    m_dir = std::filesystem::temp_directory_path() / core::FsPath(name);
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_dir, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_dir; }
  // CP1251 name of the folder, with a trailing separator.
  std::string Folder() const { return core::FromFsPath(m_dir) + "/"; }
  std::string File(std::string_view utf8Name) const { return Folder() + Cp(utf8Name); }

 private:
  std::filesystem::path m_dir;
};

inline void AppendRows(const std::string& path, const std::vector<std::vector<std::string>>& utf8Rows) {
  db::Table table(path);
  table.Open();
  for (const auto& row : utf8Rows) {
    table.Append();
    for (std::size_t i = 0; i < row.size(); ++i) table.SetFieldAsString(table.Fields()[i].name, Cp(row[i]));
    table.Post();
  }
  table.Close();
}

// Creates a table and appends rows, every value given as UTF-8 text (empty
// text leaves the field blank).
inline void MakeTable(const std::string& path, std::string_view utf8Columns,
                      const std::vector<std::vector<std::string>>& utf8Rows = {}) {
  db::Query create;
  create.Add("Create TABLE " + db::Quoted(path) + " (");
  create.Add(Cp(utf8Columns) + ")");
  create.ExecSQL();
  AppendRows(path, utf8Rows);
}

// The rows the file holds (not the cache): the values read as text, joined
// by TAB, as UTF-8.
inline std::vector<std::string> FileLines(const std::string& path) {
  const db::ParadoxTable table(path);
  std::vector<std::string> lines;
  for (const db::Row& row : table.ReadAll()) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) line += '\t';
      line += Utf(db::ReadAsString(row[i], table.fields()[i]));
    }
    lines.push_back(line);
  }
  return lines;
}

// Column layouts as the automation system keeps its tables, with a column of
// its own the program never touches.
inline constexpr std::string_view kSongColumns =
    "FArtist Char(64), FName Char(64), FPath Char(160), FTime TIME, FIntro TIME, FOutro TIME, "
    "FProtect TIME, FStartTime TIME, FAbort TIME, FFadeInLen TIME, FFadeOutLen TIME, FMixOut TIME, "
    "FMixIn TIME, FStartVol SMALLINT, FEndVol SMALLINT, FNoAutoMix BOOLEAN, FCategory Char(32), "
    "FStyle Char(32), FMood Char(32), FSex Char(16), FLanguage Char(32), FRating INTEGER";
inline constexpr std::string_view kJingleColumns =
    "FName Char(64), FPath Char(160), FTime TIME, FStartTime TIME, FFadeInLen TIME, FFadeOutLen TIME, "
    "FMixOut TIME, FMixIn TIME, FStartVol SMALLINT, FEndVol SMALLINT, FNoAutoMix BOOLEAN";
inline constexpr std::string_view kPlayListColumns =
    "FDate DATE, FHour SMALLINT, FNumber INTEGER, FPath Char(160), FArtist Char(64), FName Char(64), "
    "FTime TIME, FIntro TIME, FOutro TIME, FProtect TIME, FStartTime TIMESTAMP, FAbort TIME, "
    "FFadeInLen TIME, FFadeOutLen TIME, FMixOut TIME, FMixIn TIME, FStartVol SMALLINT, FEndVol SMALLINT, "
    "FNoAutoMix BOOLEAN, FType SMALLINT, FCategory Char(32), FStyle Char(32), FMood Char(32), "
    "FSex Char(16), FLanguage Char(32), FPlayed BOOLEAN";
inline constexpr std::string_view kAssociationColumns = "FArtist Char(64), FName Char(64), FPath Char(160)";

// A song base row with every timing field filled from one seed, so rows differ.
inline std::vector<std::string> SongRow(const std::string& artist, const std::string& name,
                                        const std::string& path, int seed = 1) {
  auto t = [&](int k) { return "00:0" + std::to_string(k % 10) + ":" + std::to_string(10 + seed % 50); };
  return {artist, name, path, t(3), t(1), t(2), t(4), t(0), t(5), t(6), t(7), t(8), t(9),
          std::to_string(seed), std::to_string(100 - seed), seed % 2 ? "True" : "False",
          "cat" + std::to_string(seed), "style", "mood", "M", "ru", "7"};
}

inline std::vector<std::string> JingleRow(const std::string& name, const std::string& path, int seed = 1) {
  auto t = [&](int k) { return "00:00:0" + std::to_string((k + seed) % 10); };
  return {name, path, t(1), t(2), t(3), t(4), t(5), t(6), std::to_string(seed), std::to_string(50 + seed),
          seed % 2 ? "True" : "False"};
}

// The station folder: MVPath and BasePath both point at it. Tables are made
// only when asked for.
struct Station {
  TempDir dir;
  core::TSetts setts;
  db::StationPaths paths;
  db::Station tables;  // what the actions are given

  Station() {
    setts.MVPath = dir.Folder();
    setts.BasePath = dir.Folder();
    paths = db::MakeStationPaths(setts);
    tables.SetPaths(setts);
  }
  ~Station() { db::TableCache::Clear(); }

  void Songs(const std::vector<std::vector<std::string>>& rows) { MakeTable(paths.BaseSongPath, kSongColumns, rows); }
  void Jingles(const std::vector<std::vector<std::string>>& rows) { MakeTable(paths.JinglesPath, kJingleColumns, rows); }
  void Associations(const std::vector<std::vector<std::string>>& rows) {
    MakeTable(paths.AssociationPath, kAssociationColumns, rows);
  }
  void PlayList(const std::vector<std::vector<std::string>>& rows = {}) {
    MakeTable(paths.PlayListPath, kPlayListColumns, rows);
  }
};

// Appends an entry to an hour of the day with its path (all texts UTF-8).
inline void AddEntry(core::DayPlaylist& day, int hour, std::string_view artist, std::string_view name, int kind,
                     std::string_view path) {
  core::AppendSong(day, hour, Cp(artist), Cp(name), kind);
  core::SetPath(day.Songs[static_cast<std::size_t>(hour)].back(), Cp(path));
}

// Names the instances of a table of cases after their `name` member.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
    return std::string(param.param.name);
  }
};

// Prints a case of a table by its name when a test fails. Bring it into the
// test's namespace (using stationtest::PrintTo) for GoogleTest to find it.
template <class Case>
  requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

// One report of the progress panel.
struct Indicator {
  std::string text;  // UTF-8
  int current = 0;
  int overall = 0;
  bool operator==(const Indicator&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Indicator& i) {
  return out << "{\"" << i.text << "\", " << i.current << ", " << i.overall << "}";
}

// Answers from a script and records every message, question and report
// (texts kept as UTF-8). A question the script does not answer fails the test.
class ScriptedUi : public matching::OperatorUi {
 public:
  std::deque<bool> yesNo;
  std::deque<matching::Answer> batch;
  std::deque<std::string> picks;  // UTF-8 paths the pickers return

  std::vector<std::string> errors, infos, warnings, questions;
  std::vector<Indicator> indicators;
  struct PickerCall {
    std::string table, prefix, artist, name;  // UTF-8; artist empty for the jingle picker
    bool jingle = false;
  };
  std::vector<PickerCall> pickerCalls;

  void showError(const std::string& text) override { errors.push_back(Utf(text)); }
  void showErrorDetails(const std::string& text, const std::string& informative) override {
    errors.push_back(Utf(text));
    details.push_back(Utf(informative));
  }
  std::vector<std::string> details;
  void showInfo(const std::string& text) override { infos.push_back(Utf(text)); }
  void showWarning(const std::string& text) override { warnings.push_back(Utf(text)); }
  bool askYesNo(const std::string& question) override {
    questions.push_back(Utf(question));
    if (yesNo.empty()) {
      ADD_FAILURE() << "unexpected question: " << Utf(question);
      return false;
    }
    const bool answer = yesNo.front();
    yesNo.pop_front();
    return answer;
  }
  matching::Answer askBatch(const std::string& question) override {
    questions.push_back(Utf(question));
    if (batch.empty()) {
      ADD_FAILURE() << "unexpected question: " << Utf(question);
      return matching::Answer::Cancel;
    }
    const matching::Answer answer = batch.front();
    batch.pop_front();
    return answer;
  }
  void ShowIndicator(const std::string& text, int current, int overall) override {
    indicators.push_back({Utf(text), current, overall});
  }
  std::string GetSongPath(const std::string& tablePath, const std::string& prefix, const std::string& artist,
                          const std::string& name) override {
    pickerCalls.push_back({Utf(tablePath), Utf(prefix), Utf(artist), Utf(name), false});
    return nextPick();
  }
  std::string GetJinglePath(const std::string& tablePath, const std::string& prefix,
                            const std::string& name) override {
    pickerCalls.push_back({Utf(tablePath), Utf(prefix), {}, Utf(name), true});
    return nextPick();
  }

 private:
  std::string nextPick() {
    if (picks.empty()) {
      ADD_FAILURE() << "unexpected picker";
      return {};
    }
    const std::string path = Cp(picks.front());
    picks.pop_front();
    return path;
  }
};

}  // namespace stationtest
