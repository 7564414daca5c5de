// mvimport-cli import: the whole road of one playlist file without questions,
// for stations that import unattended: read the file, check the associations,
// optionally place jingles, and write the chosen hours into PlayList.db.
#include <algorithm>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"
#include "core/hourtemplates.h"
#include "core/settings.h"
#include "core/text.h"
#include "db/station.h"
#include "import/hourlist.h"
#include "import/jingles.h"
#include "import/playlistimport.h"
#include "matching/assoccheck.h"
#include "matching/operatorui.h"
#include "matching/review.h"
#include "readers/openplaylist.h"

namespace {

constexpr std::string_view kUsage =
    "--ini FILE [--date DD.MM.YYYY] [--hours LIST | --template NAME] [--clear hours|day|none] "
    "[--jingles-every N [--jingles NAME;NAME...] [--seed N]] [--delete-stale] [--dry-run] [--min-matched PERCENT] "
    "[--force] PLAYLIST";
constexpr std::int32_t kMaxJingleStep = 20;

struct ImportOptions {
  std::string ini;                          // UTF-8 file name
  std::optional<core::TDateTime> date;
  std::optional<core::HourFlags> hours;
  std::optional<std::string> hourTemplate;  // CP1251
  int clearMode = importing::kClearHours;
  std::optional<std::int32_t> jingleStep;
  std::optional<std::string> jingleNames;   // CP1251, ';'-separated
  std::optional<std::uint32_t> seed;
  bool deleteStale = false;
  bool dryRun = false;
  int minMatched = 50;
  bool force = false;
  std::string playlist;                     // UTF-8 file name
};

std::optional<int> clearModeOf(const std::string& text) {
  if (text == "hours") return importing::kClearHours;
  if (text == "day") return importing::kClearDay;
  if (text == "none") return importing::kClearNone;
  return std::nullopt;
}

// Takes the value of an option; returns the error text for wrong usage.
std::optional<std::string> takeValue(const std::string& option, const std::string& value, ImportOptions& opts) {
  if (option == "--ini") {
    opts.ini = value;
  } else if (option == "--date") {
    opts.date = core::StrToDate(value);
    if (!opts.date) return "--date takes a date DD.MM.YYYY, not " + value;
  } else if (option == "--hours") {
    opts.hours = importing::ParseHourList(value);
    if (!opts.hours) return "--hours takes hours 0-23 like 6-9,12, not " + value;
  } else if (option == "--template") {
    opts.hourTemplate = core::utf8ToCp1251(value);
  } else if (option == "--clear") {
    const auto mode = clearModeOf(value);
    if (!mode) return "--clear takes hours, day or none, not " + value;
    opts.clearMode = *mode;
  } else if (option == "--jingles-every") {
    const auto step = cli::WholeNumber(value, 1, kMaxJingleStep);
    if (!step) return "--jingles-every takes a number from 1 to 20, not " + value;
    opts.jingleStep = static_cast<std::int32_t>(*step);
  } else if (option == "--jingles") {
    opts.jingleNames = core::utf8ToCp1251(value);
  } else if (option == "--seed") {
    const auto seed = cli::WholeNumber(value, 0, 0xFFFFFFFFll);
    if (!seed) return "--seed takes a number from 0 to 4294967295, not " + value;
    opts.seed = static_cast<std::uint32_t>(*seed);
  } else if (option == "--min-matched") {
    const auto percent = cli::WholeNumber(value, 0, 100);
    if (!percent) return "--min-matched takes a percent from 0 to 100, not " + value;
    opts.minMatched = static_cast<int>(*percent);
  }
  return std::nullopt;
}

std::optional<std::string> parseArgs(const std::vector<std::string>& args, ImportOptions& opts) {
  static const std::vector<std::string> kValued = {"--ini",           "--date",    "--hours", "--template", "--clear",
                                                   "--jingles-every", "--jingles", "--seed", "--min-matched"};
  bool havePlaylist = false;
  bool haveIni = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (std::find(kValued.begin(), kValued.end(), arg) != kValued.end()) {
      if (i + 1 >= args.size()) return arg + " needs a value";
      if (auto error = takeValue(arg, args[++i], opts)) return error;
      haveIni = haveIni || arg == "--ini";
    } else if (arg == "--delete-stale") {
      opts.deleteStale = true;
    } else if (arg == "--dry-run") {
      opts.dryRun = true;
    } else if (arg == "--force") {
      opts.force = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (havePlaylist) {
      return "more than one playlist given";
    } else {
      opts.playlist = arg;
      havePlaylist = true;
    }
  }
  if (!haveIni) return "--ini is required";
  if (!havePlaylist) return "no playlist given";
  if (opts.hours && opts.hourTemplate) return "--hours and --template exclude each other";
  if (!opts.jingleStep && (opts.jingleNames || opts.seed)) return "--jingles and --seed need --jingles-every";
  return std::nullopt;
}

std::vector<std::string> splitNames(const std::string& names) {
  std::vector<std::string> list;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = names.find(';', start);
    list.push_back(core::CutTo(names.substr(start, end == std::string::npos ? end : end - start),
                               core::kJingleNameCapacity));
    if (end == std::string::npos) return list;
    start = end + 1;
  }
}

// The placement dialog as the options fill it: every jingle ticked, or those named.
void placeJingles(const ImportOptions& opts, const core::TSetts& setts, core::DayPlaylist& day,
                  cli::UnattendedUi& ui) {
  const auto list = importing::LoadJingles(importing::JinglesTablePath(setts.MVPath));
  std::vector<bool> ticked(list.size(), !opts.jingleNames);
  if (opts.jingleNames) {
    for (const std::string& name : splitNames(*opts.jingleNames)) {
      const auto it = std::find_if(list.begin(), list.end(), [&](const auto& j) { return j.Name == name; });
      if (it == list.end()) throw std::runtime_error("import: no jingle " + name + " in Jingles.db");
      ticked[static_cast<std::size_t>(it - list.begin())] = true;
    }
  }
  const auto choice = importing::SBSaveClick(list, ticked, std::to_string(*opts.jingleStep), ui);
  importing::InsertJingles(day, *choice, opts.seed ? importing::SeededRandom(*opts.seed) : importing::SystemRandom());
}

// The unmatched lines of the chosen hours, numbered as the error list numbers them.
std::vector<std::string> unmatchedOfChosenHours(const core::DayPlaylist& day) {
  core::DayPlaylist chosen = day;
  for (std::size_t h = 0; h < chosen.Songs.size(); ++h) {
    if (!chosen.HourSetts[h]) chosen.Songs[h].clear();
  }
  return matching::ErrorList(chosen);
}

void printReport(std::ostream& out, const importing::ImportReport& report, const core::DayPlaylist& day,
                 const cli::UnattendedUi& ui) {
  out << "hour\ttarget\tentries\tmatched\twritten\tremoved\tnot in base\n";
  for (const auto& h : report.hours) {
    out << h.hour << '\t' << core::DateToStr(h.target.day) << ' ' << h.target.hour << '\t' << h.entries << '\t'
        << h.matched << '\t' << h.written << '\t' << h.removed << '\t' << h.notInBase << '\n';
  }
  const auto unmatched = unmatchedOfChosenHours(day);
  out << "unmatched\t" << unmatched.size() << '\n';
  for (const std::string& line : unmatched) {
    cli::PrintText(out, line);
    out << '\n';
  }
  for (const std::string& said : ui.said()) {
    cli::PrintText(out, said);
    out << '\n';
  }
  // What an import says beyond its counts: an undo record it could not keep.
  for (const std::string& details : ui.details()) {
    const std::size_t note = details.find(core::cp1251(" Отменить этот импорт"));
    if (note == std::string::npos) continue;
    cli::PrintText(out, details.substr(note + 1));
    out << '\n';
  }
}

// The last line of a dry run.
void printDryRunLine(std::ostream& out, const importing::ImportReport& report) {
  cli::PrintText(out, core::cp1251("Пробный запуск: ничего не записано (было бы удалено ") +
                          std::to_string(report.removed) + core::cp1251(", добавлено ") +
                          std::to_string(report.appended) + ").");
  out << '\n';
}

int run(cli::Context& ctx) {
  ImportOptions opts;
  if (const auto error = parseArgs(ctx.args, opts)) {
    ctx.err << "import: " << *error << "\nusage: mvimport-cli import " << kUsage << "\n";
    return cli::kExitUsage;
  }
  // The settings file object takes the name as the system's narrow file API
  // does (UTF-8 here, the ANSI code page on Windows), not as CP1251.
  const std::string iniName = core::utf8ToCp1251(opts.ini);
  const core::IniFile ini(iniName);
  const core::TSetts setts = cli::ReadSettings(ini, ctx.programPath);
  cli::LoadedDay loaded = cli::ReadPlaylist("import", opts.playlist, setts, ini, opts.hourTemplate, opts.hours);
  const std::optional<core::TDateTime> date = opts.date ? opts.date : loaded.fileDate;
  if (!date) throw std::runtime_error(core::cp1251("Укажите дату плейлиста!"));
  // Yes to creating Association.db, the stale rows as the option says.
  cli::UnattendedUi ui(true, opts.deleteStale ? matching::Answer::YesToAll : matching::Answer::NoToAll);

  db::Station station;
  const auto stale = opts.deleteStale ? matching::StaleRows::Delete : matching::StaleRows::Keep;
  const auto writes = opts.dryRun ? matching::CheckWrites::None : matching::CheckWrites::Allowed;
  if (!matching::SBCheckClick(loaded.day, setts, station, *date, ui, stale, writes)) {
    throw std::runtime_error(core::cp1251("Не удалось создать базу ассоциаций ") + station.paths().AssociationPath);
  }
  if (opts.jingleStep) placeJingles(opts, setts, loaded.day, ui);
  const importing::ImportContext importContext{loaded.day, setts, station, *date};
  importing::ImportRun run;
  run.dryRun = opts.dryRun;
  run.minMatchedPercent = opts.minMatched;
  run.refuseEmpty = true;
  run.force = opts.force;
  const auto report = importing::SBImportClick(importContext, opts.clearMode, ui, run);
  if (!report) return cli::kExitFailure;
  printReport(ctx.out, *report, loaded.day, ui);
  if (opts.dryRun) {
    printDryRunLine(ctx.out, *report);
  }
  return cli::kExitOk;
}

const cli::Registration kImport{{"import", kUsage, run}};

}  // namespace
