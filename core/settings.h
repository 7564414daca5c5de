// The program's settings: where the tables and text playlists lie, which of the
// five layouts to read and at which columns, jingle recognition, hour shift.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/inifile.h"

namespace core {

inline constexpr std::string_view kSettingSection = "Setting";

struct TSetts {
  std::string MVPath;    // folder of BaseSong.db, Jingles.db, PlayList.db
  std::string TxtPath;   // folder of the text playlists
  std::string BasePath;  // folder of Association.db
  std::int32_t Artist_Start = 10;
  std::int32_t Artist_End = 40;
  std::int32_t ShiftHour = 0;
  std::int32_t Name_Start = 42;
  std::int32_t Name_End = 80;
  std::int32_t Method = -1;  // 1 Selector, 2 PowerGold, 3 RetroFM, 4 Dacha, else Mirvane
  bool Use_Jingle = false;
  std::int32_t JArtist_Start = 10;
  std::int32_t JArtist_End = 40;
  std::int32_t JName_Start = 42;
  std::int32_t JName_End = 80;
  std::string Jingle_Artist;  // jingle markers separated by ';'
};

// What the settings page shows, as the operator edits it.
struct SettingsPage {
  std::string MVPath;
  std::string TxtPath;
  std::string BasePath;
  std::int32_t ArtStart = 10;
  std::int32_t ArtEnd = 40;
  std::int32_t NameStart = 42;
  std::int32_t NameEnd = 80;
  int MethodIndex = -1;  // the preset selected in the box, -1 when none
  bool UseJingle = false;
  std::int32_t JArtStart = 10;
  std::int32_t JArtEnd = 40;
  std::int32_t JNameStart = 42;
  std::int32_t JNameEnd = 80;
  std::string JArtist;
  std::int32_t ShiftHour = 0;
  bool JinglesVisible = true;  // the jingle group of the page
};

// The settings file beside the program: its name with the extension ".ini".
std::string SettingsFileFor(std::string_view programPath);

// Reads TSetts; a missing file or key gives the defaults. The three folders get
// a trailing separator (AddBackslash); BasePath defaults to programFolder.
TSetts ReadIni(const IniFile& ini, std::string_view programFolder);
// Writes the fifteen keys of section "Setting"; throws IniWriteError.
void WriteIni(const TSetts& setts, IniFile& ini);

// The page as the settings show it at start-up.
SettingsPage ShowSetts(const TSetts& setts);

// The save button: takes the page into setts, checks the columns, writes the
// file. Returns the error text (CP1251) when a check refuses; what was taken
// before the failing check stays in setts, and nothing is written.
std::optional<std::string> SaveParms(TSetts& setts, const SettingsPage& page, IniFile& ini);

struct Preset {
  std::string_view caption;  // UTF-8
  std::int32_t artStart, artEnd, nameStart, nameEnd;
  std::optional<std::array<std::int32_t, 4>> jingleColumns;  // JArtStart..JNameEnd, or kept
  std::optional<bool> useJingle;                              // kept when absent
  std::optional<std::string_view> jingleMarkers;              // UTF-8, kept when absent
  bool jinglesVisible;
};
const std::array<Preset, 5>& Presets();
std::string PresetCaption(int index);  // CP1251
std::string NoPresetCaption();         // "Выберите предустановку" in CP1251

// The preset box changed: Method takes effect at once, the preset fills the
// page's controls (index -1 changes nothing else).
void CBMethodChange(TSetts& setts, SettingsPage& page, int index);

}  // namespace core
