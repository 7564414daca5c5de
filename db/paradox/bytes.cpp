#include "db/paradox/bytes.h"

#include "db/paradox/errors.h"

namespace db::paradox {

std::string Hex(std::uint64_t value) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  return "0x" + out;
}

std::string FileNameOf(std::string_view path) {
  const auto slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

void ByteReader::require(std::size_t offset, std::size_t count) const {
  if (offset > m_data.size() || count > m_data.size() - offset) {
    Fail(m_where, Ru("данные обрываются (нужны байты ") + Hex(offset) + ".." +
                      Hex(offset + count) + Ru(", есть ") + std::to_string(m_data.size()) +
                      Ru(" байт)"));
  }
}

std::uint8_t ByteReader::u8(std::size_t offset) const {
  require(offset, 1);
  return m_data[offset];
}

std::uint16_t ByteReader::le16(std::size_t offset) const {
  require(offset, 2);
  return static_cast<std::uint16_t>(m_data[offset] | (m_data[offset + 1] << 8));
}

std::int16_t ByteReader::les16(std::size_t offset) const {
  return static_cast<std::int16_t>(le16(offset));
}

std::uint32_t ByteReader::le32(std::size_t offset) const {
  require(offset, 4);
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = (v << 8) | m_data[offset + i];
  return v;
}

ByteSpan ByteReader::bytes(std::size_t offset, std::size_t count) const {
  require(offset, count);
  return m_data.subspan(offset, count);
}

std::string ByteReader::cstring(std::size_t offset) const {
  if (offset >= m_data.size()) {
    Fail(m_where, Ru("строка со смещения ") + Hex(offset) + Ru(" за пределами данных (") +
                      std::to_string(m_data.size()) + Ru(" байт)"));
  }
  for (std::size_t i = offset; i < m_data.size(); ++i) {
    if (m_data[i] == 0) return ToString(m_data.subspan(offset, i - offset));
  }
  Fail(m_where, Ru("строка со смещения ") + Hex(offset) + Ru(" не завершена нулём"));
}

void ByteWriter::require(std::size_t offset, std::size_t count) const {
  if (offset > m_data.size() || count > m_data.size() - offset) {
    Fail(m_where, Ru("запись за пределами буфера (") + Hex(offset) + "+" +
                      std::to_string(count) + " > " + std::to_string(m_data.size()) + ")");
  }
}

void ByteWriter::u8(std::size_t offset, std::uint8_t value) {
  require(offset, 1);
  m_data[offset] = value;
}

void ByteWriter::le16(std::size_t offset, std::uint16_t value) {
  require(offset, 2);
  m_data[offset] = static_cast<std::uint8_t>(value);
  m_data[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void ByteWriter::le32(std::size_t offset, std::uint32_t value) {
  require(offset, 4);
  for (std::size_t i = 0; i < 4; ++i) m_data[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void ByteWriter::bytes(std::size_t offset, ByteSpan value) {
  require(offset, value.size());
  std::copy(value.begin(), value.end(), m_data.begin() + static_cast<std::ptrdiff_t>(offset));
}

std::uint64_t ReadBigEndian(ByteSpan data) {
  std::uint64_t v = 0;
  for (std::uint8_t b : data) v = (v << 8) | b;
  return v;
}

void WriteBigEndian(MutableByteSpan out, std::uint64_t value) {
  for (std::size_t i = out.size(); i-- > 0;) {
    out[i] = static_cast<std::uint8_t>(value);
    value >>= 8;
  }
}

}  // namespace db::paradox
