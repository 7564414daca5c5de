// Small text tools shared by every part of the program. Texts are CP1251 bytes;
// positions are 1-based, as the operators' column settings are.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace core {

// Pause that keeps the window alive inside long loops. The window installs a
// handler that sleeps and processes waiting events; by default it does nothing,
// which is what the command line and the tests want.
using DelayHandler = std::function<void(int milliseconds)>;
void SetDelayHandler(DelayHandler handler);
void Delay(int milliseconds);

// A folder name ready for a file name to be appended. Empty stays empty. On
// Windows a trailing backslash is added unless present; elsewhere a folder that
// ends in '/' or '\' is left alone and any other gets '/'.
std::string AddBackslash(std::string_view folder);

// Upper case as Windows does it for code page 1251 under Russian settings
// (Latin, Russian and the other Cyrillic letters of the code page).
std::string UpperStr(std::string_view text);
char UpperChar(char c);

// Upper case by the pickers' fixed alphabet: Latin, Russian, є and ї only.
std::string UpperCaseRu(std::string_view text);

// Words are maximal runs of characters other than delim; a delim of code 0
// means the blank.
int WordCount(std::string_view text, char delim);
std::string ExtractWord(std::string_view text, int n, char delim);

// Removes leading and trailing characters of code 32 or less.
std::string Trim(std::string_view text);

// Characters from 1-based position start, at most count of them. A start
// below 1 counts as 1; past the end, or a count below 1, gives empty text.
std::string_view Substring(std::string_view text, std::int64_t start, std::int64_t count);

// The integer that begins the text (blanks, sign, decimal or $/x/0x hex digits)
// and where the conversion stopped: 0 when the whole text was a number,
// otherwise the 1-based position of the character that ended it, with the
// value of the digits read before it (signed).
struct LeadingInt {
  std::int32_t value = 0;
  std::int64_t stop = 1;
};
LeadingInt ParseLeadingInt(std::string_view text);

// Cuts text to its first capacity bytes (the fixed capacities of the records).
std::string CutTo(std::string_view text, std::size_t capacity);

// The Russian form of a noun after the number n: one ("1 строка", "21 строка"),
// few ("3 строки") or many ("5 строк", "11 строк"). The forms are given and
// returned as they are (UTF-8 or CP1251 alike).
const char* PluralForm(long long n, const char* one, const char* few, const char* many);

}  // namespace core
