// Whole-process runs for the benchmarks: a command started fresh (spawned and
// exec), its wall time, its peak memory as the system accounts it, and the
// sync calls it made (counted by strace, when the machine has it).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace bench {

struct ProcessRun {
  double seconds = 0;     // wall time from fork to the end of the process
  long peakKiB = 0;       // ru_maxrss of the finished child
  int exitCode = -1;
};

// Runs argv[0] with its output thrown away (stdout and stderr to /dev/null),
// or kept (going where this process's output goes). The peak memory of a child
// counts what it inherited at the fork: measure from a small process.
ProcessRun RunProcess(const std::vector<std::string>& argv, bool keepOutput = false);

// The median of several runs: wall time and peak memory each by its own median.
ProcessRun MedianRun(const std::vector<ProcessRun>& runs);

// The path of strace on PATH, if any.
std::optional<std::string> FindStrace();

// fsync, fdatasync, syncfs and sync_file_range calls of one run of the
// command and its children (a folder flush is an fsync of the folder).
int CountSyncCalls(const std::string& strace, const std::vector<std::string>& argv, const std::string& logFile);

}  // namespace bench
