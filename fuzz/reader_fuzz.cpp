// Any bytes as a text playlist of one layout (MVIMPORT_FUZZ_METHOD, the
// Method setting): reading stores entries or ignores lines, never crashes,
// and every stored entry fits its record and carries no double quote (the
// statements put artist and title between double quotes unescaped).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/codec.h"
#include "core/settings.h"
#include "fuzz/fuzz_util.h"
#include "readers/readfile.h"

namespace {

// The settings of the layout's preset, jingle recognition on where the layout has it.
core::TSetts presetSettings() {
  core::TSetts setts;
  core::SettingsPage page;
  core::CBMethodChange(setts, page, MVIMPORT_FUZZ_METHOD);
  setts.Artist_Start = page.ArtStart;
  setts.Artist_End = page.ArtEnd;
  setts.Name_Start = page.NameStart;
  setts.Name_End = page.NameEnd;
  setts.JArtist_Start = page.JArtStart;
  setts.JArtist_End = page.JArtEnd;
  setts.JName_Start = page.JNameStart;
  setts.JName_End = page.JNameEnd;
  setts.Use_Jingle = page.JinglesVisible;
  setts.Jingle_Artist = page.JArtist.empty() ? core::cp1251("Джингл;ID") : page.JArtist;
  return setts;
}

void checkEntries(const core::DayPlaylist& day) {
  for (const auto& hour : day.Songs) {
    for (const core::TSongRec& song : hour) {
      if (song.Artist.size() > core::kArtistCapacity || song.Name.size() > core::kNameCapacity) {
        fuzz::Violated("an entry longer than its record");
      }
      if (song.Artist.find('"') != std::string::npos || song.Name.find('"') != std::string::npos) {
        fuzz::Violated("an entry with a double quote");
      }
      if (song.Kind != core::kKindSong && song.Kind != core::kKindJingle) fuzz::Violated("an entry of no kind");
      if (song.matched()) fuzz::Violated("a reader set a path");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const core::TSetts setts = presetSettings();
  const std::string path = fuzz::ScratchPath("day.txt");
  fuzz::WriteFile(path, fuzz::AsText(data, size));

  core::DayPlaylist day;
  readers::ReadingState state;
  std::optional<core::TDateTime> importDate;
  const readers::ReadContext ctx{setts, day, state, importDate};
  // Twice: the reading state survives from one file to the next, as in the window.
  for (int pass = 0; pass < 2; ++pass) {
    core::InitSongs(day);
    if (!readers::ReadFile(path, ctx)) fuzz::Violated("a readable file was not read");
    checkEntries(day);
  }
  return 0;
}
