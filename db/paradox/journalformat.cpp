#include "db/paradox/journalformat.h"

#include <array>
#include <cstring>

namespace db::paradox {
namespace {

constexpr char kMagic[8] = {'M', 'V', 'J', 'R', 'N', 'L', '0', '1'};

class Writer {
 public:
  void u16(std::uint16_t v) { le(v, 2); }
  void u32(std::uint32_t v) { le(v, 4); }
  void u64(std::uint64_t v) { le(v, 8); }
  void bytes(ByteSpan b) { m_out.insert(m_out.end(), b.begin(), b.end()); }
  std::vector<std::uint8_t>& out() { return m_out; }

 private:
  void le(std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) m_out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }
  std::vector<std::uint8_t> m_out;
};

// Reads forward; a read past the end sets failed and gives zeros.
class Reader {
 public:
  explicit Reader(ByteSpan data) : m_data(data) {}
  bool failed() const { return m_failed; }
  bool atEnd() const { return m_at == m_data.size(); }
  std::uint64_t le(int n) {
    if (!need(static_cast<std::size_t>(n))) return 0;
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= std::uint64_t{m_data[m_at + static_cast<std::size_t>(i)]} << (8 * i);
    m_at += static_cast<std::size_t>(n);
    return v;
  }
  ByteSpan bytes(std::uint64_t n) {
    if (!need(n)) return {};
    const ByteSpan out = m_data.subspan(m_at, static_cast<std::size_t>(n));
    m_at += static_cast<std::size_t>(n);
    return out;
  }

 private:
  bool need(std::uint64_t n) {
    if (m_failed || n > m_data.size() - m_at) m_failed = true;
    return !m_failed;
  }
  ByteSpan m_data;
  std::size_t m_at = 0;
  bool m_failed = false;
};

constexpr std::size_t kCrcSize = 4;

}  // namespace

std::uint32_t Crc32(ByteSpan bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::vector<std::uint8_t> EncodeJournal(const JournalContent& j) {
  Writer w;
  w.bytes(AsBytes(std::string_view(kMagic, sizeof kMagic)));
  w.u16(static_cast<std::uint16_t>(j.files.size()));
  for (const JournalFile& f : j.files) {
    w.u16(static_cast<std::uint16_t>(f.name.size()));
    w.bytes(AsBytes(f.name));
    w.u64(f.size);
  }
  w.u32(static_cast<std::uint32_t>(j.ranges.size()));
  for (const JournalRange& r : j.ranges) {
    w.u16(static_cast<std::uint16_t>(r.file));
    w.u64(r.offset);
    w.u32(static_cast<std::uint32_t>(r.original.size()));
    w.bytes(r.original);
  }
  w.u32(static_cast<std::uint32_t>(j.headerAfter.size()));
  w.bytes(j.headerAfter);
  w.u32(Crc32(w.out()));
  return std::move(w.out());
}

std::optional<JournalContent> DecodeJournal(ByteSpan bytes) {
  if (bytes.size() < sizeof kMagic + kCrcSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) return std::nullopt;
  const ByteSpan body = bytes.first(bytes.size() - kCrcSize);
  Reader crc(bytes.subspan(body.size()));
  if (crc.le(4) != Crc32(body)) return std::nullopt;
  Reader r(body.subspan(sizeof kMagic));
  JournalContent j;
  const auto files = r.le(2);
  for (std::uint64_t i = 0; i < files && !r.failed(); ++i) {
    const ByteSpan name = r.bytes(r.le(2));
    j.files.push_back({ToString(name), r.le(8)});
  }
  const auto ranges = r.le(4);
  for (std::uint64_t i = 0; i < ranges && !r.failed(); ++i) {
    JournalRange range;
    range.file = static_cast<std::size_t>(r.le(2));
    range.offset = r.le(8);
    const ByteSpan original = r.bytes(r.le(4));
    range.original.assign(original.begin(), original.end());
    if (range.file >= j.files.size()) return std::nullopt;
    j.ranges.push_back(std::move(range));
  }
  const ByteSpan after = r.bytes(r.le(4));
  j.headerAfter.assign(after.begin(), after.end());
  if (r.failed() || !r.atEnd() || j.files.empty()) return std::nullopt;
  return j;
}

}  // namespace db::paradox
