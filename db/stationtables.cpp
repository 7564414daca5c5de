#include "db/stationtables.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"

namespace db {
namespace {

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(core::FsPath(path), ec);
}

// A folder setting that names a file (the operator picked a table instead of
// its folder): said as such, since every table under it would only be missing.
bool folderIsAFile(const std::string& folder, std::string_view settingUtf8, CheckBaseDialogs& dialogs) {
  const auto file = core::FileInFolderPath(folder);
  if (!file) return false;
  dialogs.showError(core::cp1251(settingUtf8) + core::cp1251(" указывает на файл, а не на папку: ") + *file +
                    core::cp1251(". Укажите папку в настройках."));
  return true;
}

}  // namespace

StationPaths MakeStationPaths(const core::TSetts& setts) {
  const std::string base = core::AddBackslash(setts.BasePath);
  const std::string mv = core::AddBackslash(setts.MVPath);
  return StationPaths{base + "Association.db", mv + "BaseSong.db", mv + "Jingles.db", mv + "PlayList.db"};
}

bool CheckBase(const core::TSetts& setts, StationPaths& paths, Query& query, CheckBaseDialogs& dialogs) {
  paths = MakeStationPaths(setts);
  if (folderIsAFile(setts.MVPath, "Путь к базам Mirvane", dialogs)) return false;
  if (!fileExists(paths.BaseSongPath)) {
    dialogs.showError(core::cp1251("Не найдена база песен!"));
    return false;
  }
  if (setts.Use_Jingle && !fileExists(paths.JinglesPath)) {
    dialogs.showError(core::cp1251("Не найдена база джинглов!"));
    return false;
  }
  if (fileExists(paths.AssociationPath)) return true;
  if (folderIsAFile(setts.BasePath, "Путь к базе соответствий", dialogs)) return false;
  if (!dialogs.askYesNo(core::cp1251("Не найдена база ассоциаций. Создать базу?"))) return false;

  query.Clear();
  query.Add("Create TABLE " + Quoted(paths.AssociationPath) + " (");
  query.Add("FArtist Char(64),");
  query.Add("FName Char(64),");
  query.Add("FPath Char(160) );");
  bool created = true;
  try {
    query.ExecSQL();
  } catch (const std::exception&) {
    created = false;
  }
  query.Clear();
  return created;
}

}  // namespace db
