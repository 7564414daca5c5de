// mvimport-cli suggest: for every line of the chosen hours that the association
// check would leave unmatched, the best candidates of the song base (of the
// jingle base for a jingle), one line each. It only reads: no table, no
// settings file, nothing else is written or created.
#include <algorithm>
#include <filesystem>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "cli/command.h"
#include "core/codec.h"
#include "core/fspath.h"
#include "core/hourtemplates.h"
#include "core/settings.h"
#include "core/text.h"
#include "db/station.h"
#include "import/hourlist.h"
#include "matching/assoccheck.h"
#include "matching/suggest.h"
#include "readers/openplaylist.h"

namespace {

constexpr std::string_view kUsage = "--ini FILE [--hours LIST | --template NAME] [--top N] PLAYLIST";
constexpr std::int64_t kMaxTop = 100;

struct SuggestOptions {
  std::string ini;                          // UTF-8 file name
  std::optional<core::HourFlags> hours;
  std::optional<std::string> hourTemplate;  // CP1251
  std::size_t top = matching::kDefaultSuggestions;
  std::string playlist;                     // UTF-8 file name
};

// Takes the value of an option; returns the error text for wrong usage.
std::optional<std::string> takeValue(const std::string& option, const std::string& value, SuggestOptions& opts) {
  if (option == "--ini") {
    opts.ini = value;
  } else if (option == "--hours") {
    opts.hours = importing::ParseHourList(value);
    if (!opts.hours) return "--hours takes hours 0-23 like 6-9,12, not " + value;
  } else if (option == "--template") {
    opts.hourTemplate = core::utf8ToCp1251(value);
  } else if (option == "--top") {
    const auto top = cli::WholeNumber(value, 1, kMaxTop);
    if (!top) return "--top takes a number from 1 to 100, not " + value;
    opts.top = static_cast<std::size_t>(*top);
  }
  return std::nullopt;
}

std::optional<std::string> parseArgs(const std::vector<std::string>& args, SuggestOptions& opts) {
  static const std::vector<std::string> kValued = {"--ini", "--hours", "--template", "--top"};
  bool havePlaylist = false;
  bool haveIni = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (std::find(kValued.begin(), kValued.end(), arg) != kValued.end()) {
      if (i + 1 >= args.size()) return arg + " needs a value";
      if (auto error = takeValue(arg, args[++i], opts)) return error;
      haveIni = haveIni || arg == "--ini";
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
  return std::nullopt;
}



// ---------------------------------------------------------------------------

void printField(std::ostream& out, std::string_view cp1251Text) {
  out << '\t';
  cli::PrintText(out, cp1251Text);
}

// HOUR NUMBER RANK SCORE ARTIST NAME PATH for every candidate of every
// unmatched line of the chosen hours; NUMBER counts every line of the hour.
void printSuggestions(std::ostream& out, const core::DayPlaylist& day, const matching::SuggestionEngine& engine,
                      std::size_t top) {
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    const auto& songs = day.Songs[static_cast<std::size_t>(h)];
    for (std::size_t i = 0; i < songs.size(); ++i) {
      if (songs[i].matched()) continue;
      const auto found = engine.Suggest(songs[i], top);
      for (std::size_t rank = 0; rank < found.size(); ++rank) {
        out << h << '\t' << i + 1 << '\t' << rank + 1 << '\t' << found[rank].score;
        if (songs[i].isJingle()) {
          const auto& row = engine.jingles()[found[rank].row];
          printField(out, "");
          printField(out, row.FName);
          printField(out, row.FPath);
        } else {
          const auto& row = engine.songs()[found[rank].row];
          printField(out, row.FArtist);
          printField(out, row.FName);
          printField(out, row.FPath);
        }
        out << '\n';
      }
    }
  }
}

int run(cli::Context& ctx) {
  SuggestOptions opts;
  if (const auto error = parseArgs(ctx.args, opts)) {
    ctx.err << "suggest: " << *error << "\nusage: mvimport-cli suggest " << kUsage << "\n";
    return cli::kExitUsage;
  }
  // The settings file object takes the name as the system's narrow file API
  // does (UTF-8 here, the ANSI code page on Windows), not as CP1251.
  const std::string iniName = core::utf8ToCp1251(opts.ini);
  const core::IniFile ini(iniName);
  const core::TSetts setts = cli::ReadSettings(ini, ctx.programPath);
  core::DayPlaylist day = cli::ReadPlaylist("suggest", opts.playlist, setts, ini, opts.hourTemplate, opts.hours).day;
  // The check's fill, without its writes: associations first, then the
  // bases; stale association rows are used and kept, a missing
  // Association.db is not created.
  db::Station station;
  cli::UnattendedUi ui(false, matching::Answer::NoToAll);
  matching::SBCheckClick(day, setts, station, matching::EarliestPlaylistDate(), ui, matching::StaleRows::Keep,
                         matching::CheckWrites::None);
  printSuggestions(ctx.out, day, matching::EngineOf(station), opts.top);
  return cli::kExitOk;
}

const cli::Registration kSuggest{{"suggest", kUsage, run}};

}  // namespace
