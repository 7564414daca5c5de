#include <gtest/gtest.h>

#include "core/datetime.h"
#include "readers/layouts.h"
#include "readers/readfile.h"
#include "harness.h"

namespace readers::test {
namespace {

// Length in columns 7 to 11, artist in columns 14 to 38, title in 39 to 78.
std::string Song(std::string_view artist, std::string_view title) {
  return Place({{1, "12:00"}, {7, "03:45"}, {14, artist}, {39, title}});
}

// Hour text in columns 14 to 29, date text in columns 31 to 46.
std::string Header(std::string_view hour, std::string_view date) {
  return Place({{1, "Radio Dacha"}, {14, hour}, {31, date}});
}

std::string Separator(bool closes, bool opens) {
  std::string line = Place({{1, "12:10"}, {7, std::string(60, '-')}});
  if (closes) line.replace(44, 6, "******");
  if (opens) line.replace(53, 7, "Reklama");
  return line;
}

const std::string kOpen = Separator(false, true);
const std::string kClose = Separator(true, false);
const std::string kPlain = Separator(false, false);

struct LinesCase {
  const char* what;
  std::vector<std::string> lines;
  std::vector<Entry> stored;
};

TEST(OnReadStringDacha, LineGrammar) {
  const std::vector<LinesCase> cases = {
      {"song before any header", {Song("Artist", "Title")}, {song(0, "Artist", "Title")}},
      {"four characters", {"12:0"}, {}},
      {"blank start", {"     " + Song("Artist", "Title").substr(5)}, {}},
      {"ruler and start line", {"=====" + Song("A", "T").substr(5), "Start" + Song("A", "T").substr(5)}, {}},
      {"indented ruler is a song", {" ====" + Song("A", "T").substr(5)}, {song(0, "A", "T")}},
      {"blank middle", {Place({{1, "12:00"}, {14, "Artist"}, {39, "Title"}})}, {}},
      {"blank artist", {Song("", "Title")}, {}},
      {"blank title", {Song("Artist", "")}, {song(0, "Artist", "")}},
      {"header", {Header("12:00", ""), Song("A", "T")}, {song(12, "A", "T")}},
      {"header past the day", {Header("12", ""), Header("25", ""), Song("A", "T")}, {song(12, "A", "T")}},
      {"negative header", {Header("12", ""), Header("-1", ""), Song("A", "T")}, {song(12, "A", "T")}},
      {"header without a number", {Header("12", ""), Header("noon", ""), Song("A", "T")}, {song(0, "A", "T")}},
      {"quotes", {Song("\"Band\"", "\"Hi\"")}, {song(0, "'Band'", "'Hi'")}},
  };
  for (const auto& c : cases) {
    Harness h(DachaSetts());
    EXPECT_EQ(h.feed(OnReadStringDacha, c.lines), c.stored) << c.what;
  }
}

TEST(OnReadStringDacha, AdvertisingBlocks) {
  const std::string ad = Song("Advertiser", "Buy");
  const std::string a = Song("A", "T");
  const std::vector<LinesCase> cases = {
      {"plain separator", {kPlain, a}, {song(0, "A", "T")}},
      {"opened", {kOpen, ad}, {}},
      {"closed by stars", {kOpen, ad, kClose, a}, {song(0, "A", "T")}},
      {"closed by a total line", {kOpen, ad, "Total", a}, {song(0, "A", "T")}},
      {"a separator with both marks opens", {Separator(true, true), ad}, {}},
      {"a plain separator keeps it open", {kOpen, kPlain, ad}, {}},
      {"stays open into the next hour", {kOpen, Header("13", ""), ad}, {}},
  };
  for (const auto& c : cases) {
    Harness h(DachaSetts());
    EXPECT_EQ(h.feed(OnReadStringDacha, c.lines), c.stored) << c.what;
  }
}

struct DateCase {
  const char* what;
  std::vector<std::string> headers;
  std::optional<core::TDateTime> date;
};

TEST(OnReadStringDacha, DateFromTheHeader) {
  const std::vector<DateCase> cases = {
      {"hour and date", {Header("12:00", "01.02.2010")}, core::EncodeDate(2010, 2, 1)},
      {"date and a time", {Header("12:00", "01.02.2010 12:00")}, std::nullopt},
      {"hour past the day", {Header("25", "01.02.2010")}, std::nullopt},
      {"the last valid header wins",
       {Header("12", "01.02.2010"), Header("13", "02.02.2010"), Header("24", "03.02.2010")},
       core::EncodeDate(2010, 2, 2)},
  };
  for (const auto& c : cases) {
    Harness h(DachaSetts());
    h.feed(OnReadStringDacha, c.headers);
    EXPECT_EQ(h.importDate, c.date) << c.what;
  }
}

TEST(OnReadStringDacha, ReadsTheFixture) {
  Harness h(DachaSetts());
  ASSERT_TRUE(ReadFile(Fixture("dacha.txt"), h.context()));
  const std::vector<Entry> expected = {
      song(12, "Artist Twelve", "Song Twelve"),
      song(12, "Title-less Artist", ""),
      song(12, "Артист Дачи", "Песня 'Дача'"),
      song(13, "Artist Thirteen", "Song Thirteen"),
  };
  EXPECT_EQ(Entries(h.day), expected);
  EXPECT_EQ(h.importDate, core::EncodeDate(2010, 2, 1));
  EXPECT_FALSE(h.state.AdBlock);
}

}  // namespace
}  // namespace readers::test
