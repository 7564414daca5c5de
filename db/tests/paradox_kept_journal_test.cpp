// A table object that keeps its journal between writes (the table cache's):
// the second write reuses the journal without a folder flush and ends by
// cutting it, and an interruption of it at any operation leaves the table as
// after the first write or after the second; a power cut may also bring back
// the first write's journal (its cut was not flushed), which undoes that
// write, as a power cut right after any write may.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/fspath.h"
#include "db/paradox/journal.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_fault_util.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

Row numbered(int n) { return {std::int64_t{n}, "row " + std::to_string(n)}; }

class ParadoxKeptJournal : public ::testing::Test {
 protected:
  ParadoxKeptJournal() {
    ParadoxTable::Create(m_path, {{"N", FieldType::Long, 4}, {"S", FieldType::Alpha, 20}});
    std::vector<Row> rows;
    for (int n = 0; n < 40; ++n) rows.push_back(numbered(n));
    ParadoxTable(m_path).Append(rows);
    m_db = ReadBytes(m_path);
  }

  bool journalExists() const { return std::filesystem::exists(core::FsPath(JournalPath(m_path))); }
  static void firstWrite(ParadoxTable& t) { t.Delete({3, 4, 5}); }
  static void secondWrite(ParadoxTable& t) { t.Append({numbered(100), numbered(101)}); }

  TempDir m_dir;
  std::string m_path = m_dir.path("T.DB");
  Bytes m_db;
};

TEST_F(ParadoxKeptJournal, TheNextWriteSkipsTheFolderFlushAndReleaseRemovesTheJournal) {
  auto files = std::make_shared<FaultyFiles>();
  int folderFlushes = 0;
  files->beforeOperation = [&](int, FaultyFiles::Operation op, const std::string&) {
    folderFlushes += op == FaultyFiles::Operation::SyncFolder ? 1 : 0;
  };
  ParadoxTable table(m_path, files);
  table.KeepJournalBetweenWrites();
  firstWrite(table);
  EXPECT_EQ(folderFlushes, 1);
  ASSERT_TRUE(journalExists());
  EXPECT_EQ(std::filesystem::file_size(core::FsPath(JournalPath(m_path))), 0u);
  secondWrite(table);
  EXPECT_EQ(folderFlushes, 1);
  EXPECT_EQ(table.ReadAll().size(), 39u);
  table.ReleaseJournal();
  EXPECT_FALSE(journalExists());
  // An open elsewhere finds a kept journal torn, removes it and reads the rows.
  secondWrite(table);
  ASSERT_TRUE(journalExists());
  EXPECT_EQ(ParadoxTable(m_path).ReadAll().size(), 41u);
  EXPECT_FALSE(journalExists());
}

TEST_F(ParadoxKeptJournal, AnInterruptedSecondWriteLeavesTheRowsAfterTheFirstOrTheSecond) {
  const std::vector<Row> before = ParadoxTable(m_path).ReadAll();
  std::vector<Row> afterFirst;
  std::vector<Row> afterSecond;
  int firstOps = 0;
  int allOps = 0;
  {
    auto counter = std::make_shared<FaultyFiles>();
    ParadoxTable table(m_path, counter);
    table.KeepJournalBetweenWrites();
    firstWrite(table);
    firstOps = counter->operations();
    afterFirst = table.ReadAll();
    secondWrite(table);
    allOps = counter->operations();
    afterSecond = table.ReadAll();
  }
  ASSERT_GT(allOps - firstOps, 3);
  using Fault = FaultyFiles::Fault;
  using Unflushed = FaultyFiles::Unflushed;
  struct Interruption {
    Fault fault;
    bool powerCut;
    Unflushed unflushed;
    bool loseNames;
  };
  const Interruption interruptions[] = {
      {Fault::Error, false, Unflushed::Kept, false},       {Fault::Crash, false, Unflushed::Kept, false},
      {Fault::Crash, true, Unflushed::Lost, true},         {Fault::Crash, true, Unflushed::JournalLost, false},
      {Fault::Crash, true, Unflushed::LaterHalfLost, false}, {Fault::Crash, true, Unflushed::Kept, true},
  };
  int index = 0;
  for (const Interruption& in : interruptions) {
    ++index;
    for (int point = firstOps + 1; point <= allOps + 1; ++point) {
      const std::string where = "interruption " + std::to_string(index) + " at operation " + std::to_string(point);
      WriteBytes(m_path, m_db);
      std::filesystem::remove(core::FsPath(JournalPath(m_path)));
      auto files = std::make_shared<FaultyFiles>(point, in.fault);
      {
        ParadoxTable table(m_path, files);
        table.KeepJournalBetweenWrites();
        firstWrite(table);
        try {
          secondWrite(table);
        } catch (const SimulatedCrash&) {
        } catch (const Error&) {
        }
      }
      if (in.powerCut) files->PowerCut(in.unflushed, in.loseNames);
      ParadoxTable reopened(m_path);
      EXPECT_FALSE(journalExists()) << where;
      EXPECT_TRUE(reopened.writable()) << where;
      const auto rows = reopened.ReadAll();
      const bool undoneByPowerCut = in.powerCut && rows == before;
      EXPECT_TRUE(rows == afterFirst || rows == afterSecond || undoneByPowerCut) << where << ": " << rows.size() << " rows";
      if (HavePxlib()) ExpectSameAsPxlib(rows, ReadWithPxlib(m_path));
      reopened.Append({numbered(7)});
      EXPECT_EQ(ParadoxTable(m_path).ReadAll().size(), rows.size() + 1) << where;
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace db::paradox::testing
