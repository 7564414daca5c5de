// One loaded broadcast day: for each hour the scheduled lines in file order,
// each with the audio file it is matched to, and the hours chosen for import.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace core {

constexpr std::size_t kArtistCapacity = 64;
constexpr std::size_t kNameCapacity = 64;
constexpr std::size_t kPathCapacity = 160;
constexpr std::size_t kFolderCapacity = 255;
constexpr std::size_t kJingleMarkersCapacity = 192;
constexpr std::size_t kJingleNameCapacity = 40;
constexpr std::size_t kFileNameCapacity = 128;
constexpr int kHours = 24;

constexpr std::int32_t kKindSong = 0;
constexpr std::int32_t kKindJingle = 5;

// One scheduled line. Matched exactly when Path is not empty.
struct TSongRec {
  std::string Artist;  // at most kArtistCapacity bytes
  std::string Name;    // at most kNameCapacity bytes
  std::string Path;    // at most kPathCapacity bytes
  std::int32_t Kind = kKindSong;

  bool isJingle() const { return Kind == kKindJingle; }
  bool matched() const { return !Path.empty(); }
};

struct DayPlaylist {
  std::array<std::vector<TSongRec>, kHours> Songs;
  std::array<bool, kHours> HourSetts{};
};

// Empties the 24 hour lists; the hour choice stays.
void InitSongs(DayPlaylist& day);
// REQUIRES: 0 <= hour <= 23. Stores a line at the end of its hour, cut to the
// capacities, with its double quotes turned into single quotes.
void AppendSong(DayPlaylist& day, int hour, std::string_view artist, std::string_view name,
                std::int32_t kind);
void VerifyNames(DayPlaylist& day, int hour, std::size_t index);
// Chooses exactly the hours that hold lines.
void Prepare_HourSetts(DayPlaylist& day);
// True when every line of the hour has a path (also for an empty hour).
bool IsHourMatched(const DayPlaylist& day, int hour);

// Sets a path, cut to its capacity.
void SetPath(TSongRec& song, std::string_view path);

}  // namespace core
