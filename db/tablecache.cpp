#include "db/tablecache.h"

#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/companions.h"

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

std::shared_ptr<const TableData> CachedTable::Data() {
  const FileStamp now = fileStamp();
  if (m_data && m_dataStamp == now) return m_data;
  try {
    handle(now);
    load();
  } catch (...) {
    m_data.reset();
    m_source.reset();
    throw;
  }
  return m_data;
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

template <class Write>
void CachedTable::write(bool needsCurrentRows, Write&& writeToFile) {
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
