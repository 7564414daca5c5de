#include "matching/suggestscore.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace matching {
namespace {

// What one letter edit costs beyond its share of the text, in texts of up to
// kShortText letters (less in longer ones): one typo in a title of four
// letters is not strong.
constexpr double kEditPenalty = 0.12;
constexpr double kShortText = 8;
// A performer added or dropped, and performers written in another order.
constexpr double kPartPenalty = 0.06;
constexpr double kOrderPenalty = 0.02;
constexpr double kPartMatch = 0.7;
// A title told apart from the base's only by a known tail.
constexpr double kTailPenalty = 0.02;
constexpr double kOtherTailPenalty = 0.04;
// A text cut at a column: the layouts' narrowest column holds 18 characters,
// and a field loses a trailing blank when read.
constexpr std::size_t kCutLength = 16;
constexpr std::size_t kCutKeyLetters = 8;
constexpr double kCutSimilarity = 0.95;
// Scores below this are not worth computing exactly (kWeakestSuggestion).
constexpr double kWeakestScore = 50;
// Artist and title read the other way round.
constexpr double kSwappedFactor = 0.97;
// A line without an artist.
constexpr double kTitleOnlyFactor = 0.75;
constexpr std::size_t kMaxLetters = 255;

bool hasDigit(const std::string& word) {
  return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

int LetterDistance(std::string_view a, std::string_view b) {
  a = a.substr(0, kMaxLetters);
  b = b.substr(0, kMaxLetters);
  const std::size_t n = a.size(), m = b.size();
  if (n == 0 || m == 0) return static_cast<int>(n + m);
  std::array<std::array<int, kMaxLetters + 1>, 3> rows;  // only the first m + 1 of each are used
  int* before = rows[0].data();
  int* previous = rows[1].data();
  int* current = rows[2].data();
  for (std::size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= n; ++i) {
    current[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= m; ++j) {
      const int change = a[i - 1] == b[j - 1] ? 0 : 1;
      int best = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) best = std::min(best, before[j - 2] + 1);
      current[j] = best;
    }
    int* const oldest = before;
    before = previous;
    previous = current;
    current = oldest;
  }
  return previous[m];
}

namespace {

// A word with digits counts more than its letters: "Song 2" is not "Song".
int wordWeight(const std::string& word) { return static_cast<int>(word.size()) + (hasDigit(word) ? 2 : 0); }

int lengthGap(std::size_t a, std::size_t b) { return static_cast<int>(a > b ? a - b : b - a); }

// A word with a typo or two costs its letter edits; a word with about a third
// of its letters changed is another word and costs as much as dropping
// one and adding the other would ("Dream" is not a typo of "Ocean").
int wordCost(const std::string& a, const std::string& b) {
  if (a == b) return 0;
  const auto longer = static_cast<int>(std::max(a.size(), b.size()));
  if (hasDigit(a) || hasDigit(b)) return longer + 2;
  const int edits = LetterDistance(a, b);
  return edits > 1 && 3 * edits + 1 >= longer ? longer + 1 : edits;
}

// How many letters one text has that the other lacks, the larger count: no
// edit script between them is shorter.
std::size_t letterBagDistance(const KeyWords& a, const KeyWords& b) {
  std::array<int, 128> count{};
  for (const auto& w : a) {
    for (const char c : w) ++count[static_cast<unsigned char>(c) & 0x7F];
  }
  for (const auto& w : b) {
    for (const char c : w) --count[static_cast<unsigned char>(c) & 0x7F];
  }
  int more = 0, fewer = 0;
  for (const int n : count) (n > 0 ? more : fewer) += n > 0 ? n : -n;
  return static_cast<std::size_t>(std::max(more, fewer));
}

std::size_t letters(const KeyWords& words) {
  std::size_t n = 0;
  for (const auto& w : words) n += w.size();
  return n;
}

double cutSimilarity(std::size_t lineLength, const KeyWords& line, const KeyWords& row) {
  if (lineLength < kCutLength) return 0;
  const std::string cut = Joined(line), whole = Joined(row);
  if (cut.size() < kCutKeyLetters || whole.size() <= cut.size() || whole.compare(0, cut.size(), cut) != 0) return 0;
  return kCutSimilarity;
}

// Every performer of the shorter list found among the other's, each pair the
// most alike first; a performer more or less and another order cost a little.
double partsSimilarity(const std::vector<KeyWords>& line, const std::vector<KeyWords>& row) {
  const std::size_t n = line.size(), m = row.size();
  std::vector<double> sim(n * m);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < m; ++j) sim[i * m + j] = WordsSimilarity(line[i], row[j], kPartMatch);
  }
  std::vector<bool> usedLine(n), usedRow(m);
  std::vector<std::size_t> rowOf(n, m);
  double weighted = 0, weight = 0;
  std::size_t matched = 0;
  for (std::size_t k = 0; k < std::min(n, m); ++k) {
    double best = kPartMatch;
    std::size_t bi = n, bj = m;
    for (std::size_t i = 0; i < n; ++i) {
      for (std::size_t j = 0; j < m; ++j) {
        if (!usedLine[i] && !usedRow[j] && sim[i * m + j] >= best) {
          best = sim[i * m + j];
          bi = i;
          bj = j;
        }
      }
    }
    if (bi == n) return 0;
    usedLine[bi] = usedRow[bj] = true;
    rowOf[bi] = bj;
    const auto w = static_cast<double>(letters(line[bi]) + letters(row[bj]));
    weighted += best * w;
    weight += w;
    ++matched;
  }
  if (weight < 4) return 0;  // a performer of one letter says too little
  bool inOrder = true;
  std::size_t lastRow = 0;
  bool first = true;
  for (std::size_t i = 0; i < n; ++i) {
    if (rowOf[i] == m) continue;
    if (!first && rowOf[i] < lastRow) inOrder = false;
    lastRow = rowOf[i];
    first = false;
  }
  const double extra = static_cast<double>(std::max(n, m) - matched);
  return weighted / weight - kPartPenalty * extra - (inOrder ? 0 : kOrderPenalty);
}

int rounded(double score) { return std::clamp(static_cast<int>(std::lround(score)), 0, 100); }

double together(double artist, double title) { return 100 * std::sqrt(std::max(0.0, artist) * std::max(0.0, title)); }

// The least title similarity that can still reach kWeakestScore with the best artist.
constexpr double kWeakestTitle = (kWeakestScore / 100.0) * (kWeakestScore / 100.0);

double songScore(const SongKey& line, const SongKey& row) {
  const double title = TitleSimilarity(line.title, line.titleLength, row.title, kWeakestTitle);
  if (line.artist.words.empty()) return 100 * title * kTitleOnlyFactor;
  if (title <= 0) return 0;
  return together(ArtistSimilarity(line.artist, line.artistLength, row.artist, kWeakestTitle / title), title);
}

}  // namespace

SongKey MakeSongKey(std::string_view artist, std::string_view title) {
  return {MakeArtistKey(artist), MakeTitleKey(title), artist.size(), title.size()};
}

LineKey MakeLineKey(std::string_view artist, std::string_view title) {
  return {MakeSongKey(artist, title), MakeSongKey(title, artist)};
}

int WordsDistance(const KeyWords& a, const KeyWords& b) {
  const std::size_t n = a.size(), m = b.size();
  std::vector<int> d((n + 1) * (m + 1));
  auto at = [&](std::size_t i, std::size_t j) -> int& { return d[i * (m + 1) + j]; };
  for (std::size_t i = 1; i <= n; ++i) at(i, 0) = at(i - 1, 0) + wordWeight(a[i - 1]);
  for (std::size_t j = 1; j <= m; ++j) at(0, j) = at(0, j - 1) + wordWeight(b[j - 1]);
  for (std::size_t i = 1; i <= n; ++i) {
    for (std::size_t j = 1; j <= m; ++j) {
      // A change costs at least the difference in length: not computed when
      // that alone is no better than what the cell has.
      int best = std::min(at(i - 1, j) + wordWeight(a[i - 1]), at(i, j - 1) + wordWeight(b[j - 1]));
      if (at(i - 1, j - 1) + lengthGap(a[i - 1].size(), b[j - 1].size()) < best) {
        best = std::min(best, at(i - 1, j - 1) + wordCost(a[i - 1], b[j - 1]));
      }
      if (i > 1 && at(i - 2, j - 1) + lengthGap(a[i - 2].size() + a[i - 1].size(), b[j - 1].size()) < best) {
        best = std::min(best, at(i - 2, j - 1) + wordCost(a[i - 2] + a[i - 1], b[j - 1]));
      }
      if (j > 1 && at(i - 1, j - 2) + lengthGap(a[i - 1].size(), b[j - 2].size() + b[j - 1].size()) < best) {
        best = std::min(best, at(i - 1, j - 2) + wordCost(a[i - 1], b[j - 2] + b[j - 1]));
      }
      at(i, j) = best;
    }
  }
  return at(n, m);
}

double WordsSimilarity(const KeyWords& a, const KeyWords& b, double atLeast) {
  const std::size_t length = std::max(letters(a), letters(b));
  if (length == 0) return 1;
  if (a.empty() || b.empty()) return 0;
  const auto size = static_cast<double>(length);
  const double perEdit = 1 / size + kEditPenalty * std::min(1.0, kShortText / size);
  if (atLeast > 0 && 1 - perEdit * static_cast<double>(letterBagDistance(a, b)) < atLeast) return 0;
  return std::max(0.0, 1 - perEdit * static_cast<double>(WordsDistance(a, b)));
}

double ArtistSimilarity(const ArtistKey& line, std::size_t lineLength, const ArtistKey& row, double atLeast) {
  double best = WordsSimilarity(line.words, row.words, atLeast);
  if (best < 1 && (line.parts.size() > 1 || row.parts.size() > 1)) best = std::max(best, partsSimilarity(line.parts, row.parts));
  if (best < kCutSimilarity) best = std::max(best, cutSimilarity(lineLength, line.words, row.words));
  return best;
}

double TitleSimilarity(const TitleKey& line, std::size_t lineLength, const TitleKey& row, double atLeast) {
  double best = WordsSimilarity(line.words, row.words, atLeast);
  const bool lineTail = line.core.size() != line.words.size(), rowTail = row.core.size() != row.words.size();
  if (best < 1 && (lineTail || rowTail)) {
    // Two different tails ("Live" and "Radio Edit") are two takes.
    const double penalty = lineTail && rowTail ? kOtherTailPenalty : kTailPenalty;
    best = std::max(best, WordsSimilarity(line.core, row.core, atLeast + penalty) - penalty);
  }
  if (best < kCutSimilarity) best = std::max(best, cutSimilarity(lineLength, line.words, row.words));
  return best;
}

int SongScore(const LineKey& line, const SongKey& row) {
  double score = songScore(line.asWritten, row);
  if (score < kStrongSuggestion && !line.asWritten.artist.words.empty()) {
    score = std::max(score, kSwappedFactor * songScore(line.swapped, row));
  }
  return rounded(score);
}

int JingleScore(const TitleKey& line, std::size_t lineLength, const TitleKey& row) {
  return rounded(100 * TitleSimilarity(line, lineLength, row));
}

}  // namespace matching
