// The header of a .DB file: what the engine reads from it, and the bytes as they
// were on disk so that a write patches only the values it owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/bytes.h"
#include "db/paradox/table.h"

namespace db::paradox {

// DO NOT CHANGE: offsets of the file format (little-endian values).
namespace off {
constexpr std::size_t kRecordSize = 0x00;      // u16
constexpr std::size_t kHeaderSize = 0x02;      // u16
constexpr std::size_t kFileType = 0x04;        // u8
constexpr std::size_t kBlockSizeCode = 0x05;   // u8, KiB
constexpr std::size_t kRecordCount = 0x06;     // u32
constexpr std::size_t kBlocksInUse = 0x0A;     // u16
constexpr std::size_t kFileBlocks = 0x0C;      // u16
constexpr std::size_t kFirstBlock = 0x0E;      // u16
constexpr std::size_t kLastBlock = 0x10;       // u16
constexpr std::size_t kChangeCounter = 0x12;   // u16
constexpr std::size_t kIndexRoot = 0x1E;       // u16, .PX
constexpr std::size_t kIndexLevels = 0x20;     // u8, .PX
constexpr std::size_t kFieldCount = 0x21;      // u16
constexpr std::size_t kKeyFieldCount = 0x23;   // u16
constexpr std::size_t kEncryptionOld = 0x25;   // u32, levels 3 and index files
constexpr std::size_t kSortOrder = 0x29;       // u8
constexpr std::size_t kIndexChanges = 0x2C;    // u8, .PX
constexpr std::size_t kUpdateCounter = 0x2D;   // u16 (two counter bytes)
constexpr std::size_t kWriteProtected = 0x38;  // u8
constexpr std::size_t kVersion = 0x39;         // u8
constexpr std::size_t kBlocksCopy = 0x3A;      // u16, follows kFileBlocks
constexpr std::size_t kAutoInc = 0x49;         // u32, last value handed out
constexpr std::size_t kFirstFreeBlock = 0x4D;  // u16
constexpr std::size_t kHeaderUsed = 0x51;      // u16
constexpr std::size_t kFixedPartOld = 0x58;    // end of the common part
// Levels 4 and up, .DB files only:
constexpr std::size_t kVersionWord1 = 0x58;    // u16
constexpr std::size_t kVersionWord2 = 0x5A;    // u16
constexpr std::size_t kEncryption = 0x5C;      // u32
constexpr std::size_t kHighFieldId = 0x64;     // u16
constexpr std::size_t kFieldNumbersAt = 0x66;  // u16, + 0x58
constexpr std::size_t kCodePage = 0x6A;        // u16
constexpr std::size_t kCodePageFlags = 0x6C;   // two bytes, 01 01 in every sample
constexpr std::size_t kSortNameAt = 0x6E;      // u16, + 0x58
constexpr std::size_t kDeleteCounter = 0x70;   // u16
constexpr std::size_t kFixedPart = 0x78;       // end of the level 4+ part
constexpr std::size_t kDbMarker = 0x56;        // u8, 0x20 in .DB files
constexpr std::size_t kDbMarkerWord = 0x3E;    // u16, 0x0F1F in .DB files
}  // namespace off

// Data and index blocks start with these (little-endian).
constexpr std::size_t kBlockNext = 0;         // u16, 0 at the end of a chain
constexpr std::size_t kBlockPrev = 2;         // u16, 0 at the start
constexpr std::size_t kBlockAddDataSize = 4;  // s16, (records - 1) * record size
constexpr std::size_t kBlockHeaderSize = 6;
constexpr std::uint8_t kFileTypeKeyed = 0;
constexpr std::uint8_t kFileTypeIndex = 1;
constexpr std::uint8_t kFileTypeUnkeyed = 2;
constexpr std::uint16_t kMaxBlocks = 0xFFFF;

struct TableHeader {
  std::vector<std::uint8_t> raw;  // headerSize bytes as read
  std::uint16_t recordSize = 0;
  std::uint16_t headerSize = 0;
  std::uint8_t fileType = 0;
  std::uint32_t blockSize = 0;
  std::uint32_t recordCount = 0;
  std::uint16_t blocksInUse = 0;
  std::uint16_t fileBlocks = 0;
  std::uint16_t firstBlock = 0;
  std::uint16_t lastBlock = 0;
  std::uint16_t firstFreeBlock = 0;
  std::uint8_t version = 0;
  int level = 0;  // 3, 4, 5 or 7
  bool encrypted = false;
  bool writeProtected = false;
  int codePage = 0;
  std::uint8_t sortOrder = 0;
  std::string sortOrderName;
  std::uint32_t autoInc = 0;
  std::vector<Field> fields;
  std::vector<std::size_t> fieldOffsets;  // in the record
  std::vector<std::size_t> fieldWidths;   // bytes in the record
  int keyFields = 0;
  std::size_t keySize = 0;  // bytes of the key fields at the start of a record

  bool keyed() const { return fileType == kFileTypeKeyed; }
  std::size_t recordsPerBlock() const { return (blockSize - kBlockHeaderSize) / recordSize; }
  std::uint64_t blockOffset(std::uint16_t block) const {
    return headerSize + std::uint64_t{block - 1u} * blockSize;
  }
};

// Bytes a record spends on a field of this type and size byte, 0 when the pair
// is not valid.
std::size_t FieldWidth(FieldType type, int sizeByte);

// The fixed part of every table file (.DB and .PX), long enough to know the
// header size. Throws Error when the file is shorter.
constexpr std::size_t kMinHeader = off::kFixedPartOld;

// REQUIRES: raw holds the whole header (headerSize bytes, read after a first
// look at the fixed part). fileSize: of the .DB, to check the declared blocks.
TableHeader ParseTableHeader(std::vector<std::uint8_t> raw, std::uint64_t fileSize,
                             const std::string& fileName);

// Writes the counts a table write owns back into raw.
void StoreCounts(TableHeader& header);

// Code page of a table that does not record one (level 3, or 0 in the header):
// the DOS code page its sort order was made for.
int CodePageOfSortOrder(std::uint8_t sortOrder);

}  // namespace db::paradox
