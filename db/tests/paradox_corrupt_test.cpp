// Damaged tables: every defect is reported as an Error naming the file and the
// problem; nothing crashes, hangs, or writes into a damaged table.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <random>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/header.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

constexpr std::size_t kHeader = 0x800;
constexpr std::size_t kBlock = 0x800;
constexpr std::size_t kRecord = 108;  // 100 + 4 + 4: 18 records a block

std::size_t BlockAt(int block) { return kHeader + static_cast<std::size_t>(block - 1) * kBlock; }

void PutLe16(Bytes& b, std::size_t at, int value) {
  b[at] = static_cast<std::uint8_t>(value);
  b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

Row SmallRow(int i) { return {"row " + std::to_string(i), std::int64_t{i}, 42000.0 + i}; }

std::vector<Row> SmallRows(int count) {
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) rows.push_back(SmallRow(i));
  return rows;
}

// 50 records in three blocks: 18, 18, 14.
void CreateSmall(const std::string& path) {
  ParadoxTable::Create(path, {{"FName", FieldType::Alpha, 100}, {"FNumber", FieldType::Long, 0},
                              {"FDate", FieldType::Date, 0}});
  ParadoxTable(path).Append(SmallRows(50));
}

std::string OpenError(const std::string& path) {
  try {
    ParadoxTable table(path);
    table.ReadAll();
  } catch (const Error& e) {
    return Utf8(e.what());
  }
  return "(no error)";
}

struct Mutation {
  const char* what;
  std::function<void(Bytes&)> mutate;
  const char* message;
};

TEST(ParadoxCorrupt, EachDefectOfTheDbFileIsReportedExactly) {
  const std::vector<Mutation> mutations = {
      {"cut to 40 bytes", [](Bytes& b) { b.resize(40); }, "t.db: заголовок слишком короткий (40 < 88 байт)"},
      {"cut inside the header", [](Bytes& b) { b.resize(1000); }, "t.db: заголовок слишком короткий (1000 < 2048 байт)"},
      {"cut after one block", [](Bytes& b) { b.resize(BlockAt(2)); },
       "t.db: файл короче, чем указано в заголовке (3 блоков требуют 8192 байт, в файле 4096)"},
      {"header size too small", [](Bytes& b) { PutLe16(b, off::kHeaderSize, 0x20); },
       "t.db: недопустимый размер заголовка (32 байт)"},
      {"header size cuts the names", [](Bytes& b) { PutLe16(b, off::kHeaderSize, 0x100); },
       "t.db, заголовок: строка со смещения 0x193 за пределами данных (256 байт)"},
      {"wrong record size", [](Bytes& b) { b[off::kRecordSize] += 1; },
       "t.db: размер записи в заголовке (109) не равен сумме размеров полей (108)"},
      {"not a data file", [](Bytes& b) { b[off::kFileType] = 1; }, "t.db: это не файл данных таблицы (тип файла 1)"},
      {"unknown version", [](Bytes& b) { b[off::kVersion] = 0x0D; }, "t.db: неизвестная версия формата (0xD)"},
      {"block size 0", [](Bytes& b) { b[off::kBlockSizeCode] = 0; }, "t.db: недопустимый размер блока (код 0)"},
      {"no fields", [](Bytes& b) { PutLe16(b, off::kFieldCount, 0); }, "t.db: недопустимое число полей (0)"},
      {"key in an unkeyed table", [](Bytes& b) { PutLe16(b, off::kKeyFieldCount, 1); },
       "t.db: недопустимое число ключевых полей (1 из 3)"},
      {"unknown field type", [](Bytes& b) { b[off::kFixedPart] = 0x07; },
       "t.db: поле 1: недопустимый тип 0x7 с размером 100"},
      {"Long of 2 bytes", [](Bytes& b) { b[off::kFixedPart + 3] = 2; },
       "t.db: поле 2: недопустимый тип 0x4 с размером 2"},
      {"first block outside", [](Bytes& b) { PutLe16(b, off::kFirstBlock, 9); },
       "t.db: первый блок 9 за пределами файла (в файле 3 блоков)"},
      {"next block outside", [](Bytes& b) { PutLe16(b, BlockAt(2), 7); },
       "t.db: блок 2: следующий блок 7 за пределами файла (в файле 3 блоков)"},
      {"fewer blocks declared", [](Bytes& b) { PutLe16(b, off::kFileBlocks, 2); },
       "t.db: блок 2: следующий блок 3 за пределами файла (в файле 2 блоков)"},
      {"chain loops back", [](Bytes& b) { PutLe16(b, BlockAt(3), 1); }, "t.db: цепочка блоков зациклена на блоке 1"},
      {"block points to itself", [](Bytes& b) { PutLe16(b, BlockAt(3), 3); },
       "t.db: цепочка блоков зациклена на блоке 3"},
      {"wrong back link", [](Bytes& b) { PutLe16(b, BlockAt(2) + 2, 3); },
       "t.db: блок 2: ссылка назад на блок 3, ожидался 1"},
      {"count not a whole record", [](Bytes& b) { PutLe16(b, BlockAt(1) + 4, 5); },
       "t.db: блок 1: неверное число записей (addDataSize 5)"},
      {"more records than fit", [](Bytes& b) { PutLe16(b, BlockAt(1) + 4, 18 * kRecord); },
       "t.db: блок 1: неверное число записей (addDataSize 1944)"},
      {"header count too high", [](Bytes& b) { b[off::kRecordCount] += 1; }, "t.db: в заголовке 51 записей, а в блоках 50"},
      {"block count too low", [](Bytes& b) { PutLe16(b, BlockAt(3) + 4, 12 * kRecord); },
       "t.db: в заголовке 50 записей, а в блоках 49"},
      {"wrong last block", [](Bytes& b) { PutLe16(b, off::kLastBlock, 2); },
       "t.db: цепочка блоков кончается блоком 3, а в заголовке последний блок 2"},
      {"no first block", [](Bytes& b) { PutLe16(b, off::kFirstBlock, 0); },
       "t.db: цепочка блоков кончается блоком 0, а в заголовке последний блок 3"},
  };
  TempDir dir;
  const std::string path = dir.path("t.db");
  CreateSmall(path);
  const Bytes valid = ReadBytes(path);
  for (const Mutation& m : mutations) {
    Bytes damaged = valid;
    m.mutate(damaged);
    WriteBytes(path, damaged);
    EXPECT_EQ(OpenError(path), m.message) << m.what;
    EXPECT_EQ(ReadBytes(path), damaged) << m.what;
  }
}

// A damaged free list does not stop reading, but every write.
TEST(ParadoxCorrupt, ABrokenFreeListMakesTheTableReadOnly) {
  TempDir dir;
  const std::string path = dir.path("t.db");
  CreateSmall(path);
  std::vector<std::size_t> block2;
  for (std::size_t p = 18; p < 36; ++p) block2.push_back(p);
  ParadoxTable(path).Delete(block2);
  Bytes damaged = ReadBytes(path);
  ASSERT_EQ(damaged[off::kFirstFreeBlock], 2);
  PutLe16(damaged, BlockAt(2), 2);  // the free block points to itself
  WriteBytes(path, damaged);
  ParadoxTable table(path);
  EXPECT_EQ(table.ReadAll().size(), 32u);
  EXPECT_EQ(Utf8(table.readOnlyReason()), "t.db: список свободных блоков испорчен (блок 2)");
  try {
    table.Append(SmallRows(1));
    FAIL() << "wrote with a broken free list";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), "t.db: список свободных блоков испорчен (блок 2)");
  }
  EXPECT_EQ(ReadBytes(path), damaged);
}

TEST(ParadoxCorrupt, EncryptedTablesAreNeitherReadNorWritten) {
  TempDir dir;
  const std::string path = dir.path("t.db");
  CreateSmall(path);
  Bytes bytes = ReadBytes(path);
  bytes[off::kEncryption] = 0x5A;
  WriteBytes(path, bytes);
  ParadoxTable table(path);
  EXPECT_EQ(table.fields().size(), 3u);
  EXPECT_EQ(Utf8(table.readOnlyReason()), "t.db: таблица зашифрована паролем");
  EXPECT_EQ(OpenError(path), "t.db: таблица зашифрована паролем; такие таблицы программа не читает");
  EXPECT_THROW(table.Append(SmallRows(1)), Error);
  EXPECT_EQ(ReadBytes(path), bytes);
}

// The memo and blob values of a real table, with its .MB damaged.
TEST(ParadoxCorrupt, BlobDefectsNameTheMbFile) {
  const std::string samples = SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "sample tables not found at " << MVIMPORT_SAMPLES_DIR;
  TempDir dir;
  for (const char* name : {"testtab.DB", "testtab.MB"}) {
    CopyWritable(samples + "/" + name, dir.path(name));
  }
  const std::string db = dir.path("testtab.DB");
  const std::string mb = dir.path("testtab.MB");
  const Bytes valid = ReadBytes(mb);
  const std::vector<Mutation> mutations = {
      {"cut after its header", [](Bytes& b) { b.resize(4096); },
       "testtab.MB, блок со смещения 0x1000: данные обрываются (нужны байты 0x0..0x1, есть 0 байт)"},
      {"slot of another length", [](Bytes& b) { b[0x1000 + 12 + 5 * 0x3F + 4] = 2; },
       "testtab.MB, блок со смещения 0x1000: запись 63 не соответствует значению BLOB длиной 3"},
      {"not a blob block", [](Bytes& b) { b[0x1000] = 4; },
       "testtab.MB, блок со смещения 0x1000: запись 59 не соответствует значению BLOB длиной 1"},
  };
  for (const Mutation& m : mutations) {
    Bytes damaged = valid;
    m.mutate(damaged);
    WriteBytes(mb, damaged);
    EXPECT_EQ(OpenError(db), m.message) << m.what;
  }
  std::filesystem::remove(core::FsPath(mb));
  EXPECT_EQ(OpenError(db), "testtab.DB: поле ссылается на файл .MB, а его нет");
}

// Random damage to every part of the files: opening and reading either work
// or throw Error; a write either throws Error and leaves the files as they
// were, or leaves a table that reads back with the new row.
void Hammer(const std::vector<std::string>& files, const std::string& table, int rounds, unsigned seed,
            const Row& newRow) {
  std::vector<Bytes> valid;
  for (const auto& f : files) valid.push_back(ReadBytes(f));
  std::mt19937 random(seed);
  for (int round = 0; round < rounds; ++round) {
    std::vector<Bytes> damaged = valid;
    const std::size_t which = random() % files.size();
    Bytes& target = damaged[which];
    if (random() % 8 == 0) {
      target.resize(random() % target.size());
    } else {
      for (int n = 1 + static_cast<int>(random() % 4); n > 0 && !target.empty(); --n) {
        const std::size_t at = random() % 2 == 0 ? random() % std::min<std::size_t>(target.size(), 0x80)
                                                 : random() % target.size();
        target[at] = static_cast<std::uint8_t>(random());
      }
    }
    for (std::size_t i = 0; i < files.size(); ++i) WriteBytes(files[i], damaged[i]);
    SCOPED_TRACE("round " + std::to_string(round));
    try {
      ParadoxTable t(table);
      std::vector<Row> rows = t.ReadAll();
      try {
        t.Append({newRow});
      } catch (const Error&) {
        for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(ReadBytes(files[i]), damaged[i]);
        continue;
      }
      const ParadoxTable reopened(table);
      EXPECT_EQ(reopened.recordCount(), rows.size() + 1);
      reopened.ReadAll();
    } catch (const Error&) {
    }
  }
}

TEST(ParadoxCorrupt, RandomDamageNeverCrashes) {
  TempDir dir;
  const std::string unkeyed = dir.path("t.db");
  CreateSmall(unkeyed);
  Hammer({unkeyed}, unkeyed, 600, 1, SmallRow(99));

  const std::string keyed = dir.path("k.db");
  CreateKeyed(keyed, {{"FName", FieldType::Alpha, 100}, {"FNumber", FieldType::Long, 0}, {"FDate", FieldType::Date, 0}}, 2);
  ParadoxTable(keyed).Append(SmallRows(50));
  Hammer({keyed, dir.path("k.PX")}, keyed, 600, 2, SmallRow(99));
}

TEST(ParadoxCorrupt, RandomDamageToARealTableWithBlobsNeverCrashes) {
  const std::string samples = SamplesDir();
  if (samples.empty()) GTEST_SKIP() << "sample tables not found at " << MVIMPORT_SAMPLES_DIR;
  TempDir dir;
  for (const char* name : {"TypSammlung.DB", "TypSammlung.MB"}) {
    CopyWritable(samples + "/" + name, dir.path(name));
  }
  Hammer({dir.path("TypSammlung.DB"), dir.path("TypSammlung.MB")}, dir.path("TypSammlung.DB"), 600, 3, Row(14));
}

}  // namespace
}  // namespace db::paradox::testing
