// One write to a table: records are changed in memory block by block, then
// Commit writes only the blocks that changed (or just the links of their
// neighbours), the header values a write owns, and for a keyed table a new .PX.
// Any error before Commit leaves the files untouched.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "db/paradox/file.h"
#include "db/paradox/keys.h"
#include "db/paradox/state.h"

namespace db::paradox {

class TableEditor {
 public:
  // Throws Error when the table may not be written or changed since it was read.
  explicit TableEditor(const TableState& state);

  // record: recordSize bytes. Unkeyed: after the last record; keyed: at its key.
  void Insert(const std::string& record);
  void Delete(std::vector<std::size_t> positions);
  // Gives each (position, new record) its new bytes; in a keyed table records
  // whose key changes move to their new place.
  void Replace(const std::vector<std::pair<std::size_t, std::string>>& records);
  const std::string& RecordAt(std::size_t position);

  std::uint32_t& autoInc() { return m_autoInc; }
  bool& autoIncUsed() { return m_autoIncUsed; }

  std::shared_ptr<TableState> Commit();

 private:
  struct Slot {
    std::uint16_t block;
    std::uint16_t count;
    std::string firstKey;  // keyed tables, when count > 0
  };
  struct Place {
    std::size_t slot;
    std::size_t index;
  };

  Place locate(std::size_t position) const;
  std::vector<std::string>& load(std::size_t slot);
  std::uint16_t allocate();
  void release(std::uint16_t block);
  std::size_t addSlotAfter(std::size_t slot);
  void refresh(std::size_t slot);
  void appendUnkeyed(const std::string& record);
  void insertKeyed(const std::string& record);
  std::size_t slotForKey(const std::string& key) const;
  void removeEmptySlots();
  void writeBlocks();
  void writeBlock(std::uint16_t block, std::uint16_t next, std::uint16_t prev,
                  const std::vector<std::string>& records);
  std::vector<std::uint8_t> newHeader() const;

  const TableState& m_old;
  DataFile m_file;
  std::optional<KeyOrder> m_order;
  std::vector<Slot> m_slots;
  std::map<std::uint16_t, std::vector<std::string>> m_records;  // blocks read or built
  std::set<std::uint16_t> m_dirty;
  std::set<std::uint16_t> m_freed;
  std::vector<std::uint16_t> m_free;  // head first
  std::vector<int> m_origin;          // original chain index of each block, -1 if none
  std::uint16_t m_fileBlocks = 0;
  bool m_emptied = false;
  std::uint32_t m_autoInc = 0;
  bool m_autoIncUsed = false;
};

}  // namespace db::paradox
