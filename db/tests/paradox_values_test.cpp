// Field values as bytes in a record, and text in the code pages of tables.
#include <gtest/gtest.h>

#include <cmath>

#include "core/codec.h"
#include "core/datetime.h"
#include "db/paradox/codepage.h"
#include "db/paradox/header.h"
#include "db/paradox/values.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Case {
  const char* what;
  Field field;
  Value value;
  Bytes bytes;
};

const CodePage kCp1251(1251);

// Each value encodes to exactly these bytes and reads back unchanged.
TEST(ParadoxValues, EncodeToTheFormatsBytesAndReadBack) {
  const Value blank = std::monostate{};
  const std::vector<Case> cases = {
      {"short 1", {"S", FieldType::Short, 2}, std::int64_t{1}, {0x80, 0x01}},
      {"short -1", {"S", FieldType::Short, 2}, std::int64_t{-1}, {0x7F, 0xFF}},
      {"short 0 is not blank", {"S", FieldType::Short, 2}, std::int64_t{0}, {0x80, 0x00}},
      {"long 256", {"L", FieldType::Long, 4}, std::int64_t{256}, {0x80, 0x00, 0x01, 0x00}},
      {"long -2^31+1", {"L", FieldType::Long, 4}, std::int64_t{-2147483647}, {0x00, 0x00, 0x00, 0x01}},
      {"autoinc 7", {"A", FieldType::AutoInc, 4}, std::int64_t{7}, {0x80, 0x00, 0x00, 0x07}},
      {"number +0", {"N", FieldType::Number, 8}, 0.0, {0x80, 0, 0, 0, 0, 0, 0, 0}},
      {"number 1", {"N", FieldType::Number, 8}, 1.0, {0xBF, 0xF0, 0, 0, 0, 0, 0, 0}},
      {"number -1", {"N", FieldType::Number, 8}, -1.0, {0x40, 0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
      {"currency 111.11", {"C", FieldType::Currency, 8}, 111.11, {0xC0, 0x5B, 0xC7, 0x0A, 0x3D, 0x70, 0xA3, 0xD7}},
      {"date 1.1.1", {"D", FieldType::Date, 4}, core::EncodeDate(1, 1, 1), {0x80, 0x00, 0x00, 0x01}},
      {"date 11.11.2011", {"D", FieldType::Date, 4}, core::EncodeDate(2011, 11, 11), {0x80, 0x0B, 0x34, 0xF4}},
      {"time 11:11:11", {"T", FieldType::Time, 4}, core::EncodeTime(11, 11, 11, 0), {0x82, 0x66, 0x7C, 0x98}},
      {"time midnight", {"T", FieldType::Time, 4}, 0.0, {0x80, 0x00, 0x00, 0x00}},
      {"timestamp", {"@", FieldType::Timestamp, 8}, core::EncodeDate(2011, 11, 11) + core::EncodeTime(11, 11, 11, 0),
       {0xC2, 0xCC, 0xDB, 0x54, 0xD3, 0x16, 0x4C, 0x00}},
      {"logical false", {"B", FieldType::Logical, 1}, false, {0x80}},
      {"logical true", {"B", FieldType::Logical, 1}, true, {0x81}},
      {"bcd 111.11", {"#", FieldType::Bcd, 2}, 111.11,
       {0xC2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x11, 0x11}},
      {"bcd -222.22", {"#", FieldType::Bcd, 2}, -222.22,
       {0x42, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFD, 0xDD, 0xDD}},
      {"alpha padded", {"A", FieldType::Alpha, 5}, std::string("AB"), {'A', 'B', 0, 0, 0}},
      {"alpha full", {"A", FieldType::Alpha, 2}, core::cp1251("Ёж"), {0xA8, 0xE6}},
      {"bytes keep zeros", {"Y", FieldType::Bytes, 4}, std::string("\x01\0\x02\0", 4), {1, 0, 2, 0}},
      {"blank short", {"S", FieldType::Short, 2}, blank, {0, 0}},
      {"blank date", {"D", FieldType::Date, 4}, blank, {0, 0, 0, 0}},
      {"blank number", {"N", FieldType::Number, 8}, blank, Bytes(8, 0)},
      {"blank logical", {"B", FieldType::Logical, 1}, blank, {0}},
      {"blank alpha", {"A", FieldType::Alpha, 3}, blank, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    Bytes out(c.bytes.size(), 0xEE);
    EncodeValue(c.field, c.value, out, kCp1251, "t.db");
    EXPECT_EQ(out, c.bytes) << c.what;
    EXPECT_EQ(DecodeValue(c.field.type, c.bytes, kCp1251), c.value) << c.what;
  }
}

// What the caller may hand over for a field, and what it gets back.
TEST(ParadoxValues, AcceptsNumbersOfEitherKindAndEmptyTextAsBlank) {
  Bytes out(4);
  EncodeValue({"L", FieldType::Long, 4}, 42.0, out, kCp1251, "t.db");
  EXPECT_EQ(DecodeValue(FieldType::Long, out, kCp1251), Value(std::int64_t{42}));
  Bytes number(8);
  EncodeValue({"N", FieldType::Number, 8}, std::int64_t{-3}, number, kCp1251, "t.db");
  EXPECT_EQ(DecodeValue(FieldType::Number, number, kCp1251), Value(-3.0));
  Bytes alpha(3, 0xEE);
  EncodeValue({"A", FieldType::Alpha, 3}, std::string(), alpha, kCp1251, "t.db");
  EXPECT_EQ(alpha, Bytes(3, 0));
  Bytes time(4);
  EncodeValue({"T", FieldType::Time, 4}, core::EncodeTime(23, 59, 59, 999), time, kCp1251, "t.db");
  EXPECT_NEAR(std::get<double>(DecodeValue(FieldType::Time, time, kCp1251)), core::EncodeTime(23, 59, 59, 999), 1e-12);
}

struct BadCase {
  Field field;
  Value value;
  CodePage codePage;
  const char* message;  // UTF-8
};

TEST(ParadoxValues, RefusesValuesTheFieldCannotHold) {
  const std::vector<BadCase> cases = {
      {{"A", FieldType::Alpha, 4}, std::string("12345"), kCp1251, "t.db, поле: текст длиннее поля (5 > 4)"},
      {{"A", FieldType::Alpha, 4}, std::string("a\0b", 3), kCp1251, "t.db, поле: текст содержит нулевой символ"},
      {{"A", FieldType::Alpha, 4}, core::cp1251("€"), CodePage(866),
       "t.db, поле: в тексте есть символ, которого нет в кодовой странице таблицы (866)"},
      {{"A", FieldType::Alpha, 4}, std::int64_t{1}, kCp1251, "t.db, поле: значение не подходит к типу поля"},
      {{"S", FieldType::Short, 2}, std::int64_t{-32768}, kCp1251, "t.db, поле: число -32768 вне диапазона поля (±32767)"},
      {{"S", FieldType::Short, 2}, std::string("1"), kCp1251, "t.db, поле: значение не подходит к типу поля"},
      {{"L", FieldType::Long, 4}, 1.5, kCp1251, "t.db, поле: число 1.500000 не целое или вне диапазона поля"},
      {{"N", FieldType::Number, 8}, std::nan(""), kCp1251, "t.db, поле: число не конечно"},
      {{"D", FieldType::Date, 4}, core::EncodeDate(1, 1, 1) - 1, kCp1251, "t.db, поле: дата вне диапазона"},
      {{"T", FieldType::Time, 4}, 1.0, kCp1251, "t.db, поле: время вне суток"},
      {{"T", FieldType::Time, 4}, -0.1, kCp1251, "t.db, поле: время вне суток"},
      {{"B", FieldType::Logical, 1}, 1.0, kCp1251, "t.db, поле: значение не подходит к типу поля"},
      {{"M", FieldType::Memo, 11}, std::string("x"), kCp1251,
       "t.db, поле: поля BLOB не записываются, только пустые значения"},
  };
  for (const BadCase& c : cases) {
    Bytes out(FieldWidth(c.field.type, c.field.size));
    try {
      EncodeValue(c.field, c.value, out, c.codePage, "t.db, " + core::cp1251("поле"));
      ADD_FAILURE() << "accepted: " << c.message;
    } catch (const Error& e) {
      EXPECT_EQ(Utf8(e.what()), c.message);
    }
  }
}

TEST(ParadoxValues, BcdFlaggedBlankReadsBlankWhateverItsDecimals) {
  Bytes bytes(17, 0);
  bytes[0] = 0x06;  // 6 decimals, no value
  EXPECT_EQ(DecodeValue(FieldType::Bcd, bytes, kCp1251), Value(std::monostate{}));
}

TEST(ParadoxCodePages, Cp866CarriesEveryRussianLetterBothWays) {
  const CodePage cp866(866);
  std::string russian;
  for (int b = 0xC0; b <= 0xFF; ++b) russian += static_cast<char>(b);
  russian += "\xA8\xB8\xB9";  // Ё ё №
  const auto stored = cp866.FromCp1251(russian);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(static_cast<unsigned char>((*stored)[0]), 0x80);   // А
  EXPECT_EQ(static_cast<unsigned char>((*stored)[32]), 0xA0);  // а
  EXPECT_EQ(static_cast<unsigned char>((*stored)[48]), 0xE0);  // р
  EXPECT_EQ(cp866.ToCp1251(*stored), russian);
  EXPECT_FALSE(cp866.FromCp1251("\x88").has_value());  // € is not in 866
}

TEST(ParadoxCodePages, WesternCodePagesKeepWhatCp1251Has) {
  struct Sample {
    int codePage;
    std::string stored;
    std::string cp1251;
  };
  const std::vector<Sample> samples = {
      {1252, "\x80\x96\xAB\xB0\xE4", "\x88\x96\xAB\xB0?"},  // € – « ° ä
      {437, "\xAE\xF8\x81", "\xAB\xB0?"},                  // « ° ü
      {850, "\xAE\xF8\xB8", "\xAB\xB0\xA9"},               // « ° ©
      {1250, "abc\xE4", "abc?"},                           // unknown: ASCII only
  };
  for (const Sample& s : samples) {
    const CodePage cp(s.codePage);
    EXPECT_EQ(cp.ToCp1251(s.stored), s.cp1251) << s.codePage;
  }
  EXPECT_FALSE(CodePage(1250).FromCp1251("\xE0").has_value());
  EXPECT_EQ(CodePage(1252).FromCp1251("\x88\xAB"), std::optional<std::string>("\x80\xAB"));
}

}  // namespace
}  // namespace db::paradox::testing
