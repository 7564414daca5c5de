#include "import/hourlist.h"

#include <gtest/gtest.h>

namespace importing {
namespace {

std::vector<int> hoursOf(const core::HourFlags& flags) {
  std::vector<int> hours;
  for (int h = 0; h < core::kHours; ++h) {
    if (flags[static_cast<std::size_t>(h)]) hours.push_back(h);
  }
  return hours;
}

TEST(HourList, ReadsHoursAndRanges) {
  const std::vector<std::pair<std::string_view, std::vector<int>>> cases = {
      {"6-9,12", {6, 7, 8, 9, 12}},
      {"0", {0}},
      {"23", {23}},
      {" 1 - 3 , 5 ", {1, 2, 3, 5}},
      {"9,3,3", {3, 9}},
      {"4-4", {4}},
  };
  for (const auto& [text, hours] : cases) {
    const auto flags = ParseHourList(text);
    ASSERT_TRUE(flags) << text;
    EXPECT_EQ(hoursOf(*flags), hours) << text;
  }
  EXPECT_EQ(hoursOf(*ParseHourList("0-23")).size(), 24u);
}

TEST(HourList, RefusesAnythingElse) {
  for (std::string_view text : {"", " ", "24", "9-6", "1,,2", "a", "1-", "-1", "1;2", "5,", "1-2-3", "+3", "0x3"}) {
    EXPECT_FALSE(ParseHourList(text)) << text;
  }
}

}  // namespace
}  // namespace importing
