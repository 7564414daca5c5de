#include "assoc/commands.h"

#include <string>

#include "assoc/statements.h"
#include "core/codec.h"
#include "matching/assoccheck.h"

namespace assoc {
namespace {

core::TSongRec* selectedEntry(core::DayPlaylist& day, int hour, int index) {
  if (hour < 0 || hour >= core::kHours || index < 0) return nullptr;
  auto& list = day.Songs[static_cast<std::size_t>(hour)];
  if (static_cast<std::size_t>(index) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(index)];
}

// The three commands that only work on songs refuse a jingle with this.
bool refuseJingle(const core::TSongRec& entry, matching::OperatorUi& ui) {
  if (!entry.isJingle()) return false;
  ui.showError(core::cp1251("Джинглы не имеют сопоставления."));
  return true;
}


}  // namespace

bool SetAssClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui) {
  core::TSongRec* entry = selectedEntry(day, hour, index);
  if (entry == nullptr) return false;
  if (entry->matched() && !ui.askYesNo(core::cp1251("Файл уже имеет сопоставление. Заменить ?"))) return false;
  const std::string chosen =
      entry->isJingle()
          ? ui.GetJinglePath(station.paths().JinglesPath, core::cp1251("Назначение соспоставления"), entry->Name)
          : ui.GetSongPath(station.paths().BaseSongPath, core::cp1251("Назначение соспоставлений"), entry->Artist, entry->Name);
  if (chosen.empty()) return false;

  station.Associations().Append(TeachMatch(day, *entry, chosen));
  return true;
}

bool SetDayChangeClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui) {
  core::TSongRec* entry = selectedEntry(day, hour, index);
  if (entry == nullptr || refuseJingle(*entry, ui)) return false;
  const std::string chosen =
      ui.GetSongPath(station.paths().BaseSongPath, core::cp1251("Сопоставить на день "), entry->Artist, entry->Name);
  if (chosen.empty()) return false;
  const core::TSongRec copy = *entry;
  WalkDay(day, [&](core::TSongRec& song) {
    if (!song.matched() && song.Artist == copy.Artist && song.Name == copy.Name) core::SetPath(song, chosen);
  });
  return true;
}

bool SetChangeClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui) {
  core::TSongRec* entry = selectedEntry(day, hour, index);
  if (entry == nullptr || refuseJingle(*entry, ui)) return false;
  const std::string chosen =
      ui.GetSongPath(station.paths().BaseSongPath, core::cp1251("Заменить файл в плейлисте"), entry->Artist, entry->Name);
  if (chosen.empty()) return false;
  core::SetPath(*entry, chosen);
  return true;
}

bool DelAssClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui) {
  core::TSongRec* entry = selectedEntry(day, hour, index);
  if (entry == nullptr || !entry->matched() || refuseJingle(*entry, ui)) return false;
  if (!ui.askYesNo(core::cp1251("Вы действительно хотите снять сопоставление для этого файла ?"))) return false;
  const core::TSongRec copy = *entry;
  WalkDay(day, [&](core::TSongRec& song) {
    if (song.Artist == copy.Artist && song.Name == copy.Name && song.Path == copy.Path) song.Path.clear();
  });
  station.Associations().Delete({copy.Artist, copy.Name, copy.Path});
  return true;
}

bool DelOnListClick(core::DayPlaylist& day, int hour, int index, db::Station& /*station*/, matching::OperatorUi& ui) {
  if (selectedEntry(day, hour, index) == nullptr) return false;
  if (!ui.askYesNo(core::cp1251("Вы действительно хотите удалить файл из плейлиста ?"))) return false;
  auto& list = day.Songs[static_cast<std::size_t>(hour)];
  list.erase(list.begin() + index);
  return true;
}

}  // namespace assoc
