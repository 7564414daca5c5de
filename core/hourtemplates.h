// Hour templates: named sets of chosen hours kept in section "Hours" of the
// settings file, the value being the hour numbers separated by one blank.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/daymodel.h"
#include "core/inifile.h"

namespace core {

inline constexpr std::string_view kHoursSection = "Hours";

using HourFlags = std::array<bool, kHours>;

// Template names in file order.
std::vector<std::string> HourTemplateNames(const IniFile& ini);

// "6 7 8 9" for the chosen hours; empty when none is chosen.
std::string HourTemplateValue(const HourFlags& hours);

// Stores the choice under the box text without its outer blanks; an empty box
// text becomes "Default". Returns the text the box shows afterwards.
std::string SaveHourTemplate(IniFile& ini, std::string_view boxText, const HourFlags& hours);

// The choice a template value stands for: its decimal numbers, read left to
// right until a word that is not one; numbers outside 0..23 are skipped. An
// empty value stands for all 24 hours.
HourFlags ParseHourTemplate(std::string_view value);

// Applies the named template (trimmed); a missing key chooses all 24 hours.
void ApplyHourTemplate(const IniFile& ini, std::string_view name, HourFlags& hours);

}  // namespace core
