#include "core/hourtemplates.h"

#include "core/text.h"

namespace core {

std::vector<std::string> HourTemplateNames(const IniFile& ini) { return ini.readKeys(kHoursSection); }

std::string HourTemplateValue(const HourFlags& hours) {
  std::string value;
  for (int h = 0; h < kHours; ++h) {
    if (hours[h]) value += " " + std::to_string(h);
  }
  return Trim(value);
}

std::string SaveHourTemplate(IniFile& ini, std::string_view boxText, const HourFlags& hours) {
  std::string shown(boxText);
  if (shown.empty()) shown = "Default";
  ini.writeString(kHoursSection, Trim(shown), HourTemplateValue(hours));
  return shown;
}

HourFlags ParseHourTemplate(std::string_view value) {
  HourFlags hours{};
  const std::string text = Trim(value);
  if (text.empty()) {
    hours.fill(true);
    return hours;
  }
  // One pass over the words: a value may be a line of any length.
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == ' ') ++i;
    if (i == text.size()) break;
    long long n = 0;
    for (; i < text.size() && text[i] != ' '; ++i) {
      if (text[i] < '0' || text[i] > '9') return hours;
      if (n < 1000) n = n * 10 + (text[i] - '0');
    }
    if (n <= 23) hours[static_cast<std::size_t>(n)] = true;
  }
  return hours;
}

void ApplyHourTemplate(const IniFile& ini, std::string_view name, HourFlags& hours) {
  hours = ParseHourTemplate(ini.readString(kHoursSection, Trim(name), ""));
}

}  // namespace core
