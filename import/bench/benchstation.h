// The large station the benchmarks work on: 100 000 songs, 2 000 jingles,
// 30 000 associations, a playlist of 500 000 rows, and a day of 24 hours of
// 20 lines, in memory and as a PowerGold text file with its settings file.
#pragma once

#include <filesystem>
#include <string>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"
#include "db/stationtables.h"
#include "matching/operatorui.h"

namespace bench {

constexpr int kSongs = 100000;
constexpr int kJingles = 2000;
constexpr int kAssociations = 30000;
constexpr int kPlaylistRows = 500000;
constexpr int kLinesPerHour = 20;
inline const core::TDateTime kImportDate = core::EncodeDate(2016, 3, 1);

struct Station {
  std::filesystem::path folder;
  core::TSetts setts;
  db::StationPaths paths;
  std::filesystem::path ini;       // settings file of the command line
  std::filesystem::path dayFile;   // the day as a PowerGold text file

  // Puts back the pristine copy of a table a step changed, and empties the
  // table cache, as after the program starts.
  void restore(const std::string& path) const;
};

// Builds the four tables, their pristine copies, the settings file and the
// day file in folder (emptied first).
Station BuildStation(const std::filesystem::path& folder);
// The station BuildStation made there.
Station OpenStation(const std::filesystem::path& folder);

// 24 hours of 20 lines: songs by artist and title, songs known only by an
// association, jingles by title or association, and one unknown line an hour.
core::DayPlaylist FullDay();

// Answers as an unattended run does; errors and warnings throw.
class QuietUi : public matching::OperatorUi {
 public:
  void showError(const std::string& text) override;
  bool askYesNo(const std::string&) override { return true; }
  void showInfo(const std::string&) override {}
  void showWarning(const std::string& text) override;
  matching::Answer askBatch(const std::string&) override { return matching::Answer::NoToAll; }
  void ShowIndicator(const std::string&, int, int) override {}
  std::string GetSongPath(const std::string&, const std::string&, const std::string&, const std::string&) override {
    return {};
  }
  std::string GetJinglePath(const std::string&, const std::string&, const std::string&) override { return {}; }
};

}  // namespace bench
