// The commands of the hour review grid's context menu: teach a match to the
// association base, assign a file for the loaded day or for one entry, remove
// a match, drop an entry from the day.
#pragma once

#include "core/daymodel.h"
#include "db/station.h"
#include "matching/operatorui.h"

namespace assoc {

// Every command acts on entry `index` of `Songs[hour]` (the grid's selected
// row less one) and does nothing when there is no such entry. Entries are
// compared exactly, letter case included; the day-wide walks cover all 24
// hours, chosen or not. Each returns true when it changed something and the
// review must be refreshed (TCHourChange). A database failure throws
// db::Error; changes made to the day before it stay.

// "Назначить сопоставление": asks before replacing a match, picks a file
// (jingle picker for a jingle), gives it to every equal entry of the day (for a
// jingle: the jingles of that name without an artist) and appends the row to
// Association.db ("_JINGLES_" as the artist of a jingle).
bool SetAssClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui);

// "Назначить в этот день": the picked file goes to every unmatched entry of the
// day with the same artist and title. Refused for a jingle.
bool SetDayChangeClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui);

// "Назначить в этот раз": the picked file goes to the selected entry alone.
// Refused for a jingle.
bool SetChangeClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui);

// "Снять сопоставление": after a Yes, empties the path of every entry equal in
// artist, title and path, and deletes the equal rows of Association.db.
// Nothing for an unmatched entry; refused for a jingle.
bool DelAssClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui);

// "Удалить из плейлиста": after a Yes, removes the entry from its hour.
bool DelOnListClick(core::DayPlaylist& day, int hour, int index, db::Station& station, matching::OperatorUi& ui);

}  // namespace assoc
