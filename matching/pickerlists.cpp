#include "matching/pickerlists.h"

#include "core/daymodel.h"
#include "db/station.h"
#include "core/text.h"

namespace matching {
namespace {

PickerList pickerList(db::NamedPaths&& list) { return PickerList{std::move(list.names), std::move(list.paths)}; }

}  // namespace

std::vector<std::string> LoadArtists(const std::string& baseFile) { return db::SongBase(baseFile).Artists(); }

PickerList LoadTitles(const std::string& baseFile, const std::string* artist) {
  return pickerList(db::SongBase(baseFile).Titles(artist));
}

PickerList LoadJingleNames(const std::string& baseFile) { return pickerList(db::JingleBase(baseFile).Names()); }

int IncrementalSearch(const std::vector<std::string>& items, std::string_view text) {
  const std::string wanted = core::UpperCaseRu(text);
  const auto less = [](std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
      return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
  };
  int found = -1;
  for (int i = static_cast<int>(items.size()) - 1; i >= 0; --i) {
    const std::string piece = core::UpperCaseRu(std::string_view(items[static_cast<std::size_t>(i)]).substr(0, text.size()));
    if (less(piece, wanted)) break;
    found = i;
  }
  return found;
}

}  // namespace matching
