#include "core/settings.h"

#include "core/codec.h"
#include "core/daymodel.h"
#include "core/text.h"

namespace core {
namespace {

constexpr std::string_view kDefaultFolder = "C:\\Mirvane";

std::string readFolder(const IniFile& ini, std::string_view key, std::string_view def) {
  return AddBackslash(CutTo(ini.readString(kSettingSection, key, def), kFolderCapacity));
}

}  // namespace

std::string SettingsFileFor(std::string_view programPath) {
  const std::size_t slash = programPath.find_last_of("/\\");
  const std::size_t dot = programPath.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) {
    return std::string(programPath) + ".ini";
  }
  return std::string(programPath.substr(0, dot)) + ".ini";
}

TSetts ReadIni(const IniFile& ini, std::string_view programFolder) {
  TSetts s;
  s.MVPath = readFolder(ini, "MVPath", kDefaultFolder);
  s.TxtPath = readFolder(ini, "TxtPath", kDefaultFolder);
  s.BasePath = readFolder(ini, "BasePath", programFolder);
  s.Artist_Start = ini.readInteger(kSettingSection, "Artist_Start", 10);
  s.Artist_End = ini.readInteger(kSettingSection, "Artist_End", 40);
  s.Name_Start = ini.readInteger(kSettingSection, "Name_Start", 42);
  s.Name_End = ini.readInteger(kSettingSection, "Name_End", 80);
  s.ShiftHour = ini.readInteger(kSettingSection, "ShiftHour", 0);
  s.Method = ini.readInteger(kSettingSection, "Method", -1);
  s.Use_Jingle = ini.readBool(kSettingSection, "Use_Jingle", false);
  s.JArtist_Start = ini.readInteger(kSettingSection, "JArtist_Start", 10);
  s.JArtist_End = ini.readInteger(kSettingSection, "JArtist_End", 40);
  s.JName_Start = ini.readInteger(kSettingSection, "JName_Start", 42);
  s.JName_End = ini.readInteger(kSettingSection, "JName_End", 80);
  s.Jingle_Artist = CutTo(ini.readString(kSettingSection, "Jingle_Artist", ""), kJingleMarkersCapacity);
  return s;
}

void WriteIni(const TSetts& s, IniFile& ini) {
  ini.writeString(kSettingSection, "MVPath", s.MVPath);
  ini.writeString(kSettingSection, "TxtPath", s.TxtPath);
  ini.writeString(kSettingSection, "BasePath", s.BasePath);
  ini.writeInteger(kSettingSection, "Artist_Start", s.Artist_Start);
  ini.writeInteger(kSettingSection, "Artist_End", s.Artist_End);
  ini.writeInteger(kSettingSection, "Name_Start", s.Name_Start);
  ini.writeInteger(kSettingSection, "Name_End", s.Name_End);
  ini.writeInteger(kSettingSection, "Method", s.Method);
  ini.writeInteger(kSettingSection, "ShiftHour", s.ShiftHour);
  ini.writeBool(kSettingSection, "Use_Jingle", s.Use_Jingle);
  ini.writeInteger(kSettingSection, "JArtist_Start", s.JArtist_Start);
  ini.writeInteger(kSettingSection, "JArtist_End", s.JArtist_End);
  ini.writeInteger(kSettingSection, "JName_Start", s.JName_Start);
  ini.writeInteger(kSettingSection, "JName_End", s.JName_End);
  ini.writeString(kSettingSection, "Jingle_Artist", s.Jingle_Artist);
}

SettingsPage ShowSetts(const TSetts& s) {
  SettingsPage p;
  p.MVPath = s.MVPath;
  p.TxtPath = s.TxtPath;
  p.BasePath = s.BasePath;
  p.ArtStart = s.Artist_Start;
  p.ArtEnd = s.Artist_End;
  p.NameStart = s.Name_Start;
  p.NameEnd = s.Name_End;
  p.MethodIndex = s.Method >= 0 && s.Method <= 4 ? s.Method : -1;
  p.JinglesVisible = !(s.Method == 2 || s.Method == 4);
  p.UseJingle = s.Use_Jingle;
  p.JArtStart = s.JArtist_Start;
  p.JArtEnd = s.JArtist_End;
  p.JNameStart = s.JName_Start;
  p.JNameEnd = s.JName_End;
  p.JArtist = s.Jingle_Artist;
  p.ShiftHour = s.ShiftHour;
  return p;
}

std::optional<std::string> SaveParms(TSetts& s, const SettingsPage& p, IniFile& ini) {
  s.MVPath = CutTo(p.MVPath, kFolderCapacity);
  s.TxtPath = CutTo(p.TxtPath, kFolderCapacity);
  s.BasePath = CutTo(p.BasePath, kFolderCapacity);
  s.Artist_Start = p.ArtStart;
  s.Artist_End = p.ArtEnd;
  s.Name_Start = p.NameStart;
  s.Name_End = p.NameEnd;
  if (s.Artist_End <= s.Artist_Start || s.Name_End <= s.Name_Start) {
    return cp1251("Ошибка указания колонок песен. Конечная колонка не больше начальной");
  }
  s.Use_Jingle = p.UseJingle;
  s.ShiftHour = p.ShiftHour;
  if (s.Use_Jingle) {
    s.JArtist_Start = p.JArtStart;
    s.JArtist_End = p.JArtEnd;
    s.JName_Start = p.JNameStart;
    s.JName_End = p.JNameEnd;
    s.Jingle_Artist = CutTo(Trim(p.JArtist), kJingleMarkersCapacity);
    if (s.JArtist_End <= s.JArtist_Start || s.JName_End <= s.JName_Start) {
      return cp1251("Ошибка указания колонок джинглов. Конечная колонка не больше начальной");
    }
  }
  WriteIni(s, ini);
  return std::nullopt;
}

const std::array<Preset, 5>& Presets() {
  static const std::array<Preset, 5> kPresets = {{
      {"Mirvane", 39, 70, 7, 38, std::array<std::int32_t, 4>{39, 70, 7, 38}, true, "Джингл", true},
      {"Европа Плюс Москва", 36, 61, 9, 35, std::nullopt, false, std::nullopt, false},
      {"Русское радио Москва", 19, 36, 37, 55, std::nullopt, false, std::nullopt, false},
      {"Ретро ФМ Москва", 36, 68, 11, 35, std::array<std::int32_t, 4>{42, 68, 9, 41}, true, "", true},
      {"Радио Дача Москва", 14, 38, 39, 78, std::array<std::int32_t, 4>{14, 38, 39, 78}, false, "", false},
  }};
  return kPresets;
}

std::string PresetCaption(int index) {
  if (index < 0 || index >= static_cast<int>(Presets().size())) return NoPresetCaption();
  return cp1251(Presets()[static_cast<std::size_t>(index)].caption);
}

std::string NoPresetCaption() { return cp1251("Выберите предустановку"); }

void CBMethodChange(TSetts& setts, SettingsPage& page, int index) {
  setts.Method = index;
  page.MethodIndex = index;
  if (index < 0 || index >= static_cast<int>(Presets().size())) return;
  const Preset& p = Presets()[static_cast<std::size_t>(index)];
  page.ArtStart = p.artStart;
  page.ArtEnd = p.artEnd;
  page.NameStart = p.nameStart;
  page.NameEnd = p.nameEnd;
  if (p.jingleColumns) {
    page.JArtStart = (*p.jingleColumns)[0];
    page.JArtEnd = (*p.jingleColumns)[1];
    page.JNameStart = (*p.jingleColumns)[2];
    page.JNameEnd = (*p.jingleColumns)[3];
  }
  if (p.useJingle) page.UseJingle = *p.useJingle;
  if (p.jingleMarkers) page.JArtist = cp1251(*p.jingleMarkers);
  page.JinglesVisible = p.jinglesVisible;
}

}  // namespace core
