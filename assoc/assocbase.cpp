#include "assoc/assocbase.h"

#include "assoc/statements.h"
#include "core/codec.h"
#include "matching/assoccheck.h"

namespace assoc {
namespace {

bool isJingleRow(const AssociationRow& row) { return row.artist.empty() || row.artist == matching::kJingleMarker; }

void updateAssociation(db::Query& query, const std::string& associationPath, const AssociationRow& row,
                       const std::string& newPath) {
  query.Close();
  query.Clear();
  query.Add("UPDATE " + db::Quoted(associationPath));
  query.Add("SET FPath=" + db::Quoted(newPath));
  if (isJingleRow(row)) query.Add(", FArtist=" + db::Quoted(matching::kJingleMarker));
  query.Add("WHERE FArtist=" + db::Quoted(row.artist) + " AND");
  query.Add("FName=" + db::Quoted(row.name) + " AND");
  query.Add("FPath=" + db::Quoted(row.path));
  query.ExecSQL();
  query.Clear();
}

}  // namespace

std::vector<AssociationRow> ShowAssociate(const db::StationPaths& paths, db::Query& Query1) {
  Query1.Close();
  Query1.Clear();
  Query1.Add("SELECT * FROM " + db::Quoted(paths.AssociationPath));
  Query1.Add("ORDER BY FArtist,FName");
  Query1.Open();
  std::vector<AssociationRow> rows;
  rows.reserve(static_cast<std::size_t>(Query1.RecordCount()));
  for (; !Query1.Eof(); Query1.Next()) {
    rows.push_back({Query1.FieldAsString("FArtist"), Query1.FieldAsString("FName"), Query1.FieldAsString("FPath")});
  }
  Query1.Close();
  Query1.Clear();
  if (rows.empty()) rows.emplace_back();
  return rows;
}

bool NChangeClick(core::DayPlaylist& day, const AssociationRow& row, const db::StationPaths& paths,
                  db::Query& Query1, matching::OperatorUi& ui) {
  if (row.path.empty()) return false;
  const std::string chosen =
      isJingleRow(row) ? ui.GetJinglePath(paths.JinglesPath, core::cp1251("Изменить "), row.name)
                       : ui.GetSongPath(paths.BaseSongPath, core::cp1251("Изменить сопоставление"), row.artist,
                                        row.name);
  if (chosen.empty()) return false;
  updateAssociation(Query1, paths.AssociationPath, row, chosen);
  WalkDay(day, [&](core::TSongRec& song) {
    if (song.Path == row.path) core::SetPath(song, chosen);
  });
  return true;
}

bool N2Click(core::DayPlaylist& day, const AssociationRow& row, const db::StationPaths& paths, db::Query& Query1,
             matching::OperatorUi& ui) {
  if (!ui.askYesNo(core::cp1251("Вы действительно хотите удалить сопоставление ?"))) return false;
  DeleteAssociation(Query1, paths.AssociationPath, row.artist, row.name, row.path);
  WalkDay(day, [&](core::TSongRec& song) {
    if (song.Path == row.path) song.Path.clear();
  });
  return true;
}

}  // namespace assoc
