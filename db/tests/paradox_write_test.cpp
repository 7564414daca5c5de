// Creating tables and changing unkeyed ones: what we write reads back, pxlib
// reads it the same way, and a write touches only the bytes it owns.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"
#include "db/paradox/header.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

using core::cp1251;

constexpr std::size_t kHeader = 0x800;
constexpr std::size_t kBlock = 0x800;
constexpr std::size_t kPlaylistRecord = 331;
constexpr int kPerBlock = static_cast<int>((kBlock - 6) / kPlaylistRecord);

// Fields like those of the station's playlist.
std::vector<Field> PlaylistFields() {
  return {{"FDate", FieldType::Date, 0},      {"FHour", FieldType::Short, 0},
          {"FNumber", FieldType::Long, 0},    {"FPath", FieldType::Alpha, 160},
          {"FArtist", FieldType::Alpha, 64},  {"FName", FieldType::Alpha, 64},
          {"FTime", FieldType::Time, 0},      {"FStart", FieldType::Timestamp, 0},
          {"FNoAutoMix", FieldType::Logical, 0}, {"FVolume", FieldType::Number, 0},
          {"FPrice", FieldType::Currency, 0}, {"FId", FieldType::AutoInc, 0}};
}

Row PlaylistRow(int i) {
  return {core::EncodeDate(2016, 1, 5) + i / 100,
          std::int64_t{i % 24},
          std::int64_t{i},
          cp1251("C:\\Музыка\\Песня ") + std::to_string(i) + ".mp3",
          cp1251("Исполнитель ") + std::to_string(i % 7),
          i % 5 == 0 ? Value() : Value(cp1251("Название ") + std::to_string(i)),
          core::EncodeTime(0, 3, i % 60, 0),
          core::EncodeDate(2016, 1, 5) + core::EncodeTime(i % 24, 0, 0, 0),
          i % 2 == 0,
          i % 3 == 0 ? Value() : Value(0.5 * i),
          -1.25,
          std::monostate{}};
}

// The rows as the table gives them back: AutoInc numbered from first.
std::vector<Row> Numbered(std::vector<Row> rows, std::int64_t first) {
  for (Row& r : rows) r.back() = first++;
  return rows;
}

std::vector<Row> PlaylistRows(int from, int to) {
  std::vector<Row> rows;
  for (int i = from; i < to; ++i) rows.push_back(PlaylistRow(i));
  return rows;
}

struct Range {
  std::size_t begin;
  std::size_t end;
};

// The byte ranges where two versions of a file differ (the longer tail counts as different).
std::vector<Range> Changes(const Bytes& before, const Bytes& after) {
  std::vector<Range> out;
  const std::size_t n = std::max(before.size(), after.size());
  for (std::size_t i = 0; i < n;) {
    const auto differs = [&](std::size_t k) {
      return k >= before.size() || k >= after.size() || before[k] != after[k];
    };
    if (!differs(i)) {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < n && differs(j)) ++j;
    out.push_back({i, j});
    i = j;
  }
  return out;
}

// Offsets of the header values a write owns.
bool OwnedByWrites(std::size_t offset) {
  const std::vector<Range> owned = {{off::kRecordCount, off::kRecordCount + 4},
                                    {off::kBlocksInUse, off::kLastBlock + 2},
                                    {off::kUpdateCounter, off::kUpdateCounter + 2},
                                    {off::kBlocksCopy, off::kBlocksCopy + 2},
                                    {off::kAutoInc, off::kAutoInc + 4},
                                    {off::kFirstFreeBlock, off::kFirstFreeBlock + 2}};
  for (const Range& r : owned) {
    if (offset >= r.begin && offset < r.end) return true;
  }
  return false;
}

void ExpectOnlyOwnedHeaderBytesChanged(const Bytes& before, const Bytes& after, std::size_t headerSize) {
  for (const Range& r : Changes(before, after)) {
    for (std::size_t i = r.begin; i < r.end && i < headerSize; ++i) {
      EXPECT_TRUE(OwnedByWrites(i)) << "header byte " << i << " changed";
    }
  }
}

std::size_t BlockStart(int block) { return kHeader + static_cast<std::size_t>(block - 1) * kBlock; }

class ParadoxWrite : public ::testing::Test {
 protected:
  TempDir m_dir;
  std::string m_path = m_dir.path("PlayList.db");
};

TEST_F(ParadoxWrite, CreatesALevel7TableThatPxlibReads) {
  ParadoxTable::Create(m_path, {{"FName", FieldType::Alpha, 64}, {cp1251("Ёмкость"), FieldType::Short, 0},
                                {"FLong", FieldType::Long, 4}, {"FNumber", FieldType::Number, 0},
                                {"FDate", FieldType::Date, 0}, {"FTime", FieldType::Time, 0},
                                {"FStamp", FieldType::Timestamp, 0}, {"FFlag", FieldType::Logical, 0},
                                {"FId", FieldType::AutoInc, 0}, {"FMoney", FieldType::Currency, 0},
                                {"FBcd", FieldType::Bcd, 2}, {"FRaw", FieldType::Bytes, 3}});
  const Bytes file = ReadBytes(m_path);
  ASSERT_EQ(file.size(), kHeader);  // no blocks until the first record
  EXPECT_EQ(file[off::kVersion], 0x0C);
  EXPECT_EQ(file[off::kBlockSizeCode], 2);
  EXPECT_EQ(file[off::kSortOrder], 0x8F);
  EXPECT_EQ(file[off::kCodePage] | file[off::kCodePage + 1] << 8, 1251);
  const std::string tail(file.begin() + 0x100, file.end());
  EXPECT_NE(tail.find(std::string("ancyrr\0", 7)), std::string::npos);

  const ParadoxTable table(m_path);
  EXPECT_EQ(table.level(), 7);
  EXPECT_EQ(table.codePage(), 1251);
  EXPECT_TRUE(table.writable());
  EXPECT_EQ(table.keyFieldCount(), 0);
  ASSERT_EQ(table.fields().size(), 12u);
  EXPECT_EQ(table.fields()[1].name, cp1251("Ёмкость"));
  EXPECT_EQ(table.fields()[1].size, 2);
  EXPECT_EQ(table.fields()[10].size, 2);  // Bcd: decimals
  EXPECT_TRUE(table.ReadAll().empty());

  if (!HavePxlib()) return;
  const PxlibTable theirs = ReadWithPxlib(m_path);
  EXPECT_TRUE(theirs.messages.empty());
  ASSERT_EQ(theirs.fields.size(), 12u);
  EXPECT_EQ(theirs.fields[0].name, "FName");
  EXPECT_EQ(theirs.fields[0].size, 64);
  EXPECT_EQ(theirs.fields[8].type, FieldType::AutoInc);
  EXPECT_EQ(theirs.fields[10].type, FieldType::Bcd);
  EXPECT_TRUE(theirs.rows.empty());
}

TEST_F(ParadoxWrite, CreateRefusesBadDefinitionsAndExistingFiles) {
  struct Bad {
    std::vector<Field> fields;
    const char* message;
  };
  const std::vector<Bad> cases = {
      {{}, "PlayList.db: недопустимое число полей (0)"},
      {{{"", FieldType::Alpha, 5}}, "PlayList.db: поле «»: имя пусто или длиннее 25 символов"},
      {{{"A", FieldType::Alpha, 5}, {"a", FieldType::Short, 0}}, "PlayList.db: поле «a»: имя повторяется"},
      {{{cp1251("Имя"), FieldType::Alpha, 5}, {cp1251("ИМЯ"), FieldType::Short, 0}},
       "PlayList.db: поле «ИМЯ»: имя повторяется"},
      {{{"M", FieldType::Memo, 11}}, "PlayList.db: поле «M»: такой тип поля программа не создаёт"},
      {{{"A", FieldType::Alpha, 0}}, "PlayList.db: поле «A»: недопустимый размер 0"},
      {{{"A", FieldType::Alpha, 256}}, "PlayList.db: поле «A»: недопустимый размер 256"},
      {{{"S", FieldType::Short, 4}}, "PlayList.db: поле «S»: недопустимый размер 4"},
  };
  for (const Bad& c : cases) {
    try {
      ParadoxTable::Create(m_path, c.fields);
      ADD_FAILURE() << "created: " << c.message;
    } catch (const Error& e) {
      EXPECT_EQ(Utf8(e.what()), c.message);
    }
    EXPECT_FALSE(std::filesystem::exists(core::FsPath(m_path))) << c.message;
  }
  std::vector<Field> wide;
  for (int i = 0; i < 9; ++i) wide.push_back({"A" + std::to_string(i), FieldType::Alpha, 255});
  try {
    ParadoxTable::Create(m_path, wide);
    ADD_FAILURE() << "a record wider than a block";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: запись (2295 байт) не помещается в блок");
  }
  ParadoxTable::Create(m_path, {{"A", FieldType::Alpha, 5}});
  const Bytes created = ReadBytes(m_path);
  try {
    ParadoxTable::Create(m_path, {{"B", FieldType::Short, 0}});
    ADD_FAILURE() << "an existing table was replaced";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: файл уже существует");
  }
  EXPECT_EQ(ReadBytes(m_path), created);
}

TEST_F(ParadoxWrite, AppendedRowsReadBackAndPxlibReadsThemAlike) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  table.Append(PlaylistRows(0, 1));
  table.Append(PlaylistRows(1, 250));
  table.Append(PlaylistRows(250, 300));
  EXPECT_EQ(table.recordCount(), 300u);
  const auto expected = Numbered(PlaylistRows(0, 300), 1);
  EXPECT_EQ(table.ReadAll(), expected);
  EXPECT_EQ(ParadoxTable(m_path).ReadAll(), expected);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(m_path));
}

TEST_F(ParadoxWrite, AutoIncContinuesFromTheHeaderAndFollowsExplicitValues) {
  ParadoxTable::Create(m_path, {{"FName", FieldType::Alpha, 10}, {"FId", FieldType::AutoInc, 0}});
  {
    ParadoxTable table(m_path);
    table.Append({{std::string("a"), std::monostate{}}, {std::string("b"), std::monostate{}}});
    table.Append({{std::string("c"), std::int64_t{10}}});
  }
  ParadoxTable table(m_path);
  table.Append({{std::string("d"), std::monostate{}}});
  const std::vector<Row> expected = {{std::string("a"), std::int64_t{1}},
                                     {std::string("b"), std::int64_t{2}},
                                     {std::string("c"), std::int64_t{10}},
                                     {std::string("d"), std::int64_t{11}}};
  EXPECT_EQ(table.ReadAll(), expected);
  const Bytes file = ReadBytes(m_path);
  EXPECT_EQ(file[off::kAutoInc], 11);  // the last value handed out
}

// A full last block gets a new block; appending never rewrites the others.
TEST_F(ParadoxWrite, AppendTouchesOnlyTheLastBlockAndTheHeader) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  const int perBlock = kPerBlock;
  table.Append(PlaylistRows(0, 3 * perBlock - 1));  // block 3 has room for one
  const Bytes before = ReadBytes(m_path);
  table.Append(PlaylistRows(3 * perBlock - 1, 3 * perBlock));
  const Bytes filled = ReadBytes(m_path);
  ExpectOnlyOwnedHeaderBytesChanged(before, filled, kHeader);
  for (const Range& r : Changes(before, filled)) {
    EXPECT_TRUE(r.end <= kHeader || (r.begin >= BlockStart(3) && r.end <= BlockStart(4))) << r.begin;
  }
  table.Append(PlaylistRows(3 * perBlock, 3 * perBlock + 1));
  const Bytes grown = ReadBytes(m_path);
  ASSERT_EQ(grown.size(), BlockStart(5));
  ExpectOnlyOwnedHeaderBytesChanged(filled, grown, kHeader);
  for (const Range& r : Changes(filled, grown)) {
    const bool link = r.begin >= BlockStart(3) && r.end <= BlockStart(3) + 2;  // block 3 now points to 4
    EXPECT_TRUE(r.end <= kHeader || link || r.begin >= BlockStart(4)) << r.begin;
  }
  EXPECT_EQ(table.ReadAll(), Numbered(PlaylistRows(0, 3 * perBlock + 1), 1));
}

TEST_F(ParadoxWrite, AFailedAppendWritesNothing) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  table.Append(PlaylistRows(0, 10));
  const Bytes before = ReadBytes(m_path);
  auto rows = PlaylistRows(10, 20);
  rows[5][3] = std::string(161, 'x');
  try {
    table.Append(rows);
    FAIL() << "an overlong path was stored";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db, поле «FPath»: текст длиннее поля (161 > 160)");
  }
  rows[5].pop_back();
  try {
    table.Append(rows);
    FAIL() << "a short row was stored";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: в строке 11 значений, а в таблице 12 полей");
  }
  EXPECT_EQ(ReadBytes(m_path), before);
  EXPECT_EQ(table.recordCount(), 10u);
}

// Another program changed the table after we read it: the write is refused.
TEST_F(ParadoxWrite, AStaleTableObjectRefusesToWrite) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable first(m_path);
  ParadoxTable second(m_path);
  const FileStamp created = ParadoxTable::Stamp(m_path);
  first.Append(PlaylistRows(0, 1));
  EXPECT_NE(ParadoxTable::Stamp(m_path), created);
  EXPECT_EQ(first.stamp(), ParadoxTable::Stamp(m_path));
  const Bytes before = ReadBytes(m_path);
  try {
    second.Append(PlaylistRows(1, 2));
    FAIL() << "a stale object wrote";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: таблица изменена другой программой после открытия; откройте её заново");
  }
  EXPECT_EQ(ReadBytes(m_path), before);
}

// Deleting shifts records within their blocks; an emptied block goes to the
// free list and is the next one used; the first block is never freed.
TEST_F(ParadoxWrite, DeleteFreesEmptiedBlocksAndAppendReusesThem) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  const int perBlock = kPerBlock;
  auto expected = Numbered(PlaylistRows(0, 4 * perBlock), 1);
  table.Append(PlaylistRows(0, 4 * perBlock));
  const Bytes before = ReadBytes(m_path);

  table.Delete({1, 3});  // two records of block 1
  std::vector<std::size_t> block2;
  for (int i = perBlock - 2; i < 2 * perBlock - 2; ++i) block2.push_back(static_cast<std::size_t>(i));
  table.Delete(block2);
  expected.erase(expected.begin() + perBlock, expected.begin() + 2 * perBlock);
  expected.erase(expected.begin() + 3);
  expected.erase(expected.begin() + 1);
  EXPECT_EQ(table.ReadAll(), expected);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(m_path), false);
  const Bytes after = ReadBytes(m_path);
  EXPECT_EQ(after.size(), before.size());
  ExpectOnlyOwnedHeaderBytesChanged(before, after, kHeader);
  for (const Range& r : Changes(before, after)) {
    const bool inBlocks1and2 = r.begin >= BlockStart(1) && r.end <= BlockStart(3);
    const bool backLinkOf3 = r.begin >= BlockStart(3) + 2 && r.end <= BlockStart(3) + 4;
    EXPECT_TRUE(r.end <= kHeader || inBlocks1and2 || backLinkOf3) << r.begin;
  }
  EXPECT_EQ(after[off::kFirstFreeBlock], 2);

  table.Append(PlaylistRows(1000, 1000 + perBlock));  // the last block is full: block 2 comes back
  EXPECT_EQ(ReadBytes(m_path).size(), before.size());
  auto more = Numbered(PlaylistRows(1000, 1000 + perBlock), 4 * perBlock + 1);
  expected.insert(expected.end(), more.begin(), more.end());
  EXPECT_EQ(ParadoxTable(m_path).ReadAll(), expected);
  EXPECT_EQ(ReadBytes(m_path)[off::kFirstFreeBlock], 0);
}

TEST_F(ParadoxWrite, DeletingEveryRowLeavesAnEmptyTable) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  table.Append(PlaylistRows(0, 30));
  std::vector<std::size_t> all;
  for (std::size_t i = 0; i < 30; ++i) all.push_back(i);
  table.Delete(all);
  EXPECT_EQ(table.recordCount(), 0u);
  EXPECT_EQ(ReadBytes(m_path).size(), kHeader);
  EXPECT_TRUE(ParadoxTable(m_path).ReadAll().empty());
  if (HavePxlib()) {
    EXPECT_TRUE(ReadWithPxlib(m_path).rows.empty());
  }
  table.Append(PlaylistRows(0, 2));
  EXPECT_EQ(ParadoxTable(m_path).ReadAll(), Numbered(PlaylistRows(0, 2), 31));
}

TEST_F(ParadoxWrite, DeleteRefusesPositionsPastTheEnd) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  table.Append(PlaylistRows(0, 3));
  const Bytes before = ReadBytes(m_path);
  try {
    table.Delete({0, 3});
    FAIL() << "deleted past the end";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: нет записи с номером 3 (в таблице 3)");
  }
  EXPECT_EQ(ReadBytes(m_path), before);
}

TEST_F(ParadoxWrite, UpdateChangesOnlyTheGivenFields) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  table.Append(PlaylistRows(0, 40));
  const Bytes before = ReadBytes(m_path);
  table.Update({{5, {{3, cp1251("D:\\Новый путь.mp3")}, {9, std::monostate{}}}},
                {39, {{8, true}, {4, std::string()}}},
                {5, {{1, std::int64_t{23}}}}});
  auto expected = Numbered(PlaylistRows(0, 40), 1);
  expected[5][3] = cp1251("D:\\Новый путь.mp3");
  expected[5][9] = std::monostate{};
  expected[5][1] = std::int64_t{23};
  expected[39][8] = true;
  expected[39][4] = std::monostate{};
  EXPECT_EQ(table.ReadAll(), expected);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(m_path));
  ExpectOnlyOwnedHeaderBytesChanged(before, ReadBytes(m_path), kHeader);
  try {
    table.Update({{0, {{12, std::int64_t{1}}}}});
    FAIL() << "updated a field that does not exist";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "PlayList.db: нет поля с номером 12");
  }
}

// What StoredRow promises is what ReadAll gives back after Append.
TEST_F(ParadoxWrite, StoredRowIsWhatTheTableGivesBack) {
  ParadoxTable::Create(m_path, PlaylistFields());
  ParadoxTable table(m_path);
  const Row given = {core::EncodeDate(2016, 1, 5) + 0.75,  // the time of day is not kept
                     5.0,                                   // a whole double in a Short
                     std::int64_t{7},
                     std::string(),                         // empty text is blank
                     cp1251("Ёлка"),
                     std::monostate{},
                     0.123456789,                           // to the millisecond
                     core::EncodeDate(2016, 1, 5) + 0.5,
                     false,
                     std::int64_t{3},                       // an integer in a Number
                     2.5,
                     std::int64_t{40}};
  const Row stored = table.StoredRow(given);
  EXPECT_EQ(stored[0], Value(core::EncodeDate(2016, 1, 5)));
  EXPECT_EQ(stored[1], Value(std::int64_t{5}));
  EXPECT_EQ(stored[3], Value(std::monostate{}));
  EXPECT_EQ(stored[6], Value(10666667.0 / 86400000.0));  // 0.123456789 days = 10666666.57 ms
  EXPECT_EQ(stored[9], Value(3.0));
  table.Append({given});
  EXPECT_EQ(table.ReadAll(), std::vector<Row>{stored});
  EXPECT_EQ(table.StoredValue(2, 9.0), Value(std::int64_t{9}));
  EXPECT_THROW(table.StoredValue(1, std::string("x")), Error);
}

// A table the Borland engine wrote (level 4, code page 866): after our writes
// every header byte but the counts is as it was, and pxlib still reads it.
TEST_F(ParadoxWrite, WritesKeepTheHeaderOfABorlandTable) {
  const std::string samples = SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "sample tables not found at " << MVIMPORT_SAMPLES_DIR;
  const std::string path = m_dir.path("of_cp866.db");
  CopyWritable(samples + "/of_cp866.db", path);
  const Bytes original = ReadBytes(path);
  ParadoxTable table(path);
  auto expected = table.ReadAll();
  Row row(19);
  row[0] = std::string("999");
  row[3] = cp1251("НОВАЯ ЗАПИСЬ №1");
  row[4] = core::EncodeDate(2016, 1, 5);
  row[5] = 12.5;
  table.Append({row});
  table.Delete({0, 1, 2, 100});
  table.Update({{3, {{3, cp1251("ИЗМЕНЕНО")}}}});
  expected.push_back(row);
  expected.erase(expected.begin() + 100);
  expected.erase(expected.begin(), expected.begin() + 3);
  expected[3][3] = cp1251("ИЗМЕНЕНО");
  const Bytes written = ReadBytes(path);
  ExpectOnlyOwnedHeaderBytesChanged(original, written, 0x800);
  EXPECT_EQ(ParadoxTable(path).ReadAll(), expected);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(path), false);
}

}  // namespace
}  // namespace db::paradox::testing
