// Undo of imports. Every import leaves, in the association folder (BasePath),
// a record of what it removed from PlayList.db and what it appended, as whole
// records with every column (those this program does not know included).
// Undoing puts the removed rows back and takes the appended ones out, in one
// durable write, and only when the rows of the hours that import touched are
// still exactly as it left them. The last kKeptImports records of a station
// are kept.
//
// A record file (little-endian; "MVUNDO1\n" first, a CRC-32 of everything
// before it last) holds: the station's PlayList.db path, the time of the
// import, its date, clear mode and hour shift, the table's fields, the scope
// (the day window or the target hours), and the record bytes it removed, it
// left in the scope, and it appended.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/datetime.h"
#include "db/station.h"
#include "import/playlistimport.h"
#include "matching/operatorui.h"

namespace importing {

constexpr std::size_t kKeptImports = 10;

// The record bytes an import read and wrote, in the scope of its plan.
struct ImportRecords {
  std::vector<std::string> removed;
  std::vector<std::string> kept;      // in the scope, left alone
  std::vector<std::string> appended;  // as stored
};

// One recorded import of this station.
struct UndoEntry {
  std::string file;  // CP1251 path of the record
  int sequence = 0;
  bool undone = false;
  bool damaged = false;  // unreadable, torn, or of another station: never applied
  core::TDateTime created = 0;
  core::TDateTime date = 0;
  int clearMode = 0;
  std::int32_t shiftHour = 0;
  int removed = 0;
  int appended = 0;
};

// The folder of the records: BasePath + "ImportUndo".
std::string UndoFolder(const db::Station& station);

// The records of the plan's scope as PlayList.db holds them now: before the
// write (removed and kept) or after it (appended: the scope less the kept).
ImportRecords RecordsBefore(db::Station& station, const ImportPlan& plan);
std::vector<std::string> AppendedAfter(db::Station& station, const ImportPlan& plan,
                                       const std::vector<std::string>& kept);

// Writes the record of a committed import durably and prunes the oldest.
void RecordImport(db::Station& station, const ImportPlan& plan, const ImportRecords& records);

// This station's imports, newest first.
std::vector<UndoEntry> ImportHistory(const db::Station& station);
// Whether the newest import that is not undone can be offered for undo.
bool CanUndo(const db::Station& station);

struct UndoReport {
  UndoEntry entry;
  int removed = 0;   // appended rows taken out
  int restored = 0;  // removed rows put back
};

// "Отменить последний импорт": the newest import of this station not undone
// yet. Refused with a message, nothing changed: nothing left to undo; the
// record damaged or of another station; the table's fields changed; a row of
// the hours it touched changed since. ask: a question first (Yes to go on).
// Under the station's write lock. Ends with "Импорт отменён." and the counts.
std::optional<UndoReport> UndoLastImport(db::Station& station, matching::OperatorUi& ui, bool ask);

}  // namespace importing
