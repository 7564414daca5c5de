#include "import/undo.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>
#include <map>
#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"
#include "db/durablefile.h"
#include "db/paradox/journalformat.h"
#include "db/stationlock.h"
#include "db/tablecache.h"

namespace importing {
namespace {

// DO NOT CHANGE: the beginning of every record file.
constexpr char kMagic[] = "MVUNDO1\n";
constexpr std::size_t kMagicSize = 8;
constexpr char kActive[] = ".undo";
constexpr char kUndone[] = ".undone";

// The station a record belongs to: its PlayList.db, as an absolute path.
std::string stationId(const db::Station& station) {
  const std::filesystem::path path = core::FsPath(station.paths().PlayListPath);
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) absolute = path;
  return core::FromFsPath(absolute.lexically_normal());
}

// Names the records of one station apart from another's in a shared folder.
std::string stationKey(const std::string& id) {
  std::uint64_t h = 1469598103934665603ull;
  for (unsigned char c : id) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
  return text;
}

class Writer {
 public:
  void u8(std::uint8_t v) { m_bytes.push_back(static_cast<char>(v)); }
  void u32(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void f64(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    u32(static_cast<std::uint32_t>(bits));
    u32(static_cast<std::uint32_t>(bits >> 32));
  }
  void text(const std::string& s) {
    u32(static_cast<std::uint32_t>(s.size()));
    m_bytes += s;
  }
  void records(const std::vector<std::string>& list) {
    u32(static_cast<std::uint32_t>(list.size()));
    for (const std::string& r : list) text(r);
  }
  std::string& bytes() { return m_bytes; }

 private:
  std::string m_bytes;
};

// Reads what Writer wrote; any read past the end marks the record damaged.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
  bool ok() const { return m_ok; }
  std::uint8_t u8() {
    if (!need(1)) return 0;
    return static_cast<std::uint8_t>(m_bytes[m_at++]);
  }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(u8()) << (8 * i);
    return v;
  }
  std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
  double f64() {
    const std::uint64_t low = u32();
    const std::uint64_t high = u32();
    return std::bit_cast<double>(low | (high << 32));
  }
  std::string text() {
    const std::uint32_t n = u32();
    if (!need(n)) return {};
    std::string s(m_bytes.substr(m_at, n));
    m_at += n;
    return s;
  }
  std::vector<std::string> records() {
    const std::uint32_t n = u32();
    std::vector<std::string> list;
    for (std::uint32_t i = 0; i < n && m_ok; ++i) list.push_back(text());
    return list;
  }
  bool atEnd() const { return m_at == m_bytes.size(); }

 private:
  bool need(std::size_t n) {
    if (m_ok && m_bytes.size() - m_at >= n) return true;
    m_ok = false;
    return false;
  }
  std::string_view m_bytes;
  std::size_t m_at = 0;
  bool m_ok = true;
};

struct Record {
  UndoEntry entry;
  std::string station;
  std::vector<db::Field> fields;
  ImportScope scope;
  ImportRecords records;
};

std::uint32_t crcOf(std::string_view bytes) {
  return db::paradox::Crc32(
      db::paradox::ByteSpan(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string serialize(const Record& r) {
  Writer w;
  w.bytes().append(kMagic, kMagicSize);
  w.text(r.station);
  w.f64(r.entry.created);
  w.f64(r.entry.date);
  w.i32(r.entry.clearMode);
  w.i32(r.entry.shiftHour);
  w.u32(static_cast<std::uint32_t>(r.fields.size()));
  for (const db::Field& f : r.fields) {
    w.text(f.name);
    w.u8(static_cast<std::uint8_t>(f.type));
    w.i32(f.size);
  }
  w.u8(r.scope.window ? 1 : 0);
  w.f64(r.scope.start);
  w.f64(r.scope.end);
  w.u32(static_cast<std::uint32_t>(r.scope.targets.size()));
  for (const TargetSlot& s : r.scope.targets) {
    w.f64(s.day);
    w.i32(s.hour);
  }
  w.records(r.records.removed);
  w.records(r.records.kept);
  w.records(r.records.appended);
  w.u32(crcOf(w.bytes()));
  return std::move(w.bytes());
}

std::optional<Record> parse(const std::string& bytes) {
  if (bytes.size() < kMagicSize + 4 || bytes.compare(0, kMagicSize, kMagic, kMagicSize) != 0) return std::nullopt;
  const std::string_view body(bytes.data(), bytes.size() - 4);
  Reader crc(std::string_view(bytes).substr(bytes.size() - 4));
  if (crc.u32() != crcOf(body)) return std::nullopt;
  Reader r(body.substr(kMagicSize));
  Record rec;
  rec.station = r.text();
  rec.entry.created = r.f64();
  rec.entry.date = r.f64();
  rec.entry.clearMode = r.i32();
  rec.entry.shiftHour = r.i32();
  const std::uint32_t fields = r.u32();
  for (std::uint32_t i = 0; i < fields && r.ok(); ++i) {
    db::Field f;
    f.name = r.text();
    f.type = static_cast<db::FieldType>(r.u8());
    f.size = r.i32();
    rec.fields.push_back(f);
  }
  rec.scope.window = r.u8() != 0;
  rec.scope.start = r.f64();
  rec.scope.end = r.f64();
  const std::uint32_t slots = r.u32();
  for (std::uint32_t i = 0; i < slots && r.ok(); ++i) {
    TargetSlot s;
    s.day = r.f64();
    s.hour = r.i32();
    rec.scope.targets.push_back(s);
  }
  rec.records.removed = r.records();
  rec.records.kept = r.records();
  rec.records.appended = r.records();
  if (!r.ok() || !r.atEnd()) return std::nullopt;
  rec.entry.removed = static_cast<int>(rec.records.removed.size());
  rec.entry.appended = static_cast<int>(rec.records.appended.size());
  return rec;
}

std::string folderFile(const db::Station& station, const std::string& name) {
  return core::FromFsPath(core::FsPath(UndoFolder(station)) / core::FsPath(name));
}

struct Listed {
  std::string file;
  int sequence;
  bool undone;
};

// This station's record files, newest first.
std::vector<Listed> listRecords(const db::Station& station) {
  const std::string prefix = stationKey(stationId(station)) + "-";
  std::vector<Listed> list;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(core::FsPath(UndoFolder(station)), ec)) {
    const std::string name = core::FromFsPath(item.path().filename());
    if (name.rfind(prefix, 0) != 0) continue;
    const std::string rest = name.substr(prefix.size());
    const std::size_t dot = rest.find('.');
    if (dot == std::string::npos || dot == 0 || rest.find_first_not_of("0123456789") != dot) continue;
    const std::string tail = rest.substr(dot);
    if (tail != kActive && tail != kUndone) continue;
    list.push_back({folderFile(station, name), std::stoi(rest.substr(0, dot)), tail == kUndone});
  }
  std::sort(list.begin(), list.end(), [](const Listed& a, const Listed& b) { return a.sequence > b.sequence; });
  return list;
}

std::optional<Record> readRecord(const db::Station& station, const Listed& listed) {
  const auto bytes = db::ReadWholeFile(listed.file);
  if (!bytes) return std::nullopt;
  auto record = parse(*bytes);
  if (!record || record->station != stationId(station)) return std::nullopt;
  return record;
}

UndoEntry entryOf(const db::Station& station, const Listed& listed) {
  UndoEntry entry;
  if (auto record = readRecord(station, listed)) {
    entry = record->entry;
  } else {
    entry.damaged = true;
  }
  entry.file = listed.file;
  entry.sequence = listed.sequence;
  entry.undone = listed.undone;
  return entry;
}

std::vector<std::size_t> scopePositions(const std::vector<db::PlaySlot>& rows, const ImportScope& scope) {
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (scope.Contains(rows[i])) positions.push_back(i);
  }
  return positions;
}

// The records of `all` less those of `less` (as multisets).
std::vector<std::string> without(const std::vector<std::string>& all, const std::vector<std::string>& less) {
  std::map<std::string, int> take;
  for (const std::string& r : less) ++take[r];
  std::vector<std::string> left;
  for (const std::string& r : all) {
    auto it = take.find(r);
    if (it != take.end() && it->second > 0) {
      --it->second;
    } else {
      left.push_back(r);
    }
  }
  return left;
}

bool sameRecords(std::vector<std::string> a, std::vector<std::string> b) {
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  return a == b;
}

bool sameFields(const std::vector<db::Field>& a, const std::vector<db::Field>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].size != b[i].size) return false;
  }
  return true;
}

std::string plural(int n, const char* one, const char* few, const char* many) {
  return std::to_string(n) + " " + core::cp1251(core::PluralForm(n, one, few, many));
}

void prune(const db::Station& station) {
  const std::vector<Listed> list = listRecords(station);
  for (std::size_t i = kKeptImports; i < list.size(); ++i) {
    std::error_code ec;
    std::filesystem::remove(core::FsPath(list[i].file), ec);
  }
}

}  // namespace

std::string UndoFolder(const db::Station& station) {
  const std::filesystem::path association = core::FsPath(station.paths().AssociationPath);
  return core::FromFsPath(association.parent_path() / "ImportUndo");
}

ImportRecords RecordsBefore(db::Station& station, const ImportPlan& plan) {
  db::PlayList& playlist = station.Playlist();
  ImportRecords records;
  records.removed = playlist.RawRecords(plan.batch.deletes, plan.stamp);
  std::vector<std::size_t> kept;
  auto deleted = plan.batch.deletes.begin();
  for (std::size_t p : scopePositions(plan.rows, plan.scope)) {
    while (deleted != plan.batch.deletes.end() && *deleted < p) ++deleted;
    if (deleted == plan.batch.deletes.end() || *deleted != p) kept.push_back(p);
  }
  records.kept = playlist.RawRecords(kept, plan.stamp);
  return records;
}

std::vector<std::string> AppendedAfter(db::Station& station, const ImportPlan& plan,
                                       const std::vector<std::string>& kept) {
  db::PlayList& playlist = station.Playlist();
  db::FileStamp read;
  const std::vector<db::PlaySlot> rows = playlist.Slots(&read);
  const std::vector<std::string> after = playlist.RawRecords(scopePositions(rows, plan.scope), read);
  return without(after, kept);
}

void RecordImport(db::Station& station, const ImportPlan& plan, const ImportRecords& records) {
  Record record;
  record.station = stationId(station);
  record.entry.created = core::Now();
  record.entry.date = plan.date;
  record.entry.clearMode = plan.clearMode;
  record.entry.shiftHour = plan.shiftHour;
  record.fields = station.Playlist().Fields();
  record.scope = plan.scope;
  record.records = records;
  const std::vector<Listed> list = listRecords(station);
  const int sequence = list.empty() ? 1 : list.front().sequence + 1;
  std::error_code ec;
  std::filesystem::create_directories(core::FsPath(UndoFolder(station)), ec);
  char number[16];
  std::snprintf(number, sizeof number, "%06d", sequence);
  db::WriteFileDurably(folderFile(station, stationKey(record.station) + "-" + number + kActive), serialize(record));
  prune(station);
}

std::vector<UndoEntry> ImportHistory(const db::Station& station) {
  std::vector<UndoEntry> history;
  for (const Listed& listed : listRecords(station)) history.push_back(entryOf(station, listed));
  return history;
}

bool CanUndo(const db::Station& station) {
  for (const Listed& listed : listRecords(station)) {
    if (!listed.undone) return true;
  }
  return false;
}

std::optional<UndoReport> UndoLastImport(db::Station& station, matching::OperatorUi& ui, bool ask) {
  station.RecoverUnfinishedWrites();
  const db::StationLock lock(station.paths().PlayListPath, db::StationLock::kPatience);
  const std::vector<Listed> list = listRecords(station);
  const auto newest = std::find_if(list.begin(), list.end(), [](const Listed& l) { return !l.undone; });
  if (newest == list.end()) {
    ui.showError(core::cp1251("Нет импорта, который можно отменить."));
    return std::nullopt;
  }
  const std::optional<Record> record = readRecord(station, *newest);
  if (!record) {
    ui.showError(core::cp1251("Запись об импорте ") + newest->file +
                 core::cp1251(" повреждена или относится к другой станции. Отмена не выполнена, плейлист не изменён."));
    return std::nullopt;
  }
  db::PlayList& playlist = station.Playlist();
  if (!sameFields(playlist.Fields(), record->fields)) {
    ui.showError(core::cp1251("Поля таблицы PlayList.db изменились после импорта. Отмена не выполнена."));
    return std::nullopt;
  }
  db::FileStamp read;
  const std::vector<std::size_t> positions = scopePositions(playlist.Slots(&read), record->scope);
  const std::vector<std::string> now = playlist.RawRecords(positions, read);
  std::vector<std::string> expected = record->records.kept;
  expected.insert(expected.end(), record->records.appended.begin(), record->records.appended.end());
  if (!sameRecords(now, expected)) {
    ui.showError(core::cp1251("Строки плейлиста в часах этого импорта изменились после него (их изменила другая "
                              "программа или другой импорт). Отмена не выполнена, плейлист не изменён."));
    return std::nullopt;
  }
  UndoReport report;
  report.entry = entryOf(station, *newest);
  report.removed = static_cast<int>(record->records.appended.size());
  report.restored = static_cast<int>(record->records.removed.size());
  const std::string counts = core::cp1251("Будет удалено ") + plural(report.removed, "строка", "строки", "строк") +
                             core::cp1251(" и восстановлено ") + plural(report.restored, "строка", "строки", "строк") +
                             ".";
  if (ask && !ui.askYesNo(core::cp1251("Отменить импорт от ") + core::DateTimeToStr(record->entry.created) +
                          core::cp1251(" за ") + core::DateToStr(record->entry.date) + "? " + counts)) {
    return std::nullopt;
  }
  db::ParadoxTable::WriteBatch batch;
  std::map<std::string, int> take;
  for (const std::string& r : record->records.appended) ++take[r];
  for (std::size_t i = 0; i < positions.size(); ++i) {
    auto it = take.find(now[i]);
    if (it != take.end() && it->second > 0) {
      --it->second;
      batch.deletes.push_back(positions[i]);
    }
  }
  batch.records = record->records.removed;
  playlist.Write(batch, read);
  const std::string done = newest->file.substr(0, newest->file.size() - std::strlen(kActive)) + kUndone;
  db::RenameDurably(newest->file, done);
  report.entry.undone = true;
  report.entry.file = done;
  ui.showDone(core::cp1251("Импорт отменён."), core::cp1251("Удалено ") +
                                                   plural(report.removed, "строка", "строки", "строк") +
                                                   core::cp1251(", восстановлено ") +
                                                   plural(report.restored, "строка", "строки", "строк") + ".");
  return report;
}

}  // namespace importing
