#include "db/paradox/pxindex.h"

#include <algorithm>
#include <functional>

#include "db/paradox/chain.h"
#include "db/paradox/errors.h"
#include "db/paradox/file.h"

namespace db::paradox {
namespace {

constexpr std::size_t kEntryTail = 6;  // block, count, a zero: Shorts in record encoding
constexpr std::uint16_t kMaxCount = 0x7FFF;
constexpr std::uint16_t kShortFlip = 0x8000;

struct PxLayout {
  std::vector<std::uint8_t> raw;
  std::uint32_t blockSize = 0;
  std::size_t entrySize = 0;
  std::size_t perBlock = 0;
  std::uint16_t headerSize = 0;
};

PxLayout readLayout(DataFile& px, const TableHeader& table) {
  PxLayout l;
  l.raw = ReadHeaderBytes(px);
  const ByteReader r(l.raw, px.name());
  const std::uint8_t type = r.u8(off::kFileType);
  const std::uint8_t code = r.u8(off::kBlockSizeCode);
  l.headerSize = r.le16(off::kHeaderSize);
  l.entrySize = r.le16(off::kRecordSize);
  if (type != kFileTypeIndex) Fail(px.name(), Ru("это не файл первичного индекса (тип ") + std::to_string(type) + ")");
  if (code < 1 || code > 32) Fail(px.name(), Ru("недопустимый размер блока (код ") + std::to_string(code) + ")");
  if (r.le16(off::kFieldCount) != table.keyFields || l.entrySize != table.keySize + kEntryTail) {
    Fail(px.name(), Ru("индекс не соответствует ключу таблицы"));
  }
  l.blockSize = code * 1024u;
  l.perBlock = (l.blockSize - kBlockHeaderSize) / l.entrySize;
  if (l.perBlock < 2) Fail(px.name(), Ru("ключ слишком длинный для блока индекса"));
  return l;
}

std::uint16_t shortAt(ByteSpan bytes) { return static_cast<std::uint16_t>(ReadBigEndian(bytes) ^ kShortFlip); }

void putShort(std::uint8_t* out, std::uint16_t value) {
  WriteBigEndian(MutableByteSpan(out, 2), static_cast<std::uint16_t>(value ^ kShortFlip));
}

using PxBlock = std::vector<PxEntry>;

std::vector<PxBlock> chunk(const std::vector<PxEntry>& entries, std::size_t perBlock) {
  std::vector<PxBlock> blocks;
  for (std::size_t i = 0; i < entries.size(); i += perBlock) {
    const auto end = std::min(entries.size(), i + perBlock);
    blocks.emplace_back(entries.begin() + static_cast<std::ptrdiff_t>(i), entries.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return blocks;
}

// The levels from the lowest up, each level's blocks indexed by one entry in
// the level above, until one block (the root) remains. Blocks are numbered
// from the root down, so the root is block 1; this is how pxlib lays out an
// index of several levels and the only such layout it reads.
std::vector<PxBlock> buildTree(const std::vector<PxEntry>& entries, std::size_t perBlock, std::uint8_t& levels) {
  std::vector<std::vector<PxBlock>> byLevel;
  std::vector<PxEntry> level = entries;
  while (!level.empty()) {
    byLevel.push_back(chunk(level, perBlock));
    if (byLevel.back().size() == 1) break;
    std::vector<PxEntry> upper;
    for (const PxBlock& b : byLevel.back()) {
      unsigned sum = 0;
      for (const PxEntry& e : b) sum += e.count;
      upper.push_back({b.front().key, 0, static_cast<std::uint16_t>(std::min<unsigned>(sum, kMaxCount))});
    }
    level = std::move(upper);
  }
  std::vector<std::size_t> firstNumber(byLevel.size());
  std::size_t next = 1;
  for (std::size_t l = byLevel.size(); l-- > 0;) {
    firstNumber[l] = next;
    next += byLevel[l].size();
  }
  for (std::size_t l = 1; l < byLevel.size(); ++l) {
    std::size_t child = firstNumber[l - 1];
    for (PxBlock& b : byLevel[l]) {
      for (PxEntry& e : b) e.block = static_cast<std::uint16_t>(child++);
    }
  }
  levels = static_cast<std::uint8_t>(byLevel.size());
  std::vector<PxBlock> blocks;
  for (std::size_t l = byLevel.size(); l-- > 0;) blocks.insert(blocks.end(), byLevel[l].begin(), byLevel[l].end());
  return blocks;
}

// Every block of the index is in one chain, in block order.
std::vector<std::uint8_t> serialize(const PxBlock& b, std::uint16_t number, std::uint16_t count,
                                    const PxLayout& l, const TableHeader& table) {
  std::vector<std::uint8_t> data(l.blockSize, 0);
  ByteWriter w(data, Ru("блок индекса"));
  TableHeader shape;
  shape.recordSize = static_cast<std::uint16_t>(l.entrySize);
  w.le16(kBlockNext, number < count ? static_cast<std::uint16_t>(number + 1) : 0);
  w.le16(kBlockPrev, static_cast<std::uint16_t>(number - 1));
  w.le16(kBlockAddDataSize, static_cast<std::uint16_t>(AddDataSize(b.size(), shape)));
  std::size_t at = kBlockHeaderSize;
  for (const PxEntry& e : b) {
    w.bytes(at, AsBytes(e.key));
    putShort(&data[at + table.keySize], e.block);
    putShort(&data[at + table.keySize + 2], e.count);
    putShort(&data[at + table.keySize + 4], 0);
    at += l.entrySize;
  }
  return data;
}

}  // namespace

void CheckPrimaryIndexHeader(const std::string& pxPath, const TableHeader& table) {
  DataFile px(pxPath, DataFile::Mode::Read);
  readLayout(px, table);
}

IndexPlan PlanPrimaryIndex(DataFile& px, const TableHeader& table, const std::vector<PxEntry>& entries) {
  PxLayout l = readLayout(px, table);
  std::uint8_t levels = 0;
  const auto blocks = buildTree(entries, l.perBlock, levels);
  std::size_t total = 0;
  for (const PxBlock& b : blocks) total += b.size();
  ByteWriter w(l.raw, px.name());
  const auto count = static_cast<std::uint16_t>(blocks.size());
  w.le32(off::kRecordCount, static_cast<std::uint32_t>(total));
  w.le16(off::kBlocksInUse, count);
  w.le16(off::kFileBlocks, count);
  w.le16(off::kFirstBlock, count == 0 ? 0 : 1);
  w.le16(off::kLastBlock, count);
  w.le16(off::kIndexRoot, count == 0 ? 0 : 1);
  w.u8(off::kIndexLevels, levels);
  w.le16(off::kChangeCounter, static_cast<std::uint16_t>(ByteReader(table.raw, Ru("заголовок")).le16(off::kChangeCounter) + 1));
  w.u8(off::kIndexChanges, static_cast<std::uint8_t>(l.raw[off::kIndexChanges] + 1));
  w.le16(off::kBlocksCopy, count);
  w.le16(off::kFirstFreeBlock, 0);
  IndexPlan plan;
  plan.patches.push_back({0, std::move(l.raw)});
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    plan.patches.push_back({l.headerSize + i * l.blockSize,
                            serialize(blocks[i], static_cast<std::uint16_t>(i + 1), count, l, table)});
  }
  plan.size = l.headerSize + std::uint64_t{count} * l.blockSize;
  return plan;
}

std::vector<PxEntry> ReadPrimaryIndex(const std::string& pxPath, const TableHeader& table) {
  DataFile px(pxPath, DataFile::Mode::Read);
  const PxLayout l = readLayout(px, table);
  const ByteReader h(l.raw, px.name());
  const std::uint16_t blocks = h.le16(off::kFileBlocks);
  const std::uint16_t root = h.le16(off::kIndexRoot);
  const std::uint8_t levels = h.u8(off::kIndexLevels);
  std::vector<PxEntry> lowest;
  if (blocks == 0) return lowest;
  if (levels < 1) Fail(px.name(), Ru("в заголовке индекса нет уровней"));
  std::vector<bool> seen(std::size_t{blocks} + 1, false);
  TableHeader shape;
  shape.recordSize = static_cast<std::uint16_t>(l.entrySize);
  shape.blockSize = l.blockSize;
  std::function<std::vector<PxEntry>(std::uint16_t, int)> walk = [&](std::uint16_t b, int level) {
    if (b == 0 || b > blocks || seen[b]) Fail(px.name(), Ru("неверная ссылка на блок индекса ") + std::to_string(b));
    seen[b] = true;
    const auto data = px.ReadAt(l.headerSize + std::uint64_t{b - 1u} * l.blockSize, l.blockSize);
    const ByteReader r(data, px.name());
    const int n = RecordsInBlock(r.les16(kBlockAddDataSize), shape);
    if (n <= 0) Fail(px.name(), Ru("блок индекса ") + std::to_string(b) + Ru(" пуст или испорчен"));
    std::vector<PxEntry> entries;
    for (int i = 0; i < n; ++i) {
      const ByteSpan e = r.bytes(kBlockHeaderSize + static_cast<std::size_t>(i) * l.entrySize, l.entrySize);
      entries.push_back({ToString(e.first(table.keySize)), shortAt(e.subspan(table.keySize, 2)),
                         shortAt(e.subspan(table.keySize + 2, 2))});
    }
    if (level == 1) return entries;
    for (const PxEntry& e : entries) {
      const auto below = walk(e.block, level - 1);
      unsigned sum = 0;
      for (const PxEntry& c : below) sum += c.count;
      if (below.front().key != e.key || std::min<unsigned>(sum, kMaxCount) != e.count) {
        Fail(px.name(), Ru("блок индекса ") + std::to_string(e.block) + Ru(" не согласован с уровнем выше"));
      }
      if (level == 2) lowest.insert(lowest.end(), below.begin(), below.end());
    }
    return entries;
  };
  const auto top = walk(root, levels);
  return levels == 1 ? top : lowest;
}

}  // namespace db::paradox
