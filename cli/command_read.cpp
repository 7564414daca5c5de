// mvimport-cli read: reads a text playlist with the layout of the settings (or
// of a preset) and prints what the day model received, hour by hour.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "core/codec.h"
#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/fspath.h"
#include "core/settings.h"
#include "core/text.h"
#include "readers/readfile.h"

namespace {

constexpr std::string_view kUsage = "[--ini FILE] [--preset N] [--markers TEXT] PLAYLIST";
constexpr int kPresetCount = 5;

struct ReadOptions {
  std::optional<std::string> ini;      // UTF-8 file name
  std::optional<int> preset;           // 0..4
  std::optional<std::string> markers;  // UTF-8
  std::string playlist;                // UTF-8 file name
};

std::optional<int> parsePreset(const std::string& text) {
  if (text.size() != 1 || text[0] < '0' || text[0] >= '0' + kPresetCount) return std::nullopt;
  return text[0] - '0';
}

// Returns the error text for wrong usage.
std::optional<std::string> parseArgs(const std::vector<std::string>& args, ReadOptions& opts) {
  bool havePlaylist = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool isOption = arg == "--ini" || arg == "--preset" || arg == "--markers";
    if (isOption && i + 1 >= args.size()) return arg + " needs a value";
    if (arg == "--ini") {
      opts.ini = args[++i];
    } else if (arg == "--preset") {
      opts.preset = parsePreset(args[++i]);
      if (!opts.preset) return "--preset takes a number from 0 to 4, not " + args[i];
    } else if (arg == "--markers") {
      opts.markers = args[++i];
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (havePlaylist) {
      return "more than one playlist given";
    } else {
      opts.playlist = arg;
      havePlaylist = true;
    }
  }
  if (!havePlaylist) return "no playlist given";
  return std::nullopt;
}

// Chooses the preset in the box and takes the page's columns as a save would,
// without writing the settings file.
void applyPreset(core::TSetts& setts, int index) {
  core::SettingsPage page = core::ShowSetts(setts);
  core::CBMethodChange(setts, page, index);
  setts.Artist_Start = page.ArtStart;
  setts.Artist_End = page.ArtEnd;
  setts.Name_Start = page.NameStart;
  setts.Name_End = page.NameEnd;
  setts.Use_Jingle = page.UseJingle;
  if (!setts.Use_Jingle) return;
  setts.JArtist_Start = page.JArtStart;
  setts.JArtist_End = page.JArtEnd;
  setts.JName_Start = page.JNameStart;
  setts.JName_End = page.JNameEnd;
  setts.Jingle_Artist = core::CutTo(core::Trim(page.JArtist), core::kJingleMarkersCapacity);
}

core::TSetts loadSettings(const ReadOptions& opts, const std::string& programPath) {
  const std::string program = core::utf8ToCp1251(programPath);
  const std::string iniName = opts.ini ? core::utf8ToCp1251(*opts.ini) : core::SettingsFileFor(program);
  const std::string programFolder = core::FromFsPath(core::FsPath(program).parent_path());
  core::TSetts setts = core::ReadIni(core::IniFile(iniName), programFolder);
  if (opts.preset) applyPreset(setts, *opts.preset);
  if (opts.markers) {
    setts.Jingle_Artist = core::CutTo(core::Trim(core::utf8ToCp1251(*opts.markers)),
                                      core::kJingleMarkersCapacity);
  }
  return setts;
}

void printDay(std::ostream& out, const core::DayPlaylist& day) {
  for (int hour = 0; hour < core::kHours; ++hour) {
    for (const core::TSongRec& song : day.Songs[static_cast<std::size_t>(hour)]) {
      out << hour << '\t' << song.Kind << '\t';
      cli::PrintText(out, song.Artist);
      out << '\t';
      cli::PrintText(out, song.Name);
      out << '\n';
    }
  }
}

int run(cli::Context& ctx) {
  ReadOptions opts;
  if (const auto error = parseArgs(ctx.args, opts)) {
    ctx.err << "read: " << *error << "\nusage: mvimport-cli read " << kUsage << "\n";
    return cli::kExitUsage;
  }
  const core::TSetts setts = loadSettings(opts, ctx.programPath);
  core::DayPlaylist day;
  readers::ReadingState state;
  std::optional<core::TDateTime> importDate;
  const readers::ReadContext readContext{setts, day, state, importDate};
  if (!readers::ReadFile(core::utf8ToCp1251(opts.playlist), readContext)) {
    ctx.err << "read: cannot open " << opts.playlist << "\n";
    return cli::kExitFailure;
  }
  printDay(ctx.out, day);
  if (importDate) ctx.out << "date\t" << core::DateToStr(*importDate) << '\n';
  return cli::kExitOk;
}

const cli::Registration kRead{{"read", kUsage, run}};

}  // namespace
