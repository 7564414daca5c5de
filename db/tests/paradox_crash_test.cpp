// Crash safety of writes: a write is interrupted at every operation that
// changes the disk in turn (an I/O error, a crash, a power cut losing what
// was not flushed), and the table, opened again, must read as before the write
// or as after it, for us and for pxlib, with an index that matches its chain.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "core/datetime.h"
#include "core/fspath.h"
#include "db/paradox/journal.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_fault_util.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

// A key and 200 bytes of text: 10 records to a 2 KiB block.
std::vector<Field> KeyedFields() { return {{"Id", FieldType::Long, 0}, {"Name", FieldType::Alpha, 200}}; }
Row KeyedRow(int id) { return {std::int64_t{id}, "name " + std::to_string(id)}; }

// 9 records to a block.
std::vector<Field> HourFields() {
  return {{"FDate", FieldType::Date, 0},
          {"FHour", FieldType::Short, 0},
          {"FNumber", FieldType::Short, 0},
          {"FPath", FieldType::Alpha, 200}};
}
Row HourRow(int hour, int number) {
  return {core::EncodeDate(2016, 1, 5), std::int64_t{hour}, std::int64_t{number},
          "C:\\songs\\" + std::to_string(hour) + "-" + std::to_string(number) + ".mp3"};
}

// Keys 10, 20, ... 300 in three full blocks.
void BuildKeyed(const std::string& path) {
  CreateKeyed(path, KeyedFields(), 1);
  std::vector<Row> rows;
  for (int id = 10; id <= 300; id += 10) rows.push_back(KeyedRow(id));
  ParadoxTable(path).Append(rows);
}

// Hour 6: 5 rows, hour 7: 20 rows, hour 8: 5 rows, in four blocks; hour 7
// ends the first block, fills the second and starts the third.
void BuildHours(const std::string& path) {
  ParadoxTable::Create(path, HourFields());
  std::vector<Row> rows;
  for (int i = 0; i < 5; ++i) rows.push_back(HourRow(6, i));
  for (int i = 0; i < 20; ++i) rows.push_back(HourRow(7, i));
  for (int i = 0; i < 5; ++i) rows.push_back(HourRow(8, i));
  ParadoxTable(path).Append(rows);
}

std::vector<std::size_t> Positions(std::size_t from, std::size_t to) {
  std::vector<std::size_t> out;
  for (std::size_t i = from; i < to; ++i) out.push_back(i);
  return out;
}

struct Scenario {
  const char* name;
  bool keyed;
  std::function<void(const std::string&)> build;
  std::function<void(ParadoxTable&)> write;
  std::function<Row()> probe;  // one more row the table takes afterwards
};

const Scenario kScenarios[] = {
    {"keyed append splitting two blocks and adding one", true, BuildKeyed,
     [](ParadoxTable& t) { t.Append({KeyedRow(15), KeyedRow(155), KeyedRow(305)}); }, [] { return KeyedRow(999); }},
    {"unkeyed delete of a day-hour over three blocks", false, BuildHours,
     [](ParadoxTable& t) { t.Delete(Positions(5, 25)); }, [] { return HourRow(9, 0); }},
    {"keyed update moving two keys and changing a name", true, BuildKeyed,
     [](ParadoxTable& t) {
       t.Update({{0, {{0, std::int64_t{305}}}}, {14, {{0, std::int64_t{5}}}}, {19, {{1, std::string("renamed")}}}});
     },
     [] { return KeyedRow(999); }},
    {"unkeyed update in three blocks", false, BuildHours,
     [](ParadoxTable& t) {
       t.Update({{3, {{3, std::string("a")}}}, {12, {{1, std::int64_t{9}}}}, {27, {{3, std::string("b")}}}});
     },
     [] { return HourRow(9, 0); }},
    {"keyed delete of every record", true, BuildKeyed, [](ParadoxTable& t) { t.Delete(Positions(0, 30)); },
     [] { return KeyedRow(999); }},
    // An import: one hour cleared and filled again, the rows of another hour
    // moved in as whole records, in one write.
    {"unkeyed batch deleting a day-hour and appending rows and records", false, BuildHours,
     [](ParadoxTable& t) {
       ParadoxTable::WriteBatch batch;
       batch.deletes = Positions(5, 25);
       for (int i = 0; i < 12; ++i) batch.rows.push_back(HourRow(7, i));
       batch.records = t.RawRecords(Positions(25, 30));
       t.Write(batch);
     },
     [] { return HourRow(9, 0); }},
    {"keyed batch deleting and appending across blocks", true, BuildKeyed,
     [](ParadoxTable& t) {
       ParadoxTable::WriteBatch batch;
       batch.deletes = {0, 1, 2, 15, 29};
       batch.rows = {KeyedRow(15), KeyedRow(155), KeyedRow(305)};
       t.Write(batch);
     },
     [] { return KeyedRow(999); }},
};

void PrintTo(const Scenario& s, std::ostream* out) { *out << s.name; }

struct Interruption {
  const char* name;
  FaultyFiles::Fault fault;
  bool powerCut;
  FaultyFiles::Unflushed unflushed;
  bool loseNames;
};

using Unflushed = FaultyFiles::Unflushed;
const Interruption kInterruptions[] = {
    {"I/O error", FaultyFiles::Fault::Error, false, Unflushed::Kept, false},
    {"crash", FaultyFiles::Fault::Crash, false, Unflushed::Kept, false},
    {"power cut losing unflushed writes and names", FaultyFiles::Fault::Crash, true, Unflushed::Lost, true},
    {"power cut losing the journal's unflushed writes", FaultyFiles::Fault::Crash, true, Unflushed::JournalLost, false},
    {"power cut losing the later half of unflushed writes", FaultyFiles::Fault::Crash, true, Unflushed::LaterHalfLost, false},
    {"power cut losing unflushed names", FaultyFiles::Fault::Crash, true, Unflushed::Kept, true},
};

class ParadoxCrash : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    GetParam().build(m_path);
    m_db = ReadBytes(m_path);
    if (GetParam().keyed) m_px = ReadBytes(pxPath());
  }

  std::string pxPath() const { return m_dir.path("T.PX"); }

  void restore() const {
    WriteBytes(m_path, m_db);
    if (GetParam().keyed) WriteBytes(pxPath(), m_px);
    std::filesystem::remove(core::FsPath(JournalPath(m_path)));
  }

  // Opened anew (which rolls back), the table holds before or after and is
  // whole: pxlib reads the same, the index matches, one more row fits.
  bool expectWhole(const std::vector<Row>& before, const std::vector<Row>& after, const std::string& where) {
    ParadoxTable table(m_path, std::make_shared<FaultyFiles>());  // flushes only recorded: fast
    EXPECT_FALSE(std::filesystem::exists(core::FsPath(JournalPath(m_path)))) << where;
    EXPECT_TRUE(table.writable()) << where << ": " << Utf8(table.readOnlyReason());
    const auto rows = table.ReadAll();
    const bool isAfter = rows == after;
    EXPECT_TRUE(rows == before || isAfter) << where << ": " << rows.size() << " rows, neither before nor after";
    if (HavePxlib()) ExpectSameAsPxlib(rows, ReadWithPxlib(m_path, GetParam().keyed ? pxPath() : std::string()));
    if (GetParam().keyed) ExpectIndexMatchesChain(m_path);
    table.Append({GetParam().probe()});
    EXPECT_EQ(ParadoxTable(m_path).ReadAll().size(), rows.size() + 1) << where;
    return isAfter;
  }

  TempDir m_dir;
  std::string m_path = m_dir.path("T.DB");
  Bytes m_db;
  Bytes m_px;
};

TEST_P(ParadoxCrash, EveryInterruptedWriteLeavesTheRowsBeforeOrAfter) {
  const Scenario& s = GetParam();
  std::vector<Row> before;
  std::vector<Row> after;
  int points = 0;
  {
    auto counter = std::make_shared<FaultyFiles>();
    ParadoxTable table(m_path, counter);
    before = table.ReadAll();
    s.write(table);
    after = table.ReadAll();
    points = counter->operations();
  }
  ASSERT_NE(before, after);
  ASSERT_GT(points, 4);  // journal created, written, flushed, table written, flushed...

  // Point points + 1 interrupts nothing: a power cut after the write returned.
  int checked = 0;
  int rolledBack = 0;
  for (const Interruption& in : kInterruptions) {
    for (int point = 1; point <= points + 1; ++point) {
      const std::string where = std::string(in.name) + " at operation " + std::to_string(point);
      restore();
      auto files = std::make_shared<FaultyFiles>(point, in.fault);
      bool failed = false;
      {
        ParadoxTable table(m_path, files);
        try {
          s.write(table);
        } catch (const SimulatedCrash&) {
          failed = true;
        } catch (const Error&) {
          failed = true;
        }
        EXPECT_EQ(files->crashed(), in.fault == FaultyFiles::Fault::Crash && point <= points) << where;
        if (in.fault == FaultyFiles::Fault::Error) {
          // The program goes on: the same object holds what the file holds and
          // can make the write again.
          EXPECT_EQ(table.ReadAll() == after, !failed) << where;
          rolledBack += failed ? 1 : 0;
          if (failed) s.write(table);
          EXPECT_TRUE(table.ReadAll() == after) << where;
        }
      }
      if (in.powerCut) files->PowerCut(in.unflushed, in.loseNames);
      const bool isAfter = expectWhole(before, after, where);
      rolledBack += in.fault == FaultyFiles::Fault::Crash && !isAfter ? 1 : 0;
      ++checked;
      if (::testing::Test::HasFailure()) return;
    }
  }
  std::printf("[ crash    ] %s: %d operations, %d interrupted writes checked, %d of them rolled back\n", s.name,
              points, checked, rolledBack);
}

INSTANTIATE_TEST_SUITE_P(Writes, ParadoxCrash, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) {
                           std::string name;
                           for (const char* c = param.param.name; *c != '\0'; ++c) {
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

}  // namespace
}  // namespace db::paradox::testing
