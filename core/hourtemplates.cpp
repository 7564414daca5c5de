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
  const int words = WordCount(text, ' ');
  for (int i = 1; i <= words; ++i) {
    const std::string word = ExtractWord(text, i, ' ');
    long long n = 0;
    bool digits = true;
    for (char c : word) {
      if (c < '0' || c > '9') {
        digits = false;
        break;
      }
      if (n < 1000) n = n * 10 + (c - '0');
    }
    if (!digits) break;
    if (n <= 23) hours[static_cast<std::size_t>(n)] = true;
  }
  return hours;
}

void ApplyHourTemplate(const IniFile& ini, std::string_view name, HourFlags& hours) {
  hours = ParseHourTemplate(ini.readString(kHoursSection, Trim(name), ""));
}

}  // namespace core
