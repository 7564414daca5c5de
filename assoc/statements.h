// What the review commands and the association base page share.
#pragma once

#include <functional>
#include <string>

#include "core/daymodel.h"
#include "db/station.h"

namespace assoc {

// Every entry of the day, hour 0 to 23, each hour in list order.
void WalkDay(core::DayPlaylist& day, const std::function<void(core::TSongRec&)>& visit);

// Teaching a match: gives path to every equal entry of the day (for a jingle:
// the jingles of that name without an artist) and returns the row that
// Association.db is to keep ("_JINGLES_" as the artist of a jingle). The
// caller writes the row.
db::AssociationRow TeachMatch(core::DayPlaylist& day, core::TSongRec entry, const std::string& path);

}  // namespace assoc
