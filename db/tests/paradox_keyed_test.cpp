// Keyed tables: records stay in key order across blocks, full blocks split,
// and the primary index (.PX) is rebuilt to match the chain after every write.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"
#include "db/paradox/pxindex.h"
#include "db/paradox/state.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

using core::cp1251;

std::vector<Field> KeyedFields() {
  return {{"FDate", FieldType::Date, 0},    {"FHour", FieldType::Short, 0},  {"FNumber", FieldType::Long, 0},
          {"FArtist", FieldType::Alpha, 40}, {"FPath", FieldType::Alpha, 120}, {"FTime", FieldType::Time, 0}};
}

Row KeyedRow(int key) {
  // Unique per key, and ordered as the keys: 960 = 24 hours * 40 numbers.
  return {core::EncodeDate(2016, 1, 1) + key / 960, std::int64_t{key / 40 % 24}, std::int64_t{key % 40 - 20},
          cp1251("Исполнитель ") + std::to_string(key), "C:\\songs\\" + std::to_string(key) + ".mp3",
          core::EncodeTime(0, 3, key % 60, 0)};
}

class ParadoxKeyed : public ::testing::Test {
 protected:
  void SetUp() override { CreateKeyed(m_path, KeyedFields(), 3); }

  std::string pxPath() const { return m_dir.path("PlayList.PX"); }

  TempDir m_dir;
  std::string m_path = m_dir.path("PlayList.DB");
};

TEST_F(ParadoxKeyed, ThousandsOfRowsStayInKeyOrderWithAConsistentIndex) {
  std::vector<int> keys(3000);
  for (int i = 0; i < 3000; ++i) keys[static_cast<std::size_t>(i)] = i * 7 % 3001;
  std::mt19937 random(5);
  std::shuffle(keys.begin(), keys.end(), random);
  ParadoxTable table(m_path);
  ASSERT_TRUE(table.writable()) << Utf8(table.readOnlyReason());
  for (std::size_t from = 0; from < keys.size(); from += 250) {
    std::vector<Row> rows;
    for (std::size_t i = from; i < from + 250; ++i) rows.push_back(KeyedRow(keys[i]));
    table.Append(rows);
  }
  std::sort(keys.begin(), keys.end(), [](int a, int b) { return KeyedRow(a) < KeyedRow(b); });
  std::vector<Row> expected;
  for (int k : keys) expected.push_back(KeyedRow(k));
  EXPECT_EQ(table.ReadAll(), expected);
  ExpectIndexMatchesChain(m_path);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(m_path, pxPath()), false);
}


std::vector<Row> SortedRows(std::vector<int> keys) {
  std::sort(keys.begin(), keys.end());
  std::vector<Row> rows;
  for (int k : keys) rows.push_back(KeyedRow(k));
  return rows;
}

std::vector<Row> RowsOf(const std::vector<int>& keys) {
  std::vector<Row> rows;
  for (int k : keys) rows.push_back(KeyedRow(k));
  return rows;
}

// Records in ascending key order fill each block before the next is begun;
// a record inside a full block splits it in halves.
TEST_F(ParadoxKeyed, AscendingKeysFillBlocksAndAnInsertSplitsAFullBlock) {
  ParadoxTable table(m_path);
  std::vector<int> keys;
  for (int k = 0; k < 100; k += 2) keys.push_back(k);
  table.Append(RowsOf(keys));
  const std::size_t perBlock = (2048 - 6) / 174;  // 11
  auto state = LoadTableState(m_path);
  ASSERT_EQ(state->chain.counts.size(), 5u);
  for (std::size_t i = 0; i + 1 < state->chain.counts.size(); ++i) EXPECT_EQ(state->chain.counts[i], perBlock);
  EXPECT_EQ(state->chain.counts.back(), 50 - 4 * perBlock);

  table.Append({KeyedRow(25)});  // into the full second block
  keys.push_back(25);
  state = LoadTableState(m_path);
  EXPECT_EQ(state->chain.counts, (std::vector<std::uint16_t>{11, 6, 6, 11, 11, 6}));
  EXPECT_EQ(state->chain.blocks, (std::vector<std::uint16_t>{1, 2, 6, 3, 4, 5}));
  EXPECT_EQ(table.ReadAll(), SortedRows(keys));
  ExpectIndexMatchesChain(m_path);
  if (HavePxlib()) ExpectSameAsPxlib(SortedRows(keys), ReadWithPxlib(m_path, pxPath()), false);
}

TEST_F(ParadoxKeyed, DeletesAndKeyChangesKeepOrderAndIndex) {
  std::vector<int> keys;
  for (int k = 0; k < 4000; ++k) keys.push_back(k);
  std::mt19937 random(11);
  std::shuffle(keys.begin(), keys.end(), random);
  ParadoxTable table(m_path);
  table.Append(RowsOf(keys));
  std::sort(keys.begin(), keys.end());

  // Every third record, then a whole run of blocks.
  std::vector<std::size_t> positions;
  for (std::size_t p = 0; p < keys.size(); p += 3) positions.push_back(p);
  for (std::size_t p = 1000; p < 1400; ++p) positions.push_back(p);
  table.Delete(positions);
  std::vector<int> left;
  std::sort(positions.begin(), positions.end());
  for (std::size_t p = 0; p < keys.size(); ++p) {
    if (!std::binary_search(positions.begin(), positions.end(), p)) left.push_back(keys[p]);
  }
  EXPECT_EQ(table.ReadAll(), SortedRows(left));
  ExpectIndexMatchesChain(m_path);

  // The first record moves past the last key; a change outside the key
  // leaves its record where it is.
  const int first = left.front();
  const int middle = left[left.size() / 2];
  const Row moved = KeyedRow(9000);
  table.Update({{0, {{0, std::get<double>(moved[0])}, {1, moved[1]}, {2, moved[2]}}},
                {left.size() / 2, {{4, std::string("changed")}}}});
  left.erase(left.begin());
  left.push_back(9000);
  auto expected = SortedRows(left);
  Row firstMoved = KeyedRow(first);
  firstMoved[0] = moved[0];
  firstMoved[1] = moved[1];
  firstMoved[2] = moved[2];
  expected.back() = firstMoved;
  const auto middleAt = static_cast<std::size_t>(std::lower_bound(left.begin(), left.end() - 1, middle) - left.begin());
  expected[middleAt][4] = std::string("changed");
  EXPECT_EQ(table.ReadAll(), expected);
  ExpectIndexMatchesChain(m_path);
  if (HavePxlib()) ExpectSameAsPxlib(expected, ReadWithPxlib(m_path, pxPath()), false);
}

TEST_F(ParadoxKeyed, ADuplicateKeyWritesNothing) {
  ParadoxTable table(m_path);
  table.Append(RowsOf({1, 2, 3, 50, 60}));
  const Bytes db = ReadBytes(m_path);
  const Bytes px = ReadBytes(pxPath());
  const auto expectRefused = [&](const auto& write, const char* what) {
    try {
      write();
      ADD_FAILURE() << what;
    } catch (const Error& e) {
      EXPECT_EQ(Utf8(e.what()), "PlayList.DB: запись с таким ключом уже есть (нарушение уникальности ключа)") << what;
    }
    EXPECT_EQ(ReadBytes(m_path), db) << what;
    EXPECT_EQ(ReadBytes(pxPath()), px) << what;
  };
  expectRefused([&] { table.Append({KeyedRow(4), KeyedRow(2)}); }, "a key already stored");
  expectRefused([&] { table.Append({KeyedRow(7), KeyedRow(7)}); }, "a key twice in one append");
  const Row three = KeyedRow(3);
  expectRefused([&] { table.Update({{4, {{0, three[0]}, {1, three[1]}, {2, three[2]}}}}); },
                "a key changed to one already stored");
  EXPECT_EQ(table.ReadAll(), RowsOf({1, 2, 3, 50, 60}));
}

TEST_F(ParadoxKeyed, DeletingEveryRecordEmptiesTableAndIndex) {
  ParadoxTable table(m_path);
  table.Append(RowsOf({5, 6, 7}));
  table.Delete({0, 1, 2});
  EXPECT_EQ(ReadBytes(m_path).size(), 0x800u);
  EXPECT_EQ(ReadBytes(pxPath()).size(), 0x800u);
  ExpectIndexMatchesChain(m_path);
  table.Append(RowsOf({8}));
  EXPECT_EQ(ParadoxTable(m_path).ReadAll(), RowsOf({8}));
  ExpectIndexMatchesChain(m_path);
  if (HavePxlib()) ExpectSameAsPxlib(RowsOf({8}), ReadWithPxlib(m_path, pxPath()));
}

// Alpha keys under the Cyrillic ANSI sort order: letters of either case
// together, Ё with Е; under 'ascii' plain byte order.
TEST(ParadoxKeyOrder, AlphaKeysFollowTheTableSortOrder) {
  TempDir dir;
  const std::vector<std::string> words = {"б", "Б", "а", "ж", "Е", "ё", "А", "b", "B", "a", "10", "9"};
  std::vector<Row> rows;
  for (const auto& w : words) rows.push_back({cp1251(w)});
  const auto stored = [&](std::uint8_t sortOrder) {
    const std::string path = dir.path("t" + std::to_string(sortOrder) + ".db");
    CreateKeyed(path, {{"FName", FieldType::Alpha, 10}}, 1);
    Bytes db = ReadBytes(path);
    db[0x29] = sortOrder;
    WriteBytes(path, db);
    ParadoxTable table(path);
    table.Append(rows);
    std::vector<std::string> out;
    for (const Row& r : ParadoxTable(path).ReadAll()) out.push_back(Utf8(std::get<std::string>(r[0])));
    return out;
  };
  EXPECT_EQ(stored(0x8F), (std::vector<std::string>{"10", "9", "a", "B", "b", "А", "а", "Б", "б", "ё", "Е", "ж"}));
  EXPECT_EQ(stored(0x00), (std::vector<std::string>{"10", "9", "B", "a", "b", "ё", "А", "Б", "Е", "а", "б", "ж"}));
}

// Records stored in an order this program does not produce (here: byte order
// under a folding sort order) are not written into.
TEST(ParadoxKeyOrder, RefusesToWriteWhenStoredOrderDisagrees) {
  TempDir dir;
  const std::string path = dir.path("t.db");
  CreateKeyed(path, {{"FName", FieldType::Alpha, 10}}, 1);
  Bytes db = ReadBytes(path);
  db[0x29] = 0x00;  // ascii
  WriteBytes(path, db);
  ParadoxTable(path).Append({{std::string("B")}, {std::string("a")}});
  db = ReadBytes(path);
  db[0x29] = 0x8F;  // ancyrr, which puts "a" first
  WriteBytes(path, db);
  const Bytes px = ReadBytes(dir.path("t.PX"));
  ParadoxTable table(path);
  try {
    table.Append({{std::string("c")}});
    FAIL() << "wrote into records it cannot order";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "t.db: записи блока 1 не упорядочены так, как программа сравнивает ключи");
  }
  EXPECT_EQ(ReadBytes(path), db);
  EXPECT_EQ(ReadBytes(dir.path("t.PX")), px);
}

TEST(ParadoxKeyOrder, AKeyedTableWithoutAUsableIndexIsReadOnly) {
  TempDir dir;
  const std::string path = dir.path("t.db");
  CreateKeyed(path, {{"FName", FieldType::Alpha, 10}, {"FValue", FieldType::Short, 0}}, 1);
  Bytes px = ReadBytes(dir.path("t.PX"));
  px[0] = 20;  // a record size that is not key + 6
  WriteBytes(dir.path("t.PX"), px);
  EXPECT_EQ(Utf8(ParadoxTable(path).readOnlyReason()), "t.PX: индекс не соответствует ключу таблицы");
  std::filesystem::remove(core::FsPath(dir.path("t.PX")));
  const ParadoxTable table(path);
  EXPECT_FALSE(table.writable());
  EXPECT_EQ(Utf8(table.readOnlyReason()), "t.db: у ключевой таблицы нет файла первичного индекса .PX");
}

}  // namespace
}  // namespace db::paradox::testing
