// What a layout reader may look at and change while it reads a playlist file.
#pragma once

#include <cstdint>
#include <optional>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"

namespace readers {

// Reading state owned by the main window; it survives from one read to the next.
struct ReadingState {
  std::int32_t SkipLines = 0;  // lines the RetroFM reader still ignores unseen
  bool AdBlock = false;        // the Dacha reader is inside an advertising block
};

// The references a reader works through. The import date is the date the
// operator imports the day under; the PowerGold and Dacha readers set it from
// the file's hour headers.
struct ReadContext {
  const core::TSetts& setts;
  core::DayPlaylist& day;
  ReadingState& state;
  std::optional<core::TDateTime>& importDate;
};

}  // namespace readers
