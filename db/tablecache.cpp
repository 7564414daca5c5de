#include "db/tablecache.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <thread>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/companions.h"
#include "db/paradox/files.h"
#include "db/paradox/journal.h"

namespace db {

void ThrowTableError(std::string_view path, const std::string& cp1251Problem) {
  throw Error(std::string(path) + ": " + cp1251Problem);
}

CachedTable::CachedTable(std::string path) : m_path(std::move(path)) {}

FileStamp CachedTable::fileStamp() const {
  const std::filesystem::path path = core::FsPath(m_path);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    if (std::filesystem::is_directory(path, ec)) {
      ThrowTableError(m_path, core::cp1251("это папка, а не файл таблицы"));
    }
    if (const auto file = core::FileInFolderPath(core::FromFsPath(path.parent_path()))) {
      ThrowTableError(m_path, core::cp1251("файл таблицы не найден: ") + *file +
                                  core::cp1251(" — это файл, а не папка"));
    }
    ThrowTableError(m_path, core::cp1251("файл таблицы не найден"));
  }
  return ParadoxTable::Stamp(m_path);
}

void CachedTable::requireWritableFiles() const {
  std::vector<std::string> files{m_path};
  const paradox::Companions companions = paradox::FindCompanions(m_path);
  for (const std::string* c : {&companions.primaryIndex, &companions.blobs}) {
    if (!c->empty()) files.push_back(*c);
  }
  constexpr auto kAnyWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                             std::filesystem::perms::others_write;
  for (const std::string& file : files) {
    std::error_code ec;
    const auto status = std::filesystem::status(core::FsPath(file), ec);
    if (ec || (status.permissions() & kAnyWrite) != std::filesystem::perms::none) continue;
    const std::string name = core::FromFsPath(core::FsPath(file).filename());
    ThrowTableError(m_path, core::cp1251("файл ") + name +
                                core::cp1251(" только для чтения, изменить таблицу нельзя"));
  }
}

TableSource& CachedTable::handle(const FileStamp& now) {
  // A new source, not the old one changed: rows read before keep theirs.
  if (!m_source || m_source->stamp != now) {
    m_source.reset();
    m_source = std::make_shared<TableSource>(m_path);
  }
  return *m_source;
}

void CachedTable::load() {
  m_data.reset();
  m_data = std::make_shared<TableData>(m_source);
  m_dataStamp = m_source->stamp;
}

bool CachedTable::writeInProgress() const {
  std::error_code ec;
  if (!std::filesystem::exists(core::FsPath(paradox::JournalPath(m_path)), ec)) return false;
  // A journal without a writer is what a crash left: opening the table rolls it back.
  try {
    paradox::SystemFiles()->Open(m_path, paradox::FileSystem::Access::Write);
  } catch (const TableBusy&) {
    return true;
  } catch (const Error&) {
  }
  return false;
}

// The rows as read now, or null when a writer changed the file while it was
// read: only a read that starts and ends on the same stamp, with no write
// under way, saw one state of the table.
std::shared_ptr<const TableData> CachedTable::tryData(const FileStamp& now) {
  try {
    handle(now);
    load();
  } catch (const TableBusy&) {
    m_data.reset();
    m_source.reset();
    throw;
  } catch (const Error&) {
    m_data.reset();
    m_source.reset();
    // What looks like damage may be a write of another program under way.
    if (!writeInProgress() && fileStamp() == now) throw;
    return nullptr;
  }
  if (!writeInProgress() && fileStamp() == now) return m_data;
  m_data.reset();
  m_source.reset();
  return nullptr;
}

std::shared_ptr<const TableData> CachedTable::Data() {
  // A write of another program takes milliseconds; one that lasts longer than
  // this is reported as a busy table, never as damage.
  constexpr auto kPatience = std::chrono::seconds(5);
  constexpr auto kPause = std::chrono::milliseconds(20);
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  for (;;) {
    const FileStamp now = fileStamp();
    const bool writing = writeInProgress();
    if (!writing && m_data && m_dataStamp == now) return m_data;
    if (auto data = tryData(now)) return data;
    if (std::chrono::steady_clock::now() >= deadline) {
      throw TableBusy(m_path + core::cp1251(": таблицу сейчас записывает другая программа, повторите действие позже"));
    }
    std::this_thread::sleep_for(kPause);
  }
}

void CachedTable::completeSharedData() {
  if (m_data && m_data.use_count() > 1) m_data->RequireAll();
}

const TableData& CachedTable::Current() {
  if (!m_data) Data();
  return *m_data;
}

void CachedTable::Invalidate() {
  m_data.reset();
  m_source.reset();
}

TableData& CachedTable::mutableData() {
  // Open results keep the rows they were given: copy before changing them.
  if (m_data.use_count() > 1) m_data = std::make_shared<TableData>(*m_data);
  return *m_data;
}

void CachedTable::requireCurrent(const FileStamp& now) const {
  if (!m_data || m_dataStamp != now) {
    ThrowTableError(m_path, core::cp1251("таблицу изменила другая программа, повторите действие"));
  }
}

template <class WriteToFile>
void CachedTable::write(bool needsCurrentRows, WriteToFile&& writeToFile) {
  const FileStamp now = fileStamp();
  requireWritableFiles();
  if (needsCurrentRows) requireCurrent(now);
  if (m_data && m_dataStamp != now) m_data.reset();
  try {
    completeSharedData();
    TableSource& source = handle(now);
    const bool keepRows = writeToFile(source.table);
    source.stamp = ParadoxTable::Stamp(m_path);
    if (keepRows && m_data) {
      m_dataStamp = source.stamp;
    } else {
      m_data.reset();
    }
  } catch (...) {
    // What the file holds now is unknown: read it again at the next use.
    m_data.reset();
    m_source.reset();
    throw;
  }
}

void CachedTable::Append(const std::vector<Row>& rows) {
  if (rows.empty()) return;
  write(false, [&](ParadoxTable& table) {
    table.Append(rows);
    if (!m_data || table.keyFieldCount() > 0) return false;
    // AutoInc values left blank are given by the file.
    const auto& fields = table.fields();
    for (const Row& row : rows) {
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::AutoInc &&
            (i >= row.size() || std::holds_alternative<std::monostate>(row[i]))) {
          return false;
        }
      }
    }
    TableData& data = mutableData();
    for (const Row& row : rows) data.AppendRow(row);
    return true;
  });
}

void CachedTable::Delete(const std::vector<std::size_t>& positions) {
  if (positions.empty()) return;
  write(true, [&](ParadoxTable& table) {
    table.Delete(positions);
    mutableData().ErasePositions(positions);
    return true;
  });
}

void CachedTable::Write(const ParadoxTable::WriteBatch& batch) {
  if (batch.empty()) return;
  write(!batch.deletes.empty(), [&](ParadoxTable& table) {
    table.Write(batch);
    if (!m_data || table.keyFieldCount() > 0 || !batch.records.empty()) return false;
    const auto& fields = table.fields();
    for (const Row& row : batch.rows) {
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].type == FieldType::AutoInc &&
            (i >= row.size() || std::holds_alternative<std::monostate>(row[i]))) {
          return false;
        }
      }
    }
    TableData& data = mutableData();
    if (!batch.deletes.empty()) {
      std::vector<std::size_t> positions = batch.deletes;
      std::sort(positions.begin(), positions.end());
      positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
      data.ErasePositions(positions);
    }
    for (const Row& row : batch.rows) data.AppendRow(row);
    return true;
  });
}

std::vector<std::string> CachedTable::RawRecords(const std::vector<std::size_t>& positions) {
  const FileStamp now = fileStamp();
  requireCurrent(now);
  return handle(now).table.RawRecords(positions);
}

std::string CachedTable::EncodeRecord(const Row& row) { return handle(fileStamp()).table.EncodeRecord(row); }

void CachedTable::Update(const std::vector<ParadoxTable::RowChange>& changes) {
  if (changes.empty()) return;
  write(true, [&](ParadoxTable& table) {
    table.Update(changes);
    if (table.keyFieldCount() > 0) return false;
    TableData& data = mutableData();
    for (const auto& change : changes) {
      const std::uint32_t row = data.PhysicalRow(change.position);
      for (const auto& field : change.changes) data.SetValue(row, field.field, field.value);
    }
    return true;
  });
}

std::map<std::filesystem::path, std::shared_ptr<CachedTable>>& TableCache::entries() {
  static std::map<std::filesystem::path, std::shared_ptr<CachedTable>> map;
  return map;
}

std::shared_ptr<CachedTable> TableCache::Get(std::string_view path) {
  std::error_code ec;
  std::filesystem::path key = std::filesystem::absolute(core::FsPath(path), ec);
  if (ec) key = core::FsPath(path);
  key = key.lexically_normal();
  auto& map = entries();
  auto it = map.find(key);
  if (it == map.end()) it = map.emplace(key, std::make_shared<CachedTable>(std::string(path))).first;
  return it->second;
}

void TableCache::Clear() { entries().clear(); }

}  // namespace db
