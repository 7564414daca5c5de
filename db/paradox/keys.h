// The order of records in a keyed table: field by field over the key fields.
// Numbers, dates and logicals compare as their stored bytes (the format makes
// byte order the numeric order, blank first). Alpha fields under the 'ascii'
// sort order compare as bytes; under every other sort order by their letters
// with case folded (CP1251 upper case, Ё with Е), ties broken by the bytes.
// Borland's collation tables are not published; this agrees with them on
// letters and digits, which is what the engine checks before it writes.
#pragma once

#include <array>
#include <vector>

#include "db/paradox/bytes.h"
#include "db/paradox/codepage.h"
#include "db/paradox/header.h"

namespace db::paradox {

class KeyOrder {
 public:
  KeyOrder(const TableHeader& header, const CodePage& codePage);

  // a, b: the key bytes of two records (header.keySize bytes). <0, 0, >0.
  int Compare(ByteSpan a, ByteSpan b) const;

 private:
  struct KeyField {
    std::size_t offset;
    std::size_t width;
    bool alpha;
  };
  int compareAlpha(ByteSpan a, ByteSpan b) const;

  std::vector<KeyField> m_fields;
  bool m_foldAlpha = false;
  std::array<unsigned char, 256> m_weight{};
};

}  // namespace db::paradox
