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
constexpr std::size_t kScoredCandidates = 40;

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

void addTriples(const std::string& key, std::vector<std::uint32_t>& codes) {
  if (key.empty()) return;
  std::uint32_t a = 0, b = letterCode(key[0]);
  for (std::size_t i = 1; i <= key.size(); ++i) {
    const std::uint32_t c = i < key.size() ? letterCode(key[i]) : 0;
    codes.push_back((a * kLetterCodes + b) * kLetterCodes + c);
    a = b;
    b = c;
  }
}

std::vector<std::uint32_t> triplesOf(const std::vector<std::string>& keys) {
  std::vector<std::uint32_t> codes;
  for (const auto& key : keys) addTriples(key, codes);
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  return codes;
}

std::vector<std::string> songKeys(const ArtistKey& artist, const KeyWords& title) {
  std::vector<std::string> keys;
  for (const auto& part : artist.parts) keys.push_back(Joined(part));
  keys.push_back(Joined(title));
  return keys;
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

TripleIndex::TripleIndex(const std::vector<std::vector<std::string>>& rowKeys) : m_rows(rowKeys.size()) {
  std::vector<std::uint32_t> codes;
  std::vector<std::uint32_t> rowEnds;
  rowEnds.reserve(rowKeys.size());
  for (const auto& keys : rowKeys) {
    const auto row = triplesOf(keys);
    codes.insert(codes.end(), row.begin(), row.end());
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

std::vector<std::uint32_t> TripleIndex::Candidates(const std::vector<std::string>& keys, std::size_t limit) const {
  std::vector<std::uint32_t> touched;
  if (m_rows == 0) return touched;
  std::vector<std::uint16_t> shared(m_rows, 0);
  for (const std::uint32_t code : triplesOf(keys)) {
    for (std::uint32_t p = m_starts[code]; p < m_starts[code + 1]; ++p) {
      const std::uint32_t row = m_postings[p];
      if (shared[row]++ == 0) touched.push_back(row);
    }
  }
  const auto more = [&](std::uint32_t a, std::uint32_t b) {
    return shared[a] != shared[b] ? shared[a] > shared[b] : a < b;
  };
  if (touched.size() > limit) {
    std::nth_element(touched.begin(), touched.begin() + static_cast<std::ptrdiff_t>(limit), touched.end(), more);
    touched.resize(limit);
  }
  std::sort(touched.begin(), touched.end(), more);
  return touched;
}

SuggestionEngine::SuggestionEngine(std::vector<SongBaseRow> songs, std::vector<JingleBaseRow> jingles)
    : m_songs(std::move(songs)), m_jingles(std::move(jingles)) {
  std::vector<std::vector<std::string>> keys;
  keys.reserve(m_songs.size());
  for (const auto& row : m_songs) keys.push_back(songKeys(MakeArtistKey(row.FArtist), ComparableWords(row.FName)));
  m_songIndex = TripleIndex(keys);
  keys.clear();
  for (const auto& row : m_jingles) keys.push_back({Joined(ComparableWords(row.FName))});
  m_jingleIndex = TripleIndex(keys);
}

std::vector<Suggestion> SuggestionEngine::Suggest(const core::TSongRec& line, std::size_t top) const {
  return line.isJingle() ? SuggestJingle(line.Name, top) : SuggestSong(line.Artist, line.Name, top);
}

std::vector<Suggestion> SuggestionEngine::SuggestSong(std::string_view artist, std::string_view name,
                                                      std::size_t top) const {
  const LineKey line = MakeLineKey(artist, name);
  std::vector<Suggestion> found;
  for (const std::uint32_t row : m_songIndex.Candidates(songKeys(line.asWritten.artist, line.asWritten.title.words),
                                                        kScoredCandidates)) {
    const SongBaseRow& song = m_songs[row];
    const int score = SongScore(line, MakeSongKey(song.FArtist, song.FName));
    if (score >= kWeakestSuggestion) found.push_back({row, score});
  }
  return best(std::move(found), top);
}

std::vector<Suggestion> SuggestionEngine::SuggestJingle(std::string_view name, std::size_t top) const {
  const TitleKey line = MakeTitleKey(name);
  std::vector<Suggestion> found;
  for (const std::uint32_t row : m_jingleIndex.Candidates({Joined(line.words)}, kScoredCandidates)) {
    const int score = JingleScore(line, name.size(), MakeTitleKey(m_jingles[row].FName));
    if (score >= kWeakestSuggestion) found.push_back({row, score});
  }
  return best(std::move(found), top);
}

}  // namespace matching
