// The rows of one table file as the process-wide cache keeps them: the values
// column by column, the stored order of the rows, and hash indexes built on
// first use. Deleted rows keep their number until the table is compacted, so
// indexes stay valid across deletes. A table read from a file decodes a
// column only when it is first used (Column, Get, Require), straight from the
// blocks, so a statement costs the columns it touches.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/columndata.h"
#include "db/hashindex.h"
#include "db/paradox/table.h"

namespace db {

// A WHERE value converted for one field; see MakeProbe in db/sql/executor.cpp.
struct Probe {
  enum class Kind { Text, Key };
  Kind kind = Kind::Text;
  std::string text;      // Text: compared folded
  std::int64_t key = 0;  // Key: ColumnData::MatchKey
};

// The file a TableData reads its columns from when they are first used: the
// storage layer's view of it (header and block chain) and the stamp of the
// file that view holds for. Our own writes keep both up to date.
struct TableSource {
  explicit TableSource(std::string path) : table(std::move(path)), stamp(table.stamp()) {}
  ParadoxTable table;
  FileStamp stamp;
};

class TableData {
 public:
  TableData(std::vector<Field> fields, bool keyed);
  // The records of the source's table, no column decoded yet. A column is
  // read when first used; that throws db::Error when the file no longer has
  // the source's stamp (another program changed it).
  explicit TableData(std::shared_ptr<TableSource> source);
  // Takes the rows as ParadoxTable::ReadAll gives them, releasing each row as
  // it is stored.
  TableData(std::vector<Field> fields, bool keyed, std::vector<Row>&& rows);

  const std::vector<Field>& fields() const { return m_fields; }
  bool keyed() const { return m_keyed; }
  // Paradox field names ignore letter case. -1 when there is no such field.
  int FieldIndex(std::string_view name) const;

  // Rows are addressed by position in stored order (0..RowCount()-1); the
  // values by row number (PhysicalRow).
  std::size_t RowCount() const { return m_live.size(); }
  std::uint32_t PhysicalRow(std::size_t position) const { return m_live[position]; }
  const std::vector<std::uint32_t>& LiveRows() const { return m_live; }
  const ColumnData& Column(std::size_t column) const {
    if (!m_decoded[column]) Require({column});
    return m_columns[column];
  }
  Value Get(std::uint32_t row, std::size_t column) const { return Column(column).Get(row); }
  bool Decoded(std::size_t column) const { return m_decoded[column]; }
  // Decodes these columns, those not decoded yet in one pass over the file.
  void Require(const std::vector<std::size_t>& columns) const;
  void RequireAll() const;
  // The values of these columns for the rows at these positions (ascending)
  // only, read from the blocks holding them: one ColumnData per column, a
  // value per position. REQUIRES: the columns are not decoded.
  std::vector<ColumnData> ReadAtPositions(const std::vector<std::size_t>& positions,
                                          const std::vector<std::size_t>& columns) const;
  Row GetRow(std::uint32_t row) const;
  // Position of a live row number in stored order.
  std::size_t PositionOf(std::uint32_t row) const;

  bool Matches(std::uint32_t row, std::size_t column, const Probe& probe) const;
  // The live rows matching, in stored order (the index of the column is built on first use).
  std::vector<std::uint32_t> MatchingRows(std::size_t column, const Probe& probe) const;
  // How many rows the index holds under the probe's key: a cheap upper bound.
  std::uint32_t MatchEstimate(std::size_t column, const Probe& probe) const;

  // The folded-text index of these columns over positions, for Locate on a
  // result that is the whole table in stored order. Built on first use.
  const HashIndex& LocateIndex(const std::vector<std::size_t>& columns) const;

  // Changes the cache makes after writing the same change to the file.
  // REQUIRES: canonical values (db/values.h), ascending positions.
  void AppendRow(const Row& row);
  void ErasePositions(const std::vector<std::size_t>& positions);
  void SetValue(std::uint32_t row, std::size_t column, const Value& value);

  std::size_t MemoryUsage() const;

 private:
  const HashIndex& columnIndex(std::size_t column) const;
  void indexRow(HashIndex& index, std::size_t column, std::uint32_t row) const;
  std::uint64_t probeHash(const Probe& probe) const;
  void compactIfWasteful();

  const TableSource& source() const;

  std::vector<Field> m_fields;
  bool m_keyed = false;
  std::shared_ptr<TableSource> m_source;  // null when every column is decoded
  mutable std::vector<ColumnData> m_columns;
  mutable std::vector<bool> m_decoded;
  std::vector<std::uint32_t> m_live;  // row numbers in stored order
  std::vector<bool> m_dead;
  std::size_t m_deadCount = 0;
  mutable std::vector<std::optional<HashIndex>> m_indexes;  // per column, over row numbers
  mutable std::map<std::vector<std::size_t>, HashIndex> m_locateIndexes;  // over positions
};

// Hash of the folded text of a row's columns, as Locate and DISTINCT key them.
std::uint64_t FoldedRowHash(const TableData& data, std::uint32_t row, const std::vector<std::size_t>& columns);
bool FoldedRowsEqual(const TableData& data, std::uint32_t a, std::uint32_t b, const std::vector<std::size_t>& columns);

}  // namespace db
