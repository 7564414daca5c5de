// The Dacha layout: every hour opens with a "Radio..." header carrying the hour
// (columns 14 to 29) and the date (columns 31 to 46). Blocks are divided by
// "-----" separators in columns 7 to 11; "Reklama" at column 54 of a separator
// opens an advertising block, whose lines are not stored, and "******" at
// column 45 or a "Total" line closes it. Jingles are never recognised.
#include <string>

#include "core/datetime.h"
#include "core/text.h"
#include "readers/layouts.h"
#include "readers/linetools.h"

namespace readers {
namespace {

constexpr std::size_t kMinLength = 5;

// A header with an hour outside the day changes neither hour nor date.
void readHeader(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  const std::int32_t hour = core::ParseLeadingInt(core::Trim(core::Substring(line, 14, 16))).value;
  if (hour < 0 || hour > 23) return;
  CurrentHour = hour;
  if (const auto date = core::StrToDate(core::Trim(core::Substring(line, 31, 16)))) {
    ctx.importDate = *date;
  }
}

// The closing mark is looked at first, so a separator with both marks opens.
void readSeparator(std::string_view line, ReadingState& state) {
  if (core::Substring(line, 45, 6) == "******") state.AdBlock = false;
  if (core::Substring(line, 54, 7) == "Reklama") state.AdBlock = true;
}

}  // namespace

void OnReadStringDacha(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  if (line.size() < kMinLength) return;
  const std::string_view s5 = core::Substring(line, 1, 5);
  if (core::Trim(s5).empty()) return;
  if (s5 == "=====" || s5 == "Start") return;
  if (s5 == "Total") {
    ctx.state.AdBlock = false;
    return;
  }
  if (s5 == "Radio") {
    readHeader(line, CurrentHour, ctx);
    return;
  }
  const std::string_view s = core::Substring(line, 7, 5);
  if (core::Trim(s).empty()) return;
  if (s == "-----") {
    readSeparator(line, ctx.state);
    return;
  }
  if (ctx.state.AdBlock) return;

  const core::TSetts& st = ctx.setts;
  const std::string artist = ColumnText(line, st.Artist_Start, st.Artist_End);
  if (artist.empty()) return;
  const std::string name = ColumnText(line, st.Name_Start, st.Name_End);
  core::AppendSong(ctx.day, CurrentHour, artist, name, core::kKindSong);
}

}  // namespace readers
