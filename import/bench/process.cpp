#include "import/bench/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace bench {

// posix_spawn, not fork: a fork of a large benchmark process would copy its
// page tables, time that belongs to neither the command nor its floor.
ProcessRun RunProcess(const std::vector<std::string>& argv, bool keepOutput) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  ProcessRun run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!keepOutput) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return run;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKiB = usage.ru_maxrss;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

ProcessRun MedianRun(const std::vector<ProcessRun>& runs) {
  std::vector<double> seconds;
  std::vector<long> peaks;
  ProcessRun median;
  for (const ProcessRun& r : runs) {
    seconds.push_back(r.seconds);
    peaks.push_back(r.peakKiB);
    if (r.exitCode != 0) median.exitCode = r.exitCode;
  }
  if (runs.empty()) return median;
  std::sort(seconds.begin(), seconds.end());
  std::sort(peaks.begin(), peaks.end());
  median.seconds = seconds[seconds.size() / 2];
  median.peakKiB = peaks[peaks.size() / 2];
  if (median.exitCode == -1) median.exitCode = 0;
  return median;
}

std::optional<std::string> FindStrace() {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / "strace";
    if (access(candidate.c_str(), X_OK) == 0) return candidate.string();
    start = end + 1;
  }
  return std::nullopt;
}

int CountSyncCalls(const std::string& strace, const std::vector<std::string>& argv, const std::string& logFile) {
  std::vector<std::string> traced = {strace, "-f", "-qq", "-e", "trace=fsync,fdatasync,syncfs,sync_file_range",
                                     "-o", logFile};
  traced.insert(traced.end(), argv.begin(), argv.end());
  if (RunProcess(traced).exitCode != 0) return -1;
  std::ifstream log(logFile);
  int calls = 0;
  for (std::string line; std::getline(log, line);) {
    for (const char* name : {"fsync(", "fdatasync(", "syncfs(", "sync_file_range("}) {
      if (line.find(name) != std::string::npos) {
        ++calls;
        break;
      }
    }
  }
  std::filesystem::remove(logFile);
  return calls;
}

}  // namespace bench
