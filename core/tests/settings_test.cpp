#include "core/settings.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/hourtemplates.h"
#include "core/text.h"

namespace core {
namespace {

namespace fs = std::filesystem;

class SettingsFile : public testing::Test {
 protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() /
            ("mvimport-core-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
    m_path = (m_dir / "mvimport.ini").string();
  }
  void TearDown() override { fs::remove_all(m_dir); }

  void write(const std::string& text) {
    std::ofstream(m_path, std::ios::binary) << text;
  }
  std::string read() const {
    std::ifstream in(m_path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path m_dir;
  std::string m_path;
};

// What AddBackslash appends to a folder that lacks it.
#ifdef _WIN32
const std::string kSep = "\\";
#else
const std::string kSep = "/";
#endif

TEST_F(SettingsFile, MissingFileGivesEveryDefault) {
  const IniFile ini(m_path);
  const TSetts s = ReadIni(ini, "/opt/mvimport");
  const std::string mirvane = AddBackslash("C:\\Mirvane");
  EXPECT_EQ(s.MVPath, mirvane);
  EXPECT_EQ(s.TxtPath, mirvane);
  EXPECT_EQ(s.BasePath, "/opt/mvimport" + kSep);
  EXPECT_EQ((std::array{s.Artist_Start, s.Artist_End, s.Name_Start, s.Name_End}), (std::array{10, 40, 42, 80}));
  EXPECT_EQ((std::array{s.JArtist_Start, s.JArtist_End, s.JName_Start, s.JName_End}), (std::array{10, 40, 42, 80}));
  EXPECT_EQ(s.Method, -1);
  EXPECT_EQ(s.ShiftHour, 0);
  EXPECT_FALSE(s.Use_Jingle);
  EXPECT_EQ(s.Jingle_Artist, "");
  EXPECT_EQ(ShowSetts(s).MethodIndex, -1);
  EXPECT_EQ(NoPresetCaption(), cp1251("Выберите предустановку"));
  EXPECT_FALSE(fs::exists(m_path));
}

// A file saved as UTF-16 or UTF-8 with a byte-order mark is said to be so,
// where it would otherwise read as every default.
TEST_F(SettingsFile, AFileNotInWindows1251IsSaidToBeSo) {
  const struct {
    const char* bytes;
    std::size_t size;
    const char* encoding;  // nullptr: readable
  } cases[] = {
      {"\xFF\xFE[\0S\0", 6, "UTF-16"},
      {"\xFE\xFF\0[\0S", 6, "UTF-16"},
      {"\xEF\xBB\xBF[Setting]\r\n", 14, "UTF-8"},
      {"[Setting]\r\nMethod=2\r\n", 22, nullptr},
      {"", 0, nullptr},
  };
  for (const auto& c : cases) {
    write(std::string(c.bytes, c.size));
    const auto problem = IniFile(m_path).encodingProblem();
    if (c.encoding == nullptr) {
      EXPECT_FALSE(problem) << *problem;
    } else {
      ASSERT_TRUE(problem) << c.encoding;
      EXPECT_NE(problem->find(cp1251("сохранён в кодировке ") + c.encoding), std::string::npos) << *problem;
      EXPECT_EQ(problem->rfind(m_path, 0), 0u);
    }
  }
  EXPECT_FALSE(IniFile((m_dir / "none.ini").string()).encodingProblem());
}

TEST_F(SettingsFile, ValuesAreReadWithoutRegardToLetterCase) {
  write("; station settings\r\n[SETTING]\r\nmvpath=/data/mv\r\nTxtPath=D:\\Lists\\\r\nBasePath=\r\n"
        "artist_start= 12 \r\nName_End=abc\r\nUse_Jingle=2\r\nMethod=$3\r\nJingle_Artist=" +
        std::string(200, 'j') + "\r\n");
  const TSetts s = ReadIni(IniFile(m_path), "/opt");
  EXPECT_EQ(s.MVPath, "/data/mv" + kSep);
  EXPECT_EQ(s.TxtPath, "D:\\Lists\\");
  EXPECT_EQ(s.BasePath, "");
  EXPECT_EQ(s.Artist_Start, 12);
  EXPECT_EQ(s.Name_End, 80);  // not a number: the default
  EXPECT_TRUE(s.Use_Jingle);
  EXPECT_EQ(s.Method, 3);
  EXPECT_EQ(s.Jingle_Artist, std::string(192, 'j'));
}

TEST_F(SettingsFile, WritingKeepsOtherSectionsKeysAndComments) {
  write("; comment\r\n[Hours]\r\nMorning=6 7 8\r\n[Setting]\r\nMVPath=/old\r\nCustom=keep me\r\n\r\n[Other]\r\nx=1\r\n");
  IniFile ini(m_path);
  TSetts s = ReadIni(ini, "/opt");
  s.MVPath = "/new/";
  WriteIni(s, ini);
  const std::string text = read();
  EXPECT_NE(text.find("; comment\r\n[Hours]\r\nMorning=6 7 8\r\n[Setting]\r\nMVPath=/new/\r\nCustom=keep me\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[Other]\r\nx=1\r\n"), std::string::npos);
  EXPECT_EQ(text.find("/old"), std::string::npos);
  const TSetts again = ReadIni(ini, "/opt");
  EXPECT_EQ(again.TxtPath, s.TxtPath);
  EXPECT_EQ(again.Name_Start, s.Name_Start);
  EXPECT_EQ(HourTemplateNames(ini), std::vector<std::string>{"Morning"});
}

TEST_F(SettingsFile, NamesInCp1251ReachTheFileSystem) {
  const std::string folder = FromFsPath(m_dir) + "/" + cp1251("Станция");
  fs::create_directories(FsPath(folder));
  IniFile ini(folder + "/" + cp1251("настройки.ini"));
  ini.writeString("Setting", "TxtPath", cp1251("Плейлисты"));
  EXPECT_TRUE(fs::exists(m_dir / u8"Станция" / u8"настройки.ini"));
  EXPECT_EQ(ReadIni(ini, "/opt").TxtPath, AddBackslash(cp1251("Плейлисты")));
}

TEST_F(SettingsFile, UnwritableFileFailsWithItsName) {
  IniFile ini((m_dir / "missing-folder" / "mvimport.ini").string());
  try {
    WriteIni(TSetts{}, ini);
    FAIL() << "the write should fail";
  } catch (const IniWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini.path());
  }
}

// A damaged or hand-edited settings file: what cannot be read takes the
// default, the rest is read as written.
TEST_F(SettingsFile, GarbageLinesNumbersBeyond32BitsAndMissingSectionsGiveDefaults) {
  struct Case {
    const char* what;
    std::string text;
    std::array<std::int32_t, 6> expected;  // Artist_Start, Artist_End, Name_Start, Name_End, Method, ShiftHour
  };
  const std::array<std::int32_t, 6> defaults{10, 40, 42, 80, -1, 0};
  const std::vector<Case> cases = {
      {"binary bytes, no sections", std::string(1, '\0') + "\xff\x01garbage\r\n=\r\n[\r\n]]]=[\n\x1a", defaults},
      {"only the hours", "[Hours]\r\nMorning=6 7\r\nMethod=2\r\n", defaults},
      {"keys before any section", "Method=2\r\nArtist_Start=5\r\n[Setting]\r\n", defaults},
      {"numbers beyond 32 bits",
       "[Setting]\r\nArtist_Start=2147483648\r\nArtist_End=-2147483649\r\nName_Start=99999999999999999999\r\n"
       "Name_End=0x100000000\r\nMethod=2147483647\r\nShiftHour=-2147483648\r\n",
       {10, 40, 42, 80, 2147483647, -2147483647 - 1}},
      {"lines without '=' and empty keys", "[Setting]\r\nMethod\r\n=4\r\n ; Method=4\r\nShiftHour 3\r\n", defaults},
  };
  for (const Case& c : cases) {
    write(c.text);
    const TSetts s = ReadIni(IniFile(m_path), "/opt");
    EXPECT_EQ((std::array{s.Artist_Start, s.Artist_End, s.Name_Start, s.Name_End, s.Method, s.ShiftHour}), c.expected)
        << c.what;
    EXPECT_EQ(s.MVPath, AddBackslash("C:\\Mirvane")) << c.what;
  }
}

// Lines of 10 MB: values are cut to the fields' capacities, a template of
// millions of words is read through, and the keys after them are still found.
TEST_F(SettingsFile, TenMegabyteLinesAreReadThrough) {
  const std::size_t kHuge = 10 * 1024 * 1024;
  std::string hours;
  hours.reserve(kHuge);
  while (hours.size() < kHuge) hours += "5 ";
  write("[Setting]\r\n" + std::string(kHuge / 10, '#') + "\r\nMVPath=" + std::string(kHuge, 'm') +
        "\r\nJingle_Artist=" + std::string(1000, 'j') + "\r\nMethod=4\r\n[Hours]\r\nLong=" + hours + "7\r\n");
  const IniFile ini(m_path);
  const TSetts s = ReadIni(ini, "/opt");
  EXPECT_EQ(s.MVPath, AddBackslash(std::string(kFolderCapacity, 'm')));
  EXPECT_EQ(s.Jingle_Artist, std::string(kJingleMarkersCapacity, 'j'));
  EXPECT_EQ(s.Method, 4);
  EXPECT_EQ(HourTemplateNames(ini), std::vector<std::string>{"Long"});
  HourFlags applied{};
  ApplyHourTemplate(ini, "Long", applied);
  EXPECT_EQ(HourTemplateValue(applied), "5 7");
}

TEST_F(SettingsFile, SaveChecksSongColumnsThenJingleColumns) {
  IniFile ini(m_path);
  TSetts s = ReadIni(ini, "/opt");
  SettingsPage page = ShowSetts(s);
  page.ArtStart = 40;
  page.ArtEnd = 40;
  page.TxtPath = "/lists";
  auto error = SaveParms(s, page, ini);
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, cp1251("Ошибка указания колонок песен. Конечная колонка не больше начальной"));
  EXPECT_FALSE(fs::exists(m_path));
  EXPECT_EQ(s.TxtPath, "/lists");  // taken before the check, kept in memory

  page.ArtStart = 39;
  page.JNameStart = 50;
  page.JNameEnd = 20;
  page.UseJingle = false;
  EXPECT_FALSE(SaveParms(s, page, ini));  // jingle columns unchecked while recognition is off
  EXPECT_EQ(s.JName_Start, 42);           // and not taken
  EXPECT_EQ(ReadIni(ini, "/opt").Artist_Start, 39);

  page.UseJingle = true;
  page.JArtist = "  Jingle ;" + cp1251("Джингл") + "  ";
  error = SaveParms(s, page, ini);
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, cp1251("Ошибка указания колонок джинглов. Конечная колонка не больше начальной"));
  EXPECT_EQ(s.Jingle_Artist, "Jingle ;" + cp1251("Джингл"));
  EXPECT_FALSE(ReadIni(ini, "/opt").Use_Jingle);

  page.JNameEnd = 80;
  EXPECT_FALSE(SaveParms(s, page, ini));
  const TSetts saved = ReadIni(ini, "/opt");
  EXPECT_TRUE(saved.Use_Jingle);
  EXPECT_EQ(saved.Jingle_Artist, "Jingle ;" + cp1251("Джингл"));
  EXPECT_EQ(saved.TxtPath, "/lists" + kSep);  // the next read adds the separator
}

TEST(Presets, FillThePageAndKeepWhatTheyDoNotSet) {
  TSetts s;
  SettingsPage page = ShowSetts(s);
  page.JArtist = "keep";
  page.UseJingle = true;
  CBMethodChange(s, page, 1);
  EXPECT_EQ(s.Method, 1);
  EXPECT_EQ((std::array{page.ArtStart, page.ArtEnd, page.NameStart, page.NameEnd}), (std::array{36, 61, 9, 35}));
  EXPECT_FALSE(page.UseJingle);
  EXPECT_EQ(page.JArtist, "keep");
  EXPECT_FALSE(page.JinglesVisible);
  EXPECT_EQ(s.Artist_Start, 10);  // the settings change only when saved

  CBMethodChange(s, page, 0);
  EXPECT_EQ((std::array{page.JArtStart, page.JArtEnd, page.JNameStart, page.JNameEnd}), (std::array{39, 70, 7, 38}));
  EXPECT_EQ(page.JArtist, cp1251("Джингл"));
  EXPECT_TRUE(page.UseJingle);
  EXPECT_TRUE(page.JinglesVisible);

  CBMethodChange(s, page, 3);
  EXPECT_EQ(page.JArtist, "");
  EXPECT_EQ((std::array{page.JArtStart, page.JNameEnd}), (std::array{42, 41}));
  CBMethodChange(s, page, -1);
  EXPECT_EQ(s.Method, -1);
  EXPECT_EQ(page.ArtStart, 36);

  s.Method = 1;
  EXPECT_TRUE(ShowSetts(s).JinglesVisible);
  s.Method = 4;
  EXPECT_FALSE(ShowSetts(s).JinglesVisible);
  EXPECT_EQ(PresetCaption(4), cp1251("Радио Дача Москва"));
}

TEST_F(SettingsFile, HourTemplatesSaveListAndApply) {
  IniFile ini(m_path);
  HourFlags hours{};
  hours[6] = hours[7] = hours[8] = hours[9] = true;
  EXPECT_EQ(SaveHourTemplate(ini, "", hours), "Default");
  EXPECT_EQ(SaveHourTemplate(ini, "  " + cp1251("Утро") + " ", hours), "  " + cp1251("Утро") + " ");
  EXPECT_EQ(ini.readString(kHoursSection, cp1251("УТРО"), "-"), "6 7 8 9");
  SaveHourTemplate(ini, "Empty", HourFlags{});
  hours[6] = false;
  SaveHourTemplate(ini, "default", hours);  // replaces, whatever the letter case
  EXPECT_EQ(HourTemplateNames(ini), (std::vector<std::string>{"default", cp1251("Утро"), "Empty"}));

  HourFlags applied{};
  ApplyHourTemplate(ini, "Default", applied);
  EXPECT_EQ(HourTemplateValue(applied), "7 8 9");
  ApplyHourTemplate(ini, "Empty", applied);
  EXPECT_EQ(HourTemplateValue(applied).size(), std::string("0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23").size());
  ApplyHourTemplate(ini, "no such template", applied);
  EXPECT_TRUE(std::all_of(applied.begin(), applied.end(), [](bool b) { return b; }));
}

TEST(HourTemplateValues, ParseAsDecimalNumbersUntilAWordThatIsNot) {
  const std::pair<const char*, const char*> cases[] = {
      {"9 3 3", "3 9"},      {"  6  7 ", "6 7"},   {"5 24 99 7", "5 7"},
      {"x 5", ""},           {"-1 5", ""},         {"4 x 5", "4"},
      {"99999999999 2", "2"}, {"+3", ""},
  };
  for (const auto& [value, chosen] : cases) EXPECT_EQ(HourTemplateValue(ParseHourTemplate(value)), chosen) << value;
}

}  // namespace
}  // namespace core
