// Any bytes as the settings file: reading the settings and the hour templates
// ends in values (defaults where the file has none), never in a crash or a
// hang; the readers then read sample lines of every layout with the settings
// read, whatever columns they hold; and a value written reads back as written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/hourtemplates.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "fuzz/fuzz_util.h"
#include "readers/layouts.h"

namespace {

// A few lines of each layout, in the columns of their presets.
constexpr std::string_view kSampleLines[] = {
    "07:30 Name of a song                  Artist of the song",
    "07:34 Jingle name                     \xc4\xe6\xe8\xed\xe3\xeb",
    "Total Time: 59:30",
    "Russkoe Radio      09:00           01.02.2010",
    "Cart    Title",
    "12:00 03:45  Artist Twelve            Song Twelve",
    "Radio Dacha  12:00            01.02.2010",
    "12:10 -----------------------------------------------Reklama------",
    "=======",
    "",
};

void readSamples(const core::TSetts& setts) {
  using Reader = void (*)(std::string_view, std::int32_t&, const readers::ReadContext&);
  constexpr Reader kReaders[] = {readers::OnReadMirvane, readers::OnReadStringSelector,
                                 readers::OnReadStringPowerGold, readers::OnReadStringRetroFM,
                                 readers::OnReadStringDacha};
  for (Reader reader : kReaders) {
    core::DayPlaylist day;
    readers::ReadingState state;
    std::optional<core::TDateTime> importDate;
    const readers::ReadContext ctx{setts, day, state, importDate};
    std::int32_t CurrentHour = 0;
    for (std::string_view line : kSampleLines) reader(line, CurrentHour, ctx);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::ScratchPath("mvimport.ini");
  fuzz::WriteFile(path, fuzz::AsText(data, size));
  core::IniFile ini(path);

  const core::TSetts setts = core::ReadIni(ini, "C:\\Program\\");
  (void)core::ShowSetts(setts);
  readSamples(setts);

  core::HourFlags hours{};
  for (const std::string& name : core::HourTemplateNames(ini)) core::ApplyHourTemplate(ini, name, hours);

  // Writing keeps every other line; the value written is the one read.
  const std::string folder = "D:\\\xcc\xf3\xe7\xfb\xea\xe0\\";
  ini.writeString(core::kSettingSection, "MVPath", folder);
  if (ini.readString(core::kSettingSection, "MVPath", "") != folder) fuzz::Violated("a written value reads back changed");
  ini.writeInteger(core::kHoursSection, "Night", 5);
  if (ini.readInteger(core::kHoursSection, "Night", -1) != 5) fuzz::Violated("a written number reads back changed");
  return 0;
}
