// The four station tables: where they lie.
#pragma once

#include <string>

#include "core/settings.h"

namespace db {

// Full file paths of the tables, recomputed by every CheckBase.
struct StationPaths {
  std::string AssociationPath;  // BasePath + "Association.db", this program's own table
  std::string BaseSongPath;     // MVPath + "BaseSong.db"
  std::string JinglesPath;      // MVPath + "Jingles.db"
  std::string PlayListPath;     // MVPath + "PlayList.db"
};

// Each path is core::AddBackslash of its folder setting followed by the file
// name; an empty folder gives the bare file name.
StationPaths MakeStationPaths(const core::TSetts& setts);

}  // namespace db
