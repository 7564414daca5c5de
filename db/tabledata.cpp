#include "db/tabledata.h"

#include <algorithm>

#include "core/text.h"
#include "db/values.h"

namespace db {
namespace {

// Deleted rows are dropped from memory once they outnumber the live ones.
constexpr std::size_t kCompactMinimum = 4096;

std::uint64_t keyHash(std::int64_t key) { return MixHash(static_cast<std::uint64_t>(key)); }

std::uint64_t textHash(std::string_view text) {
  FoldedHasher h;
  h.Add(text);
  return h.Value();
}

}  // namespace

TableData::TableData(std::vector<Field> fields, bool keyed) : m_fields(std::move(fields)), m_keyed(keyed) {
  m_columns.reserve(m_fields.size());
  for (const Field& f : m_fields) m_columns.emplace_back(f);
  m_indexes.resize(m_fields.size());
}

TableData::TableData(std::vector<Field> fields, bool keyed, std::vector<Row>&& rows)
    : TableData(std::move(fields), keyed) {
  std::vector<std::size_t> textBytes(m_columns.size());
  for (const Row& row : rows) {
    for (std::size_t i = 0; i < row.size() && i < textBytes.size(); ++i) {
      if (const auto* s = std::get_if<std::string>(&row[i])) textBytes[i] += s->size();
    }
  }
  for (std::size_t i = 0; i < m_columns.size(); ++i) m_columns[i].Reserve(rows.size(), textBytes[i]);
  m_live.reserve(rows.size());
  m_dead.reserve(rows.size());
  for (Row& row : rows) {
    AppendRow(row);
    Row().swap(row);
  }
  rows.clear();
}

int TableData::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (FoldedEqual(m_fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

Row TableData::GetRow(std::uint32_t row) const {
  Row values;
  values.reserve(m_columns.size());
  for (const ColumnData& c : m_columns) values.push_back(c.Get(row));
  return values;
}

std::size_t TableData::PositionOf(std::uint32_t row) const {
  return static_cast<std::size_t>(std::lower_bound(m_live.begin(), m_live.end(), row) - m_live.begin());
}

bool TableData::Matches(std::uint32_t row, std::size_t column, const Probe& probe) const {
  const ColumnData& c = m_columns[column];
  switch (probe.kind) {
    case Probe::Kind::Text: return FoldedEqual(c.Text(row), probe.text);
    case Probe::Kind::Key: return !c.IsBlank(row) && c.MatchKey(row) == probe.key;
  }
  return false;
}

std::uint64_t TableData::probeHash(const Probe& probe) const {
  return probe.kind == Probe::Kind::Text ? textHash(probe.text) : keyHash(probe.key);
}

void TableData::indexRow(HashIndex& index, std::size_t column, std::uint32_t row) const {
  const ColumnData& c = m_columns[column];
  if (c.IsTextStorage()) {
    const std::string_view text = c.Text(row);
    index.Add(row, textHash(text), [&](std::uint32_t other) { return FoldedEqual(c.Text(other), text); });
  } else if (!c.IsBlank(row)) {
    const std::int64_t key = c.MatchKey(row);
    index.Add(row, keyHash(key), [&](std::uint32_t other) { return c.MatchKey(other) == key; });
  }
}

const HashIndex& TableData::columnIndex(std::size_t column) const {
  std::optional<HashIndex>& index = m_indexes[column];
  if (!index) {
    index.emplace();
    const std::size_t rows = m_columns[column].Size();
    for (std::size_t row = 0; row < rows; ++row) {
      if (!m_dead[row]) indexRow(*index, column, static_cast<std::uint32_t>(row));
    }
  }
  return *index;
}

std::vector<std::uint32_t> TableData::MatchingRows(std::size_t column, const Probe& probe) const {
  std::vector<std::uint32_t> rows;
  const HashIndex& index = columnIndex(column);
  auto matches = [&](std::uint32_t row) { return Matches(row, column, probe); };
  for (std::uint32_t row = index.Find(probeHash(probe), matches); row != HashIndex::kNone; row = index.Next(row)) {
    if (!m_dead[row]) rows.push_back(row);
  }
  return rows;
}

std::uint32_t TableData::MatchEstimate(std::size_t column, const Probe& probe) const {
  auto matches = [&](std::uint32_t row) { return Matches(row, column, probe); };
  return columnIndex(column).Count(probeHash(probe), matches);
}

std::uint64_t FoldedRowHash(const TableData& data, std::uint32_t row, const std::vector<std::size_t>& columns) {
  FoldedHasher h;
  for (std::size_t column : columns) {
    const ColumnData& c = data.Column(column);
    if (c.IsTextStorage()) {
      h.Add(c.Text(row));
    } else {
      h.Add(ReadAsString(c.Get(row), data.fields()[column]));
    }
    h.Separate();
  }
  return h.Value();
}

bool FoldedRowsEqual(const TableData& data, std::uint32_t a, std::uint32_t b,
                     const std::vector<std::size_t>& columns) {
  for (std::size_t column : columns) {
    const ColumnData& c = data.Column(column);
    if (c.IsTextStorage()) {
      if (!FoldedEqual(c.Text(a), c.Text(b))) return false;
    } else {
      const Field& f = data.fields()[column];
      if (!FoldedEqual(ReadAsString(c.Get(a), f), ReadAsString(c.Get(b), f))) return false;
    }
  }
  return true;
}

const HashIndex& TableData::LocateIndex(const std::vector<std::size_t>& columns) const {
  auto it = m_locateIndexes.find(columns);
  if (it != m_locateIndexes.end()) return it->second;
  HashIndex& index = m_locateIndexes[columns];
  for (std::size_t pos = 0; pos < m_live.size(); ++pos) {
    const std::uint32_t row = m_live[pos];
    index.Add(static_cast<std::uint32_t>(pos), FoldedRowHash(*this, row, columns), [&](std::uint32_t otherPos) {
      return FoldedRowsEqual(*this, row, m_live[otherPos], columns);
    });
  }
  return index;
}

void TableData::AppendRow(const Row& row) {
  const auto number = static_cast<std::uint32_t>(m_dead.size());
  for (std::size_t i = 0; i < m_columns.size(); ++i) {
    m_columns[i].Push(i < row.size() ? row[i] : Value{});
  }
  PushModestly(m_dead, false);
  PushModestly(m_live, number);
  for (std::size_t i = 0; i < m_indexes.size(); ++i) {
    if (m_indexes[i]) indexRow(*m_indexes[i], i, number);
  }
  m_locateIndexes.clear();
}

void TableData::ErasePositions(const std::vector<std::size_t>& positions) {
  if (positions.empty()) return;
  std::size_t out = positions.front();
  std::size_t next = 0;
  for (std::size_t pos = positions.front(); pos < m_live.size(); ++pos) {
    if (next < positions.size() && positions[next] == pos) {
      m_dead[m_live[pos]] = true;
      ++m_deadCount;
      ++next;
    } else {
      m_live[out++] = m_live[pos];
    }
  }
  m_live.resize(out);
  m_locateIndexes.clear();
  compactIfWasteful();
}

void TableData::SetValue(std::uint32_t row, std::size_t column, const Value& value) {
  m_columns[column].Set(row, value);
  m_indexes[column].reset();
  m_locateIndexes.clear();
}

void TableData::compactIfWasteful() {
  if (m_deadCount < kCompactMinimum || m_deadCount < m_live.size()) return;
  for (ColumnData& c : m_columns) c.Compact(m_live);
  for (std::size_t i = 0; i < m_live.size(); ++i) m_live[i] = static_cast<std::uint32_t>(i);
  m_dead.assign(m_live.size(), false);
  m_deadCount = 0;
  for (auto& index : m_indexes) index.reset();
}

std::size_t TableData::MemoryUsage() const {
  std::size_t bytes = sizeof(*this) + m_live.capacity() * sizeof(std::uint32_t) + m_dead.capacity() / 8;
  for (const ColumnData& c : m_columns) bytes += c.MemoryUsage();
  for (const auto& index : m_indexes) {
    if (index) bytes += index->MemoryUsage();
  }
  for (const auto& [columns, index] : m_locateIndexes) bytes += index.MemoryUsage();
  return bytes;
}

}  // namespace db
