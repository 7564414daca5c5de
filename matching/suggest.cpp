#include "matching/suggest.h"

#include <algorithm>
#include <array>

#include "core/text.h"

namespace matching {
namespace {

// Key letters are a-z, 0-9 and the symbols C, S, T, Z; q shares the code of
// k so that a triple code fits 16 bits. Code 0 marks the ends of a text.
constexpr std::uint32_t kLetterCodes = 40;
constexpr std::uint32_t kTripleCodes = kLetterCodes * kLetterCodes * kLetterCodes;
static_assert(kTripleCodes <= 0x10000);
// Rows scored for one line: the right row shares nearly all its triples with a
// line that has one typo, a cut or a dropped performer.
constexpr std::size_t kScoredCandidates = 16;
// Rows of an equal key scored besides: all of the same artist and title, and
// those of the same title unless it is a common one.
constexpr std::size_t kExactRows = 8;
constexpr std::size_t kSameTitleRows = 16;
// Rows ranked again by all the triples they share, common ones included.
constexpr std::size_t kRankedCandidates = 128;
// Of the triples of a text the gathering passed over, the rarest this many rank.
constexpr std::size_t kRankingTriples = 3;
// A triple held by more rows than this (a share of the base, at least the
// floor) is common: it does not gather rows while the key has enough rarer ones.
constexpr std::size_t kCommonFloor = 200;
constexpr std::size_t kCommonShare = 200;
constexpr std::size_t kEnoughTriples = 3;  // of every text
// ... unless one row in this many holds it.
constexpr std::size_t kTooCommonShare = 50;

constexpr std::array<std::uint16_t, 256> makeLetterCodes() {
  std::array<std::uint16_t, 256> t{};
  std::uint16_t code = 1;
  for (int c = 'a'; c <= 'z'; ++c) {
    if (c != 'q') t[static_cast<std::size_t>(c)] = code++;
  }
  t['q'] = t['k'];
  for (int c = '0'; c <= '9'; ++c) t[static_cast<std::size_t>(c)] = code++;
  for (const char c : {'C', 'S', 'T', 'Z'}) t[static_cast<unsigned char>(c)] = code++;
  return t;
}
constexpr auto kCodeOf = makeLetterCodes();

// Appends the triples of one text (no '|' in it), its ends marked.
void addTriples(std::string_view text, std::vector<std::uint16_t>& codes) {
  if (text.empty()) return;
  std::uint32_t a = 0, b = kCodeOf[static_cast<unsigned char>(text[0])];
  for (std::size_t i = 1; i <= text.size(); ++i) {
    const std::uint32_t c = i < text.size() ? kCodeOf[static_cast<unsigned char>(text[i])] : 0;
    codes.push_back(static_cast<std::uint16_t>((a * kLetterCodes + b) * kLetterCodes + c));
    a = b;
    b = c;
  }
}

void distinct(std::vector<std::uint16_t>& codes) {
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
}

// The texts of a key, '|' separating them.
template <class Each>
void forTexts(std::string_view key, Each&& each) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = key.find('|', start);
    each(key.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return;
    start = bar + 1;
  }
}

// FNV-1a: the same on every platform.
std::uint64_t keyHash(std::string_view key) {
  std::uint64_t hash = 0xCBF29CE484222325ull;
  for (const char c : key) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  return hash;
}

// The artist's key without a leading "The " or a trailing ", The", as the
// artist keys of the score have it.
void artistKeyOf(std::string_view artist, std::string& key) {
  const auto startsWith = [](std::string_view text, std::string_view head) {
    return text.size() > head.size() && core::UpperStr(text.substr(0, head.size())) == head;
  };
  const auto endsWith = [](std::string_view text, std::string_view tail) {
    return text.size() > tail.size() && core::UpperStr(text.substr(text.size() - tail.size())) == tail;
  };
  if (startsWith(artist, "THE ")) artist.remove_prefix(4);
  if (endsWith(artist, ", THE")) artist.remove_suffix(5);
  AppendJoinedKey(artist, key);
}

void songKey(std::string_view artist, std::string_view title, std::string& key) {
  artistKeyOf(artist, key);
  key += '|';
  AppendJoinedKey(title, key);
}

// Edits between the texts as written, letter case aside: of two rows that
// score the same, the one spelled like the line comes first.
int closeness(std::string_view artist, std::string_view name, const SongBaseRow& row) {
  return LetterDistance(core::UpperStr(artist), core::UpperStr(row.FArtist)) +
         LetterDistance(core::UpperStr(name), core::UpperStr(row.FName));
}

struct Ranked {
  Suggestion suggestion;
  int closeness = 0;
};

// Best first; equal scores by closeness, then in the order of the base.
std::vector<Suggestion> best(std::vector<Ranked> found, std::size_t top) {
  std::sort(found.begin(), found.end(), [](const Ranked& a, const Ranked& b) {
    if (a.suggestion.score != b.suggestion.score) return a.suggestion.score > b.suggestion.score;
    if (a.closeness != b.closeness) return a.closeness < b.closeness;
    return a.suggestion.row < b.suggestion.row;
  });
  std::vector<Suggestion> list;
  for (std::size_t i = 0; i < found.size() && i < top; ++i) list.push_back(found[i].suggestion);
  return list;
}

}  // namespace

TripleIndex::TripleIndex(std::size_t rows, const KeyOf& keyOf) : m_rows(rows), m_shared(rows, 0) {
  std::vector<std::uint16_t> codes;
  std::vector<std::uint32_t> rowEnds;
  rowEnds.reserve(rows);
  codes.reserve(rows * 40);
  std::vector<std::uint32_t> lastRow(kTripleCodes, 0);  // row + 1 that last took the triple
  std::string key;
  for (std::size_t r = 0; r < rows; ++r) {
    key.clear();
    keyOf(r, key);
    const std::size_t first = codes.size();
    forTexts(key, [&](std::string_view text) { addTriples(text, codes); });
    // A triple a row holds twice is listed once.
    std::size_t kept = first;
    for (std::size_t i = first; i < codes.size(); ++i) {
      if (lastRow[codes[i]] == r + 1) continue;
      lastRow[codes[i]] = static_cast<std::uint32_t>(r + 1);
      codes[kept++] = codes[i];
    }
    codes.resize(kept);
    rowEnds.push_back(static_cast<std::uint32_t>(codes.size()));
  }
  m_starts.assign(kTripleCodes + 1, 0);
  for (const std::uint16_t code : codes) ++m_starts[code + 1u];
  for (std::uint32_t c = 0; c < kTripleCodes; ++c) m_starts[c + 1] += m_starts[c];
  m_postings.resize(codes.size());
  std::vector<std::uint32_t> next(m_starts.begin(), m_starts.end() - 1);
  std::size_t at = 0;
  for (std::uint32_t r = 0; r < rowEnds.size(); ++r) {
    for (; at < rowEnds[r]; ++at) m_postings[next[codes[at]]++] = r;
  }
}

bool TripleIndex::holds(std::uint16_t code, std::uint32_t row) const {
  const auto first = m_postings.begin() + m_starts[code];
  const auto last = m_postings.begin() + m_starts[code + 1u];
  return std::binary_search(first, last, row);  // a triple's rows are in row order
}

std::vector<std::uint32_t> TripleIndex::Candidates(std::string_view key, std::size_t limit) const {
  std::vector<std::uint32_t> touched;
  if (m_rows == 0) return touched;
  const auto rowsOf = [&](std::uint16_t code) { return m_starts[code + 1u] - m_starts[code]; };
  const std::size_t common = std::max(kCommonFloor, m_rows / kCommonShare);
  // Rows are gathered by the rare triples and the rarest few of every text
  // (so the title counts where the artist has many songs); the others rank
  // the gathered rows afterwards.
  std::vector<std::uint16_t> gather, rest, text;
  forTexts(key, [&](std::string_view t) {
    text.clear();
    addTriples(t, text);
    distinct(text);
    std::sort(text.begin(), text.end(), [&](std::uint16_t a, std::uint16_t b) { return rowsOf(a) < rowsOf(b); });
    std::size_t ranking = 0;  // the commonest triples tell little apart
    for (std::size_t i = 0; i < text.size(); ++i) {
      const bool rareEnough =
          rowsOf(text[i]) <= common || (i < kEnoughTriples && rowsOf(text[i]) <= m_rows / kTooCommonShare);
      if (rareEnough) {
        gather.push_back(text[i]);
      } else if (ranking++ < kRankingTriples) {
        rest.push_back(text[i]);
      }
    }
  });
  distinct(gather);
  distinct(rest);
  rest.erase(std::remove_if(rest.begin(), rest.end(),
                            [&](std::uint16_t c) { return std::binary_search(gather.begin(), gather.end(), c); }),
             rest.end());
  std::uint16_t most = 0;
  for (const std::uint16_t code : gather) {
    for (std::uint32_t p = m_starts[code]; p < m_starts[code + 1u]; ++p) {
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
  if (found.size() > kRankedCandidates) {
    std::nth_element(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(kRankedCandidates), found.end(), more);
    found.resize(kRankedCandidates);
  }
  // The common triples the gathering passed over now tell the rows apart.
  for (const std::uint32_t row : found) {
    for (const std::uint16_t code : rest) m_shared[row] = static_cast<std::uint16_t>(m_shared[row] + (holds(code, row) ? 1 : 0));
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
  m_songKeys.reserve(m_songs.size());
  m_titleKeys.reserve(m_songs.size());
  m_songIndex = TripleIndex(m_songs.size(), [&](std::size_t row, std::string& key) {
    songKey(m_songs[row].FArtist, m_songs[row].FName, key);
    const auto r = static_cast<std::uint32_t>(row);
    m_songKeys.emplace_back(keyHash(key), r);
    m_titleKeys.emplace_back(keyHash(std::string_view(key).substr(key.find('|') + 1)), r);
  });
  std::sort(m_songKeys.begin(), m_songKeys.end());
  std::sort(m_titleKeys.begin(), m_titleKeys.end());
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
  // A tail the line added would draw the base's other remixes and radio edits.
  std::string artistKey, title = Joined(line.asWritten.title.words), core = Joined(line.asWritten.title.core);
  artistKeyOf(artist, artistKey);
  std::vector<std::uint32_t> rows = m_songIndex.Candidates(artistKey + '|' + core, kScoredCandidates);
  addExact(m_songKeys, artistKey + '|' + title, kExactRows, rows);
  addExact(m_songKeys, artistKey + '|' + core, kExactRows, rows);
  addExact(m_songKeys, title + '|' + artistKey, kExactRows, rows);
  addExact(m_titleKeys, title, kSameTitleRows, rows);
  addExact(m_titleKeys, core, kSameTitleRows, rows);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::vector<Ranked> found;
  std::vector<std::string> keys;  // of the rows found, to tell songs apart
  for (const std::uint32_t row : rows) {
    const SongBaseRow& song = m_songs[row];
    const SongKey key = MakeSongKey(song.FArtist, song.FName);
    const int score = SongScore(line, key);
    if (score < kWeakestSuggestion) continue;
    found.push_back({{row, score}, closeness(artist, name, song)});
    keys.push_back(Joined(key.artist.words) + '|' + Joined(key.title.words));
  }
  // Two different songs that fit the line equally well (a title cut before
  // the words that tell them apart): neither is strong.
  for (std::size_t i = 0; i < found.size(); ++i) {
    for (std::size_t j = i + 1; j < found.size(); ++j) {
      const int score = found[i].suggestion.score;
      if (score >= kStrongSuggestion && found[j].suggestion.score == score && keys[i] != keys[j]) {
        for (auto& f : found) {
          if (f.suggestion.score == score) f.suggestion.score = kStrongSuggestion - 1;
        }
      }
    }
  }
  return best(std::move(found), top);
}

void SuggestionEngine::addExact(const KeyHashes& hashes, std::string_view key, std::size_t most,
                                std::vector<std::uint32_t>& rows) const {
  const std::uint64_t hash = keyHash(key);
  const auto range = std::equal_range(hashes.begin(), hashes.end(), std::pair<std::uint64_t, std::uint32_t>{hash, 0},
                                      [](const auto& a, const auto& b) { return a.first < b.first; });
  if (static_cast<std::size_t>(range.second - range.first) > most) return;
  for (auto it = range.first; it != range.second; ++it) rows.push_back(it->second);
}

std::vector<Suggestion> SuggestionEngine::SuggestJingle(std::string_view name, std::size_t top) const {
  const TitleKey line = MakeTitleKey(name);
  std::vector<Ranked> found;
  for (const std::uint32_t row : m_jingleIndex.Candidates(Joined(line.words), kScoredCandidates)) {
    const int score = JingleScore(line, name.size(), MakeTitleKey(m_jingles[row].FName));
    if (score >= kWeakestSuggestion) found.push_back({{row, score}, closeness({}, name, {{}, m_jingles[row].FName, {}})});
  }
  return best(std::move(found), top);
}

SuggestionEngine EngineOf(db::Station& station) {
  std::vector<SongBaseRow> songs;
  for (db::BaseRow& row : station.Songs().Rows()) {
    songs.push_back({std::move(row.artist), std::move(row.name), std::move(row.path)});
  }
  std::vector<JingleBaseRow> jingles;
  if (station.Jingles().Exists()) {
    for (db::BaseRow& row : station.Jingles().Rows()) jingles.push_back({std::move(row.name), std::move(row.path)});
  }
  return SuggestionEngine(std::move(songs), std::move(jingles));
}

}  // namespace matching
