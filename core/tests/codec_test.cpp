#include "core/codec.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(Codec, RoundTripsEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(Codec, ConvertsRussianBothWays) {
  const std::string cp = "\xC4\xE6\xE8\xED\xE3\xEB \xA8\xB8";  // "Джингл Ёё"
  EXPECT_EQ(cp1251ToUtf8(cp), "Джингл Ёё");
  EXPECT_EQ(cp1251("Джингл Ёё"), cp);
  EXPECT_EQ(cp1251ToUtf8("\x88\xB9"), "€№");
}

TEST(Codec, MissingCharactersAndBrokenUtf8BecomeQuestionMarks) {
  EXPECT_EQ(utf8ToCp1251("a中b"), "a?b");
  EXPECT_EQ(utf8ToCp1251("a\xC3"), "a?");         // sequence cut at the end
  EXPECT_EQ(utf8ToCp1251("\xFF\x80x"), "??x");    // stray bytes
  EXPECT_EQ(utf8ToCp1251("\xF0\x9F\x8E\xB5"), "?");  // a character beyond the BMP
}

}  // namespace
}  // namespace core
