#include "import/jingles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "matching/tests/station.h"

namespace importing {
namespace {

using stationtest::Cp;
using stationtest::PrintTo;
using stationtest::ScriptedUi;
using stationtest::Utf;

TEST(JingleList, ListsEveryJingleByNameCutToItsCapacity) {
  stationtest::Station station;
  const std::string longName(45, 'x');
  station.Jingles({stationtest::JingleRow("Вечер", "C:\\j\\v.wav"), stationtest::JingleRow(longName, "C:\\j\\x.wav"),
                   stationtest::JingleRow("Anthem", "C:\\j\\a.wav")});
  const auto list = LoadJingles(JinglesTablePath(station.setts.MVPath));
  EXPECT_EQ(list, (std::vector<TJingleRec>{{"Anthem", "C:\\j\\a.wav"},
                                           {std::string(40, 'x'), "C:\\j\\x.wav"},
                                           {Cp("Вечер"), "C:\\j\\v.wav"}}));
}

struct AcceptCase {
  std::string_view name;
  std::string_view stepText;
  std::vector<bool> ticked;
  std::string warning, error;  // UTF-8, empty when none
  std::int32_t step;           // when accepted
  std::vector<std::string> chosen;
};

class AcceptTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptTest, AcceptsAnIntervalAndAtLeastOneJingle) {
  const AcceptCase& c = GetParam();
  const std::vector<TJingleRec> list = {{"A", "a.wav"}, {"B", "b.wav"}, {"C", "c.wav"}};
  ScriptedUi ui;
  const auto choice = SBSaveClick(list, c.ticked, c.stepText, ui);
  EXPECT_EQ(ui.warnings, c.warning.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.warning});
  EXPECT_EQ(ui.errors, c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
  ASSERT_EQ(choice.has_value(), c.warning.empty() && c.error.empty());
  if (!choice) return;
  EXPECT_EQ(choice->JingleStep, c.step);
  std::vector<std::string> names;
  for (const auto& j : choice->ChosenJingles) names.push_back(j.Name);
  EXPECT_EQ(names, c.chosen);
}

const std::vector<bool> kAll = {true, true, true};
const std::string kNoInterval = "Укажите интервал расстановки джинглов!";
const std::string kNoJingle = "Не выбрано ни одного джингла!";

INSTANTIATE_TEST_SUITE_P(
    Dialog, AcceptTest,
    ::testing::Values(AcceptCase{"Ticked", "3", {true, false, true}, "", "", 3, {"A", "C"}},
                      AcceptCase{"EmptyIntervalFirst", "", {false, false, false}, kNoInterval, "", 0, {}},
                      AcceptCase{"NoneTicked", "3", {false, false, false}, "", kNoJingle, 0, {}},
                      AcceptCase{"EmptyList", "3", {}, "", kNoJingle, 0, {}},
                      AcceptCase{"AboveRange", "25", kAll, "", "", 20, {"A", "B", "C"}},
                      AcceptCase{"BelowRange", "0", kAll, "", "", 1, {"A", "B", "C"}},
                      AcceptCase{"NotANumber", "abc", kAll, "", "", 1, {"A", "B", "C"}},
                      AcceptCase{"Blanks", " 7 ", kAll, "", "", 7, {"A", "B", "C"}},
                      AcceptCase{"Fraction", "2.9", kAll, "", "", 2, {"A", "B", "C"}}),
    stationtest::CaseName());

// A random source that replays draws and fails the test when it runs dry.
RandomIndex replay(std::vector<int> draws) {
  return [draws = std::move(draws), next = std::size_t{0}](int n) mutable {
    if (next >= draws.size()) {
      ADD_FAILURE() << "unexpected draw";
      return 0;
    }
    EXPECT_LT(draws[next], n);
    return draws[next++];
  };
}

struct PlaceCase {
  std::string_view name;
  std::vector<int> hourSizes;  // entries of hours 0, 1, ...; a negative size: not chosen
  std::int32_t step;
  int jingleCount;             // jingles A, B, C ... chosen
  std::vector<int> draws;
  std::string layout;          // each hour's list: "e" for an entry, the jingle's name, hours joined by " | "
};

class PlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceTest, PutsAJingleAfterEveryStepEntries) {
  const PlaceCase& c = GetParam();
  core::DayPlaylist day;
  for (std::size_t h = 0; h < c.hourSizes.size(); ++h) {
    for (int i = 0; i < std::abs(c.hourSizes[h]); ++i) core::AppendSong(day, static_cast<int>(h), "a", "e", 0);
    day.HourSetts[h] = c.hourSizes[h] >= 0;
  }
  JingleChoice choice;
  choice.JingleStep = c.step;
  for (int j = 0; j < c.jingleCount; ++j) {
    const std::string name(1, static_cast<char>('A' + j));
    choice.ChosenJingles.push_back({name, name + ".wav"});
  }
  const int placed = InsertJingles(day, choice, replay(c.draws));
  std::string layout;
  int jingles = 0;
  for (std::size_t h = 0; h < c.hourSizes.size(); ++h) {
    if (h > 0) layout += " | ";
    for (std::size_t i = 0; i < day.Songs[h].size(); ++i) layout += (i > 0 ? " " : "") + day.Songs[h][i].Name;
    for (const auto& song : day.Songs[h]) jingles += song.isJingle();
  }
  EXPECT_EQ(layout, c.layout);
  EXPECT_EQ(placed, jingles);
}

INSTANTIATE_TEST_SUITE_P(
    Placement, PlaceTest,
    ::testing::Values(
        PlaceCase{"EveryTwo", {5}, 2, 2, {}, "e e A e e B e"},
        PlaceCase{"RunGoesOnAcrossHours", {4, 4}, 2, 2, {}, "e e A e e | B e e A e e"},
        PlaceCase{"EveryOne", {3}, 1, 2, {}, "e A e B e"},
        PlaceCase{"HourNotChosenIsLeftOut", {3, -3, 2}, 2, 2, {}, "e e A e | e e e | e B e"},
        PlaceCase{"OneJingleRepeats", {6}, 1, 1, {}, "e A e A e A e A e A e"},
        // Three jingles: a=0 swaps with 2 (C B A), a=1 with 2 (C A B), a=2 with 0 (B A C).
        PlaceCase{"ThreeAreShuffledOnce", {7}, 1, 3, {2, 2, 0}, "e B e A e C e B e A e C e"},
        PlaceCase{"NoJingleChosen", {4}, 1, 0, {}, "e e e e"}),
    stationtest::CaseName());

TEST(JinglePlacement, PlacedEntriesAreJinglesAndCountInTheNextPlacement) {
  core::DayPlaylist day;
  for (int i = 0; i < 4; ++i) core::AppendSong(day, 5, "a", "e", 0);
  day.HourSetts[5] = true;
  const JingleChoice choice{{{Cp("Заставка"), "C:\\j\\z.wav"}, {"B", "b.wav"}}, 2};
  EXPECT_EQ(InsertJingles(day, choice, replay({})), 1);
  const core::TSongRec& placed = day.Songs[5][2];
  EXPECT_EQ(Utf(placed.Artist), "Джингл");
  EXPECT_EQ(Utf(placed.Name), "Заставка");
  EXPECT_EQ(placed.Path, "C:\\j\\z.wav");
  EXPECT_EQ(placed.Kind, core::kKindJingle);
  EXPECT_EQ(InsertJingles(day, choice, replay({})), 2);
  std::vector<std::string> names;
  for (const auto& song : day.Songs[5]) names.push_back(Utf(song.Name));
  EXPECT_EQ(names, (std::vector<std::string>{"e", "e", "Заставка", "Заставка", "e", "B", "e"}));
}

TEST(JinglePlacement, SeededRandomRepeatsItsDraws) {
  RandomIndex a = SeededRandom(42), b = SeededRandom(42);
  std::vector<int> drawsA, drawsB;
  for (int i = 0; i < 50; ++i) {
    drawsA.push_back(a(7));
    drawsB.push_back(b(7));
  }
  EXPECT_EQ(drawsA, drawsB);
  EXPECT_TRUE(std::all_of(drawsA.begin(), drawsA.end(), [](int d) { return d >= 0 && d < 7; }));
  EXPECT_GT(std::set<int>(drawsA.begin(), drawsA.end()).size(), 1u);
}

}  // namespace
}  // namespace importing
