// The read command of mvimport-cli, run as the operator would run it.
#include <gtest/gtest.h>

#include "cli/testing/runcli.h"
#include "harness.h"

namespace readers::test {
namespace {

using clitest::CliRun;
using clitest::PathText;
using clitest::Quoted;

CliRun RunRead(const std::string& args) {
  TempDir dir;
  return clitest::RunCli(MVIMPORT_CLI, "read " + args, dir.path());
}

// An empty settings file, so the defaults apply whatever lies beside the program.
struct CliFixture : ::testing::Test {
  CliFixture() : ini(PathText(dir.path() / "none.ini")) {}
  TempDir dir;
  std::string ini;
};

TEST_F(CliFixture, PrintsTheDayOfAPresetLayout) {
  const CliRun run = RunRead("--ini " + Quoted(ini) + " --preset 3 --markers " + Quoted("Джингл") + " " +
                          Quoted(Fixture("retrofm.txt")));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "0\t0\tArtist A+Artist B\tSong One\n"
            "0\t5\tДжингл\tРетро джингл\n"
            "0\t5\tДжингл\t*Джингл часа\n"
            "0\t0\tSolo\tSong Two\n"
            "1\t0\t'Quoted' Artist\tHour One Song\n");
}

TEST_F(CliFixture, PrintsTheImportDateLast) {
  const CliRun run = RunRead("--ini " + Quoted(ini) + " --preset 4 " + Quoted(Fixture("dacha.txt")));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out,
            "12\t0\tArtist Twelve\tSong Twelve\n"
            "12\t0\tTitle-less Artist\t\n"
            "12\t0\tАртист Дачи\tПесня 'Дача'\n"
            "13\t0\tArtist Thirteen\tSong Thirteen\n"
            "date\t01.02.2010\n");
}

// The settings file decides the layout when no preset is given.
TEST_F(CliFixture, ReadsWithTheSavedSettings) {
  std::ofstream(dir.path() / "none.ini") << "[Setting]\nMethod=1\nName_Start=9\nName_End=35\nArtist_Start=36\nArtist_End=61\n";
  const CliRun run = RunRead("--ini " + Quoted(ini) + " " + Quoted(Fixture("selector.txt")));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "0\t0\tMorning Artist\tMorning Song");
}

// Without --ini the program reads the settings file named after it, in its
// own folder, wherever it is started from.
TEST(CliSettings, TheSettingsFileBesideTheProgramIsRead) {
  TempDir dir;
  const std::filesystem::path folder = dir.path() / u8"Эфир";
  std::filesystem::create_directories(folder);
  const std::filesystem::path cli = MVIMPORT_CLI;
  const std::filesystem::path program = folder / (u8"импорт" + cli.extension().u8string());
  std::filesystem::copy_file(cli, program);
  std::ofstream(folder / u8"импорт.ini") << "[Setting]\r\nMethod=1\r\nName_Start=9\r\nName_End=35\r\n"
                                          "Artist_Start=36\r\nArtist_End=61\r\n";
  const CliRun run = clitest::RunCli(PathText(program), "read " + Quoted(Fixture("selector.txt")), dir.path());
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "0\t0\tMorning Artist\tMorning Song");
}

TEST_F(CliFixture, FailuresAndWrongUsage) {
  struct Case {
    std::string args;
    int exitCode;
  };
  const std::vector<Case> cases = {
      {"--ini " + Quoted(ini) + " " + Quoted(PathText(dir.path() / "missing.txt")), 1},
      {"--ini " + Quoted(ini), 2},
      {"--ini " + Quoted(ini) + " --preset 5 " + Quoted(Fixture("dacha.txt")), 2},
      {"--ini " + Quoted(ini) + " --preset x " + Quoted(Fixture("dacha.txt")), 2},
      {"--verbose " + Quoted(Fixture("dacha.txt")), 2},
      {Quoted(Fixture("dacha.txt")) + " --preset", 2},
      {Quoted(Fixture("dacha.txt")) + " " + Quoted(Fixture("mirvane.txt")), 2},
  };
  for (const auto& c : cases) {
    const CliRun run = RunRead(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args;
    EXPECT_TRUE(run.out.empty()) << c.args;
    EXPECT_FALSE(run.err.empty()) << c.args;
  }
}

// Asking for help or the version is not wrong usage: standard output, exit 0.
TEST(CliConventions, HelpAndVersionGoToStandardOutput) {
  TempDir dir;
  struct Case {
    std::string args;
    std::string firstLine;
  };
  const std::vector<Case> cases = {
      {"--help", "usage: mvimport-cli COMMAND [ARGS]"},
      {"-h", "usage: mvimport-cli COMMAND [ARGS]"},
      {"read --help", "usage: mvimport-cli read "},
      {"dump -h", "usage: mvimport-cli dump TABLE"},
      {"--version", "mvimport-cli "},
  };
  for (const auto& c : cases) {
    const CliRun run = clitest::RunCli(MVIMPORT_CLI, c.args, dir.path());
    EXPECT_EQ(run.exitCode, 0) << c.args;
    EXPECT_EQ(run.out.substr(0, c.firstLine.size()), c.firstLine) << c.args;
    EXPECT_TRUE(run.err.empty()) << c.args << ": " << run.err;
  }
  const CliRun version = clitest::RunCli(MVIMPORT_CLI, "--version", dir.path());
  EXPECT_GT(version.out.size(), std::string("mvimport-cli \n").size());
  // Wrong usage stays an error.
  for (const std::string args : {"", "nosuchcommand", "--helpme"}) {
    const CliRun run = clitest::RunCli(MVIMPORT_CLI, args, dir.path());
    EXPECT_EQ(run.exitCode, 2) << args;
    EXPECT_TRUE(run.out.empty()) << args;
    EXPECT_NE(run.err.find("usage: mvimport-cli COMMAND"), std::string::npos) << args;
  }
}

}  // namespace
}  // namespace readers::test
