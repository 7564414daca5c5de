#include "core/datetime.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(DateTime, DayZeroAndOrdinalsAgreeWithTheTables) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(DateToOrdinal(1, 1, 1), 1);
  EXPECT_EQ(DateToOrdinal(1899, 12, 30), kDayZeroOrdinal);
  EXPECT_EQ(EncodeDate(2016, 1, 5), 42374.0);
  for (int ordinal : {1, 59, 60, 61, 693594, 730119, 736000, 3652059}) {
    const CivilDate d = OrdinalToDate(ordinal);
    EXPECT_EQ(DateToOrdinal(d.year, d.month, d.day), ordinal);
  }
  EXPECT_EQ(DateToStr(EncodeDate(2016, 1, 5) + 0.75), "05.01.2016");
  EXPECT_EQ(DateTimeToListText(EncodeDate(2016, 3, 5) + EncodeTime(14, 7, 8, 0)), "05.03.16 14:07:08");
}

struct DateTextCase {
  const char* text;
  int year, month, day;  // year 0: the conversion fails
};

class StrToDateTest : public testing::TestWithParam<DateTextCase> {};

TEST_P(StrToDateTest, ConvertsAsTheShortDateFormat) {
  const auto& c = GetParam();
  const auto value = StrToDate(c.text, 2026);
  if (c.year == 0) {
    EXPECT_FALSE(value.has_value()) << c.text;
  } else {
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_EQ(*value, EncodeDate(c.year, c.month, c.day)) << c.text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrToDateTest,
    testing::Values(DateTextCase{"01.02.2010", 2010, 2, 1}, DateTextCase{"  01.02.2010   ", 2010, 2, 1},
                    DateTextCase{"01.02.2010.", 2010, 2, 1}, DateTextCase{"01.02.2010. ", 2010, 2, 1},
                    DateTextCase{"1.2.2010", 2010, 2, 1}, DateTextCase{"01.02", 2026, 2, 1},
                    DateTextCase{"01.02.10", 2010, 2, 1}, DateTextCase{"01.02.80", 1980, 2, 1},
                    DateTextCase{"01.02.76", 1976, 2, 1}, DateTextCase{"01.02.75", 2075, 2, 1},
                    DateTextCase{"29.02.2016", 2016, 2, 29}, DateTextCase{"29.02.2015", 0, 0, 0},
                    DateTextCase{"01.02.2010 12:00", 0, 0, 0}, DateTextCase{"01.02.2010..", 0, 0, 0},
                    DateTextCase{"01/02/2010", 0, 0, 0}, DateTextCase{"", 0, 0, 0},
                    DateTextCase{"32.01.2010", 0, 0, 0}, DateTextCase{"01.13.2010", 0, 0, 0},
                    DateTextCase{"01.02.20100", 0, 0, 0}, DateTextCase{"Total", 0, 0, 0}));

}  // namespace
}  // namespace core
