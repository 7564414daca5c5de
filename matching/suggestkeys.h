// Comparable keys of artists and titles for the match suggestions. A key
// forgives what schedulers' exports get wrong about a song the base knows:
// letter case, ё for е, Latin letters that look like Cyrillic ones inside a
// Cyrillic word (and back), blanks, punctuation, Russian written in Latin
// letters, a leading "The" or a trailing ", The", featured artists, and title
// tails such as " (Radio Edit)" or " - Live". Texts are CP1251.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace matching {

// The words of a text, each in one Latin spelling: small letters a-z, digits,
// and the capitals Z, C, S and T standing for zh, ch, sh and ts (Ж, Ч, Ш, Ц).
// Cyrillic is transliterated, and the spellings that Russian names take in
// Latin letters are brought together (й, ы and y all read "i", "yo" reads
// "e" as ё does, "kh" reads "h", a doubled letter reads once, ь and
// apostrophes vanish). Letters written one by one ("t.A.T.u.") make one word.
using KeyWords = std::vector<std::string>;

struct ArtistKey {
  std::vector<KeyWords> parts;  // the performers in the order written, "The" dropped
  KeyWords words;               // the words of all parts in order
};

struct TitleKey {
  KeyWords words;  // the whole title
  KeyWords core;   // without a known tail: " (Radio Edit)", " (remix)", " - Live", a cut "(Radio Ed"
};

// Turns Latin letters that look like Cyrillic ones into Cyrillic inside a word
// whose other letters are Cyrillic, and the other way round. A word whose
// letters all have look-alikes follows its majority; a tie stays as it is.
std::string FixLookAlikes(std::string_view text);

// The key words of a text, in order; punctuation and blanks only separate.
KeyWords ComparableWords(std::string_view text);

// Performers are separated by "feat.", "ft.", "featuring", "vs", "&", "and",
// "и", "+", "/", "," and ";".
ArtistKey MakeArtistKey(std::string_view artist);
TitleKey MakeTitleKey(std::string_view title);

// The words joined without blanks.
std::string Joined(const KeyWords& words);

// Appends Joined(ComparableWords(text)) to out, without making the words.
void AppendJoinedKey(std::string_view text, std::string& out);

}  // namespace matching
