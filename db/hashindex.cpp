#include "db/hashindex.h"

#include "core/text.h"

namespace db {

std::uint64_t MixHash(std::uint64_t key) {
  // splitmix64 finaliser: spreads every input bit over the low bits the slots use.
  key ^= key >> 30;
  key *= 0xbf58476d1ce4e5b9ull;
  key ^= key >> 27;
  key *= 0x94d049bb133111ebull;
  key ^= key >> 31;
  return key;
}

void FoldedHasher::Add(std::string_view cp1251Text) {
  for (char c : cp1251Text) {
    m_state ^= static_cast<unsigned char>(core::UpperChar(c));
    m_state *= 1099511628211ull;
  }
}

void FoldedHasher::Separate() {
  m_state ^= 0x100;
  m_state *= 1099511628211ull;
}

}  // namespace db
