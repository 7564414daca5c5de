// suggest_bench: how often the match suggestions name the right song, how often
// a strong one is wrong, and what suggesting for one day's unmatched lines
// costs beside one plain read of the song base. The base and the lines come
// from the suggestion corpus (matching/tests/suggestcorpus.h); the base is
// written as BaseSong.db in a temporary folder (or the folder given), removed
// after.
//
//   suggest_bench [SONGS [SEED [FOLDER]]]
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <iomanip>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/tablecache.h"
#include "db/values.h"
#include "matching/suggest.h"
#include "matching/tests/suggestcorpus.h"

namespace {

constexpr std::size_t kDefaultSongs = 100000;
constexpr std::size_t kLinesPerKind = 100;
constexpr std::size_t kDayLines = 480;
constexpr int kRuns = 3;

using Clock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The fastest of a few runs.
double bestOf(const std::function<void()>& work) {
  double best = 1e9;
  for (int i = 0; i < kRuns; ++i) best = std::min(best, secondsOf(work));
  return best;
}

// BaseSong.db with the automation system's fields, the timing values made up.
void writeBase(const std::string& path, const std::vector<matching::SongBaseRow>& rows) {
  std::vector<db::Field> fields = {{"FArtist", db::FieldType::Alpha, 64}, {"FName", db::FieldType::Alpha, 64},
                                   {"FPath", db::FieldType::Alpha, 160}};
  for (const char* name : {"FTime", "FIntro", "FOutro", "FProtect", "FStartTime", "FAbort", "FFadeInLen",
                           "FFadeOutLen", "FMixOut", "FMixIn"}) {
    fields.push_back({name, db::FieldType::Time, 4});
  }
  for (const char* name : {"FStartVol", "FEndVol"}) fields.push_back({name, db::FieldType::Short, 2});
  fields.push_back({"FNoAutoMix", db::FieldType::Logical, 1});
  for (const char* name : {"FCategory", "FStyle", "FMood", "FSex", "FLanguage"}) {
    fields.push_back({name, db::FieldType::Alpha, 32});
  }
  std::vector<db::Row> table;
  table.reserve(rows.size());
  for (std::size_t n = 0; n < rows.size(); ++n) {
    std::vector<std::string> v = {rows[n].FArtist, rows[n].FName, rows[n].FPath};
    for (int k = 0; k < 10; ++k) v.push_back("00:0" + std::to_string((n + static_cast<std::size_t>(k)) % 10) + ":30");
    v.insert(v.end(), {"100", "90", n % 2 ? "True" : "False", "Pop", "Dance", "Happy", "M", "ru"});
    db::Row row;
    for (std::size_t i = 0; i < v.size(); ++i) row.push_back(db::FromString(v[i], fields[i], path));
    table.push_back(std::move(row));
  }
  db::ParadoxTable::Create(path, fields);
  db::ParadoxTable(path).Append(table);
}

void printAccuracy(const suggestcorpus::Corpus& corpus, const matching::SuggestionEngine& engine) {
  std::map<std::string, suggestcorpus::Outcome> byKind;
  suggestcorpus::Outcome all;
  for (const auto& line : corpus.lines) {
    const auto found = engine.SuggestSong(line.artist, line.name, 1);
    suggestcorpus::Count(byKind[line.kind], line, found, corpus.base);
    suggestcorpus::Count(all, line, found, corpus.base);
    if (!found.empty() && found[0].score >= matching::kStrongSuggestion &&
        (!line.expected || !suggestcorpus::SameSong(corpus.base[found[0].row], corpus.base[*line.expected]))) {
      const auto& row = corpus.base[found[0].row];
      std::cout << "wrong strong (" << line.kind << "): " << core::cp1251ToUtf8(line.artist) << " - "
                << core::cp1251ToUtf8(line.name) << " -> " << core::cp1251ToUtf8(row.FArtist) << " - "
                << core::cp1251ToUtf8(row.FName) << " (" << found[0].score << ")\n";
    }
  }
  auto percent = [](std::size_t part, std::size_t whole) {
    return whole == 0 ? 0.0 : 100.0 * static_cast<double>(part) / static_cast<double>(whole);
  };
  std::cout << std::left << std::setw(22) << "kind" << std::right << std::setw(7) << "lines" << std::setw(9) << "top-1 %"
            << std::setw(10) << "strong %" << std::setw(15) << "wrong strong %" << '\n';
  auto row = [&](const std::string& name, const suggestcorpus::Outcome& o) {
    std::cout << std::left << std::setw(22) << name << std::right << std::setw(7) << o.lines << std::fixed
              << std::setprecision(1) << std::setw(9) << percent(o.topOne, o.present) << std::setw(10)
              << percent(o.strongRight, o.present) << std::setw(15) << percent(o.wrongStrong, o.lines) << '\n';
  };
  for (const auto& [kind, outcome] : byKind) row(kind, outcome);
  row("all", all);
  std::cout << "top-1 accuracy " << std::setprecision(1) << percent(all.topOne, all.present) << " % of "
            << all.present << " lines whose song is in the base; wrong strong suggestions "
            << std::setprecision(2) << percent(all.wrongStrong, all.lines) << " % of all " << all.lines
            << " lines (" << all.wrongStrong << ")\n";
}

// The day's unmatched lines: kDayLines lines spread over the corpus.
std::vector<suggestcorpus::Line> dayLines(const suggestcorpus::Corpus& corpus) {
  std::vector<suggestcorpus::Line> lines;
  for (std::size_t i = 0; i < kDayLines; ++i) lines.push_back(corpus.lines[i * corpus.lines.size() / kDayLines]);
  return lines;
}

void printSpeed(const suggestcorpus::Corpus& corpus, const std::string& basePath) {
  const double plainRead = bestOf([&] {
    db::TableCache::Clear();
    if (db::ParadoxTable(basePath).ReadAll().size() != corpus.base.size()) std::cerr << "short read\n";
  });
  const auto lines = dayLines(corpus);
  std::size_t offered = 0;
  // The command hands the engine the rows it read; copying them is no part of it.
  std::vector<std::vector<matching::SongBaseRow>> copies(kRuns, corpus.base);
  const double build = bestOf([&] {
    matching::SuggestionEngine engine(std::move(copies.back()), {});
    copies.pop_back();
  });
  const matching::SuggestionEngine engine(corpus.base, {});
  const double suggest = bestOf([&] {
    offered = 0;
    for (const auto& line : lines) offered += engine.SuggestSong(line.artist, line.name, 3).size();
  });
  std::cout << std::fixed << std::setprecision(1) << "plain read of BaseSong.db (" << corpus.base.size()
            << " rows): " << plainRead * 1000 << " ms\n"
            << "engine built from the rows: " << build * 1000 << " ms\n"
            << kDayLines << " unmatched lines, top 3 each (" << offered << " offered): " << suggest * 1000 << " ms\n"
            << "suggestions (build + lines) / plain read: " << std::setprecision(2) << (build + suggest) / plainRead
            << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  const std::size_t songs = argc > 1 ? std::stoul(argv[1]) : kDefaultSongs;
  const std::uint64_t seed = argc > 2 ? std::stoull(argv[2]) : 1;
  const bool ownFolder = argc < 4;
  const std::filesystem::path folder =
      ownFolder ? std::filesystem::temp_directory_path() / "suggest_bench_station" : std::filesystem::path(argv[3]);
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  try {
    const suggestcorpus::Corpus corpus = suggestcorpus::MakeCorpus(seed, songs, kLinesPerKind);
    std::cout << "seed " << seed << ": " << corpus.base.size() << " songs, " << corpus.lines.size() << " lines\n";
    printAccuracy(corpus, matching::SuggestionEngine(corpus.base, {}));
    const std::string basePath = core::FromFsPath(folder / "BaseSong.db");
    writeBase(basePath, corpus.base);
    printSpeed(corpus, basePath);
  } catch (const std::exception& e) {
    std::cerr << core::cp1251ToUtf8(e.what()) << '\n';
    return 1;
  }
  db::TableCache::Clear();
  if (ownFolder) std::filesystem::remove_all(folder);
  return 0;
}
