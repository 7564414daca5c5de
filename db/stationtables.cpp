#include "db/stationtables.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"

namespace db {

StationPaths MakeStationPaths(const core::TSetts& setts) {
  const std::string base = core::AddBackslash(setts.BasePath);
  const std::string mv = core::AddBackslash(setts.MVPath);
  return StationPaths{base + "Association.db", mv + "BaseSong.db", mv + "Jingles.db", mv + "PlayList.db"};
}

}  // namespace db
