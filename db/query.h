// The statement object: the program composes a local SQL statement line by
// line, then opens it (SELECT) or executes it (CREATE TABLE, DELETE, UPDATE).
// Tables are named by their full paths; db/sql/SQL.md describes the dialect.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"
#include "db/paradox/table.h"

namespace db {

class ResultSet;

// A text value or path between double quotes, with every double quote in it
// doubled, as the statements are composed.
std::string Quoted(std::string_view text);

class Query {
 public:
  Query();
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  // The statement text. Changing it closes an open selection.
  void Clear();
  void Add(std::string_view line);
  const std::vector<std::string>& Lines() const { return m_lines; }
  // True for a SELECT. Throws db::Error for a malformed statement.
  bool IsSelect() const;

  // Runs a SELECT; afterwards the first row is current, or Eof() is true.
  void Open();
  // Runs CREATE TABLE, DELETE or UPDATE; the file holds the change on return.
  void ExecSQL();
  std::size_t RowsAffected() const { return m_rowsAffected; }
  void Close();
  bool Active() const { return m_result != nullptr; }

  // REQUIRES for the rest: Active(), else db::Error.
  int RecordCount() const;
  void First();
  // At the last row sets Eof() and stays there.
  void Next();
  bool Eof() const;  // also true when closed

  // Fields of the current row by name (letter case ignored), converted as
  // db/values.h says; an empty result reads blank. A field the selection lacks
  // throws db::Error naming the field and the table.
  std::string FieldAsString(std::string_view name) const;
  std::int32_t FieldAsInteger(std::string_view name) const;
  core::TDateTime FieldAsDateTime(std::string_view name) const;
  bool FieldAsBoolean(std::string_view name) const;

  // Makes current the first row whose fields ("A" or "A;B") equal the values,
  // as read as text: exactly, or ignoring letter case (core::UpperStr). On no
  // match the current row stays and false is returned.
  bool Locate(std::string_view fields, const std::vector<std::string>& values, bool caseInsensitive);

  const std::vector<Field>& Fields() const;
  Row CurrentRow() const;

 private:
  const ResultSet& result() const;
  std::pair<Value, const Field*> field(std::string_view name) const;
  std::string statementText() const;

  std::vector<std::string> m_lines;
  std::unique_ptr<ResultSet> m_result;
  std::size_t m_current = 0;
  bool m_eof = true;
  std::size_t m_rowsAffected = 0;
};

}  // namespace db
