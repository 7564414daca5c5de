// The Mirvane layout: every line carries its own time in its first five
// characters (07:30); no headers, lines of any hour in any order.
#include <optional>
#include <string>

#include "core/text.h"
#include "readers/layouts.h"
#include "readers/linetools.h"

namespace readers {
namespace {

constexpr std::size_t kMinLength = 7;
constexpr std::int64_t kTimeWidth = 5;

// The hour of a line: a number at the start of the first five characters that
// something other than a digit follows within them ("07:30", " 7:30"). Lines
// whose five characters are all number (12345) or begin with none (Total)
// carry no time.
std::optional<std::int32_t> timeHour(std::string_view line) {
  const core::LeadingInt parsed = core::ParseLeadingInt(core::Substring(line, 1, kTimeWidth));
  if (parsed.stop == 0 || parsed.stop == 1) return std::nullopt;
  return parsed.value;
}

}  // namespace

void OnReadMirvane(std::string_view line, std::int32_t& /*CurrentHour*/, const ReadContext& ctx) {
  if (line.size() < kMinLength) return;
  if (line.front() == '=') return;
  const std::optional<std::int32_t> hour = timeHour(line);
  if (!hour) return;

  const core::TSetts& s = ctx.setts;
  std::string artist;
  std::string name;
  std::int32_t kind = core::kKindSong;
  JingleMatch jingle;
  if (s.Use_Jingle) jingle = RecogniseJingle(line, s);
  if (jingle.recognised) {
    name = jingle.name;
    kind = core::kKindJingle;
  } else {
    artist = ColumnText(line, s.Artist_Start, s.Artist_End);
    name = ColumnText(line, s.Name_Start, s.Name_End);
    if (artist.empty()) return;
  }
  if (*hour > 23 || *hour < 0) return;
  core::AppendSong(ctx.day, *hour, artist, name, kind);
}

}  // namespace readers
