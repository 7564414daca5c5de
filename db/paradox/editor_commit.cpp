// Writing the changes of a TableEditor to the files.
#include <algorithm>

#include "db/paradox/editor.h"
#include "db/paradox/errors.h"
#include "db/paradox/pxindex.h"

namespace db::paradox {
namespace {

constexpr std::size_t kLinksSize = 4;  // next and previous block

// The engine ignores a .PX while the low byte of this counter is below 2.
constexpr std::uint16_t kLowestUsableCounter = 2;

std::uint16_t nextUpdateCounter(std::uint16_t counter) {
  ++counter;
  if ((counter & 0xFF) < kLowestUsableCounter) counter = static_cast<std::uint16_t>((counter & 0xFF00) | kLowestUsableCounter);
  return counter;
}

}  // namespace

void TableEditor::writeBlock(std::uint16_t block, std::uint16_t next, std::uint16_t prev,
                             const std::vector<std::string>& records) {
  const TableHeader& h = m_old.header;
  std::vector<std::uint8_t> data(h.blockSize, 0);
  ByteWriter w(data, m_file.name());
  w.le16(kBlockNext, next);
  w.le16(kBlockPrev, prev);
  w.le16(kBlockAddDataSize, static_cast<std::uint16_t>(AddDataSize(records.size(), h)));
  for (std::size_t i = 0; i < records.size(); ++i) {
    w.bytes(kBlockHeaderSize + i * h.recordSize, AsBytes(records[i]));
  }
  m_file.WriteAt(h.blockOffset(block), data);
}

// Blocks whose records changed are written whole; blocks whose neighbours
// changed get their two links patched; blocks freed now join the free list.
void TableEditor::writeBlocks() {
  const auto& oldChain = m_old.chain.blocks;
  for (std::size_t i = 0; i < m_slots.size(); ++i) {
    const std::uint16_t block = m_slots[i].block;
    const std::uint16_t next = i + 1 < m_slots.size() ? m_slots[i + 1].block : 0;
    const std::uint16_t prev = i > 0 ? m_slots[i - 1].block : 0;
    if (m_dirty.count(block) != 0) {
      writeBlock(block, next, prev, m_records.at(block));
      continue;
    }
    const auto origin = static_cast<std::size_t>(m_origin[block]);
    const std::uint16_t oldNext = origin + 1 < oldChain.size() ? oldChain[origin + 1] : 0;
    const std::uint16_t oldPrev = origin > 0 ? oldChain[origin - 1] : 0;
    if (next != oldNext || prev != oldPrev) {
      std::uint8_t links[kLinksSize] = {};
      ByteWriter w(links, m_file.name());
      w.le16(kBlockNext, next);
      w.le16(kBlockPrev, prev);
      m_file.WriteAt(m_old.header.blockOffset(block), links);
    }
  }
  for (std::size_t i = 0; i < m_free.size(); ++i) {
    if (m_freed.count(m_free[i]) == 0) continue;
    writeBlock(m_free[i], i + 1 < m_free.size() ? m_free[i + 1] : 0, 0, {});
  }
}

std::vector<std::uint8_t> TableEditor::newHeader() const {
  TableHeader h = m_old.header;
  h.recordCount = 0;
  for (const Slot& s : m_slots) h.recordCount += s.count;
  h.blocksInUse = static_cast<std::uint16_t>(m_slots.size());
  h.fileBlocks = m_fileBlocks;
  h.firstBlock = m_slots.empty() ? 0 : m_slots.front().block;
  h.lastBlock = m_slots.empty() ? 0 : m_slots.back().block;
  h.firstFreeBlock = m_free.empty() ? 0 : m_free.front();
  StoreCounts(h);
  ByteWriter w(h.raw, m_file.name());
  if (m_autoIncUsed) w.le32(off::kAutoInc, m_autoInc);
  w.le16(off::kUpdateCounter, nextUpdateCounter(ByteReader(h.raw, m_file.name()).le16(off::kUpdateCounter)));
  return std::move(h.raw);
}

std::shared_ptr<TableState> TableEditor::Commit() {
  const TableHeader& old = m_old.header;
  auto header = newHeader();
  writeBlocks();
  WriteChanges(m_file, 0, old.raw, header);
  const std::uint64_t size = std::max(m_file.size(), old.headerSize + std::uint64_t{m_fileBlocks} * old.blockSize);
  m_file.Close();
  if (m_emptied) ResizeFile(m_old.path, old.headerSize + std::uint64_t{m_fileBlocks} * old.blockSize);

  auto state = std::make_shared<TableState>(m_old);
  state->header = ParseTableHeader(std::move(header), size, m_old.fileName);
  Chain& chain = state->chain;
  chain.blocks.clear();
  chain.counts.clear();
  chain.firstKeys.clear();
  for (const Slot& s : m_slots) {
    chain.blocks.push_back(s.block);
    chain.counts.push_back(s.count);
    if (m_order) chain.firstKeys.push_back(s.firstKey);
  }
  chain.freeBlocks = m_free;
  ComputeStarts(*state);
  if (m_order) {
    std::vector<PxEntry> entries;
    for (const Slot& s : m_slots) entries.push_back({s.firstKey, s.block, s.count});
    WritePrimaryIndex(m_old.companions.primaryIndex, state->header, entries);
  }
  state->stamp = StatStamp(m_old.path);
  SetCounters(state->stamp, state->header.raw);
  return state;
}

}  // namespace db::paradox
