#include "assoc/statements.h"

#include "matching/assoccheck.h"

namespace assoc {

void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit) {
  for (auto& hour : day.Songs) {
    for (core::TSongRec& song : hour) visit(song);
  }
}

db::AssociationRow TeachMatch(core::DayPlaylist& day, core::TSongRec entry, const std::string& path) {
  if (entry.isJingle()) {
    entry.Artist = matching::kJingleMarker;
    WalkDay(day, [&](core::TSongRec& song) {
      if (song.isJingle() && song.Name == entry.Name && song.Artist.empty()) core::SetPath(song, path);
    });
  } else {
    WalkDay(day, [&](core::TSongRec& song) {
      if (!song.isJingle() && song.Artist == entry.Artist && song.Name == entry.Name) core::SetPath(song, path);
    });
  }
  return {entry.Artist, entry.Name, path};
}

}  // namespace assoc
