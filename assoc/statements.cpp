#include "assoc/statements.h"

namespace assoc {

void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit) {
  for (auto& hour : day.Songs) {
    for (core::TSongRec& song : hour) visit(song);
  }
}

}  // namespace assoc
