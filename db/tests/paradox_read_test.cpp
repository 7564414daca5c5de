// Reading real tables written by the Borland engine, and pxlib agreeing with us.
#include <gtest/gtest.h>

#include <cmath>

#include "core/codec.h"
#include "core/datetime.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

using core::cp1251;
using core::EncodeDate;
using core::EncodeTime;

const Value kBlank = std::monostate{};

Value Text(const char* utf8) { return cp1251(utf8); }
Value Int(std::int64_t v) { return v; }
Value Real(double v) { return v; }

struct ExpectedField {
  const char* name;  // UTF-8
  FieldType type;
  int size;
};

void ExpectSchema(const ParadoxTable& table, const std::vector<ExpectedField>& expected) {
  ASSERT_EQ(table.fields().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(Utf8(table.fields()[i].name), expected[i].name) << "field " << i;
    EXPECT_EQ(table.fields()[i].type, expected[i].type) << expected[i].name;
    EXPECT_EQ(table.fields()[i].size, expected[i].size) << expected[i].name;
  }
}

void ExpectRow(const Row& actual, const Row& expected, std::size_t index) {
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto* a = std::get_if<double>(&actual[i]);
    const auto* e = std::get_if<double>(&expected[i]);
    if (a != nullptr && e != nullptr) {
      EXPECT_NEAR(*a, *e, 1e-9 * std::max(1.0, std::fabs(*e))) << "row " << index << " field " << i;
    } else {
      EXPECT_EQ(actual[i], expected[i]) << "row " << index << " field " << i;
    }
  }
}

class ParadoxSamples : public ::testing::Test {
 protected:
  void SetUp() override {
    m_dir = SamplesDir();
    if (m_dir.empty()) GTEST_SKIP() << "sample tables not found at " << MVIMPORT_SAMPLES_DIR;
  }
  std::string sample(const char* name) const { return m_dir + "/" + name; }

  std::string m_dir;
};

// Level 7, keyed on two fields, one field of every type, code page 1252:
// letters CP1251 lacks read as '?'.
TEST_F(ParadoxSamples, ReadsEveryFieldTypeOfALevel7KeyedTable) {
  const ParadoxTable table(sample("TypSammlung.DB"));
  EXPECT_EQ(table.level(), 7);
  EXPECT_EQ(table.codePage(), 1252);
  EXPECT_EQ(table.keyFieldCount(), 2);
  EXPECT_FALSE(table.writable());  // no .PX beside it
  ExpectSchema(table, {{"Alpha", FieldType::Alpha, 30}, {"Numerisch", FieldType::Number, 8},
                       {"W?hrung", FieldType::Currency, 8}, {"Integer kurz", FieldType::Short, 2},
                       {"Integer lang", FieldType::Long, 4}, {"BCD", FieldType::Bcd, 6},
                       {"Datum", FieldType::Date, 4}, {"Zeit", FieldType::Time, 4},
                       {"Datum/Zeit", FieldType::Timestamp, 8}, {"Memo", FieldType::Memo, 11},
                       {"Logisch", FieldType::Logical, 1}, {"Z?hler", FieldType::AutoInc, 4},
                       {"Bin?r", FieldType::Blob, 10}, {"Bytes", FieldType::Bytes, 255}});
  const auto rows = table.ReadAll();
  const std::vector<Row> expected = {
      {Text("AAA Irgendein Text"), Real(40), Real(40), Int(40), Int(40), Real(40), Real(EncodeDate(1970, 1, 1)),
       Real(0), Real(EncodeDate(1970, 1, 1) + 11 * core::kOneHour), kBlank, kBlank, Int(1), kBlank, kBlank},
      // A BCD value flagged blank keeps its decimals in the first byte.
      {Text("Erste Zeile"), Real(23), kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank, kBlank,
       false, Int(3), kBlank, kBlank},
      {Text("F?nfter Datensatz"), Real(1.34), Real(13.002), kBlank, kBlank, Real(13.123457),
       Real(EncodeDate(1, 1, 1) - 367), Real(EncodeTime(1, 10, 12, 0)),
       Real(EncodeDate(1, 1, 1) - 367 + EncodeTime(1, 0, 0, 0)),
       Text("Dies ist eine Memo im 'F?nften Datensat'"), kBlank, Int(5), kBlank, kBlank},
      {Text("Null-Werte"), Real(0), Real(0), Int(0), Int(0), Real(0), kBlank, kBlank, kBlank, kBlank, kBlank,
       Int(4), kBlank, kBlank},
      {Text("Zweite Zeile"), Real(-40), Real(-40), Int(-40), Int(-40), Real(-40), Real(EncodeDate(1999, 9, 9)),
       Real(EncodeTime(11, 11, 11, 0)), Real(EncodeDate(2003, 6, 10) + EncodeTime(11, 11, 11, 0)), kBlank, true,
       Int(2), kBlank, kBlank},
  };
  ASSERT_EQ(rows.size(), expected.size());
  for (std::size_t r = 0; r < rows.size(); ++r) ExpectRow(rows[r], expected[r], r);
}

// Level 5, keyed on an AutoInc, memo and blob values in the .MB, a secondary
// index that makes the table read-only.
TEST_F(ParadoxSamples, ReadsALevel5TableWithBlobsAndRefusesToWriteIt) {
  ParadoxTable table(sample("testtab.DB"));
  EXPECT_EQ(table.level(), 5);
  EXPECT_EQ(table.keyFieldCount(), 1);
  ExpectSchema(table, {{"ID", FieldType::AutoInc, 4}, {"ALPHA", FieldType::Alpha, 5}, {"NUMBER", FieldType::Number, 8},
                       {"MONEY", FieldType::Currency, 8}, {"SHORT", FieldType::Short, 2},
                       {"LONG", FieldType::Long, 4}, {"BCD", FieldType::Bcd, 2}, {"DATE", FieldType::Date, 4},
                       {"TIME", FieldType::Time, 4}, {"TIMESTAMP", FieldType::Timestamp, 8},
                       {"LOGICAL", FieldType::Logical, 1}, {"BINARY", FieldType::Bytes, 5},
                       {"BYTES", FieldType::Blob, 10}, {"MEMO", FieldType::Memo, 11}});
  const auto rows = table.ReadAll();
  ASSERT_EQ(rows.size(), 5u);
  const Row first = {Int(1), Text("AAA"), Real(111.11), Real(111.11), Int(111), Int(111), Real(111.11),
                     Real(EncodeDate(2011, 11, 11)), Real(EncodeTime(11, 11, 11, 0)),
                     Real(EncodeDate(2011, 11, 11) + EncodeTime(11, 11, 11, 0)), true,
                     Value(std::string("123\0\0", 5)), Text("1"), Text("111")};
  ExpectRow(rows[0], first, 0);
  EXPECT_EQ(rows[1][2], Real(-222.22));
  EXPECT_EQ(rows[1][6], Real(-222.22));
  EXPECT_EQ(rows[1][10], Value(false));
  EXPECT_EQ(rows[3][2], kBlank);
  EXPECT_EQ(rows[4][13], Text("555"));
  EXPECT_EQ(Utf8(table.readOnlyReason()),
            "testtab.DB: у таблицы есть вторичные индексы (testtab.XG0), программа не умеет их обновлять");
  try {
    table.Append({Row(14)});
    FAIL() << "a table with a secondary index was written";
  } catch (const Error& e) {
    EXPECT_EQ(Utf8(e.what()), Utf8(table.readOnlyReason()));
  }
}

// Level 4, unkeyed, Russian text in code page 866 (names and values).
TEST_F(ParadoxSamples, ReadsCodePage866AsCp1251) {
  const ParadoxTable table(sample("of_cp866.db"));
  EXPECT_EQ(table.level(), 4);
  EXPECT_EQ(table.codePage(), 866);
  EXPECT_TRUE(table.writable());
  ASSERT_EQ(table.fields().size(), 19u);
  EXPECT_EQ(Utf8(table.fields()[0].name), "Инвентарный номер");
  EXPECT_EQ(Utf8(table.fields()[5].name), "Норма износа %");
  EXPECT_EQ(table.fields()[4].type, FieldType::Date);
  const auto rows = table.ReadAll();
  ASSERT_EQ(rows.size(), 2197u);
  EXPECT_EQ(rows[0][0], Text("001370009"));
  EXPECT_EQ(rows[0][3], Text("АП-Т УЗТ-ПЕРЕНОСНОЙ"));
  EXPECT_EQ(rows[0][4], Real(EncodeDate(1972, 1, 1)));
  EXPECT_EQ(rows[0][7], Text("Получено 29.09.2000 от 170 МОЛ"));
  EXPECT_EQ(rows[2196][3], Text("ТУМБА ДЛЯ ТЕЛЕФОНА"));
  EXPECT_EQ(rows[2196][5], Real(6.5));
}

// pxlib converts the text itself (through iconv), so it checks our code page
// 866 table as well as the records.
TEST_F(ParadoxSamples, Cp866TableReadsAsPxlibReadsIt) {
  SKIP_WITHOUT_PXLIB();
  const ParadoxTable table(sample("of_cp866.db"));
  const auto theirs = ReadWithPxlib(sample("of_cp866.db"));
  ExpectSameAsPxlib(table.ReadAll(), theirs);
}

// pxlib as an independent writer: a table it made reads back as it was written.
TEST(ParadoxForeign, ReadsATablePxlibWrote) {
  SKIP_WITHOUT_PXLIB();
  TempDir dir;
  const std::string path = dir.path("pxlib.db");
  const std::vector<Field> fields = {{"FName", FieldType::Alpha, 30},  {"FShort", FieldType::Short, 2},
                                     {"FLong", FieldType::Long, 4},    {"FNumber", FieldType::Number, 8},
                                     {"FMoney", FieldType::Currency, 8}, {"FDate", FieldType::Date, 4},
                                     {"FTime", FieldType::Time, 4},    {"FStamp", FieldType::Timestamp, 8},
                                     {"FFlag", FieldType::Logical, 1}, {"FId", FieldType::AutoInc, 4},
                                     {"FRaw", FieldType::Bytes, 4}};
  std::vector<Row> rows;
  for (int i = 0; i < 400; ++i) {
    const bool blanks = i % 10 == 3;
    rows.push_back({i % 7 == 0 ? Value() : Value(cp1251("Запись №") + std::to_string(i)),
                    blanks ? Value() : Int(i - 200),
                    blanks ? Value() : Int(i * 100000 - 7),
                    blanks ? Value() : Real(i / 8.0 - 20),
                    blanks ? Value() : Real(-i * 1.5),
                    blanks ? Value() : Real(EncodeDate(2016, 1, 1) + i),
                    blanks ? Value() : Real(EncodeTime(i % 24, i % 60, 7, 0)),
                    blanks ? Value() : Real(EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0) + i),
                    blanks ? Value() : Value(i % 2 == 0),
                    Int(i + 1),
                    blanks ? Value() : Value(std::string("\x01\x02\x03\x04"))});
  }
  WriteWithPxlib(path, fields, rows);
  const ParadoxTable table(path);
  EXPECT_EQ(table.codePage(), 1251);
  ASSERT_EQ(table.fields().size(), fields.size());
  const auto read = table.ReadAll();
  ASSERT_EQ(read.size(), rows.size());
  for (std::size_t r = 0; r < rows.size(); ++r) ExpectRow(read[r], rows[r], r);
}

// Paradox 3 keeps no code page: text is taken as the DOS code page of the
// sort order ('cyrr' 0xC0: 866). The header has no level 4 part; field
// information starts at 0x58.
TEST(ParadoxForeign, ReadsALevel3TableBuiltByHand) {
  TempDir dir;
  const std::string path = dir.path("old.db");
  Bytes file(0x800 + 0x400, 0);
  const auto put16 = [&](std::size_t at, int v) {
    file[at] = static_cast<std::uint8_t>(v);
    file[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  put16(0x00, 12);      // record: Alpha 10 + Short
  put16(0x02, 0x800);   // header size
  file[0x04] = 2;       // unkeyed
  file[0x05] = 1;       // 1 KiB blocks
  file[0x06] = 2;       // records
  put16(0x0A, 1);
  put16(0x0C, 1);
  put16(0x0E, 1);
  put16(0x10, 1);
  put16(0x21, 2);       // fields
  file[0x29] = 0xC0;    // 'cyrr'
  file[0x39] = 3;       // Paradox 3.0
  const std::size_t info = 0x58;
  file[info] = 0x01;
  file[info + 1] = 10;
  file[info + 2] = 0x03;
  file[info + 3] = 2;
  const std::size_t names = info + 4 + 4 + 8 + 79;
  const std::string nameBytes("\x88\xac\xef\0N\0", 6);  // "Имя" in 866, "N"
  std::copy(nameBytes.begin(), nameBytes.end(), file.begin() + static_cast<std::ptrdiff_t>(names));
  const std::size_t block = 0x800;
  put16(block + 4, 12);  // two records
  const std::string first("\x8c\xa8\xe0\0\0\0\0\0\0\0\x80\x05", 12);  // "Мир", 5
  const std::string second("abc\0\0\0\0\0\0\0\x7f\xff", 12);            // "abc", -1
  std::copy(first.begin(), first.end(), file.begin() + static_cast<std::ptrdiff_t>(block + 6));
  std::copy(second.begin(), second.end(), file.begin() + static_cast<std::ptrdiff_t>(block + 18));
  WriteBytes(path, file);

  const ParadoxTable table(path);
  EXPECT_EQ(table.level(), 3);
  EXPECT_EQ(table.codePage(), 866);
  ASSERT_EQ(table.fields().size(), 2u);
  EXPECT_EQ(Utf8(table.fields()[0].name), "Имя");
  EXPECT_EQ(table.ReadAll(), (std::vector<Row>{{Text("Мир"), Int(5)}, {Text("abc"), Int(-1)}}));
  file[0x25] = 1;  // level 3 keeps its encryption code here
  WriteBytes(path, file);
  EXPECT_EQ(Utf8(ParadoxTable(path).readOnlyReason()), "old.db: таблица зашифрована паролем");
}

}  // namespace
}  // namespace db::paradox::testing
