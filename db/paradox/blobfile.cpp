#include "db/paradox/blobfile.h"

#include "db/paradox/errors.h"

namespace db::paradox {
namespace {

constexpr std::size_t kReferenceSize = 10;  // offset u32, length u32, modification u16
constexpr std::uint32_t kUnitSize = 4096;
constexpr std::uint8_t kOwnBlockIndex = 0xFF;
constexpr std::uint8_t kTypeSingle = 2;
constexpr std::uint8_t kTypeSuballocated = 3;
constexpr std::size_t kSingleHeader = 9;     // type u8, units u16, length u32, modification u16
constexpr std::size_t kSingleLengthAt = 3;
constexpr std::size_t kSlotsAt = 12;
constexpr std::size_t kSlotSize = 5;         // start/16 u8, chunks u8, modification u16, bytes in last chunk u8
constexpr std::size_t kChunk = 16;

}  // namespace

BlobFile::BlobFile(std::string path, std::string tableName)
    : m_path(std::move(path)), m_tableName(std::move(tableName)) {}

DataFile& BlobFile::file() {
  if (!m_file) {
    if (m_path.empty()) Fail(m_tableName, Ru("поле ссылается на файл .MB, а его нет"));
    m_file = std::make_unique<DataFile>(m_path, DataFile::Mode::Read);
  }
  return *m_file;
}

std::string BlobFile::Read(ByteSpan field) {
  const std::size_t leader = field.size() - kReferenceSize;
  const ByteReader r(field, m_tableName);
  const std::uint32_t offset = r.le32(leader);
  const std::uint32_t length = r.le32(leader + 4);
  if (offset == 0) {
    if (length > leader) {
      Fail(m_tableName, Ru("длина значения BLOB (") + std::to_string(length) +
                            Ru(") больше его части в записи (") + std::to_string(leader) + ")");
    }
    return ToString(field.first(length));
  }
  return readStored(offset, length);
}

std::string BlobFile::readStored(std::uint32_t offset, std::uint32_t length) {
  DataFile& mb = file();
  const std::uint32_t blockAt = offset & ~std::uint32_t{0xFF};
  const auto index = static_cast<std::uint8_t>(offset & 0xFF);
  const auto block = mb.ReadAt(blockAt, std::min<std::uint64_t>(kUnitSize, mb.size() - std::min<std::uint64_t>(mb.size(), blockAt)));
  const ByteReader r(block, mb.name() + Ru(", блок со смещения ") + Hex(blockAt));
  const std::uint8_t type = r.u8(0);
  if (index == kOwnBlockIndex) {
    if (type != kTypeSingle || r.le32(kSingleLengthAt) != length) {
      Fail(r.where(), Ru("не тот блок или не та длина значения BLOB"));
    }
    return ToString(mb.ReadAt(blockAt + kSingleHeader, length));
  }
  const std::size_t slot = kSlotsAt + kSlotSize * index;
  const std::size_t start = r.u8(slot) * kChunk;
  const std::size_t chunks = r.u8(slot + 1);
  const std::size_t last = r.u8(slot + 4);
  if (type != kTypeSuballocated || start == 0 || chunks == 0 || last == 0 || last > kChunk ||
      (chunks - 1) * kChunk + last != length) {
    Fail(r.where(), Ru("запись ") + std::to_string(index) + Ru(" не соответствует значению BLOB длиной ") +
                        std::to_string(length));
  }
  return ToString(r.bytes(start, length));
}

}  // namespace db::paradox
