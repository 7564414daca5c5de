// Match suggestions for the lines the association check left unmatched:
// ranked candidates from the song base (for a jingle, from the jingle base).
// Nothing here is ever applied: the operator accepts a suggestion or not.
//
// The engine is built once per check from plain rows of the two bases, so it
// does not care how the tables are read. Building it indexes the letter
// triples of every row's comparable keys; a line is then scored only against
// the rows that share the most triples with it, never against every row.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/daymodel.h"
#include "db/station.h"
#include "matching/suggestscore.h"

namespace matching {

// A row of BaseSong.db as the engine needs it (CP1251, as the base stores it).
struct SongBaseRow {
  std::string FArtist;
  std::string FName;
  std::string FPath;
};

// A row of Jingles.db.
struct JingleBaseRow {
  std::string FName;
  std::string FPath;
};

struct Suggestion {
  std::size_t row = 0;  // index into the rows the engine was built from
  int score = 0;        // 0..100; kStrongSuggestion and more is strong
  bool operator==(const Suggestion&) const = default;
};

// Candidates scoring below this are not offered at all.
inline constexpr int kWeakestSuggestion = 50;
inline constexpr std::size_t kDefaultSuggestions = 3;

// Letter triples of the rows' keys, each with the rows that hold it. A key is
// the joined key words of a row's texts, the texts separated by '|'.
class TripleIndex {
 public:
  using KeyOf = std::function<void(std::size_t row, std::string& key)>;  // appends the row's key
  TripleIndex(std::size_t rows, const KeyOf& keyOf);
  TripleIndex() = default;

  // Rows sharing the most triples with the key, most first, at most `limit`.
  // Rows are gathered by the key's rarer triples (those many rows hold are
  // passed over while the key has enough others), those sharing at least half
  // as many as the best are kept and ranked by all the triples they share.
  // Not for use from two threads at once.
  std::vector<std::uint32_t> Candidates(std::string_view key, std::size_t limit) const;
  std::size_t rows() const { return m_rows; }

 private:
  bool holds(std::uint16_t code, std::uint32_t row) const;

  std::size_t m_rows = 0;
  std::vector<std::uint32_t> m_starts;  // per triple code: where its rows begin in m_postings
  std::vector<std::uint32_t> m_postings;
  mutable std::vector<std::uint16_t> m_shared;  // per row, during Candidates
};

class SuggestionEngine {
 public:
  SuggestionEngine(std::vector<SongBaseRow> songs, std::vector<JingleBaseRow> jingles);

  // Up to `top` candidates, best first, each scoring kWeakestSuggestion or more;
  // equal scores keep the order of the base. A jingle line (Kind 5) gets rows of
  // the jingle base, every other line rows of the song base.
  std::vector<Suggestion> Suggest(const core::TSongRec& line, std::size_t top = kDefaultSuggestions) const;
  std::vector<Suggestion> SuggestSong(std::string_view artist, std::string_view name,
                                      std::size_t top = kDefaultSuggestions) const;
  std::vector<Suggestion> SuggestJingle(std::string_view name, std::size_t top = kDefaultSuggestions) const;

  const std::vector<SongBaseRow>& songs() const { return m_songs; }
  const std::vector<JingleBaseRow>& jingles() const { return m_jingles; }

 private:
  std::vector<SongBaseRow> m_songs;
  std::vector<JingleBaseRow> m_jingles;
  using KeyHashes = std::vector<std::pair<std::uint64_t, std::uint32_t>>;  // sorted (hash, row)

  void addExact(const KeyHashes& hashes, std::string_view key, std::size_t most, std::vector<std::uint32_t>& rows) const;

  TripleIndex m_songIndex;
  TripleIndex m_jingleIndex;
  // Rows by their whole key (artist|title) and by their title alone: a line
  // whose key equals a row's finds it whatever the triples say.
  KeyHashes m_songKeys;
  KeyHashes m_titleKeys;
};

// The engine over the station's song base and jingle base (when there is
// one), each read once, as the tables hold them.
SuggestionEngine EngineOf(db::Station& station);

}  // namespace matching
