#include "matching/suggestkeys.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/codec.h"
#include "core/text.h"

namespace matching {
namespace {

enum class Script : unsigned char { None, Latin, Cyrillic, Digit, Apostrophe };

constexpr bool isCyrillicByte(int c) {
  if (c >= 0xC0) return true;
  switch (c) {
    case 0x80: case 0x81: case 0x83: case 0x8A: case 0x8C: case 0x8D: case 0x8E: case 0x8F:
    case 0x90: case 0x9A: case 0x9C: case 0x9D: case 0x9E: case 0x9F: case 0xA1: case 0xA2:
    case 0xA3: case 0xA5: case 0xA8: case 0xAA: case 0xAF: case 0xB2: case 0xB3: case 0xB4:
    case 0xB8: case 0xBA: case 0xBC: case 0xBD: case 0xBE: case 0xBF:
      return true;
    default:
      return false;
  }
}

constexpr std::array<Script, 256> makeScripts() {
  std::array<Script, 256> t{};
  for (int c = 0; c < 256; ++c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) t[c] = Script::Latin;
    else if (c >= '0' && c <= '9') t[c] = Script::Digit;
    else if (isCyrillicByte(c)) t[c] = Script::Cyrillic;
  }
  t['\''] = t['`'] = t[0x91] = t[0x92] = Script::Apostrophe;  // ' ` and the typographic ones
  return t;
}
constexpr auto kScripts = makeScripts();

Script scriptOf(char c) { return kScripts[static_cast<unsigned char>(c)]; }

// Latin letters and the Cyrillic letters they look like, capitals and small.
constexpr std::pair<unsigned char, unsigned char> kLookAlikes[] = {
    {'A', 0xC0}, {'B', 0xC2}, {'C', 0xD1}, {'E', 0xC5}, {'H', 0xCD}, {'K', 0xCA}, {'M', 0xCC}, {'O', 0xCE},
    {'P', 0xD0}, {'T', 0xD2}, {'X', 0xD5}, {'Y', 0xD3}, {'a', 0xE0}, {'c', 0xF1}, {'e', 0xE5}, {'o', 0xEE},
    {'p', 0xF0}, {'x', 0xF5}, {'y', 0xF3}, {'k', 0xEA}};

// For each byte its look-alike in the other script, or 0.
constexpr std::array<unsigned char, 256> makeTwins() {
  std::array<unsigned char, 256> t{};
  for (const auto& [latin, cyrillic] : kLookAlikes) {
    t[latin] = cyrillic;
    t[cyrillic] = latin;
  }
  return t;
}
constexpr auto kTwins = makeTwins();

// Latin spellings of the capital Cyrillic letters А to Я. Ж, Ч, Ш and Ц,
// which Latin writes with two letters, are one symbol each (Z, C, S, T), so a
// typo in a Cyrillic word costs one edit; "zh", "ch", "sh" and "ts" written in
// Latin letters become the same symbols.
constexpr std::string_view kCyrillicCapitals[32] = {
    "a", "b", "v", "g", "d", "e", "Z", "z", "i", "i", "k", "l", "m", "n", "o", "p",
    "r", "s", "t", "u", "f", "h", "T", "C", "S", "SC", "", "i", "", "e", "iu", "ia"};

// The Latin spelling of one capital letter of the other Cyrillic alphabets of
// the code page (Ё included).
std::string_view otherCyrillic(unsigned char upper) {
  switch (upper) {
    case 0xA8: case 0xAA: return "e";   // Ё Є
    case 0xB2: case 0xAF: return "i";   // І Ї
    case 0xA5: case 0x81: return "g";   // Ґ Ѓ
    case 0xA1: return "u";              // Ў
    case 0xA3: return "j";              // Ј
    case 0xBD: return "s";              // Ѕ
    case 0x80: return "dj";             // Ђ
    case 0x8A: return "lj";             // Љ
    case 0x8C: return "nj";             // Њ
    case 0x8D: return "k";              // Ќ
    case 0x8E: return "c";              // Ћ
    case 0x8F: return "dz";             // Џ
    default: return "";
  }
}

// The key letters of every byte: Latin in small letters (y reads i, w reads v,
// x reads ks), digits as they are, Cyrillic transliterated; nothing for the rest.
const std::array<std::string_view, 256>& spellings() {
  static const std::array<std::string_view, 256> table = [] {
    static constexpr std::string_view kSmall[26] = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m",
                                                    "n", "o", "p", "q", "r", "s", "t", "u", "v", "v", "ks", "i", "z"};
    static constexpr std::string_view kDigits[10] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    std::array<std::string_view, 256> t{};
    for (std::size_t c = 0; c < 256; ++c) {
      switch (kScripts[c]) {
        case Script::Digit: t[c] = kDigits[c - '0']; break;
        case Script::Latin: t[c] = kSmall[(c | 0x20) - 'a']; break;
        case Script::Cyrillic: {
          const auto upper = static_cast<unsigned char>(core::UpperChar(static_cast<char>(c)));
          t[c] = upper >= 0xC0 ? kCyrillicCapitals[upper - 0xC0] : otherCyrillic(upper);
          break;
        }
        case Script::Apostrophe:
        case Script::None: break;
      }
    }
    return t;
  }();
  return table;
}

bool isLetter(char c) { return c < '0' || c > '9'; }

// The symbol of a Latin digraph, or 0.
char digraph(char first, char second) {
  if (second == 'h') {
    switch (first) {
      case 'z': return 'Z';
      case 'c': return 'C';
      case 's': return 'S';
      case 'k': return 'h';
      case 'p': return 'f';
      default: return 0;
    }
  }
  return first == 't' && second == 's' ? 'T' : 0;
}

// Digraphs become their symbols ("kh" reads "h", "ph" reads "f") and a
// doubled letter reads once, within a word (appendWordKey).

// The script a word's look-alike letters belong to, or None to leave them.
Script lookAlikeTarget(std::string_view word) {
  int latin = 0, cyrillic = 0, ownLatin = 0, ownCyrillic = 0;
  for (const char c : word) {
    const Script s = scriptOf(c);
    const int own = kTwins[static_cast<unsigned char>(c)] != 0 ? 0 : 1;
    if (s == Script::Latin) {
      ++latin;
      ownLatin += own;
    } else if (s == Script::Cyrillic) {
      ++cyrillic;
      ownCyrillic += own;
    }
  }
  if (latin == 0 || cyrillic == 0) return Script::None;
  if (ownCyrillic > 0 && ownLatin == 0) return Script::Cyrillic;
  if (ownLatin > 0 && ownCyrillic == 0) return Script::Latin;
  if (ownLatin == 0 && ownCyrillic == 0 && latin != cyrillic) return latin > cyrillic ? Script::Latin : Script::Cyrillic;
  return Script::None;
}

char inScript(char c, Script target) {
  const unsigned char twin = kTwins[static_cast<unsigned char>(c)];
  return target != Script::None && twin != 0 && scriptOf(c) != target ? static_cast<char>(twin) : c;
}

// The key letters of every byte, ready to copy: at most two letters each.
struct Spelling {
  std::array<char, 2> letters{};
  unsigned char count = 0;
  unsigned char scriptBit = 0;  // 1 Latin, 2 Cyrillic
};

const std::array<Spelling, 256>& spellingTable() {
  static const std::array<Spelling, 256> table = [] {
    std::array<Spelling, 256> t{};
    const auto& views = spellings();
    for (std::size_t c = 0; c < 256; ++c) {
      // Щ reads "SC", the longest; nothing is longer than two letters.
      for (const char letter : views[c]) t[c].letters[t[c].count++] = letter;
      t[c].scriptBit = kScripts[c] == Script::Latin ? 1 : kScripts[c] == Script::Cyrillic ? 2 : 0;
    }
    return t;
  }();
  return table;
}

// Letters of a word beyond this are not looked at.
constexpr std::size_t kLongestWord = 256;

// Appends the key letters of one word as written (a run of letters, digits
// and apostrophes). The key is built in a buffer: this runs for every row of the
// song base when the suggestions are set up.
void appendWordKey(std::string_view word, std::string& out) {
  const auto& table = spellingTable();
  unsigned bits = 0;
  for (const char c : word) bits |= table[static_cast<unsigned char>(c)].scriptBit;
  const Script target = bits == 3 ? lookAlikeTarget(word) : Script::None;
  word = word.substr(0, kLongestWord);
  std::array<char, 2 * kLongestWord> buffer;
  char* const begin = buffer.data();
  char* end = begin;
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char raw = target == Script::None ? word[i] : inScript(word[i], target);
    // Latin "yo" is how Russian names write ё, which reads е: Fyodor, Semyonov.
    const bool yo = (raw | 0x20) == 'y' && i + 1 < word.size() && (word[i + 1] | 0x20) == 'o' &&
                    scriptOf(word[i + 1]) == Script::Latin;
    if (yo) ++i;
    const Spelling& sp = table[static_cast<unsigned char>(yo ? 'e' : raw)];
    for (unsigned k = 0; k < sp.count; ++k) {
      char c = sp.letters[k];
      if (end != begin) {
        if (const char symbol = digraph(end[-1], c)) {
          --end;
          c = symbol;
        }
      }
      if (end != begin && end[-1] == c && isLetter(c)) continue;
      *end++ = c;
    }
  }
  out.append(begin, end);
}

std::string keyOfWord(std::string_view word) {
  std::string key;
  appendWordKey(word, key);
  return key;
}

// One word of a text as written, or a mark where performers are separated.
struct RawWord {
  std::string_view text;
  bool separator = false;
};

bool isPerformerMark(char c) { return c == '&' || c == '+' || c == '/' || c == ',' || c == ';'; }

std::vector<RawWord> rawWords(std::string_view text) {
  std::vector<RawWord> words;
  std::size_t i = 0;
  while (i < text.size()) {
    if (scriptOf(text[i]) == Script::None) {
      if (isPerformerMark(text[i])) words.push_back({text.substr(i, 1), true});
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && scriptOf(text[i]) != Script::None) ++i;
    words.push_back({text.substr(start, i - start), false});
  }
  return words;
}

bool isSingleLetter(const std::string& word) { return word.size() == 1 && isLetter(word[0]); }

// Letters written one by one ("t.A.T.u.", "A B B A") make one word.
KeyWords mergeLetterRuns(KeyWords words) {
  KeyWords out;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (isSingleLetter(words[i]) && i + 1 < words.size() && isSingleLetter(words[i + 1])) {
      std::string run;
      while (i < words.size() && isSingleLetter(words[i])) run += words[i++];
      --i;
      out.push_back(std::move(run));
    } else {
      out.push_back(std::move(words[i]));
    }
  }
  return out;
}

std::string upper(std::string_view text) { return core::UpperStr(text); }

bool isPerformerWord(std::string_view raw) {
  static const std::string kWords[] = {"FEAT", "FT", "FEATURING", "VS", "VERSUS", "AND", core::cp1251("И")};
  if (raw.size() > 9) return false;
  for (const std::string& w : kWords) {
    if (w.size() == raw.size() && upper(raw) == w) return true;
  }
  return false;
}

// Key words of title tails; a cut tail may end in the first letters of one.
const std::set<std::string>& tailWords() {
  static const std::set<std::string> words = [] {
    std::set<std::string> set;
    for (const char* w : {"edit", "radio", "remix", "mix", "rmx", "live", "version", "ver", "remaster", "remastered",
                          "acoustic", "extended", "original", "instrumental", "club", "single", "demo", "unplugged",
                          "feat", "ft", "featuring", "cover", "mono", "stereo", "edition", "ремикс", "версия",
                          "концерт", "акустика", "живьём", "кавер", "инструментал", "радио"}) {
      set.insert(keyOfWord(core::cp1251(w)));
    }
    return set;
  }();
  return words;
}

bool isCutTailWord(const std::string& word) {
  if (word.size() < 3) return false;
  const auto& words = tailWords();
  return std::any_of(words.begin(), words.end(), [&](const std::string& w) { return w.compare(0, word.size(), word) == 0; });
}

bool isTail(std::string_view tail, bool cut) {
  const KeyWords words = ComparableWords(tail);
  if (cut && words.empty()) return true;
  const auto& known = tailWords();
  for (const auto& w : words) {
    if (known.count(w) > 0 || (cut && isCutTailWord(w))) return true;
  }
  return false;
}

std::string_view trimmedEnd(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

// Where a known tail begins, or npos.
std::size_t tailStart(std::string_view text) {
  text = trimmedEnd(text);
  if (text.empty()) return std::string_view::npos;
  const char last = text.back();
  if (last == ')' || last == ']') {
    const std::size_t open = text.rfind(last == ')' ? '(' : '[');
    if (open != std::string_view::npos && open > 0 && isTail(text.substr(open + 1, text.size() - open - 2), false)) {
      return open;
    }
    return std::string_view::npos;
  }
  const std::size_t open = text.find_last_of("([");
  if (open != std::string_view::npos && open > 0 && text.find_first_of(")]", open) == std::string_view::npos) {
    return isTail(text.substr(open + 1), true) ? open : std::string_view::npos;
  }
  for (const std::string_view dash : {" - ", " \x96 ", " \x97 "}) {
    const std::size_t at = text.rfind(dash);
    if (at != std::string_view::npos && at > 0) {
      return isTail(text.substr(at + dash.size()), false) ? at : std::string_view::npos;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::string FixLookAlikes(std::string_view text) {
  std::string out(text);
  std::size_t i = 0;
  while (i < out.size()) {
    if (scriptOf(out[i]) == Script::None) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < out.size() && scriptOf(out[i]) != Script::None) ++i;
    const Script target = lookAlikeTarget(std::string_view(out).substr(start, i - start));
    for (std::size_t k = start; k < i; ++k) out[k] = inScript(out[k], target);
  }
  return out;
}

void AppendJoinedKey(std::string_view text, std::string& out) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (scriptOf(text[i]) == Script::None) {
      ++i;
      continue;
    }
    const std::size_t start = i;
    while (i < text.size() && scriptOf(text[i]) != Script::None) ++i;
    appendWordKey(text.substr(start, i - start), out);
  }
}

KeyWords ComparableWords(std::string_view text) {
  KeyWords words;
  for (const RawWord& raw : rawWords(text)) {
    if (raw.separator) continue;
    std::string key = keyOfWord(raw.text);
    if (!key.empty()) words.push_back(std::move(key));
  }
  return mergeLetterRuns(std::move(words));
}

ArtistKey MakeArtistKey(std::string_view artist) {
  ArtistKey key;
  KeyWords part;
  auto endPart = [&] {
    part = mergeLetterRuns(std::move(part));
    if (part.size() > 1 && part.front() == "the") part.erase(part.begin());
    if (!part.empty()) key.parts.push_back(std::move(part));
    part.clear();
  };
  for (const RawWord& raw : rawWords(artist)) {
    if (raw.separator || isPerformerWord(raw.text)) {
      endPart();
      continue;
    }
    std::string w = keyOfWord(raw.text);
    if (!w.empty()) part.push_back(std::move(w));
  }
  endPart();
  // "Beatles, The"
  if (key.parts.size() > 1 && key.parts.back() == KeyWords{"the"}) key.parts.pop_back();
  if (key.parts.empty()) {
    KeyWords all = ComparableWords(artist);
    if (!all.empty()) key.parts.push_back(std::move(all));
  }
  for (const auto& p : key.parts) key.words.insert(key.words.end(), p.begin(), p.end());
  return key;
}

TitleKey MakeTitleKey(std::string_view title) {
  TitleKey key;
  key.words = ComparableWords(title);
  std::string_view core = title;
  for (int round = 0; round < 2; ++round) {
    const std::size_t at = tailStart(core);
    if (at == std::string_view::npos || ComparableWords(core.substr(0, at)).empty()) break;
    core = core.substr(0, at);
  }
  key.core = core.size() == title.size() ? key.words : ComparableWords(core);
  return key;
}

std::string Joined(const KeyWords& words) {
  std::string out;
  for (const auto& w : words) out += w;
  return out;
}

}  // namespace matching
