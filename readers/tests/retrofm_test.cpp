#include <gtest/gtest.h>

#include "core/fspath.h"
#include "readers/layouts.h"
#include "readers/readfile.h"
#include "harness.h"

namespace readers::test {
namespace {

// Title in columns 11 to 35, artist in columns 36 to 68.
std::string Song(std::string_view title, std::string_view artist) {
  return Place({{1, "00:00"}, {11, title}, {36, artist}});
}

// Jingle name in columns 9 to 41, marker in columns 42 to 68.
std::string Jingle(std::string_view name, std::string_view marker) {
  return Place({{1, "00:00"}, {11, name}, {42, marker}});
}

core::TSetts WithMarkers(std::string_view markersUtf8) {
  core::TSetts s = RetroFMSetts();
  s.Jingle_Artist = core::cp1251(markersUtf8);
  return s;
}

struct LinesCase {
  const char* what;
  std::vector<std::string> lines;
  std::vector<Entry> stored;
};

TEST(OnReadStringRetroFM, LineGrammar) {
  const std::vector<LinesCase> cases = {
      {"song", {Song("Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"six characters", {"00:00 "}, {}},
      {"page break", {"\f" + Song("Title", "Artist")}, {}},
      {"cart header hides the next line",
       {Place({{1, "Cart"}, {11, "Title"}, {36, "Artist"}}), Song("Hidden", "Artist"), Song("Shown", "Artist")},
       {song(0, "Artist", "Shown")}},
      {"indented cart header", {"   Cart", Song("Hidden", "Artist")}, {}},
      {"cart followed by a digit", {Place({{1, "Cart1"}, {11, "Title"}, {36, "Artist"}})},
       {song(0, "Artist", "Title")}},
      {"hidden line is not looked at", {"Cart    Title", "Total Time", Song("Title", "Artist")},
       {song(0, "Artist", "Title")}},
      {"short cart line is just short", {"Cart", Song("Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"rulers and file name header",
       {"=======" + Song("Title", "Artist").substr(7), "-------" + Song("Title", "Artist").substr(7),
        "Filename" + Song("Title", "Artist").substr(8)},
       {}},
      {"total line", {"Total Time", Song("Title", "Artist")}, {song(1, "Artist", "Title")}},
      {"two artists", {Song("Title", "Artist A / Artist B")}, {song(0, "Artist A+Artist B", "Title")}},
      {"nothing after the slash", {Song("Title", "Artist A /")}, {song(0, "Artist A", "Title")}},
      {"nothing before the slash", {Song("Title", "/ Artist B")}, {song(0, "+Artist B", "Title")}},
      {"only the first slash divides", {Song("Title", "AC/DC / B")}, {song(0, "AC+DC / B", "Title")}},
      {"title starting with *", {Song("*News", "Artist")}, {}},
      {"blank title", {Song("", "Artist")}, {}},
      {"blank artist", {Song("Title", "")}, {}},
      {"only a slash", {Song("Title", "/")}, {}},
      {"quotes", {Song("\"Hi\"", "\"Band\"")}, {song(0, "'Band'", "'Hi'")}},
  };
  for (const auto& c : cases) {
    Harness h(RetroFMSetts());
    EXPECT_EQ(h.feed(OnReadStringRetroFM, c.lines), c.stored) << c.what;
  }
}

TEST(OnReadStringRetroFM, JingleLines) {
  const std::vector<LinesCase> cases = {
      {"marker and name", {Jingle("Утро", "Джингл")}, {jingle(0, "Джингл", "Утро")}},
      {"name starting with *", {Jingle("*Утро", "Джингл")}, {jingle(0, "Джингл", "*Утро")}},
      {"blank name", {Place({{1, "00:00"}, {42, "Джингл"}})}, {}},
      {"other marker reads as a song", {Jingle("Утро", "Jingle")}, {song(0, "Jingle", "Утро")}},
  };
  for (const auto& c : cases) {
    Harness h(WithMarkers("ID;Джингл"));
    EXPECT_EQ(h.feed(OnReadStringRetroFM, c.lines), c.stored) << c.what;
  }
  core::TSetts off = WithMarkers("Джингл");
  off.Use_Jingle = false;
  for (const auto& s : {RetroFMSetts(), off}) {
    Harness h(s);
    EXPECT_EQ(h.feed(OnReadStringRetroFM, {Jingle("Утро", "Джингл")}),
              std::vector<Entry>{song(0, "Джингл", "Утро")});
  }
}

TEST(OnReadStringRetroFM, HoursEndAfterTheTwentyFourthTotal) {
  std::vector<std::string> lines;
  for (int hour = 0; hour < 25; ++hour) {
    lines.push_back(Song("Title " + std::to_string(hour), "Artist"));
    lines.push_back("Total Time");
  }
  Harness h(RetroFMSetts());
  const auto entries = h.feed(OnReadStringRetroFM, lines);
  ASSERT_EQ(entries.size(), 24u);
  EXPECT_EQ(entries.back(), song(23, "Artist", "Title 23"));
}

// A file ending in a cart header hides the first line of the next file.
TEST(OnReadStringRetroFM, SkipLinesOutlivesTheFile) {
  TempDir dir;
  const auto first = dir.write("first.txt", Song("One", "Artist") + "\r\nCart      Title      Artist\r\n");
  const auto second = dir.write("second.txt", Song("Hidden", "Artist") + "\r\n" + Song("Two", "Artist"));
  Harness h(RetroFMSetts());
  ASSERT_TRUE(ReadFile(core::FromFsPath(first), h.context()));
  EXPECT_EQ(h.state.SkipLines, 1);
  ASSERT_TRUE(ReadFile(core::FromFsPath(second), h.context()));
  EXPECT_EQ(Entries(h.day), (std::vector<Entry>{song(0, "Artist", "One"), song(0, "Artist", "Two")}));
}

TEST(OnReadStringRetroFM, ReadsTheFixture) {
  Harness h(WithMarkers("Джингл"));
  ASSERT_TRUE(ReadFile(Fixture("retrofm.txt"), h.context()));
  const std::vector<Entry> expected = {
      song(0, "Artist A+Artist B", "Song One"),
      jingle(0, "Джингл", "Ретро джингл"),
      jingle(0, "Джингл", "*Джингл часа"),
      song(0, "Solo", "Song Two"),
      song(1, "'Quoted' Artist", "Hour One Song"),
  };
  EXPECT_EQ(Entries(h.day), expected);
}

}  // namespace
}  // namespace readers::test
