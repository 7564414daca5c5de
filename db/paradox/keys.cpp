#include "db/paradox/keys.h"

#include <algorithm>
#include <cstring>

#include "db/paradox/companions.h"

namespace db::paradox {
namespace {

constexpr std::uint8_t kSortOrderAscii = 0x00;
constexpr unsigned char kCyrillicYo = 0xA8;  // Ё
constexpr unsigned char kCyrillicYe = 0xC5;  // Е

int compareBytes(ByteSpan a, ByteSpan b) {
  const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (c != 0) return c;
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

}  // namespace

KeyOrder::KeyOrder(const TableHeader& h, const CodePage& codePage)
    : m_foldAlpha(h.sortOrder != kSortOrderAscii) {
  for (int i = 0; i < h.keyFields; ++i) {
    const auto index = static_cast<std::size_t>(i);
    m_fields.push_back({h.fieldOffsets[index], h.fieldWidths[index], h.fields[index].type == FieldType::Alpha});
  }
  for (int b = 0; b < 256; ++b) {
    unsigned char c = UpperCp1251(codePage.Cp1251Byte(static_cast<unsigned char>(b)));
    if (c == kCyrillicYo) c = kCyrillicYe;
    m_weight[static_cast<std::size_t>(b)] = c;
  }
}

int KeyOrder::compareAlpha(ByteSpan a, ByteSpan b) const {
  if (m_foldAlpha) {
    for (std::size_t i = 0; i < a.size(); ++i) {
      const int d = m_weight[a[i]] - m_weight[b[i]];
      if (d != 0) return d;
    }
  }
  return compareBytes(a, b);
}

int KeyOrder::Compare(ByteSpan a, ByteSpan b) const {
  for (const KeyField& f : m_fields) {
    const ByteSpan fa = a.subspan(f.offset, f.width);
    const ByteSpan fb = b.subspan(f.offset, f.width);
    const int c = f.alpha ? compareAlpha(fa, fb) : compareBytes(fa, fb);
    if (c != 0) return c;
  }
  return 0;
}

}  // namespace db::paradox
