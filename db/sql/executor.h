// Runs parsed statements against the cached tables (db/tablecache.h). Every
// field and value of a statement is checked before the first write, so a
// statement that fails has written nothing.
#pragma once

#include <cstddef>
#include <string_view>

#include "db/resultset.h"
#include "db/sql/parser.h"
#include "db/tabledata.h"

namespace db::sql {

ResultSet RunSelect(const Select& select);

// CREATE TABLE, DELETE or UPDATE: the number of rows deleted or changed (0 for
// CREATE TABLE). A SELECT is refused.
std::size_t RunChange(const Statement& statement);

// A WHERE value converted for comparing with a field:
//   text field       text literal, compared by the folded text (blank = "")
//   numeric field    integer literal, or text that reads as a number
//   Date, Timestamp  text "dd.mm.yyyy" (a time after it is ignored): by day
//   Time             text "hh:mm[:ss[.mmm]]": to the millisecond
//   Logical          text True/False (T/F, Yes/No, Y/N, 1/0)
// Anything else throws db::Error naming the table, the field and the place.
Probe MakeProbe(const Literal& value, const Field& field, std::string_view table);

}  // namespace db::sql
