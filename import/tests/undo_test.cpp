// Undo of imports and the import's checks before it writes: the playlist, as
// pxlib reads it, is back as it was after an undo in every clear mode; an undo
// that would lose another program's rows, or that rests on a damaged record,
// changes nothing; a value the table cannot hold stops the import before the
// first byte is written.
#include "import/undo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "db/paradox/journal.h"
#include "db/stationlock.h"
#include "import/jingles.h"
#include "import/tests/pxtable.h"
#include "matching/tests/station.h"

namespace importing {
namespace {

using stationtest::Cp;
using stationtest::ScriptedUi;
using stationtest::Station;

const core::TDateTime kFifth = core::EncodeDate(2016, 1, 5);

constexpr auto add = stationtest::AddEntry;

std::vector<pxtest::Record> sorted(std::vector<pxtest::Record> records) {
  std::sort(records.begin(), records.end());
  return records;
}

std::string bytesOf(const std::string& path) {
  std::ifstream in(core::FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A station whose playlist already holds rows around 5 January, every one
// with the column the program does not know (FPlayed) set, so that undo must
// bring back what it never writes itself.
struct Fixture {
  Station station;
  core::DayPlaylist day;

  explicit Fixture(int shift = 0) {
    station.setts.ShiftHour = shift;
    station.tables.SetPaths(station.setts);
    station.Songs({stationtest::SongRow("A", "one", "C:\\m\\1.mp3", 1), stationtest::SongRow("A", "two", "C:\\m\\2.mp3", 2)});
    station.Jingles({stationtest::JingleRow("Top", "C:\\j\\top.wav", 3)});
    std::vector<std::vector<std::string>> rows;
    for (const char* date : {"04.01.2016", "05.01.2016", "06.01.2016"}) {
      for (int hour : {0, 1, 2, 22, 23}) {
        for (int n = 0; n < 2; ++n) {
          std::vector<std::string> row = {date, std::to_string(hour), std::to_string(n), "old.mp3", "Old", "old"};
          row.resize(26);
          row[25] = "True";  // FPlayed
          rows.push_back(row);
        }
      }
    }
    station.PlayList(rows);
    for (int h : {0, 1, 22, 23}) {
      add(day, h, "A", "one", 0, "C:\\M\\1.MP3");
      add(day, h, "A", "two", 0, "C:\\M\\2.MP3");
      add(day, h, "Nobody", "lost", 0, "");
      day.HourSetts[static_cast<std::size_t>(h)] = true;
    }
    // Placed jingles, as the placement dialog puts them.
    InsertJingles(day, JingleChoice{{{Cp("Top"), "C:\\j\\top.wav"}}, 2}, SeededRandom(1));
  }

  std::string playlist() const { return station.paths.PlayListPath; }

  std::optional<ImportReport> import(int mode, ScriptedUi& ui, ImportRun run = {}) {
    db::TableCache::Clear();
    const ImportContext ctx{day, station.setts, station.tables, kFifth};
    return SBImportClick(ctx, mode, ui, run);
  }

  std::optional<UndoReport> undo(ScriptedUi& ui) {
    db::TableCache::Clear();
    return UndoLastImport(station.tables, ui, false);
  }
};

struct RoundTrip {
  const char* name;
  int mode;
  int shift;
};

class UndoRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Every clear mode, with the hours moved across midnight both ways: the
// import changes the playlist, the undo brings back every row, every column.
TEST_P(UndoRoundTrip, PutsBackEveryRowAsItWas) {
  Fixture f(GetParam().shift);
  const auto before = sorted(pxtest::ReadRecords(f.playlist()));
  ScriptedUi ui;
  const auto report = f.import(GetParam().mode, ui);
  ASSERT_TRUE(report);
  EXPECT_EQ(report->appended, 13);  // eight songs and five placed jingles
  ASSERT_NE(sorted(pxtest::ReadRecords(f.playlist())), before);
  EXPECT_TRUE(CanUndo(f.station.tables));

  const auto undone = f.undo(ui);
  ASSERT_TRUE(undone) << (ui.errors.empty() ? "" : ui.errors.back());
  EXPECT_EQ(undone->removed, 13);
  EXPECT_EQ(undone->restored, report->removed);
  EXPECT_EQ(sorted(pxtest::ReadRecords(f.playlist())), before);
  EXPECT_FALSE(CanUndo(f.station.tables));
  EXPECT_EQ(ui.infos.back(), "Импорт отменён.");
}

INSTANTIATE_TEST_SUITE_P(Modes, UndoRoundTrip,
                         ::testing::Values(RoundTrip{"Hours", kClearHours, 0}, RoundTrip{"HoursPlus3", kClearHours, 3},
                                           RoundTrip{"DayMinus2", kClearDay, -2}, RoundTrip{"DayPlus3", kClearDay, 3},
                                           RoundTrip{"NonePlus24", kClearNone, 24},
                                           RoundTrip{"NoneMinus3", kClearNone, -3}),
                         stationtest::CaseName());

// Repeating undo steps further back, then there is nothing left.
TEST(Undo, StepsBackImportByImport) {
  Fixture f;
  const auto original = sorted(pxtest::ReadRecords(f.playlist()));
  ScriptedUi ui;
  ASSERT_TRUE(f.import(kClearNone, ui));
  const auto afterFirst = sorted(pxtest::ReadRecords(f.playlist()));
  ASSERT_TRUE(f.import(kClearHours, ui));
  ASSERT_EQ(ImportHistory(f.station.tables).size(), 2u);

  ASSERT_TRUE(f.undo(ui));
  EXPECT_EQ(sorted(pxtest::ReadRecords(f.playlist())), afterFirst);
  ASSERT_TRUE(f.undo(ui));
  EXPECT_EQ(sorted(pxtest::ReadRecords(f.playlist())), original);

  const std::string bytes = bytesOf(f.playlist());
  ui.errors.clear();
  EXPECT_FALSE(f.undo(ui));
  EXPECT_EQ(ui.errors, std::vector<std::string>{"Нет импорта, который можно отменить."});
  EXPECT_EQ(bytesOf(f.playlist()), bytes);
  const auto history = ImportHistory(f.station.tables);
  ASSERT_EQ(history.size(), 2u);
  EXPECT_TRUE(history[0].undone && history[1].undone);
  EXPECT_GT(history[0].sequence, history[1].sequence);
}

// Only the last imports are kept.
TEST(Undo, KeepsTheLastTenImports) {
  Fixture f;
  ScriptedUi ui;
  for (std::size_t i = 0; i < kKeptImports + 2; ++i) ASSERT_TRUE(f.import(kClearHours, ui));
  const auto history = ImportHistory(f.station.tables);
  ASSERT_EQ(history.size(), kKeptImports);
  EXPECT_EQ(history.front().sequence, static_cast<int>(kKeptImports) + 2);
  EXPECT_EQ(history.back().sequence, 3);
}

// Another program changed the hours of the import: undo refuses and
// changes nothing, for an added row, a removed one and a changed one.
TEST(Undo, RefusesWhenTheImportedHoursChangedSince) {
  const std::vector<std::function<void(const std::string&)>> changes = {
      [](const std::string& path) { stationtest::AppendRows(path, {{"05.01.2016", "22", "9", "x.mp3", "X", "new"}}); },
      [](const std::string& path) {
        db::Table t(path);
        t.Open();
        while (!t.Eof() && !(t.FieldAsInteger("FHour") == 23 && t.FieldAsString("FDate") == "05.01.2016")) t.Next();
        ASSERT_FALSE(t.Eof());
        t.Delete();
      },
      [](const std::string& path) {
        db::Query q;
        q.Add("UPDATE " + db::Quoted(path) + " SET FName=\"edited\" WHERE FDate=\"05.01.2016\" AND FHour=0");
        q.ExecSQL();
      },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    Fixture f;
    ScriptedUi ui;
    ASSERT_TRUE(f.import(kClearHours, ui));
    db::TableCache::Clear();
    changes[i](f.playlist());
    db::TableCache::Clear();
    const std::string bytes = bytesOf(f.playlist());
    EXPECT_FALSE(f.undo(ui));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0].rfind("Строки плейлиста в часах этого импорта изменились после него", 0), 0u) << ui.errors[0];
    EXPECT_EQ(bytesOf(f.playlist()), bytes);
    EXPECT_TRUE(CanUndo(f.station.tables));
  }
}

// A record torn or flipped on the disk, or one that belongs to another
// station, is never applied.
TEST(Undo, RefusesADamagedRecordOrOneOfAnotherStation) {
  Fixture f;
  ScriptedUi ui;
  ASSERT_TRUE(f.import(kClearHours, ui));
  const std::string record = ImportHistory(f.station.tables).front().file;
  const std::string good = bytesOf(record);
  const std::string bytes = bytesOf(f.playlist());

  Fixture other;
  ASSERT_TRUE(other.import(kClearDay, ui));
  const std::string foreign = bytesOf(ImportHistory(other.station.tables).front().file);

  const std::vector<std::pair<const char*, std::string>> damages = {
      {"a flipped byte", [&] { std::string b = good; b[b.size() / 2] ^= 0x20; return b; }()},
      {"torn", good.substr(0, good.size() - 7)},
      {"empty", ""},
      {"another station's", foreign},
  };
  for (const auto& [what, damaged] : damages) {
    SCOPED_TRACE(what);
    {
      std::ofstream out(core::FsPath(record), std::ios::binary | std::ios::trunc);
      out << damaged;
    }
    ui.errors.clear();
    EXPECT_FALSE(f.undo(ui));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_NE(ui.errors[0].find("повреждена или относится к другой станции"), std::string::npos) << ui.errors[0];
    EXPECT_EQ(bytesOf(f.playlist()), bytes);
    EXPECT_TRUE(ImportHistory(f.station.tables).front().damaged);
  }
}

// The record cannot be written (its folder's name is taken by a file): the
// import stands, and says that it cannot be undone.
TEST(Undo, AnImportWhoseRecordCannotBeKeptStillEndsAndSaysSo) {
  Fixture f;
  std::ofstream(core::FsPath(UndoFolder(f.station.tables))) << "not a folder";
  const std::string before = bytesOf(f.playlist());
  struct Done : ScriptedUi {
    std::string informative;
    void showDone(const std::string& text, const std::string& more) override {
      showInfo(text);
      informative = stationtest::Utf(more);
    }
  } ui;
  ASSERT_TRUE(f.import(kClearHours, ui));
  EXPECT_EQ(ui.infos, std::vector<std::string>{"Импорт выполнен!"});
  EXPECT_NE(ui.informative.find("Отменить этот импорт будет нельзя"), std::string::npos) << ui.informative;
  EXPECT_NE(bytesOf(f.playlist()), before);
  EXPECT_FALSE(CanUndo(f.station.tables));
}

// The song base holds a volume the playlist's field cannot: the import stops
// before the first byte changes, although the first hour was fine.
TEST(ImportChecks, AValueOutOfRangeStopsTheImportBeforeAnyWrite) {
  Fixture f;
  std::filesystem::remove(core::FsPath(f.station.paths.BaseSongPath));
  std::string columns(stationtest::kSongColumns);
  columns.replace(columns.find("FStartVol SMALLINT, FEndVol SMALLINT"), 36, "FStartVol INTEGER, FEndVol INTEGER");
  db::TableCache::Clear();
  stationtest::MakeTable(f.station.paths.BaseSongPath, columns,
                         {stationtest::SongRow("A", "one", "C:\\m\\1.mp3", 1),
                          stationtest::SongRow("A", "two", "C:\\m\\2.mp3", 70000)});
  const std::string bytes = bytesOf(f.playlist());
  ScriptedUi ui;
  EXPECT_THROW(f.import(kClearHours, ui), db::Error);
  EXPECT_EQ(bytesOf(f.playlist()), bytes);
  EXPECT_TRUE(ImportHistory(f.station.tables).empty());
  EXPECT_FALSE(std::filesystem::exists(core::FsPath(db::paradox::JournalPath(f.playlist()))));
}

TEST(ImportChecks, AnHourShiftOutOfRangeIsRefused) {
  for (const std::int32_t shift : {25, -25, 2147483647}) {
    Fixture f(shift);
    const std::string bytes = bytesOf(f.playlist());
    ScriptedUi ui;
    EXPECT_FALSE(f.import(kClearDay, ui));
    ASSERT_EQ(ui.errors.size(), 1u);
    EXPECT_EQ(ui.errors[0], "Сдвиг часов " + std::to_string(shift) +
                                " вне допустимых пределов от -24 до 24. Исправьте его в настройках.");
    EXPECT_EQ(bytesOf(f.playlist()), bytes);
  }
}

// Another copy holds the station: the import waits, then says the playlist
// is busy and changes nothing.
TEST(ImportChecks, AnotherImportOfTheStationMakesItWaitThenGiveUp) {
  Fixture f;
  const std::string bytes = bytesOf(f.playlist());
  const db::StationLock other(f.playlist(), std::chrono::milliseconds(0));
  ScriptedUi ui;
  ImportRun run;
  run.lockPatience = std::chrono::milliseconds(100);
  try {
    f.import(kClearHours, ui, run);
    ADD_FAILURE() << "the import went on";
  } catch (const db::TableBusy& e) {
    EXPECT_NE(std::string(e.what()).find(Cp("таблица занята")), std::string::npos);
  }
  EXPECT_EQ(bytesOf(f.playlist()), bytes);
}

// The question of the window, and its numbers.
TEST(ImportChecks, TheWindowAsksWithThePlanAndNoChangesNothing) {
  Fixture f(3);
  const std::string bytes = bytesOf(f.playlist());
  ScriptedUi ui;
  ui.yesNo = {false};
  ImportRun run;
  run.askFirst = true;
  EXPECT_FALSE(f.import(kClearHours, ui, run));
  // Hours 0, 1, 22, 23 go to 5 January 3 and 4 and 6 January 1 and 2: two old
  // rows each are replaced by the hour's songs and jingles.
  ASSERT_EQ(ui.questions.size(), 1u);
  EXPECT_EQ(ui.questions[0],
            "Будет удалено 4 строки и добавлено 13 строк в 4 часах за 05.01.2016, 06.01.2016. "
            "Сопоставлено 13 из 17 записей (76 %). Импортировать?");
  EXPECT_EQ(bytesOf(f.playlist()), bytes);
  EXPECT_TRUE(ImportHistory(f.station.tables).empty());
}

}  // namespace
}  // namespace importing
