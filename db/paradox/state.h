// What an open table knows about its files: the parsed header, the block
// chain, the companion files, and whether (and why not) it may be written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/paradox/chain.h"
#include "db/paradox/codepage.h"
#include "db/paradox/companions.h"
#include "db/paradox/header.h"
#include "db/paradox/table.h"

namespace db::paradox {

struct TableState {
  std::string path;      // CP1251
  std::string fileName;  // for messages
  TableHeader header;
  CodePage codePage{1251};
  Chain chain;
  std::vector<std::uint64_t> starts;  // stored position of each chain block's first record, then the total
  Companions companions;
  std::string readOnlyReason;  // CP1251; empty when writable
  FileStamp stamp;
};

std::shared_ptr<TableState> LoadTableState(const std::string& path);

// Size and modification time of the file; throws Error when it is missing.
FileStamp StatStamp(const std::string& path);
// Adds the header's change counters; head: the first bytes of the .DB.
void SetCounters(FileStamp& stamp, ByteSpan head);

// Fills starts from chain.counts.
void ComputeStarts(TableState& state);

// Decodes one record into a row.
class BlobFile;
Row DecodeRecord(const TableState& state, ByteSpan record, BlobFile& blobs);

}  // namespace db::paradox
