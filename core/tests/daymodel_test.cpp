#include "core/daymodel.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(DayModel, AppendCutsToCapacityAndReplacesDoubleQuotes) {
  DayPlaylist day;
  AppendSong(day, 7, std::string(70, 'a'), "say \"hi\"", kKindSong);
  AppendSong(day, 7, "\"X\"", std::string(64, 'n'), kKindJingle);
  ASSERT_EQ(day.Songs[7].size(), 2u);
  EXPECT_EQ(day.Songs[7][0].Artist, std::string(64, 'a'));
  EXPECT_EQ(day.Songs[7][0].Name, "say 'hi'");
  EXPECT_EQ(day.Songs[7][1].Artist, "'X'");
  EXPECT_EQ(day.Songs[7][1].Name.size(), 64u);
  EXPECT_EQ(day.Songs[7][1].Kind, kKindJingle);
  EXPECT_TRUE(day.Songs[7][1].Path.empty());
  SetPath(day.Songs[7][0], std::string(200, 'p'));
  EXPECT_EQ(day.Songs[7][0].Path.size(), kPathCapacity);
}

TEST(DayModel, HourChoiceFollowsTheLoadedHours) {
  DayPlaylist day;
  day.HourSetts.fill(true);
  AppendSong(day, 7, "A", "B", kKindSong);
  AppendSong(day, 8, "C", "D", kKindSong);
  Prepare_HourSetts(day);
  for (int h = 0; h < kHours; ++h) EXPECT_EQ(day.HourSetts[h], h == 7 || h == 8) << h;
  InitSongs(day);
  EXPECT_TRUE(day.HourSetts[7]);  // flags are not touched by emptying
  Prepare_HourSetts(day);
  for (int h = 0; h < kHours; ++h) EXPECT_FALSE(day.HourSetts[h]);
}

TEST(DayModel, HourIsMatchedOnlyWhenEveryLineHasAPath) {
  DayPlaylist day;
  EXPECT_TRUE(IsHourMatched(day, 3));
  for (int i = 0; i < 3; ++i) AppendSong(day, 3, "A", "B", kKindSong);
  SetPath(day.Songs[3][0], "x");
  SetPath(day.Songs[3][2], "y");
  EXPECT_FALSE(IsHourMatched(day, 3));
  SetPath(day.Songs[3][1], "z");
  EXPECT_TRUE(IsHourMatched(day, 3));
}

}  // namespace
}  // namespace core
