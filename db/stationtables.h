// The four station tables: where they lie, and CheckBase, the check that runs
// before the association check opens any of them.
#pragma once

#include <string>

#include "core/settings.h"
#include "db/query.h"

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

// What CheckBase says to the operator. The window shows message boxes; tests
// answer from a script. Texts are CP1251.
class CheckBaseDialogs {
 public:
  virtual ~CheckBaseDialogs() = default;
  virtual void showError(const std::string& text) = 0;    // error icon, OK
  virtual bool askYesNo(const std::string& question) = 0;  // true only for Yes
};

// Sets paths, then: false after a message naming the file when MVPath names a
// file instead of a folder; false after "Не найдена база песен!" when BaseSong.db is
// missing; false after "Не найдена база джинглов!" when jingle recognition is on
// and Jingles.db is missing; true when Association.db exists; false after a
// message naming the file when BasePath names a file; otherwise asks
// whether to create it and, on Yes, creates it through query (three Char
// columns). A failed creation returns false silently. PlayList.db is not looked for.
bool CheckBase(const core::TSetts& setts, StationPaths& paths, Query& query, CheckBaseDialogs& dialogs);

}  // namespace db
