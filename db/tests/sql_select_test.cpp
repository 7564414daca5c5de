// SELECT on a small table: which rows each statement gives, in which order,
// and the errors of statements the table refuses.
#include <gtest/gtest.h>

#include "core/codec.h"
#include "db/query.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;

class SqlSelect : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeTable(m_path,
                       "FArtist Char(64), FName Char(64), FPath Char(160), FTime Time, FDate Date, "
                       "FStamp Timestamp, FHour SmallInt, FVol Integer, FRate Float, FFlag Boolean",
                       {
                           {"Ария", "Беспечный ангел", "D:\\MUSIC\\ARIA1.MP3", "00:04:05", "05.01.2016",
                            "05.01.2016 23:59:59", "7", "100", "1.5", "true"},
                           {"ария", "Штиль", "d:\\music\\aria2.mp3", "00:05:00", "04.01.2016", "05.01.2016 00:00:00",
                            "8", "-5", "2", "false"},
                           {"", "Джингл 1", "D:\\J\\1.MP3", "", "", "", "", "", "", ""},
                           {"Abba", "SOS", "D:\\MUSIC\\SOS.MP3", "00:03:20.500", "05.01.2016", "06.01.2016 00:00:00",
                            "7", "100", "1,50", "true"},
                           {"ABBA", "Waterloo", "D:\\MUSIC\\W.MP3", "00:02:45", "06.01.2016", "", "6", "0", "0",
                            "false"},
                           {"Ёлка", "Say \"Hi\"", "D:\\MUSIC\\ELKA.MP3", "23:59:59.999", "31.12.1899", "", "0", "",
                            "", ""},
                       });
  }

  // The rows of a one-line statement (UTF-8, "{T}" for the quoted table path).
  std::vector<std::string> rows(std::string statement) {
    Query q;
    q.Add(Cp(expand(statement)));
    q.Open();
    return testing::ResultLines(q);
  }

  std::string expand(std::string statement) const {
    const std::string quoted = core::cp1251ToUtf8(Quoted(m_path));
    for (std::size_t at; (at = statement.find("{T}")) != std::string::npos;) statement.replace(at, 3, quoted);
    return statement;
  }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("Песни.db");
};

struct Case {
  const char* statement;
  std::vector<std::string> rows;
};

TEST_F(SqlSelect, StatementsGiveTheirRowsInOrder) {
  const Case cases[] = {
      // Text equality folds letter case, Cyrillic included; blank equals "".
      {"SELECT FName FROM {T} WHERE FArtist=\"АРИЯ\"", {"Беспечный ангел", "Штиль"}},
      {"SELECT FName FROM {T} WHERE FArtist=\"\"", {"Джингл 1"}},
      {"SELECT FName FROM {T} WHERE FPath=\"D:\\MUSIC\\ARIA2.MP3\"", {"Штиль"}},
      {"SELECT FName FROM {T} WHERE FName=\"say \"\"hi\"\"\"", {"Say \"Hi\""}},
      {"SELECT FName FROM {T} WHERE FArtist=\"Ари\"", {}},
      {"SELECT FName FROM {T} WHERE FArtist=\"Ария \"", {}},
      // Dates by day, against Date and Timestamp fields.
      {"SELECT FName FROM {T} WHERE FDate=\"05.01.2016\"", {"Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FStamp=\"05.01.2016\"", {"Беспечный ангел", "Штиль"}},
      {"SELECT FName FROM {T} WHERE FDate=\"31.12.1899\"", {"Say \"Hi\""}},
      // Numbers: integer literals, or text that is a number.
      {"SELECT FName FROM {T} WHERE FHour=7", {"Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FHour=\"7\"", {"Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FHour=0", {"Say \"Hi\""}},
      {"SELECT FName FROM {T} WHERE FVol=-5", {"Штиль"}},
      {"SELECT FName FROM {T} WHERE FRate=2", {"Штиль"}},
      {"SELECT FName FROM {T} WHERE FRate=\"1,5\"", {"Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FRate=\"1.25\"", {}},
      {"SELECT FName FROM {T} WHERE FVol=0", {"Waterloo"}},
      // Times to the millisecond, logicals.
      {"SELECT FName FROM {T} WHERE FTime=\"00:05:00\"", {"Штиль"}},
      {"SELECT FName FROM {T} WHERE FTime=\"0:03:20.5\"", {"SOS"}},
      {"SELECT FName FROM {T} WHERE FTime=\"00:03:20\"", {}},
      {"SELECT FName FROM {T} WHERE FFlag=\"true\"", {"Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FFlag=\"F\"", {"Штиль", "Waterloo"}},
      // Several conditions.
      {"SELECT FName FROM {T} WHERE FHour=7 AND FArtist=\"abba\"", {"SOS"}},
      {"SELECT FName FROM {T} WHERE FDate=\"05.01.2016\" AND FHour=8", {}},
      {"SELECT FName FROM {T} WHERE FArtist=\"ария\" AND FName=\"ШТИЛЬ\" AND FPath=\"D:\\music\\ARIA2.mp3\"",
       {"Штиль"}},
      // ORDER BY: blanks first, folded text in CP1251 byte order (Ё before А), ties in stored order.
      {"SELECT FArtist FROM {T} ORDER BY FArtist", {"", "Abba", "ABBA", "Ёлка", "Ария", "ария"}},
      {"SELECT FHour, FName FROM {T} ORDER BY FHour, FName",
       {"\tДжингл 1", "0\tSay \"Hi\"", "6\tWaterloo", "7\tSOS", "7\tБеспечный ангел", "8\tШтиль"}},
      {"SELECT FName FROM {T} ORDER BY FStamp", {"Джингл 1", "Waterloo", "Say \"Hi\"", "Штиль", "Беспечный ангел", "SOS"}},
      {"SELECT FName FROM {T} WHERE FArtist=\"ABBA\" ORDER BY FName", {"SOS", "Waterloo"}},
      // DISTINCT keeps the first value seen of each folded group.
      {"SELECT DISTINCT FArtist FROM {T}", {"Ария", "", "Abba", "Ёлка"}},
      {"SELECT DISTINCT FArtist FROM {T} ORDER BY FArtist", {"", "Abba", "Ёлка", "Ария"}},
      {"SELECT DISTINCT FHour FROM {T}", {"7", "8", "", "6", "0"}},
      {"SELECT DISTINCT FArtist, FHour FROM {T} WHERE FHour=7", {"Ария\t7", "Abba\t7"}},
      // Field names ignore letter case; * gives every field.
      {"select fname, FHOUR from {T} where fartist=\"Ёлка\";", {"Say \"Hi\"\t0"}},
      {"SELECT * FROM {T} WHERE FPath=\"D:\\MUSIC\\SOS.MP3\"",
       {"Abba\tSOS\tD:\\\\MUSIC\\\\SOS.MP3\t00:03:20.500\t05.01.2016\t06.01.2016 00:00:00.000\t7\t100\t1.5\ttrue"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.statement);
    EXPECT_EQ(rows(c.statement), c.rows);
  }
}

TEST_F(SqlSelect, LinesOfAStatementJoinWithALineBreak) {
  Query q;
  q.Add(Cp("SELECT FName,FArtist,FPath FROM ") + Quoted(m_path));
  q.Add(Cp("WHERE FArtist=\"Ария\""));
  q.Add("ORDER BY FName");
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
  EXPECT_EQ(testing::ResultLines(q),
            (std::vector<std::string>{"Беспечный ангел\tАрия\tD:\\\\MUSIC\\\\ARIA1.MP3",
                                      "Штиль\tария\td:\\\\music\\\\aria2.mp3"}));
}

TEST_F(SqlSelect, ATablePathMayHoldADoubleQuote) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names cannot hold a double quote";
#endif
  const std::string path = m_dir.File("Кавычка\"1.db");
  testing::MakeTable(path, "FName Char(10)", {{"один"}});
  Query q;
  q.Add("SELECT * FROM " + Quoted(path));
  q.Open();
  EXPECT_EQ(testing::ResultLines(q), std::vector<std::string>{"один"});
}

TEST_F(SqlSelect, StatementsTheTableRefusesNameTheTableTheFieldAndThePlace) {
  const std::string table = core::cp1251ToUtf8(m_path);
  const std::string missing = core::cp1251ToUtf8(m_dir.File("Нет.db"));
  // The table's line comes first, so the places on line 2 do not depend on the path.
  const std::pair<std::string, std::string> cases[] = {
      {"SELECT * FROM " + core::cp1251ToUtf8(Quoted(m_dir.File("Нет.db"))), missing + ": файл таблицы не найден"},
      {"SELECT * FROM {T}\nWHERE FHour=1 AND FBar=2", table + ": нет поля «FBar» (строка 2, позиция 19)"},
      {"SELECT * FROM {T}\nORDER BY FName, FBaz", table + ": нет поля «FBaz» (строка 2, позиция 17)"},
      {"SELECT FName,\nFFoo FROM {T}", table + ": нет поля «FFoo» (строка 2, позиция 1)"},
      {"SELECT * FROM {T}\nWHERE FHour=\"abc\"",
       table + ", поле «FHour» (Short): значение \"abc\" не подходит полю (строка 2, позиция 13)"},
      {"SELECT * FROM {T}\nWHERE FHour=\"\"",
       table + ", поле «FHour» (Short): значение \"\" не подходит полю (строка 2, позиция 13)"},
      {"SELECT * FROM {T}\nWHERE FArtist=5",
       table + ", поле «FArtist» (Alpha): значение 5 не подходит полю (строка 2, позиция 15)"},
      {"SELECT * FROM {T}\nWHERE FDate=\"32.01.2016\"",
       table + ", поле «FDate» (Date): значение \"32.01.2016\" не подходит полю (строка 2, позиция 13)"},
      {"SELECT * FROM {T}\nWHERE FStamp=20160105",
       table + ", поле «FStamp» (Timestamp): значение 20160105 не подходит полю (строка 2, позиция 14)"},
      {"SELECT * FROM {T}\nWHERE FTime=\"24:00\"",
       table + ", поле «FTime» (Time): значение \"24:00\" не подходит полю (строка 2, позиция 13)"},
      {"SELECT * FROM {T}\nWHERE FFlag=\"maybe\"",
       table + ", поле «FFlag» (Logical): значение \"maybe\" не подходит полю (строка 2, позиция 13)"},
  };
  for (const auto& [statement, error] : cases) {
    SCOPED_TRACE(statement);
    Query q;
    q.Add(Cp(expand(statement)));
    EXPECT_EQ(testing::ErrorOf([&] { q.Open(); }), error);
    EXPECT_FALSE(q.Active());
  }
}

TEST_F(SqlSelect, OpenAndExecSqlEachTakeTheirOwnKindOfStatement) {
  Query q;
  q.Add(Cp(expand("DELETE FROM {T}")));
  EXPECT_EQ(testing::ErrorOf([&] { q.Open(); }), "Открыть можно только запрос SELECT; этот запрос выполняют");
  q.Clear();
  q.Add(Cp(expand("SELECT * FROM {T}")));
  EXPECT_EQ(testing::ErrorOf([&] { q.ExecSQL(); }),
            "Запрос SELECT возвращает строки: его открывают, а не выполняют");
  EXPECT_EQ(testing::FileLines(m_path).size(), 6u);
}

}  // namespace
}  // namespace db
