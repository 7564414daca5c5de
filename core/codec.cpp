#include "core/codec.h"

#include <array>

namespace core {
namespace {

// Code points of the bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

char32_t cp1251ToUnicode(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kHighHalf[byte - 0x80];
}

int unicodeToCp1251(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(cp - 0x0410 + 0xC0);
  for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
    if (kHighHalf[i] == cp) return static_cast<int>(0x80 + i);
  }
  return -1;
}

std::string cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char c : text) appendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
      len = 1;
      cp = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      len = 2;
      cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      len = 3;
      cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      len = 4;
      cp = lead & 0x07;
    }
    bool valid = len != 0 && i + len <= text.size();
    for (std::size_t k = 1; valid && k < len; ++k) {
      const auto cont = static_cast<unsigned char>(text[i + k]);
      if ((cont & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (cont & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    const int byte = unicodeToCp1251(cp);
    out += byte < 0 ? '?' : static_cast<char>(byte);
    i += len;
  }
  return out;
}

}  // namespace core
