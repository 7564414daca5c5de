// Recursive descent over the tokens, one function per rule of this grammar.
// Keywords are matched without regard to letter case; a statement may end in
// one ";".
//
//   statement  = ( create | select | delete | update ) [ ";" ] END
//   create     = CREATE TABLE path "(" columnDef { "," columnDef } ")"
//   columnDef  = name type
//   type       = CHAR "(" integer ")" | VARCHAR "(" integer ")"    Alpha, 1..255
//              | SMALLINT | INTEGER | AUTOINC                       Short, Long, AutoInc
//              | FLOAT | MONEY                                      Number, Currency
//              | DATE | TIME | TIMESTAMP                            Date, Time, Timestamp
//              | BOOLEAN                                            Logical
//   select     = SELECT [ DISTINCT ] selectList FROM path [ where ] [ orderBy ]
//   selectList = "*" | name { "," name }
//   delete     = DELETE FROM path [ where ]
//   update     = UPDATE path SET condition { "," condition } [ where ]
//   where      = WHERE condition { AND condition }
//   orderBy    = ORDER BY name { "," name }
//   condition  = name "=" literal
//   path       = string
//   literal    = string | integer
//   name       = a word that is not a keyword
//
// Tokens (tokenizer.cpp): a string is "..." with "" for one double quote; an
// integer is decimal digits with an optional leading "-".
#include "db/sql/parser.h"

#include <array>

#include "core/codec.h"
#include "core/text.h"

namespace db::sql {
namespace {

constexpr std::array<std::string_view, 12> kKeywords = {
    "SELECT", "DISTINCT", "FROM", "WHERE", "AND",    "ORDER",
    "BY",     "DELETE",   "UPDATE", "SET", "CREATE", "TABLE"};

struct TypeName {
  std::string_view name;
  FieldType type;
  int size;  // 0: CHAR-like, the size follows in parentheses
};

constexpr std::array<TypeName, 11> kTypes = {{
    {"CHAR", FieldType::Alpha, 0},
    {"VARCHAR", FieldType::Alpha, 0},
    {"SMALLINT", FieldType::Short, 2},
    {"INTEGER", FieldType::Long, 4},
    {"AUTOINC", FieldType::AutoInc, 4},
    {"FLOAT", FieldType::Number, 8},
    {"MONEY", FieldType::Currency, 8},
    {"DATE", FieldType::Date, 4},
    {"TIME", FieldType::Time, 4},
    {"TIMESTAMP", FieldType::Timestamp, 8},
    {"BOOLEAN", FieldType::Logical, 1},
}};

constexpr int kMaxAlpha = 255;

bool isKeyword(const Token& t) {
  if (t.kind != TokenKind::Word) return false;
  const std::string upper = core::UpperStr(t.text);
  for (auto k : kKeywords) {
    if (upper == k) return true;
  }
  return false;
}

class Parser {
 public:
  explicit Parser(std::vector<Token> tokens) : m_tokens(std::move(tokens)) {}

  Statement statement() {
    Statement result;
    if (peekKeyword("CREATE")) {
      result = create();
    } else if (peekKeyword("SELECT")) {
      result = select();
    } else if (peekKeyword("DELETE")) {
      result = deleteStatement();
    } else if (peekKeyword("UPDATE")) {
      result = update();
    } else {
      expected("SELECT, DELETE, UPDATE или CREATE TABLE");
    }
    if (peek().kind == TokenKind::Semicolon) advance();
    if (peek().kind != TokenKind::End) expected("конец запроса");
    return result;
  }

 private:
  CreateTable create() {
    CreateTable c;
    keyword("CREATE");
    keyword("TABLE");
    c.path = path();
    punct(TokenKind::LParen, "\"(\"");
    c.columns.push_back(columnDef());
    while (accept(TokenKind::Comma)) c.columns.push_back(columnDef());
    punct(TokenKind::RParen, "\",\" или \")\"");
    return c;
  }

  ColumnDef columnDef() {
    ColumnDef d;
    d.name = name();
    type(d);
    return d;
  }

  void type(ColumnDef& d) {
    const Token& t = peek();
    if (t.kind == TokenKind::Word) {
      const std::string upper = core::UpperStr(t.text);
      for (const auto& candidate : kTypes) {
        if (upper != candidate.name) continue;
        advance();
        d.type = candidate.type;
        d.size = candidate.size;
        if (candidate.size == 0) d.size = alphaSize();
        return;
      }
    }
    expected("тип поля (CHAR(n), VARCHAR(n), SMALLINT, INTEGER, AUTOINC, FLOAT, MONEY, DATE, TIME, "
             "TIMESTAMP, BOOLEAN)");
  }

  int alphaSize() {
    punct(TokenKind::LParen, "\"(\"");
    const Token& t = peek();
    if (t.kind != TokenKind::Integer || t.integer < 1 || t.integer > kMaxAlpha) {
      expected("длина поля от 1 до 255");
    }
    const int size = static_cast<int>(t.integer);
    advance();
    punct(TokenKind::RParen, "\")\"");
    return size;
  }

  Select select() {
    Select s;
    keyword("SELECT");
    if (peekKeyword("DISTINCT")) {
      advance();
      s.distinct = true;
    }
    selectList(s);
    keyword("FROM");
    s.path = path();
    if (peekKeyword("WHERE")) s.where = where();
    if (peekKeyword("ORDER")) s.orderBy = orderBy();
    return s;
  }

  void selectList(Select& s) {
    if (accept(TokenKind::Star)) {
      s.star = true;
      return;
    }
    s.columns.push_back(name());
    while (accept(TokenKind::Comma)) s.columns.push_back(name());
  }

  Delete deleteStatement() {
    Delete d;
    keyword("DELETE");
    keyword("FROM");
    d.path = path();
    if (peekKeyword("WHERE")) d.where = where();
    return d;
  }

  Update update() {
    Update u;
    keyword("UPDATE");
    u.path = path();
    keyword("SET");
    u.set.push_back(condition());
    while (accept(TokenKind::Comma)) u.set.push_back(condition());
    if (peekKeyword("WHERE")) u.where = where();
    return u;
  }

  std::vector<Condition> where() {
    keyword("WHERE");
    std::vector<Condition> conditions{condition()};
    while (peekKeyword("AND")) {
      advance();
      conditions.push_back(condition());
    }
    return conditions;
  }

  std::vector<Name> orderBy() {
    keyword("ORDER");
    keyword("BY");
    std::vector<Name> names{name()};
    while (accept(TokenKind::Comma)) names.push_back(name());
    return names;
  }

  Condition condition() {
    Condition c;
    c.field = name();
    punct(TokenKind::Equals, "\"=\"");
    c.value = literal();
    return c;
  }

  std::string path() {
    const Token& t = peek();
    if (t.kind != TokenKind::String) expected("путь к таблице в двойных кавычках");
    std::string result = t.text;
    advance();
    return result;
  }

  Literal literal() {
    const Token& t = peek();
    Literal l;
    l.pos = t.pos;
    l.text = t.text;
    if (t.kind == TokenKind::String) {
      l.kind = Literal::Kind::Text;
    } else if (t.kind == TokenKind::Integer) {
      l.kind = Literal::Kind::Integer;
      l.integer = t.integer;
    } else {
      expected("значение (текст в двойных кавычках или целое число)");
    }
    advance();
    return l;
  }

  Name name() {
    const Token& t = peek();
    if (t.kind != TokenKind::Word || isKeyword(t)) expected("имя поля");
    Name n{t.text, t.pos};
    advance();
    return n;
  }

  // Token helpers.
  const Token& peek() const { return m_tokens[m_next]; }
  void advance() {
    if (m_tokens[m_next].kind != TokenKind::End) ++m_next;
  }
  bool peekKeyword(std::string_view upper) const {
    return peek().kind == TokenKind::Word && core::UpperStr(peek().text) == upper;
  }
  void keyword(std::string_view upper) {
    if (!peekKeyword(upper)) expected(upper);
    advance();
  }
  bool accept(TokenKind kind) {
    if (peek().kind != kind) return false;
    advance();
    return true;
  }
  void punct(TokenKind kind, std::string_view utf8What) {
    if (!accept(kind)) expected(utf8What);
  }

  [[noreturn]] void expected(std::string_view utf8What) const {
    throw Error(core::cp1251("Ошибка в запросе ") + Where(peek().pos) + core::cp1251(": ожидалось ") +
                core::cp1251(utf8What) + core::cp1251(", а найдено ") + Describe(peek()));
  }

  std::vector<Token> m_tokens;
  std::size_t m_next = 0;
};

}  // namespace

Statement Parse(std::string_view statement) { return Parser(Tokenize(statement)).statement(); }

}  // namespace db::sql
