// A corpus for the match suggestions: a synthetic song base of Russian and
// Latin names, and scheduled lines made from its rows the way schedulers'
// exports spell them wrong, one kind of fault a line, plus lines of songs the
// base does not hold. Made from a seed, the same on every platform. Shared by
// the suggestion tests and matching/bench/suggest_bench.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/codec.h"
#include "core/text.h"
#include "matching/suggest.h"

namespace suggestcorpus {

struct Line {
  std::string kind;    // what the export got wrong
  std::string artist;  // CP1251, as the export spells it
  std::string name;
  std::optional<std::size_t> expected;  // the base row meant; none for a song the base lacks
};

struct Corpus {
  std::vector<matching::SongBaseRow> base;
  std::vector<Line> lines;
};

// splitmix64: the same numbers everywhere, unlike the standard distributions.
class Random {
 public:
  explicit Random(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t below(std::size_t n) { return n == 0 ? 0 : static_cast<std::size_t>(next() % n); }
  bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
  template <class List>
  const auto& pick(const List& list) {
    return list[below(std::size(list))];
  }

 private:
  std::uint64_t m_state;
};

namespace detail {

inline std::string Cp(std::string_view utf8) { return core::cp1251(utf8); }

inline const char* const kRuFirst[] = {"Алёна", "Пётр", "Иван", "Мария", "Сергей", "Анна", "Олег", "Юлия", "Дмитрий",
                                       "Елена", "Фёдор", "Ксения", "Михаил", "Наталья", "Андрей", "Татьяна", "Павел",
                                       "Светлана", "Николай", "Жанна", "Григорий", "Яна", "Валерий", "Людмила",
                                       "Эдуард", "Зоя", "Игорь", "Вера", "Борис", "Шура", "Константин", "Любовь"};
inline const char* const kRuLast[] = {
    "Семёнов", "Королёв", "Ёлкин", "Пугачёв", "Иванов", "Смирнов", "Кузнецов", "Попов", "Васильев", "Соколов",
    "Михайлов", "Новиков", "Фёдоров", "Морозов", "Волков", "Алексеев", "Лебедев", "Козлов", "Степанов", "Николаев",
    "Орлов", "Андреев", "Макаров", "Никитин", "Захаров", "Зайцев", "Соловьёв", "Борисов", "Яковлев", "Григорьев",
    "Романов", "Воробьёв", "Сергеев", "Кузьмин", "Фролов", "Александров", "Дмитриев", "Королев", "Гусев", "Киселёв",
    "Ильин", "Максимов", "Поляков", "Сорокин", "Виноградов", "Ковалёв", "Белов", "Медведев", "Антонов", "Тарасов",
    "Жуков", "Баранов", "Филиппов", "Комаров", "Давыдов", "Беляев", "Герасимов", "Богданов", "Осипов", "Сидоров",
    "Матвеев", "Титов", "Марков", "Миронов", "Крылов", "Куликов", "Карпов", "Власов", "Мельников", "Денисов",
    "Гаврилов", "Тихонов", "Казаков", "Афанасьев", "Данилов", "Савельев", "Тимофеев", "Фомин", "Чернов", "Абрамов",
    "Мартынов", "Ефимов", "Федотов", "Щербаков", "Назаров", "Калинин", "Исаев", "Чернышёв", "Быков", "Маслов",
    "Родионов", "Коновалов", "Лазарев", "Воронин", "Климов", "Филатов", "Пономарёв", "Голубев", "Кудрявцев", "Прохоров",
    "Наумов", "Потапов", "Журавлёв", "Овчинников", "Трофимов", "Леонов", "Соболев", "Ермаков", "Колесников", "Гончаров",
    "Емельянов", "Никифоров", "Грачёв", "Котов", "Гришин", "Ефремов", "Архипов", "Громов", "Кириллов", "Малышев",
    "Панов", "Моисеев", "Румянцев", "Акимов", "Кондратьев", "Бирюков", "Горбунов", "Анисимов", "Ерёмин", "Тихомиров"};
inline const char* const kRuBandAdj[] = {"Ночные",   "Синие",   "Весёлые",  "Белые",    "Красные",  "Звёздные",
                                         "Старые",   "Тихие",   "Дикие",    "Северные", "Южные",    "Лесные",
                                         "Морские",  "Горячие", "Железные", "Золотые",  "Летние",   "Зимние",
                                         "Городские", "Лунные", "Ясные",    "Быстрые",  "Чёрные",   "Хрустальные"};
inline const char* const kRuBandNoun[] = {"Снайперы", "Ребята", "Птицы",   "Волки",   "Гитары",  "Ветры",
                                          "Огни",     "Люди",   "Братья",  "Сёстры",  "Корабли", "Тени",
                                          "Пилоты",   "Соседи", "Бродяги", "Часы",    "Цветы",   "Дожди",
                                          "Крылья",   "Звуки",  "Мосты",   "Реки",    "Кошки",   "Танцоры"};
inline const char* const kEnFirst[] = {"John",  "Mary",  "Kate",   "Peter", "Alex",  "Sarah", "Tom",    "Linda",
                                       "Chris", "Emma",  "David",  "Laura", "Mike",  "Anna",  "George", "Lucy",
                                       "Paul",  "Diana", "Robert", "Julia", "Frank", "Nina",  "Steve",  "Helen"};
inline const char* const kEnLast[] = {"Smith",  "Brown",  "Taylor",   "Wilson",  "Evans",  "Thomas", "Roberts", "Walker",
                                      "Wright", "Hughes", "Edwards",  "Green",   "Hall",   "Wood",   "Harris",  "Martin",
                                      "Clarke", "Jackson", "Turner",  "Hill",    "Moore",  "Cooper", "Ward",    "Morris",
                                      "King",   "Baker",  "Harrison", "Morgan",  "Parker", "Carter", "Bell",    "Young"};
inline const char* const kEnBandAdj[] = {"Silver", "Electric", "Midnight", "Golden", "Crystal", "Broken", "Velvet",
                                         "Neon",   "Wild",     "Frozen",   "Purple", "Iron",    "Lonely", "Crazy",
                                         "Happy",  "Dark",     "Royal",    "Magic",  "Atomic",  "Sonic"};
inline const char* const kEnBandNoun[] = {"Stones", "Riders", "Angels", "Dreams", "Kings",   "Hearts", "Wolves",
                                          "Lights", "Echoes", "Tigers", "Rebels", "Sparks",  "Ghosts", "Roses",
                                          "Birds",  "Waves",  "Drums",  "Shadows", "Pilots", "Monkeys"};
inline const char* const kRuTitleAdj[] = {"Белая",   "Тёмная",   "Последняя", "Первая",  "Летняя",   "Зимняя",
                                          "Новая",   "Старая",   "Вечная",    "Тихая",   "Долгая",   "Ясная",
                                          "Чужая",   "Родная",   "Золотая",   "Синяя",   "Звёздная", "Лунная",
                                          "Весенняя", "Осенняя", "Далёкая",   "Любимая", "Грустная", "Шальная"};
inline const char* const kRuTitleNoun[] = {"ночь",   "дорога", "песня",  "любовь",  "звезда", "река",   "весна",
                                           "осень",  "зима",   "мечта",  "улица",   "сказка", "волна",  "птица",
                                           "ёлка",   "война",  "печаль", "радость", "судьба", "гитара", "пристань",
                                           "сторона", "метель", "роса",  "берёза",  "полночь", "тишина", "разлука"};
inline const char* const kRuTitleTail[] = {"над городом", "в облаках",   "у моря",    "без тебя",  "для тебя",
                                           "навсегда",    "до рассвета", "за окном",  "на двоих",  "моей души",
                                           "в степи",     "под дождём",  "над рекой", "в огне",    "на краю земли",
                                           "у порога",    "в темноте",   "без слов",  "среди зимы", "за горизонтом"};
inline const char* const kEnTitleAdj[] = {"Sweet", "Lonely",  "Endless", "Broken", "Summer", "Winter", "Golden",
                                          "Silent", "Little", "Crazy",   "Secret", "Burning", "Perfect", "Wild",
                                          "Blue",  "Electric", "Last",   "First",  "Beautiful", "Dangerous"};
inline const char* const kEnTitleNoun[] = {"Love",   "Night",  "Dream",   "Heart",  "Road",   "Fire",   "Rain",
                                           "Girl",   "Boy",    "Sky",     "Song",   "Dance",  "Summer", "Memories",
                                           "Tears",  "Angel",  "Paradise", "Light", "Stranger", "Highway", "Morning",
                                           "Ocean",  "Fever",  "Thunder", "Promise", "Kiss"};
inline const char* const kEnTitleTail[] = {"in the Rain", "Tonight", "Forever", "of Mine", "on Fire", "at Midnight",
                                           "for You", "Again", "in My Heart", "All Night Long", "Goes On",
                                           "Is Calling", "Comes Home", "of the City", "Without You"};
inline const char* const kBaseTails[] = {" (Radio Edit)", " (Remix)", " (Live)", " (Extended Mix)"};
inline const char* const kLineTails[] = {" (Radio Edit)", " (remix)", " - Live", " (Live)", " [Radio Edit]"};
inline const char* const kSeparators[] = {" feat. ", " ft. ", " & ", " and ", " + ", " / "};
inline const char* const kRuSeparator = " и ";
inline const int kCutWidths[] = {18, 19, 25, 26, 27, 32, 33};

// The Latin spelling used on air-play lists and CD covers, not the program's own.
inline std::string toLatin(std::string_view cp1251Text) {
  static const char* const kLetters[32] = {"a", "b", "v", "g",  "d",  "e",    "zh", "z",  "i", "y",  "k",
                                           "l", "m", "n", "o",  "p",  "r",    "s",  "t",  "u", "f",  "kh",
                                           "ts", "ch", "sh", "shch", "", "y", "", "e", "yu", "ya"};
  std::string out;
  for (const char c : cp1251Text) {
    const auto b = static_cast<unsigned char>(c);
    const auto upper = static_cast<unsigned char>(core::UpperChar(c));
    if (upper == 0xA8) {
      out += b == upper ? "Yo" : "yo";
    } else if (upper >= 0xC0) {
      std::string l = kLetters[upper - 0xC0];
      if (b == upper && !l.empty()) l[0] = static_cast<char>(l[0] - 32);
      out += l;
    } else {
      out += c;
    }
  }
  return out;
}

inline char lowerChar(char c) {
  const auto b = static_cast<unsigned char>(c);
  if (b >= 'A' && b <= 'Z') return static_cast<char>(b + 32);
  if (b >= 0xC0 && b <= 0xDF) return static_cast<char>(b + 32);
  if (b == 0xA8) return static_cast<char>(0xB8);
  return c;
}
inline std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = lowerChar(c);
  return out;
}

inline bool isLetterByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b >= 0xC0 || b == 0xA8 || b == 0xB8;
}
inline bool isCyrillicByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 0xC0 || b == 0xA8 || b == 0xB8;
}
inline bool hasCyrillic(std::string_view t) {
  for (const char c : t) {
    if (isCyrillicByte(c)) return true;
  }
  return false;
}

// Latin letters and the Cyrillic ones they look like.
inline const std::pair<char, std::string_view> kTwins[] = {
    {'A', "А"}, {'B', "В"}, {'C', "С"}, {'E', "Е"}, {'H', "Н"}, {'K', "К"}, {'M', "М"}, {'O', "О"}, {'P', "Р"},
    {'T', "Т"}, {'X', "Х"}, {'a', "а"}, {'c', "с"}, {'e', "е"}, {'o', "о"}, {'p', "р"}, {'x', "х"}, {'y', "у"}};

inline std::vector<std::size_t> letterPositions(std::string_view t) {
  std::vector<std::size_t> at;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (isLetterByte(t[i])) at.push_back(i);
  }
  return at;
}

// One typo: a letter inserted, dropped or changed, or two letters swapped.
inline std::string typo(std::string text, Random& rnd) {
  const auto at = letterPositions(text);
  if (at.size() < 2) return text + text.back();
  const std::size_t i = at[rnd.below(at.size() - 1)];
  const bool cyr = isCyrillicByte(text[i]);
  const char other = cyr ? static_cast<char>(0xE0 + rnd.below(32)) : static_cast<char>('a' + rnd.below(26));
  switch (rnd.below(4)) {
    case 0: text.insert(text.begin() + static_cast<std::ptrdiff_t>(i), other); break;
    case 1: text.erase(i, 1); break;
    case 2: text[i] = other == lowerChar(text[i]) ? static_cast<char>(other ^ 1) : other; break;
    default:
      if (i + 1 < text.size() && isLetterByte(text[i + 1]) && text[i] != text[i + 1]) std::swap(text[i], text[i + 1]);
      else text.erase(i, 1);
  }
  return text;
}

inline std::string cut(const std::string& text, std::size_t width) { return core::Trim(text.substr(0, width)); }

inline std::size_t find(std::string_view text, std::string_view what) { return text.find(what); }

}  // namespace detail

// The synthetic song base: Russian singers (some stored in Latin letters),
// Russian and English bands, duets, titles of one to five words, a few with a
// tail. Artist and title pairs are unique.
inline std::vector<matching::SongBaseRow> MakeBase(std::uint64_t seed, std::size_t songs) {
  using namespace detail;
  Random rnd(seed);
  std::vector<matching::SongBaseRow> rows;
  std::set<std::string> seen;
  const std::size_t artistCount = std::max<std::size_t>(songs / 11, 1);
  std::vector<std::string> artists;
  std::set<std::string> artistSeen;
  for (std::size_t tries = 0; artists.size() < artistCount && tries < artistCount * 50; ++tries) {
    std::string a;
    switch (rnd.below(10)) {
      case 0: case 1: case 2: a = Cp(rnd.pick(kRuFirst)) + " " + Cp(rnd.pick(kRuLast)); break;
      case 3: a = toLatin(Cp(rnd.pick(kRuFirst)) + " " + Cp(rnd.pick(kRuLast))); break;
      case 4: case 5: a = Cp(rnd.pick(kRuBandAdj)) + " " + Cp(rnd.pick(kRuBandNoun)); break;
      case 6: a = std::string(rnd.chance(50) ? "The " : "") + rnd.pick(kEnBandAdj) + " " + rnd.pick(kEnBandNoun); break;
      case 7: case 8: a = std::string(rnd.pick(kEnFirst)) + " " + rnd.pick(kEnLast); break;
      default: a = Cp(rnd.pick(kRuLast)).substr(0, 1) + "-" + std::to_string(rnd.below(30)); break;
    }
    // "The Magic Stones" and "Magic Stones" are one band, "Пётр Котов" and
    // "Pyotr Kotov" one singer.
    const std::string name = core::UpperStr(toLatin(a));
    if (artistSeen.insert(name.rfind("THE ", 0) == 0 ? name.substr(4) : name).second) artists.push_back(a);
  }
  std::size_t attempts = 0;
  while (rows.size() < songs && attempts++ < songs * 20) {
    std::string artist = artists[rnd.below(artists.size())];
    if (rnd.chance(6)) {
      const std::string& other = artists[rnd.below(artists.size())];
      const bool ru = hasCyrillic(artist) && hasCyrillic(other);
      artist += (ru && rnd.chance(40)) ? Cp(kRuSeparator) : std::string(rnd.pick(kSeparators));
      artist += other;
    }
    const bool ru = hasCyrillic(artist) ? rnd.chance(85) : rnd.chance(15);
    std::string title;
    const std::size_t shape = rnd.below(6);
    if (ru) {
      title = shape == 0 ? Cp(rnd.pick(kRuTitleNoun)) : Cp(rnd.pick(kRuTitleAdj)) + " " + Cp(rnd.pick(kRuTitleNoun));
      if (shape >= 3) title += " " + Cp(rnd.pick(kRuTitleTail));
      title[0] = core::UpperChar(title[0]);
    } else {
      title = shape == 0 ? std::string(rnd.pick(kEnTitleNoun))
                         : std::string(rnd.pick(kEnTitleAdj)) + " " + rnd.pick(kEnTitleNoun);
      if (shape >= 3) title += std::string(" ") + rnd.pick(kEnTitleTail);
    }
    if (rnd.chance(3)) title += " " + std::to_string(1 + rnd.below(3));
    if (rnd.chance(4)) title += rnd.pick(kBaseTails);
    artist = core::CutTo(artist, core::kArtistCapacity);
    title = core::CutTo(title, core::kNameCapacity);
    if (!seen.insert(core::UpperStr(artist) + "\t" + core::UpperStr(title)).second) continue;
    rows.push_back({artist, title, "C:\\Music\\" + std::to_string(rows.size()) + ".mp3"});
  }
  return rows;
}

// How one kind of fault turns a base row into a line; nullopt when the row
// has nothing this kind could change.
using Fault = std::optional<std::pair<std::string, std::string>> (*)(const matching::SongBaseRow&, Random&);

namespace faults {
using detail::Cp;
using Texts = std::optional<std::pair<std::string, std::string>>;

inline Texts letterCase(const matching::SongBaseRow& r, Random& rnd) {
  switch (rnd.below(3)) {
    case 0: return std::pair{core::UpperStr(r.FArtist), core::UpperStr(r.FName)};
    case 1: return std::pair{detail::lower(r.FArtist), detail::lower(r.FName)};
    default: return std::pair{core::UpperStr(r.FArtist), detail::lower(r.FName)};
  }
}

inline std::optional<std::string> swapYo(const std::string& t, Random& rnd) {
  const std::string yo = Cp("ё"), ye = Cp("е");
  if (auto at = t.find(yo); at != std::string::npos) return std::string(t).replace(at, 1, ye);
  if (auto at = t.find(Cp("Ё")); at != std::string::npos) return std::string(t).replace(at, 1, Cp("Е"));
  std::vector<std::size_t> ats;
  for (std::size_t i = t.find(ye); i != std::string::npos; i = t.find(ye, i + 1)) ats.push_back(i);
  if (ats.empty()) return std::nullopt;
  return std::string(t).replace(ats[rnd.below(ats.size())], 1, yo);
}

inline Texts yo(const matching::SongBaseRow& r, Random& rnd) {
  if (auto a = swapYo(r.FArtist, rnd); a && rnd.chance(50)) return std::pair{*a, r.FName};
  if (auto n = swapYo(r.FName, rnd)) return std::pair{r.FArtist, *n};
  if (auto a = swapYo(r.FArtist, rnd)) return std::pair{*a, r.FName};
  return std::nullopt;
}

// Up to three letters that have a twin in the other script take it.
inline std::optional<std::string> twins(const std::string& t, bool intoLatin, Random& rnd) {
  std::vector<std::pair<std::size_t, std::string>> options;
  for (const auto& [latin, cyrUtf8] : detail::kTwins) {
    const std::string cyr = Cp(cyrUtf8);
    const std::string from = intoLatin ? cyr : std::string(1, latin);
    const std::string to = intoLatin ? std::string(1, latin) : cyr;
    for (std::size_t i = t.find(from); i != std::string::npos; i = t.find(from, i + 1)) options.push_back({i, to});
  }
  if (options.empty()) return std::nullopt;
  std::string out = t;
  const std::size_t n = 1 + rnd.below(3);
  for (std::size_t k = 0; k < n; ++k) {
    const auto& [at, to] = options[rnd.below(options.size())];
    out[at] = to[0];
  }
  return out;
}

inline Texts latinInCyrillic(const matching::SongBaseRow& r, Random& rnd) {
  const bool artist = detail::hasCyrillic(r.FArtist) && (!detail::hasCyrillic(r.FName) || rnd.chance(50));
  const std::string& t = artist ? r.FArtist : r.FName;
  if (!detail::hasCyrillic(t)) return std::nullopt;
  const auto out = twins(t, true, rnd);
  if (!out) return std::nullopt;
  return artist ? std::pair{*out, r.FName} : std::pair{r.FArtist, *out};
}

inline Texts cyrillicInLatin(const matching::SongBaseRow& r, Random& rnd) {
  const bool artist = !detail::hasCyrillic(r.FArtist) && (detail::hasCyrillic(r.FName) || rnd.chance(50));
  const std::string& t = artist ? r.FArtist : r.FName;
  if (detail::hasCyrillic(t)) return std::nullopt;
  const auto out = twins(t, false, rnd);
  if (!out) return std::nullopt;
  return artist ? std::pair{*out, r.FName} : std::pair{r.FArtist, *out};
}

inline Texts blanks(const matching::SongBaseRow& r, Random& rnd) {
  const bool artist = rnd.chance(40);
  std::string t = artist ? r.FArtist : r.FName;
  const auto at = t.find(' ', rnd.below(t.size()));
  const auto blank = at == std::string::npos ? t.find(' ') : at;
  if (blank == std::string::npos) return std::nullopt;
  if (rnd.chance(50)) t.insert(blank, " ");
  else t.erase(blank, 1);
  return artist ? std::pair{t, r.FName} : std::pair{r.FArtist, t};
}

inline Texts punctuation(const matching::SongBaseRow& r, Random& rnd) {
  std::string t = r.FName;
  if (const auto p = t.find_first_of(".,!?'-"); p != std::string::npos && rnd.chance(50)) {
    t.erase(p, 1);
  } else if (const auto b = t.find(' '); b != std::string::npos && rnd.chance(50)) {
    t.insert(b, rnd.chance(50) ? "," : " -");
  } else {
    t += rnd.pick(std::vector<std::string>{"!", "...", "?", "."});
  }
  return std::pair{r.FArtist, t};
}

inline Texts theArticle(const matching::SongBaseRow& r, Random& rnd) {
  if (r.FArtist.rfind("The ", 0) == 0) {
    const std::string rest = r.FArtist.substr(4);
    return std::pair{rnd.chance(50) ? rest : rest + ", The", r.FName};
  }
  if (detail::hasCyrillic(r.FArtist) || r.FArtist.find_first_of("&+/") != std::string::npos) return std::nullopt;
  return std::pair{"The " + r.FArtist, r.FName};
}

inline Texts featured(const matching::SongBaseRow& r, Random& rnd) {
  for (const std::string& sep : {std::string(" feat. "), std::string(" ft. "), std::string(" & "),
                                 std::string(" and "), std::string(" + "), std::string(" / "), Cp(" и ")}) {
    const auto at = r.FArtist.find(sep);
    if (at == std::string::npos) continue;
    const std::string first = r.FArtist.substr(0, at), second = r.FArtist.substr(at + sep.size());
    switch (rnd.below(4)) {
      case 0: return std::pair{first, r.FName};
      case 1: return std::pair{second + sep + first, r.FName};
      case 2: return std::pair{first + " & " + second, r.FName};
      default: return std::pair{second + " feat. " + first, r.FName};
    }
  }
  return std::nullopt;
}

inline Texts transliterated(const matching::SongBaseRow& r, Random& rnd) {
  if (!detail::hasCyrillic(r.FArtist) && !detail::hasCyrillic(r.FName)) return std::nullopt;
  if (!detail::hasCyrillic(r.FArtist) || rnd.chance(30)) return std::pair{r.FArtist, detail::toLatin(r.FName)};
  return std::pair{detail::toLatin(r.FArtist), rnd.chance(50) ? detail::toLatin(r.FName) : r.FName};
}

// Texts of fewer than three letters ("Т-3") get no typo.
inline Texts typing(const matching::SongBaseRow& r, Random& rnd) {
  const bool artist = rnd.chance(40);
  const std::string& text = artist ? r.FArtist : r.FName;
  if (detail::letterPositions(text).size() < 3) return std::nullopt;
  if (artist) return std::pair{detail::typo(r.FArtist, rnd), r.FName};
  return std::pair{r.FArtist, detail::typo(r.FName, rnd)};
}

inline Texts swapped(const matching::SongBaseRow& r, Random&) { return std::pair{r.FName, r.FArtist}; }

inline Texts cutAtColumn(const matching::SongBaseRow& r, Random& rnd) {
  const auto width = static_cast<std::size_t>(rnd.pick(detail::kCutWidths));
  const bool artist = r.FArtist.size() > width && (r.FName.size() <= width || rnd.chance(30));
  if (artist) return std::pair{detail::cut(r.FArtist, width), r.FName};
  if (r.FName.size() <= width) return std::nullopt;
  return std::pair{r.FArtist, detail::cut(r.FName, width)};
}

inline Texts tail(const matching::SongBaseRow& r, Random& rnd) {
  if (const auto open = r.FName.rfind(" ("); open != std::string::npos) return std::pair{r.FArtist, r.FName.substr(0, open)};
  return std::pair{r.FArtist, r.FName + rnd.pick(detail::kLineTails)};
}

}  // namespace faults

struct Kind {
  std::string_view name;
  Fault fault;
};

inline const Kind kKinds[] = {
    {"case", faults::letterCase},          {"yo", faults::yo},
    {"latin-in-cyrillic", faults::latinInCyrillic}, {"cyrillic-in-latin", faults::cyrillicInLatin},
    {"blanks", faults::blanks},            {"punctuation", faults::punctuation},
    {"the", faults::theArticle},           {"featured", faults::featured},
    {"transliterated", faults::transliterated}, {"typo", faults::typing},
    {"swapped", faults::swapped},          {"cut", faults::cutAtColumn},
    {"tail", faults::tail}};

// Songs the base lacks: a known artist with a new title, a known title by a
// new artist, or both new.
inline std::vector<Line> AbsentLines(const std::vector<matching::SongBaseRow>& base, std::size_t count, Random& rnd) {
  using namespace detail;
  std::set<std::string> known;
  for (const auto& r : base) known.insert(core::UpperStr(r.FArtist) + "\t" + core::UpperStr(r.FName));
  std::vector<Line> lines;
  while (lines.size() < count) {
    const auto& r = base[rnd.below(base.size())];
    std::string artist = r.FArtist, name = r.FName;
    switch (rnd.below(3)) {
      case 0:
        name = hasCyrillic(name) ? Cp(rnd.pick(kRuTitleAdj)) + " " + Cp(rnd.pick(kRuTitleNoun)) + " " +
                                       Cp(rnd.pick(kRuTitleTail))
                                 : std::string(rnd.pick(kEnTitleAdj)) + " " + rnd.pick(kEnTitleNoun) + " " +
                                       rnd.pick(kEnTitleTail);
        break;
      case 1: artist = std::string(rnd.pick(kEnFirst)) + " " + rnd.pick(kEnLast) + " " + rnd.pick(kEnBandNoun); break;
      default:
        artist = Cp(rnd.pick(kRuBandAdj)) + " " + Cp(rnd.pick(kRuTitleNoun));
        name = std::string(rnd.pick(kEnTitleNoun)) + " " + Cp(rnd.pick(kRuTitleNoun));
    }
    if (known.count(core::UpperStr(artist) + "\t" + core::UpperStr(name)) > 0) continue;
    lines.push_back({"absent", artist, name, std::nullopt});
  }
  return lines;
}

// Real names, Russian and Latin, with the faults above; appended to the base.
inline void AddHandWritten(Corpus& corpus) {
  using detail::Cp;
  struct Song {
    const char* artist;
    const char* title;
  };
  const Song songs[] = {{"Кино", "Группа крови"},
                        {"Алла Пугачёва", "Миллион алых роз"},
                        {"The Beatles", "Hey Jude"},
                        {"Мумий Тролль", "Владивосток 2000"},
                        {"Sting feat. Cheb Mami", "Desert Rose"},
                        {"Zemfira", "Хочешь?"},
                        {"Би-2", "Полковнику никто не пишет"},
                        {"t.A.T.u.", "Нас не догонят"},
                        {"Дискотека Авария & Жанна Фриске", "Малинки"},
                        {"Ленинград", "Экспонат"},
                        {"Руки Вверх", "Крошка моя"},
                        {"Валерий Меладзе", "Красиво"}};
  const std::size_t first = corpus.base.size();
  for (const auto& s : songs) {
    corpus.base.push_back({Cp(s.artist), Cp(s.title), "C:\\Hits\\" + std::to_string(corpus.base.size()) + ".mp3"});
  }
  struct Variant {
    const char* artist;
    const char* title;
    int song;  // index into songs, -1 for a song the base lacks
  };
  const Variant variants[] = {{"Kino", "Gruppa krovi", 0},
                              {"КИНО", "Группа Крови - Live", 0},
                              {"Группа крови", "Кино", 0},
                              {"Алла Пугачева", "Миллион алых роз", 1},
                              {"Alla Pugacheva", "Million alykh roz", 1},
                              {"Beatles, The", "Hey Jude", 2},
                              {"Beatles", "Hey Jude (Remastered)", 2},
                              {"Mumiy Troll", "Vladivostok 2000", 3},
                              {"Мумий Троль", "Владивосток 2000", 3},
                              {"Sting", "Desert Rose (Radio Edit)", 4},
                              {"Cheb Mami & Sting", "Desert Rose", 4},
                              {"Земфира", "Хочешь", 5},
                              {"Би 2", "Полковнику никто н", 6},
                              {"Tatu", "Нас не догонят", 7},
                              {"Жанна Фриске и Дискотека Авария", "Малинки", 8},
                              {"Дискотека Авария", "Малинки", 8},
                              {"Leningrad", "Eksponat", 9},
                              {"Ленинград", "Экспонат (remix)", 9},
                              {"Руки Вверх!", "Кршока моя", 10},
                              {"Валерий Meладзе", "Красиво", 11},
                              {"Кино", "Звезда по имени Солнце", -1},
                              {"Алла Пугачёва", "Айсберг", -1},
                              {"The Beatles", "Let It Be", -1},
                              {"Мумий Тролль", "Владивосток 2001", -1},
                              {"Ленинград", "WWW", -1},
                              {"Валерий Леонтьев", "Красиво", -1},
                              {"Руки Вверх", "Он тебя целует", -1},
                              {"Zemfira", "Искала", -1}};
  for (const auto& v : variants) {
    std::optional<std::size_t> expected;
    if (v.song >= 0) expected = first + static_cast<std::size_t>(v.song);
    corpus.lines.push_back({v.song >= 0 ? "hand-written" : "hand-written absent", Cp(v.artist), Cp(v.title), expected});
  }
}

// linesPerKind lines of every kind, as many lines of absent songs, and the
// hand-written lines.
inline Corpus MakeCorpus(std::uint64_t seed, std::size_t songs, std::size_t linesPerKind) {
  Corpus corpus;
  corpus.base = MakeBase(seed, songs);
  // A fault that spells another row of the base makes a line the check matches.
  std::set<std::string> known;
  for (const auto& r : corpus.base) known.insert(core::UpperStr(r.FArtist) + "\t" + core::UpperStr(r.FName));
  Random rnd(seed ^ 0x5DEECE66Dull);
  for (const Kind& kind : kKinds) {
    std::size_t made = 0;
    for (std::size_t attempt = 0; made < linesPerKind && attempt < linesPerKind * 200; ++attempt) {
      const std::size_t row = rnd.below(corpus.base.size());
      const auto texts = kind.fault(corpus.base[row], rnd);
      if (!texts || (texts->first == corpus.base[row].FArtist && texts->second == corpus.base[row].FName)) continue;
      if (known.count(core::UpperStr(texts->first) + "\t" + core::UpperStr(texts->second)) > 0 &&
          kind.name != "case") {
        continue;
      }
      corpus.lines.push_back({std::string(kind.name), core::CutTo(texts->first, core::kArtistCapacity),
                              core::CutTo(texts->second, core::kNameCapacity), row});
      ++made;
    }
  }
  auto absent = AbsentLines(corpus.base, linesPerKind, rnd);
  corpus.lines.insert(corpus.lines.end(), absent.begin(), absent.end());
  AddHandWritten(corpus);
  return corpus;
}

// What the engine made of the corpus.
struct Outcome {
  std::size_t present = 0;     // lines whose song the base holds
  std::size_t topOne = 0;      // ... whose best suggestion is that song
  std::size_t strongRight = 0; // ... and strong
  std::size_t lines = 0;
  std::size_t wrongStrong = 0; // lines whose best suggestion is strong and not their song
};

// A suggestion is right when it names the expected row or a row of the same
// artist and title (letter case aside).
inline bool SameSong(const matching::SongBaseRow& a, const matching::SongBaseRow& b) {
  return core::UpperStr(a.FArtist) == core::UpperStr(b.FArtist) && core::UpperStr(a.FName) == core::UpperStr(b.FName);
}

inline void Count(Outcome& outcome, const Line& line, const std::vector<matching::Suggestion>& found,
                  const std::vector<matching::SongBaseRow>& base) {
  ++outcome.lines;
  const bool strong = !found.empty() && found[0].score >= matching::kStrongSuggestion;
  const bool right = !found.empty() && line.expected && SameSong(base[found[0].row], base[*line.expected]);
  if (line.expected) {
    ++outcome.present;
    if (right) ++outcome.topOne;
    if (right && strong) ++outcome.strongRight;
  }
  if (strong && !right) ++outcome.wrongStrong;
}

}  // namespace suggestcorpus
