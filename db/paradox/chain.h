// The block chain of a .DB: which blocks hold records, in what order, and which
// are free. Built by reading every block header once and checking the links.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/file.h"
#include "db/paradox/header.h"

namespace db::paradox {

struct Chain {
  std::vector<std::uint16_t> blocks;   // block numbers in chain order
  std::vector<std::uint16_t> counts;   // records in each of them
  std::vector<std::string> firstKeys;  // keyed tables: key bytes of each block's first record
  std::vector<std::uint16_t> freeBlocks;  // the free list, head first
  std::string freeListProblem;  // CP1251; non-empty when the free list is unusable
};

// Throws Error when the chain leaves the file, loops, disagrees with its back
// links, or its record counts disagree with the header.
Chain ScanChain(DataFile& file, const TableHeader& header);

// Records in a block whose header says addDataSize; -1 when no valid count.
int RecordsInBlock(std::int16_t addDataSize, const TableHeader& header);
std::int16_t AddDataSize(std::size_t records, const TableHeader& header);

}  // namespace db::paradox
