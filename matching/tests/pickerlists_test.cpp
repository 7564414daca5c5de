#include "matching/pickerlists.h"

#include <gtest/gtest.h>

#include "core/codec.h"

namespace matching {
namespace {

TEST(IncrementalSearch, FindsTheFirstItemNotLessThanTheTypedText) {
  // In the order the engine sorts them: by the bytes of the folded text.
  const std::vector<std::string> artists = {"ABBA", "Boney M.", "Queen", core::cp1251("Ёлка"), core::cp1251("Алла"),
                                            core::cp1251("Кино")};
  const std::pair<std::string, int> cases[] = {
      {"", 0},                       // empty text: the first item
      {"b", 1},                      // letter case does not matter
      {"BONEY M.", 1},
      {"C", 2},                      // no item starts with it: the one that would follow
      {core::cp1251("кИ"), 5},
      {core::cp1251("ё"), 3},        // Ё sorts before the other capitals in CP1251
      {core::cp1251("Я"), -1},       // beyond every item
      {"Queen and more", 3},         // longer than the item: "Queen" is less, the next follows
  };
  for (const auto& [text, index] : cases) EXPECT_EQ(IncrementalSearch(artists, text), index) << core::cp1251ToUtf8(text);
  EXPECT_EQ(IncrementalSearch({}, "a"), -1);
}

}  // namespace
}  // namespace matching
