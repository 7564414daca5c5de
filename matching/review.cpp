#include "matching/review.h"

namespace matching {

MatchCounts CalcLists(const core::DayPlaylist& day) {
  MatchCounts counts;
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    for (const auto& song : day.Songs[static_cast<std::size_t>(h)]) {
      (song.matched() ? counts.matched : counts.unmatched) += 1;
    }
  }
  return counts;
}

std::vector<std::string> ErrorList(const core::DayPlaylist& day) {
  std::vector<std::string> lines;
  for (int h = 0; h < core::kHours; ++h) {
    const auto& list = day.Songs[static_cast<std::size_t>(h)];
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].matched()) continue;
      lines.push_back(std::to_string(h) + " " + std::to_string(i + 1) + " " + list[i].Artist + " - " + list[i].Name);
    }
  }
  return lines;
}

HourTabState TabState(const core::DayPlaylist& day, int hour) {
  if (!day.HourSetts.at(static_cast<std::size_t>(hour))) return HourTabState::NotChosen;
  return core::IsHourMatched(day, hour) ? HourTabState::Matched : HourTabState::Unmatched;
}

ReviewRowState RowState(const core::DayPlaylist& day, int hour, int gridRow, bool selected) {
  if (gridRow <= 0) return ReviewRowState::Header;
  const auto& list = day.Songs.at(static_cast<std::size_t>(hour));
  const auto line = static_cast<std::size_t>(gridRow - 1);
  if (line >= list.size()) return ReviewRowState::NoLine;
  const core::TSongRec& song = list[line];
  if (song.isJingle()) {
    if (selected) return ReviewRowState::JingleSelected;
    return song.matched() ? ReviewRowState::JingleMatched : ReviewRowState::JingleUnmatched;
  }
  if (selected) return ReviewRowState::SongSelected;
  return song.matched() ? ReviewRowState::SongMatched : ReviewRowState::SongUnmatched;
}

}  // namespace matching
