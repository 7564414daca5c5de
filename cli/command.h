// The companion's subcommands. Each lives in a file of its own and registers
// itself; main() only dispatches.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include <optional>
#include <stdexcept>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/hourtemplates.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "matching/operatorui.h"

namespace cli {

// What --version prints after the program's name.
constexpr std::string_view kVersion = "1.0.0";

// Exit codes of every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct Context {
  std::vector<std::string> args;  // the arguments after the subcommand's name
  std::string programPath;        // the program file (UTF-8), for the settings file beside it
  std::ostream& out;
  std::ostream& err;
};

struct Command {
  std::string_view name;
  std::string_view usage;  // the arguments, as "COMMAND --help" prints them after the name
  std::function<int(Context&)> run;
};

// Registers at static initialisation: `static const cli::Registration r{{...}};`
struct Registration {
  explicit Registration(Command command);
};

const std::vector<Command>& Commands();

// The settings of a settings file, for the program at programPath (UTF-8).
// Throws std::runtime_error for a file that is not Windows-1251 text.
core::TSetts ReadSettings(const core::IniFile& ini, const std::string& programPath);

// "Не удалось открыть файл плейлиста FILE: REASON" (CP1251) for a playlist
// that could not be opened.
std::string CannotOpen(const std::string& cp1251File);

// A playlist file read as the settings say, with the hours chosen by the
// file, then by the named hour template (CP1251) or the hours given.
struct LoadedDay {
  core::DayPlaylist day;
  std::optional<core::TDateTime> fileDate;  // set by the layouts that carry one
};
// Throws std::runtime_error naming the template missing from the settings
// file, or the playlist that cannot be opened. command: for the messages.
LoadedDay ReadPlaylist(std::string_view command, const std::string& utf8Playlist, const core::TSetts& setts,
                       const core::IniFile& ini, const std::optional<std::string>& hourTemplate,
                       const std::optional<core::HourFlags>& hours);

// The operator of a job without questions: an error or a warning ends the
// command with its text; a Yes/No question gets `yes`, a batch question
// `batch`; messages and their informative texts are kept, in order, for the
// command to print.
class UnattendedUi : public matching::OperatorUi {
 public:
  UnattendedUi(bool yes, matching::Answer batch) : m_yes(yes), m_batch(batch) {}

  void showError(const std::string& text) override { throw std::runtime_error(text); }
  void showWarning(const std::string& text) override { throw std::runtime_error(text); }
  void showInfo(const std::string& text) override { m_said.push_back(text); }
  void showDone(const std::string& text, const std::string& informative) override {
    m_said.push_back(text);
    m_details.push_back(informative);
  }
  bool askYesNo(const std::string&) override { return m_yes; }
  matching::Answer askBatch(const std::string&) override { return m_batch; }
  void ShowIndicator(const std::string&, int, int) override {}
  std::string GetSongPath(const std::string&, const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string GetJinglePath(const std::string&, const std::string&, const std::string&) override { return {}; }

  const std::vector<std::string>& said() const { return m_said; }
  const std::vector<std::string>& details() const { return m_details; }

 private:
  bool m_yes;
  matching::Answer m_batch;
  std::vector<std::string> m_said;
  std::vector<std::string> m_details;
};

// An option's value as a whole number from low to high (decimal digits
// only), or nullopt.
std::optional<std::int64_t> WholeNumber(const std::string& text, std::int64_t low, std::int64_t high);

// Writes CP1251 text to a console that reads UTF-8.
void PrintText(std::ostream& out, std::string_view cp1251Text);

}  // namespace cli
