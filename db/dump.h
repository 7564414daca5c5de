// The text form of table rows printed by the companion's dump and sql
// commands: one line of field names joined by TAB, then one line per row with
// its values joined by TAB. Output is UTF-8.
#pragma once

#include <string>
#include <vector>

#include "db/paradox/table.h"

namespace db {

// Blank: nothing. Alpha and memo: the text, with TAB, line feed, carriage
// return and backslash written as \t, \n, \r, \\. Integers in decimal. Date
// "DD.MM.YYYY", Time "HH:MM:SS.mmm", Timestamp "DD.MM.YYYY HH:MM:SS.mmm".
// Number, Currency, BCD: the shortest decimal that reads back as the same
// double. Logical "true"/"false". Other binary fields "<N bytes>".
std::string DumpValue(const Value& value, const Field& field);
std::string DumpHeader(const std::vector<Field>& fields);
std::string DumpLine(const std::vector<Field>& fields, const Row& row);

}  // namespace db
