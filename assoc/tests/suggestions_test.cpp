#include "assoc/suggestions.h"

#include <gtest/gtest.h>

#include "assoc/commands.h"
#include "db/paradox/table.h"
#include "matching/tests/station.h"

namespace assoc {
namespace {

using stationtest::AddEntry;
using stationtest::Cp;
using stationtest::JingleRow;
using stationtest::PrintTo;
using stationtest::ScriptedUi;
using stationtest::SongRow;
using stationtest::Utf;

// A station whose bases hold a few songs and a jingle, with an empty
// Association.db.
struct SuggestStation : stationtest::Station {
  SuggestStation() {
    Songs({SongRow("Кино", "Группа крови", "D:\\Music\\Kino.mp3", 1),
           SongRow("Ария", "Беспечный ангел", "D:\\Music\\Aria.mp3", 2),
           SongRow("Queen", "Bohemian Rhapsody", "D:\\Music\\Queen.mp3", 3),
           SongRow("Сплин", "Выхода нет", "D:\\Music\\Splin.mp3", 4),
           SongRow("Depeche Mode", "Enjoy the Silence", "D:\\Music\\DM.mp3", 5),
           SongRow("Чайф", "Аргентина - Ямайка 5:0", "D:\\Music\\Chaif.mp3", 6)});
    Jingles({JingleRow("Утреннее шоу", "D:\\Jingles\\Morning.mp3")});
    Associations({});
  }
};

// "hour/index=path" for every matched entry.
std::vector<std::string> matched(const core::DayPlaylist& day) {
  std::vector<std::string> out;
  for (int h = 0; h < core::kHours; ++h) {
    const auto& list = day.Songs[static_cast<std::size_t>(h)];
    for (std::size_t i = 0; i < list.size(); ++i) {
      if (list[i].matched()) out.push_back(std::to_string(h) + "/" + std::to_string(i) + "=" + Utf(list[i].Path));
    }
  }
  return out;
}

struct AcceptCase {
  std::string_view name;
  std::string_view artist;  // the line as the export spells it
  std::string_view title;
  int kind;
  std::string_view path;  // the file its suggestion names
};

class AcceptSuggestionTest : public ::testing::TestWithParam<AcceptCase> {};

// Accepting the suggestion does what "Назначить сопоставление" does when the
// operator picks the same file: the same association row, the same entries
// of the day matched (hour 9 is not chosen and is taught all the same).
TEST_P(AcceptSuggestionTest, TeachesWhatThePickerWould) {
  const AcceptCase& c = GetParam();
  const auto makeDay = [&] {
    core::DayPlaylist day;
    day.HourSetts[7] = true;
    AddEntry(day, 7, "Ария", "Беспечный ангел", 0, "D:\\Music\\Aria.mp3");
    AddEntry(day, 7, c.artist, c.title, c.kind, "");
    AddEntry(day, 7, "Нет в базе", "Такой песни нет", 0, "");
    AddEntry(day, 9, c.artist, c.title, c.kind, "");
    return day;
  };

  SuggestStation byPicker;
  core::DayPlaylist pickedDay = makeDay();
  ScriptedUi pickerUi;
  pickerUi.picks = {std::string(c.path)};
  ASSERT_TRUE(SetAssClick(pickedDay, 7, 1, byPicker.tables, pickerUi));

  SuggestStation bySuggestion;
  core::DayPlaylist day = makeDay();
  DaySuggestions suggestions;
  suggestions.Compute(day, bySuggestion.tables);
  const SuggestedFile* file = suggestions.For(day.Songs[7][1]);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(Utf(file->path), c.path);
  EXPECT_GE(file->score, matching::kStrongSuggestion);
  EXPECT_EQ(suggestions.For(day.Songs[7][2]), nullptr) << "a song not in the base";
  EXPECT_EQ(suggestions.For(day.Songs[7][0]), nullptr) << "a matched line";

  EXPECT_FALSE(AcceptSuggestionClick(day, 7, 2, bySuggestion.tables, suggestions));
  EXPECT_FALSE(AcceptSuggestionClick(day, 7, 4, bySuggestion.tables, suggestions));
  ASSERT_TRUE(AcceptSuggestionClick(day, 7, 1, bySuggestion.tables, suggestions));
  EXPECT_EQ(matched(day), matched(pickedDay));
  EXPECT_EQ(stationtest::FileLines(bySuggestion.paths.AssociationPath),
            stationtest::FileLines(byPicker.paths.AssociationPath));
  EXPECT_EQ(stationtest::FileLines(bySuggestion.paths.AssociationPath).size(), 1u);
  // Matched now: nothing more to accept.
  EXPECT_EQ(suggestions.For(day.Songs[7][1]), nullptr);
  EXPECT_FALSE(AcceptSuggestionClick(day, 7, 1, bySuggestion.tables, suggestions));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptSuggestionTest,
    ::testing::Values(AcceptCase{"LetterCaseAndBlanks", "КИНО", "группа  крови", 0, "D:\\Music\\Kino.mp3"},
                      AcceptCase{"Typo", "Queen", "Bohemian Rhapsdoy", 0, "D:\\Music\\Queen.mp3"},
                      AcceptCase{"TitleTail", "Depeche Mode", "Enjoy The Silence (Radio Edit)", 0,
                                 "D:\\Music\\DM.mp3"},
                      AcceptCase{"Jingle", "", "утреннее шоу!", 5, "D:\\Jingles\\Morning.mp3"}),
    stationtest::CaseName());

// The suggestions follow the entries, not their rows: a line inserted before
// one keeps the suggestion on the entry.
TEST(DaySuggestionsTest, FollowTheEntries) {
  SuggestStation station;
  core::DayPlaylist day;
  day.HourSetts[7] = true;
  AddEntry(day, 7, "КИНО", "Группа крови", 0, "");
  AddEntry(day, 8, "КИНО", "Группа крови", 0, "");  // hour 8 is not chosen
  DaySuggestions suggestions;
  suggestions.Compute(day, station.tables);
  auto& hour = day.Songs[7];
  hour.insert(hour.begin(), core::TSongRec{});
  ASSERT_NE(suggestions.For(hour[1]), nullptr);
  EXPECT_EQ(Utf(suggestions.For(hour[1])->artist), "Кино");
  EXPECT_EQ(suggestions.For(hour[0]), nullptr);
  core::TSongRec jingle = hour[1];
  jingle.Kind = core::kKindJingle;
  EXPECT_EQ(suggestions.For(jingle), nullptr) << "the kind is part of what the suggestion belongs to";
}

// A jingle with an artist gets no suggestion: teaching a jingle's match gives
// the file to the jingles without one, so it could never take it.
TEST(DaySuggestionsTest, NoneForAJingleWithAnArtist) {
  SuggestStation station;
  core::DayPlaylist day;
  day.HourSetts[7] = true;
  AddEntry(day, 7, "Шоу", "Утреннее шоу", 5, "");
  AddEntry(day, 7, "", "Утреннее шоу", 5, "");
  DaySuggestions suggestions;
  suggestions.Compute(day, station.tables);
  EXPECT_EQ(suggestions.For(day.Songs[7][0]), nullptr);
  ASSERT_NE(suggestions.For(day.Songs[7][1]), nullptr);
  EXPECT_EQ(CountSuggestions(day, suggestions), 1u);
}

// The picker starts on the suggestion only when the line's artist is not in
// the song base: a known artist keeps its own list of titles.
TEST(DaySuggestionsTest, PickerStartsOnTheSuggestionForAnUnknownArtist) {
  SuggestStation station;
  core::DayPlaylist day;
  day.HourSetts[7] = true;
  AddEntry(day, 7, "Kino", "Gruppa krovi", 0, "");
  AddEntry(day, 7, "Queen", "Bohemian Rhapsdoy", 0, "");
  AddEntry(day, 7, "", "Утреннее шоу", 5, "");
  DaySuggestions suggestions;
  suggestions.Compute(day, station.tables);
  ASSERT_NE(suggestions.For(day.Songs[7][1]), nullptr);
  EXPECT_FALSE(suggestions.PickerStart(Cp("Queen"), Cp("Bohemian Rhapsdoy"))) << "artist in the base";
  EXPECT_FALSE(suggestions.PickerStart(Cp(""), Cp("Утреннее шоу"))) << "a jingle";
  EXPECT_FALSE(suggestions.PickerStart(Cp("Nobody"), Cp("Nothing"))) << "no suggestion";
  const auto start = suggestions.PickerStart(Cp("Kino"), Cp("Gruppa krovi"));
  ASSERT_TRUE(start);
  EXPECT_EQ(Utf(start->artist), "Кино");
  EXPECT_EQ(Utf(start->name), "Группа крови");
}

// A day with five suggested songs in the chosen hours 7 and 8 (one of them
// twice), one in hour 9 that is not chosen, and a song not in the base.
class AcceptAllTest : public ::testing::Test {
 protected:
  AcceptAllTest() {
    day.HourSetts[7] = true;
    day.HourSetts[8] = true;
    AddEntry(day, 7, "КИНО", "Группа крови", 0, "");
    AddEntry(day, 7, "Ария", "Беспечный  ангел", 0, "");
    AddEntry(day, 7, "Нет в базе", "Такой песни нет", 0, "");
    AddEntry(day, 8, "Queen", "Bohemian Rhapsdoy", 0, "");
    AddEntry(day, 8, "КИНО", "Группа крови", 0, "");
    AddEntry(day, 8, "", "Утреннее шоу!", 5, "");
    AddEntry(day, 8, "Сплин", "выхода нет", 0, "");
    AddEntry(day, 9, "чайф", "Аргентина - Ямайка 5:0", 0, "");
    suggestions.Compute(day, station.tables);
  }

  SuggestStation station;
  core::DayPlaylist day;
  DaySuggestions suggestions;
  ScriptedUi ui;
};

TEST_F(AcceptAllTest, NoChangesNothing) {
  ASSERT_EQ(CountSuggestions(day, suggestions), 5u);
  const core::DayPlaylist before = day;
  const db::FileStamp stamp = db::ParadoxTable::Stamp(station.paths.AssociationPath);
  ui.yesNo = {false};
  EXPECT_FALSE(AcceptAllSuggestionsClick(day, station.tables, suggestions, ui));
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0].rfind("Принять 5 предложений? ", 0), 0u) << ui.questions[0];
  EXPECT_TRUE(matched(day).empty());
  EXPECT_EQ(db::ParadoxTable::Stamp(station.paths.AssociationPath), stamp);
  EXPECT_TRUE(stationtest::FileLines(station.paths.AssociationPath).empty());
}

// How the table's change counters move with one write of one row.
std::uint32_t oneWrite() {
  SuggestStation station;
  const std::uint32_t before = db::ParadoxTable::Stamp(station.paths.AssociationPath).changeCounter;
  station.tables.Associations().Append({Cp("Кино"), Cp("Группа крови"), Cp("D:\\Music\\Kino.mp3")});
  return db::ParadoxTable::Stamp(station.paths.AssociationPath).changeCounter - before;
}

TEST_F(AcceptAllTest, YesTeachesEverySuggestionOfTheChosenHoursInOneWrite) {
  const std::uint32_t write = oneWrite();
  ASSERT_NE(write, 0u);
  const std::uint32_t counter = db::ParadoxTable::Stamp(station.paths.AssociationPath).changeCounter;
  ui.yesNo = {true};
  ASSERT_TRUE(AcceptAllSuggestionsClick(day, station.tables, suggestions, ui));
  EXPECT_EQ(db::ParadoxTable::Stamp(station.paths.AssociationPath).changeCounter - counter, write) << "one write";
  EXPECT_EQ(stationtest::FileLines(station.paths.AssociationPath),
            (std::vector<std::string>{"КИНО\tГруппа крови\tD:\\Music\\Kino.mp3",
                                      "Ария\tБеспечный  ангел\tD:\\Music\\Aria.mp3",
                                      "Queen\tBohemian Rhapsdoy\tD:\\Music\\Queen.mp3",
                                      "_JINGLES_\tУтреннее шоу!\tD:\\Jingles\\Morning.mp3",
                                      "Сплин\tвыхода нет\tD:\\Music\\Splin.mp3"}));
  // Every equal entry of the day is taught, hour 9's too, which had no
  // suggestion of its own; the song not in the base stays unmatched.
  EXPECT_EQ(matched(day), (std::vector<std::string>{"7/0=D:\\Music\\Kino.mp3", "7/1=D:\\Music\\Aria.mp3",
                                                    "8/0=D:\\Music\\Queen.mp3", "8/1=D:\\Music\\Kino.mp3",
                                                    "8/2=D:\\Jingles\\Morning.mp3", "8/3=D:\\Music\\Splin.mp3"}));
  EXPECT_EQ(CountSuggestions(day, suggestions), 0u);
  EXPECT_FALSE(AcceptAllSuggestionsClick(day, station.tables, suggestions, ui)) << "nothing left: no question";
  EXPECT_EQ(ui.questions.size(), 1u);
}

// The question names the number with the noun's Russian form.
TEST(AcceptAllQuestionTest, NamesHowMany) {
  struct Case {
    int lines;
    std::string_view start;
  };
  for (const Case& c : {Case{1, "Принять 1 предложение? "}, Case{3, "Принять 3 предложения? "}}) {
    SuggestStation station;
    core::DayPlaylist day;
    day.HourSetts[7] = true;
    const char* const titles[] = {"группа крови", "беспечный ангел", "выхода  нет"};
    const char* const artists[] = {"кино", "ария", "сплин"};
    for (int i = 0; i < c.lines; ++i) AddEntry(day, 7, artists[i], titles[i], 0, "");
    DaySuggestions suggestions;
    suggestions.Compute(day, station.tables);
    ScriptedUi ui;
    ui.yesNo = {false};
    AcceptAllSuggestionsClick(day, station.tables, suggestions, ui);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].rfind(c.start, 0), 0u) << ui.questions[0];
  }
}

}  // namespace
}  // namespace assoc
