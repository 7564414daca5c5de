#include "db/paradox/editor.h"

#include <algorithm>

#include "db/paradox/errors.h"

namespace db::paradox {
namespace {

std::string keyOf(const std::string& record, std::size_t keySize) { return record.substr(0, keySize); }

const std::string& writablePath(const TableState& state) {
  if (!state.readOnlyReason.empty()) throw Error(state.readOnlyReason);
  return state.path;
}

}  // namespace

TableEditor::TableEditor(TableState& state)
    : m_state(state),
      m_chain(state.chain),
      m_header(state.header),
      m_file(*state.files, writablePath(state), DataFile::Mode::Write) {
  if (state.files->Exists(JournalPath(state.path))) {
    const std::string problem = RollBack(*state.files, m_file);
    if (!problem.empty()) throw Error(problem);
  }
  FileStamp now = StatStamp(state.path);
  SetCounters(now, m_file.ReadAt(0, std::min<std::uint64_t>(m_file.size(), off::kUpdateCounter + 2)));
  if (now != state.stamp) {
    Fail(state.fileName, Ru("таблица изменена другой программой после открытия; откройте её заново"));
  }
  if (m_header.keyed()) m_order.emplace(m_header, state.codePage);
  m_recordCount = m_header.recordCount;
  m_fileBlocks = m_header.fileBlocks;
  m_autoInc = m_header.autoInc;
}

TableEditor::~TableEditor() {
  if (!m_committed) undo();
}

TableEditor::Links TableEditor::linksAt(std::size_t slot) const {
  return {slot > 0 ? blockAt(slot - 1) : std::uint16_t{0}, slot + 1 < slots() ? blockAt(slot + 1) : std::uint16_t{0},
          m_chain.counts[slot]};
}

// Before the first change around a block that was on disk: its links and count there.
void TableEditor::remember(std::size_t slot) {
  if (slot >= slots()) return;
  const std::uint16_t block = blockAt(slot);
  if (m_new.count(block) == 0 && m_disk.count(block) == 0) m_disk.emplace(block, linksAt(slot));
}

void TableEditor::touch(std::size_t slot) {
  if (slot < slots()) m_touched.push_back(slot);
}

void TableEditor::changedAt(std::size_t slot) {
  m_lowestChange = std::min(m_lowestChange, slot);
  InvalidateStarts(m_state, slot);
}

// After a slot's records changed: its count and first key.
void TableEditor::refresh(std::size_t slot) {
  const std::uint16_t block = blockAt(slot);
  const auto& records = m_records.at(block);
  remember(slot);
  m_undo.push_back({Undo::Kind::Count, slot, block, m_chain.counts[slot],
                    m_order ? m_chain.firstKeys[slot] : std::string(), {}});
  m_recordCount = m_recordCount - m_chain.counts[slot] + records.size();
  m_chain.counts[slot] = static_cast<std::uint16_t>(records.size());
  if (m_order) m_chain.firstKeys[slot] = records.empty() ? std::string() : keyOf(records.front(), m_header.keySize);
  m_dirty.insert(block);
  touch(slot);
  changedAt(slot);
}

void TableEditor::insertSlot(std::size_t at, std::uint16_t block) {
  if (at > 0) remember(at - 1);
  remember(at);
  m_undo.push_back({Undo::Kind::Insert, at, block, 0, {}, {}});
  for (std::size_t& t : m_touched) t += t >= at ? 1 : 0;
  const auto pos = static_cast<std::ptrdiff_t>(at);
  m_chain.blocks.insert(m_chain.blocks.begin() + pos, block);
  m_chain.counts.insert(m_chain.counts.begin() + pos, std::uint16_t{0});
  if (m_order) m_chain.firstKeys.insert(m_chain.firstKeys.begin() + pos, std::string());
  if (at > 0) touch(at - 1);
  touch(at);
  touch(at + 1);
  changedAt(at);
}

void TableEditor::eraseSlot(std::size_t at) {
  if (at > 0) remember(at - 1);
  remember(at);
  remember(at + 1);
  m_undo.push_back({Undo::Kind::Erase, at, blockAt(at), m_chain.counts[at],
                    m_order ? m_chain.firstKeys[at] : std::string(), {}});
  std::erase(m_touched, at);
  for (std::size_t& t : m_touched) t -= t > at ? 1 : 0;
  const auto pos = static_cast<std::ptrdiff_t>(at);
  m_chain.blocks.erase(m_chain.blocks.begin() + pos);
  m_chain.counts.erase(m_chain.counts.begin() + pos);
  if (m_order) m_chain.firstKeys.erase(m_chain.firstKeys.begin() + pos);
  if (at > 0) touch(at - 1);
  touch(at);
  changedAt(at);
}

// A table left without records is cut back to its header, as a newly created one.
void TableEditor::emptyChain() {
  keepFreeList();
  m_undo.push_back({Undo::Kind::Everything, 0, 0, 0, {}, m_chain});
  m_chain.blocks.clear();
  m_chain.counts.clear();
  m_chain.firstKeys.clear();
  m_chain.freeBlocks.clear();
  m_records.clear();
  m_dirty.clear();
  m_freed.clear();
  m_touched.clear();
  m_fileBlocks = 0;
  m_emptied = true;
  changedAt(0);
}

void TableEditor::undo() {
  for (auto it = m_undo.rbegin(); it != m_undo.rend(); ++it) {
    const auto pos = static_cast<std::ptrdiff_t>(it->slot);
    switch (it->kind) {
      case Undo::Kind::Count:
        m_chain.counts[it->slot] = it->count;
        if (m_order) m_chain.firstKeys[it->slot] = it->firstKey;
        break;
      case Undo::Kind::Insert:
        m_chain.blocks.erase(m_chain.blocks.begin() + pos);
        m_chain.counts.erase(m_chain.counts.begin() + pos);
        if (m_order) m_chain.firstKeys.erase(m_chain.firstKeys.begin() + pos);
        break;
      case Undo::Kind::Erase:
        m_chain.blocks.insert(m_chain.blocks.begin() + pos, it->block);
        m_chain.counts.insert(m_chain.counts.begin() + pos, it->count);
        if (m_order) m_chain.firstKeys.insert(m_chain.firstKeys.begin() + pos, it->firstKey);
        break;
      case Undo::Kind::Everything:
        m_chain = std::move(*it->chain);
        break;
    }
  }
  if (m_freeBefore) m_chain.freeBlocks = std::move(*m_freeBefore);
  if (m_lowestChange != SIZE_MAX) InvalidateStarts(m_state, m_lowestChange);
}

TableEditor::Place TableEditor::locate(std::size_t position) {
  const auto& starts = PositionStarts(m_state);
  if (position >= starts.back()) {
    Fail(m_file.name(), Ru("нет записи с номером ") + std::to_string(position) + Ru(" (в таблице ") +
                            std::to_string(starts.back()) + ")");
  }
  // The last slot starting at or before position: empty slots start where the next one does.
  const auto above = std::upper_bound(starts.begin(), starts.end(), position);
  const auto slot = static_cast<std::size_t>(above - starts.begin()) - 1;
  return {slot, position - starts[slot]};
}

std::vector<std::string>& TableEditor::load(std::size_t slot) {
  const std::uint16_t block = blockAt(slot);
  auto found = m_records.find(block);
  if (found != m_records.end()) return found->second;
  const auto remembered = m_disk.find(block);
  const Links expected = remembered != m_disk.end() ? remembered->second : linksAt(slot);
  const auto data = m_file.ReadAt(m_header.blockOffset(block), m_header.blockSize);
  const ByteReader r(data, m_file.name());
  if (r.le16(kBlockNext) != expected.next || r.le16(kBlockPrev) != expected.prev ||
      RecordsInBlock(r.les16(kBlockAddDataSize), m_header) != expected.count) {
    Fail(m_file.name(), Ru("блок ") + std::to_string(block) + Ru(" изменился после открытия таблицы"));
  }
  std::vector<std::string> records;
  const std::size_t size = m_header.recordSize;
  for (std::size_t i = 0; i < expected.count; ++i) records.push_back(ToString(r.bytes(kBlockHeaderSize + i * size, size)));
  if (m_order) {
    for (std::size_t i = 1; i < records.size(); ++i) {
      if (m_order->Compare(AsBytes(records[i - 1]).first(m_header.keySize), AsBytes(records[i]).first(m_header.keySize)) >= 0) {
        Fail(m_file.name(), Ru("записи блока ") + std::to_string(block) +
                                Ru(" не упорядочены так, как программа сравнивает ключи"));
      }
    }
  }
  return m_records.emplace(block, std::move(records)).first->second;
}

void TableEditor::keepFreeList() {
  if (!m_freeBefore) m_freeBefore = m_chain.freeBlocks;
}

std::uint16_t TableEditor::allocate() {
  keepFreeList();
  auto& free = m_chain.freeBlocks;
  std::uint16_t block = 0;
  if (!free.empty()) {
    block = free.front();
    free.erase(free.begin());
    m_freed.erase(block);
  } else {
    if (m_fileBlocks == kMaxBlocks) Fail(m_file.name(), Ru("таблица достигла предельного числа блоков"));
    block = ++m_fileBlocks;
  }
  m_new.insert(block);  // its old bytes no longer matter
  m_records[block] = {};
  m_dirty.insert(block);
  return block;
}

void TableEditor::release(std::uint16_t block) {
  keepFreeList();
  m_chain.freeBlocks.insert(m_chain.freeBlocks.begin(), block);
  m_freed.insert(block);
  m_records.erase(block);
  m_dirty.erase(block);
}

std::size_t TableEditor::addSlotAfter(std::size_t slot) {
  const std::uint16_t block = allocate();
  const std::size_t at = slots() == 0 ? 0 : slot + 1;
  insertSlot(at, block);
  return at;
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
  if (slots() == 0) addSlotAfter(0);
  std::size_t last = slots() - 1;
  if (load(last).size() >= m_header.recordsPerBlock()) last = addSlotAfter(last);
  m_records.at(blockAt(last)).push_back(record);
  refresh(last);
}

// The last slot whose first key is not above key, or the first slot.
std::size_t TableEditor::slotForKey(const std::string& key) const {
  std::size_t low = 0;
  std::size_t high = slots();
  while (low < high) {
    const std::size_t mid = low + (high - low) / 2;
    const bool above = m_chain.counts[mid] > 0 && m_order->Compare(AsBytes(key), AsBytes(m_chain.firstKeys[mid])) < 0;
    if (above) {
      high = mid;
    } else {
      low = mid + 1;
    }
  }
  return low == 0 ? 0 : low - 1;
}

void TableEditor::insertKeyed(const std::string& record) {
  const std::string key = keyOf(record, m_header.keySize);
  if (slots() == 0) addSlotAfter(0);
  const std::size_t slot = slotForKey(key);
  auto& records = load(slot);
  const auto at = std::lower_bound(records.begin(), records.end(), key, [&](const std::string& r, const std::string& k) {
    return m_order->Compare(AsBytes(r).first(m_header.keySize), AsBytes(k)) < 0;
  });
  if (at != records.end() && m_order->Compare(AsBytes(*at).first(m_header.keySize), AsBytes(key)) == 0) {
    Fail(m_file.name(), Ru("запись с таким ключом уже есть (нарушение уникальности ключа)"));
  }
  const bool atEnd = at == records.end();
  records.insert(at, record);
  if (records.size() > m_header.recordsPerBlock()) {
    const std::size_t next = addSlotAfter(slot);
    auto& full = m_records.at(blockAt(slot));
    // A record past the end of the last block starts a new block; any other
    // overflow splits the block in halves.
    const std::size_t keep = next == slots() - 1 && atEnd ? full.size() - 1 : (full.size() + 1) / 2;
    auto& moved = m_records.at(blockAt(next));
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
  const std::size_t keySize = m_header.keySize;
  std::vector<std::pair<Place, std::string>> moving;
  for (const auto& [position, record] : changes) {
    const Place p = locate(position);
    auto& current = load(p.slot)[p.index];
    if (m_order && keyOf(current, keySize) != keyOf(record, keySize)) {
      moving.push_back({p, record});
    } else {
      current = record;
      m_dirty.insert(blockAt(p.slot));
      touch(p.slot);
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

// Blocks this write emptied leave the chain for the free list. The first block
// of the chain stays first (the Borland engine never frees it): when it
// empties, the next block's records move into it.
void TableEditor::removeEmptySlots() {
  if (m_recordCount == 0) {
    if (slots() > 0) emptyChain();
    return;
  }
  if (m_chain.counts.front() == 0) {
    std::size_t donor = 1;
    while (m_chain.counts[donor] == 0) ++donor;
    auto moved = std::move(load(donor));
    m_records.at(blockAt(donor)).clear();
    load(0) = std::move(moved);
    refresh(0);
    refresh(donor);
  }
  std::vector<std::size_t> candidates = m_touched;
  std::sort(candidates.begin(), candidates.end(), std::greater<>());
  candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
  for (std::size_t slot : candidates) {
    if (slot == 0 || slot >= slots() || m_chain.counts[slot] != 0) continue;
    release(blockAt(slot));
    eraseSlot(slot);
  }
}

}  // namespace db::paradox
