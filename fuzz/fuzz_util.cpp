#include "fuzz/fuzz_util.h"

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <variant>

#include "core/fspath.h"
#include "db/dump.h"
#include "db/paradox/journal.h"
#include "db/paradox/journalformat.h"
#include "db/tabledata.h"
#include "db/values.h"

namespace fuzz {
namespace {

std::string makeScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mvimport_fuzz_XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) Violated("cannot create a scratch folder");
  return pattern;
}

void removeScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(ScratchDir(), ec);
}

// Which alternative of db::Value a field of this type holds when not blank.
bool holdsKindOf(const db::Value& value, db::FieldType type) {
  using db::FieldType;
  if (std::holds_alternative<std::monostate>(value)) return true;
  switch (type) {
    case FieldType::Alpha:
    case FieldType::Memo:
    case FieldType::FormattedMemo:
    case FieldType::Blob:
    case FieldType::Ole:
    case FieldType::Graphic:
    case FieldType::Bytes: return std::holds_alternative<std::string>(value);
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc: return std::holds_alternative<std::int64_t>(value);
    case FieldType::Logical: return std::holds_alternative<bool>(value);
    default: return std::holds_alternative<double>(value);
  }
}

// The conversions the program applies to values it reads: each either gives
// a value or throws db::Error.
void convert(const db::Value& value, const db::Field& field) {
  (void)db::DumpValue(value, field);
  (void)db::ReadAsString(value, field);
  try {
    (void)db::ReadAsInteger(value, field, "t.db");
  } catch (const db::Error&) {
  }
  try {
    (void)db::ReadAsDateTime(value, field, "t.db");
  } catch (const db::Error&) {
  }
  try {
    (void)db::ReadAsBoolean(value, field, "t.db");
  } catch (const db::Error&) {
  }
}

// A value as a violation message shows it: its kind and, for a double, its bits.
std::string describe(const db::Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return "blank";
  if (const auto* i = std::get_if<std::int64_t>(&v)) return "integer " + std::to_string(*i);
  if (const auto* b = std::get_if<bool>(&v)) return *b ? "true" : "false";
  if (const auto* d = std::get_if<double>(&v)) {
    char bits[32];
    std::snprintf(bits, sizeof bits, "%016llx", static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(*d)));
    return "double " + std::to_string(*d) + " (" + bits + ")";
  }
  return "text of " + std::to_string(std::get<std::string>(v).size()) + " bytes";
}

bool sameValue(const db::Value& a, const db::Value& b) {
  if (a.index() != b.index()) return false;
  if (const double* x = std::get_if<double>(&a)) {
    return std::bit_cast<std::uint64_t>(*x) == std::bit_cast<std::uint64_t>(std::get<double>(b));
  }
  return a == b;
}

}  // namespace

const std::string& ScratchDir() {
  static const std::string dir = makeScratchDir();
  // Registered once dir is made, so it runs before dir is destroyed.
  static const bool removedAtExit = std::atexit(removeScratchDir) == 0;
  (void)removedAtExit;
  return dir;
}

std::string ScratchPath(std::string_view name) { return ScratchDir() + "/" + std::string(name); }

std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return size == 0 ? std::string_view() : std::string_view(reinterpret_cast<const char*>(data), size);
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(core::FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Violated("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(core::FsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void RemoveFile(const std::string& path) {
  std::error_code ec;
  std::filesystem::remove(core::FsPath(path), ec);
}

void Violated(std::string_view what) {
  std::fprintf(stderr, "\n*** property violated: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

TableInput SplitTableInput(std::string_view input) {
  TableInput parts;
  struct Part {
    std::string_view marker;
    std::string_view* bytes;
    bool* present;
  };
  const Part optional[] = {{kPxMarker, &parts.px, &parts.hasPx},
                           {kMbMarker, &parts.mb, &parts.hasMb},
                           {kJournalMarker, &parts.journal, &parts.hasJournal}};
  // Each part runs to the next marker found after it.
  std::string_view* current = &parts.db;
  std::size_t begin = 0;
  for (const Part& part : optional) {
    const std::size_t at = input.find(part.marker, begin);
    if (at == std::string_view::npos) continue;
    *current = input.substr(begin, at - begin);
    current = part.bytes;
    *part.present = true;
    begin = at + part.marker.size();
  }
  *current = input.substr(begin);
  return parts;
}

std::string JoinTableInput(const TableInput& input) {
  std::string out(input.db);
  if (input.hasPx) out += std::string(kPxMarker) + std::string(input.px);
  if (input.hasMb) out += std::string(kMbMarker) + std::string(input.mb);
  if (input.hasJournal) out += std::string(kJournalMarker) + std::string(input.journal);
  return out;
}

std::string WriteTableFiles(const TableInput& input) {
  const std::string db = ScratchPath("T.DB");
  WriteFile(db, input.db);
  const auto companion = [](const std::string& path, bool present, std::string_view bytes) {
    if (present) {
      WriteFile(path, bytes);
    } else {
      RemoveFile(path);
    }
  };
  companion(ScratchPath("T.PX"), input.hasPx, input.px);
  companion(ScratchPath("T.MB"), input.hasMb, input.mb);
  std::string journal(input.journal);
  if (journal.size() >= 4) {
    const auto body = reinterpret_cast<const std::uint8_t*>(journal.data());
    const std::uint32_t crc = db::paradox::Crc32(db::paradox::ByteSpan(body, journal.size() - 4));
    for (std::size_t i = 0; i < 4; ++i) journal[journal.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  }
  companion(db::paradox::JournalPath(db), input.hasJournal, journal);
  return db;
}

ReadResult ReadTable(const std::string& path) {
  ReadResult result;
  try {
    const db::ParadoxTable table(path);
    (void)table.writable();
    (void)table.readOnlyReason();
    (void)table.codePage();
    (void)table.level();
    result.fields = table.fields();
    result.rows = table.ReadAll();
    if (result.rows.size() != table.recordCount()) Violated("ReadAll gave another number of rows than the header");
  } catch (const db::Error&) {
    return result;
  }
  result.ok = true;
  const auto& fields = result.fields;
  (void)db::DumpHeader(fields);
  for (const db::Row& row : result.rows) {
    if (row.size() != fields.size()) Violated("a row with another number of values than fields");
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (!holdsKindOf(row[i], fields[i].type)) Violated("a value of the wrong kind for its field type");
      convert(row[i], fields[i]);
    }
    (void)db::DumpLine(fields, row);
  }
  // The rows as the table cache keeps them, read back column by column.
  std::vector<db::Row> copy = result.rows;
  const db::TableData data(fields, false, std::move(copy));
  if (data.RowCount() != result.rows.size()) Violated("the cache lost rows");
  for (std::size_t p = 0; p < data.RowCount(); ++p) {
    const db::Row cached = data.GetRow(data.PhysicalRow(p));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (sameValue(cached[i], result.rows[p][i])) continue;
      Violated("the cache changed row " + std::to_string(p) + ", field " + std::to_string(i) + " (" +
               std::string(db::TypeName(fields[i].type)) + "): " + describe(result.rows[p][i]) + " became " +
               describe(cached[i]));
    }
  }
  return result;
}

bool SameRow(const db::Row& a, const db::Row& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!sameValue(a[i], b[i])) return false;
  }
  return true;
}

}  // namespace fuzz
