#include "demostation/demostation.h"

#include <array>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/inifile.h"
#include "core/settings.h"
#include "core/text.h"
#include "db/query.h"
#include "db/table.h"

namespace demo {
namespace {

// UTF-8 here, CP1251 in the files and tables.
constexpr std::array<const char*, 24> kArtists = {
    "Алла Пугачёва", "Валерий Леонтьев", "Кино", "Машина Времени", "Наутилус Помпилиус", "Любэ",
    "Земфира", "Сплин", "Ирина Аллегрова", "София Ротару", "Мумий Тролль", "Чайф",
    "ABBA", "Modern Talking", "Boney M.", "Queen", "Depeche Mode", "a-ha",
    "Roxette", "Scorpions", "Eagles", "Sting", "Joe Dassin", "Dschinghis Khan"};
constexpr std::array<const char*, 12> kTitles = {
    "Лето", "Звезда", "Дорога домой", "Белый снег", "Ночной город", "Песня о любви",
    "Summer Night", "Blue Sky", "Last Train", "Moonlight", "Dancing Queen", "Forever Young"};
constexpr std::array<const char*, 5> kJingles = {"Утро на радио", "Новости", "Погода", "Station ID", "Хиты недели"};
constexpr int kLinesPerHour = 10;

struct Song {
  std::string artist;  // CP1251
  std::string name;
  std::string path;
  int seconds;
};

std::vector<Song> makeSongs() {
  std::vector<Song> songs;
  for (std::size_t a = 0; a < kArtists.size(); ++a) {
    for (std::size_t t = 0; t < kTitles.size(); ++t) {
      Song s;
      s.artist = core::cp1251(kArtists[a]);
      s.name = core::cp1251(kTitles[t]);
      s.path = "C:\\Music\\" + s.artist + "\\" + s.name + ".mp3";
      s.seconds = 150 + static_cast<int>((a * 37 + t * 11) % 120);
      songs.push_back(std::move(s));
    }
  }
  return songs;
}

void exec(const std::vector<std::string>& lines) {
  db::Query query;
  for (const auto& line : lines) query.Add(line);
  query.ExecSQL();
}

void removeTable(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(core::FsPath(path), ec);
}

void writeSongBase(const std::string& path, const std::vector<Song>& songs) {
  removeTable(path);
  exec({"Create TABLE " + db::Quoted(path) + " (", "FArtist Char(64), FName Char(64), FPath Char(160),",
        "FTime Time, FIntro Time, FOutro Time, FProtect Time, FStartTime Time, FAbort Time,",
        "FFadeInLen Time, FFadeOutLen Time, FMixOut Time, FMixIn Time,",
        "FStartVol Integer, FEndVol Integer, FNoAutoMix Boolean,",
        "FCategory Char(32), FStyle Char(32), FMood Char(32), FSex Char(16), FLanguage Char(16) );"});
  db::Table table(path);
  table.Open();
  for (std::size_t i = 0; i < songs.size(); ++i) {
    const Song& s = songs[i];
    table.Append();
    table.SetFieldAsString("FArtist", s.artist);
    table.SetFieldAsString("FName", s.name);
    table.SetFieldAsString("FPath", s.path);
    table.SetFieldAsDateTime("FTime", s.seconds * core::kOneSecond);
    table.SetFieldAsDateTime("FIntro", 8 * core::kOneSecond);
    table.SetFieldAsDateTime("FOutro", (s.seconds - 10) * core::kOneSecond);
    table.SetFieldAsDateTime("FMixOut", (s.seconds - 5) * core::kOneSecond);
    table.SetFieldAsInteger("FStartVol", 100);
    table.SetFieldAsInteger("FEndVol", 100);
    table.SetFieldAsBoolean("FNoAutoMix", i % 7 == 0);
    const bool russian = static_cast<unsigned char>(s.artist[0]) >= 0xC0;
    table.SetFieldAsString("FCategory", russian ? "RU" : "EN");
    table.SetFieldAsString("FStyle", "Pop");
    table.SetFieldAsString("FMood", i % 2 == 0 ? "Up" : "Calm");
    table.SetFieldAsString("FLanguage", russian ? core::cp1251("Русский") : "English");
    table.Post();
  }
  table.Close();
}

std::string jinglePath(const char* name) { return "C:\\Jingles\\" + core::cp1251(name) + ".wav"; }

void writeJingleBase(const std::string& path) {
  removeTable(path);
  exec({"Create TABLE " + db::Quoted(path) + " (", "FName Char(64), FPath Char(160),",
        "FTime Time, FStartTime Time, FFadeInLen Time, FFadeOutLen Time, FMixOut Time, FMixIn Time,",
        "FStartVol Integer, FEndVol Integer, FNoAutoMix Boolean );"});
  db::Table table(path);
  table.Open();
  for (std::size_t i = 0; i < kJingles.size(); ++i) {
    table.Append();
    table.SetFieldAsString("FName", core::cp1251(kJingles[i]));
    table.SetFieldAsString("FPath", jinglePath(kJingles[i]));
    table.SetFieldAsDateTime("FTime", static_cast<double>(5 + i * 3) * core::kOneSecond);
    table.SetFieldAsInteger("FStartVol", 100);
    table.SetFieldAsInteger("FEndVol", 100);
    table.SetFieldAsBoolean("FNoAutoMix", true);
    table.Post();
  }
  table.Close();
}

void writePlaylistTable(const std::string& path) {
  removeTable(path);
  exec({"Create TABLE " + db::Quoted(path) + " (",
        "FDate Date, FHour SmallInt, FNumber SmallInt, FPath Char(160), FArtist Char(64), FName Char(64),",
        "FTime Time, FIntro Time, FOutro Time, FProtect Time, FStartTime Time, FAbort Time,",
        "FFadeInLen Time, FFadeOutLen Time, FMixOut Time, FMixIn Time,",
        "FStartVol Integer, FEndVol Integer, FNoAutoMix Boolean, FType SmallInt,",
        "FCategory Char(32), FStyle Char(32), FMood Char(32), FSex Char(16), FLanguage Char(16) );"});
}

// A few taught matches: one that sends a line to another recording, a jingle
// row, and one whose file has left the song base (the check offers to drop it).
void writeAssociations(const std::string& path, const std::vector<Song>& songs) {
  removeTable(path);
  exec({"Create TABLE " + db::Quoted(path) + " (", "FArtist Char(64),", "FName Char(64),", "FPath Char(160) );"});
  const Song& taught = songs[kTitles.size() * 2 + 4];  // Кино - Ночной город
  const Song& other = songs[kTitles.size() * 2 + 1];   // Кино - Звезда
  const std::string rows[][3] = {
      {taught.artist, taught.name, other.path},
      {"_JINGLES_", core::cp1251(kJingles[2]), jinglePath(kJingles[2])},
      {"Old Artist", "Gone Song", "C:\\Music\\Old Artist\\Gone Song.mp3"},
  };
  db::Table table(path);
  table.Open();
  for (const auto& row : rows) {
    table.Append();
    table.SetFieldAsString("FArtist", row[0]);
    table.SetFieldAsString("FName", row[1]);
    table.SetFieldAsString("FPath", row[2]);
    table.Post();
  }
  table.Close();
}

// One scheduled line of the demo day.
struct Line {
  std::string artist;  // CP1251
  std::string name;
  bool jingle = false;
};

// Every hour plays kLinesPerHour songs of the base; a few lines are meant to
// miss: an artist in other letter case, songs the base lacks, a jingle.
std::vector<std::vector<Line>> makeDay(const std::vector<Song>& songs) {
  std::vector<std::vector<Line>> day(24);
  for (std::size_t h = 0; h < day.size(); ++h) {
    for (int i = 0; i < kLinesPerHour; ++i) {
      const Song& s = songs[(h * 31 + static_cast<std::size_t>(i) * 17) % songs.size()];
      day[h].push_back({s.artist, s.name, false});
    }
  }
  day[7][2].artist = core::UpperStr(day[7][2].artist);
  day[8][5] = {core::cp1251("Неизвестный артист"), core::cp1251("Новая песня"), false};
  day[12][0] = {"Unknown Band", "Lost Song", false};
  day[9].insert(day[9].begin() + 3, Line{core::cp1251("Джингл"), core::cp1251(kJingles[1]), true});
  return day;
}

std::string pad(std::string text, std::size_t width) {
  text = text.substr(0, width);
  text.resize(width, ' ');
  return text;
}

std::string two(std::size_t n) { return (n < 10 ? "0" : "") + std::to_string(n); }

void writeFile(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(core::FsPath(path), std::ios::binary | std::ios::trunc);
  for (const auto& line : lines) out << line << "\r\n";
}

// Mirvane: time in 1-5, title in 7-38, artist in 39-70.
std::vector<std::string> mirvane(const std::vector<std::vector<Line>>& day) {
  std::vector<std::string> out{"=============================================================="};
  for (std::size_t h = 0; h < day.size(); ++h) {
    for (std::size_t i = 0; i < day[h].size(); ++i) {
      out.push_back(two(h) + ":" + two(i * 5) + " " + pad(day[h][i].name, 32) + pad(day[h][i].artist, 32));
    }
  }
  return out;
}

// Selector: title in 9-35, artist in 36-61; each hour ends with "Total Time".
std::vector<std::string> selector(const std::vector<std::vector<Line>>& day) {
  std::vector<std::string> out{"Filename: demo day", "======================================================="};
  for (std::size_t h = 0; h < day.size(); ++h) {
    out.push_back("CP " + two(h) + ":00");
    for (std::size_t i = 0; i < day[h].size(); ++i) {
      if (day[h][i].jingle) continue;
      out.push_back(two(h) + ":" + two(i * 5) + ":0 " + pad(day[h][i].name, 27) + pad(day[h][i].artist, 26));
    }
    out.push_back("Total Time  00:" + two(day[h].size() * 3));
  }
  return out;
}

// PowerGold: "Russkoe" headers with the hour at 20 and the date at 36; artist
// in 19-36, title in 37-55; "-" in the artist marks an empty slot.
std::vector<std::string> powergold(const std::vector<std::vector<Line>>& day, const std::string& date) {
  std::vector<std::string> out{"Filename  demo.txt"};
  for (std::size_t h = 0; h < day.size(); ++h) {
    out.push_back(pad("Russkoe Radio", 19) + pad(std::to_string(h), 16) + date + "      ");
    out.push_back("=======================================================");
    for (std::size_t i = 0; i < day[h].size(); ++i) {
      if (day[h][i].jingle) continue;
      out.push_back(pad(two(h) + ":" + two(i * 5) + "  POP", 18) + pad(day[h][i].artist, 18) + pad(day[h][i].name, 19));
    }
    out.push_back(pad("", 18) + pad("-", 18) + "(empty slot)");
    out.push_back("Total Time 00:30");
  }
  return out;
}

// RetroFM: title in 11-35, artist in 36-68, a cart header that hides the next
// line, "Total Time" closing each hour.
std::vector<std::string> retrofm(const std::vector<std::vector<Line>>& day) {
  std::vector<std::string> out{"Filename: retro", "-------------------------------------------------------------------"};
  for (std::size_t h = 0; h < day.size(); ++h) {
    out.push_back("Cart       0001  ADVERT");
    out.push_back("0001      Advertising block         Sponsor");
    for (std::size_t i = 0; i < day[h].size(); ++i) {
      const Line& l = day[h][i];
      if (l.jingle) {
        out.push_back(pad("", 8) + pad(l.name, 33) + pad(l.artist, 27));
      } else {
        out.push_back(pad(two(h) + two(i * 5), 10) + pad(l.name, 25) + pad(l.artist, 33));
      }
    }
    out.push_back("Total Time 00:30");
  }
  return out;
}

// Dacha: "Radio" headers with the hour at 14 and the date at 31; artist in
// 14-38, title in 39-78; an advertising block opened by "Reklama".
std::vector<std::string> dacha(const std::vector<std::vector<Line>>& day, const std::string& date) {
  std::vector<std::string> out{"=====  Radio Dacha  ====="};
  for (std::size_t h = 0; h < day.size(); ++h) {
    const std::string ruler = two(h) + ":20 -----";
    out.push_back(pad("Radio Dacha", 13) + pad(two(h) + ":00", 17) + date);
    for (std::size_t i = 0; i < day[h].size(); ++i) {
      if (day[h][i].jingle) continue;
      if (i == 4) {
        out.push_back(pad(ruler, 53) + "Reklama");
        out.push_back(pad(two(h) + ":20 00:30", 13) + pad("Sponsor", 25) + "Advertising");
        out.push_back(pad(ruler, 44) + "******");
      }
      out.push_back(pad(two(h) + ":" + two(i * 5) + " 03:30", 13) + pad(day[h][i].artist, 25) + pad(day[h][i].name, 40));
    }
    out.push_back("Total 00:30");
  }
  return out;
}

void writeSettings(const std::string& file, const std::string& folder) {
  std::error_code ec;
  std::filesystem::remove(core::FsPath(file), ec);
  core::IniFile ini(file);
  core::TSetts s;
  s.MVPath = folder + "Mirvane";
  s.TxtPath = folder + "Lists";
  s.BasePath = folder;
  core::SettingsPage page = core::ShowSetts(s);
  core::CBMethodChange(s, page, 0);
  if (const auto error = core::SaveParms(s, page, ini)) throw std::runtime_error(*error);
  ini.writeString("Hours", core::cp1251("Весь день"), "");
  ini.writeString("Hours", core::cp1251("Утро"), "6 7 8 9 10");
}

}  // namespace

DemoStation MakeDemoStation(const std::string& folderName, const std::string& settingsFile) {
  DemoStation station;
  station.folder = core::AddBackslash(folderName);
  const std::string tables = core::AddBackslash(station.folder + "Mirvane");
  const std::string lists = core::AddBackslash(station.folder + "Lists");
  std::filesystem::create_directories(core::FsPath(tables));
  std::filesystem::create_directories(core::FsPath(lists));

  const auto songs = makeSongs();
  writeSongBase(tables + "BaseSong.db", songs);
  writeJingleBase(tables + "Jingles.db");
  writePlaylistTable(tables + "PlayList.db");
  writeAssociations(station.folder + "Association.db", songs);
  station.songs = static_cast<int>(songs.size());
  station.jingles = static_cast<int>(kJingles.size());

  station.day = core::Today() + 1;
  const std::string date = core::DateToStr(station.day);
  const auto day = makeDay(songs);
  writeFile(lists + "mirvane.txt", mirvane(day));
  writeFile(lists + "selector.txt", selector(day));
  writeFile(lists + "powergold.txt", powergold(day, date));
  writeFile(lists + "retrofm.log", retrofm(day));
  writeFile(lists + "dacha.txt", dacha(day, date));

  station.settingsFile = settingsFile.empty() ? station.folder + "mvimport.ini" : settingsFile;
  writeSettings(station.settingsFile, station.folder);
  return station;
}

}  // namespace demo
