// The primary index (.PX) of a keyed table: one entry per data block (the key
// of its first record, the block number, its record count), in blocks of its
// own, and above them as many levels as needed until one root block indexes
// the level below. The engine rebuilds it whole after every keyed write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/file.h"
#include "db/paradox/header.h"
#include "db/paradox/journal.h"

namespace db::paradox {

struct PxEntry {
  std::string key;  // key bytes, as in the record
  std::uint16_t block = 0;
  std::uint16_t count = 0;
  bool operator==(const PxEntry&) const = default;
};

// Throws Error when the .PX at pxPath does not fit the table's key.
void CheckPrimaryIndexHeader(const std::string& pxPath, const TableHeader& table);

// What replaces the index blocks by a tree over entries (one per data block,
// in chain order), keeping every header byte the index does not own: whole
// blocks and the header as patches, and the size the .PX is cut to. table: the
// .DB's header after the write.
struct IndexPlan {
  std::vector<Patch> patches;
  std::uint64_t size = 0;
};
IndexPlan PlanPrimaryIndex(DataFile& px, const TableHeader& table, const std::vector<PxEntry>& entries);

// Walks the index from its root and returns the entries of its lowest level.
// Throws Error when a level's keys or counts disagree with the level below.
std::vector<PxEntry> ReadPrimaryIndex(const std::string& pxPath, const TableHeader& table);

}  // namespace db::paradox
