// mvimport-cli demo FOLDER [--ini FILE]: builds the demo station.
#include <iostream>

#include "cli/command.h"
#include "core/codec.h"
#include "core/datetime.h"
#include "demostation/demostation.h"

namespace cli {
namespace {

int run(Context& ctx) {
  std::string folder;
  std::string ini;
  for (std::size_t i = 0; i < ctx.args.size(); ++i) {
    if (ctx.args[i] == "--ini" && i + 1 < ctx.args.size()) {
      ini = core::utf8ToCp1251(ctx.args[++i]);
    } else if (folder.empty() && ctx.args[i].rfind("--", 0) != 0) {
      folder = core::utf8ToCp1251(ctx.args[i]);
    } else {
      return kExitUsage;
    }
  }
  if (folder.empty()) return kExitUsage;
  const demo::DemoStation station = demo::MakeDemoStation(folder, ini);
  PrintText(ctx.out, "station " + station.folder + "\nsettings " + station.settingsFile + "\nday " +
                         core::DateToStr(station.day) + "\nsongs " + std::to_string(station.songs) + "\njingles " +
                         std::to_string(station.jingles) + "\n");
  return kExitOk;
}

const Registration kDemo{{"demo", "FOLDER [--ini FILE]", run}};

}  // namespace
}  // namespace cli
