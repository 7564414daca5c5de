// A reader that meets another program's write under way (its journal beside
// the table, the table held to write, blocks half written) waits for the
// write to end and reads the table as it left it: it never calls the table
// damaged.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "core/fspath.h"
#include "db/paradox/files.h"
#include "db/paradox/journal.h"
#include "db/paradox/table.h"
#include "db/tablecache.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

Row NumberedRow(int i) { return {std::int64_t{i}, "row " + std::to_string(i)}; }

TEST(BusyReader, WaitsForAWriteUnderWayAndReadsWhatItLeft) {
  TempDir dir;
  const std::string path = dir.path("PlayList.db");
  ParadoxTable::Create(path, {{"FNumber", FieldType::Long, 0}, {"FText", FieldType::Alpha, 200}});
  std::vector<Row> rows;
  for (int i = 0; i < 40; ++i) rows.push_back(NumberedRow(i));
  ParadoxTable(path).Append(rows);
  const Bytes before = ReadBytes(path);
  ParadoxTable(path).Delete({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19});
  const Bytes after = ReadBytes(path);
  const std::vector<Row> afterRows = ParadoxTable(path).ReadAll();
  WriteBytes(path, before);
  TableCache::Clear();

  // The other program: takes the table, journals, leaves the header saying
  // there are more blocks than the file holds, then finishes its write.
  bool torn = false;
  std::thread writer([&] {
    auto held = SystemFiles()->Open(path, FileSystem::Access::Write);
    WriteBytes(JournalPath(path), Bytes(64, 0x5A));
    Bytes half = before;
    half.resize(half.size() / 2);
    held->Resize(half.size());
    held->Write(0, ByteSpan(half.data(), half.size()));
    torn = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    held->Resize(after.size());
    held->Write(0, ByteSpan(after.data(), after.size()));
    held->Sync();
    std::filesystem::remove(core::FsPath(JournalPath(path)));
  });
  while (!torn) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  std::shared_ptr<const TableData> data;
  EXPECT_NO_THROW(data = TableCache::Get(path)->Data());
  writer.join();
  ASSERT_TRUE(data);
  EXPECT_EQ(data->RowCount(), afterRows.size());
  EXPECT_EQ(data->Get(data->PhysicalRow(0), 0), afterRows[0][0]);
}

}  // namespace
}  // namespace db::paradox::testing
