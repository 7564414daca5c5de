// road_bench: times the association check, the pickers' and the association
// page's first statements and the import on a large station, in this process
// and as cold runs of the command line, each figure beside its floor measured
// in the same run: `cat` of the tables the step reads (a whole process, the
// tables in the page cache), and for the in-process steps also the storage
// layer's own plain read of them.
//
//   road_bench [--runs N] [FOLDER]
//   road_bench --commands [--runs N] FOLDER   (the command line runs only, on
//                                             the station built there before)
//
// Builds the station in FOLDER (default: a temporary folder, removed after).
// The command line runs are made from a fresh process of this program, which
// stays small: a child's peak memory counts what it inherited at the fork.
// Each in-process step starts with the table cache empty, as after the
// program starts; each command line run starts from the pristine playlist.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "assoc/assocbase.h"
#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/query.h"
#include "db/station.h"
#include "db/table.h"
#include "db/tablecache.h"
#include "import/bench/benchstation.h"
#include "import/bench/process.h"
#include "import/playlistimport.h"
#include "matching/assoccheck.h"
#include "matching/pickerlists.h"
#include "matching/review.h"

namespace {

using bench::Station;
using Clock = std::chrono::steady_clock;

// The goals a figure is held against (printed beside it, never enforced).
constexpr double kImportGoalRatio = 5;
constexpr double kCheckGoalRatio = 3;
constexpr long kPeakGoalKiB = 128 * 1024;
constexpr int kSyncGoal = 8;
constexpr double kPickerGoalMs = 50;
constexpr double kAssociationPageGoalMs = 30;

double secondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The median of runs of work, each after prepare (not timed).
double medianSeconds(int runs, const std::function<void()>& prepare, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    prepare();
    times.push_back(secondsOf(work));
  }
  return median(times);
}

// One plain read of the tables by the storage layer, each opened anew.
double plainRead(const std::vector<std::string>& paths) {
  return secondsOf([&] {
    std::size_t rows = 0;
    for (const auto& path : paths) rows += db::ParadoxTable(path).ReadAll().size();
    if (rows == 0) std::cerr << "no rows read\n";
  });
}

std::vector<std::string> catCommand(const std::vector<std::string>& tables) {
  std::vector<std::string> argv = {"/bin/cat"};
  for (const auto& t : tables) argv.push_back(core::FromFsPath(core::FsPath(t)));
  return argv;
}

bench::ProcessRun catRun(int runs, const std::vector<std::string>& tables) {
  std::vector<bench::ProcessRun> all;
  for (int i = 0; i < runs; ++i) all.push_back(bench::RunProcess(catCommand(tables)));
  return bench::MedianRun(all);
}

void printHeader(const char* title) {
  std::printf("\n%s\n%-40s %10s %10s %8s %8s\n", title, "step", "ms", "floor ms", "ratio", "goal");
}

void printStep(const std::string& name, double seconds, double floor, double goal) {
  std::printf("%-40s %10.1f %10.1f %8.2f %8.2f\n", name.c_str(), seconds * 1000, floor * 1000, seconds / floor, goal);
}

void printMs(const std::string& name, double seconds, double goalMs) {
  std::printf("%-40s %10.1f %10s %8s %8.0f ms\n", name.c_str(), seconds * 1000, "", "", goalMs);
}

void checkDay(const Station& st, core::DayPlaylist& day, matching::StaleRows stale) {
  bench::QuietUi ui;
  db::Station station;
  matching::SBCheckClick(day, st.setts, station, bench::kImportDate, ui, stale);
}

void runCheckSteps(const Station& st, int runs) {
  const std::vector<std::string> tables = {st.paths.BaseSongPath, st.paths.JinglesPath, st.paths.AssociationPath};
  const double cat = catRun(runs, tables).seconds;
  const double plain = plainRead(tables);
  printHeader("association check (in process, cold cache)");
  printStep("floor: plain read by the storage layer", plain, cat, 1);
  for (const auto stale : {matching::StaleRows::Keep, matching::StaleRows::Delete}) {
    core::DayPlaylist day;
    const double t = medianSeconds(
        runs, [&] { st.restore(st.paths.AssociationPath); day = bench::FullDay(); }, [&] { checkDay(st, day, stale); });
    const auto counts = matching::CalcLists(day);
    printStep(stale == matching::StaleRows::Keep ? "check, keep stale rows" : "check, delete stale rows", t, cat,
              kCheckGoalRatio);
    std::printf("  matched %d, unmatched %d\n", counts.matched, counts.unmatched);
  }
}

void runPickerSteps(const Station& st, int runs) {
  printHeader("first statements after start (in process, cold cache)");
  std::size_t artists = 0;
  std::size_t titles = 0;
  const double picker = medianSeconds(runs, [] { db::TableCache::Clear(); }, [&] {
    const auto list = matching::LoadArtists(st.paths.BaseSongPath);
    const std::string artist = list.at(list.size() / 2);
    titles = matching::LoadTitles(st.paths.BaseSongPath, &artist).names.size();
    artists = list.size();
  });
  printMs("song picker: artists, one artist's titles", picker, kPickerGoalMs);
  std::printf("  %zu artists, %zu titles\n", artists, titles);
  std::size_t rows = 0;
  const double page = medianSeconds(runs, [] { db::TableCache::Clear(); },
                                    [&] {
      db::Station station(st.setts);
      rows = assoc::ShowAssociate(station).size();
    });
  printMs("association page: first load", page, kAssociationPageGoalMs);
  std::printf("  %zu rows\n", rows);
}

void runImportSteps(const Station& st, int runs) {
  const std::vector<std::string> tables = {st.paths.PlayListPath, st.paths.BaseSongPath, st.paths.JinglesPath};
  const double cat = catRun(runs, tables).seconds;
  printHeader("import (in process, cold cache, after a check)");
  core::DayPlaylist day = bench::FullDay();
  st.restore(st.paths.AssociationPath);
  checkDay(st, day, matching::StaleRows::Keep);
  const std::pair<int, const char*> modes[] = {{importing::kClearHours, "import, clear hours"},
                                               {importing::kClearDay, "import, clear day"},
                                               {importing::kClearNone, "import, no clearing"}};
  for (const auto& [mode, name] : modes) {
    std::size_t written = 0;
    const double t = medianSeconds(runs, [&] { st.restore(st.paths.PlayListPath); }, [&, clearMode = mode] {
      bench::QuietUi ui;
      db::Station station(st.setts);
      const importing::ImportContext ctx{day, st.setts, station, bench::kImportDate};
      const auto report = importing::SBImportClick(ctx, clearMode, ui);
      written = 0;
      for (const auto& hour : report->hours) written += static_cast<std::size_t>(hour.written);
    });
    printStep(name, t, cat, kImportGoalRatio);
    std::printf("  rows written %zu\n", written);
  }
}

// `mvimport-cli import` started fresh, in each clear mode, beside `cat` of
// the four tables it reads.
void runCommandSteps(const Station& st, const std::string& cli, int runs) {
  const std::vector<std::string> tables = {st.paths.BaseSongPath, st.paths.JinglesPath, st.paths.AssociationPath,
                                           st.paths.PlayListPath};
  const bench::ProcessRun cat = catRun(runs, tables);
  const auto strace = bench::FindStrace();
  std::printf("\ncold mvimport-cli import (fork and exec, tables in the page cache), median of %d\n", runs);
  std::printf("%-26s %9s %9s %7s %5s %10s %9s %7s %7s %5s\n", "clear mode", "ms", "cat ms", "ratio", "goal",
              "peak KiB", "cat KiB", "x goal", "syncs", "goal");
  for (const char* mode : {"hours", "day", "none"}) {
    const std::vector<std::string> argv = {cli, "import", "--ini", st.ini.string(), "--date",
                                           core::DateToStr(bench::kImportDate), "--clear", mode, st.dayFile.string()};
    std::vector<bench::ProcessRun> all;
    for (int i = 0; i < runs; ++i) {
      st.restore(st.paths.PlayListPath);
      all.push_back(bench::RunProcess(argv));
    }
    const bench::ProcessRun run = bench::MedianRun(all);
    int syncs = -1;
    if (strace) {
      st.restore(st.paths.PlayListPath);
      syncs = bench::CountSyncCalls(*strace, argv, (st.folder / "strace.log").string());
    }
    std::printf("%-26s %9.1f %9.1f %7.2f %5.0f %10ld %9ld %7.2f %7d %5d%s\n", mode, run.seconds * 1000,
                cat.seconds * 1000, run.seconds / cat.seconds, kImportGoalRatio, run.peakKiB, cat.peakKiB,
                static_cast<double>(run.peakKiB) / kPeakGoalKiB, syncs, kSyncGoal,
                run.exitCode == 0 ? "" : "  (the command failed)");
  }
  if (!strace) std::printf("  (no strace on PATH: sync calls not counted)\n");
}

std::string cliPath(const char* self) {
#ifdef MVIMPORT_CLI
  (void)self;
  return MVIMPORT_CLI;
#else
  return (std::filesystem::path(self).parent_path() / "mvimport-cli").string();
#endif
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  bool commandsOnly = false;
  std::optional<std::filesystem::path> given;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--commands") == 0) {
      commandsOnly = true;
    } else {
      given = argv[i];
    }
  }
  if (commandsOnly) {
    if (!given) return 2;
    runCommandSteps(bench::OpenStation(*given), cliPath(argv[0]), runs);
    return 0;
  }
  const std::filesystem::path folder =
      given ? *given : std::filesystem::temp_directory_path() / ("road_bench_" + std::to_string(getpid()));
  try {
    Station st;
    const double build = secondsOf([&] { st = bench::BuildStation(folder); });
    std::printf("station built in %.1f s: %d songs, %d jingles, %d associations, %d playlist rows, a day of 24 x %d "
                "lines\n",
                build, bench::kSongs, bench::kJingles, bench::kAssociations, bench::kPlaylistRows,
                bench::kLinesPerHour);
    for (const auto& path : {st.paths.BaseSongPath, st.paths.JinglesPath, st.paths.AssociationPath, st.paths.PlayListPath}) {
      std::printf("  %s %.1f MB\n", core::FsPath(path).filename().c_str(),
                  static_cast<double>(std::filesystem::file_size(core::FsPath(path))) / 1e6);
    }
    runCheckSteps(st, runs);
    runPickerSteps(st, runs);
    runImportSteps(st, runs);
    db::TableCache::Clear();
    std::fflush(stdout);
    bench::RunProcess({std::filesystem::read_symlink("/proc/self/exe").string(), "--commands", "--runs",
                       std::to_string(runs), folder.string()},
                      true);
  } catch (const std::exception& e) {
    std::cerr << core::cp1251ToUtf8(e.what()) << '\n';
    return 1;
  }
  db::TableCache::Clear();
  if (!given) std::filesystem::remove_all(folder);
  return 0;
}
