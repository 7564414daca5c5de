// The reader driver: reads a playlist file line by line into the day model
// with the reader of the layout chosen in the settings (Method).
#pragma once

#include <string_view>

#include "readers/readcontext.h"

namespace readers {

// fileName is the full CP1251 file name. Returns false, having read nothing,
// when the file cannot be opened (missing, a folder, no access). Throws
// std::runtime_error when reading fails midway; what was stored before stays.
// The caller empties the day model first and chooses the hours after true.
bool ReadFile(std::string_view fileName, const ReadContext& ctx);

}  // namespace readers
