// road_bench: times the association check and the import on a large station
// and sets each beside one plain read of the tables it works on. Builds the
// station in a temporary folder (or the folder given) and removes it after.
//
//   road_bench [FOLDER]
//
// Each step starts with the table cache empty, as after the program starts.
#include <chrono>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/query.h"
#include "db/station.h"
#include "db/table.h"
#include "db/stationtables.h"
#include "db/tablecache.h"
#include "db/values.h"
#include "import/playlistimport.h"
#include "matching/assoccheck.h"
#include "matching/review.h"

namespace {

constexpr int kSongs = 100000;
constexpr int kJingles = 2000;
constexpr int kAssociations = 30000;
constexpr int kPlaylistRows = 500000;
constexpr int kLinesPerHour = 20;
constexpr int kRowsPerDay = 480;
const core::TDateTime kImportDate = core::EncodeDate(2016, 3, 1);

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Field lists and rows through the value conversions, so every value is in the
// form the storage layer keeps.
struct BenchTable {
  std::string path;
  std::vector<db::Field> fields;
  std::vector<db::Row> rows;

  db::Row row(const std::vector<std::string>& texts) const {
    db::Row r;
    for (std::size_t i = 0; i < texts.size(); ++i) r.push_back(db::FromString(texts[i], fields[i], path));
    r.resize(fields.size());
    return r;
  }
  void write() const {
    db::ParadoxTable::Create(path, fields);
    db::ParadoxTable(path).Append(rows);
  }
};

std::vector<db::Field> alpha(std::initializer_list<std::pair<const char*, int>> names) {
  std::vector<db::Field> fields;
  for (const auto& [name, size] : names) fields.push_back({name, db::FieldType::Alpha, size});
  return fields;
}

void addFields(std::vector<db::Field>& fields, std::initializer_list<const char*> names, db::FieldType type, int size) {
  for (const char* name : names) fields.push_back({name, type, size});
}

std::string songPath(int n) { return "C:\\Music\\Artist " + std::to_string(n % 9000) + "\\Song " + std::to_string(n) + ".mp3"; }
std::string jinglePath(int n) { return "C:\\Jingles\\Jingle " + std::to_string(n) + ".wav"; }
std::string timeText(int seconds) {
  auto two = [](int v) { return std::string(v < 10 ? "0" : "") + std::to_string(v); };
  return two(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
}

BenchTable songBase(const std::string& path) {
  BenchTable t{path, alpha({{"FArtist", 64}, {"FName", 64}, {"FPath", 160}}), {}};
  addFields(t.fields, {"FTime", "FIntro", "FOutro", "FProtect", "FStartTime", "FAbort", "FFadeInLen", "FFadeOutLen",
                       "FMixOut", "FMixIn"}, db::FieldType::Time, 4);
  addFields(t.fields, {"FStartVol", "FEndVol"}, db::FieldType::Short, 2);
  addFields(t.fields, {"FNoAutoMix"}, db::FieldType::Logical, 1);
  for (const char* name : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) t.fields.push_back({name, db::FieldType::Alpha, 32});
  for (int n = 0; n < kSongs; ++n) {
    std::vector<std::string> v = {"Artist " + std::to_string(n % 9000), "Song " + std::to_string(n), songPath(n)};
    for (int k = 0; k < 10; ++k) v.push_back(timeText(60 + (n + k) % 300));
    v.insert(v.end(), {"100", "90", n % 2 ? "True" : "False", "Pop", "Dance", "Happy", "M", "ru"});
    t.rows.push_back(t.row(v));
  }
  return t;
}

BenchTable jingleBase(const std::string& path) {
  BenchTable t{path, alpha({{"FName", 64}, {"FPath", 160}}), {}};
  addFields(t.fields, {"FTime", "FStartTime", "FFadeInLen", "FFadeOutLen", "FMixOut", "FMixIn"}, db::FieldType::Time, 4);
  addFields(t.fields, {"FStartVol", "FEndVol"}, db::FieldType::Short, 2);
  addFields(t.fields, {"FNoAutoMix"}, db::FieldType::Logical, 1);
  for (int n = 0; n < kJingles; ++n) {
    std::vector<std::string> v = {"Jingle " + std::to_string(n), jinglePath(n)};
    for (int k = 0; k < 6; ++k) v.push_back(timeText(5 + (n + k) % 20));
    v.insert(v.end(), {"100", "100", "False"});
    t.rows.push_back(t.row(v));
  }
  return t;
}

// Every tenth row's file has left the base; every fiftieth row is a jingle's.
BenchTable associations(const std::string& path) {
  BenchTable t{path, alpha({{"FArtist", 64}, {"FName", 64}, {"FPath", 160}}), {}};
  for (int n = 0; n < kAssociations; ++n) {
    if (n % 50 == 0) {
      t.rows.push_back(t.row({"_JINGLES_", "JAlias " + std::to_string(n), jinglePath(n % kJingles)}));
    } else {
      const std::string file = n % 10 == 1 ? "C:\\Gone\\" + std::to_string(n) + ".mp3" : songPath(n * 3 % kSongs);
      t.rows.push_back(t.row({"Alias " + std::to_string(n), "Title " + std::to_string(n), file}));
    }
  }
  return t;
}

// 480 rows a day for about three years, the import date among them.
BenchTable playList(const std::string& path) {
  std::vector<db::Field> fields = {{"FDate", db::FieldType::Date, 4}, {"FHour", db::FieldType::Short, 2},
                                   {"FNumber", db::FieldType::Long, 4}};
  // Narrower than the automation system's own columns: a table made here has
  // 2048-byte blocks, and 500 000 rows of full width would not fit in it.
  for (auto f : alpha({{"FPath", 80}, {"FArtist", 32}, {"FName", 32}})) fields.push_back(f);
  addFields(fields, {"FTime", "FIntro", "FOutro", "FProtect", "FStartTime", "FAbort", "FFadeInLen", "FFadeOutLen",
                     "FMixOut", "FMixIn"}, db::FieldType::Time, 4);
  addFields(fields, {"FStartVol", "FEndVol"}, db::FieldType::Short, 2);
  addFields(fields, {"FNoAutoMix"}, db::FieldType::Logical, 1);
  addFields(fields, {"FType"}, db::FieldType::Short, 2);
  for (const char* name : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) fields.push_back({name, db::FieldType::Alpha, 4});
  BenchTable t{path, fields, {}};
  const core::TDateTime first = kImportDate - kPlaylistRows / kRowsPerDay / 2;
  for (int n = 0; n < kPlaylistRows; ++n) {
    const int song = n * 7 % kSongs;
    std::vector<std::string> v = {core::DateToStr(first + n / kRowsPerDay), std::to_string(n % kRowsPerDay / kLinesPerHour),
                                  std::to_string(n % kLinesPerHour), songPath(song), "Artist " + std::to_string(song % 9000),
                                  "Song " + std::to_string(song)};
    for (int k = 0; k < 10; ++k) v.push_back(timeText(60 + k));
    v.insert(v.end(), {"100", "90", "False", "0", "Pop", "Dance", "Happy", "M", "ru"});
    t.rows.push_back(t.row(v));
  }
  return t;
}

// 24 hours of 20 lines: songs by artist and title, songs known only by an
// association, jingles by title or association, and one unknown line an hour.
core::DayPlaylist fullDay() {
  core::DayPlaylist day;
  for (int h = 0; h < core::kHours; ++h) {
    for (int i = 0; i < kLinesPerHour; ++i) {
      const int n = h * kLinesPerHour + i;
      if (i == 19) {
        core::AppendSong(day, h, "Nobody", "Unknown " + std::to_string(n), core::kKindSong);
      } else if (i % 10 == 4) {
        core::AppendSong(day, h, "", "Jingle " + std::to_string(n), core::kKindJingle);
      } else if (i % 10 == 7) {
        core::AppendSong(day, h, "", "JAlias " + std::to_string(n * 50 % kAssociations), core::kKindJingle);
      } else if (i % 3 == 0) {
        const int a = n * 61 % kAssociations;
        core::AppendSong(day, h, "ALIAS " + std::to_string(a), "title " + std::to_string(a), core::kKindSong);
      } else {
        const int s = n * 211 % kSongs;
        core::AppendSong(day, h, "Artist " + std::to_string(s % 9000), "Song " + std::to_string(s), core::kKindSong);
      }
    }
  }
  day.HourSetts.fill(true);
  return day;
}

class QuietUi : public matching::OperatorUi {
 public:
  void showError(const std::string& text) override { throw std::runtime_error(core::cp1251ToUtf8(text)); }
  bool askYesNo(const std::string&) override { return true; }
  void showInfo(const std::string&) override {}
  void showWarning(const std::string& text) override { throw std::runtime_error(core::cp1251ToUtf8(text)); }
  matching::Answer askBatch(const std::string&) override { return matching::Answer::NoToAll; }
  void ShowIndicator(const std::string&, int, int) override {}
  std::string GetSongPath(const std::string&, const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string GetJinglePath(const std::string&, const std::string&, const std::string&) override { return {}; }
};

// One plain read of the tables, each opened anew: the floor a step is measured against.
double plainRead(const std::vector<std::string>& paths) {
  return secondsOf([&] {
    std::size_t rows = 0;
    for (const auto& path : paths) rows += db::ParadoxTable(path).ReadAll().size();
    if (rows == 0) std::cerr << "no rows read\n";
  });
}

struct Station {
  std::filesystem::path folder;
  core::TSetts setts;
  db::StationPaths paths;

  // Puts back the pristine copy of a table the previous step changed.
  void restore(const std::string& path) const {
    const auto file = core::FsPath(path);
    std::filesystem::copy_file(folder / "pristine" / file.filename(), file,
                               std::filesystem::copy_options::overwrite_existing);
    db::TableCache::Clear();
  }
};

void printStep(const std::string& name, double seconds, double floor) {
  std::cout << std::left << std::setw(34) << name << std::right << std::fixed << std::setprecision(1) << std::setw(10)
            << seconds * 1000 << std::setw(10) << floor * 1000 << std::setprecision(2) << std::setw(8)
            << seconds / floor << '\n';
}

void runSteps(const Station& st) {
  const std::vector<std::string> checkTables = {st.paths.BaseSongPath, st.paths.JinglesPath, st.paths.AssociationPath};
  const std::vector<std::string> importTables = {st.paths.PlayListPath, st.paths.BaseSongPath, st.paths.JinglesPath};
  const double checkFloor = plainRead(checkTables);
  const double importFloor = plainRead(importTables);
  std::cout << std::left << std::setw(34) << "step" << std::right << std::setw(10) << "ms" << std::setw(10)
            << "floor ms" << std::setw(8) << "ratio" << '\n';

  for (const auto stale : {matching::StaleRows::Keep, matching::StaleRows::Delete}) {
    st.restore(st.paths.AssociationPath);
    core::DayPlaylist day = fullDay();
    QuietUi ui;
    db::Station station;
    const double t = secondsOf([&] { matching::SBCheckClick(day, st.setts, station, kImportDate, ui, stale); });
    const auto counts = matching::CalcLists(day);
    printStep(stale == matching::StaleRows::Keep ? "association check, keep stale" : "association check, delete stale",
              t, checkFloor);
    std::cout << "  matched " << counts.matched << ", unmatched " << counts.unmatched << '\n';
  }

  core::DayPlaylist day = fullDay();
  {
    QuietUi ui;
    db::Station station;
    st.restore(st.paths.AssociationPath);
    matching::SBCheckClick(day, st.setts, station, kImportDate, ui, matching::StaleRows::Keep);
  }
  const std::pair<int, const char*> modes[] = {{importing::kClearHours, "import, clear hours"},
                                               {importing::kClearDay, "import, clear day"},
                                               {importing::kClearNone, "import, no clearing"}};
  for (const auto& [mode, name] : modes) {
    st.restore(st.paths.PlayListPath);
    QuietUi ui;
    db::Station station(st.setts);
    const importing::ImportContext ctx{day, st.setts, station, kImportDate};
    std::size_t written = 0;
    std::optional<importing::ImportReport> report;
    const double t = secondsOf([&, clearMode = mode] { report = importing::SBImportClick(ctx, clearMode, ui); });
    for (const auto& hour : report->hours) written += static_cast<std::size_t>(hour.written);
    printStep(name, t, importFloor);
    std::cout << "  rows written " << written << '\n';
  }
}

// What one row written through a table object costs on the large playlist:
// the part of the import's time that the storage layer decides.
void printWriteCost(const Station& st) {
  constexpr int kRows = 100;
  st.restore(st.paths.PlayListPath);
  db::Table table(st.paths.PlayListPath);
  table.Open();
  const double append = secondsOf([&] {
    for (int i = 0; i < kRows; ++i) {
      table.Append();
      table.SetFieldAsString("FName", "bench");
      table.Post();
    }
  });
  table.First();
  const double erase = secondsOf([&] {
    for (int i = 0; i < kRows; ++i) table.Delete();
  });
  table.Close();
  std::cout << std::setprecision(2) << "PlayList.db through db::Table: append+post " << append * 1000 / kRows
            << " ms a row, delete " << erase * 1000 / kRows << " ms a row\n";
}

}  // namespace

int main(int argc, char** argv) {
  const bool ownFolder = argc < 2;
  Station st;
  st.folder = ownFolder ? std::filesystem::temp_directory_path() / "road_bench_station" : std::filesystem::path(argv[1]);
  std::filesystem::remove_all(st.folder);
  std::filesystem::create_directories(st.folder / "pristine");
  st.setts.MVPath = core::FromFsPath(st.folder) + "/";
  st.setts.BasePath = st.setts.MVPath;
  st.paths = db::MakeStationPaths(st.setts);
  try {
    const double build = secondsOf([&] {
      songBase(st.paths.BaseSongPath).write();
      jingleBase(st.paths.JinglesPath).write();
      associations(st.paths.AssociationPath).write();
      playList(st.paths.PlayListPath).write();
    });
    for (const auto& path : {st.paths.AssociationPath, st.paths.PlayListPath}) {
      std::filesystem::copy_file(core::FsPath(path), st.folder / "pristine" / core::FsPath(path).filename());
    }
    std::cout << "station built in " << std::fixed << std::setprecision(1) << build << " s: " << kSongs << " songs, "
              << kJingles << " jingles, " << kAssociations << " associations, " << kPlaylistRows
              << " playlist rows, a day of 24 x " << kLinesPerHour << " lines\n";
    runSteps(st);
    printWriteCost(st);
  } catch (const std::exception& e) {
    std::cerr << core::cp1251ToUtf8(e.what()) << '\n';
    return 1;
  }
  db::TableCache::Clear();
  if (ownFolder) std::filesystem::remove_all(st.folder);
  return 0;
}
