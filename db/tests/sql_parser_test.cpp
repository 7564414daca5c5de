// The grammar of the local SQL: statements and what they parse to, malformed
// statements and the error each gets.
#include <gtest/gtest.h>

#include "core/codec.h"
#include "db/sql/parser.h"
#include "db/tests/sql_util.h"

namespace db::sql {
namespace {

using db::testing::Cp;

std::string typeText(FieldType t, int size) {
  switch (t) {
    case FieldType::Alpha: return "Alpha(" + std::to_string(size) + ")";
    case FieldType::Short: return "Short";
    case FieldType::Long: return "Long";
    case FieldType::AutoInc: return "AutoInc";
    case FieldType::Number: return "Number";
    case FieldType::Currency: return "Currency";
    case FieldType::Date: return "Date";
    case FieldType::Time: return "Time";
    case FieldType::Timestamp: return "Timestamp";
    case FieldType::Logical: return "Logical";
    default: return "?";
  }
}

std::string literal(const Literal& l) {
  return l.kind == Literal::Kind::Text ? "'" + l.text + "'" : "#" + std::to_string(l.integer);
}

std::string conditions(const std::vector<Condition>& list, const char* joiner) {
  std::string out;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out += joiner;
    out += list[i].field.text + "=" + literal(list[i].value);
  }
  return out;
}

// A one-line picture of a parsed statement (UTF-8), to compare with the table.
std::string show(const Statement& statement) {
  std::string out;
  if (const auto* c = std::get_if<CreateTable>(&statement)) {
    out = "CREATE <" + c->path + "> (";
    for (std::size_t i = 0; i < c->columns.size(); ++i) {
      if (i > 0) out += ", ";
      out += c->columns[i].name.text + " " + typeText(c->columns[i].type, c->columns[i].size) + "/" +
             std::to_string(c->columns[i].size);
    }
    out += ")";
  } else if (const auto* s = std::get_if<Select>(&statement)) {
    out = std::string("SELECT ") + (s->distinct ? "DISTINCT " : "");
    if (s->star) out += "*";
    for (std::size_t i = 0; i < s->columns.size(); ++i) out += (i > 0 ? "," : "") + s->columns[i].text;
    out += " FROM <" + s->path + ">";
    if (!s->where.empty()) out += " WHERE " + conditions(s->where, " AND ");
    if (!s->orderBy.empty()) {
      out += " ORDER";
      for (const auto& n : s->orderBy) out += " " + n.text;
    }
  } else if (const auto* d = std::get_if<Delete>(&statement)) {
    out = "DELETE <" + d->path + ">";
    if (!d->where.empty()) out += " WHERE " + conditions(d->where, " AND ");
  } else if (const auto* u = std::get_if<Update>(&statement)) {
    out = "UPDATE <" + u->path + "> SET " + conditions(u->set, ", ");
    if (!u->where.empty()) out += " WHERE " + conditions(u->where, " AND ");
  }
  return core::cp1251ToUtf8(out);
}

struct Good {
  const char* statement;  // UTF-8; "\n" separates the lines a query was given
  const char* parsed;
};

const Good kGood[] = {
    {R"(SELECT * From "C:\MV\BaseSong.db")", R"(SELECT * FROM <C:\MV\BaseSong.db>)"},
    {"SELECT DISTINCT FArtist FROM \"b.db\"\nORDER BY FArtist", "SELECT DISTINCT FArtist FROM <b.db> ORDER FArtist"},
    {"SELECT FName,FArtist,FPath FROM \"b.db\"\nWHERE FArtist=\"Ария\"\nORDER BY FName",
     "SELECT FName,FArtist,FPath FROM <b.db> WHERE FArtist='Ария' ORDER FName"},
    {"select fpath from \"b.db\" where fpath=\"x\" and FHour=7 order by a, b",
     "SELECT fpath FROM <b.db> WHERE fpath='x' AND FHour=#7 ORDER a b"},
    {"SELECT * FROM \"p.db\" ;", "SELECT * FROM <p.db>"},
    {"SELECT * FROM \"p.db\"\tWHERE\r\nA=\"\"", "SELECT * FROM <p.db> WHERE A=''"},
    {"SELECT Поле FROM \"Папка\\Таблица.db\"", "SELECT Поле FROM <Папка\\Таблица.db>"},
    {R"(SELECT * FROM "a""b.db" WHERE FName="Say ""Hi""" AND A="""")",
     R"(SELECT * FROM <a"b.db> WHERE FName='Say "Hi"' AND A='"')"},
    {"Delete FROM \"PlayList.db\"\nWHERE FDate=\"05.01.2016\" AND FHour=7",
     "DELETE <PlayList.db> WHERE FDate='05.01.2016' AND FHour=#7"},
    {"DELETE FROM \"a.db\"", "DELETE <a.db>"},
    {"DELETE FROM \"Association.db\"\nWHERE FArtist=\"A\" AND\nFName=\"N\" AND\nFPath=\"P\"",
     "DELETE <Association.db> WHERE FArtist='A' AND FName='N' AND FPath='P'"},
    {"UPDATE \"a.db\"\nSET FPath=\"R\"\n, FArtist=\"_JINGLES_\"\nWHERE FArtist=\"\" AND\nFName=\"N\" AND\nFPath=\"P\"",
     "UPDATE <a.db> SET FPath='R', FArtist='_JINGLES_' WHERE FArtist='' AND FName='N' AND FPath='P'"},
    {"update \"a.db\" set FStartVol=-5, FEndVol=0", "UPDATE <a.db> SET FStartVol=#-5, FEndVol=#0"},
    {"UPDATE \"a.db\" SET N=-9223372036854775808", "UPDATE <a.db> SET N=#-9223372036854775808"},
    {"Create TABLE \"Association.db\" (\nFArtist Char(64),\nFName Char(64),\nFPath Char(160) );",
     "CREATE <Association.db> (FArtist Alpha(64)/64, FName Alpha(64)/64, FPath Alpha(160)/160)"},
    {"CREATE TABLE \"t.db\" (A VarChar(1), B SmallInt, C Integer, D AutoInc, E Float, F Money, G Date, H Time, "
     "I Timestamp, J Boolean, K CHAR(255))",
     "CREATE <t.db> (A Alpha(1)/1, B Short/2, C Long/4, D AutoInc/4, E Number/8, F Currency/8, G Date/4, "
     "H Time/4, I Timestamp/8, J Logical/1, K Alpha(255)/255)"},
    {"CREATE TABLE \"t.db\" (Date Date, Time Time)", "CREATE <t.db> (Date Date/4, Time Time/4)"},
};

TEST(SqlParser, StatementsParseToTheirParts) {
  for (const Good& c : kGood) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(show(Parse(Cp(c.statement))), c.parsed);
  }
}

struct Bad {
  const char* statement;
  const char* error;  // the whole message, UTF-8
};

const Bad kBad[] = {
    {"SELECT * FORM \"p\"", "Ошибка в запросе (строка 1, позиция 10): ожидалось FROM, а найдено \"FORM\""},
    {"SELECT FROM \"p\"", "Ошибка в запросе (строка 1, позиция 8): ожидалось имя поля, а найдено \"FROM\""},
    {"SELECT * FROM p",
     "Ошибка в запросе (строка 1, позиция 15): ожидалось путь к таблице в двойных кавычках, а найдено \"p\""},
    {"SELECT * FROM \"p", "Ошибка в запросе (строка 1, позиция 15): кавычка не закрыта"},
    {"SELECT * FROM \"p\" WHERE FName=\"a\"\"",
     "Ошибка в запросе (строка 1, позиция 31): кавычка не закрыта"},
    {"SELECT * FROM \"p\" WHERE FHour=",
     "Ошибка в запросе (строка 1, позиция 31): ожидалось значение (текст в двойных кавычках или целое число), "
     "а найдено конец запроса"},
    {"SELECT * FROM \"p\" WHERE FHour=7 OR FHour=8",
     "Ошибка в запросе (строка 1, позиция 33): ожидалось конец запроса, а найдено \"OR\""},
    {"SELECT * FROM \"p\"\nWHERE FHour==7",
     "Ошибка в запросе (строка 2, позиция 13): ожидалось значение (текст в двойных кавычках или целое число), "
     "а найдено \"=\""},
    {"SELECT * FROM \"p\" WHERE FHour=7.5", "Ошибка в запросе (строка 1, позиция 32): недопустимый символ \".\""},
    {"SELECT * FROM \"p\" WHERE FHour='7'", "Ошибка в запросе (строка 1, позиция 31): недопустимый символ \"'\""},
    {"SELECT * FROM \"p\" WHERE FHour=7x", "Ошибка в запросе (строка 1, позиция 31): после числа стоит буква: \"7x\""},
    {"SELECT * FROM \"p\" WHERE N=99999999999999999999",
     "Ошибка в запросе (строка 1, позиция 27): слишком большое число"},
    {"SELECT * FROM \"p\" WHERE 1=1", "Ошибка в запросе (строка 1, позиция 25): ожидалось имя поля, а найдено \"1\""},
    {"SELECT * FROM \"p\" WHERE Select=1",
     "Ошибка в запросе (строка 1, позиция 25): ожидалось имя поля, а найдено \"Select\""},
    {"SELECT * FROM \"p\" WHERE A=\"1\" AND", "Ошибка в запросе (строка 1, позиция 34): ожидалось имя поля, а найдено конец запроса"},
    {"SELECT * FROM \"p\" ORDER FArtist", "Ошибка в запросе (строка 1, позиция 25): ожидалось BY, а найдено \"FArtist\""},
    {"SELECT * FROM \"p\";;", "Ошибка в запросе (строка 1, позиция 19): ожидалось конец запроса, а найдено \";\""},
    {"SELECT A B FROM \"p\"", "Ошибка в запросе (строка 1, позиция 10): ожидалось FROM, а найдено \"B\""},
    {"SELECT * FROM \"p\" WHERE A=\"x\" ORDER BY A DESC",
     "Ошибка в запросе (строка 1, позиция 42): ожидалось конец запроса, а найдено \"DESC\""},
    {"INSERT INTO \"p\"",
     "Ошибка в запросе (строка 1, позиция 1): ожидалось SELECT, DELETE, UPDATE или CREATE TABLE, а найдено \"INSERT\""},
    {"", "Ошибка в запросе (строка 1, позиция 1): ожидалось SELECT, DELETE, UPDATE или CREATE TABLE, а найдено "
         "конец запроса"},
    {"DELETE \"p\"", "Ошибка в запросе (строка 1, позиция 8): ожидалось FROM, а найдено текст \"p\""},
    {"UPDATE \"p\" FPath=\"x\"", "Ошибка в запросе (строка 1, позиция 12): ожидалось SET, а найдено \"FPath\""},
    {"UPDATE \"p\" SET FPath=\"x\" FName=\"y\"",
     "Ошибка в запросе (строка 1, позиция 26): ожидалось конец запроса, а найдено \"FName\""},
    {"CREATE TABLE \"p\" ()", "Ошибка в запросе (строка 1, позиция 19): ожидалось имя поля, а найдено \")\""},
    {"CREATE TABLE \"p\" (A Char(0))",
     "Ошибка в запросе (строка 1, позиция 26): ожидалось длина поля от 1 до 255, а найдено \"0\""},
    {"CREATE TABLE \"p\" (A Char(256))",
     "Ошибка в запросе (строка 1, позиция 26): ожидалось длина поля от 1 до 255, а найдено \"256\""},
    {"CREATE TABLE \"p\" (A Char)",
     "Ошибка в запросе (строка 1, позиция 25): ожидалось \"(\", а найдено \")\""},
    {"CREATE TABLE \"p\" (A Blob)",
     "Ошибка в запросе (строка 1, позиция 21): ожидалось тип поля (CHAR(n), VARCHAR(n), SMALLINT, INTEGER, "
     "AUTOINC, FLOAT, MONEY, DATE, TIME, TIMESTAMP, BOOLEAN), а найдено \"Blob\""},
    {"Create TABLE \"p\" (\nFArtist Char(64),\nFName Char(64)\nFPath Char(160) );",
     "Ошибка в запросе (строка 4, позиция 1): ожидалось \",\" или \")\", а найдено \"FPath\""},
    {"CREATE \"p\" (A Date)", "Ошибка в запросе (строка 1, позиция 8): ожидалось TABLE, а найдено текст \"p\""},
};

TEST(SqlParser, MalformedStatementsSayWhatWasExpectedAndWhere) {
  for (const Bad& c : kBad) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(db::testing::ErrorOf([&] { Parse(Cp(c.statement)); }), c.error);
  }
}

TEST(SqlTokenizer, PositionsCountLinesAndBytes) {
  const auto tokens = Tokenize(Cp("SELECT\n  *\r\nFROM \"Ы\"\"\""));
  ASSERT_EQ(tokens.size(), 5u);
  EXPECT_EQ(tokens[1].kind, TokenKind::Star);
  EXPECT_EQ(tokens[1].pos.line, 2);
  EXPECT_EQ(tokens[1].pos.column, 3);
  EXPECT_EQ(tokens[3].kind, TokenKind::String);
  EXPECT_EQ(tokens[3].text, Cp("Ы\""));
  EXPECT_EQ(tokens[3].pos.line, 3);
  EXPECT_EQ(tokens[3].pos.column, 6);
  EXPECT_EQ(tokens[4].kind, TokenKind::End);
}

}  // namespace
}  // namespace db::sql
