#include "matching/assoccheck.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"
#include "db/table.h"

namespace matching {
namespace {

// Overall gauge values of the phases.
constexpr int kStaleStage = 10;
constexpr int kAssociationStage = 50;
constexpr int kBaseStage = 70;
constexpr int kKeepOverall = -1;
// The stale passes report after every this many kept rows.
constexpr int kReportEvery = 10;

bool fileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(core::FsPath(path), ec);
}

int hourProgress(int hour) { return hour * 100 / core::kHours; }

void openStatement(db::Query& query, std::string_view head, const std::string& path) {
  query.Close();
  query.Clear();
  query.Add(std::string(head) + db::Quoted(path));
  query.Open();
}

bool isJingleRow(const std::string& artist) { return artist.empty() || artist == kJingleMarker; }

std::string staleQuestion(const db::Table& table, bool jinglePass) {
  const std::string tail = core::cp1251(" не найдено. Удалить запись соответствия?");
  if (jinglePass) return core::cp1251("Соответствие для джингла ") + table.FieldAsString("FName") + tail;
  return core::cp1251("Соответствие для ") + table.FieldAsString("FArtist") + " " +
         table.FieldAsString("FName") + tail;
}

// One stale pass over the association table: the rows of one kind (songs or
// jingles) whose path the open base result lacks are deleted on the answer.
// A Yes to All or No to All given in one pass holds for the next. The rows
// the operator agreed to delete are deleted together at the end of the pass.
void stalePass(db::Table& table, db::Query& base, OperatorUi& ui, std::optional<Answer>& remembered,
               bool jinglePass) {
  table.First();
  table.BeginBatch();
  int counter = 0;
  while (!table.Eof()) {
    if (isJingleRow(table.FieldAsString("FArtist")) == jinglePass &&
        !base.Locate("FPath", {table.FieldAsString("FPath")}, true)) {
      if (remembered != Answer::YesToAll && remembered != Answer::NoToAll) {
        remembered = ui.askBatch(staleQuestion(table, jinglePass));
      }
      if (remembered == Answer::Yes || remembered == Answer::YesToAll) {
        table.Delete();  // the following row is current now
        continue;
      }
    }
    table.Next();
    ++counter;
    if (counter % kReportEvery == 0) {
      ui.ShowIndicator({}, counter * 100 / std::max(1, table.RecordCount()), kStaleStage);
    }
  }
  table.CommitBatch();
}

void setPathFrom(core::TSongRec& song, const db::Query& query) {
  core::SetPath(song, core::UpperStr(query.FieldAsString("FPath")));
}

template <class Lines>
void forChosenHours(core::DayPlaylist& day, Lines&& eachHour) {
  for (int h = 0; h < core::kHours; ++h) {
    if (day.HourSetts[static_cast<std::size_t>(h)]) eachHour(h, day.Songs[static_cast<std::size_t>(h)]);
  }
}

void associationFill(core::DayPlaylist& day, db::Query& query, OperatorUi& ui) {
  const std::string marker(kJingleMarker);
  const std::string caption = core::cp1251("Загрузка соответствий");
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& songs) {
    for (core::TSongRec& song : songs) {
      if (query.Locate("FArtist;FName", {song.isJingle() ? marker : song.Artist, song.Name}, true)) {
        setPathFrom(song, query);
      }
    }
    ui.ShowIndicator(caption, hourProgress(h), kAssociationStage);
  });
}

void songBaseFill(core::DayPlaylist& day, db::Query& query, OperatorUi& ui) {
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& songs) {
    for (core::TSongRec& song : songs) {
      if (song.matched() || song.isJingle()) continue;
      if (query.Locate("FArtist;FName", {song.Artist, song.Name}, true)) setPathFrom(song, query);
    }
    ui.ShowIndicator({}, hourProgress(h), kKeepOverall);
  });
}

void jingleBaseFill(core::DayPlaylist& day, db::Query& query, OperatorUi& ui, bool showProgress) {
  const std::string caption = core::cp1251("Загрузка джинглов");
  forChosenHours(day, [&](int h, std::vector<core::TSongRec>& songs) {
    for (core::TSongRec& song : songs) {
      if (song.matched() || !song.isJingle()) continue;
      if (query.Locate("FName", {song.Name}, true)) setPathFrom(song, query);
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

void runCheck(core::DayPlaylist& day, const core::TSetts& setts, const db::StationPaths& paths, db::Query& Query1,
              OperatorUi& ui, StaleRows staleRows) {
  const bool haveJingles = fileExists(paths.JinglesPath);
  ui.ShowIndicator(core::cp1251("Открытие баз данных"), 0, 0);
  openStatement(Query1, "SELECT FPath FROM ", paths.BaseSongPath);
  {
    db::Table associations(paths.AssociationPath);
    associations.Open();
    std::optional<Answer> remembered = initialAnswer(staleRows);
    ui.ShowIndicator(core::cp1251("Проверка базы песен и базы соответствия"), 0, kStaleStage);
    stalePass(associations, Query1, ui, remembered, false);
    if (haveJingles) {
      openStatement(Query1, "SELECT FPath FROM ", paths.JinglesPath);
      ui.ShowIndicator(core::cp1251("Проверка базы джинглов и базы соответствия"), 0, kStaleStage);
      stalePass(associations, Query1, ui, remembered, true);
    }
    associations.Close();
  }

  openStatement(Query1, "SELECT * FROM ", paths.AssociationPath);
  associationFill(day, Query1, ui);
  Query1.Close();
  Query1.Clear();
  ui.ShowIndicator(core::cp1251("Загрузка путей из базы песен"), 0, kBaseStage);

  openStatement(Query1, "SELECT * FROM ", paths.BaseSongPath);
  songBaseFill(day, Query1, ui);
  if (haveJingles) {
    openStatement(Query1, "SELECT * FROM ", paths.JinglesPath);
    jingleBaseFill(day, Query1, ui, setts.Use_Jingle);
  }
  Query1.Close();
  Query1.Clear();
}

}  // namespace

core::TDateTime EarliestPlaylistDate() { return core::EncodeDate(2016, 1, 5); }

bool SBCheckClick(core::DayPlaylist& day, const core::TSetts& setts, db::StationPaths& paths,
                  core::TDateTime importDate, db::Query& Query1, OperatorUi& ui, StaleRows staleRows) {
  if (!db::CheckBase(setts, paths, Query1, ui)) return false;
  if (importDate < EarliestPlaylistDate()) {
    ui.showError(core::cp1251("Укажите дату плейлиста!"));
    return false;
  }
  try {
    runCheck(day, setts, paths, Query1, ui, staleRows);
  } catch (...) {
    ui.ShowIndicator({}, -1, 0);  // the panel does not outlive a failed run
    throw;
  }
  ui.ShowIndicator({}, -1, 0);
  return true;
}

}  // namespace matching
