// The table object: walking, deleting at the cursor, appending field by field.
#include <gtest/gtest.h>

#include "core/codec.h"
#include "core/datetime.h"
#include "db/table.h"
#include "db/tablecache.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;
using Lines = std::vector<std::string>;

class TableObject : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeTable(m_path, "FDate Date, FHour SmallInt, FName Char(8), FTime Time, FStamp Timestamp, FFlag Boolean",
                       {{"05.01.2016", "1", "a"}, {"05.01.2016", "2", "b"}, {"06.01.2016", "1", "c"}});
  }

  std::string names(Table& t) {
    std::string out;
    for (t.First(); !t.Eof(); t.Next()) out += t.FieldAsString("FName");
    return out;
  }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("Плейлист.db");
};

TEST_F(TableObject, WalksEveryRowInStoredOrder) {
  Table t(m_path);
  t.Open();
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(t.FieldAsString("FName"), "a");
  EXPECT_EQ(names(t), "abc");
  EXPECT_EQ(t.FieldAsString("FName"), "c");
}

TEST_F(TableObject, DeleteMakesTheFollowingRowCurrentAndWritesAtOnce) {
  Table t(m_path);
  t.Open();
  t.Next();
  t.Delete();
  EXPECT_FALSE(t.Eof());
  EXPECT_EQ(t.FieldAsString("FName"), "c");
  EXPECT_EQ(t.RecordCount(), 2);
  EXPECT_EQ(testing::FileLines(m_path).size(), 2u);
  // Deleting the last row leaves the end flag set.
  t.Delete();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.FieldAsString("FName"), "a");
  t.First();
  t.Delete();
  EXPECT_TRUE(t.Eof());
  EXPECT_EQ(t.RecordCount(), 0);
  EXPECT_EQ(testing::ErrorOf([&] { t.Delete(); }), core::cp1251ToUtf8(m_path) + ": в таблице нет строк для удаления");
  EXPECT_EQ(testing::FileLines(m_path), Lines{});
}

TEST_F(TableObject, TheClearAllListWalkDeletesAWindowOfRows) {
  Table t(m_path);
  t.Open();
  const double start = core::EncodeDate(2016, 1, 5) + 2 * core::kOneHour;
  t.First();
  while (!t.Eof()) {
    const double r = t.FieldAsDateTime("FDate") + t.FieldAsInteger("FHour") * core::kOneHour + core::kOneSecond;
    if (r >= start && r < start + 1) {
      t.Delete();
    } else {
      t.Next();
    }
  }
  t.Close();
  EXPECT_EQ(testing::FileLines(m_path), Lines{"05.01.2016\t1\ta\t\t\t"});
}

TEST_F(TableObject, AppendedRowIsStoredAtPost) {
  Table t(m_path);
  t.Open();
  t.Append();
  t.SetFieldAsDateTime("FDate", core::EncodeDate(2016, 1, 7) + 0.75);
  t.SetFieldAsInteger("FHour", 23);
  t.SetFieldAsString("FName", Cp("Очень длинное"));
  t.SetFieldAsDateTime("FTime", core::EncodeDate(2016, 1, 7) + core::EncodeTime(0, 3, 25, 120));
  t.SetFieldAsDateTime("FStamp", core::EncodeDate(2016, 1, 7) + core::EncodeTime(13, 0, 1, 2));
  t.SetFieldAsBoolean("FFlag", true);
  EXPECT_EQ(t.FieldAsString("FName"), Cp("Очень дл"));
  EXPECT_EQ(testing::FileLines(m_path).size(), 3u);
  t.Post();
  EXPECT_EQ(testing::FileLines(m_path).back(), "07.01.2016\t23\tОчень дл\t00:03:25.120\t07.01.2016 13:00:01.002\ttrue");
  EXPECT_EQ(t.RecordCount(), 4);
  EXPECT_EQ(t.FieldAsString("FName"), Cp("Очень дл"));
  // A date-time read back: the Date its day, the Time its time of day.
  EXPECT_EQ(t.FieldAsDateTime("FDate"), core::EncodeDate(2016, 1, 7));
  EXPECT_DOUBLE_EQ(t.FieldAsDateTime("FTime"), core::EncodeTime(0, 3, 25, 120));
  EXPECT_EQ(names(t), Cp("abcОчень дл"));
}

TEST_F(TableObject, AppendedRowsAreDroppedByCancelAndClose) {
  Table t(m_path);
  t.Open();
  t.Append();
  t.SetFieldAsString("FName", "x");
  t.Cancel();
  t.Post();
  t.Append();
  t.SetFieldAsString("FName", "y");
  t.Close();
  EXPECT_EQ(testing::FileLines(m_path).size(), 3u);
  // Append and First post the row in progress.
  t.Open();
  t.Append();
  t.SetFieldAsString("FName", "p");
  t.Append();
  t.SetFieldAsString("FName", "q");
  t.First();
  EXPECT_EQ(names(t), "abcpq");
}

// A batch is stored by its commit, in one write; until then the file is as it
// was, and a close drops it.
TEST_F(TableObject, ABatchOfAppendsIsStoredByItsCommit) {
  Table t(m_path);
  t.Open();
  t.BeginBatch();
  for (const char* name : {"p", "q"}) {
    t.Append();
    t.SetFieldAsString("FName", name);
    t.Post();
  }
  t.Append();
  t.SetFieldAsString("FName", "r");  // posted by the commit
  EXPECT_EQ(testing::FileLines(m_path).size(), 3u);
  const std::string table = core::cp1251ToUtf8(m_path);
  EXPECT_EQ(testing::ErrorOf([&] { t.First(); }), table + ": строки пакета ещё не записаны");
  EXPECT_EQ(testing::ErrorOf([&] { t.Delete(); }), "");  // drops the row being appended
  t.Append();
  t.SetFieldAsString("FName", "r");
  t.CommitBatch();
  EXPECT_FALSE(t.Batching());
  EXPECT_EQ(t.RecordCount(), 6);
  EXPECT_EQ(names(t), "abcpqr");

  t.BeginBatch();
  t.Append();
  t.SetFieldAsString("FName", "s");
  t.Post();
  t.Close();
  EXPECT_EQ(testing::FileLines(m_path).size(), 6u);
  t.Open();
  t.BeginBatch();
  t.CommitBatch();  // an empty batch writes nothing
  EXPECT_EQ(names(t), "abcpqr");
}

// A batch may delete and append: one write, after which the deleted rows are
// gone and the posted ones stand at the end.
TEST_F(TableObject, ABatchMixesDeletesAndAppends) {
  Table t(m_path);
  t.Open();
  t.BeginBatch();
  t.Delete();  // a
  t.Next();    // b stays
  t.Delete();  // c
  for (const char* name : {"x", "y"}) {
    t.Append();
    t.SetFieldAsString("FName", name);
    t.Post();
  }
  EXPECT_EQ(t.RecordCount(), 3);
  EXPECT_EQ(testing::FileLines(m_path).size(), 3u);
  t.CommitBatch();
  EXPECT_EQ(names(t), "bxy");
  EXPECT_EQ(testing::FileLines(m_path).size(), 3u);
  t.Close();
  TableCache::Clear();
  t.Open();
  EXPECT_EQ(names(t), "bxy");
}

// Deleting in a batch walks on like Next; the commit deletes the marked rows
// at once and leaves the cursor where single deletes would have left it.
TEST_F(TableObject, ABatchOfDeletesWalksOnAndDeletesAtItsCommit) {
  struct Case {
    const char* deleted;  // names of the rows the walk deletes
    const char* left;
    const char* current;  // after the commit; "" when the table is empty
    bool eof;
  };
  const std::vector<Case> cases = {
      {"b", "ac", "c", true},  // the walk ends on the last row, kept
      {"ac", "b", "b", true},  // the last row deleted: the new last row
      {"abc", "", "", true},
      {"", "abc", "c", true},
  };
  const std::vector<Lines> rows = {{"05.01.2016", "1", "a"}, {"05.01.2016", "2", "b"}, {"06.01.2016", "1", "c"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.deleted);
    const std::string path = m_dir.File(std::string("batch_") + c.deleted + ".db");
    testing::MakeTable(path, "FDate Date, FHour SmallInt, FName Char(8)", rows);
    Table t(path);
    t.Open();
    t.BeginBatch();
    while (!t.Eof()) {
      if (std::string_view(c.deleted).find(t.FieldAsString("FName")) != std::string_view::npos) {
        t.Delete();  // the following row is current now
      } else {
        t.Next();
      }
    }
    EXPECT_EQ(testing::FileLines(path).size(), 3u);
    t.CommitBatch();
    EXPECT_EQ(t.Eof(), c.eof);
    EXPECT_EQ(t.RecordCount() == 0 ? std::string() : t.FieldAsString("FName"), c.current);
    EXPECT_EQ(names(t), c.left);
    EXPECT_EQ(testing::FileLines(path).size(), std::string_view(c.left).size());
  }
}

TEST_F(TableObject, RefusedValuesNameTheFieldAndTheTable) {
  Table t(m_path);
  t.Open();
  const std::string table = core::cp1251ToUtf8(m_path);
  EXPECT_EQ(testing::ErrorOf([&] { t.SetFieldAsString("FName", "x"); }),
            table + ": поле меняют только у добавляемой строки");
  t.Append();
  EXPECT_EQ(testing::ErrorOf([&] { t.SetFieldAsInteger("FHour", 40000); }),
            table + ", поле «FHour» (Short): число 40000 вне допустимого диапазона");
  EXPECT_EQ(testing::ErrorOf([&] { t.SetFieldAsString("FDate", "31.02.2016"); }),
            table + ", поле «FDate» (Date): значение \"31.02.2016\" не подходит полю");
  EXPECT_EQ(testing::ErrorOf([&] { t.SetFieldAsBoolean("FDate", true); }),
            table + ", поле «FDate» (Date): логическое значение не записывается в поле даты");
  EXPECT_EQ(testing::ErrorOf([&] { t.SetFieldAsString("FNone", "x"); }), table + ": нет поля «FNone»");
  EXPECT_EQ(testing::ErrorOf([&] { t.FieldAsString("FNone"); }), table + ": нет поля «FNone»");
}

TEST_F(TableObject, OpeningAMissingTableNamesIt) {
  const std::string missing = m_dir.File("Нет.db");
  Table t(missing);
  EXPECT_EQ(testing::ErrorOf([&] { t.Open(); }), core::cp1251ToUtf8(missing) + ": файл таблицы не найден");
  EXPECT_FALSE(t.Active());
  EXPECT_EQ(testing::ErrorOf([&] { t.RecordCount(); }), core::cp1251ToUtf8(missing) + ": таблица не открыта");
}

}  // namespace
}  // namespace db
