#include <gtest/gtest.h>

#include "readers/layouts.h"
#include "readers/readfile.h"
#include "harness.h"

namespace readers::test {
namespace {

struct HourFieldCase {
  std::string field;  // the first five characters
  std::optional<int> hour;
};

class MirvaneHourField : public ::testing::TestWithParam<HourFieldCase> {};

TEST_P(MirvaneHourField, DecidesTheHour) {
  const HourFieldCase& c = GetParam();
  Harness h(MirvaneSetts());
  const auto entries = h.feed(OnReadMirvane, {Place({{1, c.field}, {7, "Title"}, {39, "Artist"}})});
  if (c.hour) {
    EXPECT_EQ(entries, std::vector<Entry>{song(*c.hour, "Artist", "Title")});
  } else {
    EXPECT_TRUE(entries.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, MirvaneHourField,
                         ::testing::Values(HourFieldCase{"07:30", 7}, HourFieldCase{"7:30 ", 7},
                                           HourFieldCase{" 7:30", 7}, HourFieldCase{"23:59", 23},
                                           HourFieldCase{"24:00", std::nullopt},
                                           HourFieldCase{"-5:00", std::nullopt},
                                           HourFieldCase{"12345", std::nullopt},
                                           HourFieldCase{"Total", std::nullopt}, HourFieldCase{"     ", 0},
                                           HourFieldCase{"+3:00", 3}));

struct LineCase {
  const char* what;
  std::string line;
  std::vector<Entry> stored;
};

TEST(OnReadMirvane, LineGrammar) {
  const std::vector<LineCase> cases = {
      {"separator", "=======" + Place({{7, "Title"}, {39, "Artist"}}), {}},
      {"blank artist", Place({{1, "07:30"}, {7, "Title"}}) + std::string(40, ' '), {}},
      {"blank title", Place({{1, "07:30"}, {39, "Artist"}}), {song(7, "Artist", "")}},
      {"jingle", Place({{1, "07:30"}, {7, "Утро"}, {39, "Джингл"}}), {jingle(7, "", "Утро")}},
      {"jingle without a name reads as a song", Place({{1, "07:30"}, {39, "Джингл"}}),
       {song(7, "Джингл", "")}},
      {"marker in another letter case", Place({{1, "07:30"}, {7, "Утро"}, {39, "джингл"}}),
       {song(7, "джингл", "Утро")}},
      {"jingle of an hour past the day", Place({{1, "25:00"}, {7, "Утро"}, {39, "Джингл"}}), {}},
      {"quotes", Place({{1, "07:30"}, {7, "\"Hi\" there"}, {39, "The \"Band\""}}),
       {song(7, "The 'Band'", "'Hi' there")}},
  };
  for (const auto& c : cases) {
    Harness h(MirvaneSetts());
    EXPECT_EQ(h.feed(OnReadMirvane, {c.line}), c.stored) << c.what;
  }
}

TEST(OnReadMirvane, LinesShorterThanSevenCharactersAreIgnored) {
  core::TSetts s = MirvaneSetts();
  s.Artist_Start = s.Artist_End = 6;
  s.Name_Start = s.Name_End = 7;
  Harness h(s);
  EXPECT_EQ(h.feed(OnReadMirvane, {"07:30A", "07:30AB"}), std::vector<Entry>{song(7, "A", "B")});
}

TEST(OnReadMirvane, JingleRecognitionOffOrWithoutMarkers) {
  const std::string line = Place({{1, "07:30"}, {7, "Утро"}, {39, "Джингл"}});
  core::TSetts off = MirvaneSetts();
  off.Use_Jingle = false;
  core::TSetts noMarkers = MirvaneSetts();
  noMarkers.Jingle_Artist.clear();
  for (const auto& s : {off, noMarkers}) {
    Harness h(s);
    EXPECT_EQ(h.feed(OnReadMirvane, {line}), std::vector<Entry>{song(7, "Джингл", "Утро")});
  }
}

TEST(OnReadMirvane, CutsLongFieldsToTheirCapacity) {
  core::TSetts s = MirvaneSetts();
  s.Name_End = 200;
  s.Artist_Start = 201;
  s.Artist_End = 400;
  Harness h(s);
  const auto entries =
      h.feed(OnReadMirvane, {Place({{1, "07:30"}, {7, std::string(100, 'n')}, {201, std::string(65, 'a')}})});
  EXPECT_EQ(entries, std::vector<Entry>{song(7, std::string(64, 'a'), std::string(64, 'n'))});
}

// The fixture shows the layout: separators, a jingle, quotes, an indented
// time, a blank title, a blank artist, hours out of order and past the day.
TEST(OnReadMirvane, ReadsTheFixture) {
  Harness h(MirvaneSetts());
  ASSERT_TRUE(ReadFile(Fixture("mirvane.txt"), h.context()));
  const std::vector<Entry> expected = {
      song(5, "Early Artist", "Early Song"),
      jingle(7, "", "Утренний джингл"),
      song(7, "The 'Band'", "Song 'Quoted'"),
      song(7, "No Title Artist", ""),
      song(7, "Джингл", ""),
      song(9, "Artist Nine", "Nine O'Clock Song"),
      song(23, "Last Artist", "Last Song"),
  };
  EXPECT_EQ(Entries(h.day), expected);
  EXPECT_FALSE(h.importDate);
}

}  // namespace
}  // namespace readers::test
