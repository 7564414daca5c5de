// The RetroFM layout: like Selector, hours follow one another from hour 0,
// each closed by a "Total Time" line. A cart header hides the line after it,
// "A / B" artists become "A+B", titles starting with "*" are not stored, and
// jingle lines can be recognised.
#include <string>

#include "core/text.h"
#include "readers/layouts.h"
#include "readers/linetools.h"

namespace readers {
namespace {

constexpr std::size_t kMinLength = 7;
constexpr char kFormFeed = '\f';

// "A / B" -> "A+B"; "A /" -> "A". Only the first slash divides.
std::string joinArtists(const std::string& artist) {
  const std::size_t slash = artist.find('/');
  if (slash == std::string::npos) return artist;
  const auto p = static_cast<std::int64_t>(slash) + 1;
  const auto length = static_cast<std::int64_t>(artist.size());
  const std::string second = core::Trim(core::Substring(artist, p + 1, length - p));
  const std::string first = core::Trim(core::Substring(artist, 1, p - 1));
  return second.empty() ? first : first + "+" + second;
}

void storeSong(std::string_view line, std::int32_t hour, const ReadContext& ctx) {
  const core::TSetts& s = ctx.setts;
  const std::string artist = joinArtists(ColumnText(line, s.Artist_Start, s.Artist_End));
  const std::string name = ColumnText(line, s.Name_Start, s.Name_End);
  if (name.empty() || name.front() == '*') return;
  if (artist.empty()) return;
  core::AppendSong(ctx.day, hour, artist, name, core::kKindSong);
}

}  // namespace

void OnReadStringRetroFM(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  if (ctx.state.SkipLines > 0) {
    --ctx.state.SkipLines;
    return;
  }
  if (line.size() < kMinLength) return;
  if (line.front() == kFormFeed) return;
  const std::string t7 = core::Trim(core::Substring(line, 1, 7));
  if (t7 == "Cart") {
    ctx.state.SkipLines = 1;
    return;
  }
  if (t7 == "=======" || t7 == "-------" || t7 == "Filenam") return;
  if (t7 == "Total T") {
    ++CurrentHour;
    return;
  }
  if (CurrentHour > 23) return;

  if (ctx.setts.Use_Jingle) {
    const JingleMatch jingle = RecogniseJingle(line, ctx.setts);
    if (jingle.recognised) {
      core::AppendSong(ctx.day, CurrentHour, jingle.marker, jingle.name, core::kKindJingle);
      return;
    }
  }
  storeSong(line, CurrentHour, ctx);
}

}  // namespace readers
