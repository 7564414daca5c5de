#include "db/station.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/codec.h"
#include "core/daymodel.h"
#include "core/fspath.h"
#include "core/text.h"
#include "db/paradox/files.h"
#include "db/paradox/journal.h"
#include "db/query.h"
#include "db/table.h"
#include "db/tablecache.h"
#include "db/values.h"

namespace db {
namespace {

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(core::FsPath(path), ec);
}

// Opens "SELECT * FROM table" once; the lookups of one action search it.
Query& openRows(std::unique_ptr<Query>& query, const std::string& table) {
  if (!query) {
    query = std::make_unique<Query>();
    query->Add("SELECT * FROM " + Quoted(table));
    query->Open();
  }
  return *query;
}

// Whether a row's FPath equals path, letter case ignored, searched in the
// table's paths opened once.
bool hasPath(std::unique_ptr<Query>& paths, const std::string& table, const std::string& path) {
  if (!paths) {
    paths = std::make_unique<Query>();
    paths->Add("SELECT FPath FROM " + Quoted(table));
    paths->Open();
  }
  return paths->Locate("FPath", {path}, true);
}

std::optional<std::string> locatedPath(Query& query, std::string_view fields, const std::vector<std::string>& values) {
  if (!query.Locate(fields, values, true)) return std::nullopt;
  return query.FieldAsString("FPath");
}

NamedPaths readNamedPaths(Query& query) {
  query.Open();
  NamedPaths list;
  list.names.reserve(static_cast<std::size_t>(query.RecordCount()));
  list.paths.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) {
    list.names.push_back(query.FieldAsString("FName"));
    list.paths.push_back(core::CutTo(query.FieldAsString("FPath"), core::kPathCapacity));
  }
  return list;
}

// The first row of a base whose FPath equals path, through the statement the
// import has always used, so the comparison is the local SQL's.
bool selectPath(Query& query, const std::string& table, const std::string& path) {
  query.Add("SELECT * From " + Quoted(table));
  query.Add("WHERE FPath=" + Quoted(path));
  query.Open();
  return !query.Eof();
}

void readCommon(const Query& q, BaseValues& v) {
  v.FPath = q.FieldAsString("FPath");
  v.FName = q.FieldAsString("FName");
  v.FTime = q.FieldAsDateTime("FTime");
  v.FStartTime = q.FieldAsDateTime("FStartTime");
  v.FFadeInLen = q.FieldAsDateTime("FFadeInLen");
  v.FFadeOutLen = q.FieldAsDateTime("FFadeOutLen");
  v.FMixOut = q.FieldAsDateTime("FMixOut");
  v.FMixIn = q.FieldAsDateTime("FMixIn");
  v.FStartVol = q.FieldAsInteger("FStartVol");
  v.FEndVol = q.FieldAsInteger("FEndVol");
  v.FNoAutoMix = q.FieldAsBoolean("FNoAutoMix");
}

void runChange(Query& query) {
  query.ExecSQL();
  query.Clear();
}

std::string rowCondition(const AssociationRow& row) {
  return "WHERE FArtist=" + Quoted(row.artist) + " AND FName=" + Quoted(row.name) + " AND FPath=" + Quoted(row.path);
}

std::size_t fieldOf(const std::vector<Field>& fields, std::string_view name, const std::string& table) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (FoldedEqual(fields[i].name, name)) return i;
  }
  ThrowTableError(table, core::cp1251("нет поля «") + std::string(name) + core::cp1251("»"));
}

}  // namespace

// ---- SongBase

SongBase::SongBase(std::string path) : m_path(std::move(path)) {}
SongBase::~SongBase() = default;

bool SongBase::HasPath(const std::string& path) { return hasPath(m_paths, m_path, path); }

std::optional<std::string> SongBase::PathOf(const std::string& artist, const std::string& name) {
  return locatedPath(openRows(m_rows, m_path), "FArtist;FName", {artist, name});
}

std::vector<std::string> SongBase::Artists() {
  Query query;
  query.Add("SELECT DISTINCT FArtist FROM " + Quoted(m_path));
  query.Add("ORDER BY FArtist");
  query.Open();
  std::vector<std::string> artists;
  artists.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) artists.push_back(query.FieldAsString("FArtist"));
  return artists;
}

NamedPaths SongBase::Titles(const std::string* artist) {
  Query query;
  query.Add("SELECT FName,FArtist,FPath FROM " + Quoted(m_path));
  if (artist != nullptr) query.Add("WHERE FArtist=" + Quoted(*artist));
  query.Add("ORDER BY FName");
  return readNamedPaths(query);
}

std::optional<BaseValues> SongBase::ValuesOf(const std::string& path) {
  Query q;
  if (!selectPath(q, m_path, path)) return std::nullopt;
  BaseValues v;
  readCommon(q, v);
  v.FArtist = q.FieldAsString("FArtist");
  v.FIntro = q.FieldAsDateTime("FIntro");
  v.FOutro = q.FieldAsDateTime("FOutro");
  v.FProtect = q.FieldAsDateTime("FProtect");
  v.FAbort = q.FieldAsDateTime("FAbort");
  v.FCategory = q.FieldAsString("FCategory");
  v.FStyle = q.FieldAsString("FStyle");
  v.FMood = q.FieldAsString("FMood");
  v.FSex = q.FieldAsString("FSex");
  v.FLanguage = q.FieldAsString("FLanguage");
  return v;
}

std::vector<BaseRow> SongBase::Rows() {
  Query query;
  query.Add("SELECT FArtist,FName,FPath FROM " + Quoted(m_path));
  query.Open();
  std::vector<BaseRow> rows;
  rows.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) {
    rows.push_back({query.FieldAsString("FArtist"), query.FieldAsString("FName"), query.FieldAsString("FPath")});
  }
  return rows;
}

// ---- JingleBase

JingleBase::JingleBase(std::string path) : m_path(std::move(path)) {}
JingleBase::~JingleBase() = default;

bool JingleBase::Exists() const { return fileExists(m_path); }

bool JingleBase::HasPath(const std::string& path) { return hasPath(m_paths, m_path, path); }

std::optional<std::string> JingleBase::PathOf(const std::string& name) {
  return locatedPath(openRows(m_rows, m_path), "FName", {name});
}

NamedPaths JingleBase::Names() {
  Query query;
  query.Add("SELECT FName,FPath FROM " + Quoted(m_path));
  query.Add("ORDER BY FName");
  return readNamedPaths(query);
}

std::optional<BaseValues> JingleBase::ValuesOf(const std::string& path) {
  Query q;
  if (!selectPath(q, m_path, path)) return std::nullopt;
  BaseValues v;
  readCommon(q, v);
  return v;
}

std::vector<BaseRow> JingleBase::Rows() {
  Query query;
  query.Add("SELECT FName,FPath FROM " + Quoted(m_path));
  query.Open();
  std::vector<BaseRow> rows;
  rows.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) rows.push_back({{}, query.FieldAsString("FName"), query.FieldAsString("FPath")});
  return rows;
}

// ---- AssociationBase

AssociationBase::AssociationBase(std::string path) : m_path(std::move(path)) {}
AssociationBase::~AssociationBase() = default;

bool AssociationBase::Exists() const { return fileExists(m_path); }

bool AssociationBase::Create() {
  Query query;
  query.Add("Create TABLE " + Quoted(m_path) + " (");
  query.Add("FArtist Char(64),");
  query.Add("FName Char(64),");
  query.Add("FPath Char(160) );");
  try {
    query.ExecSQL();
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void AssociationBase::closeLookups() { m_rows.reset(); }

std::vector<AssociationRow> AssociationBase::StoredRows() {
  Table table(m_path);
  table.Open();
  std::vector<AssociationRow> rows;
  rows.reserve(static_cast<std::size_t>(table.RecordCount()));
  for (; !table.Eof(); table.Next()) {
    rows.push_back({table.FieldAsString("FArtist"), table.FieldAsString("FName"), table.FieldAsString("FPath")});
  }
  return rows;
}

void AssociationBase::DeleteStored(const std::vector<std::size_t>& positions) {
  if (positions.empty()) return;
  closeLookups();
  TableCache::Get(m_path)->Delete(positions);
}

std::optional<std::string> AssociationBase::PathOf(const std::string& artist, const std::string& name) {
  return locatedPath(openRows(m_rows, m_path), "FArtist;FName", {artist, name});
}

std::vector<AssociationRow> AssociationBase::Sorted() {
  Query query;
  query.Add("SELECT * FROM " + Quoted(m_path));
  query.Add("ORDER BY FArtist,FName");
  query.Open();
  std::vector<AssociationRow> rows;
  rows.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) {
    rows.push_back({query.FieldAsString("FArtist"), query.FieldAsString("FName"), query.FieldAsString("FPath")});
  }
  return rows;
}

void AssociationBase::Append(const AssociationRow& row) { Append(std::vector<AssociationRow>{row}); }

void AssociationBase::Append(const std::vector<AssociationRow>& rows) {
  if (rows.empty()) return;
  closeLookups();
  Table table(m_path);
  table.Open();
  table.BeginBatch();
  for (const AssociationRow& row : rows) {
    table.Append();
    table.SetFieldAsString("FArtist", row.artist);
    table.SetFieldAsString("FName", row.name);
    table.SetFieldAsString("FPath", row.path);
    table.Post();
  }
  table.CommitBatch();
}

void AssociationBase::Change(const AssociationRow& row, const std::string& newPath, const std::string* newArtist) {
  closeLookups();
  Query query;
  query.Add("UPDATE " + Quoted(m_path));
  query.Add("SET FPath=" + Quoted(newPath));
  if (newArtist != nullptr) query.Add(", FArtist=" + Quoted(*newArtist));
  query.Add(rowCondition(row));
  runChange(query);
}

void AssociationBase::Delete(const AssociationRow& row) {
  closeLookups();
  Query query;
  query.Add("DELETE FROM " + Quoted(m_path));
  query.Add(rowCondition(row));
  runChange(query);
}

// ---- PlayList

PlayList::PlayList(std::string path) : m_path(std::move(path)) {}

int PlayList::CountRows(core::TDateTime day, int hour) {
  Query query;
  query.Add("SELECT FPath FROM " + Quoted(m_path));
  query.Add("WHERE FDate=" + Quoted(core::DateToStr(day)) + " AND FHour=" + std::to_string(hour));
  query.Open();
  return query.RecordCount();
}

std::vector<PlaySlot> PlayList::Slots(FileStamp* read) {
  const auto entry = TableCache::Get(m_path);
  const auto data = entry->Data();
  if (read != nullptr) *read = entry->DataStamp();
  const std::size_t date = fieldOf(data->fields(), "FDate", m_path);
  const std::size_t hour = fieldOf(data->fields(), "FHour", m_path);
  const Field& dateField = data->fields()[date];
  const Field& hourField = data->fields()[hour];
  std::vector<PlaySlot> slots;
  slots.reserve(data->RowCount());
  for (const std::uint32_t row : data->LiveRows()) {
    const Value d = data->Get(row, date);
    const Value h = data->Get(row, hour);
    PlaySlot slot;
    slot.FDate = ReadAsDateTime(d, dateField, m_path);
    slot.FHour = ReadAsInteger(h, hourField, m_path);
    slot.blankDate = std::holds_alternative<std::monostate>(d) || std::holds_alternative<std::monostate>(h);
    slots.push_back(slot);
  }
  return slots;
}

std::vector<Field> PlayList::Fields() { return TableCache::Get(m_path)->Data()->fields(); }

Row PlayList::MakeRow(const PlayListRow& r) {
  const std::vector<Field> fields = Fields();
  Row row(fields.size());
  const auto set = [&](std::string_view name, auto&& convert) {
    const std::size_t i = fieldOf(fields, name, m_path);
    row[i] = convert(fields[i]);
  };
  const auto text = [&](std::string_view name, const std::string& value) {
    set(name, [&](const Field& f) { return FromString(value, f, m_path); });
  };
  const auto time = [&](std::string_view name, core::TDateTime value) {
    set(name, [&](const Field& f) { return FromDateTime(value, f, m_path); });
  };
  const auto number = [&](std::string_view name, std::int64_t value) {
    set(name, [&](const Field& f) { return FromInteger(value, f, m_path); });
  };
  const BaseValues& v = r.values;
  time("FDate", r.FDate);
  number("FHour", r.FHour);
  number("FNumber", r.FNumber);
  text("FPath", v.FPath);
  text("FArtist", v.FArtist);
  text("FName", v.FName);
  time("FTime", v.FTime);
  time("FIntro", v.FIntro);
  time("FOutro", v.FOutro);
  time("FProtect", v.FProtect);
  time("FStartTime", v.FStartTime);
  time("FAbort", v.FAbort);
  time("FFadeInLen", v.FFadeInLen);
  time("FFadeOutLen", v.FFadeOutLen);
  time("FMixOut", v.FMixOut);
  time("FMixIn", v.FMixIn);
  number("FStartVol", v.FStartVol);
  number("FEndVol", v.FEndVol);
  set("FNoAutoMix", [&](const Field& f) { return FromBoolean(v.FNoAutoMix, f, m_path); });
  number("FType", r.FType);
  text("FCategory", v.FCategory);
  text("FStyle", v.FStyle);
  text("FMood", v.FMood);
  text("FSex", v.FSex);
  text("FLanguage", v.FLanguage);
  return row;
}

namespace {

std::shared_ptr<CachedTable> unchangedSince(const std::string& path, const FileStamp& readOn) {
  auto entry = TableCache::Get(path);
  entry->Data();
  if (!(entry->DataStamp() == readOn)) {
    ThrowTableError(path, core::cp1251("таблицу изменила другая программа, повторите действие"));
  }
  return entry;
}

}  // namespace

std::vector<std::string> PlayList::RawRecords(const std::vector<std::size_t>& positions, const FileStamp& readOn) {
  return unchangedSince(m_path, readOn)->RawRecords(positions);
}

std::string PlayList::EncodeRecord(const Row& row) { return TableCache::Get(m_path)->EncodeRecord(row); }

void PlayList::Write(const ParadoxTable::WriteBatch& batch, const FileStamp& readOn) {
  unchangedSince(m_path, readOn)->Write(batch);
}

// ---- Station

Station::Station() { SetPaths(core::TSetts{}); }
Station::Station(const core::TSetts& setts) { SetPaths(setts); }
Station::~Station() = default;

void Station::SetPaths(const core::TSetts& setts) {
  m_setts = setts;
  m_paths = MakeStationPaths(setts);
  m_songs = std::make_unique<SongBase>(m_paths.BaseSongPath);
  m_jingles = std::make_unique<JingleBase>(m_paths.JinglesPath);
  m_associations = std::make_unique<AssociationBase>(m_paths.AssociationPath);
  m_playlist = std::make_unique<PlayList>(m_paths.PlayListPath);
}

Station::Readiness Station::Check(bool useJingle) const {
  if (core::FileInFolderPath(m_setts.MVPath)) return Readiness::MVPathIsFile;
  if (!fileExists(m_paths.BaseSongPath)) return Readiness::NoSongBase;
  if (useJingle && !fileExists(m_paths.JinglesPath)) return Readiness::NoJingleBase;
  if (fileExists(m_paths.AssociationPath)) return Readiness::Ready;
  if (core::FileInFolderPath(m_setts.BasePath)) return Readiness::BasePathIsFile;
  return Readiness::NoAssociationBase;
}

std::optional<std::string> Station::FileInsteadOfFolder(Readiness readiness) const {
  if (readiness == Readiness::MVPathIsFile) return core::FileInFolderPath(m_setts.MVPath);
  if (readiness == Readiness::BasePathIsFile) return core::FileInFolderPath(m_setts.BasePath);
  return std::nullopt;
}

void Station::RecoverUnfinishedWrites() const {
  const auto files = paradox::SystemFiles();
  for (const std::string* path :
       {&m_paths.AssociationPath, &m_paths.BaseSongPath, &m_paths.JinglesPath, &m_paths.PlayListPath}) {
    if (fileExists(*path)) paradox::RollBackOnOpen(*files, *path);
  }
}

SongBase& Station::Songs() { return *m_songs; }
JingleBase& Station::Jingles() { return *m_jingles; }
AssociationBase& Station::Associations() { return *m_associations; }
PlayList& Station::Playlist() { return *m_playlist; }

std::string Station::JinglesPathIn(const std::string& mvPath) { return core::AddBackslash(mvPath) + "Jingles.db"; }

void Station::CloseLookups() {
  m_songs = std::make_unique<SongBase>(m_paths.BaseSongPath);
  m_jingles = std::make_unique<JingleBase>(m_paths.JinglesPath);
  m_associations = std::make_unique<AssociationBase>(m_paths.AssociationPath);
}

}  // namespace db
