// Hour lists as the command line takes them: "6-9,12" chooses 6, 7, 8, 9 and 12.
#pragma once

#include <optional>
#include <string_view>

#include "core/hourtemplates.h"

namespace importing {

// Items separated by ',', each an hour or a range "first-last" (first <= last),
// hours 0 to 23 in decimal, blanks allowed around numbers. nullopt for
// anything else, an empty text included.
std::optional<core::HourFlags> ParseHourList(std::string_view text);

}  // namespace importing
