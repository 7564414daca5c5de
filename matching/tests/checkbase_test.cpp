// CheckBase: the table paths it sets and the messages, question and creation
// of its steps, with the operator's answers scripted.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"
#include "db/paradox/table.h"
#include "db/station.h"
#include "matching/assoccheck.h"
#include "matching/tests/station.h"

namespace db {
namespace {

using stationtest::Cp;

// Records what CheckBase says and answers its question from a script.
class ScriptedDialogs : public matching::OperatorUi {
 public:
  void showError(const std::string& text) override { said.push_back("error: " + core::cp1251ToUtf8(text)); }
  bool askYesNo(const std::string& question) override {
    said.push_back("ask: " + core::cp1251ToUtf8(question));
    return yes;
  }
  void showErrorDetails(const std::string& text, const std::string& informative) override {
    showError(text);
    details.push_back(core::cp1251ToUtf8(informative));
  }
  std::vector<std::string> details;
  void showInfo(const std::string&) override {}
  void showWarning(const std::string&) override {}
  matching::Answer askBatch(const std::string&) override { return matching::Answer::No; }
  void ShowIndicator(const std::string&, int, int) override {}
  std::string GetSongPath(const std::string&, const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string GetJinglePath(const std::string&, const std::string&, const std::string&) override { return {}; }
  bool yes = false;
  std::vector<std::string> said;
};

const char kAsk[] = "ask: Не найдена база ассоциаций. Создать базу?";
const char kNoSongs[] = "error: Не найдена база песен!";
const char kNoJingles[] = "error: Не найдена база джинглов!";

class StationCheckBase : public ::testing::Test {
 protected:
  void SetUp() override {
    m_setts.MVPath = m_dir.File("Mirvane");
    m_setts.BasePath = m_dir.File("Ассоциации");
    std::filesystem::create_directories(core::FsPath(m_setts.MVPath));
    std::filesystem::create_directories(core::FsPath(m_setts.BasePath));
  }

  void makeTable(const std::string& path) { stationtest::MakeTable(path, "FName Char(10)"); }
  std::string mv(const char* name) const { return core::FromFsPath(core::FsPath(m_setts.MVPath) / name); }
  std::string association() const { return core::FromFsPath(core::FsPath(m_setts.BasePath) / "Association.db"); }
  bool exists(const std::string& path) const { return std::filesystem::exists(core::FsPath(path)); }
  bool check() {
    const bool ready = matching::CheckBase(m_setts, m_station, m_dialogs);
    m_paths = m_station.paths();
    return ready;
  }

  stationtest::TempDir m_dir;
  core::TSetts m_setts;
  StationPaths m_paths;
  Station m_station;
  ScriptedDialogs m_dialogs;
};

TEST(StationPaths, FolderSettingsGetOneSeparatorAndEmptyOnesNone) {
#ifdef _WIN32
  const std::string sep = "\\";
#else
  const std::string sep = "/";
#endif
  core::TSetts s;
  s.MVPath = "mv" + sep;
  s.BasePath = "base";
  StationPaths p = MakeStationPaths(s);
  EXPECT_EQ(p.AssociationPath, "base" + sep + "Association.db");
  EXPECT_EQ(p.BaseSongPath, "mv" + sep + "BaseSong.db");
  EXPECT_EQ(p.JinglesPath, "mv" + sep + "Jingles.db");
  EXPECT_EQ(p.PlayListPath, "mv" + sep + "PlayList.db");
  s.MVPath = "";
  p = MakeStationPaths(s);
  EXPECT_EQ(p.BaseSongPath, "BaseSong.db");
  EXPECT_EQ(p.JinglesPath, "Jingles.db");
  EXPECT_EQ(p.PlayListPath, "PlayList.db");
}

TEST_F(StationCheckBase, AMissingSongBaseIsTheOnlyMessageAndThePathsAreSetAnyway) {
  m_setts.Use_Jingle = true;
  EXPECT_FALSE(check());
  EXPECT_EQ(m_dialogs.said, std::vector<std::string>{kNoSongs});
  EXPECT_EQ(m_dialogs.details, std::vector<std::string>{"Нет файла " + core::cp1251ToUtf8(mv("BaseSong.db"))});
  EXPECT_EQ(m_paths.BaseSongPath, mv("BaseSong.db"));
  EXPECT_EQ(m_paths.AssociationPath, association());
  EXPECT_FALSE(exists(association()));
}

TEST_F(StationCheckBase, AMissingJingleBaseMattersOnlyWithJingleRecognition) {
  makeTable(mv("BaseSong.db"));
  makeTable(association());
  m_setts.Use_Jingle = true;
  EXPECT_FALSE(check());
  EXPECT_EQ(m_dialogs.said, std::vector<std::string>{kNoJingles});
  EXPECT_EQ(m_dialogs.details, std::vector<std::string>{"Нет файла " + core::cp1251ToUtf8(mv("Jingles.db"))});
  m_dialogs.said.clear();
  m_setts.Use_Jingle = false;
  EXPECT_TRUE(check());
  EXPECT_TRUE(m_dialogs.said.empty());
  EXPECT_FALSE(exists(mv("PlayList.db")));
}

TEST_F(StationCheckBase, NoKeepsAskingAndCreatesNothing) {
  makeTable(mv("BaseSong.db"));
  EXPECT_FALSE(check());
  EXPECT_FALSE(check());
  EXPECT_EQ(m_dialogs.said, (std::vector<std::string>{kAsk, kAsk}));
  EXPECT_FALSE(exists(association()));
}

TEST_F(StationCheckBase, YesCreatesTheAssociationTableWithItsThreeColumns) {
  makeTable(mv("BaseSong.db"));
  m_dialogs.yes = true;
  EXPECT_TRUE(check());
  const ParadoxTable created(association());
  ASSERT_EQ(created.fields().size(), 3u);
  const char* names[] = {"FArtist", "FName", "FPath"};
  const int sizes[] = {64, 64, 160};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(created.fields()[i].name, names[i]);
    EXPECT_EQ(created.fields()[i].type, FieldType::Alpha);
    EXPECT_EQ(created.fields()[i].size, sizes[i]);
  }
  EXPECT_EQ(created.recordCount(), 0u);
  EXPECT_TRUE(check());
  EXPECT_EQ(m_dialogs.said, std::vector<std::string>{kAsk});
}

TEST_F(StationCheckBase, AFolderNameWithADoubleQuoteStillGetsItsTable) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names cannot hold a double quote";
#endif
  m_setts.BasePath = m_dir.File("База \"Ретро\"");
  std::filesystem::create_directories(core::FsPath(m_setts.BasePath));
  makeTable(mv("BaseSong.db"));
  m_dialogs.yes = true;
  EXPECT_TRUE(check());
  EXPECT_TRUE(exists(association()));
}

TEST_F(StationCheckBase, AFailedCreationIsSilent) {
  makeTable(mv("BaseSong.db"));
  m_setts.BasePath = m_dir.File("Нет такой папки");
  m_dialogs.yes = true;
  EXPECT_FALSE(check());
  EXPECT_EQ(m_dialogs.said, std::vector<std::string>{kAsk});
  EXPECT_FALSE(exists(association()));
}

// The operator picked a table file instead of its folder: the message names
// the setting and the file, where it would otherwise say a table is missing or
// fail to create Association.db without a word.
TEST_F(StationCheckBase, AFolderSettingThatNamesAFileIsSaidSo) {
  makeTable(mv("BaseSong.db"));
  const std::string songBase = mv("BaseSong.db");
  const std::string utf8SongBase = core::cp1251ToUtf8(songBase);
  struct Case {
    const char* what;
    std::string mvPath, basePath;
    std::vector<std::string> said;
  };
  const std::vector<Case> cases = {
      {"MVPath names the song base", songBase, m_setts.BasePath,
       {"error: Путь к базам Mirvane указывает на файл, а не на папку: " + utf8SongBase +
        ". Укажите папку в настройках."}},
      {"MVPath runs through a file", songBase + "/Mirvane/", m_setts.BasePath,
       {"error: Путь к базам Mirvane указывает на файл, а не на папку: " + utf8SongBase +
        ". Укажите папку в настройках."}},
      {"BasePath names a file", m_setts.MVPath, songBase,
       {"error: Путь к базе соответствий указывает на файл, а не на папку: " + utf8SongBase +
        ". Укажите папку в настройках."}},
  };
  for (const Case& c : cases) {
    m_setts.MVPath = c.mvPath;
    m_setts.BasePath = c.basePath;
    m_dialogs.said.clear();
    m_dialogs.yes = true;
    EXPECT_FALSE(check()) << c.what;
    EXPECT_EQ(m_dialogs.said, c.said) << c.what;
    EXPECT_EQ(m_paths.BaseSongPath, core::AddBackslash(c.mvPath) + "BaseSong.db") << c.what;
  }
  EXPECT_TRUE(std::filesystem::is_regular_file(core::FsPath(songBase)));
}

}  // namespace
}  // namespace db
