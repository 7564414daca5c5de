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

// Every message ends the command with its text; questions are answered Yes.
class CommandUi : public matching::OperatorUi {
 public:
  explicit CommandUi(std::ostream& out) : m_out(out) {}
  void showError(const std::string& text) override { throw std::runtime_error(text); }
  void showWarning(const std::string& text) override { throw std::runtime_error(text); }
  void showInfo(const std::string& text) override { line(text); }
  void showDone(const std::string& text, const std::string& informative) override {
    line(text);
    line(informative);
  }
  bool askYesNo(const std::string&) override { return true; }
  matching::Answer askBatch(const std::string&) override { return matching::Answer::NoToAll; }
  void ShowIndicator(const std::string&, int, int) override {}
  std::string GetSongPath(const std::string&, const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string GetJinglePath(const std::string&, const std::string&, const std::string&) override { return {}; }

 private:
  void line(const std::string& text) {
    cli::PrintText(m_out, text);
    m_out << '\n';
  }
  std::ostream& m_out;
};

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
  CommandUi ui(ctx.out);
  return importing::UndoLastImport(*station, ui, false) ? cli::kExitOk : cli::kExitFailure;
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
