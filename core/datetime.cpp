#include "core/datetime.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <limits>

namespace core {
namespace {

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

void scanBlanks(std::string_view s, std::size_t& pos) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
}

// Up to four digits (the accumulation stops once the value reaches 1000).
bool scanNumber(std::string_view s, std::size_t& pos, int& value, int& digits) {
  scanBlanks(s, pos);
  std::size_t i = pos;
  int n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < 1000) {
    n = n * 10 + (s[i] - '0');
    ++i;
  }
  if (i == pos) return false;
  digits = static_cast<int>(i - pos);
  value = n;
  pos = i;
  return true;
}

bool scanChar(std::string_view s, std::size_t& pos, char c) {
  scanBlanks(s, pos);
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

}  // namespace

bool IsValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

std::int32_t DateToOrdinal(int year, int month, int day) {
  const int y = year - 1;
  std::int32_t days = y * 365 + y / 4 - y / 100 + y / 400;
  for (int m = 1; m < month; ++m) days += daysInMonth(year, m);
  return days + day;
}

CivilDate OrdinalToDate(std::int32_t ordinal) {
  // Days from 0001-01-01 (ordinal 1) via the civil-from-days algorithm
  // shifted to the epoch 0000-03-01.
  std::int64_t z = static_cast<std::int64_t>(ordinal) + 305;  // days since 0000-03-01
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  CivilDate d;
  d.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  d.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  d.year = static_cast<int>(yoe + era * 400 + (d.month <= 2 ? 1 : 0));
  return d;
}

TDateTime EncodeDate(int year, int month, int day) {
  return static_cast<double>(DateToOrdinal(year, month, day) - kDayZeroOrdinal);
}

CivilDate DecodeDate(TDateTime value) {
  // Beyond the ordinals (only a damaged table holds such a value): the nearest
  // end; not a number: day 0.
  const double ordinal = std::floor(value + kOneSecond / 1000.0) + kDayZeroOrdinal;
  if (std::isnan(ordinal)) return OrdinalToDate(kDayZeroOrdinal);
  constexpr double kFirst = std::numeric_limits<std::int32_t>::min();
  constexpr double kLast = std::numeric_limits<std::int32_t>::max();
  return OrdinalToDate(static_cast<std::int32_t>(std::clamp(ordinal, kFirst, kLast)));
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

std::string DateToStr(TDateTime value) {
  const CivilDate d = DecodeDate(value);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", d.day, d.month, d.year);
  return buf;
}

std::string DateTimeToListText(TDateTime value) {
  const CivilDate d = DecodeDate(value);
  double fraction = value - std::floor(value);
  auto ms = static_cast<long long>(std::llround(fraction * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  const long long secs = ms / 1000;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%02d %02lld:%02lld:%02lld", d.day, d.month,
                d.year % 100, secs / 3600, secs / 60 % 60, secs % 60);
  return buf;
}

std::optional<TDateTime> StrToDate(std::string_view s, int currentYear) {
  std::size_t pos = 0;
  int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
  if (!(scanNumber(s, pos, n1, l1) && scanChar(s, pos, '.') && scanNumber(s, pos, n2, l2))) {
    return std::nullopt;
  }
  int year = currentYear;
  if (scanChar(s, pos, '.')) {
    if (!scanNumber(s, pos, n3, l3)) return std::nullopt;
    year = n3;
    if (l3 <= 2) {
      const int centuryBase = currentYear - 50;
      year += centuryBase / 100 * 100;
      if (year < centuryBase) year += 100;
    }
  }
  scanChar(s, pos, '.');
  scanBlanks(s, pos);
  if (pos < s.size()) return std::nullopt;
  if (!IsValidDate(year, n2, n1)) return std::nullopt;
  return EncodeDate(year, n2, n1);
}

std::optional<TDateTime> StrToDate(std::string_view text) { return StrToDate(text, CurrentYear()); }

namespace {

std::tm localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local;
}

}  // namespace

int CurrentYear() { return localNow().tm_year + 1900; }

TDateTime Today() {
  const std::tm local = localNow();
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

TDateTime Now() {
  const std::tm local = localNow();
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

std::string DateTimeToStr(TDateTime value) {
  const double day = std::floor(value);
  const long seconds = std::lround((value - day) * 86400.0) % 86400;
  char time[16];
  std::snprintf(time, sizeof time, " %02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return DateToStr(day) + time;
}

}  // namespace core
