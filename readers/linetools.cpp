#include "readers/linetools.h"

#include "core/text.h"

namespace readers {

std::string ColumnText(std::string_view line, std::int32_t first, std::int32_t last) {
  const std::int64_t count = std::int64_t{last} - first + 1;
  return core::Trim(core::Substring(line, first, count));
}

JingleMatch RecogniseJingle(std::string_view line, const core::TSetts& setts) {
  JingleMatch match;
  match.marker = ColumnText(line, setts.JArtist_Start, setts.JArtist_End);
  const int markers = core::WordCount(setts.Jingle_Artist, ';');
  for (int i = 1; i <= markers; ++i) {
    if (match.marker != core::ExtractWord(setts.Jingle_Artist, i, ';')) continue;
    match.name = ColumnText(line, setts.JName_Start, setts.JName_End);
    if (!match.name.empty()) {
      match.recognised = true;
      return match;
    }
  }
  match.name.clear();
  return match;
}

}  // namespace readers
