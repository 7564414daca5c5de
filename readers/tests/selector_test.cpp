#include <gtest/gtest.h>

#include "readers/layouts.h"
#include "readers/readfile.h"
#include "harness.h"

namespace readers::test {
namespace {

// Title in columns 9 to 35, artist in columns 36 to 61.
std::string Sel(std::string_view start, std::string_view title, std::string_view artist) {
  return Place({{1, start}, {9, title}, {36, artist}});
}

struct LinesCase {
  const char* what;
  std::vector<std::string> lines;
  std::vector<Entry> stored;
};

TEST(OnReadStringSelector, LineGrammar) {
  const std::vector<LinesCase> cases = {
      {"song", {Sel("0101", "Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"six characters", {"0101 A"}, {}},
      {"page break", {"\f" + Sel("0101", "Title", "Artist")}, {}},
      {"two blanks first", {Sel("  01", "Title", "Artist")}, {}},
      {"one blank first", {Sel(" 0101", "Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"CP line", {Sel("CP 06:00", "Title", "Artist")}, {}},
      {"dotted line", {Sel("..", "Title", "Artist")}, {}},
      {"cart header", {Sel("Cart", "Title", "Artist")}, {}},
      {"cart followed by a digit", {Sel("Cart1", "Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"rulers", {"=======" + Sel("", "Title", "Artist").substr(7), Sel("-------", "Title", "Artist")}, {}},
      {"file name header", {Sel("Filename", "Title", "Artist")}, {}},
      {"blank artist", {Sel("0101", "Title", "")}, {song(0, "", "Title")}},
      {"line ending before the artist columns", {"0101    x"}, {song(0, "", "x")}},
      {"total line", {"Total Time 00:58", Sel("0201", "Title", "Artist")}, {song(1, "Artist", "Title")}},
      {"Total and blanks is a song", {Sel("Total", "Title", "Artist")}, {song(0, "Artist", "Title")}},
      {"indented total is a song",
       {Sel(" Total Time", "Title", "Artist"), Sel("0102", "Next", "Artist")},
       {song(0, "Artist", "Title"), song(0, "Artist", "Next")}},
      {"quotes", {Sel("0101", "\"Hi\"", "\"Band\"")}, {song(0, "'Band'", "'Hi'")}},
  };
  for (const auto& c : cases) {
    Harness h(SelectorSetts());
    EXPECT_EQ(h.feed(OnReadStringSelector, c.lines), c.stored) << c.what;
  }
}

// Hours come only from counting total lines; after the 24th everything is ignored.
TEST(OnReadStringSelector, HoursEndAfterTheTwentyFourthTotal) {
  std::vector<std::string> lines;
  for (int hour = 0; hour < 25; ++hour) {
    lines.push_back(Sel("0101", "Title " + std::to_string(hour), "Artist"));
    lines.push_back("Total Time");
  }
  Harness h(SelectorSetts());
  const auto entries = h.feed(OnReadStringSelector, lines);
  ASSERT_EQ(entries.size(), 24u);
  EXPECT_EQ(entries.front(), song(0, "Artist", "Title 0"));
  EXPECT_EQ(entries.back(), song(23, "Artist", "Title 23"));
}

TEST(OnReadStringSelector, IgnoresJingleSettings) {
  core::TSetts s = SelectorSetts();
  s.Use_Jingle = true;
  s.Jingle_Artist = core::cp1251("Джингл");
  s.JArtist_Start = 36;
  s.JArtist_End = 61;
  s.JName_Start = 9;
  s.JName_End = 35;
  Harness h(s);
  EXPECT_EQ(h.feed(OnReadStringSelector, {Sel("0101", "Утро", "Джингл")}),
            std::vector<Entry>{song(0, "Джингл", "Утро")});
}

// The fixture begins with the 6 o'clock block, which still becomes hour 0.
TEST(OnReadStringSelector, ReadsTheFixture) {
  Harness h(SelectorSetts());
  ASSERT_TRUE(ReadFile(Fixture("selector.txt"), h.context()));
  const std::vector<Entry> expected = {
      song(0, "Morning Artist", "Morning Song"),
      song(0, "Исполнитель Один / Два", "Песня 'Утро'"),
      song(1, "Second Artist", "Second Hour Song"),
      song(1, "Cart Artist", "Cart One Title"),
  };
  EXPECT_EQ(Entries(h.day), expected);
}

}  // namespace
}  // namespace readers::test
