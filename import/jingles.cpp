#include "import/jingles.h"

#include "db/station.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <utility>

#include "core/codec.h"
#include "core/text.h"
#include "db/station.h"

namespace importing {
namespace {

constexpr std::int32_t kMinStep = 1;
constexpr std::int32_t kMaxStep = 20;

// The spin edit's value of a text: truncated, brought into its bounds; a text
// that is not a number reads as the lowest value.
std::int32_t stepOf(std::string_view text) {
  const std::string trimmed = core::Trim(text);
  double value = 0;
  const char* end = trimmed.data() + trimmed.size();
  const auto [stop, error] = std::from_chars(trimmed.data(), end, value);
  if (trimmed.empty() || error != std::errc() || stop != end || !std::isfinite(value)) return kMinStep;
  return static_cast<std::int32_t>(std::clamp(std::trunc(value), double{kMinStep}, double{kMaxStep}));
}

core::TSongRec jingleEntry(const TJingleRec& jingle) {
  core::TSongRec entry;
  entry.Artist = core::cp1251("Джингл");
  entry.Name = core::CutTo(jingle.Name, core::kNameCapacity);
  entry.Path = core::CutTo(jingle.Path, core::kPathCapacity);
  entry.Kind = core::kKindJingle;
  return entry;
}

}  // namespace

std::string JinglesTablePath(std::string_view folder) { return db::Station::JinglesPathIn(std::string(folder)); }

std::vector<TJingleRec> LoadJingles(const std::string& TablePath) {
  const db::NamedPaths jingles = db::JingleBase(TablePath).Names();
  std::vector<TJingleRec> list;
  list.reserve(jingles.names.size());
  for (std::size_t i = 0; i < jingles.names.size(); ++i) {
    list.push_back({core::CutTo(jingles.names[i], core::kJingleNameCapacity), jingles.paths[i]});
  }
  return list;
}

std::optional<JingleChoice> SBSaveClick(const std::vector<TJingleRec>& JingleList, const std::vector<bool>& ticked,
                                        std::string_view stepText, matching::OperatorUi& ui) {
  if (stepText.empty()) {
    ui.showWarning(core::cp1251("Укажите интервал расстановки джинглов!"));
    return std::nullopt;
  }
  JingleChoice choice;
  choice.JingleStep = stepOf(stepText);
  for (std::size_t n = 0; n < JingleList.size() && n < ticked.size(); ++n) {
    if (ticked[n]) choice.ChosenJingles.push_back(JingleList[n]);
  }
  if (choice.ChosenJingles.empty()) {
    ui.showError(core::cp1251("Не выбрано ни одного джингла!"));
    return std::nullopt;
  }
  return choice;
}

RandomIndex SeededRandom(std::uint32_t seed) {
  return [engine = std::mt19937(seed)](int n) mutable { return std::uniform_int_distribution<int>(0, n - 1)(engine); };
}

RandomIndex SystemRandom() { return SeededRandom(std::random_device{}()); }

int InsertJingles(core::DayPlaylist& day, const JingleChoice& choice, const RandomIndex& random) {
  std::vector<TJingleRec> jingles = choice.ChosenJingles;
  const int count = static_cast<int>(jingles.size());
  if (count == 0) return 0;
  if (count > 2) {
    for (int a = 0; a < count; ++a) std::swap(jingles[static_cast<std::size_t>(a)],
                                              jingles[static_cast<std::size_t>(random(count))]);
  }
  std::size_t next = 0;    // rotation index, kept across hours
  std::int32_t run = 0;    // entries since the last jingle, kept across hours
  int placed = 0;
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    auto& list = day.Songs[static_cast<std::size_t>(h)];
    for (std::size_t k = 0; k < list.size(); ++k) {
      if (++run <= choice.JingleStep) continue;
      run = 0;
      list.insert(list.begin() + static_cast<std::ptrdiff_t>(k), jingleEntry(jingles[next]));
      next = (next + 1) % jingles.size();
      ++placed;
    }
  }
  return placed;
}

}  // namespace importing
