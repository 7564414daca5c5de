#include "assoc/suggestions.h"

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "assoc/statements.h"
#include "core/codec.h"
#include "core/text.h"
#include "matching/assoccheck.h"

namespace assoc {
namespace {

core::TSongRec* selectedEntry(core::DayPlaylist& day, int hour, int index) {
  if (hour < 0 || hour >= core::kHours || index < 0) return nullptr;
  auto& list = day.Songs[static_cast<std::size_t>(hour)];
  if (static_cast<std::size_t>(index) >= list.size()) return nullptr;
  return &list[static_cast<std::size_t>(index)];
}

// Every unmatched entry of the chosen hours with a suggestion, once per
// association row it would teach.
std::vector<std::pair<core::TSongRec, SuggestedFile>> toTeach(const core::DayPlaylist& day,
                                                               const DaySuggestions& suggestions) {
  std::vector<std::pair<core::TSongRec, SuggestedFile>> out;
  std::set<std::pair<std::string, std::string>> taught;  // artist (or the jingle marker) and title
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    for (const core::TSongRec& entry : day.Songs[static_cast<std::size_t>(h)]) {
      const SuggestedFile* file = suggestions.For(entry);
      if (file == nullptr) continue;
      const std::string artist = entry.isJingle() ? std::string(matching::kJingleMarker) : entry.Artist;
      if (taught.emplace(artist, entry.Name).second) out.emplace_back(entry, *file);
    }
  }
  return out;
}

}  // namespace

void DaySuggestions::Compute(const core::DayPlaylist& day, db::Station& station) {
  Compute(day, matching::EngineOf(station));
}

void DaySuggestions::Compute(const core::DayPlaylist& day, const matching::SuggestionEngine& engine) {
  m_best.clear();
  // The picker lists the base's artists without regard to letter case.
  std::set<std::string> artists;
  for (const matching::SongBaseRow& row : engine.songs()) artists.insert(core::UpperStr(row.FArtist));
  for (int h = 0; h < core::kHours; ++h) {
    if (!day.HourSetts[static_cast<std::size_t>(h)]) continue;
    for (const core::TSongRec& entry : day.Songs[static_cast<std::size_t>(h)]) {
      // Teaching a jingle's match reaches the jingles without an artist
      // only: one with an artist would keep a suggestion it cannot take.
      if (entry.matched() || (entry.isJingle() && !entry.Artist.empty())) continue;
      Key key{entry.Artist, entry.Name, entry.Kind};
      if (m_best.count(key) != 0) continue;
      const auto found = engine.Suggest(entry, 1);
      if (found.empty() || found.front().score < matching::kStrongSuggestion) continue;
      Kept kept;
      kept.file.score = found.front().score;
      if (entry.isJingle()) {
        const matching::JingleBaseRow& row = engine.jingles()[found.front().row];
        kept.file.name = row.FName;
        kept.file.path = row.FPath;
      } else {
        const matching::SongBaseRow& row = engine.songs()[found.front().row];
        kept.file.artist = row.FArtist;
        kept.file.name = row.FName;
        kept.file.path = row.FPath;
        kept.artistInBase = artists.count(core::UpperStr(entry.Artist)) != 0;
      }
      m_best.emplace(std::move(key), std::move(kept));
    }
  }
}

void DaySuggestions::Clear() { m_best.clear(); }

const SuggestedFile* DaySuggestions::For(const core::TSongRec& entry) const {
  if (entry.matched()) return nullptr;
  const auto it = m_best.find(Key{entry.Artist, entry.Name, entry.Kind});
  return it == m_best.end() ? nullptr : &it->second.file;
}

std::optional<SuggestedFile> DaySuggestions::PickerStart(const std::string& artist, const std::string& name) const {
  // Any song kind: the picker is the same for all of them.
  for (auto it = m_best.lower_bound(Key{artist, name, INT32_MIN}); it != m_best.end(); ++it) {
    if (std::get<0>(it->first) != artist || std::get<1>(it->first) != name) break;
    if (std::get<2>(it->first) == core::kKindJingle || it->second.artistInBase) continue;
    return it->second.file;
  }
  return std::nullopt;
}

bool AcceptSuggestionClick(core::DayPlaylist& day, int hour, int index, db::Station& station,
                           const DaySuggestions& suggestions) {
  core::TSongRec* entry = selectedEntry(day, hour, index);
  if (entry == nullptr) return false;
  const SuggestedFile* file = suggestions.For(*entry);
  if (file == nullptr) return false;
  station.Associations().Append(TeachMatch(day, *entry, file->path));
  return true;
}

std::size_t CountSuggestions(const core::DayPlaylist& day, const DaySuggestions& suggestions) {
  return toTeach(day, suggestions).size();
}

bool AcceptAllSuggestionsClick(core::DayPlaylist& day, db::Station& station, const DaySuggestions& suggestions,
                               matching::OperatorUi& ui) {
  const auto teach = toTeach(day, suggestions);
  if (teach.empty()) return false;
  const auto n = static_cast<long long>(teach.size());
  const std::string question =
      core::cp1251("Принять ") + std::to_string(n) + " " +
      core::cp1251(core::PluralForm(n, "предложение", "предложения", "предложений")) +
      core::cp1251("? Каждое станет сопоставлением в базе ассоциаций, и все такие же строки дня получат свой файл.");
  if (!ui.askYesNo(question)) return false;
  // The rows first, in one write: when it fails, the day stays as it was.
  // Teaching on a copy gives the rows without touching the day.
  core::DayPlaylist scratch;
  std::vector<db::AssociationRow> rows;
  rows.reserve(teach.size());
  for (const auto& [entry, file] : teach) rows.push_back(TeachMatch(scratch, entry, file.path));
  station.Associations().Append(rows);
  for (const auto& [entry, file] : teach) TeachMatch(day, entry, file.path);
  return true;
}

}  // namespace assoc
