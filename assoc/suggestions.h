// The match suggestions the review shows after a check: the best strong
// suggestion of every unmatched entry of the chosen hours, and the two
// commands that teach them. Nothing is taught without the operator.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "core/daymodel.h"
#include "db/station.h"
#include "matching/operatorui.h"
#include "matching/suggest.h"

namespace assoc {

// A file of the song base (of the jingle base for a jingle: artist empty) as
// the base stores it.
struct SuggestedFile {
  std::string artist;
  std::string name;
  std::string path;
  int score = 0;
  bool operator==(const SuggestedFile&) const = default;
};

// Kept by the entry's artist, title and kind, not by its place: entries come
// and go (jingle placement, removal from the playlist) and equal entries
// share one suggestion.
class DaySuggestions {
 public:
  // Reads the song base and the jingle base (when there is one) once and
  // keeps the best strong suggestion of every unmatched entry of the chosen
  // hours (a jingle only without an artist); what was kept before is forgotten.
  void Compute(const core::DayPlaylist& day, db::Station& station);
  void Compute(const core::DayPlaylist& day, const matching::SuggestionEngine& engine);
  void Clear();

  // The suggestion of an entry while it is unmatched, or nullptr.
  const SuggestedFile* For(const core::TSongRec& entry) const;
  // Where the song picker opens for a song entry: on its suggestion when the
  // entry's own artist is not in the song base; nothing otherwise.
  std::optional<SuggestedFile> PickerStart(const std::string& artist, const std::string& name) const;

 private:
  using Key = std::tuple<std::string, std::string, int>;  // artist, title, kind
  struct Kept {
    SuggestedFile file;
    bool artistInBase = false;
  };
  std::map<Key, Kept> m_best;
};

// "Принять предложение": teaches the suggestion of entry `index` of
// `Songs[hour]` as "Назначить сопоставление" does with that file: every equal
// entry of the day gets the path and Association.db gets the row. False when
// there is no such entry or it has no suggestion.
bool AcceptSuggestionClick(core::DayPlaylist& day, int hour, int index, db::Station& station,
                           const DaySuggestions& suggestions);

// How many association rows "Принять все предложения" would write: one per
// distinct entry of the chosen hours that has a suggestion.
std::size_t CountSuggestions(const core::DayPlaylist& day, const DaySuggestions& suggestions);

// "Принять все предложения": asks once naming how many; on Yes teaches every
// suggestion of the chosen hours and writes their rows to Association.db in
// one write, before any entry gets its path. True when something was taught.
bool AcceptAllSuggestionsClick(core::DayPlaylist& day, db::Station& station, const DaySuggestions& suggestions,
                               matching::OperatorUi& ui);

}  // namespace assoc
