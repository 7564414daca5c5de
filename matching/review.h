// What the hour review shows, derived from the day at the moment of asking.
#pragma once

#include <string>
#include <vector>

#include "core/daymodel.h"

namespace matching {

struct MatchCounts {
  int matched = 0;
  int unmatched = 0;
};

// Lines with and without a path over the chosen hours, all kinds together.
MatchCounts CalcLists(const core::DayPlaylist& day);

// One text line per unmatched line of every hour, chosen or not, numbered
// from 1 within its hour: "7 3 A - B".
std::vector<std::string> ErrorList(const core::DayPlaylist& day);

enum class HourTabState { NotChosen, Matched, Unmatched };
HourTabState TabState(const core::DayPlaylist& day, int hour);

// The state of a row of the hour grid (row 1 stands for line 0).
enum class ReviewRowState { Header, NoLine, JingleSelected, JingleMatched, JingleUnmatched, SongSelected, SongMatched, SongUnmatched };
ReviewRowState RowState(const core::DayPlaylist& day, int hour, int gridRow, bool selected);

}  // namespace matching
