// Error texts of the table engine: CP1251 Russian, naming the file (or a part
// of it) first, e.g. "PlayList.db: заголовок слишком короткий (40 < 88 байт)".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/codec.h"
#include "db/paradox/table.h"

namespace db::paradox {

// A program text written as UTF-8 in the source, as CP1251.
inline std::string Ru(std::string_view utf8Text) { return core::cp1251(utf8Text); }

// where: CP1251 text; message: CP1251 text.
[[noreturn]] inline void Fail(std::string_view where, std::string_view message) {
  std::string text(where);
  text += ": ";
  text += message;
  throw Error(text);
}

std::string Hex(std::uint64_t value);

// The file name part of a CP1251 path, which is what messages show.
std::string FileNameOf(std::string_view cp1251Path);

}  // namespace db::paradox
