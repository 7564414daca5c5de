#include "matching/pickerlists.h"

#include "core/daymodel.h"
#include "core/text.h"

namespace matching {
namespace {

PickerList readNamesAndPaths(db::Query& query) {
  query.Open();
  PickerList list;
  list.names.reserve(static_cast<std::size_t>(query.RecordCount()));
  list.Paths.reserve(static_cast<std::size_t>(query.RecordCount()));
  for (; !query.Eof(); query.Next()) {
    list.names.push_back(query.FieldAsString("FName"));
    list.Paths.push_back(core::CutTo(query.FieldAsString("FPath"), core::kPathCapacity));
  }
  query.Close();
  query.Clear();
  return list;
}

}  // namespace

std::vector<std::string> LoadArtists(db::Query& query, const std::string& baseFile) {
  query.Close();
  query.Clear();
  query.Add("SELECT DISTINCT FArtist FROM " + db::Quoted(baseFile));
  query.Add("ORDER BY FArtist");
  query.Open();
  std::vector<std::string> artists;
  for (; !query.Eof(); query.Next()) artists.push_back(query.FieldAsString("FArtist"));
  query.Close();
  query.Clear();
  return artists;
}

PickerList LoadTitles(db::Query& query, const std::string& baseFile, const std::string* artist) {
  query.Close();
  query.Clear();
  query.Add("SELECT FName,FArtist,FPath FROM " + db::Quoted(baseFile));
  if (artist != nullptr) query.Add("WHERE FArtist=" + db::Quoted(*artist));
  query.Add("ORDER BY FName");
  return readNamesAndPaths(query);
}

PickerList LoadJingleNames(db::Query& query, const std::string& baseFile) {
  query.Close();
  query.Clear();
  query.Add("SELECT FName,FPath FROM " + db::Quoted(baseFile));
  query.Add("ORDER BY FName");
  return readNamesAndPaths(query);
}

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
