// Windows-1251 text at the edges of the program. Everything inside the program
// holds texts as std::string of CP1251 bytes; these convert to and from UTF-8
// where text meets the console, the widgets or a UTF-8 source literal.
#pragma once

#include <string>
#include <string_view>

namespace core {

// The Unicode code point of one CP1251 byte (0x98, unassigned, maps to U+0098).
char32_t cp1251ToUnicode(unsigned char byte);

// The CP1251 byte of a code point, or -1 when CP1251 has no such character.
int unicodeToCp1251(char32_t codePoint);

std::string cp1251ToUtf8(std::string_view cp1251Text);

// A character CP1251 lacks, and every malformed UTF-8 sequence, becomes '?'.
std::string utf8ToCp1251(std::string_view utf8Text);

// Shorthand for program texts written as UTF-8 literals in the source.
inline std::string cp1251(std::string_view utf8Text) { return utf8ToCp1251(utf8Text); }

}  // namespace core
