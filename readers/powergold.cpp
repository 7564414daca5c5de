// The PowerGold layout: every hour opens with a "Russkoe..." header carrying
// the hour (from column 20) and the date of the day (from column 36). Rulers,
// file name headers, totals and empty slots ("-" as artist) are skipped;
// jingles are never recognised.
#include <string>

#include "core/datetime.h"
#include "core/text.h"
#include "readers/layouts.h"
#include "readers/linetools.h"

namespace readers {
namespace {

constexpr std::size_t kMinLength = 7;
constexpr std::int64_t kHourColumn = 20;
constexpr std::int64_t kDateColumn = 36;
constexpr std::int64_t kDateWidth = 16;

// The hour is the number at column 20, read up to but not including the last
// character of the line, so a header whose hour ends the line reads as hour 0.
// The date counts only when columns 36 to 51 hold a date and nothing else.
void readHeader(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  const auto length = static_cast<std::int64_t>(line.size());
  CurrentHour = core::ParseLeadingInt(core::Substring(line, kHourColumn, length - kHourColumn)).value;
  if (const auto date = core::StrToDate(core::Substring(line, kDateColumn, kDateWidth))) {
    ctx.importDate = *date;
  }
}

}  // namespace

void OnReadStringPowerGold(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  if (line.size() < kMinLength) return;
  const std::string_view s7 = core::Substring(line, 1, 7);
  if (s7 == "=======" || s7 == "Filenam" || s7 == "Total T") return;
  if (s7 == "Russkoe") {
    readHeader(line, CurrentHour, ctx);
    return;
  }
  if (CurrentHour > 23 || CurrentHour < 0) return;

  const core::TSetts& s = ctx.setts;
  const std::string artist = ColumnText(line, s.Artist_Start, s.Artist_End);
  if (artist == "-") return;
  const std::string name = ColumnText(line, s.Name_Start, s.Name_End);
  core::AppendSong(ctx.day, CurrentHour, artist, name, core::kKindSong);
}

}  // namespace readers
