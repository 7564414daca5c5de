// Crash safety of a write. Before the first byte of a table file changes, the
// original bytes of every range about to be overwritten, and the original size
// of each file, go to NAME.DB-journal beside the table, which is flushed; then
// the files are written and flushed, and removing the journal ends the write.
// A journal found later belongs to a write that did not end: the next open of
// the table puts the original bytes back (RollBackOnOpen). The files are never
// replaced, so the automation system's open handles stay valid.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/file.h"
#include "db/paradox/files.h"
#include "db/paradox/journalformat.h"

namespace db::paradox {

struct Patch {
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> bytes;
};

// NAME.DB-journal for NAME.DB (CP1251 paths).
std::string JournalPath(const std::string& dbPath);

// One write to the files of a table (the .DB and, for a keyed table, its .PX).
class JournaledWrite {
 public:
  JournaledWrite(FileSystem& files, std::string dbPath);

  // file: open to write (the .DB first); patches: the bytes it gets, ranges
  // that repeat what the file holds are skipped; size: its size afterwards.
  void Add(DataFile& file, std::vector<Patch> patches, std::uint64_t size);

  // Journal, write, flush, remove the journal. Throws Error; the files are then
  // as before the write when restored(), otherwise the journal stays and the
  // next open of the table rolls back.
  void Commit();
  bool restored() const { return m_restored; }

 private:
  struct Target {
    DataFile* file;
    std::vector<Patch> patches;
    std::uint64_t size;
    std::uint64_t originalSize;
  };

  void prepare();
  void prepare(std::size_t index);
  void writeJournal();
  void apply();
  bool rollBackNow();
  void finish();

  FileSystem& m_files;
  std::string m_dbPath;
  std::vector<Target> m_targets;
  JournalContent m_journal;
  bool m_restored = true;
};

// Rolls back the write a journal beside the .DB records. db: the .DB, open to
// write. Returns "" when there was nothing to do or the files are restored,
// else why not (CP1251), in which case the journal stays. The header of the
// .DB must hold, byte by byte, what it held before the write or after it:
// otherwise another program changed the table since, and nothing is touched.
std::string RollBack(FileSystem& files, DataFile& db);

// The same when opening a table: takes the .DB to write first. A journal of a
// writer still at work (the .DB is held) is left to it.
std::string RollBackOnOpen(FileSystem& files, const std::string& dbPath);

}  // namespace db::paradox
