#include "readers/openplaylist.h"

#include "core/hourtemplates.h"
#include "core/text.h"
#include "readers/readfile.h"

namespace readers {

bool OpenPlaylist(std::string_view folder, std::string_view fileName, const ReadContext& ctx,
                  const SelectedTemplate* hourTemplate) {
  ctx.state.AdBlock = false;
  core::InitSongs(ctx.day);
  if (!ReadFile(core::AddBackslash(folder) + std::string(fileName), ctx)) return false;
  core::Prepare_HourSetts(ctx.day);
  if (hourTemplate != nullptr) {
    core::ApplyHourTemplate(hourTemplate->settingsFile, hourTemplate->name, ctx.day.HourSetts);
  }
  return true;
}

}  // namespace readers
