// Jingle placement: the operator ticks jingles of Jingles.db and an interval,
// and one of them goes after every that many entries of the chosen hours.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/daymodel.h"
#include "matching/operatorui.h"

namespace importing {

// One jingle of the placement dialog. Name at most core::kJingleNameCapacity
// (40) bytes, Path at most core::kPathCapacity.
struct TJingleRec {
  std::string Name;
  std::string Path;
  bool operator==(const TJingleRec&) const = default;
};

// What an accepted dialog leaves for the placement: the ticked jingles in
// list order and the interval, 1 to 20.
struct JingleChoice {
  std::vector<TJingleRec> ChosenJingles;
  std::int32_t JingleStep = 2;
};

// The dialog's TablePath for a folder setting (MVPath).
std::string JinglesTablePath(std::string_view folder);

// The dialog's list: FName and FPath of every row ordered by FName, cut to
// their capacities. Every line starts ticked. Throws db::Error when the table
// cannot be read.
std::vector<TJingleRec> LoadJingles(const std::string& TablePath);

// "Принять": an empty interval text is refused with the warning "Укажите
// интервал расстановки джинглов!", no ticked line with the error "Не выбрано ни
// одного джингла!"; the dialog then stays open (nullopt). Otherwise the choice:
// the interval truncated and brought into 1..20 (a text that is not a number
// reads as 1) and the ticked jingles. ticked[n] belongs to JingleList[n].
std::optional<JingleChoice> SBSaveClick(const std::vector<TJingleRec>& JingleList, const std::vector<bool>& ticked,
                                        std::string_view stepText, matching::OperatorUi& ui);

// Draws a whole number from 0 to n - 1, uniformly. REQUIRES: n > 0.
using RandomIndex = std::function<int(int n)>;
RandomIndex SeededRandom(std::uint32_t seed);
RandomIndex SystemRandom();

// Places the chosen jingles into the chosen hours: with more than two chosen
// they are shuffled once (each position swapped with a random one), then taken
// in a cycle; a jingle entry (artist "Джингл", kind 5) goes after every
// JingleStep entries, counting across hours and not counting placed jingles.
// Returns how many were placed; the review must be refreshed after.
int InsertJingles(core::DayPlaylist& day, const JingleChoice& choice, const RandomIndex& random);

}  // namespace importing
