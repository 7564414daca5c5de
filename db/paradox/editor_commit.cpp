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

// A whole block: header, records, zeros after the last record.
std::vector<std::uint8_t> TableEditor::blockBytes(std::uint16_t next, std::uint16_t prev,
                                                  const std::vector<std::string>& records) const {
  std::vector<std::uint8_t> data(m_header.blockSize, 0);
  ByteWriter w(data, m_file.name());
  w.le16(kBlockNext, next);
  w.le16(kBlockPrev, prev);
  w.le16(kBlockAddDataSize, static_cast<std::uint16_t>(AddDataSize(records.size(), m_header)));
  for (std::size_t i = 0; i < records.size(); ++i) {
    w.bytes(kBlockHeaderSize + i * m_header.recordSize, AsBytes(records[i]));
  }
  return data;
}

// Blocks whose records changed are written whole; blocks whose neighbours
// changed get their two links; blocks freed now join the free list.
std::vector<Patch> TableEditor::blockPatches() {
  std::sort(m_touched.begin(), m_touched.end());
  m_touched.erase(std::unique(m_touched.begin(), m_touched.end()), m_touched.end());
  std::vector<Patch> patches;
  for (std::size_t slot : m_touched) {
    if (slot >= slots()) continue;
    const std::uint16_t block = blockAt(slot);
    const Links now = linksAt(slot);
    if (m_dirty.count(block) != 0) {
      patches.push_back({m_header.blockOffset(block), blockBytes(now.next, now.prev, m_records.at(block))});
      continue;
    }
    const auto disk = m_disk.find(block);
    if (disk == m_disk.end() || (disk->second.next == now.next && disk->second.prev == now.prev)) continue;
    std::vector<std::uint8_t> links(kLinksSize);
    ByteWriter w(links, m_file.name());
    w.le16(kBlockNext, now.next);
    w.le16(kBlockPrev, now.prev);
    patches.push_back({m_header.blockOffset(block), std::move(links)});
  }
  // Blocks freed now are at the head of the free list.
  const auto& free = m_chain.freeBlocks;
  for (std::size_t i = 0; i < free.size() && m_freed.count(free[i]) != 0; ++i) {
    const std::uint16_t next = i + 1 < free.size() ? free[i + 1] : 0;
    patches.push_back({m_header.blockOffset(free[i]), blockBytes(next, 0, {})});
  }
  return patches;
}

TableHeader TableEditor::newHeader() const {
  TableHeader h = m_header;
  h.recordCount = static_cast<std::uint32_t>(m_recordCount);
  h.blocksInUse = static_cast<std::uint16_t>(slots());
  h.fileBlocks = m_fileBlocks;
  h.firstBlock = slots() == 0 ? 0 : m_chain.blocks.front();
  h.lastBlock = slots() == 0 ? 0 : m_chain.blocks.back();
  h.firstFreeBlock = m_chain.freeBlocks.empty() ? 0 : m_chain.freeBlocks.front();
  StoreCounts(h);
  ByteWriter w(h.raw, m_file.name());
  if (m_autoIncUsed) {
    h.autoInc = m_autoInc;
    w.le32(off::kAutoInc, m_autoInc);
  }
  w.le16(off::kUpdateCounter, nextUpdateCounter(ByteReader(h.raw, m_file.name()).le16(off::kUpdateCounter)));
  return h;
}

void TableEditor::Commit() {
  TableHeader header = newHeader();
  std::vector<Patch> patches = blockPatches();
  patches.push_back({0, header.raw});
  const std::uint64_t blocksEnd = header.headerSize + std::uint64_t{m_fileBlocks} * header.blockSize;
  JournaledWrite write(*m_state.files, m_state.path);
  write.Add(m_file, std::move(patches), m_emptied ? blocksEnd : std::max(m_file.size(), blocksEnd));
  std::optional<DataFile> px;
  if (m_order) {
    px.emplace(*m_state.files, m_state.companions.primaryIndex, DataFile::Mode::Write);
    std::vector<PxEntry> entries;
    entries.reserve(slots());
    for (std::size_t i = 0; i < slots(); ++i) entries.push_back({m_chain.firstKeys[i], m_chain.blocks[i], m_chain.counts[i]});
    IndexPlan plan = PlanPrimaryIndex(*px, header, entries);
    write.Add(*px, std::move(plan.patches), plan.size);
  }
  try {
    write.Commit();
  } catch (...) {
    // The files are as the state describes them, under a new modification time.
    if (write.restored()) {
      try {
        m_state.stamp = StatStamp(m_state.path);
        SetCounters(m_state.stamp, m_header.raw);
      } catch (const Error&) {
      }
    }
    throw;
  }
  m_committed = true;
  m_state.header = std::move(header);
  m_state.stamp = StatStamp(m_state.path);
  SetCounters(m_state.stamp, m_state.header.raw);
}

}  // namespace db::paradox
