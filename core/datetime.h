// Date-time values as the automation system and its tables count them: days
// since 30 December 1899 as a double, the time of day as the fraction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace core {

using TDateTime = double;

constexpr double kOneHour = 1.0 / 24.0;
constexpr double kOneSecond = 1.0 / 86400.0;
// Paradox stores dates as days with 1 January 0001 = 1; this system's day 0 is
// 30 December 1899, ordinal 693594.
constexpr std::int32_t kDayZeroOrdinal = 693594;

struct CivilDate {
  int year = 0;
  int month = 0;
  int day = 0;
};

bool IsValidDate(int year, int month, int day);
// Proleptic Gregorian day ordinal (1 January 0001 = 1) and back.
std::int32_t DateToOrdinal(int year, int month, int day);
CivilDate OrdinalToDate(std::int32_t ordinal);

// REQUIRES: IsValidDate(year, month, day).
TDateTime EncodeDate(int year, int month, int day);
// Any value: one beyond the proleptic ordinals gives the nearest end, NaN day 0.
CivilDate DecodeDate(TDateTime value);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

// "dd.mm.yyyy", the short date text of Russian regional settings.
std::string DateToStr(TDateTime value);
// "dd.mm.yy hh:mm:ss", as the file list shows modification times.
std::string DateTimeToListText(TDateTime value);

// The short date conversion: day, month and optional year separated by '.',
// blanks allowed around the numbers, one trailing '.' and trailing blanks
// allowed, nothing else after. Day and month alone take currentYear; a year of
// one or two digits is completed by a 50-year window ending at currentYear + 50.
std::optional<TDateTime> StrToDate(std::string_view text, int currentYear);
std::optional<TDateTime> StrToDate(std::string_view text);  // this year

int CurrentYear();
TDateTime Today();
// The local date and time of day, to the second.
TDateTime Now();
// "dd.mm.yyyy hh:mm:ss".
std::string DateTimeToStr(TDateTime value);

}  // namespace core
