#include "db/values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/codec.h"
#include "core/text.h"

namespace db {
namespace {

constexpr double kMsPerDay = 86400000.0;
constexpr std::int32_t kMsPerDayInt = 86400000;
// Whole-day rounding tolerance, far below a millisecond (1/86400000 of a day).
constexpr double kDayEpsilon = 1e-9;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

std::string quote(std::string_view s) { return "\"" + std::string(s) + "\""; }

std::string shortest(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::int64_t integerRangeLimit(FieldType type) {
  return type == FieldType::Short ? 32767 : 2147483647;
}

Value checkedInteger(std::int64_t n, const Field& field, std::string_view table) {
  const std::int64_t limit = integerRangeLimit(field.type);
  if (n < -limit || n > limit) {
    ThrowFieldError(table, field,
                    core::cp1251("число ") + std::to_string(n) + core::cp1251(" вне допустимого диапазона"));
  }
  return n;
}

Value checkedNumber(double v, const Field& field, std::string_view table) {
  if (!std::isfinite(v)) ThrowFieldError(table, field, core::cp1251("недопустимое число"));
  return v;
}

// Paradox dates run from 1 January 0001 to 31 December 9999.
Value checkedDate(double v, const Field& field, std::string_view table) {
  constexpr double kFirst = 1 - core::kDayZeroOrdinal;
  const double last = core::EncodeDate(9999, 12, 31) + 1;
  if (!std::isfinite(v) || v < kFirst || v >= last) {
    ThrowFieldError(table, field, core::cp1251("дата вне допустимого диапазона"));
  }
  if (field.type == FieldType::Date) return static_cast<double>(DayOf(v));
  return std::round(v * kMsPerDay) / kMsPerDay;
}

Value timeOfDay(double v) { return TimeOfDayMs(v) / kMsPerDay; }

[[noreturn]] void notConvertible(std::string_view table, const Field& field, std::string_view what) {
  ThrowFieldError(table, field, core::cp1251("значение ") + quote(what) + core::cp1251(" не подходит полю"));
}

[[noreturn]] void binaryField(std::string_view table, const Field& field) {
  ThrowFieldError(table, field, core::cp1251("двоичное поле не читается и не пишется этим способом"));
}

struct TimeParts {
  int hour = 0, minute = 0, second = 0, ms = 0;
};

bool scanUInt(std::string_view s, std::size_t& i, int maxDigits, int& out) {
  std::size_t start = i;
  int v = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9' && static_cast<int>(i - start) < maxDigits) {
    v = v * 10 + (s[i] - '0');
    ++i;
  }
  if (i == start) return false;
  out = v;
  return true;
}

std::optional<TimeParts> scanTime(std::string_view s) {
  TimeParts t;
  std::size_t i = 0;
  if (!scanUInt(s, i, 2, t.hour) || i >= s.size() || s[i] != ':') return std::nullopt;
  ++i;
  if (!scanUInt(s, i, 2, t.minute)) return std::nullopt;
  if (i < s.size() && s[i] == ':') {
    ++i;
    if (!scanUInt(s, i, 2, t.second)) return std::nullopt;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
      ++i;
      const std::size_t start = i;
      if (!scanUInt(s, i, 3, t.ms)) return std::nullopt;
      for (std::size_t d = i - start; d < 3; ++d) t.ms *= 10;
    }
  }
  if (i != s.size() || t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

}  // namespace

bool IsTextType(FieldType t) {
  return t == FieldType::Alpha || t == FieldType::Memo || t == FieldType::FormattedMemo;
}

bool IsBinaryType(FieldType t) {
  return t == FieldType::Blob || t == FieldType::Ole || t == FieldType::Graphic || t == FieldType::Bytes;
}

bool IsIntegerType(FieldType t) {
  return t == FieldType::Short || t == FieldType::Long || t == FieldType::AutoInc;
}

bool IsNumericType(FieldType t) {
  return IsIntegerType(t) || t == FieldType::Number || t == FieldType::Currency || t == FieldType::Bcd;
}

std::string_view TypeName(FieldType type) {
  switch (type) {
    case FieldType::Alpha: return "Alpha";
    case FieldType::Date: return "Date";
    case FieldType::Short: return "Short";
    case FieldType::Long: return "Long";
    case FieldType::Currency: return "Currency";
    case FieldType::Number: return "Number";
    case FieldType::Logical: return "Logical";
    case FieldType::Memo: return "Memo";
    case FieldType::Blob: return "Blob";
    case FieldType::FormattedMemo: return "FormattedMemo";
    case FieldType::Ole: return "OLE";
    case FieldType::Graphic: return "Graphic";
    case FieldType::Time: return "Time";
    case FieldType::Timestamp: return "Timestamp";
    case FieldType::AutoInc: return "AutoInc";
    case FieldType::Bcd: return "BCD";
    case FieldType::Bytes: return "Bytes";
  }
  return "?";
}

std::int64_t DayOf(double dateTime) {
  // A damaged table may hold any double in a Timestamp: one that is no day
  // count at all reads as day 0, a huge one as the nearest end of the range.
  if (std::isnan(dateTime)) return 0;
  constexpr double kFarthestDay = 1e15;
  return static_cast<std::int64_t>(std::floor(std::clamp(dateTime + kDayEpsilon, -kFarthestDay, kFarthestDay)));
}

std::int32_t TimeOfDayMs(double dateTime) {
  const double fraction = dateTime - std::floor(dateTime);
  if (!std::isfinite(fraction)) return 0;
  const auto ms = static_cast<std::int32_t>(std::llround(fraction * kMsPerDay));
  return ms >= kMsPerDayInt ? kMsPerDayInt - 1 : ms;
}

std::string TimeText(double dateTime, bool milliseconds) {
  const std::int32_t ms = TimeOfDayMs(dateTime);
  char buf[32];
  if (milliseconds) {
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000);
  } else {
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60);
  }
  return buf;
}

std::optional<std::int64_t> ParseInteger(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  std::int64_t v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<double> ParseNumber(std::string_view text) {
  std::string s(trimmed(text));
  if (!s.empty() && s.front() == '+') s.erase(0, 1);
  for (char& c : s) {
    if (c == ',') c = '.';
  }
  double v = 0;
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v)) {
    return std::nullopt;
  }
  return v;
}

std::optional<double> ParseTimeOfDay(std::string_view text) {
  const auto t = scanTime(trimmed(text));
  if (!t) return std::nullopt;
  return ((t->hour * 60.0 + t->minute) * 60.0 + t->second) * 1000.0 / kMsPerDay + t->ms / kMsPerDay;
}

std::optional<double> ParseDateTime(std::string_view text) {
  text = trimmed(text);
  const std::size_t blank = text.find(' ');
  const std::string_view datePart = text.substr(0, blank);
  const auto day = core::StrToDate(datePart);
  if (!day || datePart.find('.') == std::string_view::npos) return std::nullopt;
  if (blank == std::string_view::npos) return *day;
  const auto time = ParseTimeOfDay(text.substr(blank));
  if (!time) return std::nullopt;
  return *day + *time;
}

std::optional<bool> ParseBoolean(std::string_view text) {
  const std::string t = core::UpperStr(trimmed(text));
  if (t == "TRUE" || t == "T" || t == "YES" || t == "Y" || t == "1") return true;
  if (t == "FALSE" || t == "F" || t == "NO" || t == "N" || t == "0" || t.empty()) return false;
  return std::nullopt;
}

void ThrowFieldError(std::string_view table, const Field& field, const std::string& problem) {
  throw Error(std::string(table) + core::cp1251(", поле «") + field.name + core::cp1251("» (") +
              std::string(TypeName(field.type)) + "): " + problem);
}

std::string ReadAsString(const Value& value, const Field& field) {
  if (std::holds_alternative<std::monostate>(value)) return {};
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  if (const auto* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "True" : "False";
  const double v = std::get<double>(value);
  switch (field.type) {
    case FieldType::Date: return core::DateToStr(v);
    case FieldType::Time: return TimeText(v, false);
    case FieldType::Timestamp: {
      const std::string date = core::DateToStr(static_cast<double>(DayOf(v)));
      return TimeOfDayMs(v) == 0 ? date : date + " " + TimeText(v, false);
    }
    default: return shortest(v);
  }
}

std::int32_t ReadAsInteger(const Value& value, const Field& field, std::string_view table) {
  if (std::holds_alternative<std::monostate>(value)) return 0;
  if (IsBinaryType(field.type)) binaryField(table, field);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? 1 : 0;
  std::optional<std::int64_t> n;
  if (const auto* i = std::get_if<std::int64_t>(&value)) n = *i;
  if (const auto* s = std::get_if<std::string>(&value)) {
    n = ParseInteger(*s);
    if (!n) notConvertible(table, field, *s);
  }
  if (const auto* d = std::get_if<double>(&value)) {
    if (field.type == FieldType::Date || field.type == FieldType::Timestamp) {
      n = DayOf(*d);
    } else if (field.type == FieldType::Time) {
      n = TimeOfDayMs(*d);
    } else if (std::isfinite(*d) && std::fabs(*d) < 9.3e18) {
      n = std::llround(*d);
    }
  }
  if (!n || *n < std::numeric_limits<std::int32_t>::min() || *n > std::numeric_limits<std::int32_t>::max()) {
    ThrowFieldError(table, field, core::cp1251("значение не помещается в целое число"));
  }
  return static_cast<std::int32_t>(*n);
}

core::TDateTime ReadAsDateTime(const Value& value, const Field& field, std::string_view table) {
  if (std::holds_alternative<std::monostate>(value)) return 0.0;
  if (IsBinaryType(field.type)) binaryField(table, field);
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (auto v = ParseDateTime(*s)) return *v;
    if (auto v = ParseTimeOfDay(*s)) return *v;
    notConvertible(table, field, *s);
  }
  ThrowFieldError(table, field, core::cp1251("логическое значение не читается как дата"));
}

bool ReadAsBoolean(const Value& value, const Field& field, std::string_view table) {
  if (std::holds_alternative<std::monostate>(value)) return false;
  if (IsBinaryType(field.type)) binaryField(table, field);
  if (const auto* b = std::get_if<bool>(&value)) return *b;
  if (const auto* i = std::get_if<std::int64_t>(&value)) return *i != 0;
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (auto b = ParseBoolean(*s)) return *b;
    notConvertible(table, field, *s);
  }
  if (IsNumericType(field.type)) return std::get<double>(value) != 0.0;
  ThrowFieldError(table, field, core::cp1251("дата не читается как логическое значение"));
}

Value FromString(std::string_view text, const Field& field, std::string_view table) {
  if (IsBinaryType(field.type)) binaryField(table, field);
  if (text.empty()) return std::monostate{};
  if (field.type == FieldType::Alpha) return core::CutTo(text, static_cast<std::size_t>(field.size));
  if (IsTextType(field.type)) return std::string(text);
  if (trimmed(text).empty()) return std::monostate{};
  switch (field.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
      if (auto n = ParseInteger(text)) return checkedInteger(*n, field, table);
      break;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Bcd:
      if (auto v = ParseNumber(text)) return *v;
      break;
    case FieldType::Date:
    case FieldType::Timestamp:
      if (auto v = ParseDateTime(text)) return checkedDate(*v, field, table);
      break;
    case FieldType::Time:
      if (auto v = ParseTimeOfDay(text)) return timeOfDay(*v);
      break;
    case FieldType::Logical:
      if (auto b = ParseBoolean(text)) return *b;
      break;
    default: break;
  }
  notConvertible(table, field, text);
}

Value FromInteger(std::int64_t number, const Field& field, std::string_view table) {
  if (IsBinaryType(field.type)) binaryField(table, field);
  switch (field.type) {
    case FieldType::Alpha:
    case FieldType::Memo:
    case FieldType::FormattedMemo: return FromString(std::to_string(number), field, table);
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: return checkedInteger(number, field, table);
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Bcd: return static_cast<double>(number);
    case FieldType::Date:
    case FieldType::Timestamp: return checkedDate(static_cast<double>(number), field, table);
    case FieldType::Time:
      if (number < 0 || number >= kMsPerDayInt) {
        ThrowFieldError(table, field, core::cp1251("время вне суток"));
      }
      return static_cast<double>(number) / kMsPerDay;
    case FieldType::Logical: return number != 0;
    default: binaryField(table, field);
  }
}

Value FromDateTime(core::TDateTime dateTime, const Field& field, std::string_view table) {
  switch (field.type) {
    case FieldType::Date:
    case FieldType::Timestamp: return checkedDate(dateTime, field, table);
    case FieldType::Time:
      if (!std::isfinite(dateTime)) notConvertible(table, field, shortest(dateTime));
      return timeOfDay(dateTime);
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Bcd: return checkedNumber(dateTime, field, table);
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
      if (!std::isfinite(dateTime) || std::fabs(dateTime) > 3e9) notConvertible(table, field, shortest(dateTime));
      return checkedInteger(std::llround(dateTime), field, table);
    case FieldType::Alpha:
    case FieldType::Memo:
    case FieldType::FormattedMemo: {
      const Field asTimestamp{field.name, FieldType::Timestamp, 8};
      return FromString(ReadAsString(checkedDate(dateTime, asTimestamp, table), asTimestamp), field, table);
    }
    case FieldType::Logical:
      ThrowFieldError(table, field, core::cp1251("дата не записывается в логическое поле"));
    default: binaryField(table, field);
  }
}

Value FromBoolean(bool flag, const Field& field, std::string_view table) {
  if (field.type == FieldType::Logical) return flag;
  if (IsTextType(field.type)) return FromString(flag ? "True" : "False", field, table);
  if (IsNumericType(field.type)) return FromInteger(flag ? 1 : 0, field, table);
  if (IsBinaryType(field.type)) binaryField(table, field);
  ThrowFieldError(table, field, core::cp1251("логическое значение не записывается в поле даты"));
}

}  // namespace db
