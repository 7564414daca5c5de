#include "db/tabledata.h"

#include <algorithm>

#include "core/codec.h"
#include "core/text.h"
#include "db/tablecache.h"
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

// Text bytes a column read reserves per row at first: what most names and
// paths need, given back (ShrinkToFit) when the column is read.
constexpr std::size_t kReservedTextPerRow = 24;

// Fills a column row by row from a column read that gives the live rows only:
// rows deleted from the file since it was read get a blank.
class LiveRowFiller : public ColumnSink {
 public:
  LiveRowFiller(ColumnData& column, const std::vector<bool>& dead) : m_column(column), m_dead(dead) {}
  void Blank() override {
    skipDead();
    m_column.PushBlank();
  }
  void Text(std::string_view text) override {
    skipDead();
    m_column.PushText(text);
  }
  void Int(std::int32_t value) override {
    skipDead();
    m_column.PushInt(value);
  }
  void Real(double value) override {
    skipDead();
    m_column.PushReal(value);
  }
  void Bool(bool value) override {
    skipDead();
    m_column.PushBool(value);
  }
  // Blanks for the dead rows after the last live one; false when the read gave
  // more or fewer live rows than there are.
  bool Finish() {
    while (m_next < m_dead.size() && m_dead[m_next]) {
      m_column.PushBlank();
      ++m_next;
    }
    return m_next == m_dead.size() && !m_overrun;
  }

 private:
  void skipDead() {
    while (m_next < m_dead.size() && m_dead[m_next]) {
      m_column.PushBlank();
      ++m_next;
    }
    if (m_next >= m_dead.size()) m_overrun = true;
    ++m_next;
  }

  ColumnData& m_column;
  const std::vector<bool>& m_dead;
  std::size_t m_next = 0;
  bool m_overrun = false;
};

}  // namespace

TableData::TableData(std::vector<Field> fields, bool keyed) : m_fields(std::move(fields)), m_keyed(keyed) {
  m_columns.reserve(m_fields.size());
  for (const Field& f : m_fields) m_columns.emplace_back(f);
  m_decoded.assign(m_fields.size(), true);
  m_indexes.resize(m_fields.size());
}

TableData::TableData(std::shared_ptr<TableSource> source)
    : TableData(source->table.fields(), source->table.keyFieldCount() > 0) {
  m_source = std::move(source);
  m_decoded.assign(m_fields.size(), false);
  const std::size_t rows = m_source->table.recordCount();
  m_live.resize(rows);
  for (std::size_t i = 0; i < rows; ++i) m_live[i] = static_cast<std::uint32_t>(i);
  m_dead.assign(rows, false);
}

const TableSource& TableData::source() const {
  const TableSource& s = *m_source;
  if (ParadoxTable::Stamp(s.table.path()) != s.stamp) {
    ThrowTableError(s.table.path(), core::cp1251("таблицу изменила другая программа, повторите действие"));
  }
  return s;
}

void TableData::Require(const std::vector<std::size_t>& columns) const {
  std::vector<std::size_t> missing;
  for (std::size_t c : columns) {
    if (!m_decoded[c] && std::find(missing.begin(), missing.end(), c) == missing.end()) missing.push_back(c);
  }
  if (missing.empty()) return;
  const TableSource& s = source();
  const std::size_t rows = m_dead.size();
  std::vector<ColumnData> read;
  read.reserve(missing.size());
  std::vector<LiveRowFiller> fillers;
  fillers.reserve(missing.size());
  std::vector<ColumnSink*> sinks;
  for (std::size_t c : missing) {
    read.emplace_back(m_fields[c]);
    const Field& f = m_fields[c];
    const bool text = f.type == FieldType::Alpha;
    read.back().Reserve(rows, text ? rows * std::min<std::size_t>(static_cast<std::size_t>(f.size), kReservedTextPerRow) : 0);
  }
  for (ColumnData& c : read) {
    fillers.emplace_back(c, m_dead);
    sinks.push_back(&fillers.back());
  }
  s.table.ReadColumns(missing, sinks);
  for (std::size_t i = 0; i < missing.size(); ++i) {
    if (!fillers[i].Finish()) {
      ThrowTableError(s.table.path(), core::cp1251("таблицу изменила другая программа, повторите действие"));
    }
    read[i].ShrinkToFit();
    m_columns[missing[i]] = std::move(read[i]);
    m_decoded[missing[i]] = true;
  }
}

void TableData::RequireAll() const {
  std::vector<std::size_t> all(m_fields.size());
  for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
  Require(all);
}

std::vector<ColumnData> TableData::ReadAtPositions(const std::vector<std::size_t>& positions,
                                                   const std::vector<std::size_t>& columns) const {
  std::vector<ColumnData> read;
  read.reserve(columns.size());
  for (std::size_t c : columns) read.emplace_back(m_fields[c]);
  std::vector<ColumnFiller> fillers;
  fillers.reserve(columns.size());
  std::vector<ColumnSink*> sinks;
  for (ColumnData& c : read) {
    fillers.emplace_back(c);
    sinks.push_back(&fillers.back());
  }
  source().table.ReadColumnsAt(positions, columns, sinks);
  return read;
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
  RequireAll();
  Row values;
  values.reserve(m_columns.size());
  for (const ColumnData& c : m_columns) values.push_back(c.Get(row));
  return values;
}

std::size_t TableData::PositionOf(std::uint32_t row) const {
  return static_cast<std::size_t>(std::lower_bound(m_live.begin(), m_live.end(), row) - m_live.begin());
}

bool TableData::Matches(std::uint32_t row, std::size_t column, const Probe& probe) const {
  const ColumnData& c = Column(column);
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
  const ColumnData& c = Column(column);
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
    Require({column});
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
  Require(columns);
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
  // A column not decoded yet gets the row from the file, which holds it.
  for (std::size_t i = 0; i < m_columns.size(); ++i) {
    if (m_decoded[i]) m_columns[i].Push(i < row.size() ? row[i] : Value{});
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
  if (m_decoded[column]) m_columns[column].Set(row, value);
  m_indexes[column].reset();
  m_locateIndexes.clear();
}

void TableData::compactIfWasteful() {
  if (m_deadCount < kCompactMinimum || m_deadCount < m_live.size()) return;
  for (std::size_t i = 0; i < m_columns.size(); ++i) {
    if (m_decoded[i]) m_columns[i].Compact(m_live);
  }
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
