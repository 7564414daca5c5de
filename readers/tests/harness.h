// Shared helpers of the reader tests: a reading context with its own day
// model, lines built column by column, and the entries of a day as a list.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"
#include "readers/readcontext.h"

namespace readers::test {

// One stored entry, hour and kind included. Texts are CP1251.
struct Entry {
  int hour = 0;
  std::int32_t kind = core::kKindSong;
  std::string artist;
  std::string name;

  bool operator==(const Entry&) const = default;
};

inline void PrintTo(const Entry& e, std::ostream* os) {
  *os << "{" << e.hour << ", " << e.kind << ", \"" << core::cp1251ToUtf8(e.artist) << "\", \""
      << core::cp1251ToUtf8(e.name) << "\"}";
}

inline Entry song(int hour, std::string_view artistUtf8, std::string_view nameUtf8) {
  return {hour, core::kKindSong, core::cp1251(artistUtf8), core::cp1251(nameUtf8)};
}

inline Entry jingle(int hour, std::string_view artistUtf8, std::string_view nameUtf8) {
  return {hour, core::kKindJingle, core::cp1251(artistUtf8), core::cp1251(nameUtf8)};
}

// Hour by hour, in list order.
inline std::vector<Entry> Entries(const core::DayPlaylist& day) {
  std::vector<Entry> out;
  for (int h = 0; h < core::kHours; ++h) {
    for (const auto& s : day.Songs[static_cast<std::size_t>(h)]) out.push_back({h, s.Kind, s.Artist, s.Name});
  }
  return out;
}

// A line with each text (UTF-8) starting at its 1-based column, blanks between.
inline std::string Place(std::initializer_list<std::pair<int, std::string_view>> fields) {
  std::string line;
  for (const auto& [column, textUtf8] : fields) {
    const std::string text = core::cp1251(textUtf8);
    const auto at = static_cast<std::size_t>(column - 1);
    if (line.size() < at + text.size()) line.resize(at + text.size(), ' ');
    line.replace(at, text.size(), text);
  }
  return line;
}

// Settings with the columns of a layout's preset.
inline core::TSetts MirvaneSetts() {
  core::TSetts s;
  s.Method = 0;
  s.Name_Start = 7; s.Name_End = 38; s.Artist_Start = 39; s.Artist_End = 70;
  s.JName_Start = 7; s.JName_End = 38; s.JArtist_Start = 39; s.JArtist_End = 70;
  s.Use_Jingle = true;
  s.Jingle_Artist = core::cp1251("Джингл");
  return s;
}

inline core::TSetts SelectorSetts() {
  core::TSetts s;
  s.Method = 1;
  s.Name_Start = 9; s.Name_End = 35; s.Artist_Start = 36; s.Artist_End = 61;
  return s;
}

inline core::TSetts PowerGoldSetts() {
  core::TSetts s;
  s.Method = 2;
  s.Artist_Start = 19; s.Artist_End = 36; s.Name_Start = 37; s.Name_End = 55;
  return s;
}

inline core::TSetts RetroFMSetts() {
  core::TSetts s;
  s.Method = 3;
  s.Name_Start = 11; s.Name_End = 35; s.Artist_Start = 36; s.Artist_End = 68;
  s.JName_Start = 9; s.JName_End = 41; s.JArtist_Start = 42; s.JArtist_End = 68;
  s.Use_Jingle = true;
  return s;
}

inline core::TSetts DachaSetts() {
  core::TSetts s;
  s.Method = 4;
  s.Artist_Start = 14; s.Artist_End = 38; s.Name_Start = 39; s.Name_End = 78;
  return s;
}

// A reading context over its own day model and reading state.
struct Harness {
  explicit Harness(core::TSetts s) : setts(std::move(s)) {}

  ReadContext context() { return {setts, day, state, importDate}; }

  // Runs lines through a reader as one file does, CurrentHour from 0.
  template <typename Reader>
  std::vector<Entry> feed(Reader reader, const std::vector<std::string>& lines) {
    std::int32_t CurrentHour = 0;
    const ReadContext ctx = context();
    for (const auto& line : lines) reader(line, CurrentHour, ctx);
    return Entries(day);
  }

  core::TSetts setts;
  core::DayPlaylist day;
  ReadingState state;
  std::optional<core::TDateTime> importDate;
};

inline std::string Fixture(std::string_view name) {
  return std::string(MVIMPORT_READERS_FIXTURES) + "/" + std::string(name);
}

// A fresh folder under the system's temporary folder, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return m_path; }
  // Writes bytes to a file of this folder (name in CP1251) and returns its path.
  std::filesystem::path write(std::string_view name, std::string_view bytes) const;

 private:
  std::filesystem::path m_path;
};

}  // namespace readers::test
