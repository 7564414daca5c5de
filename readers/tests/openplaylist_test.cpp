#include "readers/openplaylist.h"

#include <gtest/gtest.h>

#include "core/fspath.h"
#include "harness.h"

namespace readers::test {
namespace {

const std::string kTwoHours = Place({{1, "07:30"}, {7, "T"}, {39, "A"}}) + "\r\n" +
                              Place({{1, "08:30"}, {7, "T"}, {39, "A"}}) + "\r\n";

struct OpenFixture : ::testing::Test {
  OpenFixture() : h(MirvaneSetts()), folder(core::FromFsPath(dir.path())) {
    dir.write("day.txt", kTwoHours);
    core::AppendSong(h.day, 3, "Old", "Entry", core::kKindSong);
    h.day.HourSetts[3] = true;
    h.state.AdBlock = true;
  }

  TempDir dir;
  Harness h;
  std::string folder;
};

TEST_F(OpenFixture, ReplacesTheDayAndChoosesItsHours) {
  ASSERT_TRUE(OpenPlaylist(folder, "day.txt", h.context()));
  EXPECT_EQ(Entries(h.day), (std::vector<Entry>{song(7, "A", "T"), song(8, "A", "T")}));
  for (int hour = 0; hour < core::kHours; ++hour) {
    EXPECT_EQ(h.day.HourSetts[hour], hour == 7 || hour == 8) << hour;
  }
  EXPECT_FALSE(h.state.AdBlock);
}

TEST_F(OpenFixture, SelectedTemplateReplacesTheChoice) {
  core::IniFile ini(core::FromFsPath(dir.path() / "mvimport.ini"));
  ini.writeString("Hours", "Evening", "8 20 21");
  const SelectedTemplate evening{ini, " Evening "};
  ASSERT_TRUE(OpenPlaylist(folder, "day.txt", h.context(), &evening));
  for (int hour = 0; hour < core::kHours; ++hour) {
    EXPECT_EQ(h.day.HourSetts[hour], hour == 8 || hour == 20 || hour == 21) << hour;
  }
}

TEST_F(OpenFixture, FileThatCannotBeOpenedKeepsTheHourChoice) {
  EXPECT_FALSE(OpenPlaylist(folder, "missing.txt", h.context()));
  EXPECT_TRUE(Entries(h.day).empty());
  EXPECT_TRUE(h.day.HourSetts[3]);
  EXPECT_FALSE(h.state.AdBlock);
}

}  // namespace
}  // namespace readers::test
