#include "readers/readfile.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "core/fspath.h"
#include "harness.h"

namespace readers::test {
namespace {

std::string Name(const std::filesystem::path& path) { return core::FromFsPath(path); }

TEST(ReadFile, FileThatCannotBeOpenedReadsNothing) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "old.txt");
  Harness h(MirvaneSetts());
  EXPECT_FALSE(ReadFile(Name(dir.path() / "missing.txt"), h.context()));
  EXPECT_FALSE(ReadFile(Name(dir.path() / "old.txt"), h.context()));
  EXPECT_FALSE(ReadFile("", h.context()));
  EXPECT_TRUE(Entries(h.day).empty());
}

TEST(ReadFile, EmptyFileIsRead) {
  TempDir dir;
  Harness h(MirvaneSetts());
  EXPECT_TRUE(ReadFile(Name(dir.write("empty.txt", "")), h.context()));
  EXPECT_TRUE(Entries(h.day).empty());
}

// The same lines under each of the three line ends, and a file name with
// Cyrillic letters.
TEST(ReadFile, ReadsEveryLineEndAndCyrillicNames) {
  const std::string a = Place({{1, "07:30"}, {7, "Title A"}, {39, "Artist A"}});
  const std::string b = Place({{1, "08:00"}, {7, "Title B"}, {39, "Artist B"}});
  const std::vector<Entry> expected = {song(7, "Artist A", "Title A"), song(8, "Artist B", "Title B")};
  TempDir dir;
  for (const char* eol : {"\r\n", "\n", "\r"}) {
    Harness h(MirvaneSetts());
    const auto file = dir.write(core::cp1251("эфир.txt"), a + eol + b);
    ASSERT_TRUE(ReadFile(Name(file), h.context()));
    EXPECT_EQ(Entries(h.day), expected);
  }
}

TEST(ReadFile, SurvivesNulBytesAndHugeLines) {
  std::string bytes = Place({{1, "07:30"}, {7, "TiXtle"}, {39, "Artist"}});
  bytes[8] = '\0';                                     // the X of the title
  bytes += "\r\n" + std::string(3 * 1024 * 1024, 'z');  // a line without a time
  bytes += "\r\n" + std::string(64, '\0');
  bytes += "\r\n" + Place({{1, "08:00"}, {7, "Long"}, {39, "Late"}}) + std::string(1 << 20, ' ') + "end";
  TempDir dir;
  Harness h(MirvaneSetts());
  ASSERT_TRUE(ReadFile(Name(dir.write("binary.txt", bytes)), h.context()));
  const std::vector<Entry> expected = {{7, core::kKindSong, "Artist", std::string("Ti\0tle", 6)},
                                       song(8, "Late", "Long")};
  EXPECT_EQ(Entries(h.day), expected);
}

// The reader is chosen by Method; values outside 1 to 4 read the Mirvane layout.
TEST(ReadFile, DispatchesByMethod) {
  struct Case {
    std::int32_t method;
    const char* fixture;
    std::size_t entries;
  };
  const std::vector<Case> cases = {{-1, "mirvane.txt", 7}, {0, "mirvane.txt", 7}, {5, "mirvane.txt", 7},
                                   {1, "selector.txt", 4}, {2, "powergold.txt", 3}, {3, "retrofm.txt", 4},
                                   {4, "dacha.txt", 4}};
  const std::vector<core::TSetts> layouts = {MirvaneSetts(), SelectorSetts(), PowerGoldSetts(), RetroFMSetts(),
                                             DachaSetts()};
  for (const auto& c : cases) {
    core::TSetts s = layouts[static_cast<std::size_t>(c.method >= 1 && c.method <= 4 ? c.method : 0)];
    s.Method = c.method;
    Harness h(s);
    ASSERT_TRUE(ReadFile(Fixture(c.fixture), h.context())) << c.fixture;
    EXPECT_EQ(Entries(h.day).size(), c.entries) << "Method " << c.method;
  }
}

#ifdef __linux__
// Reading the start of this process's memory fails with an input error.
TEST(ReadFile, InputErrorThrows) {
  Harness h(MirvaneSetts());
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc";
  EXPECT_THROW(ReadFile("/proc/self/mem", h.context()), std::runtime_error);
}
#endif

}  // namespace
}  // namespace readers::test
