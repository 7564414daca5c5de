#include "import/playlistimport.h"

#include <gtest/gtest.h>

#include "import/tests/pxtable.h"
#include "matching/tests/station.h"

namespace importing {
namespace {

using stationtest::Cp;
using stationtest::PrintTo;
using stationtest::ScriptedUi;
using stationtest::Station;

const core::TDateTime kFifth = core::EncodeDate(2016, 1, 5);

constexpr auto add = stationtest::AddEntry;

std::optional<std::vector<HourImport>> runImport(Station& station, const core::DayPlaylist& day, core::TDateTime date,
                                              int clearMode, ScriptedUi& ui) {
  const ImportContext ctx{day, station.setts, station.tables, date};
  auto report = SBImportClick(ctx, clearMode, ui);
  if (!report) return std::nullopt;
  return report->hours;
}

struct ShiftCase {
  std::string_view name;
  int shift;
  std::vector<std::string> slots;  // of source hours 0, 2, 20, 22, 23
};

class HourShiftTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(HourShiftTest, MovesHoursAcrossMidnight) {
  const ShiftCase& c = GetParam();
  Station station;
  station.setts.ShiftHour = c.shift;
  std::vector<std::vector<std::string>> songs;
  core::DayPlaylist day;
  for (int h : {0, 2, 20, 22, 23}) {
    const std::string name = "h" + std::to_string(h);
    songs.push_back(stationtest::SongRow("A", name, "C:\\m\\" + name + ".mp3"));
    add(day, h, "A", name, 0, "C:\\M\\H" + std::to_string(h) + ".MP3");  // upper case, as the check stores it
    day.HourSetts[static_cast<std::size_t>(h)] = true;
  }
  station.Songs(songs);
  station.PlayList();
  ScriptedUi ui;
  ASSERT_TRUE(runImport(station, day, kFifth, kClearHours, ui));
  EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath), c.slots);
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Импорт выполнен!"});
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, HourShiftTest,
    ::testing::Values(
        ShiftCase{"None", 0,
                  {"05.01.2016 0 0 h0", "05.01.2016 2 0 h2", "05.01.2016 20 0 h20", "05.01.2016 22 0 h22",
                   "05.01.2016 23 0 h23"}},
        ShiftCase{"Plus3", 3,
                  {"05.01.2016 3 0 h0", "05.01.2016 5 0 h2", "05.01.2016 23 0 h20", "06.01.2016 1 0 h22",
                   "06.01.2016 2 0 h23"}},
        ShiftCase{"Minus2", -2,
                  {"04.01.2016 22 0 h0", "05.01.2016 0 0 h2", "05.01.2016 18 0 h20", "05.01.2016 20 0 h22",
                   "05.01.2016 21 0 h23"}},
        ShiftCase{"Plus24", 24,
                  {"06.01.2016 0 0 h0", "06.01.2016 2 0 h2", "06.01.2016 20 0 h20", "06.01.2016 22 0 h22",
                   "06.01.2016 23 0 h23"}},
        ShiftCase{"Minus24", -24,
                  {"04.01.2016 0 0 h0", "04.01.2016 2 0 h2", "04.01.2016 20 0 h20", "04.01.2016 22 0 h22",
                   "04.01.2016 23 0 h23"}}),
    stationtest::CaseName());

struct ClearCase {
  std::string_view name;
  int mode;
  std::vector<std::string> slots;
  std::int32_t first;  // the number of the hour's first new row
};

class ClearModeTest : public ::testing::TestWithParam<ClearCase> {};

// Shift 3: source hour 4 goes to 5 January hour 7, source hour 9 (only
// unmatched entries) to hour 12. Of four entries of hour 4 the second's file
// is not in the song base and the fourth has none: two rows, numbered in turn.
TEST_P(ClearModeTest, ClearsThenNumbersAfterTheRowsLeft) {
  const ClearCase& c = GetParam();
  Station station;
  station.setts.ShiftHour = 3;
  station.Songs({stationtest::SongRow("A", "one", "C:\\m\\1.mp3"), stationtest::SongRow("A", "three", "C:\\m\\3.mp3")});
  station.PlayList({{"05.01.2016", "2", "0", "", "", "keep-2"},
                    {"05.01.2016", "3", "0", "", "", "old-3"},
                    {"05.01.2016", "7", "0", "", "", "old-7"},
                    {"05.01.2016", "7", "1", "", "", "old-7"},
                    {"05.01.2016", "7", "2", "", "", "old-7"},
                    {"05.01.2016", "7", "3", "", "", "old-7"},
                    {"05.01.2016", "7", "4", "", "", "old-7"},
                    {"05.01.2016", "8", "0", "", "", "old-8"},
                    {"05.01.2016", "12", "0", "", "", "old-12"},
                    {"06.01.2016", "2", "0", "", "", "next-2"},
                    {"06.01.2016", "3", "0", "", "", "keep-next-3"}});
  core::DayPlaylist day;
  add(day, 4, "A", "one", 0, "C:\\M\\1.MP3");
  add(day, 4, "A", "two", 0, "C:\\M\\2.MP3");
  add(day, 4, "A", "three", 0, "C:\\M\\3.MP3");
  add(day, 4, "A", "four", 0, "");
  add(day, 9, "B", "x", 0, "");
  add(day, 9, "B", "y", 5, "");
  add(day, 10, "A", "one", 0, "C:\\M\\1.MP3");  // not chosen
  day.HourSetts[4] = day.HourSetts[9] = true;
  ScriptedUi ui;
  const auto report = runImport(station, day, kFifth, c.mode, ui);
  ASSERT_TRUE(report);
  EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath), c.slots);
  ASSERT_EQ(report->size(), 2u);
  const HourImport& four = (*report)[0];
  EXPECT_EQ(four.hour, 4);
  EXPECT_EQ(four.target, (TargetSlot{kFifth, 7}));
  EXPECT_EQ(four.entries, 4);
  EXPECT_EQ(four.matched, 3);
  EXPECT_EQ(four.first, c.first);
  EXPECT_EQ(four.written, 2);
  EXPECT_EQ((*report)[1].written, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ClearModeTest,
    ::testing::Values(
        ClearCase{"Hours", kClearHours,
                  {"05.01.2016 2 0 keep-2", "05.01.2016 3 0 old-3", "05.01.2016 8 0 old-8", "06.01.2016 2 0 next-2",
                   "06.01.2016 3 0 keep-next-3", "05.01.2016 7 0 one", "05.01.2016 7 1 three"},
                  0},
        ClearCase{"Day", kClearDay,
                  {"05.01.2016 2 0 keep-2", "06.01.2016 3 0 keep-next-3", "05.01.2016 7 0 one",
                   "05.01.2016 7 1 three"},
                  0},
        ClearCase{"None", kClearNone,
                  {"05.01.2016 2 0 keep-2", "05.01.2016 3 0 old-3", "05.01.2016 7 0 old-7", "05.01.2016 7 1 old-7",
                   "05.01.2016 7 2 old-7", "05.01.2016 7 3 old-7", "05.01.2016 7 4 old-7", "05.01.2016 8 0 old-8",
                   "05.01.2016 12 0 old-12", "06.01.2016 2 0 next-2", "06.01.2016 3 0 keep-next-3",
                   "05.01.2016 7 5 one", "05.01.2016 7 6 three"},
                  5}),
    stationtest::CaseName());

// Every one of the 25 fields, read back by pxlib; the column the program does
// not know stays blank.
TEST(PlaylistImport, WritesSongAndJingleRowsFromTheirBases) {
  Station station;
  station.Songs({stationtest::SongRow("Артист", "Title", "C:\\m\\t.mp3", 3),
                 stationtest::SongRow("Other", "Second row", "C:\\m\\t.mp3", 4)});
  station.Jingles({stationtest::JingleRow("Top", "C:\\j\\top.wav", 2)});
  station.PlayList();
  core::DayPlaylist day;
  add(day, 7, "артист", "title", 0, "C:\\M\\T.MP3");
  add(day, 7, "Джингл", "Top", 5, "C:\\J\\TOP.WAV");
  day.HourSetts[7] = true;
  ScriptedUi ui;
  ASSERT_TRUE(runImport(station, day, kFifth, kClearHours, ui));

  const pxtest::Record song = {
      {"FDate", "05.01.2016"}, {"FHour", "7"}, {"FNumber", "0"}, {"FPath", "C:\\m\\t.mp3"}, {"FArtist", "Артист"},
      {"FName", "Title"}, {"FTime", "00:03:13"}, {"FIntro", "00:01:13"}, {"FOutro", "00:02:13"},
      {"FProtect", "00:04:13"}, {"FStartTime", "30.12.1899 00:00:13"}, {"FAbort", "00:05:13"},
      {"FFadeInLen", "00:06:13"}, {"FFadeOutLen", "00:07:13"}, {"FMixOut", "00:08:13"}, {"FMixIn", "00:09:13"},
      {"FStartVol", "3"}, {"FEndVol", "97"}, {"FNoAutoMix", "true"}, {"FType", "0"}, {"FCategory", "cat3"},
      {"FStyle", "style"}, {"FMood", "mood"}, {"FSex", "M"}, {"FLanguage", "ru"}, {"FPlayed", ""}};
  const pxtest::Record jingle = {
      {"FDate", "05.01.2016"}, {"FHour", "7"}, {"FNumber", "1"}, {"FPath", "C:\\j\\top.wav"}, {"FArtist", "Джингл"},
      {"FName", "Top"}, {"FTime", "00:00:03"}, {"FIntro", "00:00:00"}, {"FOutro", "00:00:00"},
      {"FProtect", "00:00:00"}, {"FStartTime", "30.12.1899 00:00:04"}, {"FAbort", "00:00:00"},
      {"FFadeInLen", "00:00:05"}, {"FFadeOutLen", "00:00:06"}, {"FMixOut", "00:00:07"}, {"FMixIn", "00:00:08"},
      {"FStartVol", "2"}, {"FEndVol", "52"}, {"FNoAutoMix", "false"}, {"FType", "5"}, {"FCategory", "Джингл"},
      {"FStyle", "Джингл"}, {"FMood", "Джингл"}, {"FSex", "Джингл"}, {"FLanguage", "Джингл"}, {"FPlayed", ""}};
  EXPECT_EQ(pxtest::ReadRecords(station.paths.PlayListPath), (std::vector<pxtest::Record>{song, jingle}));
}

TEST(PlaylistImport, RefusesAnEmptyDateBeforeClearing) {
  Station station;
  station.Songs({stationtest::SongRow("A", "B", "p.mp3")});
  station.PlayList({{"30.12.1899", "7", "0", "", "", "day zero"}, {"05.01.2016", "7", "0", "", "", "kept"}});
  core::DayPlaylist day;
  add(day, 7, "A", "B", 0, "p.mp3");
  day.HourSetts.fill(true);
  for (int mode : {kClearHours, kClearDay, kClearNone}) {
    ScriptedUi ui;
    EXPECT_FALSE(runImport(station, day, 0.0, mode, ui));
    EXPECT_EQ(ui.errors, std::vector<std::string>{"Укажите дату плейлиста!"});
    EXPECT_TRUE(ui.infos.empty());
  }
  EXPECT_EQ(pxtest::Slots(station.paths.PlayListPath),
            (std::vector<std::string>{"30.12.1899 7 0 day zero", "05.01.2016 7 0 kept"}));
}

TEST(PlaylistImport, MissingPlaylistEndsTheImportWithoutItsMessage) {
  Station station;
  station.Songs({stationtest::SongRow("A", "B", "p.mp3")});
  core::DayPlaylist day;
  add(day, 7, "A", "B", 0, "p.mp3");
  day.HourSetts[7] = true;
  ScriptedUi ui;
  EXPECT_THROW(runImport(station, day, kFifth, kClearNone, ui), db::Error);
  EXPECT_TRUE(ui.infos.empty());
}

}  // namespace
}  // namespace importing
