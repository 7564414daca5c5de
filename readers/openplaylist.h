// The open button of the file page as logic: the window reads its controls,
// calls OpenPlaylist and, on true, shows the date-and-hours page.
#pragma once

#include <string>
#include <string_view>

#include "core/inifile.h"
#include "readers/readcontext.h"

namespace readers {

// The hour template selected in the template box, kept in settingsFile.
struct SelectedTemplate {
  const core::IniFile& settingsFile;
  std::string name;
};

// Closes any open advertising block, empties the day model and reads
// AddBackslash(folder) + fileName. When the file was read, the hours that hold
// lines become chosen, and then the selected template (if any) replaces that
// choice. Returns false when the file could not be opened; the hour choice is
// then left as it was. Read errors propagate as from ReadFile.
bool OpenPlaylist(std::string_view folder, std::string_view fileName, const ReadContext& ctx,
                  const SelectedTemplate* hourTemplate = nullptr);

}  // namespace readers
