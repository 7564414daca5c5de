#include "db/paradox/editor.h"

#include <algorithm>

#include "db/paradox/errors.h"
#include "db/paradox/pxindex.h"

namespace db::paradox {
namespace {

std::string keyOf(const std::string& record, std::size_t keySize) { return record.substr(0, keySize); }

const std::string& writablePath(const TableState& state) {
  if (!state.readOnlyReason.empty()) throw Error(state.readOnlyReason);
  return state.path;
}

}  // namespace

TableEditor::TableEditor(const TableState& state)
    : m_old(state), m_file(writablePath(state), DataFile::Mode::ReadWrite) {
  FileStamp now = StatStamp(state.path);
  SetCounters(now, m_file.ReadAt(0, std::min<std::uint64_t>(m_file.size(), off::kUpdateCounter + 2)));
  if (now != state.stamp) {
    Fail(state.fileName, Ru("таблица изменена другой программой после открытия; откройте её заново"));
  }
  const TableHeader& h = state.header;
  if (h.keyed()) m_order.emplace(h, state.codePage);
  m_fileBlocks = h.fileBlocks;
  m_free = state.chain.freeBlocks;
  m_origin.assign(std::size_t{h.fileBlocks} + 1, -1);
  for (std::size_t i = 0; i < state.chain.blocks.size(); ++i) {
    m_origin[state.chain.blocks[i]] = static_cast<int>(i);
    m_slots.push_back({state.chain.blocks[i], state.chain.counts[i],
                       h.keyed() ? state.chain.firstKeys[i] : std::string()});
  }
  m_autoInc = h.autoInc;
}

std::vector<std::string>& TableEditor::load(std::size_t slot) {
  const std::uint16_t block = m_slots[slot].block;
  auto found = m_records.find(block);
  if (found != m_records.end()) return found->second;
  const TableHeader& h = m_old.header;
  if (m_origin[block] < 0) Fail(m_file.name(), Ru("внутренняя ошибка: блок ") + std::to_string(block) + Ru(" не прочитан"));
  const auto data = m_file.ReadAt(h.blockOffset(block), h.blockSize);
  const ByteReader r(data, m_file.name());
  const auto origin = static_cast<std::size_t>(m_origin[block]);
  const auto& chain = m_old.chain.blocks;
  const std::uint16_t next = origin + 1 < chain.size() ? chain[origin + 1] : 0;
  const std::uint16_t prev = origin > 0 ? chain[origin - 1] : 0;
  if (r.le16(kBlockNext) != next || r.le16(kBlockPrev) != prev ||
      RecordsInBlock(r.les16(kBlockAddDataSize), h) != m_old.chain.counts[origin]) {
    Fail(m_file.name(), Ru("блок ") + std::to_string(block) + Ru(" изменился после открытия таблицы"));
  }
  std::vector<std::string> records;
  for (std::size_t i = 0; i < m_old.chain.counts[origin]; ++i) {
    records.push_back(ToString(r.bytes(kBlockHeaderSize + i * h.recordSize, h.recordSize)));
  }
  if (m_order) {
    for (std::size_t i = 1; i < records.size(); ++i) {
      if (m_order->Compare(AsBytes(records[i - 1]).first(h.keySize), AsBytes(records[i]).first(h.keySize)) >= 0) {
        Fail(m_file.name(), Ru("записи блока ") + std::to_string(block) +
                                Ru(" не упорядочены так, как программа сравнивает ключи"));
      }
    }
  }
  return m_records.emplace(block, std::move(records)).first->second;
}

std::uint16_t TableEditor::allocate() {
  std::uint16_t block = 0;
  if (!m_free.empty()) {
    block = m_free.front();
    m_free.erase(m_free.begin());
    m_freed.erase(block);
  } else {
    if (m_fileBlocks == kMaxBlocks) Fail(m_file.name(), Ru("таблица достигла предельного числа блоков"));
    block = ++m_fileBlocks;
    if (m_origin.size() <= block) m_origin.resize(std::size_t{block} + 1, -1);
  }
  m_origin[block] = -1;  // its old bytes no longer matter
  m_records[block] = {};
  m_dirty.insert(block);
  return block;
}

void TableEditor::release(std::uint16_t block) {
  m_free.insert(m_free.begin(), block);
  m_freed.insert(block);
  m_records.erase(block);
  m_dirty.erase(block);
}

std::size_t TableEditor::addSlotAfter(std::size_t slot) {
  const std::uint16_t block = allocate();
  const std::size_t at = m_slots.empty() ? 0 : slot + 1;
  m_slots.insert(m_slots.begin() + static_cast<std::ptrdiff_t>(at), Slot{block, 0, {}});
  return at;
}

// After a slot's records changed: count, first key, dirty.
void TableEditor::refresh(std::size_t slot) {
  Slot& s = m_slots[slot];
  const auto& records = m_records.at(s.block);
  s.count = static_cast<std::uint16_t>(records.size());
  s.firstKey = m_order && !records.empty() ? keyOf(records.front(), m_old.header.keySize) : std::string();
  m_dirty.insert(s.block);
}

TableEditor::Place TableEditor::locate(std::size_t position) const {
  std::size_t start = 0;
  for (std::size_t i = 0; i < m_slots.size(); ++i) {
    if (position < start + m_slots[i].count) return {i, position - start};
    start += m_slots[i].count;
  }
  Fail(m_file.name(), Ru("нет записи с номером ") + std::to_string(position) + Ru(" (в таблице ") +
                          std::to_string(start) + ")");
}

const std::string& TableEditor::RecordAt(std::size_t position) {
  const Place p = locate(position);
  return load(p.slot)[p.index];
}

void TableEditor::Insert(const std::string& record) {
  if (m_order) {
    insertKeyed(record);
  } else {
    appendUnkeyed(record);
  }
}

void TableEditor::appendUnkeyed(const std::string& record) {
  if (m_slots.empty()) addSlotAfter(0);
  std::size_t last = m_slots.size() - 1;
  if (load(last).size() >= m_old.header.recordsPerBlock()) last = addSlotAfter(last);
  m_records.at(m_slots[last].block).push_back(record);
  refresh(last);
}

// The last slot whose first key is not above key, or the first slot.
std::size_t TableEditor::slotForKey(const std::string& key) const {
  const auto above = std::upper_bound(m_slots.begin(), m_slots.end(), key, [&](const std::string& k, const Slot& s) {
    return s.count > 0 && m_order->Compare(AsBytes(k), AsBytes(s.firstKey)) < 0;
  });
  return above == m_slots.begin() ? 0 : static_cast<std::size_t>(above - m_slots.begin()) - 1;
}

void TableEditor::insertKeyed(const std::string& record) {
  const TableHeader& h = m_old.header;
  const std::string key = keyOf(record, h.keySize);
  if (m_slots.empty()) addSlotAfter(0);
  const std::size_t slot = slotForKey(key);
  auto& records = load(slot);
  const auto at = std::lower_bound(records.begin(), records.end(), key, [&](const std::string& r, const std::string& k) {
    return m_order->Compare(AsBytes(r).first(h.keySize), AsBytes(k)) < 0;
  });
  if (at != records.end() && m_order->Compare(AsBytes(*at).first(h.keySize), AsBytes(key)) == 0) {
    Fail(m_file.name(), Ru("запись с таким ключом уже есть (нарушение уникальности ключа)"));
  }
  const bool atEnd = at == records.end();
  records.insert(at, record);
  if (records.size() > h.recordsPerBlock()) {
    const std::size_t next = addSlotAfter(slot);
    auto& full = m_records.at(m_slots[slot].block);
    // A record past the end of the last block starts a new block; any other
    // overflow splits the block in halves.
    const std::size_t keep = slot + 1 == m_slots.size() - 1 && atEnd ? full.size() - 1 : (full.size() + 1) / 2;
    auto& moved = m_records.at(m_slots[next].block);
    moved.assign(full.begin() + static_cast<std::ptrdiff_t>(keep), full.end());
    full.resize(keep);
    refresh(next);
  }
  refresh(slot);
}

void TableEditor::Delete(std::vector<std::size_t> positions) {
  std::sort(positions.begin(), positions.end());
  positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  std::vector<Place> places;
  for (std::size_t p : positions) places.push_back(locate(p));
  for (auto it = places.rbegin(); it != places.rend(); ++it) {
    auto& records = load(it->slot);
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(it->index));
    refresh(it->slot);
  }
  removeEmptySlots();
}

void TableEditor::Replace(const std::vector<std::pair<std::size_t, std::string>>& changes) {
  const std::size_t keySize = m_old.header.keySize;
  std::vector<std::pair<Place, std::string>> moving;
  for (const auto& [position, record] : changes) {
    const Place p = locate(position);
    auto& current = load(p.slot)[p.index];
    if (m_order && keyOf(current, keySize) != keyOf(record, keySize)) {
      moving.push_back({p, record});
    } else {
      current = record;
      m_dirty.insert(m_slots[p.slot].block);
    }
  }
  std::sort(moving.begin(), moving.end(), [](const auto& a, const auto& b) {
    return a.first.slot != b.first.slot ? a.first.slot > b.first.slot : a.first.index > b.first.index;
  });
  for (const auto& [place, record] : moving) {
    auto& records = load(place.slot);
    records.erase(records.begin() + static_cast<std::ptrdiff_t>(place.index));
    refresh(place.slot);
  }
  removeEmptySlots();
  for (const auto& change : moving) insertKeyed(change.second);
}

// Empty blocks leave the chain for the free list. The first block of the chain
// stays first (the Borland engine never frees it): when it empties, the next
// block's records move into it. A table left without records is cut back to
// its header, as a newly created one.
void TableEditor::removeEmptySlots() {
  const bool anyRecords = std::any_of(m_slots.begin(), m_slots.end(), [](const Slot& s) { return s.count > 0; });
  if (!anyRecords) {
    m_slots.clear();
    m_records.clear();
    m_dirty.clear();
    m_freed.clear();
    m_free.clear();
    m_fileBlocks = 0;
    m_emptied = true;
    return;
  }
  if (m_slots.front().count == 0) {
    std::size_t donor = 1;
    while (m_slots[donor].count == 0) ++donor;
    auto moved = std::move(load(donor));
    m_records.at(m_slots[donor].block).clear();
    load(0) = std::move(moved);
    refresh(0);
    refresh(donor);
  }
  for (std::size_t i = m_slots.size(); i-- > 1;) {
    if (m_slots[i].count != 0) continue;
    release(m_slots[i].block);
    m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace db::paradox
