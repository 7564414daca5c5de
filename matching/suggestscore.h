// How alike a scheduled line and a row of the song or jingle base are, as a
// score from 0 to 100 over the comparable keys of artist and title together.
// A score of kStrongSuggestion or more is a strong suggestion: the scores are
// set so that a song the base does not hold stays below it.
#pragma once

#include <string>
#include <string_view>

#include "matching/suggestkeys.h"

namespace matching {

inline constexpr int kStrongSuggestion = 80;

// The keys of one song: a scheduled line or a base row.
struct SongKey {
  ArtistKey artist;
  TitleKey title;
  std::size_t artistLength = 0;  // of the text as written
  std::size_t titleLength = 0;
};
SongKey MakeSongKey(std::string_view artist, std::string_view title);

// A scheduled line, also read the other way round (artist and title swapped).
struct LineKey {
  SongKey asWritten;
  SongKey swapped;
};
LineKey MakeLineKey(std::string_view artist, std::string_view title);

// Letters inserted, dropped or changed and neighbours swapped between two
// texts (optimal string alignment; the first 255 letters of each).
int LetterDistance(std::string_view a, std::string_view b);

// Letter edits between two word lists: a letter inserted, dropped or changed
// and two neighbours swapped cost one each, a missing or added word its
// letters, two words written as one nothing more. Words with digits are equal
// or differ as a whole.
int WordsDistance(const KeyWords& a, const KeyWords& b);

// 1 for equal words, falling with every edit, faster for short texts; 0 when
// they have little in common. Texts whose letters alone show that they stay
// below `atLeast` give 0 without being compared.
double WordsSimilarity(const KeyWords& a, const KeyWords& b, double atLeast = 0);

// Artist and title similarity, each 0..1; 0 where it would stay below atLeast.
double ArtistSimilarity(const ArtistKey& line, std::size_t lineLength, const ArtistKey& row, double atLeast = 0);
double TitleSimilarity(const TitleKey& line, std::size_t lineLength, const TitleKey& row, double atLeast = 0);

// 0..100. A line without an artist is judged by its title and never scores strong.
int SongScore(const LineKey& line, const SongKey& row);
// Jingles are matched by their title alone.
int JingleScore(const TitleKey& line, std::size_t lineLength, const TitleKey& row);

}  // namespace matching
