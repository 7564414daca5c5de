#include "import/bench/benchstation.h"

#include <fstream>
#include <stdexcept>
#include <vector>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/tablecache.h"
#include "db/values.h"

namespace bench {
namespace {

constexpr int kRowsPerDay = 480;

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


std::string padded(const std::string& text, std::size_t width) {
  std::string s = text.substr(0, width);
  s.resize(width, ' ');
  return s;
}

// The day of FullDay() as PowerGold writes it: artist in columns 19-36, title
// in 37-55. PowerGold marks no jingles, so a jingle's line reads as a song.
void writeDayFile(const std::filesystem::path& file, const core::DayPlaylist& day) {
  std::ofstream out(file, std::ios::binary);
  const std::string date = core::DateToStr(kImportDate);
  for (int h = 0; h < core::kHours; ++h) {
    const std::string hh = (h < 10 ? "0" : "") + std::to_string(h);
    out << "Russkoe Radio Hour " << hh << ":00-" << hh << ":59     " << padded(date, 16) << "\r\n";
    for (const core::TSongRec& song : day.Songs[static_cast<std::size_t>(h)]) {
      out << hh << ":00:00 PG000001 " << padded(song.Artist, 18) << padded(song.Name, 19) << "03:30\r\n";
    }
    out << "Total Time: 00:58:00\r\n";
  }
}

void writeIni(const std::filesystem::path& file, const std::string& folder) {
  std::ofstream out(file, std::ios::binary);
  out << "[Setting]\r\nMVPath=" << folder << "\r\nBasePath=" << folder
      << "\r\nMethod=2\r\nArtist_Start=19\r\nArtist_End=36\r\nName_Start=37\r\nName_End=55\r\n"
      << "Use_Jingle=1\r\n";
}

}  // namespace

void Station::restore(const std::string& path) const {
  const auto file = core::FsPath(path);
  std::filesystem::copy_file(folder / "pristine" / file.filename(), file,
                             std::filesystem::copy_options::overwrite_existing);
  db::TableCache::Clear();
}

core::DayPlaylist FullDay() {
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

Station OpenStation(const std::filesystem::path& folder) {
  Station st;
  st.folder = folder;
  st.setts.MVPath = core::FromFsPath(folder) + "/";
  st.setts.BasePath = st.setts.MVPath;
  st.setts.Use_Jingle = true;
  st.paths = db::MakeStationPaths(st.setts);
  st.ini = folder / "station.ini";
  st.dayFile = folder / "day.log";
  return st;
}

Station BuildStation(const std::filesystem::path& folder) {
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "pristine");
  Station st = OpenStation(folder);
  songBase(st.paths.BaseSongPath).write();
  jingleBase(st.paths.JinglesPath).write();
  associations(st.paths.AssociationPath).write();
  playList(st.paths.PlayListPath).write();
  for (const auto& path : {st.paths.AssociationPath, st.paths.PlayListPath}) {
    std::filesystem::copy_file(core::FsPath(path), folder / "pristine" / core::FsPath(path).filename());
  }
  writeIni(st.ini, st.setts.MVPath);
  writeDayFile(st.dayFile, FullDay());
  return st;
}

void QuietUi::showError(const std::string& text) { throw std::runtime_error(core::cp1251ToUtf8(text)); }
void QuietUi::showWarning(const std::string& text) { throw std::runtime_error(core::cp1251ToUtf8(text)); }

}  // namespace bench
