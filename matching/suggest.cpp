#include "matching/suggest.h"

#include <algorithm>

namespace matching {
namespace {

// Key letters are a-z, 0-9 and the symbols C, S, T, Z; code 0 marks the ends
// of a key.
constexpr std::uint32_t kLetterCodes = 41;
constexpr std::uint32_t kTripleCodes = kLetterCodes * kLetterCodes * kLetterCodes;
// Rows scored for one line: the right row shares nearly all its triples with a
// line that has one typo, a cut or a dropped performer.
constexpr std::size_t kScoredCandidates = 16;
// A triple held by more rows than this (a share of the base, at least the
// floor) is common; it counts only while the key has fewer rarer ones.
constexpr std::size_t kCommonFloor = 500;
constexpr std::size_t kCommonShare = 50;
constexpr std::size_t kEnoughTriples = 6;

std::uint32_t letterCode(char c) {
  if (c >= 'a' && c <= 'z') return static_cast<std::uint32_t>(c - 'a') + 1;
  if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0') + 27;
  switch (c) {
    case 'C': return 37;
    case 'S': return 38;
    case 'T': return 39;
    case 'Z': return 40;
    default: return 0;
  }
}

// The distinct triples of a key, '|' separating its texts.
std::vector<std::uint32_t> triplesOf(std::string_view key) {
  std::vector<std::uint32_t> codes;
  std::uint32_t a = 0, b = 0;
  bool open = false;  // inside a text
  for (std::size_t i = 0; i <= key.size(); ++i) {
    const bool end = i == key.size() || key[i] == '|';
    if (end && !open) continue;
    const std::uint32_t c = end ? 0 : letterCode(key[i]);
    if (open) codes.push_back((a * kLetterCodes + b) * kLetterCodes + c);
    a = open ? b : 0;
    b = c;
    open = !end;
  }
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  return codes;
}

void songKey(std::string_view artist, std::string_view title, std::string& key) {
  AppendJoinedKey(artist, key);
  key += '|';
  AppendJoinedKey(title, key);
}

// Best first; equal scores in the order of the base.
std::vector<Suggestion> best(std::vector<Suggestion> found, std::size_t top) {
  std::sort(found.begin(), found.end(), [](const Suggestion& a, const Suggestion& b) {
    return a.score != b.score ? a.score > b.score : a.row < b.row;
  });
  if (found.size() > top) found.resize(top);
  return found;
}

}  // namespace

TripleIndex::TripleIndex(std::size_t rows, const KeyOf& keyOf) : m_rows(rows), m_shared(rows, 0) {
  std::vector<std::uint32_t> codes;
  std::vector<std::uint32_t> rowEnds;
  rowEnds.reserve(rows);
  std::string key;
  for (std::size_t row = 0; row < rows; ++row) {
    key.clear();
    keyOf(row, key);
    const auto triples = triplesOf(key);
    codes.insert(codes.end(), triples.begin(), triples.end());
    rowEnds.push_back(static_cast<std::uint32_t>(codes.size()));
  }
  m_starts.assign(kTripleCodes + 1, 0);
  for (const std::uint32_t code : codes) ++m_starts[code + 1];
  for (std::uint32_t c = 0; c < kTripleCodes; ++c) m_starts[c + 1] += m_starts[c];
  m_postings.resize(codes.size());
  std::vector<std::uint32_t> next(m_starts.begin(), m_starts.end() - 1);
  std::size_t at = 0;
  for (std::uint32_t row = 0; row < rowEnds.size(); ++row) {
    for (; at < rowEnds[row]; ++at) m_postings[next[codes[at]]++] = row;
  }
}

std::vector<std::uint32_t> TripleIndex::Candidates(std::string_view key, std::size_t limit) const {
  std::vector<std::uint32_t> touched;
  if (m_rows == 0) return touched;
  auto codes = triplesOf(key);
  const auto rowsOf = [&](std::uint32_t code) { return m_starts[code + 1] - m_starts[code]; };
  std::sort(codes.begin(), codes.end(), [&](std::uint32_t a, std::uint32_t b) { return rowsOf(a) < rowsOf(b); });
  const std::size_t common = std::max(kCommonFloor, m_rows / kCommonShare);
  std::size_t used = 0;
  std::uint16_t most = 0;
  for (const std::uint32_t code : codes) {
    if (rowsOf(code) > common && used >= kEnoughTriples) break;
    ++used;
    for (std::uint32_t p = m_starts[code]; p < m_starts[code + 1]; ++p) {
      const std::uint32_t row = m_postings[p];
      if (m_shared[row]++ == 0) touched.push_back(row);
      most = std::max(most, m_shared[row]);
    }
  }
  const auto more = [&](std::uint32_t a, std::uint32_t b) {
    return m_shared[a] != m_shared[b] ? m_shared[a] > m_shared[b] : a < b;
  };
  std::vector<std::uint32_t> found;
  for (const std::uint32_t row : touched) {
    if (2 * m_shared[row] >= most) found.push_back(row);
  }
  if (found.size() > limit) {
    std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(limit), found.end(), more);
    found.resize(limit);
  }
  std::sort(found.begin(), found.end(), more);
  for (const std::uint32_t row : touched) m_shared[row] = 0;
  return found;
}

SuggestionEngine::SuggestionEngine(std::vector<SongBaseRow> songs, std::vector<JingleBaseRow> jingles)
    : m_songs(std::move(songs)), m_jingles(std::move(jingles)) {
  m_songIndex = TripleIndex(m_songs.size(), [&](std::size_t row, std::string& key) {
    songKey(m_songs[row].FArtist, m_songs[row].FName, key);
  });
  m_jingleIndex = TripleIndex(m_jingles.size(), [&](std::size_t row, std::string& key) {
    AppendJoinedKey(m_jingles[row].FName, key);
  });
}

std::vector<Suggestion> SuggestionEngine::Suggest(const core::TSongRec& line, std::size_t top) const {
  return line.isJingle() ? SuggestJingle(line.Name, top) : SuggestSong(line.Artist, line.Name, top);
}

std::vector<Suggestion> SuggestionEngine::SuggestSong(std::string_view artist, std::string_view name,
                                                      std::size_t top) const {
  const LineKey line = MakeLineKey(artist, name);
  std::vector<Suggestion> found;
  // A tail the line added would draw the base's other remixes and radio edits.
  std::string key;
  AppendJoinedKey(artist, key);
  key += '|';
  key += Joined(line.asWritten.title.core);
  for (const std::uint32_t row : m_songIndex.Candidates(key, kScoredCandidates)) {
    const SongBaseRow& song = m_songs[row];
    const int score = SongScore(line, MakeSongKey(song.FArtist, song.FName));
    if (score >= kWeakestSuggestion) found.push_back({row, score});
  }
  return best(std::move(found), top);
}

std::vector<Suggestion> SuggestionEngine::SuggestJingle(std::string_view name, std::size_t top) const {
  const TitleKey line = MakeTitleKey(name);
  std::vector<Suggestion> found;
  for (const std::uint32_t row : m_jingleIndex.Candidates(Joined(line.words), kScoredCandidates)) {
    const int score = JingleScore(line, name.size(), MakeTitleKey(m_jingles[row].FName));
    if (score >= kWeakestSuggestion) found.push_back({row, score});
  }
  return best(std::move(found), top);
}

}  // namespace matching
