#include "db/paradox/header.h"

#include "db/paradox/errors.h"

namespace db::paradox {
namespace {

constexpr std::size_t kTableNameOld = 79;   // levels 3 to 5
constexpr std::size_t kTableNameNew = 261;  // level 7
constexpr std::uint8_t kVersionLevel7 = 0x0C;
constexpr std::uint8_t kSortOrderCyrr = 0xC0;  // 'cyrr', Paradox Cyrillic for code page 866

bool knownType(std::uint8_t code) {
  switch (static_cast<FieldType>(code)) {
    case FieldType::Alpha: case FieldType::Date: case FieldType::Short: case FieldType::Long:
    case FieldType::Currency: case FieldType::Number: case FieldType::Logical:
    case FieldType::Memo: case FieldType::Blob: case FieldType::FormattedMemo:
    case FieldType::Ole: case FieldType::Graphic: case FieldType::Time:
    case FieldType::Timestamp: case FieldType::AutoInc: case FieldType::Bcd:
    case FieldType::Bytes:
      return true;
  }
  return false;
}

int levelOf(std::uint8_t version) {
  if (version == 3 || version == 4) return 3;
  if (version >= 5 && version <= 9) return 4;
  if (version == 10 || version == 11) return 5;
  if (version == kVersionLevel7) return 7;
  return 0;
}

void parseFixed(TableHeader& h, const ByteReader& r, std::uint64_t fileSize, const std::string& file) {
  h.recordSize = r.le16(off::kRecordSize);
  h.headerSize = r.le16(off::kHeaderSize);
  h.fileType = r.u8(off::kFileType);
  const std::uint8_t blockCode = r.u8(off::kBlockSizeCode);
  h.recordCount = r.le32(off::kRecordCount);
  h.blocksInUse = r.le16(off::kBlocksInUse);
  h.fileBlocks = r.le16(off::kFileBlocks);
  h.firstBlock = r.le16(off::kFirstBlock);
  h.lastBlock = r.le16(off::kLastBlock);
  h.sortOrder = r.u8(off::kSortOrder);
  h.writeProtected = r.u8(off::kWriteProtected) != 0;
  h.version = r.u8(off::kVersion);
  h.autoInc = r.le32(off::kAutoInc);
  h.firstFreeBlock = r.le16(off::kFirstFreeBlock);
  h.level = levelOf(h.version);
  if (h.fileType != kFileTypeKeyed && h.fileType != kFileTypeUnkeyed) {
    Fail(file, Ru("это не файл данных таблицы (тип файла ") + std::to_string(h.fileType) + ")");
  }
  if (h.level == 0) Fail(file, Ru("неизвестная версия формата (") + Hex(h.version) + ")");
  if (blockCode < 1 || blockCode > 32) {
    Fail(file, Ru("недопустимый размер блока (код ") + std::to_string(blockCode) + ")");
  }
  h.blockSize = blockCode * 1024u;
  const std::uint64_t needed = h.headerSize + std::uint64_t{h.fileBlocks} * h.blockSize;
  if (fileSize < needed) {
    Fail(file, Ru("файл короче, чем указано в заголовке (") + std::to_string(h.fileBlocks) +
                   Ru(" блоков требуют ") + std::to_string(needed) + Ru(" байт, в файле ") +
                   std::to_string(fileSize) + ")");
  }
}

void parseFields(TableHeader& h, const ByteReader& r, const std::string& file) {
  const std::uint16_t count = r.le16(off::kFieldCount);
  const std::uint16_t keys = r.le16(off::kKeyFieldCount);
  if (count == 0 || count > 255) {
    Fail(file, Ru("недопустимое число полей (") + std::to_string(count) + ")");
  }
  if (h.keyed() ? (keys == 0 || keys > count) : keys != 0) {
    Fail(file, Ru("недопустимое число ключевых полей (") + std::to_string(keys) + Ru(" из ") +
                   std::to_string(count) + ")");
  }
  h.keyFields = keys;
  const std::size_t infoAt = h.level >= 4 ? off::kFixedPart : off::kFixedPartOld;
  std::size_t recordBytes = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t type = r.u8(infoAt + 2 * i);
    const std::uint8_t size = r.u8(infoAt + 2 * i + 1);
    const std::size_t width = knownType(type) ? FieldWidth(static_cast<FieldType>(type), size) : 0;
    if (width == 0) {
      Fail(file, Ru("поле ") + std::to_string(i + 1) + Ru(": недопустимый тип ") + Hex(type) +
                     Ru(" с размером ") + std::to_string(size));
    }
    h.fields.push_back(Field{"", static_cast<FieldType>(type), size});
    h.fieldOffsets.push_back(recordBytes);
    h.fieldWidths.push_back(width);
    recordBytes += width;
    if (i + 1 == static_cast<std::size_t>(keys)) h.keySize = recordBytes;
  }
  if (recordBytes != h.recordSize) {
    Fail(file, Ru("размер записи в заголовке (") + std::to_string(h.recordSize) +
                   Ru(") не равен сумме размеров полей (") + std::to_string(recordBytes) + ")");
  }
  if (h.recordSize + kBlockHeaderSize > h.blockSize) {
    Fail(file, Ru("запись (") + std::to_string(h.recordSize) + Ru(" байт) не помещается в блок (") +
                   std::to_string(h.blockSize) + Ru(" байт)"));
  }
}

// Names, and for level 4 and up the field numbers and the sort order name.
void parseNames(TableHeader& h, const ByteReader& r) {
  const std::size_t count = h.fields.size();
  const std::size_t infoAt = h.level >= 4 ? off::kFixedPart : off::kFixedPartOld;
  const std::size_t nameLength = h.version >= kVersionLevel7 ? kTableNameNew : kTableNameOld;
  std::size_t pos = infoAt + 2 * count + 4 + 4 * count + nameLength;
  for (Field& f : h.fields) {
    f.name = r.cstring(pos);
    pos += f.name.size() + 1;
  }
  // Encrypted tables keep their password data here; the rest is informative.
  if (h.encrypted || h.level < 4) return;
  pos += 2 * count;
  if (pos < r.size()) {
    const ByteSpan rest = r.bytes(pos, r.size() - pos);
    for (std::size_t i = 0; i < rest.size() && rest[i] != 0; ++i) h.sortOrderName += static_cast<char>(rest[i]);
  }
}

}  // namespace

std::size_t FieldWidth(FieldType type, int size) {
  switch (type) {
    case FieldType::Alpha:
    case FieldType::Bytes:
      return size >= 1 && size <= 255 ? static_cast<std::size_t>(size) : 0;
    case FieldType::Short: return size == 2 ? 2 : 0;
    case FieldType::Logical: return size == 1 ? 1 : 0;
    case FieldType::Date:
    case FieldType::Long:
    case FieldType::Time:
    case FieldType::AutoInc:
      return size == 4 ? 4 : 0;
    case FieldType::Currency:
    case FieldType::Number:
    case FieldType::Timestamp:
      return size == 8 ? 8 : 0;
    case FieldType::Bcd: return size >= 0 && size <= 32 ? 17 : 0;
    case FieldType::Memo:
    case FieldType::Blob:
    case FieldType::FormattedMemo:
    case FieldType::Ole:
    case FieldType::Graphic:
      return size >= 10 && size <= 255 ? static_cast<std::size_t>(size) : 0;
  }
  return 0;
}

int CodePageOfSortOrder(std::uint8_t sortOrder) {
  return sortOrder == kSortOrderCyrr ? 866 : 437;
}

TableHeader ParseTableHeader(std::vector<std::uint8_t> raw, std::uint64_t fileSize,
                             const std::string& file) {
  TableHeader h;
  h.raw = std::move(raw);
  const ByteReader r(h.raw, file + Ru(", заголовок"));
  parseFixed(h, r, fileSize, file);
  const std::size_t fixedEnd = h.level >= 4 ? off::kFixedPart : off::kFixedPartOld;
  if (h.headerSize < fixedEnd || h.raw.size() != h.headerSize) {
    Fail(file, Ru("недопустимый размер заголовка (") + std::to_string(h.headerSize) + Ru(" байт)"));
  }
  h.encrypted = h.level >= 4 ? r.le32(off::kEncryption) != 0 : r.le32(off::kEncryptionOld) != 0;
  parseFields(h, r, file);
  parseNames(h, r);
  h.codePage = h.level >= 4 ? r.le16(off::kCodePage) : 0;
  if (h.codePage == 0) h.codePage = CodePageOfSortOrder(h.sortOrder);
  return h;
}

void StoreCounts(TableHeader& h) {
  ByteWriter w(h.raw, Ru("заголовок"));
  w.le32(off::kRecordCount, h.recordCount);
  w.le16(off::kBlocksInUse, h.blocksInUse);
  w.le16(off::kFileBlocks, h.fileBlocks);
  w.le16(off::kFirstBlock, h.firstBlock);
  w.le16(off::kLastBlock, h.lastBlock);
  w.le16(off::kFirstFreeBlock, h.firstFreeBlock);
  w.le16(off::kBlocksCopy, h.fileBlocks);
}

}  // namespace db::paradox
