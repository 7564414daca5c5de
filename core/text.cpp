#include "core/text.h"

#include <array>
#include <limits>

namespace core {
namespace {

DelayHandler& delayHandler() {
  static DelayHandler handler;
  return handler;
}

// Windows' upper-case mapping of CP1251 under Russian settings.
constexpr std::array<unsigned char, 256> makeUpperTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (int c = 0xE0; c <= 0xFF; ++c) t[c] = static_cast<unsigned char>(c - 32);
  const unsigned char pairs[][2] = {
      {0x90, 0x80}, {0x83, 0x81}, {0x9A, 0x8A}, {0x9C, 0x8C}, {0x9D, 0x8D},
      {0x9E, 0x8E}, {0x9F, 0x8F}, {0xA2, 0xA1}, {0xBC, 0xA3}, {0xB4, 0xA5},
      {0xB8, 0xA8}, {0xBA, 0xAA}, {0xB3, 0xB2}, {0xBF, 0xAF}, {0xBE, 0xBD}};
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}
constexpr auto kUpper = makeUpperTable();

// The pickers' alphabets, as CP1251 bytes:
// "abcdefghijklmnopqrstuvwxyzабвгдеёжзийклмнопрстуфхцчшщъыьэюя_єї_0" and its
// upper-case counterpart; a character at position k of the first becomes the
// one at position k of the second.
constexpr std::array<unsigned char, 256> makeUpperRuTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (int c = 0xE0; c <= 0xFF; ++c) t[c] = static_cast<unsigned char>(c - 32);
  t[0xB8] = 0xA8;  // ё
  t[0xBA] = 0xAA;  // є
  t[0xBF] = 0xAF;  // ї
  return t;
}
constexpr auto kUpperRu = makeUpperRuTable();

bool isDelim(char c, char delim) { return c == (delim == '\0' ? ' ' : delim); }

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void SetDelayHandler(DelayHandler handler) { delayHandler() = std::move(handler); }

void Delay(int milliseconds) {
  if (delayHandler()) delayHandler()(milliseconds);
}

std::string AddBackslash(std::string_view folder) {
  std::string result(folder);
  if (result.empty()) return result;
#ifdef _WIN32
  if (result.back() != '\\') result += '\\';
#else
  if (result.back() != '\\' && result.back() != '/') result += '/';
#endif
  return result;
}

char UpperChar(char c) { return static_cast<char>(kUpper[static_cast<unsigned char>(c)]); }

std::string UpperStr(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string UpperCaseRu(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(kUpperRu[static_cast<unsigned char>(c)]);
  return out;
}

int WordCount(std::string_view text, char delim) {
  int count = 0;
  bool inWord = false;
  for (char c : text) {
    if (isDelim(c, delim)) {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++count;
    }
  }
  return count;
}

std::string ExtractWord(std::string_view text, int n, char delim) {
  if (n < 1) return {};
  int count = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && isDelim(text[i], delim)) ++i;
    if (i >= text.size()) break;
    const std::size_t start = i;
    while (i < text.size() && !isDelim(text[i], delim)) ++i;
    if (++count == n) return std::string(text.substr(start, i - start));
  }
  return {};
}

std::string Trim(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && static_cast<unsigned char>(text[first]) <= 32) ++first;
  while (last > first && static_cast<unsigned char>(text[last - 1]) <= 32) --last;
  return std::string(text.substr(first, last - first));
}

std::string_view Substring(std::string_view text, std::int64_t start, std::int64_t count) {
  if (start < 1) start = 1;
  const auto size = static_cast<std::int64_t>(text.size());
  if (start > size || count < 1) return {};
  const std::int64_t available = size - start + 1;
  return text.substr(static_cast<std::size_t>(start - 1),
                     static_cast<std::size_t>(count < available ? count : available));
}

LeadingInt ParseLeadingInt(std::string_view text) {
  const auto size = static_cast<std::int64_t>(text.size());
  std::int64_t i = 0;  // 0-based index of the next character
  while (i < size && text[i] == ' ') ++i;
  bool negative = false;
  if (i < size && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < size && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < size && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  std::int64_t value = 0;
  bool anyDigit = false;
  const std::int64_t limit = std::numeric_limits<std::int32_t>::max();
  while (i < size) {
    const int d = base == 16 ? hexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (d < 0) break;
    const std::int64_t next = value * base + d;
    // A digit that would overflow ends the number; a negative number may reach
    // one further (the minimum of a signed 32-bit value).
    if (next > limit + (negative ? 1 : 0)) break;
    value = next;
    anyDigit = true;
    ++i;
  }
  LeadingInt result;
  if (i >= size && anyDigit) {
    result.stop = 0;
    result.value = static_cast<std::int32_t>(negative ? -value : value);
  } else {
    // The sign applies to the digits read before the stop, so " -5:00" reads
    // as hour -5 and is refused, not taken for hour 5.
    result.stop = i + 1;
    const std::int64_t clamped = value > limit ? limit : value;
    result.value = static_cast<std::int32_t>(negative ? -clamped : clamped);
  }
  return result;
}

std::string CutTo(std::string_view text, std::size_t capacity) {
  return std::string(text.substr(0, capacity));
}

const char* PluralForm(long long n, const char* one, const char* few, const char* many) {
  const long long tens = (n < 0 ? -n : n) % 100;
  const long long units = tens % 10;
  if (tens >= 11 && tens <= 14) return many;
  if (units == 1) return one;
  if (units >= 2 && units <= 4) return few;
  return many;
}

}  // namespace core
