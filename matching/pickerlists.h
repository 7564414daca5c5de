// The lists of the two pickers and their search as the operator types: the
// artists and titles of the song base, the names of the jingle base.
#pragma once

#include <string>
#include <string_view>
#include <vector>


namespace matching {

// Distinct artists of the table, in artist order.
std::vector<std::string> LoadArtists(const std::string& baseFile);

// Names with the path behind each (cut to the path capacity, letter case as stored).
struct PickerList {
  std::vector<std::string> names;
  std::vector<std::string> Paths;
};

// The titles of one artist in title order; every row of the table when no
// artist is given.
PickerList LoadTitles(const std::string& baseFile, const std::string* artist);

// The jingles of the table in name order.
PickerList LoadJingleNames(const std::string& baseFile);

// The search of both pickers: walking from the last item to the first, the
// first item whose beginning (as long as the text) is not less than the text,
// both in UpperCaseRu form and compared as bytes. -1 when every item is less.
int IncrementalSearch(const std::vector<std::string>& items, std::string_view text);

}  // namespace matching
