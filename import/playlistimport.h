// The import: clears what the operator chose to clear in PlayList.db, then
// appends one row per matched entry of every chosen hour, for the chosen date
// moved by the hour shift, numbered after the rows already in each hour.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/datetime.h"
#include "core/daymodel.h"
#include "core/settings.h"
#include "db/query.h"
#include "db/stationtables.h"
#include "db/table.h"
#include "matching/operatorui.h"

namespace importing {

// Indexes of the clear mode group RGClearList; any other index clears nothing.
constexpr int kClearHours = 0;  // "Очистить вставляемые часы"
constexpr int kClearDay = 1;    // "Очистить полностью плейлист на эти сутки"
constexpr int kClearNone = 2;   // "Не очищать часы (добавить к существующему)"

// What the import works on, read at the moment of the button.
struct ImportContext {
  const core::DayPlaylist& day;
  const core::TSetts& setts;      // ShiftHour, and MVPath for the jingle base
  const db::StationPaths& paths;  // PlayListPath and BaseSongPath, set by the check
  core::TDateTime date;           // the date field; its whole day is used; 0 when empty
  db::Query& Query1;
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

// Clear mode 0: deletes the rows of the target day and hour of every chosen hour.
void ClearHours(const ImportContext& ctx);
// Clear mode 1: deletes, walking PlayList.db, every row from date + shift
// hours to one day later, whatever hours are chosen.
void ClearAllList(const ImportContext& ctx);
// The rows PlayList.db holds in the target day and hour of a source hour.
int GetCountList(const ImportContext& ctx, int hour);

// Append entry `index` of the hour to table (open on PlayList.db) with number
// counter, and add one to counter. Nothing happens for an entry without a path
// or one whose path the song base (InsertList) or jingle base
// (InsertListJingle) lacks. The base row found first gives the values.
void InsertList(const ImportContext& ctx, db::Table& table, int hour, std::int32_t& counter, std::size_t index);
void InsertListJingle(const ImportContext& ctx, db::Table& table, int hour, std::int32_t& counter,
                      std::size_t index);

// What the import did for one chosen hour.
struct HourImport {
  int hour = 0;
  TargetSlot target;
  int entries = 0;        // entries in the hour list
  int matched = 0;        // of them with a path
  std::int32_t first = 0; // the number the first new row got (rows already there)
  int written = 0;        // rows appended
};

// The import button. A date of day 0 or earlier (an empty or unreadable date
// field) is refused with "Укажите дату плейлиста!" before anything is written.
// Otherwise clears by clearMode, imports hour by hour and ends with
// "Импорт выполнен!". A table error throws db::Error; what was cleared and
// appended before it stays.
std::optional<std::vector<HourImport>> SBImportClick(const ImportContext& ctx, int clearMode,
                                                     matching::OperatorUi& ui);

}  // namespace importing
