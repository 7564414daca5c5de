// An open-addressing hash from keys to chains of row numbers. The keys are not
// stored: the caller hashes them and tells, for a row already in the index,
// whether its key equals the one at hand. Rows must be added in ascending
// order, so every chain lists its rows in that order and its head is the first
// row with the key.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace db {

class HashIndex {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

  // REQUIRES: row is greater than every row added before.
  // sameKey(otherRow) -> bool: the key of otherRow equals the new row's key.
  template <class SameKey>
  void Add(std::uint32_t row, std::uint64_t hash, SameKey&& sameKey) {
    if ((m_used + 1) * 2 > m_slots.size()) grow();
    if (row >= m_next.size()) {
      // Grows by an eighth: the index of a whole table gains rows one by one.
      if (row >= m_next.capacity()) m_next.reserve(static_cast<std::size_t>(row) + row / 8 + 64);
      m_next.resize(static_cast<std::size_t>(row) + 1, kNone);
    }
    Slot& slot = m_slots[probe(hash, sameKey)];
    if (slot.head == kNone) {
      slot = Slot{hash, row, row, 1};
      ++m_used;
    } else {
      m_next[slot.tail] = row;
      slot.tail = row;
      ++slot.count;
    }
  }

  // The first row of the chain whose key matches, or kNone.
  // matches(row) -> bool: the key of row equals the key looked for.
  template <class Matches>
  std::uint32_t Find(std::uint64_t hash, Matches&& matches) const {
    if (m_slots.empty()) return kNone;
    return m_slots[probe(hash, matches)].head;
  }

  // How many rows were added under the key (rows deleted since included).
  template <class Matches>
  std::uint32_t Count(std::uint64_t hash, Matches&& matches) const {
    if (m_slots.empty()) return 0;
    return m_slots[probe(hash, matches)].count;
  }

  // The row after this one in its chain, or kNone.
  std::uint32_t Next(std::uint32_t row) const { return row < m_next.size() ? m_next[row] : kNone; }

  std::size_t MemoryUsage() const {
    return m_slots.capacity() * sizeof(Slot) + m_next.capacity() * sizeof(std::uint32_t);
  }

 private:
  struct Slot {
    std::uint64_t hash = 0;
    std::uint32_t head = kNone;
    std::uint32_t tail = kNone;
    std::uint32_t count = 0;
  };

  // The slot holding the key, or the empty slot where it would go.
  template <class Matches>
  std::size_t probe(std::uint64_t hash, Matches& matches) const {
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    for (;;) {
      const Slot& s = m_slots[i];
      if (s.head == kNone) return i;
      if (s.hash == hash && matches(s.head)) return i;
      i = (i + 1) & mask;
    }
  }

  void grow() {
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(old.empty() ? 16 : old.size() * 2, Slot{});
    const std::size_t mask = m_slots.size() - 1;
    for (const Slot& s : old) {
      if (s.head == kNone) continue;
      std::size_t i = static_cast<std::size_t>(s.hash) & mask;
      while (m_slots[i].head != kNone) i = (i + 1) & mask;
      m_slots[i] = s;
    }
  }

  std::vector<Slot> m_slots;
  std::vector<std::uint32_t> m_next;
  std::size_t m_used = 0;
};

// 64-bit hashes of the keys.
std::uint64_t MixHash(std::uint64_t key);
class FoldedHasher {
 public:
  void Add(std::string_view cp1251Text);  // folded by core::UpperChar
  void Separate();                        // between the fields of a composite key
  std::uint64_t Value() const { return MixHash(m_state); }

 private:
  std::uint64_t m_state = 1469598103934665603ull;
};

}  // namespace db
