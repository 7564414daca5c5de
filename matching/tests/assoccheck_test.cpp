#include "matching/assoccheck.h"

#include <gtest/gtest.h>

#include "matching/tests/station.h"

namespace matching {
namespace {

using stationtest::Cp;
using stationtest::PrintTo;
using stationtest::Indicator;
using stationtest::ScriptedUi;
using stationtest::Station;
using stationtest::Utf;

const core::TDateTime kDate = core::EncodeDate(2016, 3, 1);

void add(core::DayPlaylist& day, int hour, std::string_view artist, std::string_view name, int kind,
         std::string_view path = {}) {
  core::AppendSong(day, hour, Cp(artist), Cp(name), kind);
  core::SetPath(day.Songs[static_cast<std::size_t>(hour)].back(), Cp(path));
}

std::vector<std::string> associationNames(const Station& station) {
  std::vector<std::string> names;
  for (const auto& line : stationtest::FileLines(station.paths.AssociationPath)) {
    names.push_back(line.substr(line.find('\t') + 1, line.rfind('\t') - line.find('\t') - 1));
  }
  return names;
}

// The path of a line: an association of the same artist and title (letter case
// ignored; "_JINGLES_" and the title for a jingle), else for a line without a
// path the song base (songs) or the jingle base by title (jingles), else what
// the line had. Only chosen hours are touched.
TEST(AssociationCheck, FillsPathsInOrderOfPrecedence) {
  Station station;
  station.Songs({stationtest::SongRow("Artist A", "Song A", "C:\\Music\\a.mp3"),
                 stationtest::SongRow("Artist B", "Song B", "C:\\Music\\b.mp3"),
                 stationtest::SongRow("Artist C", "Song C", "c:\\music\\c.mp3"),
                 stationtest::SongRow("Артист", "Песня", "D:\\Муз\\песня.mp3")});
  station.Jingles({stationtest::JingleRow("Top", "C:\\J\\top.wav"), stationtest::JingleRow("Plain", "C:\\J\\plain.wav")});
  station.Associations({{"artist a", "SONG A", "C:\\Assoc\\a2.mp3"},
                        {"_JINGLES_", "top", "C:\\Assoc\\top2.wav"},
                        {"_jingles_", "Hour", "C:\\Assoc\\hour.wav"},
                        {"Empty", "Path", ""}});
  core::DayPlaylist day;
  struct Line {
    std::string_view artist, name;
    int kind;
    std::string_view before, after;
  };
  const std::vector<Line> lines = {
      {"ARTIST A", "song a", 0, "", "C:\\ASSOC\\A2.MP3"},       // association beats the song base
      {"Artist B", "Song B", 0, "", "C:\\MUSIC\\B.MP3"},        // song base, stored in upper case
      {"artist c", "song c", 0, "", "C:\\MUSIC\\C.MP3"},        // song base, letter case ignored
      {"артист", "ПЕСНЯ", 0, "", "D:\\МУЗ\\ПЕСНЯ.MP3"},         // Cyrillic letter case too
      {"Nobody", "Nothing", 0, "keep.mp3", "keep.mp3"},         // nothing found: the path stays
      {"Empty", "Path", 0, "old.mp3", ""},                      // an association's empty path wins
      {"Artist B", "Song B", 0, "earlier.mp3", "earlier.mp3"},  // the base fills only empty paths
      {"", "TOP", 5, "", "C:\\ASSOC\\TOP2.WAV"},                // jingle association beats Jingles.db
      {"Джингл", "hour", 5, "", "C:\\ASSOC\\HOUR.WAV"},        // marker case ignored, artist unused
      {"", "PLAIN", 5, "", "C:\\J\\PLAIN.WAV"},                 // jingle base by title
      {"", "Song B", 5, "", ""},                                // jingles are not looked up as songs
      {"", "Top", 0, "", ""},                                   // songs are not looked up as jingles
  };
  for (const Line& l : lines) add(day, 7, l.artist, l.name, l.kind, l.before);
  add(day, 9, "Artist A", "Song A", 0);  // not chosen
  day.HourSetts[7] = true;

  ScriptedUi ui;
  EXPECT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui, StaleRows::Keep));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(Utf(day.Songs[7][i].Path), lines[i].after) << lines[i].artist << " - " << lines[i].name;
  }
  EXPECT_EQ(day.Songs[9][0].Path, "");
  EXPECT_TRUE(ui.questions.empty());
}

struct StaleCase {
  std::string_view name;
  StaleRows mode;
  std::vector<Answer> answers;
  std::size_t questions;
  std::vector<std::string> left;  // FName of the rows left, in stored order
};

class StaleRowsTest : public ::testing::TestWithParam<StaleCase> {};

// Rows: a live song, stale "One", a song live only when paths are compared
// without regard to letter case, stale "Two", a live jingle with its path in
// other letters, two stale jingles (empty artist and marker), and a row whose
// artist is the marker in small letters, which counts as a (stale) song.
TEST_P(StaleRowsTest, AsksForEachStaleRowAndRemembersAllAnswersAcrossBothPasses) {
  const StaleCase& c = GetParam();
  Station station;
  station.Songs({stationtest::SongRow("Artist A", "Song A", "C:\\Music\\a.mp3"),
                 stationtest::SongRow("Artist C", "Song C", "c:\\music\\c.mp3")});
  station.Jingles({stationtest::JingleRow("Top", "C:\\J\\Top.wav"), stationtest::JingleRow("Hour", "C:\\J\\hour.wav")});
  station.Associations({{"Artist A", "Song A", "C:\\Music\\a.mp3"},
                        {"Gone", "One", "C:\\Gone\\1.mp3"},
                        {"Artist C", "Song C", "C:\\MUSIC\\C.MP3"},
                        {"Gone", "Two", "C:\\Gone\\2.mp3"},
                        {"_JINGLES_", "Top", "c:\\j\\TOP.wav"},
                        {"", "Old jingle", "C:\\J\\old.wav"},
                        {"_JINGLES_", "Older", "C:\\J\\older.wav"},
                        {"_jingles_", "Hour", "C:\\J\\hour.wav"}});
  ScriptedUi ui;
  ui.batch.assign(c.answers.begin(), c.answers.end());
  core::DayPlaylist day;
  EXPECT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui, c.mode));
  EXPECT_EQ(ui.questions.size(), c.questions);
  EXPECT_EQ(associationNames(station), c.left);
}

const std::vector<std::string> kAllRows = {"Song A", "One", "Song C", "Two", "Top", "Old jingle", "Older", "Hour"};

INSTANTIATE_TEST_SUITE_P(
    Answers, StaleRowsTest,
    ::testing::Values(
        StaleCase{"YesAndNoAskEveryTime", StaleRows::Ask,
                  {Answer::Yes, Answer::No, Answer::Yes, Answer::No, Answer::Yes}, 5,
                  {"Song A", "Song C", "Two", "Top", "Old jingle"}},
        StaleCase{"YesToAllDeletesJinglesToo", StaleRows::Ask, {Answer::YesToAll}, 1, {"Song A", "Song C", "Top"}},
        StaleCase{"NoToAllKeepsJinglesToo", StaleRows::Ask, {Answer::NoToAll}, 1, kAllRows},
        StaleCase{"NoThenYesToAll", StaleRows::Ask, {Answer::No, Answer::YesToAll}, 2,
                  {"Song A", "One", "Song C", "Top"}},
        StaleCase{"NoToAllInTheJinglePass", StaleRows::Ask, {Answer::Yes, Answer::Yes, Answer::No, Answer::NoToAll}, 4,
                  {"Song A", "Song C", "Top", "Old jingle", "Older", "Hour"}},
        StaleCase{"ClosedBoxKeeps", StaleRows::Ask, std::vector<Answer>(5, Answer::Cancel), 5, kAllRows},
        StaleCase{"KeepWithoutAsking", StaleRows::Keep, {}, 0, kAllRows},
        StaleCase{"DeleteWithoutAsking", StaleRows::Delete, {}, 0, {"Song A", "Song C", "Top"}}),
    stationtest::CaseName());

TEST(AssociationCheck, StaleQuestionsNameTheRow) {
  Station station;
  station.Songs({});
  station.Jingles({});
  station.Associations({{"Gone", "One", "x"}, {"", "Старый", "y"}, {"_JINGLES_", "Old", "z"}});
  ScriptedUi ui;
  ui.batch = {Answer::No, Answer::No, Answer::No};
  core::DayPlaylist day;
  EXPECT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui));
  EXPECT_EQ(ui.questions, (std::vector<std::string>{
                              "Соответствие для Gone One не найдено. Удалить запись соответствия?",
                              "Соответствие для джингла Старый не найдено. Удалить запись соответствия?",
                              "Соответствие для джингла Old не найдено. Удалить запись соответствия?"}));
  // A second run asks again about what the first kept.
  ui.batch = {Answer::NoToAll};
  EXPECT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui));
  EXPECT_EQ(ui.questions.size(), 4u);
}

struct GateCase {
  std::string_view name;
  bool songBase;
  bool associations;
  std::deque<bool> createAnswers;
  core::TDateTime date;
  bool result;
  std::vector<std::string> errors;
  bool associationAfter;
};

class CheckGateTest : public ::testing::TestWithParam<GateCase> {};

// CheckBase runs first and its refusals stop the run silently; then the date;
// the panel shows only once both passed.
TEST_P(CheckGateTest, StopsBeforeOpeningATable) {
  const GateCase& c = GetParam();
  Station station;
  if (c.songBase) station.Songs({});
  if (c.associations) station.Associations({});
  ScriptedUi ui;
  ui.yesNo = c.createAnswers;
  core::DayPlaylist day;
  EXPECT_EQ(SBCheckClick(day, station.setts, station.tables, c.date, ui), c.result);
  EXPECT_EQ(ui.errors, c.errors);
  EXPECT_EQ(ui.questions.size(), c.createAnswers.size());
  EXPECT_EQ(std::filesystem::exists(core::FsPath(station.paths.AssociationPath)), c.associationAfter);
  EXPECT_EQ(ui.indicators.empty(), !c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckGateTest,
    ::testing::Values(
        GateCase{"NoSongBase", false, false, {}, kDate, false, {"Не найдена база песен!"}, false},
        GateCase{"CreationRefused", true, false, {false}, kDate, false, {}, false},
        GateCase{"EmptyDateAfterCreation", true, false, {true}, 0.0, false, {"Укажите дату плейлиста!"}, true},
        GateCase{"FourthOfJanuary", true, true, {}, core::EncodeDate(2016, 1, 4), false,
                 {"Укажите дату плейлиста!"}, true},
        GateCase{"FifthOfJanuary", true, true, {}, core::EncodeDate(2016, 1, 5), true, {}, true}),
    stationtest::CaseName());

class ProgressTest : public ::testing::TestWithParam<bool> {};

// 30 rows of which the first 5 are deleted: the stale passes report every 10
// kept rows against the rows left (25), the fills once per chosen hour.
TEST_P(ProgressTest, ReportsEachPhase) {
  const bool useJingle = GetParam();
  Station station;
  station.setts.Use_Jingle = useJingle;
  station.Songs({stationtest::SongRow("A", "B", "p.mp3")});
  station.Jingles({});
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 30; ++i) rows.push_back({"A", std::to_string(i), i < 5 ? "gone.mp3" : "P.MP3"});
  station.Associations(rows);
  core::DayPlaylist day;
  for (int h : {0, 7, 23}) day.HourSetts[static_cast<std::size_t>(h)] = true;
  ScriptedUi ui;
  ASSERT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui, StaleRows::Delete));

  std::vector<Indicator> expected = {{"Открытие баз данных", 0, 0},
                                     {"Проверка базы песен и базы соответствия", 0, 10},
                                     {"", 40, 10},
                                     {"", 80, 10},
                                     {"Проверка базы джинглов и базы соответствия", 0, 10},
                                     {"", 40, 10},
                                     {"", 80, 10},
                                     {"Загрузка соответствий", 0, 50},
                                     {"Загрузка соответствий", 29, 50},
                                     {"Загрузка соответствий", 95, 50},
                                     {"Загрузка путей из базы песен", 0, 70},
                                     {"", 0, -1},
                                     {"", 29, -1},
                                     {"", 95, -1}};
  if (useJingle) {
    for (int p : {0, 29, 95}) expected.push_back({"Загрузка джинглов", p, -1});
  }
  expected.push_back({"", -1, 0});
  EXPECT_EQ(ui.indicators, expected);
}

INSTANTIATE_TEST_SUITE_P(JingleRecognition, ProgressTest, ::testing::Bool());

// With jingle recognition off the station may have no Jingles.db: the check
// then leaves jingle rows alone and still fills jingles from associations.
TEST(AssociationCheck, RunsWithoutJingleBase) {
  Station station;
  station.Songs({stationtest::SongRow("A", "B", "C:\\a.mp3")});
  station.Associations({{"_JINGLES_", "Top", "C:\\J\\top.wav"}, {"Gone", "One", "x"}});
  core::DayPlaylist day;
  add(day, 3, "", "top", 5);
  add(day, 3, "", "Other", 5);
  add(day, 3, "a", "b", 0);
  day.HourSetts[3] = true;
  ScriptedUi ui;
  ui.batch = {Answer::YesToAll};
  EXPECT_TRUE(SBCheckClick(day, station.setts, station.tables, kDate, ui));
  EXPECT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(associationNames(station), std::vector<std::string>{"Top"});
  EXPECT_EQ(Utf(day.Songs[3][0].Path), "C:\\J\\TOP.WAV");
  EXPECT_EQ(day.Songs[3][1].Path, "");
  EXPECT_EQ(Utf(day.Songs[3][2].Path), "C:\\A.MP3");
}

TEST(AssociationCheck, TableErrorEndsTheRunAndHidesThePanel) {
  Station station;
  stationtest::MakeTable(station.paths.BaseSongPath, "FArtist Char(64), FName Char(64)");
  station.Associations({});
  ScriptedUi ui;
  core::DayPlaylist day;
  EXPECT_THROW(SBCheckClick(day, station.setts, station.tables, kDate, ui), db::Error);
  ASSERT_FALSE(ui.indicators.empty());
  EXPECT_EQ(ui.indicators.back(), (Indicator{"", -1, 0}));
}

}  // namespace
}  // namespace matching
