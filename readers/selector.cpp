// The Selector layout: no hour numbers; the hours follow one another from
// hour 0, each closed by a "Total Time" line. Headers, rulers, cart lines and
// page breaks are skipped; jingles are never recognised.
#include <string>

#include "core/text.h"
#include "readers/layouts.h"
#include "readers/linetools.h"

namespace readers {
namespace {

constexpr std::size_t kMinLength = 7;
constexpr char kFormFeed = '\f';

bool isSkippedStart(const std::string& t2) { return t2.empty() || t2 == "CP" || t2 == ".."; }

bool isSkippedHeader(const std::string& t7) {
  return t7 == "Cart" || t7 == "=======" || t7 == "-------" || t7 == "Filenam";
}

}  // namespace

void OnReadStringSelector(std::string_view line, std::int32_t& CurrentHour, const ReadContext& ctx) {
  if (line.size() < kMinLength) return;
  if (line.front() == kFormFeed) return;
  if (isSkippedStart(core::Trim(core::Substring(line, 1, 2)))) return;
  const std::string t7 = core::Trim(core::Substring(line, 1, 7));
  if (isSkippedHeader(t7)) return;
  if (t7 == "Total T") {
    ++CurrentHour;
    return;
  }
  if (CurrentHour > 23) return;

  const core::TSetts& s = ctx.setts;
  const std::string artist = ColumnText(line, s.Artist_Start, s.Artist_End);
  const std::string name = ColumnText(line, s.Name_Start, s.Name_End);
  core::AppendSong(ctx.day, CurrentHour, artist, name, core::kKindSong);
}

}  // namespace readers
