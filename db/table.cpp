#include "db/table.h"

#include <algorithm>

#include "core/codec.h"
#include "db/columndata.h"
#include "db/tablecache.h"
#include "db/values.h"

namespace db {

Table::Table(std::string path) : m_path(std::move(path)) {}

Table::~Table() { Close(); }

void Table::Open() {
  Close();
  auto entry = TableCache::Get(m_path);
  m_fields = entry->Data()->fields();
  m_entry = std::move(entry);
  m_current = 0;
  m_eof = storedCount() == 0;
}

void Table::Close() {
  m_buffer.reset();
  m_batch.reset();
  m_entry.reset();
  m_current = 0;
  m_eof = true;
}

void Table::requireOpen() const {
  if (!m_entry) ThrowTableError(m_path, core::cp1251("таблица не открыта"));
}

int Table::RecordCount() const {
  if (!m_batch) return static_cast<int>(storedCount());
  return static_cast<int>(storedCount() - m_batch->deleted.size() + m_batch->appended.size());
}

std::size_t Table::storedCount() const {
  requireOpen();
  return m_entry->Current().RowCount();
}

void Table::First() {
  requireNoBatch();
  postPending();
  m_current = 0;
  m_eof = storedCount() == 0;
}

void Table::Next() {
  postPending();
  const auto count = storedCount();
  if (m_current >= count) m_current = count == 0 ? 0 : count - 1;
  if (m_current + 1 < count) {
    ++m_current;
  } else {
    m_eof = true;
  }
}

bool Table::Eof() const { return m_eof; }

std::size_t Table::fieldIndex(std::string_view name) const {
  requireOpen();
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (FoldedEqual(m_fields[i].name, name)) return i;
  }
  ThrowTableError(m_path, core::cp1251("нет поля «") + std::string(name) + core::cp1251("»"));
}

Value Table::value(std::size_t index) const {
  if (m_buffer) return (*m_buffer)[index];
  const TableData& data = m_entry->Current();
  if (data.RowCount() == 0) return std::monostate{};
  const std::size_t position = m_current < data.RowCount() ? m_current : data.RowCount() - 1;
  return data.Get(data.PhysicalRow(position), index);
}

std::string Table::FieldAsString(std::string_view name) const {
  const std::size_t i = fieldIndex(name);
  return ReadAsString(value(i), m_fields[i]);
}

std::int32_t Table::FieldAsInteger(std::string_view name) const {
  const std::size_t i = fieldIndex(name);
  return ReadAsInteger(value(i), m_fields[i], m_path);
}

core::TDateTime Table::FieldAsDateTime(std::string_view name) const {
  const std::size_t i = fieldIndex(name);
  return ReadAsDateTime(value(i), m_fields[i], m_path);
}

bool Table::FieldAsBoolean(std::string_view name) const {
  const std::size_t i = fieldIndex(name);
  return ReadAsBoolean(value(i), m_fields[i], m_path);
}

void Table::Delete() {
  requireOpen();
  if (m_buffer) {
    Cancel();
    return;
  }
  const std::size_t count = storedCount();
  if (count == 0) ThrowTableError(m_path, core::cp1251("в таблице нет строк для удаления"));
  if (m_current >= count) m_current = count - 1;
  if (m_batch) {
    auto& deleted = m_batch->deleted;
    if (!deleted.empty() && deleted.back() >= m_current) {
      ThrowTableError(m_path, core::cp1251("строка уже удалена"));
    }
    deleted.push_back(m_current);
    Next();
    return;
  }
  m_entry->Delete({m_current});
  const std::size_t left = count - 1;
  if (m_current < left) {
    m_eof = false;
  } else {
    m_current = left == 0 ? 0 : left - 1;
    m_eof = true;
  }
}

void Table::Append() {
  postPending();
  m_buffer = Row(m_fields.size());
}

Value& Table::bufferField(std::string_view name, std::size_t& index) {
  index = fieldIndex(name);
  if (!m_buffer) ThrowTableError(m_path, core::cp1251("поле меняют только у добавляемой строки"));
  return (*m_buffer)[index];
}

void Table::SetFieldAsString(std::string_view name, std::string_view text) {
  std::size_t i = 0;
  Value& v = bufferField(name, i);
  v = FromString(text, m_fields[i], m_path);
}

void Table::SetFieldAsInteger(std::string_view name, std::int64_t number) {
  std::size_t i = 0;
  Value& v = bufferField(name, i);
  v = FromInteger(number, m_fields[i], m_path);
}

void Table::SetFieldAsDateTime(std::string_view name, core::TDateTime dateTime) {
  std::size_t i = 0;
  Value& v = bufferField(name, i);
  v = FromDateTime(dateTime, m_fields[i], m_path);
}

void Table::SetFieldAsBoolean(std::string_view name, bool flag) {
  std::size_t i = 0;
  Value& v = bufferField(name, i);
  v = FromBoolean(flag, m_fields[i], m_path);
}

void Table::Post() {
  requireOpen();
  if (!m_buffer) return;
  Row row = std::move(*m_buffer);
  m_buffer.reset();
  if (m_batch) {
    m_batch->appended.push_back(std::move(row));
    return;
  }
  m_entry->Append({row});
  // The posted row is the last one. Counting the rows here would read a keyed
  // table again after every post; the position is settled when next used.
  m_current = kLastRow;
  m_eof = false;
}

void Table::postPending() {
  if (m_buffer) Post();
}

void Table::Cancel() { m_buffer.reset(); }

void Table::BeginBatch() {
  requireNoBatch();
  postPending();
  m_batch.emplace();
}

void Table::CommitBatch() {
  requireOpen();
  postPending();
  if (!m_batch) return;
  const Batch batch = std::move(*m_batch);
  m_batch.reset();
  if (batch.appended.empty() && batch.deleted.empty()) return;
  const std::size_t before = storedCount();
  const std::size_t at = before == 0 ? 0 : std::min(m_current, before - 1);
  ParadoxTable::WriteBatch write;
  write.deletes = batch.deleted;
  write.rows = batch.appended;
  m_entry->Write(write);
  if (!batch.appended.empty()) {
    m_current = kLastRow;
    m_eof = false;
    return;
  }
  const auto firstNotBefore = std::lower_bound(batch.deleted.begin(), batch.deleted.end(), at);
  const bool onDeleted = firstNotBefore != batch.deleted.end() && *firstNotBefore == at;
  // As after single deletes: the cursor keeps its row; on a deleted row it
  // takes the following one, or after the last the new last one, with Eof.
  const std::size_t left = storedCount();
  m_current = at - static_cast<std::size_t>(firstNotBefore - batch.deleted.begin());
  if (onDeleted && m_current >= left) {
    m_current = left == 0 ? 0 : left - 1;
    m_eof = true;
  }
  if (left == 0) m_eof = true;
}

void Table::requireNoBatch() const {
  requireOpen();
  if (m_batch) ThrowTableError(m_path, core::cp1251("строки пакета ещё не записаны"));
}

const std::vector<Field>& Table::Fields() const {
  requireOpen();
  return m_fields;
}

Row Table::CurrentRow() const {
  requireOpen();
  Row row;
  for (std::size_t i = 0; i < m_fields.size(); ++i) row.push_back(value(i));
  return row;
}

}  // namespace db
