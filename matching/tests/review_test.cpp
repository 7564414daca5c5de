#include "matching/review.h"

#include <gtest/gtest.h>

namespace matching {
namespace {

core::DayPlaylist sampleDay() {
  core::DayPlaylist day;
  for (int i = 0; i < 3; ++i) core::AppendSong(day, 7, "A" + std::to_string(i), "B", core::kKindSong);
  core::AppendSong(day, 7, "", "J", core::kKindJingle);
  core::AppendSong(day, 9, "X", "Y", core::kKindSong);
  core::SetPath(day.Songs[7][0], "p");
  core::SetPath(day.Songs[7][3], "j");
  day.HourSetts[7] = true;
  return day;
}

TEST(Review, CountsOnlyChosenHoursButListsEveryUnmatchedLine) {
  const auto day = sampleDay();
  const MatchCounts counts = CalcLists(day);
  EXPECT_EQ(counts.matched, 2);
  EXPECT_EQ(counts.unmatched, 2);
  EXPECT_EQ(ErrorList(day), (std::vector<std::string>{"7 2 A1 - B", "7 3 A2 - B", "9 1 X - Y"}));
}

TEST(Review, TabAndRowStatesFollowTheDay) {
  auto day = sampleDay();
  EXPECT_EQ(TabState(day, 7), HourTabState::Unmatched);
  EXPECT_EQ(TabState(day, 9), HourTabState::NotChosen);
  day.HourSetts[8] = true;
  EXPECT_EQ(TabState(day, 8), HourTabState::Matched);  // chosen and empty
  EXPECT_EQ(RowState(day, 7, 0, false), ReviewRowState::Header);
  EXPECT_EQ(RowState(day, 7, 1, false), ReviewRowState::SongMatched);
  EXPECT_EQ(RowState(day, 7, 2, false), ReviewRowState::SongUnmatched);
  EXPECT_EQ(RowState(day, 7, 2, true), ReviewRowState::SongSelected);
  EXPECT_EQ(RowState(day, 7, 4, false), ReviewRowState::JingleMatched);
  EXPECT_EQ(RowState(day, 7, 4, true), ReviewRowState::JingleSelected);
  EXPECT_EQ(RowState(day, 7, 5, false), ReviewRowState::NoLine);
  // Rows follow the hour's list even for an hour that is not chosen.
  EXPECT_EQ(RowState(day, 9, 1, false), ReviewRowState::SongUnmatched);
  core::SetPath(day.Songs[7][1], "q");
  core::SetPath(day.Songs[7][2], "r");
  EXPECT_EQ(TabState(day, 7), HourTabState::Matched);
}

}  // namespace
}  // namespace matching
