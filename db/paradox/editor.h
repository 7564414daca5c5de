// One write to a table. Records change in memory block by block, and the
// chain, its counts and the free list change in place in the table's state,
// each step logged so that a write that fails puts the state back. Work and
// memory follow the blocks the write touches, not the size of the table: an
// append reads and writes the last block and the header only. Commit writes
// the blocks that changed (or just the links of their neighbours), the header
// values a write owns and, for a keyed table, the .PX, through one journal.
// Any error before Commit leaves the files untouched.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/paradox/file.h"
#include "db/paradox/journal.h"
#include "db/paradox/keys.h"
#include "db/paradox/state.h"

namespace db::paradox {

class TableEditor {
 public:
  // Opens the .DB to write (TableBusy while another writer holds it), rolls
  // back a write a crash left unfinished, and refuses (Error) when the table
  // may not be written or changed since the state was read.
  explicit TableEditor(TableState& state);
  // Puts the state back as it was unless Commit succeeded.
  ~TableEditor();
  TableEditor(const TableEditor&) = delete;
  TableEditor& operator=(const TableEditor&) = delete;

  // record: recordSize bytes. Unkeyed: after the last record; keyed: at its key.
  void Insert(const std::string& record);
  void Delete(std::vector<std::size_t> positions);
  // Gives each (position, new record) its new bytes; in a keyed table records
  // whose key changes move to their new place.
  void Replace(const std::vector<std::pair<std::size_t, std::string>>& records);
  const std::string& RecordAt(std::size_t position);

  std::uint32_t& autoInc() { return m_autoInc; }
  bool& autoIncUsed() { return m_autoIncUsed; }

  // Writes the files and keeps the state. Throws Error (the state is then put back).
  void Commit();

 private:
  struct Links {
    std::uint16_t prev = 0;
    std::uint16_t next = 0;
    std::uint16_t count = 0;
  };
  struct Undo {
    enum class Kind { Count, Insert, Erase, Everything } kind;
    std::size_t slot = 0;
    std::uint16_t block = 0;
    std::uint16_t count = 0;
    std::string firstKey;
    std::optional<Chain> chain;  // Everything: the chain before the table was emptied
  };
  struct Place {
    std::size_t slot;
    std::size_t index;
  };

  // The chain (slot = index in chain order), changed only through these.
  std::size_t slots() const { return m_chain.blocks.size(); }
  std::uint16_t blockAt(std::size_t slot) const { return m_chain.blocks[slot]; }
  Links linksAt(std::size_t slot) const;
  void refresh(std::size_t slot);
  void insertSlot(std::size_t at, std::uint16_t block);
  void eraseSlot(std::size_t at);
  void emptyChain();
  void remember(std::size_t slot);
  void touch(std::size_t slot);
  void changedAt(std::size_t slot);
  void undo();

  Place locate(std::size_t position);
  std::vector<std::string>& load(std::size_t slot);
  std::uint16_t allocate();
  void release(std::uint16_t block);
  void keepFreeList();
  std::size_t addSlotAfter(std::size_t slot);
  void appendUnkeyed(const std::string& record);
  void insertKeyed(const std::string& record);
  std::size_t slotForKey(const std::string& key) const;
  void removeEmptySlots();

  // editor_commit.cpp
  std::vector<Patch> blockPatches();
  std::vector<std::uint8_t> blockBytes(std::uint16_t next, std::uint16_t prev,
                                       const std::vector<std::string>& records) const;
  TableHeader newHeader() const;

  TableState& m_state;
  Chain& m_chain;
  const TableHeader& m_header;
  DataFile m_file;
  std::optional<KeyOrder> m_order;
  std::map<std::uint16_t, std::vector<std::string>> m_records;  // blocks read or built
  std::set<std::uint16_t> m_dirty;  // blocks to write whole
  std::set<std::uint16_t> m_freed;  // blocks this write put on the free list
  std::set<std::uint16_t> m_new;    // blocks this write took into the chain
  std::map<std::uint16_t, Links> m_disk;  // links and counts on disk, of blocks about to change
  std::vector<std::size_t> m_touched;     // slots whose block or links may have changed
  std::vector<Undo> m_undo;
  std::optional<std::vector<std::uint16_t>> m_freeBefore;
  std::size_t m_lowestChange = SIZE_MAX;
  std::uint64_t m_recordCount = 0;
  std::uint16_t m_fileBlocks = 0;
  bool m_emptied = false;
  std::uint32_t m_autoInc = 0;
  bool m_autoIncUsed = false;
  bool m_committed = false;
};

}  // namespace db::paradox
