// Match suggestions: the comparable keys, the score, and the engine on a small
// song base of Russian and Latin names, one table of export variants per kind.
#include "matching/suggest.h"

#include <gtest/gtest.h>

#include "core/codec.h"

namespace matching {
namespace {

std::string Cp(std::string_view utf8) { return core::cp1251(utf8); }

struct SameKeyCase {
  std::string_view name;
  std::string_view a, b;  // UTF-8
};

void PrintTo(const SameKeyCase& c, std::ostream* out) { *out << c.name; }

class SameKey : public ::testing::TestWithParam<SameKeyCase> {};

TEST_P(SameKey, BothSpellingsGiveOneKey) {
  const auto& c = GetParam();
  EXPECT_EQ(ComparableWords(Cp(c.a)), ComparableWords(Cp(c.b)));
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, SameKey,
    ::testing::Values(SameKeyCase{"LatinCase", "HEY JUDE", "hey jude"},
                      SameKeyCase{"CyrillicCase", "ГРУППА КРОВИ", "группа крови"},
                      SameKeyCase{"YoAsYe", "Пугачёва", "Пугачева"},
                      SameKeyCase{"CapitalYo", "ЁЛКА", "Елка"},
                      SameKeyCase{"LatinLookAlikesInCyrillic", "Kинo", "Кино"},      // Latin K and o
                      SameKeyCase{"LatinCapitalsInCyrillic", "НОЧНЫE CНАЙПЕРЫ", "ночные снайперы"},
                      SameKeyCase{"CyrillicLookAlikesInLatin", "Воhеmian", "Bohemian"},  // Cyrillic В, о, е
                      SameKeyCase{"Blanks", "  Depeche   Mode ", "Depeche Mode"},
                      SameKeyCase{"Punctuation", "Hey, Jude!..", "Hey Jude"},
                      SameKeyCase{"Apostrophe", "Don't Stop", "Dont Stop"},
                      SameKeyCase{"Hyphen", "Би-2", "Би 2"},
                      SameKeyCase{"Transliteration", "Кино", "Kino"},
                      SameKeyCase{"TransliterationY", "Мумий Тролль", "Mumiy Troll"},
                      SameKeyCase{"TransliterationKh", "Михаил Хлебников", "Mikhail Khlebnikov"},
                      SameKeyCase{"TransliterationYa", "Земляне", "Zemlyane"},
                      SameKeyCase{"TransliterationTs", "Виктор Цой", "Viktor Tsoi"},
                      SameKeyCase{"TransliterationYo", "Фёдор Семёнов", "Fyodor Semyonov"}));

TEST(SuggestKeys, LookAlikesFollowTheWordsOwnLetters) {
  // The Latin letters of a Cyrillic word become Cyrillic, and the reverse; a
  // word made only of letters with twins follows the majority.
  EXPECT_EQ(FixLookAlikes(Cp("Pок-н-poлл")), Cp("Рок-н-ролл"));
  EXPECT_EQ(FixLookAlikes(Cp("Веаtles")), "Beatles");
  EXPECT_EQ(FixLookAlikes(Cp("TOР")), "TOP");
  // Words of one script are not touched.
  EXPECT_EQ(FixLookAlikes(Cp("Мама Papa")), Cp("Мама Papa"));
}

TEST(SuggestKeys, ArtistPartsWithoutTheAndSeparators) {
  const std::vector<KeyWords> beatles = {{"beatles"}};
  EXPECT_EQ(MakeArtistKey("The Beatles").parts, beatles);
  EXPECT_EQ(MakeArtistKey("Beatles, The").parts, beatles);
  EXPECT_EQ(MakeArtistKey("The The").parts, std::vector<KeyWords>{{"the"}});
  const std::vector<KeyWords> two = {{"sting"}, {"Ceb", "mami"}};
  for (const char* text : {"Sting feat. Cheb Mami", "Sting ft Cheb Mami", "Sting & Cheb Mami", "Sting and Cheb Mami",
                           "Sting + Cheb Mami", "Sting/Cheb Mami", "Sting, Cheb Mami", "Sting featuring Cheb Mami"}) {
    EXPECT_EQ(MakeArtistKey(text).parts, two) << text;
  }
  EXPECT_EQ(MakeArtistKey(Cp("Иванов и Петров")).parts, (std::vector<KeyWords>{{"ivanov"}, {"petrov"}}));
  // A name that is nothing but a separator word stays a name.
  EXPECT_EQ(MakeArtistKey("And").parts, std::vector<KeyWords>{{"and"}});
}

TEST(SuggestKeys, KnownTitleTailsAreSetApart) {
  const KeyWords song = {"song"};
  for (const char* title : {"Song (Radio Edit)", "Song (remix)", "Song - Live", "Song [Extended Mix]", "Song (Radio Ed",
                            "Song (Live) (Remastered)", "Song \x96 live at Wembley"}) {
    const TitleKey key = MakeTitleKey(title);
    EXPECT_EQ(key.core, song) << title;
    EXPECT_NE(key.words, song) << title;
  }
  // Brackets and dashes that are part of the title stay.
  for (const char* title : {"Song (Vol. 2)", "Song - Other Song", "(Remix)", "Song (Peace"}) {
    const TitleKey key = MakeTitleKey(title);
    EXPECT_EQ(key.core, key.words) << title;
  }
  EXPECT_EQ(MakeTitleKey(Cp("Осень (ремикс)")).core, KeyWords{"osen"});
}

TEST(SuggestScore, TokenAwareEditDistance) {
  EXPECT_EQ(WordsDistance({"hey", "jude"}, {"hey", "jude"}), 0);
  EXPECT_EQ(WordsDistance({"hey", "jude"}, {"hei", "jude"}), 1);
  EXPECT_EQ(WordsDistance({"hey", "jude"}, {"hye", "jude"}), 1);   // two letters swapped
  EXPECT_EQ(WordsDistance({"hey", "jude"}, {"heyjude"}), 0);       // a blank missing
  EXPECT_EQ(WordsDistance({"heyjude"}, {"hey", "jud"}), 1);
  EXPECT_EQ(WordsDistance({"hey", "jude"}, {"jude"}), 3);          // a word missing costs its letters
  EXPECT_EQ(WordsDistance({"part", "1"}, {"part", "2"}), 3);       // numbers differ as a whole
  EXPECT_EQ(WordsDistance({}, {"abc"}), 3);
}

TEST(SuggestScore, OneTypoInAShortTitleIsNotStrong) {
  const SongKey row = MakeSongKey("Artist", "Love");
  EXPECT_LT(SongScore(MakeLineKey("Artist", "Live"), row), kStrongSuggestion);
  EXPECT_GE(SongScore(MakeLineKey("Artist", "Lovve"), MakeSongKey("Artist", "Loving You")), 0);
  EXPECT_GE(SongScore(MakeLineKey("Artist", "Lovng You"), MakeSongKey("Artist", "Loving You")), kStrongSuggestion);
  EXPECT_EQ(SongScore(MakeLineKey("Artist", "Loving You"), MakeSongKey("Artist", "Loving You")), 100);
  // A line without an artist is never strong, however alike the titles are.
  EXPECT_LT(SongScore(MakeLineKey("", "Loving You"), MakeSongKey("Artist", "Loving You")), kStrongSuggestion);
  EXPECT_GE(SongScore(MakeLineKey("", "Loving You"), MakeSongKey("Artist", "Loving You")), kWeakestSuggestion);
}

// The station's song base of the tests below.
const std::vector<std::pair<std::string_view, std::string_view>> kBase = {
    {"Кино", "Группа крови"},                          // 0
    {"Кино", "Звезда по имени Солнце"},                // 1
    {"Алла Пугачёва", "Миллион алых роз"},             // 2
    {"The Beatles", "Hey Jude"},                       // 3
    {"The Beatles", "Yesterday"},                      // 4
    {"Queen", "Bohemian Rhapsody"},                    // 5
    {"Ночные Снайперы", "31-я весна"},                 // 6
    {"Мумий Тролль", "Владивосток 2000"},              // 7
    {"Sting feat. Cheb Mami", "Desert Rose"},          // 8
    {"Дискотека Авария & Жанна Фриске", "Малинки"},    // 9
    {"Simon & Garfunkel", "The Sound of Silence"},     // 10
    {"Zemfira", "Хочешь?"},                            // 11
    {"Сплин", "Выхода нет"},                           // 12
    {"Би-2", "Полковнику никто не пишет"},             // 13
    {"Eagles", "Hotel California"},                    // 14
    {"Depeche Mode", "Enjoy the Silence"},             // 15
    {"ДДТ", "Осень"},                                  // 16
    {"Любэ", "Конь"},                                  // 17
    {"Валерий Меладзе", "Красиво"},                    // 18
    {"Руки Вверх", "Крошка моя"},                      // 19
    {"Madonna", "Frozen (Radio Edit)"},                // 20
    {"Ленинград", "Экспонат"},                         // 21
    {"t.A.T.u.", "Нас не догонят"},                    // 22
    {"Земфира", "Искала"},                             // 23
    {"Queen", "Bohemian Rhapsody (Live)"},             // 24
    {"Кино", "Кукушка (2003 Remaster)"},               // 25
};

SuggestionEngine testEngine() {
  std::vector<SongBaseRow> songs;
  for (std::size_t i = 0; i < kBase.size(); ++i) {
    songs.push_back({Cp(kBase[i].first), Cp(kBase[i].second), "C:\\M\\" + std::to_string(i) + ".mp3"});
  }
  return SuggestionEngine(std::move(songs), {{Cp("Новости"), "C:\\J\\news.wav"},
                                             {"Top of the Hour", "C:\\J\\top.wav"},
                                             {Cp("Погода"), "C:\\J\\weather.wav"}});
}

struct VariantCase {
  std::string_view name;
  std::string_view artist, title;  // UTF-8, as the export spells them
  std::size_t expected;            // row of kBase
};

void PrintTo(const VariantCase& c, std::ostream* out) { *out << c.name; }

class ExportVariant : public ::testing::TestWithParam<VariantCase> {
 protected:
  static const SuggestionEngine& engine() {
    static const SuggestionEngine e = testEngine();
    return e;
  }
};

TEST_P(ExportVariant, BestSuggestionIsTheSongAndStrong) {
  const auto& c = GetParam();
  const auto found = engine().SuggestSong(Cp(c.artist), Cp(c.title), 3);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].row, c.expected) << "score " << found[0].score;
  EXPECT_GE(found[0].score, kStrongSuggestion);
  EXPECT_LE(found[0].score, 100);
  for (std::size_t i = 1; i < found.size(); ++i) EXPECT_LE(found[i].score, found[i - 1].score);
}

INSTANTIATE_TEST_SUITE_P(Spelling, ExportVariant, ::testing::Values(
    VariantCase{"Case", "КИНО", "группа КРОВИ", 0},
    VariantCase{"YoWrittenYe", "Алла Пугачева", "Миллион алых роз", 2},
    VariantCase{"YeWrittenYo", "Сплин", "Выхода нёт", 12},
    VariantCase{"LatinInCyrillic", "Hочныe Cнайперы", "31-я вeсна", 6},
    VariantCase{"CyrillicInLatin", "Queеn", "Воhemian Rhapsody", 5},
    VariantCase{"BlanksDoubled", "Depeche  Mode", "Enjoy  the Silence", 15},
    VariantCase{"BlanksMissing", "DepecheMode", "Enjoy theSilence", 15},
    VariantCase{"PunctuationDropped", "tATu", "Нас не догонят", 22},
    VariantCase{"PunctuationAdded", "Би-2", "Полковнику, никто не пишет...", 13}));

INSTANTIATE_TEST_SUITE_P(Artists, ExportVariant, ::testing::Values(
    VariantCase{"TheDropped", "Beatles", "Hey Jude", 3},
    VariantCase{"TheMoved", "Beatles, The", "Yesterday", 4},
    VariantCase{"TheAdded", "The Eagles", "Hotel California", 14},
    VariantCase{"FeaturedDropped", "Sting", "Desert Rose", 8},
    VariantCase{"FeaturedSwapped", "Cheb Mami ft. Sting", "Desert Rose", 8},
    VariantCase{"AmpersandAsI", "Жанна Фриске и Дискотека Авария", "Малинки", 9},
    VariantCase{"SlashJoined", "Дискотека Авария / Жанна Фриске", "Малинки", 9},
    VariantCase{"AndForAmpersand", "Simon and Garfunkel", "The Sound of Silence", 10},
    VariantCase{"PlusForAmpersand", "Simon + Garfunkel", "The Sound of Silence", 10},
    VariantCase{"RussianInLatin", "Kino", "Gruppa krovi", 0},
    VariantCase{"RussianInLatinY", "Mumiy Troll", "Vladivostok 2000", 7},
    VariantCase{"RussianInLatinYo", "Alla Pugachyova", "Million alykh roz", 2},
    VariantCase{"LatinInRussian", "Земфира", "Хочешь?", 11},
    VariantCase{"LatinForCyrillicArtist", "Zemfira", "Искала", 23}));

INSTANTIATE_TEST_SUITE_P(Typing, ExportVariant, ::testing::Values(
    VariantCase{"LetterInserted", "Сплинн", "Выхода нет", 12},
    VariantCase{"LetterDropped", "Queen", "Bohemian Rapsody", 5},
    VariantCase{"LetterChanged", "Валерий Меладзе", "Красивл", 18},
    VariantCase{"LettersSwapped", "Руки Вверх", "Кршока моя", 19},
    VariantCase{"ArtistAndTitleSwapped", "Hotel California", "Eagles", 14},
    VariantCase{"ShortNamesSwapped", "Осень", "ДДТ", 16},
    VariantCase{"TitleCutAtColumn", "Би-2", "Полковнику никто н", 13},
    VariantCase{"ArtistCutAtColumn", "Дискотека Авария &", "Малинки", 9},
    VariantCase{"WordCutAtColumn", "Кино", "Звезда по имени Со", 1}));

INSTANTIATE_TEST_SUITE_P(Tails, ExportVariant, ::testing::Values(
    VariantCase{"RadioEditAdded", "Ленинград", "Экспонат (Radio Edit)", 21},
    VariantCase{"RemixAdded", "Ленинград", "Экспонат (remix)", 21},
    VariantCase{"LiveAdded", "Кино", "Группа крови - Live", 0},
    VariantCase{"RadioEditDropped", "Madonna", "Frozen", 20},
    VariantCase{"TailOfTheBaseKept", "Queen", "Bohemian Rhapsody - Live", 24},
    VariantCase{"TailCut", "Кино", "Кукушка (2003 Remas", 25}));

TEST(Suggestions, SongsNotInTheBaseGetNoStrongSuggestion) {
  const SuggestionEngine engine = testEngine();
  const std::pair<std::string_view, std::string_view> absent[] = {
      {"Кино", "Пачка сигарет"},           {"Queen", "Another One Bites the Dust"},
      {"The Beatles", "Let It Be"},        {"Ария", "Осень"},
      {"Мумий Тролль", "Владивосток 2001"}, {"Неизвестный", "Песня"},
      {"Carpenters", "Yesterday Once More"}, {"Валерий Леонтьев", "Красиво"},
      {"Madonna", "Frozen Heart"},         {"Любэ", "Комбат"},
      {"Сплин", "Выхода нет 2"},
      {"Depeche Mode", "Enjoy"},           {"Simon", "The Boxer"}};
  for (const auto& [artist, title] : absent) {
    for (const auto& s : engine.SuggestSong(Cp(artist), Cp(title), 5)) {
      EXPECT_LT(s.score, kStrongSuggestion) << artist << " - " << title << " got row " << s.row << " (" << s.score << ")";
    }
  }
}

TEST(Suggestions, ExactSongScoresFullAndComesFirst) {
  const SuggestionEngine engine = testEngine();
  const auto found = engine.SuggestSong(Cp("Queen"), Cp("Bohemian Rhapsody"), 3);
  ASSERT_GE(found.size(), 2u);
  EXPECT_EQ(found[0], (Suggestion{5, 100}));
  EXPECT_EQ(found[1].row, 24u);  // the live take comes next
  EXPECT_EQ(engine.SuggestSong(Cp("Queen"), Cp("Bohemian Rhapsody"), 1).size(), 1u);
  EXPECT_TRUE(engine.SuggestSong(Cp("Zzz"), Cp("Qqq"), 3).empty());
}

TEST(Suggestions, JinglesComeFromTheJingleBaseByTitle) {
  const SuggestionEngine engine = testEngine();
  core::TSongRec line;
  line.Kind = core::kKindJingle;
  line.Artist = Cp("Кино");  // a jingle's artist column plays no part
  line.Name = Cp("НОВОСТИ (remix)");
  auto found = engine.Suggest(line);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0].row, 0u);
  EXPECT_GE(found[0].score, kStrongSuggestion);
  line.Name = "Top of the Hour";
  found = engine.Suggest(line);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found[0], (Suggestion{1, 100}));
  line.Name = Cp("Группа крови");  // a song's title is no jingle
  EXPECT_TRUE(engine.Suggest(line).empty());
  line.Kind = core::kKindSong;
  EXPECT_EQ(engine.Suggest(line).at(0).row, 0u);
}

TEST(Suggestions, EmptyBasesSuggestNothing) {
  const SuggestionEngine engine({}, {});
  EXPECT_TRUE(engine.SuggestSong("Queen", "Bohemian Rhapsody").empty());
  EXPECT_TRUE(engine.SuggestJingle("Top").empty());
}

TripleIndex indexOf(const std::vector<std::string>& keys) {
  return TripleIndex(keys.size(), [&](std::size_t row, std::string& key) { key += keys[row]; });
}

TEST(TripleIndex, CandidatesShareTriplesMostFirstAndAreLimited) {
  const TripleIndex index = indexOf({"abcdef", "abcxyz", "qqqq", "abc", "zzzz", "xabcx"});
  // "abc" with its ends: ^ab abc bc$. Row 3 holds all three, rows 0 and 1 two;
  // row 5 only one, less than half of the best.
  EXPECT_EQ(index.Candidates("abc", 10), (std::vector<std::uint32_t>{3, 0, 1}));
  EXPECT_EQ(index.Candidates("abc", 2), (std::vector<std::uint32_t>{3, 0}));
  EXPECT_TRUE(index.Candidates("mmm", 10).empty());
  EXPECT_TRUE(TripleIndex().Candidates("abc", 10).empty());
  // '|' ends one text and starts the next: no triple spans it.
  EXPECT_EQ(indexOf({"ab", "b|c"}).Candidates("ab|c", 10), (std::vector<std::uint32_t>{0, 1}));
  EXPECT_TRUE(indexOf({"bc"}).Candidates("b|c", 10).empty());
}

TEST(TripleIndex, JoinedKeyIsTheJoinedWords) {
  for (const char* utf8 : {"Ночные Снайперы & Kинo", "t.A.T.u. - Shchedrin, The Kh'a", "Владивосток 2000 (Live)"}) {
    std::string key;
    AppendJoinedKey(Cp(utf8), key);
    EXPECT_EQ(key, Joined(ComparableWords(Cp(utf8)))) << utf8;
  }
}

}  // namespace
}  // namespace matching
