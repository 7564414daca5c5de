// The statements of the local SQL as parsed from their text. The grammar is
// written at the top of parser.cpp; db/sql/SQL.md describes the dialect.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "db/paradox/table.h"
#include "db/sql/tokenizer.h"

namespace db::sql {

struct Name {
  std::string text;
  Position pos;
};

struct Literal {
  enum class Kind { Text, Integer };
  Kind kind = Kind::Text;
  std::string text;          // Text: the value; Integer: as written
  std::int64_t integer = 0;  // Integer only
  Position pos;
};

// "field = value", in WHERE (joined by AND) and in SET.
struct Condition {
  Name field;
  Literal value;
};

struct ColumnDef {
  Name name;
  FieldType type = FieldType::Alpha;
  int size = 0;  // bytes in the record
};

struct CreateTable {
  std::string path;
  std::vector<ColumnDef> columns;
};

struct Select {
  bool distinct = false;
  bool star = false;          // SELECT *
  std::vector<Name> columns;  // empty with star
  std::string path;
  std::vector<Condition> where;
  std::vector<Name> orderBy;
};

struct Delete {
  std::string path;
  std::vector<Condition> where;
};

struct Update {
  std::string path;
  std::vector<Condition> set;
  std::vector<Condition> where;
};

using Statement = std::variant<CreateTable, Select, Delete, Update>;

// Throws db::Error naming what was expected, what was found and where.
Statement Parse(std::string_view statement);

}  // namespace db::sql
