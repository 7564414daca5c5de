// The text the dump and sql commands print for each field type.
#include <gtest/gtest.h>

#include "core/datetime.h"
#include "db/dump.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using testing::Cp;

struct Case {
  FieldType type;
  Value value;
  const char* text;  // UTF-8
};

TEST(SqlDump, EveryTypeHasItsTextForm) {
  const double day = core::EncodeDate(2016, 1, 5);
  const Case cases[] = {
      {FieldType::Alpha, Cp("Ария"), "Ария"},
      {FieldType::Alpha, std::string("a\tb\nc\\d\re"), "a\\tb\\nc\\\\d\\re"},
      {FieldType::Memo, Cp("строка 1\r\nстрока 2"), "строка 1\\r\\nстрока 2"},
      {FieldType::FormattedMemo, std::string("x"), "x"},
      {FieldType::Blob, std::string("\x01\x02\x03", 3), "<3 bytes>"},
      {FieldType::Graphic, std::string(), "<0 bytes>"},
      {FieldType::Bytes, std::string("\t\n", 2), "<2 bytes>"},
      {FieldType::Short, std::int64_t{-5}, "-5"},
      {FieldType::Long, std::int64_t{2147483647}, "2147483647"},
      {FieldType::AutoInc, std::int64_t{1}, "1"},
      {FieldType::Number, 0.1, "0.1"},
      {FieldType::Number, 100.0, "100"},
      {FieldType::Number, 1.0 / 3.0, "0.3333333333333333"},
      {FieldType::Number, -2.5e-7, "-2.5e-07"},
      {FieldType::Number, 1e21, "1e+21"},
      {FieldType::Currency, 13.002, "13.002"},
      {FieldType::Bcd, -9.999999999999999e+25, "-9.999999999999999e+25"},
      {FieldType::Date, day, "05.01.2016"},
      {FieldType::Date, 0.0, "30.12.1899"},
      {FieldType::Time, core::EncodeTime(0, 4, 5, 120), "00:04:05.120"},
      {FieldType::Time, 0.0, "00:00:00.000"},
      {FieldType::Time, 86399999.0 / 86400000.0, "23:59:59.999"},
      {FieldType::Timestamp, day + core::EncodeTime(13, 0, 1, 2), "05.01.2016 13:00:01.002"},
      {FieldType::Timestamp, day, "05.01.2016 00:00:00.000"},
      {FieldType::Timestamp, day + 0.99999999, "05.01.2016 23:59:59.999"},
      {FieldType::Logical, true, "true"},
      {FieldType::Logical, false, "false"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DumpValue(c.value, Field{"F", c.type, 8}), c.text);
  }
  for (FieldType t : {FieldType::Alpha, FieldType::Short, FieldType::Number, FieldType::Date, FieldType::Time,
                      FieldType::Timestamp, FieldType::Logical, FieldType::Memo, FieldType::Blob}) {
    EXPECT_EQ(DumpValue(std::monostate{}, Field{"F", t, 8}), "");
  }
}

TEST(SqlDump, LinesJoinTheFieldsWithTabs) {
  const std::vector<Field> fields = {{Cp("Исполнитель"), FieldType::Alpha, 64},
                                     {"FHour", FieldType::Short, 2},
                                     {"FDate", FieldType::Date, 4}};
  EXPECT_EQ(DumpHeader(fields), "Исполнитель\tFHour\tFDate");
  EXPECT_EQ(DumpLine(fields, {Cp("Ёлка"), std::monostate{}, 42374.0}), "Ёлка\t\t05.01.2016");
  EXPECT_EQ(DumpLine(fields, {std::monostate{}, std::int64_t{7}, std::monostate{}}), "\t7\t");
}

}  // namespace
}  // namespace db
