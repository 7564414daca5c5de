#include "import/hourlist.h"

#include <charconv>
#include <string>

#include "core/text.h"

namespace importing {
namespace {

std::optional<int> parseHour(std::string_view text) {
  const std::string trimmed = core::Trim(text);
  int hour = -1;
  const char* end = trimmed.data() + trimmed.size();
  const auto [stop, error] = std::from_chars(trimmed.data(), end, hour);
  if (trimmed.empty() || error != std::errc() || stop != end || hour < 0 || hour >= core::kHours) {
    return std::nullopt;
  }
  return hour;
}

// One item: "h" or "first-last".
bool addItem(std::string_view item, core::HourFlags& hours) {
  const std::size_t dash = item.find('-');
  const auto first = parseHour(item.substr(0, dash));
  const auto last = dash == std::string_view::npos ? first : parseHour(item.substr(dash + 1));
  if (!first || !last || *first > *last) return false;
  for (int h = *first; h <= *last; ++h) hours[static_cast<std::size_t>(h)] = true;
  return true;
}

}  // namespace

std::optional<core::HourFlags> ParseHourList(std::string_view text) {
  core::HourFlags hours{};
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    if (!addItem(text.substr(start, comma == std::string_view::npos ? comma : comma - start), hours)) {
      return std::nullopt;
    }
    if (comma == std::string_view::npos) return hours;
    start = comma + 1;
  }
}

}  // namespace importing
