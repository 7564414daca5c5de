// Bounds-checked access to on-disk bytes. Every decode of a Paradox file goes
// through these: file structures are little-endian, field values inside records
// big-endian. An access past the end throws Error naming the region.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace db::paradox {

using ByteSpan = std::span<const std::uint8_t>;
using MutableByteSpan = std::span<std::uint8_t>;

// A read-only window on some bytes of a file; `where` names it in errors,
// e.g. "PlayList.db, заголовок".
class ByteReader {
 public:
  ByteReader(ByteSpan data, std::string where) : m_data(data), m_where(std::move(where)) {}

  std::size_t size() const { return m_data.size(); }
  const std::string& where() const { return m_where; }

  std::uint8_t u8(std::size_t offset) const;
  std::uint16_t le16(std::size_t offset) const;
  std::int16_t les16(std::size_t offset) const;
  std::uint32_t le32(std::size_t offset) const;
  ByteSpan bytes(std::size_t offset, std::size_t count) const;
  // The NUL-terminated text at offset; throws when no NUL comes before the end.
  std::string cstring(std::size_t offset) const;

 private:
  void require(std::size_t offset, std::size_t count) const;

  ByteSpan m_data;
  std::string m_where;
};

// The same checks for writing into a buffer the program owns.
class ByteWriter {
 public:
  ByteWriter(MutableByteSpan data, std::string where) : m_data(data), m_where(std::move(where)) {}

  void u8(std::size_t offset, std::uint8_t value);
  void le16(std::size_t offset, std::uint16_t value);
  void le32(std::size_t offset, std::uint32_t value);
  void bytes(std::size_t offset, ByteSpan value);

 private:
  void require(std::size_t offset, std::size_t count) const;

  MutableByteSpan m_data;
  std::string m_where;
};

// Big-endian unsigned integers of 1 to 8 bytes (record values).
// REQUIRES: data.size() <= 8.
std::uint64_t ReadBigEndian(ByteSpan data);
void WriteBigEndian(MutableByteSpan out, std::uint64_t value);

inline ByteSpan AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

inline std::string ToString(ByteSpan data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

}  // namespace db::paradox
