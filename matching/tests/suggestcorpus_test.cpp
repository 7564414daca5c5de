// The suggestions on the generated corpus: every kind of fault finds its song
// nearly always, and no line gets a strong suggestion that is not its song.
// matching/bench/suggest_bench runs the same corpus on a base of 100 000 songs.
#include <gtest/gtest.h>

#include <map>

#include "matching/tests/suggestcorpus.h"

namespace matching {
namespace {

TEST(SuggestionCorpus, FindsTheSongOfEveryKindAndIsNeverStronglyWrong) {
  for (const std::uint64_t seed : {1u, 2u}) {
    const suggestcorpus::Corpus corpus = suggestcorpus::MakeCorpus(seed, 4000, 30);
    const SuggestionEngine engine(corpus.base, {});
    std::map<std::string, suggestcorpus::Outcome> byKind;
    suggestcorpus::Outcome all;
    for (const auto& line : corpus.lines) {
      const auto found = engine.SuggestSong(line.artist, line.name, 1);
      suggestcorpus::Count(byKind[line.kind], line, found, corpus.base);
      suggestcorpus::Count(all, line, found, corpus.base);
    }
    EXPECT_EQ(all.wrongStrong, 0u) << "seed " << seed;
    EXPECT_GE(all.topOne * 100, all.present * 97) << "seed " << seed << ": " << all.topOne << " of " << all.present;
    for (const auto& [kind, outcome] : byKind) {
      EXPECT_GE(outcome.topOne * 100, outcome.present * 85) << kind << ", seed " << seed;
    }
    EXPECT_EQ(byKind["absent"].lines, 30u);  // songs the base lacks were asked for too
  }
}

}  // namespace
}  // namespace matching
