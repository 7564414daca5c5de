#include <gtest/gtest.h>

#include "core/datetime.h"
#include "readers/layouts.h"
#include "readers/readfile.h"
#include "harness.h"

namespace readers::test {
namespace {

// Artist in columns 19 to 36, title in columns 37 to 55.
std::string Pg(std::string_view artist, std::string_view title) {
  return Place({{1, "07:00:00 PG000001"}, {19, artist}, {37, title}, {56, "03:30"}});
}

// Hour text from column 20, date text from column 36, padded to 51 columns.
std::string Header(std::string_view hour, std::string_view date) {
  std::string line = Place({{1, "Russkoe Radio Hour"}, {20, hour}, {36, date}});
  if (line.size() < 51) line.resize(51, ' ');
  return line;
}

struct LinesCase {
  const char* what;
  std::vector<std::string> lines;
  std::vector<Entry> stored;
};

TEST(OnReadStringPowerGold, LineGrammar) {
  const std::vector<LinesCase> cases = {
      {"song before any header", {Pg("Artist", "Title")}, {song(0, "Artist", "Title")}},
      {"six characters", {"Artist"}, {}},
      {"ruler", {"=======" + Pg("Artist", "Title").substr(7)}, {}},
      {"file name header", {"Filename" + Pg("Artist", "Title").substr(8)}, {}},
      {"total line keeps the hour", {Header("07", ""), "Total Time" + Pg("A", "T").substr(10), Pg("A", "T")},
       {song(7, "A", "T")}},
      {"indented ruler is a song", {" ======" + Pg("Artist", "Title").substr(7)}, {song(0, "Artist", "Title")}},
      {"empty slot", {Pg("-", "Title")}, {}},
      {"dash inside an artist", {Pg("-M-", "Title")}, {song(0, "-M-", "Title")}},
      {"blank artist", {Pg("", "Title")}, {song(0, "", "Title")}},
      {"blank title", {Pg("Artist", "")}, {song(0, "Artist", "")}},
      {"hour followed by text", {Header("07:00-07:59", ""), Pg("A", "T")}, {song(7, "A", "T")}},
      {"hour after blanks", {Header("   9", ""), Pg("A", "T")}, {song(9, "A", "T")}},
      {"header without a number", {Header("07", ""), Header("Morning", ""), Pg("A", "T")}, {song(0, "A", "T")}},
      {"hour in the last character", {"Russkoe Radio Hour 7", Pg("A", "T")}, {song(0, "A", "T")}},
      {"hour past the day until the next header",
       {Header("24", ""), Pg("A", "Lost"), Header("08", ""), Pg("A", "T")},
       {song(8, "A", "T")}},
      {"negative hour", {"Russkoe Radio Hour -3 ", Pg("A", "T")}, {}},
  };
  for (const auto& c : cases) {
    Harness h(PowerGoldSetts());
    EXPECT_EQ(h.feed(OnReadStringPowerGold, c.lines), c.stored) << c.what;
  }
}

struct DateCase {
  const char* what;
  std::vector<std::string> headers;
  std::optional<core::TDateTime> date;
};

TEST(OnReadStringPowerGold, DateFromTheHeader) {
  const std::vector<DateCase> cases = {
      {"date and blanks", {Header("07", "01.02.2010")}, core::EncodeDate(2010, 2, 1)},
      {"date and a time", {Header("07", "01.02.2010 07:00")}, std::nullopt},
      {"no date", {Header("07", "")}, std::nullopt},
      {"two-digit year", {Header("07", "01.02.10")}, core::EncodeDate(2010, 2, 1)},
      {"the last valid date wins",
       {Header("07", "01.02.2010"), Header("08", "02.02.2010"), Header("09", "bad")},
       core::EncodeDate(2010, 2, 2)},
      {"a header past the day still sets the date", {Header("24", "03.02.2010")}, core::EncodeDate(2010, 2, 3)},
  };
  for (const auto& c : cases) {
    Harness h(PowerGoldSetts());
    h.feed(OnReadStringPowerGold, c.headers);
    EXPECT_EQ(h.importDate, c.date) << c.what;
    EXPECT_TRUE(Entries(h.day).empty()) << c.what;
  }
}

TEST(OnReadStringPowerGold, ReadsTheFixture) {
  Harness h(PowerGoldSetts());
  ASSERT_TRUE(ReadFile(Fixture("powergold.txt"), h.context()));
  const std::vector<Entry> expected = {
      song(7, "Artist Seven", "Song Seven"),
      song(7, "", "No Artist Title"),
      song(8, "Восьмой Артист", "Восьмая песня"),
  };
  EXPECT_EQ(Entries(h.day), expected);
  EXPECT_EQ(h.importDate, core::EncodeDate(2010, 2, 2));
}

}  // namespace
}  // namespace readers::test
