// A small station to try the program on: a song base of a few hundred songs,
// a jingle base, an empty playlist table, a few taught matches, one broadcast
// day as text playlists in all five layouts, and a settings file pointing at
// them.
#pragma once

#include <string>

#include "core/datetime.h"

namespace demo {

struct DemoStation {
  std::string folder;        // CP1251, with a trailing separator
  std::string settingsFile;  // the settings file written
  core::TDateTime day = 0;   // the broadcast day of the playlists
  int songs = 0;
  int jingles = 0;
};

// Builds the station under folder (created when missing). Existing tables
// and files of the station are replaced. The settings file goes to
// settingsFile (empty: folder + "mvimport.ini").
DemoStation MakeDemoStation(const std::string& folder, const std::string& settingsFile = {});

}  // namespace demo
