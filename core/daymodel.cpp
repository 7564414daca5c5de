#include "core/daymodel.h"

#include <algorithm>

#include "core/text.h"

namespace core {

void InitSongs(DayPlaylist& day) {
  for (auto& list : day.Songs) list.clear();
}

void AppendSong(DayPlaylist& day, int hour, std::string_view artist, std::string_view name,
                std::int32_t kind) {
  auto& list = day.Songs.at(static_cast<std::size_t>(hour));
  TSongRec rec;
  rec.Kind = kind;
  rec.Artist = CutTo(artist, kArtistCapacity);
  rec.Name = CutTo(name, kNameCapacity);
  list.push_back(std::move(rec));
  VerifyNames(day, hour, list.size() - 1);
}

void VerifyNames(DayPlaylist& day, int hour, std::size_t index) {
  TSongRec& rec = day.Songs.at(static_cast<std::size_t>(hour)).at(index);
  std::replace(rec.Artist.begin(), rec.Artist.end(), '"', '\'');
  std::replace(rec.Name.begin(), rec.Name.end(), '"', '\'');
}

void Prepare_HourSetts(DayPlaylist& day) {
  for (int h = 0; h < kHours; ++h) day.HourSetts[h] = !day.Songs[h].empty();
}

bool IsHourMatched(const DayPlaylist& day, int hour) {
  const auto& list = day.Songs.at(static_cast<std::size_t>(hour));
  return std::all_of(list.begin(), list.end(), [](const TSongRec& s) { return s.matched(); });
}

void SetPath(TSongRec& song, std::string_view path) { song.Path = CutTo(path, kPathCapacity); }

}  // namespace core
