// The list of text playlists in a folder, as the file page shows it: the .txt
// and .log files, sorted by name, each with its modification time.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"

namespace readers {

struct TFileRec {
  std::string Name;         // CP1251, without folder, at most core::kFileNameCapacity bytes
  core::TDateTime Date = 0;  // last write, local time, seconds rounded down to even
};

// True for ".txt" and ".log" in any letter case (Ext includes the dot).
bool IsTextExt(std::string_view Ext);

// The files of a CP1251 folder name whose extension IsTextExt accepts, in the
// order the file system gives them; folders are skipped, hidden files are
// not. A folder that cannot be listed gives no files. Calls core::Delay(10)
// after the 49th, 149th, 249th ... file so the window stays alive.
std::vector<TFileRec> ListTextFiles(std::string_view folder);

// Heap sort into ascending order of Name, compared as unsigned CP1251 bytes
// (capital Latin letters before small ones, Cyrillic after Latin).
void SortFiles(std::vector<TFileRec>& FileList);

struct FileListRow {
  std::string Name;      // CP1251
  std::string DateText;  // "dd.mm.yy hh:mm:ss"
};

struct FileListing {
  std::string Folder;  // the folder with its trailing separator, as the label shows it
  std::vector<FileListRow> Rows;
  std::string Problem;  // CP1251: why a folder lists nothing (missing, or a file); empty otherwise
};

// The page's listing of a folder; nothing when no folder is selected.
std::optional<FileListing> ListFolder(std::string_view folder);

}  // namespace readers
