// The rows a SELECT produced: a fixed view of the table's rows as they were
// when the statement ran, with the selected fields.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/hashindex.h"
#include "db/tabledata.h"

namespace db {

class ResultSet {
 public:
  // rows: row numbers in result order; nullopt for every row in stored order.
  ResultSet(std::shared_ptr<const TableData> data, std::string table, std::vector<std::size_t> columns,
            std::optional<std::vector<std::uint32_t>> rows);

  const std::string& table() const { return m_table; }
  const std::vector<Field>& fields() const { return m_fields; }
  std::size_t RowCount() const;
  // Index among the selected fields; -1 when not selected.
  int FieldIndex(std::string_view name) const;
  Value Get(std::size_t position, std::size_t field) const;
  Row GetRow(std::size_t position) const;

  // The first position whose fields equal the texts (as fields read as text),
  // exactly or by the folded comparison. Builds a hash index of the folded
  // values of these fields on first use.
  std::optional<std::size_t> Locate(const std::vector<std::size_t>& fields, const std::vector<std::string>& values,
                                    bool caseInsensitive) const;

 private:
  std::uint32_t rowAt(std::size_t position) const;
  std::vector<std::size_t> tableColumns(const std::vector<std::size_t>& fields) const;
  const HashIndex& locateIndex(const std::vector<std::size_t>& columns) const;
  bool rowEquals(std::uint32_t row, const std::vector<std::size_t>& columns, const std::vector<std::string>& values,
                 bool caseInsensitive) const;

  // The value of a selected field the table has not decoded: a small result
  // reads its own rows' records, a large one the whole column.
  Value undecoded(std::size_t position, std::size_t field) const;

  std::shared_ptr<const TableData> m_data;
  std::string m_table;
  std::vector<std::size_t> m_columns;  // selected field -> table column
  std::vector<Field> m_fields;
  std::optional<std::vector<std::uint32_t>> m_rows;
  mutable std::map<std::vector<std::size_t>, HashIndex> m_locateIndexes;
  // Small results: per selected field, its values by position, read on first use.
  mutable std::vector<std::optional<ColumnData>> m_own;
};

}  // namespace db
