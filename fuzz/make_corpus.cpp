// Writes the table seeds of the fuzz corpus: tiny tables made by the engine's
// Create and Append, a keyed table with its index, a table with a memo field
// and its .MB, and a table with the journal of an unfinished append. Usage: make_corpus FOLDER (fuzz/corpus). The text seeds
// (statements, playlists, settings) are kept by hand.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "db/paradox/header.h"
#include "db/paradox/journalformat.h"
#include "db/paradox/table.h"
#include "fuzz/fuzz_util.h"

namespace {

using db::Field;
using db::FieldType;
using db::Row;

std::string fresh(const std::string& name) {
  const std::string path = fuzz::ScratchPath(name);
  fuzz::RemoveFile(path);
  return path;
}

std::string table(const std::vector<Field>& fields, const std::vector<Row>& rows) {
  const std::string path = fresh("T.DB");
  db::ParadoxTable::Create(path, fields);
  if (!rows.empty()) db::ParadoxTable(path).Append(rows);
  return fuzz::ReadFileBytes(path);
}

const std::vector<Field> kSongFields = {{"FArtist", FieldType::Alpha, 64}, {"FName", FieldType::Alpha, 64},
                                        {"FPath", FieldType::Alpha, 160}, {"FTime", FieldType::Time, 4},
                                        {"FStartVol", FieldType::Long, 4}, {"FNoAutoMix", FieldType::Logical, 1}};

std::vector<Row> songRows(int count) {
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) {
    rows.push_back({"Artist " + std::to_string(i), "\xcf\xe5\xf1\xed\xff " + std::to_string(i),
                    "C:\\Music\\" + std::to_string(i) + ".mp3", (180.0 + i) / 86400.0, std::int64_t{100 - i},
                    i % 2 == 0});
  }
  return rows;
}

std::string everyType() {
  const std::vector<Field> fields = {
      {"FAlpha", FieldType::Alpha, 8},    {"FShort", FieldType::Short, 2},     {"FLong", FieldType::Long, 4},
      {"FNumber", FieldType::Number, 8},  {"FMoney", FieldType::Currency, 8},  {"FDate", FieldType::Date, 4},
      {"FTime", FieldType::Time, 4},      {"FStamp", FieldType::Timestamp, 8}, {"FFlag", FieldType::Logical, 1},
      {"FId", FieldType::AutoInc, 4},     {"FBcd", FieldType::Bcd, 2},         {"FBytes", FieldType::Bytes, 4}};
  Row full = {"abc", std::int64_t{-7}, std::int64_t{123456}, 2.5, 10.25, 42000.0, 0.5, 42000.75, true,
              std::monostate{}, std::monostate{}, std::string("\x01\x02\x03\x04", 4)};
  return table(fields, {full, Row(fields.size())});
}

// A keyed table on its first two fields: the .DB marked keyed and an empty
// index beside it, then filled by Append, which places the rows and rebuilds
// the index.
void keyed(std::string& db, std::string& px) {
  const std::vector<Field> fields = {{"FArtist", FieldType::Alpha, 20}, {"FNumber", FieldType::Long, 4},
                                     {"FName", FieldType::Alpha, 30}};
  const std::string path = fresh("T.DB");
  const std::string pxPath = fresh("T.PX");
  db::ParadoxTable::Create(path, fields);
  std::string bytes = fuzz::ReadFileBytes(path);
  bytes[db::paradox::off::kFileType] = static_cast<char>(db::paradox::kFileTypeKeyed);
  bytes[db::paradox::off::kKeyFieldCount] = 2;
  fuzz::WriteFile(path, bytes);
  std::string index(0x800, '\0');
  using namespace db::paradox;
  for (std::size_t i = 0; i < 2; ++i) {
    index[off::kFixedPartOld + 2 * i] = bytes[off::kFixedPart + 2 * i];
    index[off::kFixedPartOld + 2 * i + 1] = bytes[off::kFixedPart + 2 * i + 1];
  }
  index[off::kRecordSize] = 20 + 4 + 6;
  index[off::kHeaderSize + 1] = 0x08;
  index[off::kFileType] = static_cast<char>(kFileTypeIndex);
  index[off::kBlockSizeCode] = bytes[off::kBlockSizeCode];
  index[off::kFieldCount] = 2;
  index[off::kSortOrder] = bytes[off::kSortOrder];
  index[off::kVersion] = bytes[off::kVersion];
  fuzz::WriteFile(pxPath, index);
  std::vector<Row> rows;
  for (int i = 0; i < 30; ++i) {
    rows.push_back({"Key " + std::to_string(i % 7), std::int64_t{i}, "Name " + std::to_string(i)});
  }
  db::ParadoxTable(path).Append(rows);
  db = fuzz::ReadFileBytes(path);
  px = fuzz::ReadFileBytes(pxPath);
}

void putLe(std::string& b, std::size_t at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
}

// The memo field's record bytes: leader, .MB offset (low byte: slot or 0xFF), length, modification.
std::string memoField(std::string_view leader, std::uint32_t offset, std::uint32_t length) {
  std::string field(21, '\0');
  field.replace(0, std::min<std::size_t>(leader.size(), 11), leader.substr(0, 11));
  putLe(field, 11, offset, 4);
  putLe(field, 15, length, 4);
  putLe(field, 19, 1, 2);
  return field;
}

// A memo field with a value in the record, one in a block of its own and one
// in a block of small values. The engine writes no memo values, so the table
// is made with a Bytes field of the memo's size holding the memo's record
// bytes, whose type is then changed to Memo.
void memo(std::string& db, std::string& mb) {
  const std::string longText = "A memo value longer than its leader, kept in a block of its own.";
  const std::string smallText = "Small memo in a slot";
  std::vector<Row> rows = {{"inline", memoField("short memo", 0, 10)},
                           {"single", memoField(longText, 0x10FF, static_cast<std::uint32_t>(longText.size()))},
                           {"slot", memoField(smallText, 0x2000, static_cast<std::uint32_t>(smallText.size()))},
                           {"blank", std::monostate{}}};
  std::string bytes = table({{"FKind", FieldType::Alpha, 10}, {"FMemo", FieldType::Bytes, 21}}, rows);
  bytes[db::paradox::off::kFixedPart + 2] = static_cast<char>(FieldType::Memo);
  db = bytes;

  mb.assign(0x3000, '\0');
  putLe(mb, 1, 1, 2);  // the header block: one unit
  mb[0x1000] = 2;      // one value: type, units, length, modification, data
  putLe(mb, 0x1001, 1, 2);
  putLe(mb, 0x1003, static_cast<std::uint32_t>(longText.size()), 4);
  mb.replace(0x1009, longText.size(), longText);
  mb[0x2000] = 3;      // small values: slot 0 holds the value at chunk 21, after the 64 slots
  putLe(mb, 0x2001, 1, 2);
  mb[0x2000 + 12] = 21;
  mb[0x2000 + 13] = static_cast<char>((smallText.size() + 15) / 16);
  mb[0x2000 + 16] = static_cast<char>(smallText.size() - (smallText.size() - 1) / 16 * 16);
  mb.replace(0x2000 + 21 * 16, smallText.size(), smallText);
}

// The journal an unfinished append to the songs table would leave: the .DB's
// fixed header and its first block as they were before (two rows), and the
// header as the append leaves it (three rows).
std::string journal(const std::string& before, const std::string& after) {
  using namespace db::paradox;
  const auto bytes = [](const std::string& s, std::size_t at, std::size_t n) {
    return std::vector<std::uint8_t>(s.begin() + static_cast<std::ptrdiff_t>(at),
                                     s.begin() + static_cast<std::ptrdiff_t>(at + n));
  };
  JournalContent content;
  content.files.push_back({"T.DB", before.size()});
  content.ranges.push_back({0, 0, bytes(before, 0, off::kFixedPartOld)});
  content.ranges.push_back({0, 0x800, bytes(before, 0x800, 0x800)});
  content.headerAfter = bytes(after, 0, off::kFixedPartOld);
  const auto encoded = EncodeJournal(content);
  return std::string(encoded.begin(), encoded.end());
}

void save(const std::filesystem::path& folder, const std::string& name, const std::string& bytes) {
  std::filesystem::create_directories(folder);
  fuzz::WriteFile((folder / name).string(), bytes);
  std::printf("%s (%zu bytes)\n", (folder / name).c_str(), bytes.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER\n");
    return 2;
  }
  const std::filesystem::path corpus = argv[1];
  const std::string empty = table(kSongFields, {});
  const std::string songs = table(kSongFields, songRows(3));
  const std::string twoBlocks = table({{"FName", FieldType::Alpha, 100}, {"FNumber", FieldType::Long, 4}}, [] {
    std::vector<Row> rows;
    for (int i = 0; i < 25; ++i) rows.push_back({"row " + std::to_string(i), std::int64_t{i}});
    return rows;
  }());
  const std::string types = everyType();
  std::string keyedDb, keyedPx, memoDb, memoMb;
  keyed(keyedDb, keyedPx);
  memo(memoDb, memoMb);

  for (const char* target : {"table", "table_files", "table_write"}) {
    const auto folder = corpus / target;
    save(folder, "empty.db", empty);
    save(folder, "songs.db", songs);
    save(folder, "two_blocks.db", twoBlocks);
    save(folder, "every_type.db", types);
  }
  save(corpus / "table", "keyed.db", keyedDb);
  save(corpus / "table", "memo.db", memoDb);
  const std::string twoSongs = table(kSongFields, songRows(2));
  const std::string unfinished = journal(twoSongs, songs);
  for (const char* target : {"table_files", "table_write"}) {
    save(corpus / target, "keyed.db_px", fuzz::JoinTableInput({keyedDb, keyedPx, {}, {}, true, false, false}));
    save(corpus / target, "memo.db_mb", fuzz::JoinTableInput({memoDb, {}, memoMb, {}, false, true, false}));
    save(corpus / target, "songs.db_journal", fuzz::JoinTableInput({songs, {}, {}, unfinished, false, false, true}));
  }

  // The seeds must read as the tables they were made as.
  const auto memoRead = fuzz::ReadTable(fuzz::WriteTableFiles({memoDb, {}, memoMb, {}, false, true, false}));
  if (!memoRead.ok || memoRead.rows.size() != 4) fuzz::Violated("the memo seed does not read");
  for (const auto& row : memoRead.rows) {
    const auto* text = std::get_if<std::string>(&row[1]);
    std::printf("memo: %s\n", text ? text->c_str() : "(blank)");
  }
  const auto keyedRead = fuzz::ReadTable(fuzz::WriteTableFiles({keyedDb, keyedPx, {}, {}, true, false, false}));
  if (!keyedRead.ok || keyedRead.rows.size() != 30) fuzz::Violated("the keyed seed does not read");
  const auto rolledBack = fuzz::ReadTable(fuzz::WriteTableFiles({songs, {}, {}, unfinished, false, false, true}));
  if (!rolledBack.ok || rolledBack.rows.size() != 2) fuzz::Violated("the journal seed does not roll back");
  return 0;
}
