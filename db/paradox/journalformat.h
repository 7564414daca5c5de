// The bytes of NAME.DB-journal (little-endian):
//   "MVJRNL01"                               8 bytes
//   u16 files; per file: u16 name length, the file name (CP1251, in the
//       table's folder; the .DB first), u64 its size before the write
//   u32 ranges; per range: u16 file, u64 offset, u32 length, the bytes the
//       range held before the write (the first range: the .DB's fixed header)
//   u32 length, the .DB's fixed header as the write leaves it
//   u32 CRC-32 of everything before it
// A journal that ends early or fails its CRC was torn while it was written,
// before any table file changed.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "db/paradox/bytes.h"

namespace db::paradox {

struct JournalFile {
  std::string name;
  std::uint64_t size = 0;
};

struct JournalRange {
  std::size_t file = 0;
  std::uint64_t offset = 0;
  std::vector<std::uint8_t> original;
};

struct JournalContent {
  std::vector<JournalFile> files;
  std::vector<JournalRange> ranges;
  std::vector<std::uint8_t> headerAfter;
};

std::vector<std::uint8_t> EncodeJournal(const JournalContent& journal);
// nullopt when the bytes are not a whole journal.
std::optional<JournalContent> DecodeJournal(ByteSpan bytes);

std::uint32_t Crc32(ByteSpan bytes);

}  // namespace db::paradox
