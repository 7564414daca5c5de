// Runs mvimport-cli the way an operator's shell or a station's scheduled job
// runs it, and captures what it prints. Used by the command line tests.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace clitest {

struct CliRun {
  int exitCode = -1;
  std::string out;  // UTF-8, lines ending in "\n"
  std::string err;
};

// A path as UTF-8 text, for a command line.
inline std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

inline std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A file's text; on Windows, where programs end their lines with CR LF, with
// the line ends made "\n".
inline std::string ReadText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream buffer;
  buffer << in.rdbuf();
  std::string text = buffer.str();
#ifdef _WIN32
  std::string lf;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') lf += text[i];
  }
  text = lf;
#endif
  return text;
}

// Runs `exe args` (args UTF-8, quoted by the caller) with its output and its
// errors sent to files in `dir`.
inline CliRun RunCli(const std::string& exe, const std::string& args, const std::filesystem::path& dir) {
  const auto out = dir / "out.txt";
  const auto err = dir / "err.txt";
  std::string command = Quoted(exe) + " " + args + " >" + Quoted(PathText(out)) + " 2>" + Quoted(PathText(err));
  CliRun run;
#ifdef _WIN32
  // cmd.exe takes away the first and the last quote of a line that starts
  // with one; the wide call keeps names the ANSI code page has no letters for.
  command = "\"" + command + "\"";
  const std::wstring wide = std::filesystem::path(std::u8string(command.begin(), command.end())).wstring();
  run.exitCode = _wsystem(wide.c_str());
#else
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  run.out = ReadText(out);
  run.err = ReadText(err);
  return run;
}

}  // namespace clitest
