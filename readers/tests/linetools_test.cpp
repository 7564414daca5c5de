#include "readers/linetools.h"

#include <gtest/gtest.h>

#include "harness.h"

namespace readers::test {
namespace {

struct ColumnCase {
  std::string line;
  std::int32_t first;
  std::int32_t last;
  std::string expected;
};

TEST(ColumnText, TrimsTheColumnRange) {
  const std::vector<ColumnCase> cases = {
      {"abc  Artist  \t xyz", 4, 15, "Artist"},
      {"abcdef", 2, 4, "bcd"},
      {"abcdef", 4, 100, "def"},       // cut at the end of the line
      {"abcdef", 0, 2, "abc"},         // start below 1 counts as 1, the count (3) is kept
      {"abcdef", -3, 2, "abcdef"},     // count 6 from column 1
      {"abcdef", 7, 9, ""},            // past the end
      {"abcdef", 4, 3, ""},            // last before first
      {"ab\x01\x1f  ", 1, 6, "ab"},    // control characters are trimmed too
      {std::string("a\0b", 3), 1, 3, std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColumnText(c.line, c.first, c.last), c.expected) << c.line << " " << c.first << ".." << c.last;
  }
}

TEST(ColumnText, ExtremeColumnsDoNotOverflow) {
  EXPECT_EQ(ColumnText("abc", INT32_MIN, INT32_MAX), "abc");
  EXPECT_EQ(ColumnText("abc", INT32_MAX, INT32_MIN), "");
}

struct JingleCase {
  const char* what;
  std::string markers;  // UTF-8
  std::string line;
  bool recognised;
  std::string marker;  // UTF-8
  std::string name;    // UTF-8, empty unless recognised
};

// Marker in columns 1 to 10, jingle name in columns 12 to 30.
TEST(RecogniseJingle, MatchesListedMarkersExactly) {
  const std::vector<JingleCase> cases = {
      {"listed marker", "Джингл", Place({{1, "Джингл"}, {12, "Утро"}}), true, "Джингл", "Утро"},
      {"second of two", "Jingle;Джингл", Place({{3, "Джингл"}, {12, "Утро"}}), true, "Джингл", "Утро"},
      {"empty list", "", Place({{1, "Джингл"}, {12, "Утро"}}), false, "Джингл", ""},
      {"letter case differs", "Jingle", Place({{1, "jingle"}, {12, "Morning"}}), false, "jingle", ""},
      {"blank name", "Jingle", Place({{1, "Jingle"}, {30, " "}}), false, "Jingle", ""},
      {"blank before ';' belongs to the marker", "Jingle ;ID", Place({{1, "Jingle"}, {12, "x"}}), false,
       "Jingle", ""},
      {"blank after ';' belongs to the marker", "Jingle; ID", Place({{1, "ID"}, {12, "x"}}), false, "ID", ""},
      {"marker is the trimmed column text", "ID", Place({{4, "ID"}, {12, "x"}}), true, "ID", "x"},
      {"marker longer than the columns", "Jingle Long", Place({{1, "Jingle Long"}, {12, "x"}}), false,
       "Jingle Lon", ""},
  };
  core::TSetts s;
  s.JArtist_Start = 1;
  s.JArtist_End = 10;
  s.JName_Start = 12;
  s.JName_End = 30;
  for (const auto& c : cases) {
    s.Jingle_Artist = core::cp1251(c.markers);
    const JingleMatch m = RecogniseJingle(c.line, s);
    EXPECT_EQ(m.recognised, c.recognised) << c.what;
    EXPECT_EQ(m.marker, core::cp1251(c.marker)) << c.what;
    EXPECT_EQ(m.name, core::cp1251(c.name)) << c.what;
  }
}

}  // namespace
}  // namespace readers::test
