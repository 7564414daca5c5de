// The rollback journal: its bytes are taken only whole, a refused write never
// creates one nor touches a file, and a journal that no longer fits the table
// (another program wrote it after our crash) is not applied.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/fspath.h"
#include "db/paradox/journal.h"
#include "db/paradox/journalformat.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_fault_util.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

bool SameJournal(const JournalContent& a, const JournalContent& b) {
  if (a.files.size() != b.files.size() || a.ranges.size() != b.ranges.size() || a.headerAfter != b.headerAfter) {
    return false;
  }
  for (std::size_t i = 0; i < a.files.size(); ++i) {
    if (a.files[i].name != b.files[i].name || a.files[i].size != b.files[i].size) return false;
  }
  for (std::size_t i = 0; i < a.ranges.size(); ++i) {
    const JournalRange& x = a.ranges[i];
    const JournalRange& y = b.ranges[i];
    if (x.file != y.file || x.offset != y.offset || x.original != y.original) return false;
  }
  return true;
}

TEST(ParadoxJournal, OnlyAWholeJournalIsTaken) {
  JournalContent j;
  j.files = {{"PlayList.DB", 0x2800}, {"PlayList.PX", 0x1000}};
  j.ranges = {{0, 0, Bytes(88, 7)}, {0, 0x1234, {1, 2, 3}}, {1, 0x800, Bytes(2048, 9)}, {0, 0x2000, {}}};
  j.headerAfter = Bytes(88, 8);
  const Bytes bytes = EncodeJournal(j);
  const auto back = DecodeJournal(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(SameJournal(*back, j));

  for (std::size_t cut = 0; cut < bytes.size(); cut += 97) {
    EXPECT_FALSE(DecodeJournal(ByteSpan(bytes).first(cut)).has_value()) << "cut to " << cut;
  }
  for (std::size_t at = 0; at < bytes.size(); at += 61) {
    Bytes flipped = bytes;
    flipped[at] ^= 0x10;
    EXPECT_FALSE(DecodeJournal(flipped).has_value()) << "byte " << at << " changed";
  }
  Bytes longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(DecodeJournal(longer).has_value());
}

class ParadoxJournalTable : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateKeyed(m_path, {{"Id", FieldType::Long, 0}, {"Name", FieldType::Alpha, 200}}, 1);
    std::vector<Row> rows;
    for (int id = 10; id <= 100; id += 10) rows.push_back(row(id));
    ParadoxTable(m_path).Append(rows);  // one full block
  }

  static Row row(int id) { return {std::int64_t{id}, "name " + std::to_string(id)}; }
  std::string pxPath() const { return m_dir.path("T.PX"); }
  bool journalExists() const { return std::filesystem::exists(core::FsPath(JournalPath(m_path))); }

  TempDir m_dir;
  std::string m_path = m_dir.path("T.DB");
};

TEST_F(ParadoxJournalTable, ARefusedWriteTouchesNothingAndTheObjectWritesOnAfterIt) {
  struct Case {
    const char* what;
    std::function<void(ParadoxTable&)> write;
  };
  // The first of two rows is placed (splitting the full block) before the second is refused.
  const std::vector<Case> cases = {
      {"a duplicate key after a new one", [](ParadoxTable& t) { t.Append({row(15), row(20)}); }},
      {"a text too long for its field", [](ParadoxTable& t) { t.Append({row(25), {std::int64_t{26}, std::string(201, 'x')}}); }},
      {"a position past the end", [](ParadoxTable& t) { t.Delete({3, 10}); }},
      {"a key moved onto another", [](ParadoxTable& t) { t.Update({{0, {{0, std::int64_t{95}}}}, {1, {{0, std::int64_t{100}}}}}); }},
      {"a field that does not exist", [](ParadoxTable& t) { t.Update({{0, {{1, std::string("x")}}}, {1, {{7, std::int64_t{1}}}}}); }},
  };
  const Bytes db = ReadBytes(m_path);
  const Bytes px = ReadBytes(pxPath());
  auto files = std::make_shared<FaultyFiles>();
  ParadoxTable table(m_path, files);
  const auto rows = table.ReadAll();
  for (const Case& c : cases) {
    EXPECT_THROW(c.write(table), Error) << c.what;
    EXPECT_EQ(files->operations(), 0) << c.what;
    EXPECT_FALSE(journalExists()) << c.what;
    EXPECT_EQ(ReadBytes(m_path), db) << c.what;
    EXPECT_EQ(ReadBytes(pxPath()), px) << c.what;
    EXPECT_TRUE(table.ReadAll() == rows) << c.what;
  }
  // The chain the refused writes had changed in memory is back as it was.
  table.Append({row(15), row(105)});
  EXPECT_EQ(ParadoxTable(m_path).ReadAll().size(), rows.size() + 2);
  ExpectIndexMatchesChain(m_path);
  if (HavePxlib()) ExpectSameAsPxlib(ParadoxTable(m_path).ReadAll(), ReadWithPxlib(m_path, pxPath()));
}

TEST_F(ParadoxJournalTable, AJournalTheTableNoLongerFitsIsNotApplied) {
  // A crash at the last step: the table is written, the journal still there.
  const auto before = ParadoxTable(m_path).ReadAll();
  const Bytes db = ReadBytes(m_path);
  const Bytes px = ReadBytes(pxPath());
  auto counter = std::make_shared<FaultyFiles>();
  ParadoxTable(m_path, counter).Append({row(15)});
  const auto after = ParadoxTable(m_path).ReadAll();
  WriteBytes(m_path, db);
  WriteBytes(pxPath(), px);

  for (const bool otherProgramWrote : {false, true}) {
    auto files = std::make_shared<FaultyFiles>(counter->operations(), FaultyFiles::Fault::Crash);
    ParadoxTable table(m_path, files);
    EXPECT_THROW(table.Append({row(15)}), SimulatedCrash);
    ASSERT_TRUE(journalExists());
    Bytes changed = ReadBytes(m_path);
    if (otherProgramWrote) changed[0x2D] = static_cast<std::uint8_t>(changed[0x2D] + 5);  // its update counter
    WriteBytes(m_path, changed);

    const ParadoxTable reopened(m_path);
    if (!otherProgramWrote) {
      EXPECT_TRUE(reopened.ReadAll() == before);
      EXPECT_FALSE(journalExists());
      continue;
    }
    EXPECT_FALSE(reopened.writable());
    EXPECT_NE(Utf8(reopened.readOnlyReason()).find("журнал незавершённой записи T.DB-journal"), std::string::npos)
        << Utf8(reopened.readOnlyReason());
    EXPECT_TRUE(journalExists());
    EXPECT_EQ(ReadBytes(m_path), changed);
    EXPECT_TRUE(reopened.ReadAll() == after);
  }
}

}  // namespace
}  // namespace db::paradox::testing
