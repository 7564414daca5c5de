// mvimport-cli undo and history: the imports recorded for a station, and
// the undo of the newest one not undone yet.
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/command.h"
#include "core/codec.h"
#include "core/datetime.h"
#include "core/fspath.h"
#include "core/settings.h"
#include "db/station.h"
#include "import/playlistimport.h"
#include "import/undo.h"
#include "matching/operatorui.h"

namespace {

constexpr std::string_view kUsage = "--ini FILE";

// The station of the settings file given by --ini; nullptr after a usage message.
std::unique_ptr<db::Station> stationOf(cli::Context& ctx, std::string_view command) {
  if (ctx.args.size() != 2 || ctx.args[0] != "--ini") {
    ctx.err << command << ": --ini FILE is required, and nothing else\nusage: mvimport-cli " << command << ' '
            << kUsage << '\n';
    return nullptr;
  }
  const core::IniFile ini(core::utf8ToCp1251(ctx.args[1]));
  const core::TSetts setts = cli::ReadSettings(ini, ctx.programPath);
  return std::make_unique<db::Station>(setts);
}

const char* clearModeName(int mode) {
  switch (mode) {
    case importing::kClearHours: return "hours";
    case importing::kClearDay: return "day";
    case importing::kClearNone: return "none";
    default: return "?";
  }
}

int undo(cli::Context& ctx) {
  const auto station = stationOf(ctx, "undo");
  if (!station) return cli::kExitUsage;
  cli::UnattendedUi ui(true, matching::Answer::NoToAll);
  if (!importing::UndoLastImport(*station, ui, false)) return cli::kExitFailure;
  for (std::size_t i = 0; i < ui.said().size(); ++i) {
    cli::PrintText(ctx.out, ui.said()[i]);
    ctx.out << '\n';
    if (i < ui.details().size()) {
      cli::PrintText(ctx.out, ui.details()[i]);
      ctx.out << '\n';
    }
  }
  return cli::kExitOk;
}

// One line an import, newest first: number, state, when, date, clear mode,
// hour shift, rows removed, rows appended, record file.
int history(cli::Context& ctx) {
  const auto station = stationOf(ctx, "history");
  if (!station) return cli::kExitUsage;
  for (const importing::UndoEntry& e : importing::ImportHistory(*station)) {
    ctx.out << e.sequence << '\t';
    if (e.damaged) {
      cli::PrintText(ctx.out, core::cp1251("повреждена"));
    } else {
      cli::PrintText(ctx.out, core::cp1251(e.undone ? "отменён" : "выполнен"));
      ctx.out << '\t' << core::DateTimeToStr(e.created) << '\t' << core::DateToStr(e.date) << '\t'
              << clearModeName(e.clearMode) << '\t' << e.shiftHour << '\t' << e.removed << '\t' << e.appended;
    }
    ctx.out << '\t';
    cli::PrintText(ctx.out, e.file);
    ctx.out << '\n';
  }
  return cli::kExitOk;
}

const cli::Registration kUndo{{"undo", kUsage, undo}};
const cli::Registration kHistory{{"history", kUsage, history}};

}  // namespace
