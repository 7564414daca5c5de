#include "assoc/assocbase.h"

#include <gtest/gtest.h>

#include "matching/tests/station.h"

namespace assoc {
namespace {

using stationtest::Cp;
using stationtest::ScriptedUi;
using stationtest::Utf;

AssociationRow row(std::string_view artist, std::string_view name, std::string_view path) {
  return {Cp(artist), Cp(name), Cp(path)};
}

class AssociationBaseTest : public ::testing::Test {
 protected:
  void make(const std::vector<std::vector<std::string>>& rows) { station.Associations(rows); }

  void add(int hour, std::string_view artist, std::string_view name, int kind, std::string_view path) {
    core::AppendSong(day, hour, Cp(artist), Cp(name), kind);
    core::SetPath(day.Songs[static_cast<std::size_t>(hour)].back(), Cp(path));
  }

  std::vector<std::string> paths() const {
    std::vector<std::string> out;
    for (const auto& hour : day.Songs) {
      for (const auto& song : hour) out.push_back(Utf(song.Path));
    }
    return out;
  }

  std::vector<std::string> associations() const { return stationtest::FileLines(station.paths.AssociationPath); }

  stationtest::Station station;
  core::DayPlaylist day;
  ScriptedUi ui;
};

TEST_F(AssociationBaseTest, ListsRowsByArtistAndTitle) {
  make({{"Б", "2", "p2"}, {"A", "z", "p3"}, {"A", "a", "p1"}, {"B", "J", "j"}});
  EXPECT_EQ(ShowAssociate(station.tables),
            (std::vector<AssociationRow>{row("A", "a", "p1"), row("A", "z", "p3"), row("B", "J", "j"),
                                         row("Б", "2", "p2")}));
}

TEST_F(AssociationBaseTest, EmptyTableShowsOneEmptyRowThatCannotBeChanged) {
  make({});
  const auto rows = ShowAssociate(station.tables);
  ASSERT_EQ(rows, std::vector<AssociationRow>{AssociationRow{}});
  add(1, "A", "B", 0, "");
  EXPECT_FALSE(NChangeClick(day, rows[0], station.tables, ui));
  EXPECT_TRUE(ui.pickerCalls.empty());
  // Deleting it asks and runs a statement that finds nothing.
  ui.yesNo = {true};
  EXPECT_TRUE(N2Click(day, rows[0], station.tables, ui));
  EXPECT_EQ(paths(), std::vector<std::string>{""});
}

// Equal rows change together; entries of the day follow by path alone,
// exactly (the check's upper-cased copy of the path does not follow).
TEST_F(AssociationBaseTest, ChangingASongRowUpdatesEqualRowsAndTheEntriesUsingItsFile) {
  make({{"A", "B", "C:\\m\\b.mp3"}, {"A", "B", "C:\\m\\b.mp3"}, {"A", "B", "C:\\m\\other.mp3"}});
  add(0, "A", "B", 0, "C:\\m\\b.mp3");
  add(0, "Other", "Song", 0, "C:\\m\\b.mp3");
  add(5, "", "J", 5, "C:\\m\\b.mp3");
  add(5, "A", "B", 0, "C:\\M\\B.MP3");
  ui.picks = {"", "C:\\m\\new.mp3"};
  const AssociationRow selected = row("A", "B", "C:\\m\\b.mp3");
  EXPECT_FALSE(NChangeClick(day, selected, station.tables, ui));  // picker cancelled
  EXPECT_EQ(associations()[0], "A\tB\tC:\\m\\b.mp3");
  EXPECT_TRUE(NChangeClick(day, selected, station.tables, ui));
  ASSERT_EQ(ui.pickerCalls.size(), 2u);
  EXPECT_FALSE(ui.pickerCalls[1].jingle);
  EXPECT_EQ(ui.pickerCalls[1].prefix, "Изменить сопоставление");
  EXPECT_EQ(ui.pickerCalls[1].table, Utf(station.paths.BaseSongPath));
  EXPECT_EQ(associations(),
            (std::vector<std::string>{"A\tB\tC:\\m\\new.mp3", "A\tB\tC:\\m\\new.mp3", "A\tB\tC:\\m\\other.mp3"}));
  EXPECT_EQ(paths(), (std::vector<std::string>{"C:\\m\\new.mp3", "C:\\m\\new.mp3", "C:\\m\\new.mp3", "C:\\M\\B.MP3"}));
}

TEST_F(AssociationBaseTest, ChangingAJingleRowWithoutArtistMarksIt) {
  make({{"", "Top", "j\"1\".wav"}, {"_JINGLES_", "Top", "j2.wav"}});
  add(3, "", "Top", 5, "j\"1\".wav");
  ui.picks = {"new \"top\".wav"};
  EXPECT_TRUE(NChangeClick(day, row("", "Top", "j\"1\".wav"), station.tables, ui));
  ASSERT_EQ(ui.pickerCalls.size(), 1u);
  EXPECT_TRUE(ui.pickerCalls[0].jingle);
  EXPECT_EQ(ui.pickerCalls[0].prefix, "Изменить ");
  EXPECT_EQ(ui.pickerCalls[0].table, Utf(station.paths.JinglesPath));
  EXPECT_EQ(associations(), (std::vector<std::string>{"_JINGLES_\tTop\tnew \"top\".wav", "_JINGLES_\tTop\tj2.wav"}));
  EXPECT_EQ(paths(), std::vector<std::string>{"new \"top\".wav"});
}

TEST_F(AssociationBaseTest, DeletingARowEmptiesTheEntriesUsingItsFile) {
  make({{"A", "B", "C:\\m\\b.mp3"}, {"A", "B", "C:\\m\\b.mp3"}, {"A", "C", "C:\\m\\b.mp3"}});
  add(0, "X", "Y", 0, "C:\\m\\b.mp3");
  add(0, "A", "B", 0, "C:\\m\\c.mp3");
  ui.yesNo = {false, true};
  const AssociationRow selected = row("A", "B", "C:\\m\\b.mp3");
  EXPECT_FALSE(N2Click(day, selected, station.tables, ui));
  EXPECT_EQ(associations().size(), 3u);
  EXPECT_TRUE(N2Click(day, selected, station.tables, ui));
  EXPECT_EQ(ui.questions, std::vector<std::string>(2, "Вы действительно хотите удалить сопоставление ?"));
  EXPECT_EQ(associations(), std::vector<std::string>{"A\tC\tC:\\m\\b.mp3"});
  EXPECT_EQ(paths(), (std::vector<std::string>{"", "C:\\m\\c.mp3"}));
}

TEST_F(AssociationBaseTest, FailedStatementLeavesTheDayAlone) {
  make({{"A", "B", "p"}});
  add(0, "A", "B", 0, "p");
  std::filesystem::remove(core::FsPath(station.paths.AssociationPath));
  db::TableCache::Clear();
  ui.yesNo = {true};
  EXPECT_THROW(N2Click(day, row("A", "B", "p"), station.tables, ui), db::Error);
  EXPECT_EQ(paths(), std::vector<std::string>{"p"});
}

}  // namespace
}  // namespace assoc
