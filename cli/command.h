// The companion's subcommands. Each lives in a file of its own and registers
// itself; main() only dispatches.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include <optional>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/hourtemplates.h"
#include "core/inifile.h"
#include "core/settings.h"

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

// Writes CP1251 text to a console that reads UTF-8.
void PrintText(std::ostream& out, std::string_view cp1251Text);

}  // namespace cli
