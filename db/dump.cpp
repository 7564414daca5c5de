#include "db/dump.h"

#include <charconv>

#include "core/codec.h"
#include "core/datetime.h"
#include "db/values.h"

namespace db {
namespace {

std::string escaped(const std::string& cp1251Text) {
  std::string out;
  out.reserve(cp1251Text.size());
  for (char c : cp1251Text) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return core::cp1251ToUtf8(out);
}

std::string shortest(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace

std::string DumpValue(const Value& value, const Field& field) {
  if (std::holds_alternative<std::monostate>(value)) return {};
  if (const auto* n = std::get_if<std::int64_t>(&value)) return std::to_string(*n);
  if (const auto* b = std::get_if<bool>(&value)) return *b ? "true" : "false";
  if (const auto* s = std::get_if<std::string>(&value)) {
    if (IsBinaryType(field.type)) return "<" + std::to_string(s->size()) + " bytes>";
    return escaped(*s);
  }
  const double v = std::get<double>(value);
  switch (field.type) {
    case FieldType::Date: return core::DateToStr(v);
    case FieldType::Time: return TimeText(v, true);
    case FieldType::Timestamp: {
      // The date of the whole day the time belongs to, as TimeText rounds.
      const double day = static_cast<double>(DayOf(v));
      return core::DateToStr(day) + " " + TimeText(v, true);
    }
    default: return shortest(v);
  }
}

std::string DumpHeader(const std::vector<Field>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    line += escaped(fields[i].name);
  }
  return line;
}

std::string DumpLine(const std::vector<Field>& fields, const Row& row) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += '\t';
    if (i < row.size()) line += DumpValue(row[i], fields[i]);
  }
  return line;
}

}  // namespace db
