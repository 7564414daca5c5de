// Field values through the four kinds the program reads and writes (text,
// integer, date-time, boolean), converted to and from what each Paradox field
// type stores. Texts are CP1251.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/datetime.h"
#include "db/paradox/table.h"

namespace db {

bool IsTextType(FieldType type);    // Alpha, Memo, FormattedMemo
bool IsBinaryType(FieldType type);  // Blob, Ole, Graphic, Bytes
bool IsNumericType(FieldType type); // Short, Long, AutoInc, Number, Currency, Bcd
bool IsIntegerType(FieldType type); // Short, Long, AutoInc
std::string_view TypeName(FieldType type);

// The whole day of a date-time value; within +-1e15 days, NaN as day 0.
std::int64_t DayOf(double dateTime);
// Milliseconds since midnight of a date-time value (its time of day), 0..86399999;
// 0 for a value that is not finite.
std::int32_t TimeOfDayMs(double dateTime);

// Reading. A blank value reads as "", 0, 0.0 and false.
//   text:      numbers in decimal (shortest form, '.'), Date "dd.mm.yyyy", Time
//              "hh:mm:ss", Timestamp "dd.mm.yyyy hh:mm:ss" (the date alone at
//              midnight), Logical "True"/"False", binary fields their bytes;
//   integer:   numbers rounded, Date and Timestamp their whole day, Time its
//              milliseconds since midnight, Logical 0 or 1, text when it is one;
//   date-time: Date whole days, Time the fraction of a day, numbers their value,
//              text written as a date, a date and time, or a time;
//   boolean:   numbers other than 0, text True/T/Yes/Y/1 (False/F/No/N/0).
// What does not convert throws db::Error naming the table and the field.
std::string ReadAsString(const Value& value, const Field& field);
std::int32_t ReadAsInteger(const Value& value, const Field& field, std::string_view table);
core::TDateTime ReadAsDateTime(const Value& value, const Field& field, std::string_view table);
bool ReadAsBoolean(const Value& value, const Field& field, std::string_view table);

// Writing: the value a field stores for a value of one kind, in the exact form
// reading the table back gives (Alpha cut to its size, Date the whole day, Time
// the time of day and Timestamp both to the millisecond). Empty text makes any
// field blank. Out of range, unconvertible, binary targets: db::Error.
Value FromString(std::string_view text, const Field& field, std::string_view table);
Value FromInteger(std::int64_t number, const Field& field, std::string_view table);
Value FromDateTime(core::TDateTime dateTime, const Field& field, std::string_view table);
Value FromBoolean(bool flag, const Field& field, std::string_view table);

// Text forms shared with the SQL literals. Blanks around the text are allowed.
std::optional<std::int64_t> ParseInteger(std::string_view text);
std::optional<double> ParseNumber(std::string_view text);  // '.' or ',' as the decimal point
std::optional<double> ParseTimeOfDay(std::string_view text);  // h:mm[:ss[.mmm]], a fraction of a day
std::optional<double> ParseDateTime(std::string_view text);   // dd.mm.yyyy [h:mm[:ss[.mmm]]]
std::optional<bool> ParseBoolean(std::string_view text);

// "hh:mm:ss" or "hh:mm:ss.mmm" of a time of day.
std::string TimeText(double dateTime, bool milliseconds);

// db::Error "T, поле «F» (Type): problem" (problem in CP1251).
[[noreturn]] void ThrowFieldError(std::string_view table, const Field& field, const std::string& problem);

}  // namespace db
