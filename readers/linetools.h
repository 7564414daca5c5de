// Line tools every layout reader shares. Lines are CP1251 bytes; columns are
// 1-based and both ends are included, as the operators set them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/settings.h"

namespace readers {

// The field between two columns without its outer blanks and control
// characters. A last column before the first gives empty text.
std::string ColumnText(std::string_view line, std::int32_t first, std::int32_t last);

struct JingleMatch {
  bool recognised = false;
  std::string marker;  // the trimmed marker columns of the line
  std::string name;    // the jingle name columns; set only when recognised
};

// A jingle line: its marker columns equal one of the ';'-separated markers of
// Jingle_Artist exactly (blanks inside the list belong to the marker) and its
// jingle name columns are not blank. Callers check Use_Jingle themselves.
JingleMatch RecogniseJingle(std::string_view line, const core::TSetts& setts);

}  // namespace readers
