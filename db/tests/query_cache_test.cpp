// The cache of table rows stays true to the file: changes by another writer
// are seen at the next statement, our own writes update the cached rows and
// their indexes, and an open selection keeps the rows it was given.
#include <gtest/gtest.h>

#include "core/codec.h"
#include "db/paradox/table.h"
#include "db/query.h"
#include "db/table.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;
using Lines = std::vector<std::string>;

class QueryCache : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::MakeTable(m_path, "FName Char(20), FHour SmallInt", {{"a", "1"}, {"b", "2"}, {"c", "1"}});
  }

  Lines select(std::string_view utf8Where) {
    Query q;
    q.Add("SELECT * FROM " + Quoted(m_path));
    q.Add(Cp(utf8Where));
    q.Open();
    return testing::ResultLines(q);
  }

  void exec(std::string_view utf8Tail, const char* verb = "DELETE FROM ") {
    Query q;
    q.Add(verb + Quoted(m_path));
    q.Add(Cp(utf8Tail));
    q.ExecSQL();
  }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("Кэш.db");
};

TEST_F(QueryCache, ChangesByAnotherWriterAreSeenByTheNextStatement) {
  EXPECT_EQ(select("WHERE FName=\"A\""), Lines{"a\t1"});
  {
    ParadoxTable other(m_path);
    other.Append({{std::string("A"), std::int64_t{5}}});
  }
  EXPECT_EQ(select("WHERE FName=\"A\""), (Lines{"a\t1", "A\t5"}));
  {
    ParadoxTable other(m_path);
    other.Delete({0});
  }
  EXPECT_EQ(select("WHERE FName=\"a\""), Lines{"A\t5"});
  // A delete by statement addresses the rows as the file holds them now.
  {
    ParadoxTable other(m_path);
    other.Delete({0});
  }
  exec("WHERE FName=\"c\"");
  EXPECT_EQ(testing::FileLines(m_path), Lines{"A\t5"});
}

TEST_F(QueryCache, OwnWritesKeepTheIndexesTrue) {
  EXPECT_EQ(select("WHERE FName=\"a\""), Lines{"a\t1"});
  EXPECT_EQ(select("WHERE FHour=1"), (Lines{"a\t1", "c\t1"}));
  Table t(m_path);
  t.Open();
  t.Append();
  t.SetFieldAsString("FName", "A");
  t.SetFieldAsInteger("FHour", 1);
  t.Post();
  EXPECT_EQ(select("WHERE FName=\"a\""), (Lines{"a\t1", "A\t1"}));
  exec("WHERE FName=\"a\" AND FHour=1");
  EXPECT_EQ(select("WHERE FHour=1"), Lines{"c\t1"});
  exec("SET FName=\"z\" WHERE FName=\"c\"", "UPDATE ");
  EXPECT_EQ(select("WHERE FName=\"c\""), Lines{});
  EXPECT_EQ(select("WHERE FName=\"Z\""), Lines{"z\t1"});
  // The table object open all along sees the statements' changes.
  EXPECT_EQ(t.RecordCount(), 2);
  t.Append();
  t.SetFieldAsString("FName", "d");
  t.Post();
  t.Close();
  EXPECT_EQ(testing::FileLines(m_path), (Lines{"b\t2", "z\t1", "d\t"}));
  EXPECT_EQ(select(""), testing::FileLines(m_path));
}

TEST_F(QueryCache, AnOpenSelectionKeepsTheRowsItWasGiven) {
  Query open;
  open.Add("SELECT * FROM " + Quoted(m_path));
  open.Open();
  Table t(m_path);
  t.Open();
  t.Delete();
  t.Append();
  t.SetFieldAsString("FName", "new");
  t.Post();
  t.Close();
  EXPECT_EQ(open.RecordCount(), 3);
  EXPECT_EQ(testing::ResultLines(open), (Lines{"a\t1", "b\t2", "c\t1"}));
  EXPECT_EQ(select(""), (Lines{"b\t2", "c\t1", "new\t"}));
}

TEST_F(QueryCache, ATableObjectRefusesToDeleteRowsAnotherWriterMoved) {
  Table t(m_path);
  t.Open();
  {
    ParadoxTable other(m_path);
    other.Delete({0});
  }
  EXPECT_EQ(testing::ErrorOf([&] { t.Delete(); }),
            core::cp1251ToUtf8(m_path) + ": таблицу изменила другая программа, повторите действие");
  EXPECT_EQ(testing::FileLines(m_path), (Lines{"b\t2", "c\t1"}));
}

TEST_F(QueryCache, ManyDeletesCompactTheRowsAndEverythingStillAgrees) {
  const std::string path = m_dir.File("Большая.db");
  testing::MakeTable(path, "FName Char(20), FHour SmallInt", {});
  std::vector<Row> rows;
  Lines kept;
  for (int i = 0; i < 10000; ++i) {
    rows.push_back({std::string("n") + std::to_string(i), std::int64_t{i % 24}});
    if (i % 24 >= 18) kept.push_back("n" + std::to_string(i) + "\t" + std::to_string(i % 24));
  }
  ParadoxTable(path).Append(rows);

  Query q;
  auto selectWhere = [&](const std::string& where) {
    q.Clear();
    q.Add("SELECT * FROM " + Quoted(path) + " " + where);
    q.Open();
    return testing::ResultLines(q);
  };
  EXPECT_EQ(selectWhere("WHERE FName=\"N9999\""), Lines{"n9999\t15"});
  Table t(path);
  t.Open();
  for (int hour = 0; hour < 18; ++hour) {
    q.Clear();
    q.Add("DELETE FROM " + Quoted(path) + " WHERE FHour=" + std::to_string(hour));
    q.ExecSQL();
  }
  EXPECT_EQ(t.RecordCount(), static_cast<int>(kept.size()));
  EXPECT_EQ(selectWhere("WHERE FName=\"N9999\""), Lines{});
  EXPECT_EQ(selectWhere("WHERE FName=\"N9983\""), Lines{"n9983\t23"});
  EXPECT_EQ(selectWhere("WHERE FHour=23").size(), kept.size() / 6);
  t.Append();
  t.SetFieldAsString("FName", "n9999");
  t.Post();
  t.Close();
  kept.push_back("n9999\t");
  EXPECT_EQ(selectWhere("WHERE FName=\"n9999\""), Lines{"n9999\t"});
  EXPECT_EQ(selectWhere(""), kept);
  EXPECT_EQ(testing::FileLines(path), kept);
}

}  // namespace
}  // namespace db
