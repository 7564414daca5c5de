#include "db/paradox/values.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/datetime.h"
#include "db/paradox/errors.h"

namespace db::paradox {
namespace {

constexpr std::uint64_t kSign64 = 0x8000000000000000ull;
constexpr double kMsPerDay = 86400000.0;
constexpr std::int64_t kMsPerDayInt = 86400000;
constexpr std::uint8_t kLogicalFalse = 0x80;
constexpr std::uint8_t kLogicalTrue = 0x81;
constexpr std::uint8_t kBcdPositive = 0x80;
constexpr std::uint8_t kBcdNotBlank = 0x40;
constexpr std::uint8_t kBcdDecimals = 0x3F;
constexpr int kBcdDigits = 32;

// Integers: two's complement with the top bit flipped.
std::int64_t decodeInt(ByteSpan bytes) {
  const unsigned bits = static_cast<unsigned>(bytes.size() * 8);
  const std::uint64_t flipped = ReadBigEndian(bytes) ^ (std::uint64_t{1} << (bits - 1));
  const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
  return static_cast<std::int64_t>(flipped ^ sign) - static_cast<std::int64_t>(sign);
}

void encodeInt(std::int64_t value, MutableByteSpan out) {
  const unsigned bits = static_cast<unsigned>(out.size() * 8);
  const std::uint64_t mask = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
  WriteBigEndian(out, (static_cast<std::uint64_t>(value) & mask) ^ (std::uint64_t{1} << (bits - 1)));
}

double decodeDouble(ByteSpan bytes) {
  std::uint64_t v = ReadBigEndian(bytes);
  v = (v & kSign64) ? (v & ~kSign64) : ~v;
  return std::bit_cast<double>(v);
}

void encodeDouble(double value, MutableByteSpan out) {
  if (value == 0.0) value = 0.0;  // no negative zero
  std::uint64_t v = std::bit_cast<std::uint64_t>(value);
  v = (v & kSign64) ? ~v : (v | kSign64);
  WriteBigEndian(out, v);
}

double decodeBcd(ByteSpan bytes) {
  const bool positive = (bytes[0] & kBcdPositive) != 0;
  const int decimals = bytes[0] & kBcdDecimals;
  double value = 0;
  for (int i = 0; i < kBcdDigits; ++i) {
    int nibble = (bytes[1 + static_cast<std::size_t>(i / 2)] >> (i % 2 == 0 ? 4 : 0)) & 0xF;
    if (!positive) nibble ^= 0xF;
    value = value * 10 + std::min(nibble, 9);
  }
  value /= std::pow(10.0, decimals);
  return positive ? value : -value;
}

double timestampOf(double ms) {
  const double ordinal = std::floor(ms / kMsPerDay);
  return (ordinal - core::kDayZeroOrdinal) + (ms - ordinal * kMsPerDay) / kMsPerDay;
}

Value decodeNumeric(FieldType type, ByteSpan bytes) {
  switch (type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
      return decodeInt(bytes);
    case FieldType::Date:
      return static_cast<double>(decodeInt(bytes) - core::kDayZeroOrdinal);
    case FieldType::Time:
      return static_cast<double>(decodeInt(bytes)) / kMsPerDay;
    case FieldType::Timestamp:
      return timestampOf(decodeDouble(bytes));
    case FieldType::Number:
    case FieldType::Currency:
      return decodeDouble(bytes);
    case FieldType::Bcd:
      // The Borland engine marks a blank BCD by the flag alone, keeping the decimals.
      if ((bytes[0] & kBcdNotBlank) == 0) return std::monostate{};
      return decodeBcd(bytes);
    default:
      return std::monostate{};
  }
}

}  // namespace

std::int64_t DecodeStoredInteger(ByteSpan bytes) { return decodeInt(bytes); }

double DecodeStoredReal(FieldType type, ByteSpan bytes) {
  if (type == FieldType::Bcd) return decodeBcd(bytes);
  if (type == FieldType::Timestamp) return timestampOf(decodeDouble(bytes));
  return decodeDouble(bytes);
}

bool IsBlankBcd(ByteSpan bytes) { return IsBlank(bytes) || (bytes[0] & kBcdNotBlank) == 0; }

bool IsBlank(ByteSpan bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

Value DecodeValue(FieldType type, ByteSpan bytes, const CodePage& codePage) {
  if (IsBlank(bytes)) return std::monostate{};
  switch (type) {
    case FieldType::Alpha: {
      const auto length = static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), std::uint8_t{0}) - bytes.begin());
      std::string text(length, '\0');
      for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>(codePage.Cp1251Byte(bytes[i]));
      return text;
    }
    case FieldType::Bytes:
      return ToString(bytes);
    case FieldType::Logical:
      return bytes[0] != kLogicalFalse;
    default:
      return decodeNumeric(type, bytes);
  }
}

}  // namespace db::paradox

// ---------------------------------------------------------------------------
// Encoding

namespace db::paradox {
namespace {

constexpr std::int64_t kShortLimit = 32767;       // -32768 would read as blank
constexpr std::int64_t kLongLimit = 2147483647;   // likewise -2^31
constexpr std::int32_t kLastOrdinal = 3652059;    // 31 December 9999

struct Encoder {
  const Field& field;
  const Value& value;
  MutableByteSpan out;
  const CodePage& codePage;
  const std::string& where;

  [[noreturn]] void fail(const std::string& problem) const { Fail(where, problem); }

  [[noreturn]] void wrongKind() const { fail(Ru("значение не подходит к типу поля")); }

  const std::string& text() const {
    if (const auto* s = std::get_if<std::string>(&value)) return *s;
    wrongKind();
  }

  double number() const {
    if (const auto* d = std::get_if<double>(&value)) {
      if (!std::isfinite(*d)) fail(Ru("число не конечно"));
      return *d;
    }
    if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
    wrongKind();
  }

  std::int64_t integer(std::int64_t limit) const {
    std::int64_t v = 0;
    if (const auto* i = std::get_if<std::int64_t>(&value)) {
      v = *i;
    } else {
      const double d = number();
      if (d != std::floor(d) || std::fabs(d) > static_cast<double>(limit)) {
        fail(Ru("число ") + std::to_string(d) + Ru(" не целое или вне диапазона поля"));
      }
      v = static_cast<std::int64_t>(d);
    }
    if (v < -limit || v > limit) {
      fail(Ru("число ") + std::to_string(v) + Ru(" вне диапазона поля (±") + std::to_string(limit) + ")");
    }
    return v;
  }

  void alpha() const {
    const std::string& s = text();
    if (s.find('\0') != std::string::npos) fail(Ru("текст содержит нулевой символ"));
    const auto converted = codePage.FromCp1251(s);
    if (!converted) {
      fail(Ru("в тексте есть символ, которого нет в кодовой странице таблицы (") +
           std::to_string(codePage.number()) + ")");
    }
    raw(*converted, Ru("текст длиннее поля ("));
  }

  void raw(const std::string& bytes, const std::string& tooLong) const {
    if (bytes.size() > out.size()) {
      fail(tooLong + std::to_string(bytes.size()) + " > " + std::to_string(out.size()) + ")");
    }
    std::copy(bytes.begin(), bytes.end(), out.begin());
  }

  void date() const {
    const double days = std::floor(number());
    if (days < 1.0 - core::kDayZeroOrdinal || days > kLastOrdinal - core::kDayZeroOrdinal) {
      fail(Ru("дата вне диапазона"));
    }
    encodeInt(static_cast<std::int64_t>(days) + core::kDayZeroOrdinal, out);
  }

  void time() const {
    const auto ms = std::llround(number() * kMsPerDay);
    if (ms < 0 || ms >= kMsPerDayInt) fail(Ru("время вне суток"));
    encodeInt(ms, out);
  }

  void timestamp() const {
    const double v = number();
    auto days = static_cast<std::int64_t>(std::floor(v));
    auto ms = std::llround((v - std::floor(v)) * kMsPerDay);
    if (ms == kMsPerDayInt) {
      ++days;
      ms = 0;
    }
    const std::int64_t ordinal = days + core::kDayZeroOrdinal;
    if (ordinal < 1 || ordinal > kLastOrdinal) fail(Ru("дата вне диапазона"));
    encodeDouble(static_cast<double>(ordinal * kMsPerDayInt + ms), out);
  }

  void bcd() const {
    const double v = number();
    const int decimals = field.size;
    char buffer[400];
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(v));
    std::string digits;
    for (int i = 0; i < length; ++i) {
      if (buffer[i] >= '0' && buffer[i] <= '9') digits += buffer[i];
    }
    if (length <= 0 || digits.size() > static_cast<std::size_t>(kBcdDigits)) fail(Ru("число слишком велико для поля"));
    digits.insert(0, static_cast<std::size_t>(kBcdDigits) - digits.size(), '0');
    const bool positive = !(v < 0) || digits.find_first_not_of('0') == std::string::npos;
    out[0] = static_cast<std::uint8_t>((positive ? kBcdPositive : 0) | kBcdNotBlank | decimals);
    for (int i = 0; i < kBcdDigits; ++i) {
      int nibble = digits[static_cast<std::size_t>(i)] - '0';
      if (!positive) nibble ^= 0xF;
      out[1 + static_cast<std::size_t>(i / 2)] |= static_cast<std::uint8_t>(i % 2 == 0 ? nibble << 4 : nibble);
    }
  }

  void logical() const {
    bool b = false;
    if (const auto* v = std::get_if<bool>(&value)) {
      b = *v;
    } else if (const auto* i = std::get_if<std::int64_t>(&value)) {
      b = *i != 0;
    } else {
      wrongKind();
    }
    out[0] = b ? kLogicalTrue : kLogicalFalse;
  }

  void run() const {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    if (std::holds_alternative<std::monostate>(value)) return;
    switch (field.type) {
      case FieldType::Alpha: return alpha();
      case FieldType::Bytes: return raw(text(), Ru("значение длиннее поля ("));
      case FieldType::Short: return encodeInt(integer(kShortLimit), out);
      case FieldType::Long:
      case FieldType::AutoInc:
        return encodeInt(integer(kLongLimit), out);
      case FieldType::Number:
      case FieldType::Currency:
        return encodeDouble(number(), out);
      case FieldType::Date: return date();
      case FieldType::Time: return time();
      case FieldType::Timestamp: return timestamp();
      case FieldType::Logical: return logical();
      case FieldType::Bcd: return bcd();
      default: fail(Ru("поля BLOB не записываются, только пустые значения"));
    }
  }
};

}  // namespace

void EncodeValue(const Field& field, const Value& value, MutableByteSpan out,
                 const CodePage& codePage, const std::string& where) {
  Encoder{field, value, out, codePage, where}.run();
}

}  // namespace db::paradox
