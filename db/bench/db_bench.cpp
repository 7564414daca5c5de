// Builds a song base of 100 000 rows and a playlist of 500 000 rows in a
// temporary folder and times what the program does with them, each figure
// beside the time of one plain full read of the same file.
//   db_bench [FOLDER]   (default: a new folder in the system's temp folder)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"
#include "core/text.h"
#include "db/paradox/table.h"
#include "db/query.h"
#include "db/table.h"
#include "db/tablecache.h"

namespace {

constexpr int kSongs = 100000;
constexpr int kArtists = 5000;
constexpr int kPlaylistRows = 500000;
constexpr int kRowsPerHour = 20;
constexpr int kBatch = 20000;

const char* const kTimeFields[] = {"FTime",    "FIntro",     "FOutro",      "FProtect", "FStartTime",
                                   "FAbort",   "FFadeInLen", "FFadeOutLen", "FMixOut",  "FMixIn"};

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

std::string timeColumns() {
  std::string s;
  for (const char* f : kTimeFields) s += std::string(", ") + f + " Time";
  return s;
}

void exec(const std::string& statement) {
  db::Query q;
  q.Add(statement);
  q.ExecSQL();
}

std::string artist(int i) { return core::cp1251("Исполнитель ") + std::to_string(i % kArtists); }
std::string title(int i) { return core::cp1251("Песня ") + std::to_string(i); }
std::string songPath(int i) {
  return "D:\\MUSIC\\A" + std::to_string(i % kArtists) + "\\S" + std::to_string(i) + ".MP3";
}

db::Row songRow(int i) {
  db::Row row = {artist(i), title(i), songPath(i)};
  for (int k = 0; k < 10; ++k) row.push_back((60.0 + (i * 7 + k) % 300) / 86400.0);
  row.insert(row.end(), {std::int64_t{100}, std::int64_t{90}, (i % 3) == 0, std::string("Pop"),
                         std::string("Dance"), std::string("Happy"), std::string("M"), std::string("RU")});
  return row;
}

void buildSongBase(const std::string& path) {
  exec("Create TABLE " + db::Quoted(path) +
       " (FArtist Char(64), FName Char(64), FPath Char(160)" + timeColumns() +
       ", FStartVol Integer, FEndVol Integer, FNoAutoMix Boolean, FCategory Char(32), FStyle Char(32), "
       "FMood Char(32), FSex Char(16), FLanguage Char(16))");
  db::ParadoxTable table(path);
  for (int first = 0; first < kSongs; first += kBatch) {
    std::vector<db::Row> rows;
    for (int i = first; i < first + kBatch && i < kSongs; ++i) rows.push_back(songRow(i));
    table.Append(rows);
  }
}

// 20 rows in each hour of consecutive days from 1 January 2015. The widths
// keep a row within 255 bytes: a 2 KiB block then holds 8 rows, and the
// 65 535 blocks a table may have hold 500 000 rows.
void buildPlaylist(const std::string& path) {
  exec("Create TABLE " + db::Quoted(path) +
       " (FDate Date, FHour SmallInt, FNumber SmallInt, FPath Char(64), FArtist Char(32), FName Char(32)" +
       timeColumns() +
       ", FStartVol Integer, FEndVol Integer, FNoAutoMix Boolean, FType SmallInt, FCategory Char(8), "
       "FStyle Char(8), FMood Char(8), FSex Char(8), FLanguage Char(8))");
  const double firstDay = core::EncodeDate(2015, 1, 1);
  db::ParadoxTable table(path);
  for (int first = 0; first < kPlaylistRows; first += kBatch) {
    std::vector<db::Row> rows;
    for (int i = first; i < first + kBatch && i < kPlaylistRows; ++i) {
      const int hourIndex = i / kRowsPerHour;
      const int song = (i * 7919) % kSongs;
      db::Row row = {firstDay + hourIndex / 24, std::int64_t{hourIndex % 24}, std::int64_t{i % kRowsPerHour},
                     songPath(song).substr(0, 64), artist(song), title(song)};
      for (int k = 0; k < 10; ++k) row.push_back((60.0 + k) / 86400.0);
      row.insert(row.end(), {std::int64_t{100}, std::int64_t{90}, false, std::int64_t{0}, std::string("Pop"),
                             std::string("Dance"), std::string("Happy"), std::string("M"), std::string("RU")});
      rows.push_back(std::move(row));
    }
    table.Append(rows);
  }
}

double plainRead(const std::string& path) {
  const auto start = Clock::now();
  const db::ParadoxTable table(path);
  const auto rows = table.ReadAll();
  if (rows.empty()) std::printf("empty table?\n");
  return msSince(start);
}

void report(const char* what, double ms, double plainMs, const char* plainOf) {
  std::printf("%-50s %10.3f ms  = %8.5f x plain read of %s\n", what, ms, ms / plainMs, plainOf);
}

std::uint64_t fileSize(const std::string& path) { return std::filesystem::file_size(core::FsPath(path)); }
double mb(std::uint64_t bytes) { return static_cast<double>(bytes) / 1e6; }
double ratio(std::uint64_t a, std::uint64_t b) { return static_cast<double>(a) / static_cast<double>(b); }

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / ("mvimport_bench_" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string songs = core::FromFsPath(dir / "BaseSong.db");
  const std::string playlist = core::FromFsPath(dir / "PlayList.db");
  fs::remove(core::FsPath(songs));
  fs::remove(core::FsPath(playlist));

  auto start = Clock::now();
  buildSongBase(songs);
  buildPlaylist(playlist);
  std::printf("built %d songs (%.1f MB) and %d playlist rows (%.1f MB) in %.0f ms; peak %ld KiB\n\n", kSongs,
              mb(fileSize(songs)), kPlaylistRows, mb(fileSize(playlist)), msSince(start), peakKiB());

  const double plainSongs = plainRead(songs);
  const double plainPlaylist = plainRead(playlist);
  std::printf("plain full read (ParadoxTable::ReadAll): BaseSong %.1f ms, PlayList %.1f ms; peak %ld KiB\n\n",
              plainSongs, plainPlaylist, peakKiB());

  // Full read through the cache, cold and warm.
  db::Query q;
  q.Add("SELECT * From " + db::Quoted(songs));
  start = Clock::now();
  q.Open();
  report("SELECT * BaseSong, first (reads the file)", msSince(start), plainSongs, "BaseSong");
  start = Clock::now();
  for (int i = 0; i < 100; ++i) q.Open();
  report("SELECT * BaseSong, again (per statement)", msSince(start) / 100, plainSongs, "BaseSong");

  // 1 000 locates by artist and title, ignoring case (the association fill).
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> anySong(0, kSongs - 1);
  start = Clock::now();
  int found = 0;
  for (int i = 0; i < 1000; ++i) {
    const int s = anySong(rng);
    found += q.Locate("FArtist;FName", {core::UpperStr(artist(s)), title(s)}, true) ? 1 : 0;
  }
  report("1000 Locate FArtist;FName, case ignored", msSince(start), plainSongs, "BaseSong");
  std::printf("  (%d found)\n", found);
  // 1 000 exact locates of a path (the stale-association pass).
  q.Clear();
  q.Add("SELECT FPath FROM " + db::Quoted(songs));
  q.Open();
  start = Clock::now();
  found = 0;
  for (int i = 0; i < 1000; ++i) found += q.Locate("FPath", {songPath(anySong(rng))}, false) ? 1 : 0;
  report("1000 Locate FPath, exact", msSince(start), plainSongs, "BaseSong");
  std::printf("  (%d found)\n", found);
  q.Close();

  // 500 selections of one path (the import copies the song's row).
  found = 0;
  start = Clock::now();
  for (int i = 0; i < 500; ++i) {
    q.Clear();
    q.Add("SELECT * From " + db::Quoted(songs));
    q.Add("WHERE FPath=" + db::Quoted(songPath(anySong(rng))));
    q.Open();
    found += q.RecordCount() == 1 && q.FieldAsInteger("FStartVol") == 100 ? 1 : 0;
    q.Close();
  }
  report("500 SELECT * WHERE FPath=", msSince(start), plainSongs, "BaseSong");
  std::printf("  (%d found)\n", found);

  // The import of one hour: count the hour's rows, append 500 rows.
  const std::string day = core::DateToStr(core::EncodeDate(2016, 1, 5));
  start = Clock::now();
  q.Clear();
  q.Add("SELECT FPath FROM " + db::Quoted(playlist));
  q.Add("WHERE FDate=\"" + day + "\" AND FHour=7");
  q.Open();
  const int already = q.RecordCount();
  q.Close();
  report("count one day-hour of PlayList, first (reads it)", msSince(start), plainPlaylist, "PlayList");
  const auto playlistLoaded = db::TableCache::Get(playlist)->MemoryUsage();
  start = Clock::now();
  for (int i = 0; i < 100; ++i) {
    q.Open();
    q.Close();
  }
  report("count one day-hour of PlayList, again", msSince(start) / 100, plainPlaylist, "PlayList");

  start = Clock::now();
  db::Table table(playlist);
  table.Open();
  for (int i = 0; i < 500; ++i) {
    table.Append();
    table.SetFieldAsDateTime("FDate", core::EncodeDate(2016, 1, 5));
    table.SetFieldAsInteger("FHour", 7);
    table.SetFieldAsInteger("FNumber", already + i);
    table.SetFieldAsString("FPath", songPath(i).substr(0, 64));
    table.SetFieldAsString("FArtist", artist(i).substr(0, 32));
    table.SetFieldAsString("FName", title(i));
    for (const char* f : kTimeFields) table.SetFieldAsDateTime(f, 200.0 / 86400.0);
    table.SetFieldAsInteger("FStartVol", 100);
    table.SetFieldAsInteger("FEndVol", 90);
    table.SetFieldAsBoolean("FNoAutoMix", false);
    table.SetFieldAsInteger("FType", 0);
    for (const char* f : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) table.SetFieldAsString(f, "Pop");
    table.Post();
  }
  table.Close();
  report("500 appends through a table object", msSince(start), plainPlaylist, "PlayList");
  const auto playlistAppended = db::TableCache::Get(playlist)->MemoryUsage();

  start = Clock::now();
  q.Clear();
  q.Add("Delete FROM " + db::Quoted(playlist));
  q.Add("WHERE FDate=\"" + day + "\" AND FHour=7");
  q.ExecSQL();
  report("DELETE one day-hour", msSince(start), plainPlaylist, "PlayList");
  std::printf("  (%zu rows deleted)\n", q.RowsAffected());

  // Clearing a whole day by walking the table (clear mode 1).
  start = Clock::now();
  const double from = core::EncodeDate(2016, 1, 6);
  int deleted = 0;
  table.Open();
  table.First();
  while (!table.Eof()) {
    const double r = table.FieldAsDateTime("FDate") + table.FieldAsInteger("FHour") / 24.0 + 1.0 / 86400;
    if (r >= from && r < from + 1) {
      table.Delete();
      ++deleted;
    } else {
      table.Next();
    }
  }
  table.Close();
  report("walk PlayList deleting one day", msSince(start), plainPlaylist, "PlayList");
  std::printf("  (%d rows deleted)\n\n", deleted);
  const auto playlistCache = db::TableCache::Get(playlist)->MemoryUsage();

  // The storage layer alone, for comparison: 500 single-row appends and 500
  // single-row deletes through one ParadoxTable (after the cached figures, as
  // the cache reads the file again after another writer).
  {
    db::ParadoxTable raw(playlist);
    const db::Row row(raw.fields().size());
    start = Clock::now();
    for (int i = 0; i < 500; ++i) raw.Append({row});
    report("  storage layer alone: 500 one-row Append calls", msSince(start), plainPlaylist, "PlayList");
    start = Clock::now();
    for (int i = 0; i < 500; ++i) raw.Delete({raw.recordCount() - 1});
    report("  storage layer alone: 500 one-row Delete calls", msSince(start), plainPlaylist, "PlayList");
  }


  const auto songsCache = db::TableCache::Get(songs)->MemoryUsage();
  std::printf("cached BaseSong: %.1f MB for a file of %.1f MB (%.2f x)\n", mb(songsCache), mb(fileSize(songs)),
              ratio(songsCache, fileSize(songs)));
  std::printf("cached PlayList: %.1f MB read, %.1f MB after the appends, %.1f MB after the deletes, for a file "
              "of %.1f MB (%.2f x at most)\n",
              mb(playlistLoaded), mb(playlistAppended), mb(playlistCache), mb(fileSize(playlist)),
              ratio(std::max({playlistLoaded, playlistAppended, playlistCache}), fileSize(playlist)));
  std::printf("peak memory (ru_maxrss): %ld KiB\n", peakKiB());

  db::TableCache::Clear();
  if (argc <= 1) fs::remove_all(dir);
  return 0;
}
