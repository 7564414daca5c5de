#include "matching/assoccheck.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/codec.h"
#include "core/text.h"

namespace matching {
namespace {

// Overall gauge values of the phases.
constexpr int kStaleStage = 10;
constexpr int kAssociationStage = 50;
constexpr int kBaseStage = 70;
constexpr int kKeepOverall = -1;
// The stale passes report after every this many kept rows.
constexpr int kReportEvery = 10;

int hourProgress(int hour) { return hour * 100 / core::kHours; }

bool isJingleRow(const std::string& artist) { return artist.empty() || artist == kJingleMarker; }

std::string staleQuestion(const db::AssociationRow& row, bool jinglePass) {
  const std::string tail = core::cp1251(" не найдено. Удалить запись соответствия?");
  if (jinglePass) return core::cp1251("Соответствие для джингла ") + row.name + tail;
  return core::cp1251("Соответствие для ") + row.artist + " " + row.name + tail;
}

// One stale pass over the association table: the rows of one kind (songs or
// jingles) whose path the base lacks are deleted on the answer. A Yes to All
// or No to All given in one pass holds for the next. The rows the operator
// agreed to delete are deleted together at the end of the pass, in one write.
template <class HasPath>
void stalePass(db::AssociationBase& associations, HasPath&& hasPath, OperatorUi& ui,
               std::optional<Answer>& remembered, bool jinglePass) {
  const std::vector<db::AssociationRow> rows = associations.StoredRows();
  std::vector<std::size_t> deleted;
  int counter = 0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const db::AssociationRow& row = rows[i];
    if (isJingleRow(row.artist) == jinglePass && !hasPath(row.path)) {
      if (remembered != Answer::YesToAll && remembered != Answer::NoToAll) {
        remembered = ui.askBatch(staleQuestion(row, jinglePass));
      }
      if (remembered == Answer::Yes || remembered == Answer::YesToAll) {
        deleted.push_back(i);
        continue;
      }
    }
    ++counter;
    if (counter % kReportEvery == 0) {
      const int left = static_cast<int>(rows.size() - deleted.size());
      ui.ShowIndicator({}, counter * 100 / std::max(1, left), kStaleStage);
    }
  }
  associations.DeleteStored(deleted);
}

void setPathFrom(core::TSongRec& song, const std::optional<std::string>& path) {
  if (path) core::SetPath(song, core::UpperStr(*path));
}

template <class Lines>
void forChosenHours(core::DayPlaylist& day, Lines&& eachHour) {
  for (int h = 0; h < core::kHours; ++h) {
    if (day.HourSetts[static_cast<std::size_t>(h)]) eachHour(h, day.Songs[static_cast<std::size_t>(h)]);
  }
}

void associationFill(core::DayPlaylist& day, db::AssociationBase* associations, OperatorUi& ui) {
  const std::string marker(kJingleMarker);
  const std::string caption = core::cp1251("Загрузка соответствий");
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& songs) {
    if (associations != nullptr) {
      for (core::TSongRec& song : songs) {
        setPathFrom(song, associations->PathOf(song.isJingle() ? marker : song.Artist, song.Name));
      }
    }
    ui.ShowIndicator(caption, hourProgress(h), kAssociationStage);
  });
}

void songBaseFill(core::DayPlaylist& day, db::SongBase& songs, OperatorUi& ui) {
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& list) {
    for (core::TSongRec& song : list) {
      if (song.matched() || song.isJingle()) continue;
      setPathFrom(song, songs.PathOf(song.Artist, song.Name));
    }
    ui.ShowIndicator({}, hourProgress(h), kKeepOverall);
  });
}

void jingleBaseFill(core::DayPlaylist& day, db::JingleBase& jingles, OperatorUi& ui, bool showProgress) {
  const std::string caption = core::cp1251("Загрузка джинглов");
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& list) {
    for (core::TSongRec& song : list) {
      if (song.matched() || !song.isJingle()) continue;
      setPathFrom(song, jingles.PathOf(song.Name));
    }
    if (showProgress) ui.ShowIndicator(caption, hourProgress(h), kKeepOverall);
  });
}

std::optional<Answer> initialAnswer(StaleRows staleRows) {
  switch (staleRows) {
    case StaleRows::Keep: return Answer::NoToAll;
    case StaleRows::Delete: return Answer::YesToAll;
    case StaleRows::Ask: break;
  }
  return std::nullopt;
}

void runCheck(core::DayPlaylist& day, const core::TSetts& setts, db::Station& station, OperatorUi& ui,
              StaleRows staleRows, CheckWrites writes) {
  db::JingleBase& jingles = station.Jingles();
  const bool haveJingles = jingles.Exists();
  db::AssociationBase& associations = station.Associations();
  const bool haveAssociations = associations.Exists();
  ui.ShowIndicator(core::cp1251("Открытие баз данных"), 0, 0);
  db::SongBase& songs = station.Songs();
  songs.HasPath({});  // the song base opens here, before the association base
  if (haveAssociations) {
    std::optional<Answer> remembered = initialAnswer(writes == CheckWrites::None ? StaleRows::Keep : staleRows);
    ui.ShowIndicator(core::cp1251("Проверка базы песен и базы соответствия"), 0, kStaleStage);
    stalePass(associations, [&](const std::string& path) { return songs.HasPath(path); }, ui, remembered, false);
    if (haveJingles) {
      jingles.HasPath({});
      ui.ShowIndicator(core::cp1251("Проверка базы джинглов и базы соответствия"), 0, kStaleStage);
      stalePass(associations, [&](const std::string& path) { return jingles.HasPath(path); }, ui, remembered,
                true);
    }
  }

  associationFill(day, haveAssociations ? &associations : nullptr, ui);
  ui.ShowIndicator(core::cp1251("Загрузка путей из базы песен"), 0, kBaseStage);
  songBaseFill(day, songs, ui);
  if (haveJingles) jingleBaseFill(day, jingles, ui, setts.Use_Jingle);
}

// A folder setting that names a file (the operator picked a table instead of
// its folder): said as such, since every table under it would only be missing.
void folderIsAFile(const std::string& file, std::string_view settingUtf8, OperatorUi& ui) {
  ui.showError(core::cp1251(settingUtf8) + core::cp1251(" указывает на файл, а не на папку: ") + file +
               core::cp1251(". Укажите папку в настройках."));
}

}  // namespace

core::TDateTime EarliestPlaylistDate() { return core::EncodeDate(2016, 1, 5); }

bool CheckBase(const core::TSetts& setts, db::Station& station, OperatorUi& ui, CheckWrites writes) {
  using Readiness = db::Station::Readiness;
  station.SetPaths(setts);
  const Readiness readiness = station.Check(setts.Use_Jingle);
  switch (readiness) {
    case Readiness::Ready: return true;
    case Readiness::MVPathIsFile:
      folderIsAFile(*station.FileInsteadOfFolder(readiness), "Путь к базам Mirvane", ui);
      return false;
    case Readiness::NoSongBase:
      ui.showErrorDetails(core::cp1251("Не найдена база песен!"),
                          core::cp1251("Нет файла ") + station.paths().BaseSongPath);
      return false;
    case Readiness::NoJingleBase:
      ui.showErrorDetails(core::cp1251("Не найдена база джинглов!"),
                          core::cp1251("Нет файла ") + station.paths().JinglesPath);
      return false;
    case Readiness::BasePathIsFile:
      if (writes == CheckWrites::None) return true;
      folderIsAFile(*station.FileInsteadOfFolder(readiness), "Путь к базе соответствий", ui);
      return false;
    case Readiness::NoAssociationBase: break;
  }
  if (writes == CheckWrites::None) return true;
  if (!ui.askYesNo(core::cp1251("Не найдена база ассоциаций. Создать базу?"))) return false;
  return station.Associations().Create();
}

bool SBCheckClick(core::DayPlaylist& day, const core::TSetts& setts, db::Station& station,
                  core::TDateTime importDate, OperatorUi& ui, StaleRows staleRows, CheckWrites writes) {
  if (!CheckBase(setts, station, ui, writes)) return false;
  if (importDate < EarliestPlaylistDate()) {
    ui.showError(core::cp1251("Укажите дату плейлиста!"));
    return false;
  }
  station.RecoverUnfinishedWrites();
  try {
    runCheck(day, setts, station, ui, staleRows, writes);
  } catch (...) {
    station.CloseLookups();
    ui.ShowIndicator({}, -1, 0);  // the panel does not outlive a failed run
    throw;
  }
  station.CloseLookups();
  ui.ShowIndicator({}, -1, 0);
  return true;
}

}  // namespace matching
