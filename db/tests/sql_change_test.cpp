// CREATE TABLE, DELETE and UPDATE: what reaches the file, and that a refused
// statement writes nothing.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/query.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;
using Lines = std::vector<std::string>;

class SqlChange : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeTable(m_path, "FArtist Char(10), FName Char(20), FPath Char(30), FDate Date, FHour SmallInt, FN AutoInc",
                       {
                           {"Ария", "Штиль", "D:\\A.MP3", "05.01.2016", "7"},
                           {"_JINGLES_", "Джингл", "D:\\J.MP3", "05.01.2016", "8"},
                           {"", "Джингл", "D:\\J.MP3", "05.01.2016", "7"},
                           {"Abba", "SOS", "D:\\S.MP3", "06.01.2016", "7"},
                       });
  }

  std::size_t exec(const std::string& utf8Lines) {
    Query q;
    std::size_t start = 0;
    for (std::size_t end; (end = utf8Lines.find('\n', start)) != std::string::npos; start = end + 1) {
      q.Add(Cp(utf8Lines.substr(start, end - start)));
    }
    q.Add(Cp(utf8Lines.substr(start)));
    q.ExecSQL();
    return q.RowsAffected();
  }

  std::string t() const { return core::cp1251ToUtf8(Quoted(m_path)); }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("Ассоциации.db");
};

TEST_F(SqlChange, DeleteRemovesExactlyTheMatchingRows) {
  EXPECT_EQ(exec("Delete FROM " + t() + "\nWHERE FDate=\"05.01.2016\" AND FHour=7"), 2u);
  EXPECT_EQ(testing::FileLines(m_path),
            (Lines{"_JINGLES_\tДжингл\tD:\\\\J.MP3\t05.01.2016\t8\t2", "Abba\tSOS\tD:\\\\S.MP3\t06.01.2016\t7\t4"}));
  EXPECT_EQ(exec("DELETE FROM " + t() + "\nWHERE FArtist=\"abba\" AND\nFName=\"sos\" AND\nFPath=\"d:\\s.mp3\""), 1u);
  EXPECT_EQ(exec("DELETE FROM " + t()), 1u);
  EXPECT_EQ(testing::FileLines(m_path), Lines{});
}

TEST_F(SqlChange, DeleteMatchingNothingLeavesTheFileAlone) {
  const FileStamp before = ParadoxTable::Stamp(m_path);
  EXPECT_EQ(exec("DELETE FROM " + t() + " WHERE FArtist=\"\" AND FName=\"\" AND FPath=\"\""), 0u);
  EXPECT_EQ(ParadoxTable::Stamp(m_path), before);
}

TEST_F(SqlChange, UpdateChangesTheFieldsOfTheMatchingRowsOnly) {
  EXPECT_EQ(exec("UPDATE " + t() + "\nSET FPath=\"E:\\Новый.mp3\"\n, FArtist=\"_JINGLES_\"\nWHERE FArtist=\"\" AND\n"
                 "FName=\"Джингл\" AND\nFPath=\"D:\\J.MP3\""),
            1u);
  EXPECT_EQ(exec("UPDATE " + t() + " SET FHour=\"9\", FDate=\"01.02.2016\" WHERE FName=\"SOS\""), 1u);
  EXPECT_EQ(testing::FileLines(m_path),
            (Lines{"Ария\tШтиль\tD:\\\\A.MP3\t05.01.2016\t7\t1", "_JINGLES_\tДжингл\tD:\\\\J.MP3\t05.01.2016\t8\t2",
                   "_JINGLES_\tДжингл\tE:\\\\Новый.mp3\t05.01.2016\t7\t3", "Abba\tSOS\tD:\\\\S.MP3\t01.02.2016\t9\t4"}));
}

TEST_F(SqlChange, UpdateCutsTextToTheFieldAndBlanksWithEmptyText) {
  exec("UPDATE " + t() + " SET FArtist=\"Очень длинное имя\", FHour=\"\" WHERE FName=\"Штиль\"");
  EXPECT_EQ(testing::FileLines(m_path)[0], "Очень длин\tШтиль\tD:\\\\A.MP3\t05.01.2016\t\t1");
}

TEST_F(SqlChange, ARefusedStatementWritesNothing) {
  const std::string table = core::cp1251ToUtf8(m_path);
  const std::pair<std::string, std::string> cases[] = {
      {"UPDATE " + t() + "\nSET FPath=\"x\", FHour=\"abc\"",
       table + ", поле «FHour» (Short): значение \"abc\" не подходит полю (строка 2, позиция 22)"},
      {"UPDATE " + t() + "\nSET FPath=\"x\", FHour=40000",
       table + ", поле «FHour» (Short): значение 40000 не подходит полю (строка 2, позиция 22)"},
      {"UPDATE " + t() + "\nSET FPath=\"x\"\nWHERE FName=\"Штиль\" AND FNope=1",
       table + ": нет поля «FNope» (строка 3, позиция 25)"},
      {"UPDATE " + t() + "\nSET FPath=\"x\", FPath=\"y\"", table + ": поле «FPath» изменяется дважды (строка 2, позиция 16)"},
      {"UPDATE " + t() + "\nSET FN=5", table + ", поле «FN» (AutoInc): поле автоприращения не изменяется (строка 2, позиция 5)"},
      {"UPDATE " + t() + "\nSET FName=5", table + ", поле «FName» (Alpha): значение 5 не подходит полю (строка 2, позиция 11)"},
      {"DELETE FROM " + t() + "\nWHERE FDate=7", table + ", поле «FDate» (Date): значение 7 не подходит полю (строка 2, позиция 13)"},
  };
  const FileStamp before = ParadoxTable::Stamp(m_path);
  const Lines rows = testing::FileLines(m_path);
  for (const auto& [statement, error] : cases) {
    SCOPED_TRACE(statement);
    EXPECT_EQ(testing::ErrorOf([&, &text = statement] { exec(text); }), error);
    EXPECT_EQ(ParadoxTable::Stamp(m_path), before);
  }
  EXPECT_EQ(testing::FileLines(m_path), rows);
}

TEST_F(SqlChange, CreateTableMapsEveryColumnTypeToItsParadoxType) {
  const std::string path = m_dir.File("Все типы.db");
  exec("CREATE TABLE " + core::cp1251ToUtf8(Quoted(path)) +
       " (A Char(64), B VarChar(1), C SmallInt, D Integer, E AutoInc, F Float, G Money, H Date, I Time, J Timestamp, "
       "K Boolean)");
  const ParadoxTable created(path);
  const std::vector<std::pair<FieldType, int>> expected = {
      {FieldType::Alpha, 64}, {FieldType::Alpha, 1},    {FieldType::Short, 2},  {FieldType::Long, 4},
      {FieldType::AutoInc, 4}, {FieldType::Number, 8},  {FieldType::Currency, 8}, {FieldType::Date, 4},
      {FieldType::Time, 4},   {FieldType::Timestamp, 8}, {FieldType::Logical, 1}};
  ASSERT_EQ(created.fields().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(created.fields()[i].name, std::string(1, static_cast<char>('A' + i)));
    EXPECT_EQ(created.fields()[i].type, expected[i].first) << i;
    EXPECT_EQ(created.fields()[i].size, expected[i].second) << i;
  }
  EXPECT_EQ(created.recordCount(), 0u);
  EXPECT_EQ(created.keyFieldCount(), 0);
}

TEST_F(SqlChange, CreateTableRefusesAnExistingFileAndBadColumns) {
  const std::string fresh = m_dir.File("Новая.db");
  const std::pair<std::string, std::string> cases[] = {
      {"Create TABLE " + t() + " (FArtist Char(64))", core::cp1251ToUtf8(m_path) + ": таблица уже существует"},
      {"Create TABLE " + core::cp1251ToUtf8(Quoted(fresh)) + "\n(A Char(5), a Date)",
       core::cp1251ToUtf8(fresh) + ": поле «a» указано дважды (строка 2, позиция 13)"},
      {"Create TABLE " + core::cp1251ToUtf8(Quoted(fresh)) + "\n(ABCDEFGHIJKLMNOPQRSTUVWXYZ Date)",
       core::cp1251ToUtf8(fresh) + ": имя поля «ABCDEFGHIJKLMNOPQRSTUVWXYZ» длиннее 25 символов (строка 2, позиция 2)"},
  };
  const Lines rows = testing::FileLines(m_path);
  for (const auto& [statement, error] : cases) {
    SCOPED_TRACE(statement);
    EXPECT_EQ(testing::ErrorOf([&, &text = statement] { exec(text); }), error);
  }
  EXPECT_EQ(testing::FileLines(m_path), rows);
  EXPECT_FALSE(std::filesystem::exists(core::FsPath(fresh)));
}

}  // namespace
}  // namespace db
