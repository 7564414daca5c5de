// Values written to each field type from the four kinds, and read back: what
// is kept, what is cut or rounded, what is refused.
#include <gtest/gtest.h>

#include "core/datetime.h"
#include "db/dump.h"
#include "db/tests/sql_util.h"
#include "db/values.h"

namespace db {
namespace {

using testing::Cp;

Field field(FieldType type, int size = 8) { return Field{"F", type, size}; }

// What the field stores, as dump prints it; "refused" when db::Error is thrown.
template <class Make>
std::string stored(FieldType type, Make&& make, int size = 8) {
  const Field f = field(type, size);
  try {
    return DumpValue(make(f), f);
  } catch (const Error&) {
    return "refused";
  }
}

struct TextCase {
  FieldType type;
  const char* text;
  const char* stored;
};

TEST(SqlValues, TextIsStoredAsTheFieldKeepsIt) {
  const TextCase cases[] = {
      {FieldType::Alpha, "abcdefghij", "abcdefgh"},
      {FieldType::Alpha, "", ""},
      {FieldType::Short, " 12 ", "12"},
      {FieldType::Short, "+7", "7"},
      {FieldType::Short, "-32767", "-32767"},
      {FieldType::Short, "32768", "refused"},
      {FieldType::Short, "1.5", "refused"},
      {FieldType::Short, "  ", ""},
      {FieldType::Long, "-2147483647", "-2147483647"},
      {FieldType::Long, "2147483648", "refused"},
      {FieldType::Number, "1,25", "1.25"},
      {FieldType::Number, "1e3", "1000"},
      {FieldType::Number, "abc", "refused"},
      {FieldType::Date, "05.01.2016", "05.01.2016"},
      {FieldType::Date, "5.1.2016 13:00", "05.01.2016"},
      {FieldType::Date, "31.02.2016", "refused"},
      {FieldType::Date, "2016-01-05", "refused"},
      {FieldType::Time, "0:03:25.12", "00:03:25.120"},
      {FieldType::Time, "23:59", "23:59:00.000"},
      {FieldType::Time, "24:00", "refused"},
      {FieldType::Time, "12:60", "refused"},
      {FieldType::Timestamp, "05.01.2016 13:00:01.002", "05.01.2016 13:00:01.002"},
      {FieldType::Timestamp, "05.01.2016", "05.01.2016 00:00:00.000"},
      {FieldType::Logical, "Yes", "true"},
      {FieldType::Logical, "0", "false"},
      {FieldType::Logical, "maybe", "refused"},
      {FieldType::Blob, "x", "refused"},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(stored(c.type, [&](const Field& f) { return FromString(Cp(c.text), f, "T"); }), c.stored);
  }
}

TEST(SqlValues, DateTimeIntegerAndBooleanAreStoredAsTheFieldKeepsThem) {
  const double t = core::EncodeDate(2016, 1, 5) + 0.75;
  auto dt = [&](double v) { return [v](const Field& f) { return FromDateTime(v, f, "T"); }; };
  auto in = [](std::int64_t n) { return [n](const Field& f) { return FromInteger(n, f, "T"); }; };
  auto b = [](bool v) { return [v](const Field& f) { return FromBoolean(v, f, "T"); }; };
  EXPECT_EQ(stored(FieldType::Time, dt(t)), "18:00:00.000");
  EXPECT_EQ(stored(FieldType::Time, dt(core::EncodeTime(0, 3, 25, 120))), "00:03:25.120");
  EXPECT_EQ(stored(FieldType::Date, dt(t)), "05.01.2016");
  EXPECT_EQ(stored(FieldType::Timestamp, dt(t + 0.4 / 86400000.0)), "05.01.2016 18:00:00.000");
  EXPECT_EQ(stored(FieldType::Short, dt(7.6)), "8");
  EXPECT_EQ(stored(FieldType::Alpha, dt(core::EncodeDate(2016, 1, 5) + 0.5), 32), "05.01.2016 12:00:00");
  EXPECT_EQ(stored(FieldType::Logical, dt(t)), "refused");
  EXPECT_EQ(stored(FieldType::Date, dt(-700000.0)), "refused");
  EXPECT_EQ(stored(FieldType::Time, in(245000)), "00:04:05.000");
  EXPECT_EQ(stored(FieldType::Time, in(86400000)), "refused");
  EXPECT_EQ(stored(FieldType::Date, in(42374)), "05.01.2016");
  EXPECT_EQ(stored(FieldType::Alpha, in(-12)), "-12");
  EXPECT_EQ(stored(FieldType::Logical, in(2)), "true");
  EXPECT_EQ(stored(FieldType::Number, in(3)), "3");
  EXPECT_EQ(stored(FieldType::Short, in(-32768)), "refused");
  EXPECT_EQ(stored(FieldType::Alpha, b(true)), "True");
  EXPECT_EQ(stored(FieldType::Short, b(true)), "1");
  EXPECT_EQ(stored(FieldType::Date, b(true)), "refused");
}

TEST(SqlValues, ReadingConvertsBetweenKinds) {
  const Field number = field(FieldType::Number);
  const Field text = field(FieldType::Alpha, 20);
  const Field time = field(FieldType::Time);
  EXPECT_EQ(ReadAsInteger(2.5, number, "T"), 3);
  EXPECT_EQ(ReadAsString(2.5, number), "2.5");
  EXPECT_DOUBLE_EQ(ReadAsDateTime(std::string("12:30"), text, "T"), 12.5 / 24);
  EXPECT_DOUBLE_EQ(ReadAsDateTime(std::string("05.01.2016 06:00"), text, "T"), core::EncodeDate(2016, 1, 5) + 0.25);
  EXPECT_TRUE(ReadAsBoolean(std::string("Y"), text, "T"));
  EXPECT_FALSE(ReadAsBoolean(std::string("f"), text, "T"));
  EXPECT_EQ(ReadAsString(0.5, time), "12:00:00");
  EXPECT_EQ(ReadAsInteger(0.5, time, "T"), 43200000);
  EXPECT_EQ(ReadAsString(42374.0, field(FieldType::Timestamp)), "05.01.2016");
  EXPECT_THROW(ReadAsInteger(1e12, number, "T"), Error);
  EXPECT_THROW(ReadAsDateTime(true, field(FieldType::Logical), "T"), Error);
}

}  // namespace
}  // namespace db
