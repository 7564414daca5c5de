#include "db/resultset.h"

#include "db/columndata.h"
#include "db/values.h"

#include <algorithm>
#include <numeric>

namespace db {
namespace {

// A result of at most this many rows reads the fields the table has not
// decoded from its own records instead of decoding whole columns.
constexpr std::size_t kOwnRecordsLimit = 64;

}  // namespace

ResultSet::ResultSet(std::shared_ptr<const TableData> data, std::string table, std::vector<std::size_t> columns,
                     std::optional<std::vector<std::uint32_t>> rows)
    : m_data(std::move(data)), m_table(std::move(table)), m_columns(std::move(columns)), m_rows(std::move(rows)) {
  for (std::size_t c : m_columns) m_fields.push_back(m_data->fields()[c]);
}

std::size_t ResultSet::RowCount() const { return m_rows ? m_rows->size() : m_data->RowCount(); }

std::uint32_t ResultSet::rowAt(std::size_t position) const {
  return m_rows ? (*m_rows)[position] : m_data->PhysicalRow(position);
}

int ResultSet::FieldIndex(std::string_view name) const {
  for (std::size_t i = 0; i < m_fields.size(); ++i) {
    if (FoldedEqual(m_fields[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

Value ResultSet::Get(std::size_t position, std::size_t field) const {
  const std::size_t column = m_columns[field];
  if (m_data->Decoded(column)) return m_data->Get(rowAt(position), column);
  return undecoded(position, field);
}

Value ResultSet::undecoded(std::size_t position, std::size_t field) const {
  if (!m_rows || m_rows->size() > kOwnRecordsLimit) return m_data->Get(rowAt(position), m_columns[field]);
  if (m_own.empty()) m_own.resize(m_columns.size());
  if (!m_own[field]) {
    // Every selected field not decoded, in one read of the result's records.
    const auto& rows = *m_rows;
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rows[a] < rows[b]; });
    std::vector<std::size_t> positions;
    for (std::size_t k : order) {
      const std::size_t p = m_data->PositionOf(rows[k]);
      if (positions.empty() || positions.back() != p) positions.push_back(p);
    }
    std::vector<std::size_t> fields;
    std::vector<std::size_t> columns;
    for (std::size_t f = 0; f < m_columns.size(); ++f) {
      if (m_own[f] || m_data->Decoded(m_columns[f])) continue;
      fields.push_back(f);
      columns.push_back(m_columns[f]);
    }
    const std::vector<ColumnData> read = m_data->ReadAtPositions(positions, columns);
    for (std::size_t i = 0; i < fields.size(); ++i) {
      ColumnData own(m_fields[fields[i]]);
      for (std::uint32_t row : rows) {
        const std::size_t p = m_data->PositionOf(row);
        const auto at = std::lower_bound(positions.begin(), positions.end(), p) - positions.begin();
        own.Push(read[i].Get(static_cast<std::uint32_t>(at)));
      }
      m_own[fields[i]] = std::move(own);
    }
  }
  return m_own[field]->Get(static_cast<std::uint32_t>(position));
}

Row ResultSet::GetRow(std::size_t position) const {
  Row row;
  row.reserve(m_columns.size());
  for (std::size_t i = 0; i < m_columns.size(); ++i) row.push_back(Get(position, i));
  return row;
}

std::vector<std::size_t> ResultSet::tableColumns(const std::vector<std::size_t>& fields) const {
  std::vector<std::size_t> columns;
  for (std::size_t f : fields) columns.push_back(m_columns[f]);
  return columns;
}

const HashIndex& ResultSet::locateIndex(const std::vector<std::size_t>& columns) const {
  if (!m_rows) return m_data->LocateIndex(columns);
  auto it = m_locateIndexes.find(columns);
  if (it != m_locateIndexes.end()) return it->second;
  m_data->Require(columns);
  HashIndex& index = m_locateIndexes[columns];
  const auto& rows = *m_rows;
  for (std::size_t pos = 0; pos < rows.size(); ++pos) {
    index.Add(static_cast<std::uint32_t>(pos), FoldedRowHash(*m_data, rows[pos], columns),
              [&](std::uint32_t other) { return FoldedRowsEqual(*m_data, rows[pos], rows[other], columns); });
  }
  return index;
}

bool ResultSet::rowEquals(std::uint32_t row, const std::vector<std::size_t>& columns,
                          const std::vector<std::string>& values, bool caseInsensitive) const {
  for (std::size_t i = 0; i < columns.size(); ++i) {
    const ColumnData& c = m_data->Column(columns[i]);
    std::string converted;
    std::string_view text;
    if (c.IsTextStorage()) {
      text = c.Text(row);
    } else {
      converted = ReadAsString(c.Get(row), m_data->fields()[columns[i]]);
      text = converted;
    }
    if (caseInsensitive ? !FoldedEqual(text, values[i]) : text != values[i]) return false;
  }
  return true;
}

std::optional<std::size_t> ResultSet::Locate(const std::vector<std::size_t>& fields,
                                             const std::vector<std::string>& values, bool caseInsensitive) const {
  const std::vector<std::size_t> columns = tableColumns(fields);
  m_data->Require(columns);
  const HashIndex& index = locateIndex(columns);
  FoldedHasher hasher;
  for (const std::string& v : values) {
    hasher.Add(v);
    hasher.Separate();
  }
  auto folded = [&](std::uint32_t pos) { return rowEquals(rowAt(pos), columns, values, true); };
  for (std::uint32_t pos = index.Find(hasher.Value(), folded); pos != HashIndex::kNone; pos = index.Next(pos)) {
    if (caseInsensitive || rowEquals(rowAt(pos), columns, values, false)) return pos;
  }
  return std::nullopt;
}

}  // namespace db
