// The query object: walking a selection, reading fields as the four kinds,
// Locate, and the errors of misuse.
#include <gtest/gtest.h>

#include "core/codec.h"
#include "core/datetime.h"
#include "db/query.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;

class QueryObject : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeTable(m_path,
                       "FArtist Char(64), FName Char(64), FTime Time, FDate Date, FStamp Timestamp, FHour SmallInt, "
                       "FRate Float, FFlag Boolean, FText Char(10)",
                       {
                           {"Ария", "Штиль", "00:04:05", "05.01.2016", "05.01.2016 06:00:00", "7", "1.5", "true", "123"},
                           {"ария", "ШТИЛЬ", "00:05:00", "04.01.2016", "", "8", "-2.5", "false", "abc"},
                           {"Abba", "SOS", "", "", "", "", "", "", ""},
                           {"ABBA", "sos", "12:00:00", "06.01.2016", "06.01.2016", "7", "2", "true", "01.02.2016"},
                       });
  }

  void open(std::string_view utf8Tail = "") {
    m_query.Clear();
    m_query.Add("SELECT * FROM " + Quoted(m_path));
    if (!utf8Tail.empty()) m_query.Add(Cp(utf8Tail));
    m_query.Open();
  }

  std::string name() const { return core::cp1251ToUtf8(m_query.FieldAsString("FName")); }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("Песни.db");
  Query m_query;
};

TEST_F(QueryObject, WalksTheRowsAndStaysOnTheLastAtTheEnd) {
  open("WHERE FHour=7");
  EXPECT_EQ(m_query.RecordCount(), 2);
  EXPECT_FALSE(m_query.Eof());
  EXPECT_EQ(name(), "Штиль");
  m_query.Next();
  EXPECT_FALSE(m_query.Eof());
  EXPECT_EQ(name(), "sos");
  m_query.Next();
  EXPECT_TRUE(m_query.Eof());
  EXPECT_EQ(name(), "sos");
  m_query.First();
  EXPECT_FALSE(m_query.Eof());
  EXPECT_EQ(name(), "Штиль");
}

TEST_F(QueryObject, AnEmptySelectionReadsBlank) {
  open("WHERE FArtist=\"Нет такого\"");
  EXPECT_TRUE(m_query.Eof());
  EXPECT_EQ(m_query.RecordCount(), 0);
  EXPECT_EQ(m_query.FieldAsString("FName"), "");
  EXPECT_EQ(m_query.FieldAsInteger("FHour"), 0);
  EXPECT_EQ(m_query.FieldAsDateTime("FDate"), 0.0);
  EXPECT_FALSE(m_query.FieldAsBoolean("FFlag"));
}

TEST_F(QueryObject, FieldsReadAsEachKind) {
  open();
  // Row 1.
  EXPECT_DOUBLE_EQ(m_query.FieldAsDateTime("FTime"), 245.0 / 86400.0);
  EXPECT_EQ(m_query.FieldAsDateTime("FDate"), core::EncodeDate(2016, 1, 5));
  EXPECT_DOUBLE_EQ(m_query.FieldAsDateTime("FStamp"), core::EncodeDate(2016, 1, 5) + 0.25);
  EXPECT_EQ(m_query.FieldAsString("FTime"), "00:04:05");
  EXPECT_EQ(m_query.FieldAsString("FDate"), "05.01.2016");
  EXPECT_EQ(m_query.FieldAsString("FStamp"), "05.01.2016 06:00:00");
  EXPECT_EQ(m_query.FieldAsString("FHour"), "7");
  EXPECT_EQ(m_query.FieldAsString("FRate"), "1.5");
  EXPECT_EQ(m_query.FieldAsString("FFlag"), "True");
  EXPECT_EQ(m_query.FieldAsInteger("FHour"), 7);
  EXPECT_EQ(m_query.FieldAsInteger("FRate"), 2);
  EXPECT_EQ(m_query.FieldAsInteger("FText"), 123);
  EXPECT_EQ(m_query.FieldAsInteger("FDate"), static_cast<int>(core::EncodeDate(2016, 1, 5)));
  EXPECT_EQ(m_query.FieldAsInteger("FTime"), 245000);
  EXPECT_EQ(m_query.FieldAsInteger("FFlag"), 1);
  EXPECT_EQ(m_query.FieldAsDateTime("FHour"), 7.0);
  EXPECT_TRUE(m_query.FieldAsBoolean("FFlag"));
  EXPECT_TRUE(m_query.FieldAsBoolean("FHour"));
  // Row 2: text that is no number; blank Timestamp.
  m_query.Next();
  EXPECT_EQ(m_query.FieldAsInteger("FRate"), -3);
  EXPECT_EQ(m_query.FieldAsString("FStamp"), "");
  EXPECT_EQ(m_query.FieldAsDateTime("FStamp"), 0.0);
  const std::string table = core::cp1251ToUtf8(m_path);
  EXPECT_EQ(testing::ErrorOf([&] { m_query.FieldAsInteger("FText"); }),
            table + ", поле «FText» (Alpha): значение \"abc\" не подходит полю");
  EXPECT_EQ(testing::ErrorOf([&] { m_query.FieldAsBoolean("FText"); }),
            table + ", поле «FText» (Alpha): значение \"abc\" не подходит полю");
  // Row 3: every field but the names blank.
  m_query.Next();
  EXPECT_EQ(m_query.FieldAsString("FTime"), "");
  EXPECT_EQ(m_query.FieldAsDateTime("FTime"), 0.0);
  EXPECT_EQ(m_query.FieldAsInteger("FHour"), 0);
  EXPECT_EQ(m_query.FieldAsInteger("FText"), 0);
  EXPECT_FALSE(m_query.FieldAsBoolean("FFlag"));
  // Row 4: text read as a date.
  m_query.Next();
  EXPECT_EQ(m_query.FieldAsDateTime("FText"), core::EncodeDate(2016, 2, 1));
  EXPECT_EQ(m_query.FieldAsString("FStamp"), "06.01.2016");
}

TEST_F(QueryObject, AMissingFieldNamesTheFieldAndTheTable) {
  m_query.Add("SELECT FName FROM " + Quoted(m_path));
  m_query.Open();
  EXPECT_EQ(m_query.FieldAsString("fname"), Cp("Штиль"));
  EXPECT_EQ(testing::ErrorOf([&] { m_query.FieldAsString("FArtist"); }),
            core::cp1251ToUtf8(m_path) + ": нет поля «FArtist»");
  EXPECT_EQ(testing::ErrorOf([&] { m_query.Locate("FName;FPath", {"a", "b"}, true); }),
            core::cp1251ToUtf8(m_path) + ": нет поля «FPath»");
}

TEST_F(QueryObject, LocateFindsTheFirstMatchExactlyOrIgnoringCase) {
  open();
  EXPECT_TRUE(m_query.Locate("FArtist;FName", {Cp("АРИЯ"), Cp("штиль")}, true));
  EXPECT_EQ(m_query.FieldAsString("FArtist"), Cp("Ария"));
  EXPECT_TRUE(m_query.Locate("FArtist;FName", {Cp("ария"), Cp("ШТИЛЬ")}, false));
  EXPECT_EQ(m_query.FieldAsString("FArtist"), Cp("ария"));
  EXPECT_TRUE(m_query.Locate("FName", {"sos"}, false));
  EXPECT_EQ(m_query.FieldAsString("FArtist"), "ABBA");
  EXPECT_TRUE(m_query.Locate("FName", {"sos"}, true));
  EXPECT_EQ(m_query.FieldAsString("FArtist"), "Abba");
  // A miss keeps the current row.
  EXPECT_FALSE(m_query.Locate("FArtist;FName", {"Abba", "sos "}, true));
  EXPECT_FALSE(m_query.Locate("FName", {"Sos"}, false));
  EXPECT_FALSE(m_query.Eof());
  EXPECT_EQ(m_query.FieldAsString("FArtist"), "Abba");
  // Other types compare by their text.
  EXPECT_TRUE(m_query.Locate("FHour;FDate", {"7", "06.01.2016"}, false));
  EXPECT_EQ(m_query.FieldAsString("FArtist"), "ABBA");
  EXPECT_TRUE(m_query.Locate("FArtist", {""}, true) == false);
  EXPECT_EQ(testing::ErrorOf([&] { m_query.Locate("FArtist;FName", {"x"}, true); }),
            core::cp1251ToUtf8(m_path) + ": поиск: полей 2, а значений 1");
}

TEST_F(QueryObject, LocateWorksInTheOrderOfTheSelection) {
  open("WHERE FName=\"sos\" ORDER BY FArtist");
  ASSERT_EQ(m_query.RecordCount(), 2);
  EXPECT_TRUE(m_query.Locate("FArtist", {"abba"}, true));
  EXPECT_EQ(m_query.FieldAsString("FName"), "SOS");
  EXPECT_TRUE(m_query.Locate("FArtist", {"ABBA"}, false));
  EXPECT_EQ(m_query.FieldAsString("FName"), "sos");
  m_query.Next();
  EXPECT_TRUE(m_query.Eof());
}

TEST_F(QueryObject, ChangingTheStatementClosesTheSelection) {
  open();
  ASSERT_TRUE(m_query.Active());
  m_query.Add("WHERE FHour=7");
  EXPECT_FALSE(m_query.Active());
  EXPECT_TRUE(m_query.Eof());
  EXPECT_EQ(testing::ErrorOf([&] { m_query.RecordCount(); }), "Запрос не открыт");
  EXPECT_EQ(testing::ErrorOf([&] { m_query.FieldAsString("FName"); }), "Запрос не открыт");
  EXPECT_EQ(m_query.Lines().size(), 2u);
  EXPECT_TRUE(m_query.IsSelect());
  m_query.Open();
  EXPECT_EQ(m_query.RecordCount(), 2);
  m_query.Clear();
  EXPECT_TRUE(m_query.Lines().empty());
  EXPECT_FALSE(m_query.Active());
}

}  // namespace
}  // namespace db
