// The association base page: every row of Association.db in a grid, with
// commands to give a row another file or delete it. Each change is applied to
// the loaded day as well.
#pragma once

#include <string>
#include <vector>

#include "core/daymodel.h"
#include "db/station.h"
#include "matching/operatorui.h"

namespace assoc {

// One grid row: the three values of a table row. A table row is addressed by
// them; rows equal in all three are changed or deleted together.
using AssociationRow = db::AssociationRow;

// The grid's data rows, ordered by FArtist, FName: one per table row, or a
// single empty row for an empty table.
std::vector<AssociationRow> ShowAssociate(db::Station& station);

// "Изменить сопоставление" on a grid row: picks a file (song picker, or the
// jingle picker for a row whose artist is empty or "_JINGLES_"), updates the
// equal rows (a jingle row's artist becomes "_JINGLES_") and gives the new file
// to every entry of the day whose path equals the row's exactly. Nothing for the
// empty row. Returns true when the review and the grid must be refreshed.
bool NChangeClick(core::DayPlaylist& day, const AssociationRow& row, db::Station& station, matching::OperatorUi& ui);

// "Удалить сопоставление": after a Yes, deletes the equal rows and empties the
// path of every entry of the day whose path equals the row's exactly.
bool N2Click(core::DayPlaylist& day, const AssociationRow& row, db::Station& station, matching::OperatorUi& ui);

}  // namespace assoc
