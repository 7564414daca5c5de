// What an open table knows about its files: the parsed header, the block
// chain, the companion files, and whether (and why not) it may be written.
// A write keeps it up to date in place (editor.h), so that the next write
// needs no look at blocks it does not change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/paradox/chain.h"
#include "db/paradox/codepage.h"
#include "db/paradox/companions.h"
#include "db/paradox/files.h"
#include "db/paradox/header.h"
#include "db/paradox/table.h"

namespace db::paradox {

struct TableState {
  std::shared_ptr<FileSystem> files;
  std::string path;      // CP1251
  std::string fileName;  // for messages
  TableHeader header;
  CodePage codePage{1251};
  Chain chain;
  // Stored position of each chain block's first record, then the total; the
  // first startsValid entries are up to date (see PositionStarts).
  std::vector<std::uint64_t> starts;
  std::size_t startsValid = 0;
  Companions companions;
  std::string readOnlyReason;  // CP1251; empty when writable
  FileStamp stamp;
};

// Rolls back a write a crash left unfinished (journal.h), then reads the header
// and the chain.
std::shared_ptr<TableState> LoadTableState(const std::string& path, std::shared_ptr<FileSystem> files = nullptr);

// Size and modification time of the file; throws Error when it is missing.
FileStamp StatStamp(const std::string& path);
// Adds the header's change counters; head: the first bytes of the .DB.
void SetCounters(FileStamp& stamp, ByteSpan head);

// starts, brought up to date from the first block whose count changed.
const std::vector<std::uint64_t>& PositionStarts(TableState& state);
// After a change to the chain at block index `index` (its count, or a block
// inserted or removed there).
void InvalidateStarts(TableState& state, std::size_t index);

// Decodes one record into a row.
class BlobFile;
Row DecodeRecord(const TableState& state, ByteSpan record, BlobFile& blobs);

}  // namespace db::paradox
