#include "assoc/assocbase.h"

#include "assoc/statements.h"
#include "core/codec.h"
#include "matching/assoccheck.h"

namespace assoc {
namespace {

bool isJingleRow(const AssociationRow& row) { return row.artist.empty() || row.artist == matching::kJingleMarker; }

}  // namespace

std::vector<AssociationRow> ShowAssociate(db::Station& station) {
  std::vector<AssociationRow> rows = station.Associations().Sorted();
  if (rows.empty()) rows.emplace_back();
  return rows;
}

bool NChangeClick(core::DayPlaylist& day, const AssociationRow& row, db::Station& station, matching::OperatorUi& ui) {
  if (row.path.empty()) return false;
  const std::string chosen =
      isJingleRow(row) ? ui.GetJinglePath(station.paths().JinglesPath, core::cp1251("Изменить "), row.name)
                       : ui.GetSongPath(station.paths().BaseSongPath, core::cp1251("Изменить сопоставление"), row.artist,
                                        row.name);
  if (chosen.empty()) return false;
  const std::string marker(matching::kJingleMarker);
  station.Associations().Change(row, chosen, isJingleRow(row) ? &marker : nullptr);
  WalkDay(day, [&](core::TSongRec& song) {
    if (song.Path == row.path) core::SetPath(song, chosen);
  });
  return true;
}

bool N2Click(core::DayPlaylist& day, const AssociationRow& row, db::Station& station, matching::OperatorUi& ui) {
  if (!ui.askYesNo(core::cp1251("Вы действительно хотите удалить сопоставление ?"))) return false;
  station.Associations().Delete(row);
  WalkDay(day, [&](core::TSongRec& song) {
    if (song.Path == row.path) song.Path.clear();
  });
  return true;
}

}  // namespace assoc
