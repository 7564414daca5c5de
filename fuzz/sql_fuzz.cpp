// Any text as a local SQL statement: tokenizing and parsing end in a statement
// or in db::Error. A statement that parses is run against a small table of
// every writable field type (its path replaced by the scratch table's), and
// must keep the table readable with the number of rows it reports.
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>

#include "db/query.h"
#include "db/resultset.h"
#include "db/sql/executor.h"
#include "db/sql/parser.h"
#include "db/sql/tokenizer.h"
#include "db/tablecache.h"
#include "db/values.h"
#include "fuzz/fuzz_util.h"

namespace {

using db::Field;
using db::FieldType;

const std::vector<Field>& scratchFields() {
  static const std::vector<Field> fields = {
      {"FArtist", FieldType::Alpha, 64}, {"FName", FieldType::Alpha, 20}, {"FHour", FieldType::Short, 2},
      {"FNumber", FieldType::Long, 4},   {"FDate", FieldType::Date, 4},   {"FTime", FieldType::Time, 4},
      {"FStamp", FieldType::Timestamp, 8}, {"FLen", FieldType::Number, 8}, {"FCost", FieldType::Currency, 8},
      {"FFlag", FieldType::Logical, 1},  {"FId", FieldType::AutoInc, 4}, {"FBcd", FieldType::Bcd, 2},
  };
  return fields;
}

// The scratch table's bytes, made once: a few rows with repeated and blank values.
const std::string& scratchTable() {
  static const std::string bytes = [] {
    const std::string path = fuzz::ScratchPath("MAKE.DB");
    fuzz::RemoveFile(path);
    db::ParadoxTable::Create(path, scratchFields());
    std::vector<db::Row> rows;
    for (int i = 0; i < 6; ++i) {
      db::Row row(scratchFields().size());
      row[0] = std::string(i % 2 ? "Artist" : "ARTIST");
      if (i != 3) row[1] = "Name " + std::to_string(i % 3);
      row[2] = std::int64_t{i % 24};
      row[3] = std::int64_t{i * 1000 - 2500};
      row[4] = 42000.0 + i % 2;
      row[5] = (i % 4) / 24.0;
      row[6] = 42000.5 + i;
      row[7] = i * 0.25;
      row[8] = 1.5;
      row[9] = i % 2 == 0;
      rows.push_back(std::move(row));
    }
    db::ParadoxTable(path).Append(rows);
    std::string made = fuzz::ReadFileBytes(path);
    fuzz::RemoveFile(path);
    return made;
  }();
  return bytes;
}

// Every value a literal may be compared with.
void probeAllFields(const std::vector<db::sql::Condition>& conditions) {
  for (const auto& c : conditions) {
    for (const Field& field : scratchFields()) {
      try {
        (void)db::sql::MakeProbe(c.value, field, "S.DB");
      } catch (const db::Error&) {
      }
    }
  }
}

std::size_t rowsOnDisk(const std::string& path) {
  const fuzz::ReadResult r = fuzz::ReadTable(path);
  if (!r.ok) fuzz::Violated("a statement left a table that cannot be read");
  return r.rows.size();
}

void runSelect(db::sql::Select select, const std::string& path) {
  select.path = path;
  const db::ResultSet result = db::sql::RunSelect(select);
  for (std::size_t p = 0; p < result.RowCount(); ++p) (void)result.GetRow(p);
  if (result.RowCount() > 0 && !result.fields().empty()) {
    const std::string first = db::ReadAsString(result.Get(0, 0), result.fields()[0]);
    if (result.Locate({0}, {first}, false) != 0u) fuzz::Violated("Locate missed the first row's own value");
  }
}

void runChange(db::sql::Statement statement, const std::string& path) {
  const std::size_t before = rowsOnDisk(path);
  std::visit([&](auto& s) { s.path = path; }, statement);
  const std::size_t affected = db::sql::RunChange(statement);
  const std::size_t after = rowsOnDisk(path);
  if (std::holds_alternative<db::sql::Delete>(statement) && after + affected != before) {
    fuzz::Violated("DELETE reported another number of rows than it deleted");
  }
  if (std::holds_alternative<db::sql::Update>(statement) && (after != before || affected > before)) {
    fuzz::Violated("UPDATE changed the number of rows");
  }
}

void run(const db::sql::Statement& statement) {
  db::TableCache::Clear();
  if (const auto* create = std::get_if<db::sql::CreateTable>(&statement)) {
    const std::string path = fuzz::ScratchPath("C.DB");
    fuzz::RemoveFile(path);
    db::sql::CreateTable c = *create;
    c.path = path;
    (void)db::sql::RunChange(c);
    if (rowsOnDisk(path) != 0) fuzz::Violated("a new table has rows");
    return;
  }
  const std::string path = fuzz::ScratchPath("S.DB");
  fuzz::WriteFile(path, scratchTable());
  if (const auto* select = std::get_if<db::sql::Select>(&statement)) {
    runSelect(*select, path);
  } else {
    runChange(statement, path);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);

  // Quoted() puts any text into a statement: it reads back as one string.
  const auto quoted = db::sql::Tokenize(db::Quoted(text));
  if (quoted.size() != 2 || quoted[0].kind != db::sql::TokenKind::String || quoted[0].text != text) {
    fuzz::Violated("Quoted text does not read back as itself");
  }

  try {
    for (const auto& token : db::sql::Tokenize(text)) (void)db::sql::Describe(token);
  } catch (const db::Error&) {
  }
  db::sql::Statement statement;
  try {
    statement = db::sql::Parse(text);
  } catch (const db::Error&) {
    return 0;
  }
  std::visit(
      [](const auto& s) {
        using S = std::decay_t<decltype(s)>;
        if constexpr (requires { s.where; }) probeAllFields(s.where);
        if constexpr (std::is_same_v<S, db::sql::Update>) probeAllFields(s.set);
      },
      statement);
  try {
    run(statement);
  } catch (const db::Error&) {
  }
  return 0;
}
