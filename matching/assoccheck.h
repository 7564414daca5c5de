// The association check: makes sure the station tables are there, offers to
// drop association rows whose file left the song or jingle base, and gives
// every line of the chosen hours a file path.
#pragma once

#include <string_view>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"
#include "db/station.h"
#include "matching/operatorui.h"

namespace matching {

// The association artist that marks a jingle's row.
inline constexpr std::string_view kJingleMarker = "_JINGLES_";

// What happens to an association row whose file is in neither base: the window
// asks the operator; the command line keeps or deletes without asking.
enum class StaleRows { Ask, Keep, Delete };

// Whether the check may write: a read-only check (a dry run, suggestions)
// neither creates Association.db nor deletes a row; without the table it
// fills from the bases alone.
enum class CheckWrites { Allowed, None };

// Sets the station's paths from the settings, then: false after a message
// naming the file when MVPath names a file instead of a folder; false after
// "Не найдена база песен!" when BaseSong.db is missing; false after
// "Не найдена база джинглов!" when jingle recognition is on and Jingles.db is
// missing; true when Association.db exists; false after a message naming the
// file when BasePath names a file; otherwise asks whether to create it and,
// on Yes, creates it (three Char columns). A failed creation returns false
// silently. PlayList.db is not looked for. With CheckWrites::None a missing
// Association.db is neither asked about nor created, and the call returns true.
bool CheckBase(const core::TSetts& setts, db::Station& station, OperatorUi& ui,
               CheckWrites writes = CheckWrites::Allowed);

// The earliest playlist date the check accepts (5 January 2016); an empty or
// unreadable date edit reads as day 0 and is refused.
core::TDateTime EarliestPlaylistDate();

// The check button. Runs CheckBase (which sets paths), refuses a date before
// EarliestPlaylistDate() with "Укажите дату плейлиста!", then the two stale
// passes (one remembered answer for both), the association fill, the song-base
// fill and the jingle-base fill, reporting progress through ui. Returns true
// when the run reached its end: the window then shows and refreshes the review.
// A table that cannot be read throws db::Error; paths set and rows deleted
// before stay.
//
// Paths are compared without regard to letter case in the stale passes, so a
// base keeping paths in mixed case does not make live associations stale.
// When Jingles.db is absent (allowed with jingle recognition off) the jingle
// stale pass and the jingle-base fill are skipped and jingle rows are kept.
bool SBCheckClick(core::DayPlaylist& day, const core::TSetts& setts, db::Station& station,
                  core::TDateTime importDate, OperatorUi& ui, StaleRows staleRows = StaleRows::Ask,
                  CheckWrites writes = CheckWrites::Allowed);

}  // namespace matching
