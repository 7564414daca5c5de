#include "assoc/statements.h"

namespace assoc {

void DeleteAssociation(db::Query& query, const std::string& associationPath, const std::string& artist,
                       const std::string& name, const std::string& path) {
  query.Close();
  query.Clear();
  query.Add("DELETE FROM " + db::Quoted(associationPath));
  query.Add("WHERE FArtist=" + db::Quoted(artist) + " AND");
  query.Add("FName=" + db::Quoted(name) + " AND");
  query.Add("FPath=" + db::Quoted(path));
  query.ExecSQL();
  query.Clear();
}

void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit) {
  for (auto& hour : day.Songs) {
    for (core::TSongRec& song : hour) visit(song);
  }
}

}  // namespace assoc
