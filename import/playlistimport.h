// The import: clears what the operator chose to clear in PlayList.db, then
// appends one row per matched entry of every chosen hour, for the chosen date
// moved by the hour shift, numbered after the rows already in each hour.
//
// The import is planned first (what it removes, what it appends, what it
// skips), every value checked on the way, and then written as one durable
// write under the station's write lock: a failure or a kill leaves the
// playlist as before the import or as after it, never in between. What it
// removed and appended is recorded for undo (import/undo.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"
#include "db/station.h"
#include "matching/operatorui.h"

namespace importing {

// Indexes of the clear mode group RGClearList; any other index clears nothing.
constexpr int kClearHours = 0;  // "Очистить вставляемые часы"
constexpr int kClearDay = 1;    // "Очистить полностью плейлист на эти сутки"
constexpr int kClearNone = 2;   // "Не очищать часы (добавить к существующему)"

// The hour shift the import accepts.
constexpr std::int32_t kMaxShiftHour = 24;

// What the import works on, read at the moment of the button.
struct ImportContext {
  const core::DayPlaylist& day;
  const core::TSetts& setts;  // ShiftHour, and MVPath for the jingle base
  db::Station& station;       // its paths set by the check
  core::TDateTime date;       // the date field; its whole day is used; 0 when empty
};

// Where a source hour goes: t = date + (hour + shift) / 24 + one second; the
// day is t's whole day and the hour the whole hours of the rest. The second
// keeps the hour exact: it is always (hour + shift) mod 24.
struct TargetSlot {
  core::TDateTime day = 0;
  int hour = 0;
  bool operator==(const TargetSlot&) const = default;
};
TargetSlot Target(core::TDateTime date, std::int32_t shiftHour, int hour);

// What the import does for one chosen hour.
struct HourImport {
  int hour = 0;
  TargetSlot target;
  int entries = 0;         // entries in the hour list
  int matched = 0;         // of them with a path
  std::int32_t first = 0;  // the number the first new row gets (rows left there)
  int written = 0;         // rows appended
  int removed = 0;         // rows of the target hour the clearing removes
  int notInBase = 0;       // matched entries whose path neither base has: skipped
};

// The rows the import reads and writes: those of the target hours (or, for
// a cleared day, of its window). Undo compares them.
struct ImportScope {
  bool window = false;  // clear mode 1: start <= FDate + FHour / 24 + one second < end
  core::TDateTime start = 0, end = 0;
  std::vector<TargetSlot> targets;  // otherwise: these days and hours
  bool Contains(const db::PlaySlot& row) const;
};

// The whole import before it is written.
struct ImportPlan {
  int clearMode = kClearHours;
  core::TDateTime date = 0;  // whole day
  std::int32_t shiftHour = 0;
  std::vector<HourImport> hours;
  ImportScope scope;
  db::ParadoxTable::WriteBatch batch;  // the deletes and the appended rows
  db::FileStamp stamp;                 // PlayList.db as planned on
  std::vector<db::PlaySlot> rows;      // its rows' days and hours, in stored order
  bool rowsRead = false;

  int removed() const { return static_cast<int>(batch.deletes.size()); }
  int appended() const { return static_cast<int>(batch.rows.size()); }
  int entries() const;
  int matched() const;
  int skipped() const { return entries() - appended(); }  // unmatched or not in a base
  // The target days, ascending.
  std::vector<core::TDateTime> days() const;
};

// The steps of the plan, named as the import's steps have always been.
// Clear mode 0: the rows of the target day and hour of every chosen hour go.
void ClearHours(const ImportContext& ctx, ImportPlan& plan);
// Clear mode 1: every row from date + shift hours to one day later goes,
// whatever hours are chosen.
void ClearAllList(const ImportContext& ctx, ImportPlan& plan);
// The rows the target day and hour of a source hour hold once the plan's
// clearing is done.
int GetCountList(const ImportContext& ctx, const ImportPlan& plan, int hour);  // REQUIRES: plan.rowsRead
// Entry `index` of the hour becomes a row with number counter, and counter
// grows by one. Nothing happens for an entry without a path or one whose path
// the song base (InsertList) or jingle base (InsertListJingle) lacks. The base
// row found first gives the values. A value the table cannot hold throws
// db::Error.
void InsertList(const ImportContext& ctx, ImportPlan& plan, int hour, std::int32_t& counter, std::size_t index);
void InsertListJingle(const ImportContext& ctx, ImportPlan& plan, int hour, std::int32_t& counter,
                      std::size_t index);

// The plan of an import; writes nothing. Throws db::Error for a table that
// cannot be read or a value out of range.
ImportPlan PlanImport(const ImportContext& ctx, int clearMode);

// How the import is run and what stops it.
struct ImportRun {
  bool dryRun = false;       // plan and report only
  bool askFirst = false;     // the window: one question with the plan summed up
  int minMatchedPercent = 0; // refuse below this share of matched entries (0: never)
  bool refuseEmpty = false;  // refuse removing rows while writing none
  bool force = false;        // overrides the two refusals above
  // How long to wait for another import of the station before giving up with
  // the busy message.
  std::chrono::milliseconds lockPatience = std::chrono::milliseconds(5000);
};

struct ImportReport {
  std::vector<HourImport> hours;
  int removed = 0;
  int appended = 0;
  int skipped = 0;
  bool written = false;  // false for a dry run
};

// "Будет удалено 240 строк и добавлено 236 строк в 12 часах за 11.12.2026."
// with the matched share, as the question and the dry run say it (CP1251).
std::string PlanSummary(const ImportPlan& plan);
// "Записано 236 строк, пропущено 4 несопоставленные записи." (CP1251).
std::string ImportCounts(const ImportReport& report);

// The import button. A date of day 0 or earlier (an empty or unreadable date
// field) is refused with "Укажите дату плейлиста!" before anything is
// written, and an hour shift outside -24..24 with its own message. Then
// plans; asks (askFirst: "...Импортировать?", Yes the default) or refuses as
// run says; takes the station's write lock, plans again under it, writes the
// plan in one durable write, records it for undo and ends with "Импорт
// выполнен!" and the counts. nullopt when refused or not confirmed: nothing
// was written. A table error throws db::Error, and nothing was written.
std::optional<ImportReport> SBImportClick(const ImportContext& ctx, int clearMode, matching::OperatorUi& ui,
                                          const ImportRun& run = {});

}  // namespace importing
