#include <algorithm>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <system_error>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include "cli/command.h"
#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"
#include "readers/openplaylist.h"

namespace cli {
namespace {

std::vector<Command>& registry() {
  static std::vector<Command> commands;
  return commands;
}

// The usage goes to standard output when asked for (--help, exit 0) and to
// standard error after wrong usage (exit 2).
void printUsage(std::ostream& out) {
  out << "usage: mvimport-cli COMMAND [ARGS]\n"
         "       mvimport-cli COMMAND --help\n"
         "       mvimport-cli --version\n";
  for (const auto& c : Commands()) out << "  mvimport-cli " << c.name << " " << c.usage << "\n";
}

bool isHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

#ifdef _WIN32
std::string toUtf8(const wchar_t* wide) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(size - 1));
  return text;
}
#endif

// The arguments as UTF-8. Windows hands main() the arguments in the system's
// ANSI code page, which cannot hold every name; the wide command line can.
std::vector<std::string> arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide != nullptr) {
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i) args.push_back(toUtf8(wide[i]));
    LocalFree(wide);
    return args;
  }
#endif
  return std::vector<std::string>(argv, argv + argc);
}

// The full name of the program file (UTF-8), whatever the shell passed as
// argv[0]: the settings file lies beside it.
std::string programPath(const std::string& argv0) {
#ifdef _WIN32
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return argv0;
    if (length < name.size()) {
      name.resize(length);
      return toUtf8(name.c_str());
    }
    name.resize(name.size() * 2);
  }
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? argv0 : self.string();
#endif
}

}  // namespace

Registration::Registration(Command command) { registry().push_back(std::move(command)); }

const std::vector<Command>& Commands() { return registry(); }

void PrintText(std::ostream& out, std::string_view cp1251Text) { out << core::cp1251ToUtf8(cp1251Text); }

std::optional<std::int64_t> WholeNumber(const std::string& text, std::int64_t low, std::int64_t high) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return {};
  const std::int64_t value = std::stoll(text);
  if (value < low || value > high) return {};
  return value;
}

std::string CannotOpen(const std::string& cp1251File) {
  std::error_code ec;
  const std::filesystem::path path = core::FsPath(cp1251File);
  const char* reason = "файл не читается (нет прав доступа или он занят)";
  if (!std::filesystem::exists(path, ec)) {
    reason = "такого файла нет";
  } else if (std::filesystem::is_directory(path, ec)) {
    reason = "это папка, а не файл";
  }
  return core::cp1251("Не удалось открыть файл плейлиста ") + cp1251File + ": " + core::cp1251(reason);
}

LoadedDay ReadPlaylist(std::string_view command, const std::string& utf8Playlist, const core::TSetts& setts,
                       const core::IniFile& ini, const std::optional<std::string>& hourTemplate,
                       const std::optional<core::HourFlags>& hours) {
  LoadedDay loaded;
  readers::ReadingState state;
  const readers::ReadContext ctx{setts, loaded.day, state, loaded.fileDate};
  std::optional<readers::SelectedTemplate> chosen;
  if (hourTemplate) {
    if (!ini.readValue(core::kHoursSection, core::Trim(*hourTemplate))) {
      throw std::runtime_error(std::string(command) + ": no hour template " + *hourTemplate + " in " + ini.path());
    }
    chosen.emplace(readers::SelectedTemplate{ini, *hourTemplate});
  }
  const std::string file = core::utf8ToCp1251(utf8Playlist);
  if (!readers::OpenPlaylist({}, file, ctx, chosen ? &*chosen : nullptr)) throw std::runtime_error(CannotOpen(file));
  if (hours) loaded.day.HourSetts = *hours;
  return loaded;
}

core::TSetts ReadSettings(const core::IniFile& ini, const std::string& programPath) {
  if (const auto problem = ini.encodingProblem()) throw std::runtime_error(*problem);
  const std::string program = core::utf8ToCp1251(programPath);
  return core::ReadIni(ini, core::FromFsPath(core::FsPath(program).parent_path()));
}

}  // namespace cli

int main(int argc, char** argv) {
#ifdef _WIN32
  // Everything is printed as UTF-8; a console shows it as such while the
  // program runs, and gets its own code page back afterwards.
  struct ConsoleCodePage {
    UINT before = GetConsoleOutputCP();
    ConsoleCodePage() { SetConsoleOutputCP(CP_UTF8); }
    ~ConsoleCodePage() {
      std::cout.flush();
      std::cerr.flush();
      if (before != 0) SetConsoleOutputCP(before);
    }
  } const consoleCodePage;
#endif
  const std::vector<std::string> args = cli::arguments(argc, argv);
  if (args.size() < 2) {
    cli::printUsage(std::cerr);
    return cli::kExitUsage;
  }
  const std::string& name = args[1];
  if (cli::isHelp(name)) {
    cli::printUsage(std::cout);
    return cli::kExitOk;
  }
  if (name == "--version") {
    std::cout << "mvimport-cli " << cli::kVersion << "\n";
    return cli::kExitOk;
  }
  for (const auto& command : cli::Commands()) {
    if (command.name != name) continue;
    if (std::any_of(args.begin() + 2, args.end(), cli::isHelp)) {
      std::cout << "usage: mvimport-cli " << command.name << " " << command.usage << "\n";
      return cli::kExitOk;
    }
    cli::Context ctx{std::vector<std::string>(args.begin() + 2, args.end()), cli::programPath(args[0]), std::cout,
                     std::cerr};
    try {
      return command.run(ctx);
    } catch (const std::exception& e) {
      std::cerr << core::cp1251ToUtf8(e.what()) << "\n";
      return cli::kExitFailure;
    }
  }
  cli::printUsage(std::cerr);
  return cli::kExitUsage;
}
