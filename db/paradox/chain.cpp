#include "db/paradox/chain.h"

#include <algorithm>

#include "db/paradox/errors.h"

namespace db::paradox {
namespace {

constexpr std::size_t kScanChunkBytes = 1 << 20;

struct BlockLinks {
  std::uint16_t next = 0;
  std::uint16_t prev = 0;
  std::int16_t addDataSize = 0;
  std::string firstKey;
};

// Index 0 unused: blocks are numbered from 1.
std::vector<BlockLinks> readLinks(DataFile& file, const TableHeader& h) {
  std::vector<BlockLinks> links(std::size_t{h.fileBlocks} + 1);
  const std::size_t perChunk = std::max<std::size_t>(1, kScanChunkBytes / h.blockSize);
  for (std::size_t first = 1; first <= h.fileBlocks; first += perChunk) {
    const std::size_t count = std::min<std::size_t>(perChunk, h.fileBlocks - first + 1);
    const auto data = file.ReadAt(h.blockOffset(static_cast<std::uint16_t>(first)), count * h.blockSize);
    for (std::size_t i = 0; i < count; ++i) {
      const ByteReader r(ByteSpan(data).subspan(i * h.blockSize, h.blockSize), file.name());
      BlockLinks& l = links[first + i];
      l.next = r.le16(kBlockNext);
      l.prev = r.le16(kBlockPrev);
      l.addDataSize = r.les16(kBlockAddDataSize);
      if (h.keyed()) l.firstKey = ToString(r.bytes(kBlockHeaderSize, h.keySize));
    }
  }
  return links;
}

std::string blockName(std::uint16_t block) { return Ru("блок ") + std::to_string(block); }

void walkChain(Chain& chain, const std::vector<BlockLinks>& links, const TableHeader& h,
               const std::string& file) {
  std::vector<bool> seen(links.size(), false);
  std::uint16_t prev = 0;
  std::uint64_t records = 0;
  for (std::uint16_t b = h.firstBlock; b != 0; prev = b, b = links[b].next) {
    if (b > h.fileBlocks) {
      Fail(file, (prev == 0 ? Ru("первый блок ") : blockName(prev) + Ru(": следующий блок ")) +
                     std::to_string(b) + Ru(" за пределами файла (в файле ") +
                     std::to_string(h.fileBlocks) + Ru(" блоков)"));
    }
    if (seen[b]) Fail(file, Ru("цепочка блоков зациклена на блоке ") + std::to_string(b));
    seen[b] = true;
    if (links[b].prev != prev) {
      Fail(file, blockName(b) + Ru(": ссылка назад на блок ") + std::to_string(links[b].prev) +
                     Ru(", ожидался ") + std::to_string(prev));
    }
    const int count = RecordsInBlock(links[b].addDataSize, h);
    if (count < 0) {
      Fail(file, blockName(b) + Ru(": неверное число записей (addDataSize ") +
                     std::to_string(links[b].addDataSize) + ")");
    }
    chain.blocks.push_back(b);
    chain.counts.push_back(static_cast<std::uint16_t>(count));
    if (h.keyed()) chain.firstKeys.push_back(count > 0 ? links[b].firstKey : std::string());
    records += static_cast<std::uint64_t>(count);
  }
  if (prev != h.lastBlock) {
    Fail(file, Ru("цепочка блоков кончается блоком ") + std::to_string(prev) +
                   Ru(", а в заголовке последний блок ") + std::to_string(h.lastBlock));
  }
  if (records != h.recordCount) {
    Fail(file, Ru("в заголовке ") + std::to_string(h.recordCount) + Ru(" записей, а в блоках ") +
                   std::to_string(records));
  }
}

void walkFreeList(Chain& chain, const std::vector<BlockLinks>& links, const TableHeader& h) {
  std::vector<bool> used(links.size(), false);
  for (std::uint16_t b : chain.blocks) used[b] = true;
  for (std::uint16_t b = h.firstFreeBlock; b != 0; b = links[b].next) {
    if (b > h.fileBlocks || used[b]) {
      chain.freeListProblem = Ru("список свободных блоков испорчен (блок ") + std::to_string(b) + ")";
      chain.freeBlocks.clear();
      return;
    }
    used[b] = true;
    chain.freeBlocks.push_back(b);
  }
}

}  // namespace

int RecordsInBlock(std::int16_t addDataSize, const TableHeader& h) {
  if (addDataSize < 0) return 0;
  const auto size = static_cast<std::size_t>(addDataSize);
  if (size % h.recordSize != 0) return -1;
  const std::size_t count = size / h.recordSize + 1;
  return count <= h.recordsPerBlock() ? static_cast<int>(count) : -1;
}

std::int16_t AddDataSize(std::size_t records, const TableHeader& h) {
  const long long value = (static_cast<long long>(records) - 1) * h.recordSize;
  return static_cast<std::int16_t>(value);
}

Chain ScanChain(DataFile& file, const TableHeader& h) {
  const auto links = readLinks(file, h);
  Chain chain;
  walkChain(chain, links, h, file.name());
  walkFreeList(chain, links, h);
  return chain;
}

}  // namespace db::paradox
