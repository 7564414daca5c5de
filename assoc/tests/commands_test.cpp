#include "assoc/commands.h"

#include <gtest/gtest.h>

#include <functional>

#include "matching/tests/station.h"

namespace assoc {
namespace {

using matching::OperatorUi;
using stationtest::Cp;
using stationtest::PrintTo;
using stationtest::ScriptedUi;
using stationtest::Utf;

using Command = bool (*)(core::DayPlaylist&, int, int, db::Station&, OperatorUi&);

// A day with look-alike entries. Hour 7 is chosen, hour 9 not.
//   7: 0 song A-B, 1 song a-B, 2 jingle J, 3 jingle Джингл/J, 4 song A-B X.MP3
//   9: 0 song A-B, 1 jingle J, 2 song A-B Y.MP3, 3 jingle A-B, 4 song A-B X.MP3
class CommandTest : public ::testing::Test {
 protected:
  CommandTest() {
    station.Associations({{"A", "B", "x.mp3"}, {"A", "B", "Y.MP3"}, {"A", "C", "X.MP3"}});
    add(7, "A", "B", 0);
    add(7, "a", "B", 0);
    add(7, "", "J", 5);
    add(7, "Джингл", "J", 5);
    add(7, "A", "B", 0, "X.MP3");
    add(9, "A", "B", 0);
    add(9, "", "J", 5);
    add(9, "A", "B", 0, "Y.MP3");
    add(9, "A", "B", 5);
    add(9, "A", "B", 0, "X.MP3");
    day.HourSetts[7] = true;
  }

  void add(int hour, std::string_view artist, std::string_view name, int kind, std::string_view path = {}) {
    core::AppendSong(day, hour, Cp(artist), Cp(name), kind);
    core::SetPath(day.Songs[static_cast<std::size_t>(hour)].back(), Cp(path));
  }

  bool run(Command command, int hour, int index) { return command(day, hour, index, station.tables, ui); }

  // "hour/index=path" for every matched entry.
  std::vector<std::string> matched() const {
    std::vector<std::string> out;
    for (int h = 0; h < core::kHours; ++h) {
      const auto& list = day.Songs[static_cast<std::size_t>(h)];
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].matched()) out.push_back(std::to_string(h) + "/" + std::to_string(i) + "=" + Utf(list[i].Path));
      }
    }
    return out;
  }

  std::vector<std::string> associations() const { return stationtest::FileLines(station.paths.AssociationPath); }

  stationtest::Station station;
  core::DayPlaylist day;
  ScriptedUi ui;
  const std::vector<std::string> before = {"7/4=X.MP3", "9/2=Y.MP3", "9/4=X.MP3"};
  const std::vector<std::string> rowsBefore = {"A\tB\tx.mp3", "A\tB\tY.MP3", "A\tC\tX.MP3"};
};

struct NoEntryCase {
  std::string_view name;
  Command command;
};

class NoEntryTest : public CommandTest, public ::testing::WithParamInterface<NoEntryCase> {};

// The header row (index -1), a row below the last entry and an empty hour.
TEST_P(NoEntryTest, DoesNothingWithoutASelectedEntry) {
  for (const auto& [hour, index] : std::vector<std::pair<int, int>>{{7, -1}, {7, 5}, {3, 0}, {24, 0}}) {
    EXPECT_FALSE(run(GetParam().command, hour, index)) << hour << "/" << index;
  }
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_TRUE(ui.pickerCalls.empty());
  EXPECT_TRUE(ui.errors.empty());
  EXPECT_EQ(matched(), before);
  EXPECT_EQ(day.Songs[7].size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Commands, NoEntryTest,
                         ::testing::Values(NoEntryCase{"SetAss", SetAssClick}, NoEntryCase{"SetDayChange", SetDayChangeClick},
                                           NoEntryCase{"SetChange", SetChangeClick}, NoEntryCase{"DelAss", DelAssClick},
                                           NoEntryCase{"DelOnList", DelOnListClick}),
                         stationtest::CaseName());

TEST_F(CommandTest, TeachingASongMatchesEveryEqualSongOfTheDayAndAppendsARow) {
  ui.picks = {"C:\\Music\\b.mp3"};
  EXPECT_TRUE(run(SetAssClick, 7, 0));
  EXPECT_TRUE(ui.questions.empty());
  ASSERT_EQ(ui.pickerCalls.size(), 1u);
  EXPECT_FALSE(ui.pickerCalls[0].jingle);
  EXPECT_EQ(ui.pickerCalls[0].table, Utf(station.paths.BaseSongPath));
  EXPECT_EQ(ui.pickerCalls[0].prefix, "Назначение соспоставлений");
  EXPECT_EQ(ui.pickerCalls[0].artist, "A");
  // a-B differs in letter case; the jingle A-B is not a song; matched ones are replaced.
  EXPECT_EQ(matched(), (std::vector<std::string>{"7/0=C:\\Music\\b.mp3", "7/4=C:\\Music\\b.mp3", "9/0=C:\\Music\\b.mp3",
                                                 "9/2=C:\\Music\\b.mp3", "9/4=C:\\Music\\b.mp3"}));
  auto rows = rowsBefore;
  rows.push_back("A\tB\tC:\\Music\\b.mp3");
  EXPECT_EQ(associations(), rows);
}

TEST_F(CommandTest, TeachingAJingleMatchesJinglesWithoutAnArtist) {
  ui.picks = {"C:\\J\\j.wav", "C:\\J\\k.wav"};
  EXPECT_TRUE(run(SetAssClick, 7, 2));
  ASSERT_EQ(ui.pickerCalls.size(), 1u);
  EXPECT_TRUE(ui.pickerCalls[0].jingle);
  EXPECT_EQ(ui.pickerCalls[0].table, Utf(station.paths.JinglesPath));
  EXPECT_EQ(ui.pickerCalls[0].prefix, "Назначение соспоставления");
  EXPECT_EQ(ui.pickerCalls[0].name, "J");
  auto expected = before;
  expected.insert(expected.begin(), "7/2=C:\\J\\j.wav");
  expected.insert(expected.begin() + 2, "9/1=C:\\J\\j.wav");
  EXPECT_EQ(matched(), expected);
  // Taught from a jingle that carries an artist, the file goes to the jingles
  // of that name without an artist, not to the selected one.
  EXPECT_TRUE(run(SetAssClick, 7, 3));
  EXPECT_EQ(matched(), (std::vector<std::string>{"7/2=C:\\J\\k.wav", "7/4=X.MP3", "9/1=C:\\J\\k.wav", "9/2=Y.MP3",
                                                 "9/4=X.MP3"}));
  auto rows = rowsBefore;
  rows.push_back("_JINGLES_\tJ\tC:\\J\\j.wav");
  rows.push_back("_JINGLES_\tJ\tC:\\J\\k.wav");
  EXPECT_EQ(associations(), rows);
}

TEST_F(CommandTest, ReplacingAMatchAsksFirst) {
  ui.yesNo = {false, true};
  ui.picks = {""};
  EXPECT_FALSE(run(SetAssClick, 7, 4));  // No
  EXPECT_TRUE(ui.pickerCalls.empty());
  EXPECT_FALSE(run(SetAssClick, 7, 4));  // Yes, then the picker is cancelled
  EXPECT_EQ(ui.questions, std::vector<std::string>(2, "Файл уже имеет сопоставление. Заменить ?"));
  EXPECT_EQ(ui.pickerCalls.size(), 1u);
  EXPECT_EQ(matched(), before);
  EXPECT_EQ(associations(), rowsBefore);
}

TEST_F(CommandTest, AssigningForTheDayFillsOnlyUnmatchedEqualEntriesOfAnyKind) {
  ui.picks = {"N.mp3"};
  EXPECT_TRUE(run(SetDayChangeClick, 7, 4));
  EXPECT_EQ(ui.pickerCalls.at(0).prefix, "Сопоставить на день ");
  EXPECT_EQ(matched(), (std::vector<std::string>{"7/0=N.mp3", "7/4=X.MP3", "9/0=N.mp3", "9/2=Y.MP3", "9/3=N.mp3",
                                                 "9/4=X.MP3"}));
  EXPECT_EQ(associations(), rowsBefore);
}

TEST_F(CommandTest, AssigningThisTimeReplacesTheSelectedEntryAlone) {
  ui.picks = {"N.mp3"};
  EXPECT_TRUE(run(SetChangeClick, 7, 4));
  EXPECT_TRUE(ui.questions.empty());
  EXPECT_EQ(ui.pickerCalls.at(0).prefix, "Заменить файл в плейлисте");
  EXPECT_EQ(matched(), (std::vector<std::string>{"7/4=N.mp3", "9/2=Y.MP3", "9/4=X.MP3"}));
  EXPECT_EQ(associations(), rowsBefore);
}

TEST_F(CommandTest, SongOnlyCommandsRefuseJingles) {
  core::SetPath(day.Songs[7][2], "J.WAV");
  for (Command command : {SetDayChangeClick, SetChangeClick, DelAssClick}) EXPECT_FALSE(run(command, 7, 2));
  EXPECT_EQ(ui.errors, std::vector<std::string>(3, "Джинглы не имеют сопоставления."));
  EXPECT_TRUE(ui.pickerCalls.empty());
  EXPECT_TRUE(ui.questions.empty());
}

TEST_F(CommandTest, RemovingAMatchEmptiesEqualEntriesAndDeletesEqualRows) {
  EXPECT_FALSE(run(DelAssClick, 7, 0));  // unmatched: no question
  ui.yesNo = {false, true};
  EXPECT_FALSE(run(DelAssClick, 7, 4));
  EXPECT_EQ(matched(), before);
  EXPECT_TRUE(run(DelAssClick, 7, 4));
  EXPECT_EQ(ui.questions,
            std::vector<std::string>(2, "Вы действительно хотите снять сопоставление для этого файла ?"));
  EXPECT_EQ(matched(), std::vector<std::string>{"9/2=Y.MP3"});
  // The table compares texts without regard to letter case: x.mp3 goes too.
  EXPECT_EQ(associations(), (std::vector<std::string>{"A\tB\tY.MP3", "A\tC\tX.MP3"}));
}

TEST_F(CommandTest, RemovingAMatchWhosePathHoldsAQuote) {
  stationtest::AppendRows(station.paths.AssociationPath, {{"A", "B", "C:\\\"q\".mp3"}});
  core::SetPath(day.Songs[7][0], "C:\\\"q\".mp3");
  ui.yesNo = {true};
  EXPECT_TRUE(run(DelAssClick, 7, 0));
  EXPECT_EQ(associations(), rowsBefore);
}

TEST_F(CommandTest, DeletingFromThePlaylistRemovesOneEntry) {
  ui.yesNo = {false, true};
  EXPECT_FALSE(run(DelOnListClick, 7, 1));
  EXPECT_TRUE(run(DelOnListClick, 7, 1));
  EXPECT_EQ(ui.questions, std::vector<std::string>(2, "Вы действительно хотите удалить файл из плейлиста ?"));
  ASSERT_EQ(day.Songs[7].size(), 4u);
  EXPECT_EQ(day.Songs[7][1].Name, "J");
  EXPECT_TRUE(day.HourSetts[7]);
  EXPECT_EQ(associations(), rowsBefore);
}

TEST_F(CommandTest, DatabaseFailureKeepsTheDayChangesMadeBeforeIt) {
  std::filesystem::remove(core::FsPath(station.paths.AssociationPath));
  db::TableCache::Clear();
  ui.picks = {"N.mp3"};
  EXPECT_THROW(run(SetAssClick, 7, 0), db::Error);
  EXPECT_EQ(Utf(day.Songs[7][0].Path), "N.mp3");
}

}  // namespace
}  // namespace assoc
