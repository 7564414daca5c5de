#include "readers/filelist.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "core/fspath.h"
#include "core/text.h"
#include "harness.h"

namespace readers::test {
namespace {

std::vector<std::string> Names(const std::vector<TFileRec>& files) {
  std::vector<std::string> names;
  for (const auto& f : files) names.push_back(f.Name);
  return names;
}

TEST(IsTextExt, TxtAndLogInAnyCase) {
  for (const char* ext : {".txt", ".TXT", ".Log", ".lOG"}) EXPECT_TRUE(IsTextExt(ext)) << ext;
  for (const char* ext : {"", ".", ".bak", ".csv", "txt", ".txt ", ".tx"}) EXPECT_FALSE(IsTextExt(ext)) << ext;
}

TEST(SortFiles, OrdersByUnsignedBytes) {
  const std::vector<std::string> sorted = {
      "B.log", "Z.txt", "a.txt", "ab.txt", "abc.txt", core::cp1251("Эфир.txt"), core::cp1251("эфир.txt"),
  };
  // Every rotation and the reversed list end in the same order.
  for (std::size_t shift = 0; shift < sorted.size(); ++shift) {
    std::vector<TFileRec> list;
    for (std::size_t i = 0; i < sorted.size(); ++i) list.push_back({sorted[(i + shift) % sorted.size()], 0});
    SortFiles(list);
    EXPECT_EQ(Names(list), sorted) << "rotation " << shift;
    std::reverse(list.begin(), list.end());
    SortFiles(list);
    EXPECT_EQ(Names(list), sorted) << "reversed";
  }
}

TEST(SortFiles, ShortListsAndDatesPlayNoPart) {
  std::vector<TFileRec> none;
  SortFiles(none);
  EXPECT_TRUE(none.empty());
  std::vector<TFileRec> two = {{"b.txt", 1.0}, {"a.txt", 2.0}};
  SortFiles(two);
  EXPECT_EQ(Names(two), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(two[0].Date, 2.0);
}

TEST(ListFolder, ListsTextFilesSortedByName) {
  TempDir dir;
  for (const char* name : {"Z.txt", "a.txt", "B.log", ".hidden.txt", "d.txt.bak", "e.csv", "noext", "c.TXT"}) {
    dir.write(name, "x");
  }
  std::filesystem::create_directory(dir.path() / "old.txt");
  const auto listing = ListFolder(core::FromFsPath(dir.path()));
  ASSERT_TRUE(listing);
  std::vector<std::string> names;
  for (const auto& row : listing->Rows) names.push_back(row.Name);
  EXPECT_EQ(names, (std::vector<std::string>{".hidden.txt", "B.log", "Z.txt", "a.txt", "c.TXT"}));
  EXPECT_EQ(listing->Folder, core::AddBackslash(core::FromFsPath(dir.path())));
}

TEST(ListFolder, NothingSelectedOrNothingThere) {
  EXPECT_FALSE(ListFolder(""));
  TempDir dir;
  const auto missing = ListFolder(core::FromFsPath(dir.path() / "missing"));
  ASSERT_TRUE(missing);
  EXPECT_TRUE(missing->Rows.empty());
}

// A folder setting that names a file, or nothing, lists no files and says why.
TEST(ListFolder, AFileOrAMissingFolderSaysWhyNothingIsListed) {
  TempDir dir;
  const std::string root = core::FromFsPath(dir.path());
  const std::string file = core::FromFsPath(dir.write(core::cp1251("День.txt"), "07:30 Song"));
  struct Case {
    std::string folder;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {file, core::cp1251("Не папка, а файл: ") + file},
      {core::AddBackslash(file), core::cp1251("Не папка, а файл: ") + file},
      {file + "/sub", core::cp1251("Не папка, а файл: ") + file},
      {root + "/missing", core::cp1251("Папка не найдена: ") + root + "/missing"},
      {root, ""},
  };
  for (const Case& c : cases) {
    const auto listing = ListFolder(c.folder);
    ASSERT_TRUE(listing) << c.folder;
    EXPECT_EQ(listing->Problem, c.problem) << c.folder;
    EXPECT_EQ(listing->Rows.size(), c.problem.empty() ? 1u : 0u) << c.folder;
  }
}

TEST(ListTextFiles, CutsLongNamesTo128Characters) {
  TempDir dir;
  const std::string longName = std::string(140, 'n') + ".txt";
  dir.write(longName, "x");
  const auto files = ListTextFiles(core::FromFsPath(dir.path()));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].Name, longName.substr(0, 128));
}

// The minutes and seconds of a local time are those of the UTC time in every
// zone with whole-minute offsets, so they can be checked anywhere.
TEST(ListTextFiles, DatesHaveEvenSeconds) {
  using namespace std::chrono;
  TempDir dir;
  const auto file = dir.write("day.txt", "x");
  const sys_seconds written = sys_days{year{2016} / 3 / 5} + hours{14} + minutes{7} + seconds{9};
  std::filesystem::last_write_time(file, file_clock::from_sys(written) + milliseconds{700});
  const auto files = ListTextFiles(core::FromFsPath(dir.path()));
  ASSERT_EQ(files.size(), 1u);
  const std::string text = core::DateTimeToListText(files[0].Date);
  EXPECT_EQ(text.substr(text.size() - 5), "07:08") << text;
  EXPECT_EQ(text.substr(5, 4), ".16 ") << text;
}

// Sets the C library's time zone for one test (POSIX and the Windows C
// runtime read TZ the same way: "MSK-3" is three hours east of UTC).
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const std::string& zone) {
    if (const char* old = std::getenv("TZ")) m_old = old;
    set(zone);
  }
  ~ScopedTimeZone() { set(m_old.value_or("")); }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  static void set(const std::string& zone) {
#ifdef _WIN32
    _putenv_s("TZ", zone.c_str());
    _tzset();
#else
    if (zone.empty()) {
      unsetenv("TZ");
    } else {
      setenv("TZ", zone.c_str(), 1);
    }
    tzset();
#endif
  }
  std::optional<std::string> m_old;
};

TEST(ListTextFiles, DatesAreLocalTime) {
  using namespace std::chrono;
  const ScopedTimeZone moscow("MSK-3");
  TempDir dir;
  const auto file = dir.write("day.txt", "x");
  const sys_seconds written = sys_days{year{2016} / 3 / 4} + hours{22} + minutes{7} + seconds{9};
  std::filesystem::last_write_time(file, file_clock::from_sys(written));
  const auto files = ListTextFiles(core::FromFsPath(dir.path()));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(core::DateTimeToListText(files[0].Date), "05.03.16 01:07:08");
}

#ifdef _WIN32
// The listing takes every file, hidden and system files too.
TEST(ListTextFiles, HiddenAndSystemFilesAreListed) {
  TempDir dir;
  const auto file = dir.write("hidden.txt", "x");
  ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  ASSERT_EQ(ListTextFiles(core::FromFsPath(dir.path())).size(), 1u);
  EXPECT_EQ(ListTextFiles(core::FromFsPath(dir.path()))[0].Name, "hidden.txt");
}
#endif

TEST(ListTextFiles, KeepsTheWindowAliveInLongListings) {
  TempDir dir;
  for (int i = 0; i < 149; ++i) dir.write("f" + std::to_string(i) + ".txt", "");
  std::vector<int> pauses;
  core::SetDelayHandler([&pauses](int ms) { pauses.push_back(ms); });
  const auto files = ListTextFiles(core::FromFsPath(dir.path()));
  core::SetDelayHandler(nullptr);
  EXPECT_EQ(files.size(), 149u);
  EXPECT_EQ(pauses, (std::vector<int>{10, 10}));
}

}  // namespace
}  // namespace readers::test
