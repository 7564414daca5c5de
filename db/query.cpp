#include "db/query.h"

#include "core/codec.h"
#include "db/resultset.h"
#include "db/sql/executor.h"
#include "db/sql/parser.h"
#include "db/tablecache.h"
#include "db/values.h"

namespace db {

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    out += c;
    if (c == '"') out += '"';
  }
  out += '"';
  return out;
}

Query::Query() = default;
Query::~Query() = default;

void Query::Clear() {
  Close();
  m_lines.clear();
}

void Query::Add(std::string_view line) {
  Close();
  m_lines.emplace_back(line);
}

std::string Query::statementText() const {
  std::string text;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += m_lines[i];
  }
  return text;
}

bool Query::IsSelect() const { return std::holds_alternative<sql::Select>(sql::Parse(statementText())); }

void Query::Open() {
  Close();
  const sql::Statement statement = sql::Parse(statementText());
  const auto* select = std::get_if<sql::Select>(&statement);
  if (!select) throw Error(core::cp1251("Открыть можно только запрос SELECT; этот запрос выполняют"));
  m_result = std::make_unique<ResultSet>(sql::RunSelect(*select));
  First();
}

void Query::ExecSQL() {
  Close();
  m_rowsAffected = 0;
  m_rowsAffected = sql::RunChange(sql::Parse(statementText()));
}

void Query::Close() {
  m_result.reset();
  m_current = 0;
  m_eof = true;
}

const ResultSet& Query::result() const {
  if (!m_result) throw Error(core::cp1251("Запрос не открыт"));
  return *m_result;
}

int Query::RecordCount() const { return static_cast<int>(result().RowCount()); }

void Query::First() {
  m_current = 0;
  m_eof = result().RowCount() == 0;
}

void Query::Next() {
  if (m_current + 1 < result().RowCount()) {
    ++m_current;
  } else {
    m_eof = true;
  }
}

bool Query::Eof() const { return m_eof; }

std::pair<Value, const Field*> Query::field(std::string_view name) const {
  const ResultSet& r = result();
  const int index = r.FieldIndex(name);
  if (index < 0) ThrowTableError(r.table(), core::cp1251("нет поля «") + std::string(name) + core::cp1251("»"));
  const auto i = static_cast<std::size_t>(index);
  const Value value = r.RowCount() == 0 ? Value{} : r.Get(m_current, i);
  return {value, &r.fields()[i]};
}

std::string Query::FieldAsString(std::string_view name) const {
  const auto [value, f] = field(name);
  return ReadAsString(value, *f);
}

std::int32_t Query::FieldAsInteger(std::string_view name) const {
  const auto [value, f] = field(name);
  return ReadAsInteger(value, *f, result().table());
}

core::TDateTime Query::FieldAsDateTime(std::string_view name) const {
  const auto [value, f] = field(name);
  return ReadAsDateTime(value, *f, result().table());
}

bool Query::FieldAsBoolean(std::string_view name) const {
  const auto [value, f] = field(name);
  return ReadAsBoolean(value, *f, result().table());
}

bool Query::Locate(std::string_view fields, const std::vector<std::string>& values, bool caseInsensitive) {
  const ResultSet& r = result();
  std::vector<std::size_t> indexes;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = fields.find(';', start);
    std::string_view name = fields.substr(start, end == std::string_view::npos ? end : end - start);
    while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    const int index = r.FieldIndex(name);
    if (index < 0) ThrowTableError(r.table(), core::cp1251("нет поля «") + std::string(name) + core::cp1251("»"));
    indexes.push_back(static_cast<std::size_t>(index));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  if (indexes.size() != values.size()) {
    ThrowTableError(r.table(), core::cp1251("поиск: полей ") + std::to_string(indexes.size()) +
                                   core::cp1251(", а значений ") + std::to_string(values.size()));
  }
  const auto found = r.Locate(indexes, values, caseInsensitive);
  if (!found) return false;
  m_current = *found;
  m_eof = false;
  return true;
}

const std::vector<Field>& Query::Fields() const { return result().fields(); }

Row Query::CurrentRow() const {
  const ResultSet& r = result();
  return r.RowCount() == 0 ? Row(r.fields().size()) : r.GetRow(m_current);
}

}  // namespace db
