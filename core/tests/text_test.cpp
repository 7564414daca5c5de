#include "core/text.h"

#include <gtest/gtest.h>

#include "core/codec.h"

namespace core {
namespace {

TEST(AddBackslash, AddsOneSeparatorOnlyWhenMissing) {
  EXPECT_EQ(AddBackslash(""), "");
#ifdef _WIN32
  EXPECT_EQ(AddBackslash("C:\\Lists"), "C:\\Lists\\");
  EXPECT_EQ(AddBackslash("C:\\Lists\\"), "C:\\Lists\\");
#else
  EXPECT_EQ(AddBackslash("/srv/lists"), "/srv/lists/");
  EXPECT_EQ(AddBackslash("/srv/lists/"), "/srv/lists/");
  EXPECT_EQ(AddBackslash("C:\\Lists\\"), "C:\\Lists\\");
#endif
}

TEST(WordsAtDelimiter, CountAndExtractIgnoreEmptyWords) {
  const std::string markers = ";;Jingle;;" + cp1251("Джингл") + ";";
  EXPECT_EQ(WordCount(markers, ';'), 2);
  EXPECT_EQ(ExtractWord(markers, 1, ';'), "Jingle");
  EXPECT_EQ(ExtractWord(markers, 2, ';'), cp1251("Джингл"));
  EXPECT_EQ(ExtractWord(markers, 3, ';'), "");
  EXPECT_EQ(ExtractWord(markers, 0, ';'), "");
  EXPECT_EQ(WordCount("", ';'), 0);
  EXPECT_EQ(WordCount(";;;", ';'), 0);
  EXPECT_EQ(WordCount("  a b  c ", '\0'), 3);
  EXPECT_EQ(ExtractWord("  a b  c ", 3, '\0'), "c");
  // Blanks beside a delimiter belong to the word.
  EXPECT_EQ(ExtractWord("Jingle; Intro", 2, ';'), " Intro");
}

TEST(UpperCase, WindowsRulesConvertEveryCyrillicLetterOfTheCodePage) {
  EXPECT_EQ(UpperStr(cp1251("abc абвёжя іїєґўђ 1-_")), cp1251("ABC АБВЁЖЯ ІЇЄҐЎЂ 1-_"));
  EXPECT_EQ(UpperStr(cp1251("c:\\музыка\\a.mp3")), cp1251("C:\\МУЗЫКА\\A.MP3"));
}

TEST(UpperCase, PickerAlphabetLeavesUkrainianIAndGheAlone) {
  EXPECT_EQ(UpperCaseRu(cp1251("ёжa9.,і ґ єї_0")), cp1251("ЁЖA9.,і ґ ЄЇ_0"));
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(UpperCaseRu(all).size(), 256u);
}

TEST(Substring, ClampsLikeTheColumnSettingsNeed) {
  EXPECT_EQ(Substring("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Substring("abcdef", 0, 2), "ab");
  EXPECT_EQ(Substring("abcdef", -5, 2), "ab");
  EXPECT_EQ(Substring("abcdef", 7, 2), "");
  EXPECT_EQ(Substring("abcdef", 5, 100), "ef");
  EXPECT_EQ(Substring("abcdef", 2, 0), "");
  EXPECT_EQ(Trim(" \t\x01" "ab c\r\n "), "ab c");
}

struct LeadingIntCase {
  const char* text;
  std::int32_t value;
  std::int64_t stop;
};

class ParseLeadingIntTest : public testing::TestWithParam<LeadingIntCase> {};

TEST_P(ParseLeadingIntTest, GivesValueAndStop) {
  const auto& c = GetParam();
  const LeadingInt r = ParseLeadingInt(c.text);
  EXPECT_EQ(r.value, c.value) << c.text;
  EXPECT_EQ(r.stop, c.stop) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseLeadingIntTest,
    testing::Values(LeadingIntCase{"07:30", 7, 3}, LeadingIntCase{"7:30 ", 7, 2},
                    LeadingIntCase{" 7:30", 7, 3}, LeadingIntCase{"23:59", 23, 3},
                    LeadingIntCase{"-5:00", -5, 3}, LeadingIntCase{"12345", 12345, 0},
                    LeadingIntCase{"Total", 0, 1}, LeadingIntCase{"     ", 0, 6},
                    LeadingIntCase{"", 0, 1}, LeadingIntCase{"-", 0, 2},
                    LeadingIntCase{"$1F", 31, 0}, LeadingIntCase{"0x10", 16, 0},
                    LeadingIntCase{"-12", -12, 0}, LeadingIntCase{"+7", 7, 0},
                    LeadingIntCase{"2147483647", 2147483647, 0},
                    LeadingIntCase{"-2147483648", -2147483647 - 1, 0},
                    LeadingIntCase{"2147483648", 214748364, 10}));

}  // namespace
}  // namespace core
