#include "db/tests/paradox_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/header.h"
#include "db/paradox/pxindex.h"
#include "db/paradox/state.h"

#if MVIMPORT_HAVE_PXLIB
extern "C" {
#include <paradox.h>
}
#endif

namespace db::paradox::testing {
namespace {

constexpr std::int32_t kDayZero = 693594;
constexpr double kMsPerDay = 86400000.0;

#if MVIMPORT_HAVE_PXLIB
void collect(pxdoc_t*, int type, const char* message, void* data) {
  if (type != PX_Warning) static_cast<std::vector<std::string>*>(data)->push_back(message);
}

Value pxlibValue(const pxval_t& v, char type) {
  if (v.isnull) return std::monostate{};
  switch (type) {
    case pxfAlpha:
      return std::string(v.value.str.val != nullptr ? v.value.str.val : "");
    case pxfShort:
    case pxfLong:
    case pxfAutoInc:
      return std::int64_t{v.value.lval};
    case pxfDate:
      return static_cast<double>(v.value.lval - kDayZero);
    case pxfTime:
      return static_cast<double>(v.value.lval) / kMsPerDay;
    case pxfTimestamp: {
      const double ordinal = std::floor(v.value.dval / kMsPerDay);
      return (ordinal - kDayZero) + (v.value.dval - ordinal * kMsPerDay) / kMsPerDay;
    }
    case pxfNumber:
    case pxfCurrency:
      return v.value.dval;
    case pxfLogical:
      return v.value.lval != 0;
    case pxfBCD:
      return std::strtod(v.value.str.val, nullptr);
    default:
      return std::string(v.value.str.val != nullptr ? v.value.str.val : "", static_cast<std::size_t>(v.value.str.len));
  }
}

#endif

bool pxlibMisreadsBlank(FieldType type) {
  return type == FieldType::Date || type == FieldType::Time || type == FieldType::Number ||
         type == FieldType::Currency || type == FieldType::Timestamp;
}

std::string describe(const Value& v) {
  std::ostringstream out;
  if (std::holds_alternative<std::monostate>(v)) out << "(blank)";
  if (const auto* i = std::get_if<std::int64_t>(&v)) out << *i;
  if (const auto* d = std::get_if<double>(&v)) out.precision(17), out << *d;
  if (const auto* b = std::get_if<bool>(&v)) out << (*b ? "true" : "false");
  if (const auto* s = std::get_if<std::string>(&v)) out << '"' << Utf8(*s) << '"';
  return out.str();
}

// Rows by the values pxlib reads reliably.
std::string sortKey(const Row& row, const std::vector<Field>& fields) {
  std::string out;
  for (std::size_t i = 0; i < row.size() && i < fields.size(); ++i) {
    if (!pxlibMisreadsBlank(fields[i].type)) out += describe(row[i]) + " | ";
  }
  return out;
}

void expectSameValue(const Value& ours, const Value& theirs, FieldType type, const std::string& where) {
  if (std::holds_alternative<std::monostate>(ours) && pxlibMisreadsBlank(type)) return;
  const auto* a = std::get_if<double>(&ours);
  const auto* b = std::get_if<double>(&theirs);
  if (a != nullptr && b != nullptr) {
    EXPECT_NEAR(*a, *b, 1e-9 * std::max(1.0, std::fabs(*a))) << where;
  } else {
    EXPECT_EQ(describe(ours), describe(theirs)) << where;
  }
}

// Removes a folder a test made, also where a test left a file read-only (on
// Windows that keeps the file from being deleted).
void removeTree(const std::filesystem::path& root, std::error_code& ec) {
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code ignored;
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
  }
  ec.clear();
  std::filesystem::remove_all(root, ec);
}

}  // namespace

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path() /
                    ("mvimport-paradox-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::error_code ec;
  removeTree(base, ec);  // left by an earlier run with the same process number
  if (ec) throw std::filesystem::filesystem_error("cannot empty the test folder", base, ec);
  std::filesystem::create_directories(base);
  m_root = core::FromFsPath(base);
}

TempDir::~TempDir() {
  std::error_code ec;
  removeTree(core::FsPath(m_root), ec);
}

void CopyWritable(const std::string& from, const std::string& to) {
  std::filesystem::copy_file(core::FsPath(from), core::FsPath(to));
  std::filesystem::permissions(core::FsPath(to), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

std::string TempDir::path(const std::string& name) const { return m_root + "/" + name; }

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(core::FsPath(path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(core::FsPath(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string SamplesDir() {
  const std::string dir = MVIMPORT_SAMPLES_DIR;
  return std::filesystem::is_directory(dir) ? dir : std::string();
}

void CreateKeyed(const std::string& path, const std::vector<Field>& fields, int keyFields) {
  ParadoxTable::Create(path, fields);
  Bytes db = ReadBytes(path);
  db[off::kFileType] = kFileTypeKeyed;
  db[off::kKeyFieldCount] = static_cast<std::uint8_t>(keyFields);
  WriteBytes(path, db);

  // An index header as the Borland engine lays it out: the common part, the
  // key fields' types and sizes, a pointer, the table name.
  Bytes px(0x800, 0);
  std::size_t keySize = 0;
  for (int i = 0; i < keyFields; ++i) {
    const std::size_t at = off::kFixedPart + 2 * static_cast<std::size_t>(i);
    const std::uint8_t type = db[at];
    const std::uint8_t size = db[at + 1];
    keySize += FieldWidth(static_cast<FieldType>(type), size);
    px[off::kFixedPartOld + 2 * static_cast<std::size_t>(i)] = type;
    px[off::kFixedPartOld + 2 * static_cast<std::size_t>(i) + 1] = size;
  }
  px[off::kRecordSize] = static_cast<std::uint8_t>(keySize + 6);
  px[off::kHeaderSize + 1] = 0x08;
  px[off::kFileType] = kFileTypeIndex;
  px[off::kBlockSizeCode] = db[off::kBlockSizeCode];
  px[off::kFieldCount] = static_cast<std::uint8_t>(keyFields);
  px[off::kSortOrder] = db[off::kSortOrder];
  px[off::kVersion] = db[off::kVersion];
  std::string pxPath = path.substr(0, path.size() - 2) + "PX";
  WriteBytes(pxPath, px);
}

#if MVIMPORT_HAVE_PXLIB
namespace {

// pxlib 0.6 frees neither the entries it reads from an index nor their keys;
// the table given the index shares the entries.
void freeIndexEntries(pxdoc_t* doc, pxdoc_t* index) {
  if (index == nullptr) return;
  auto* entries = static_cast<pxpindex_t*>(index->px_data);
  for (int i = 0; entries != nullptr && i < index->px_datalen; ++i) {
    if (entries[i].data != nullptr) index->free(index, entries[i].data);
    entries[i].data = nullptr;
  }
  if (entries != nullptr) index->free(index, entries);
  index->px_data = nullptr;
  if (doc->px_indexdata == entries) doc->px_indexdata = nullptr;
}

}  // namespace

PxlibTable ReadWithPxlib(const std::string& path, const std::string& pxPath) {
  PxlibTable result;
  pxdoc_t* doc = PX_new3(collect, nullptr, nullptr, nullptr, &result.messages);
  pxdoc_t* index = nullptr;
  if (PX_open_file(doc, core::cp1251ToUtf8(path).c_str()) < 0) {
    result.messages.push_back("cannot open");
    PX_delete(doc);
    return result;
  }
  PX_set_targetencoding(doc, "CP1251");
  if (!pxPath.empty()) {
    index = PX_new3(collect, nullptr, nullptr, nullptr, &result.messages);
    void* blockList = doc->px_indexdata;  // pxlib drops it for the index's entries without freeing it
    if (PX_open_file(index, core::cp1251ToUtf8(pxPath).c_str()) < 0 || PX_read_primary_index(index) < 0 ||
        PX_add_primary_index(doc, index) < 0) {
      result.messages.push_back("cannot use the primary index");
    }
    if (blockList != nullptr && doc->px_indexdata != blockList) doc->free(doc, blockList);
  }
  const int fieldCount = PX_get_num_fields(doc);
  const pxfield_t* fields = PX_get_fields(doc);
  for (int i = 0; i < fieldCount; ++i) {
    result.fields.push_back({fields[i].px_fname, static_cast<FieldType>(fields[i].px_ftype), fields[i].px_flen});
  }
  const int records = PX_get_num_records(doc);
  for (int r = 0; r < records; ++r) {
    pxval_t** values = PX_retrieve_record(doc, r);
    if (values == nullptr) {
      result.messages.push_back("cannot read record " + std::to_string(r));
      break;
    }
    Row row;
    for (int i = 0; i < fieldCount; ++i) {
      row.push_back(pxlibValue(*values[i], fields[i].px_ftype));
      if (!values[i]->isnull && fields[i].px_ftype != pxfShort && fields[i].px_ftype != pxfLong &&
          fields[i].px_ftype != pxfAutoInc && fields[i].px_ftype != pxfDate && fields[i].px_ftype != pxfTime &&
          fields[i].px_ftype != pxfLogical && fields[i].px_ftype != pxfNumber &&
          fields[i].px_ftype != pxfCurrency && fields[i].px_ftype != pxfTimestamp) {
        doc->free(doc, values[i]->value.str.val);
      }
      doc->free(doc, values[i]);
    }
    doc->free(doc, values);
    result.rows.push_back(std::move(row));
  }
  freeIndexEntries(doc, index);
  PX_close(doc);
  PX_delete(doc);
  if (index != nullptr) {
    PX_close(index);
    PX_delete(index);
  }
  return result;
}

namespace {

void putValue(pxdoc_t* doc, char* data, const Field& f, const Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return;
  const int width = static_cast<int>(FieldWidth(f.type, f.size));
  const auto real = [&] { return std::get<double>(v); };
  switch (f.type) {
    case FieldType::Alpha: {
      std::string text = std::get<std::string>(v);
      PX_put_data_alpha(doc, data, width, text.data());
      break;
    }
    case FieldType::Bytes: {
      std::string bytes = std::get<std::string>(v);
      PX_put_data_bytes(doc, data, width, bytes.data());
      break;
    }
    case FieldType::Short: PX_put_data_short(doc, data, width, static_cast<short>(std::get<std::int64_t>(v))); break;
    case FieldType::Long:
    case FieldType::AutoInc:
      PX_put_data_long(doc, data, width, static_cast<int>(std::get<std::int64_t>(v)));
      break;
    case FieldType::Number:
    case FieldType::Currency:
      PX_put_data_double(doc, data, width, real());
      break;
    case FieldType::Date: PX_put_data_long(doc, data, width, static_cast<int>(std::lround(real())) + kDayZero); break;
    case FieldType::Time: PX_put_data_long(doc, data, width, static_cast<int>(std::llround(real() * kMsPerDay))); break;
    case FieldType::Timestamp:
      PX_put_data_double(doc, data, width, static_cast<double>(std::llround((real() + kDayZero) * kMsPerDay)));
      break;
    case FieldType::Logical: PX_put_data_byte(doc, data, width, std::get<bool>(v) ? 1 : 0); break;
    default: ADD_FAILURE() << "no pxlib writer for this type"; break;
  }
}

}  // namespace

void WriteWithPxlib(const std::string& path, const std::vector<Field>& fields, const std::vector<Row>& rows) {
  std::vector<std::string> names;
  for (const Field& f : fields) names.push_back(f.name);
  std::vector<pxfield_t> defs(fields.size());
  std::size_t recordSize = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    defs[i].px_fname = names[i].data();
    defs[i].px_ftype = static_cast<char>(fields[i].type);
    defs[i].px_flen = static_cast<int>(FieldWidth(fields[i].type, fields[i].size));
    defs[i].px_fdc = 0;
    recordSize += static_cast<std::size_t>(defs[i].px_flen);
  }
  std::vector<std::string> messages;
  pxdoc_t* doc = PX_new3(collect, nullptr, nullptr, nullptr, &messages);
  // pxlib takes over the field array and frees it on close.
  auto* owned = static_cast<pxfield_t*>(doc->malloc(doc, sizeof(pxfield_t) * defs.size(), "fields"));
  for (std::size_t i = 0; i < defs.size(); ++i) {
    owned[i] = defs[i];
    owned[i].px_fname = PX_strdup(doc, defs[i].px_fname);
  }
  ASSERT_EQ(PX_create_file(doc, owned, static_cast<int>(fields.size()), core::cp1251ToUtf8(path).c_str(),
                           pxfFileTypNonIndexDB), 0);
  PX_set_value(doc, "codepage", 1251);
  for (const Row& row : rows) {
    std::vector<char> record(recordSize, 0);
    std::size_t at = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      putValue(doc, record.data() + at, fields[i], row[i]);
      at += FieldWidth(fields[i].type, fields[i].size);
    }
    EXPECT_GE(PX_put_record(doc, record.data()), 0);
  }
  PX_close(doc);
  PX_delete(doc);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

#else

PxlibTable ReadWithPxlib(const std::string&, const std::string&) {
  throw std::logic_error("pxlib is not part of this build; check HavePxlib() first");
}

void WriteWithPxlib(const std::string&, const std::vector<Field>&, const std::vector<Row>&) {
  throw std::logic_error("pxlib is not part of this build; check HavePxlib() first");
}

#endif

void ExpectSameAsPxlib(const std::vector<Row>& ours, const PxlibTable& theirs, bool sameOrder) {
  EXPECT_TRUE(theirs.messages.empty()) << theirs.messages.front();
  ASSERT_EQ(ours.size(), theirs.rows.size());
  std::vector<Row> a = ours;
  std::vector<Row> b = theirs.rows;
  if (!sameOrder) {
    const auto byText = [&](const Row& x, const Row& y) {
      return sortKey(x, theirs.fields) < sortKey(y, theirs.fields);
    };
    std::sort(a.begin(), a.end(), byText);
    std::sort(b.begin(), b.end(), byText);
  }
  for (std::size_t r = 0; r < a.size(); ++r) {
    ASSERT_EQ(a[r].size(), theirs.fields.size());
    for (std::size_t f = 0; f < a[r].size(); ++f) {
      expectSameValue(a[r][f], b[r][f], theirs.fields[f].type,
                      "row " + std::to_string(r) + " field " + theirs.fields[f].name);
    }
  }
}

std::string Utf8(const std::string& cp1251) { return core::cp1251ToUtf8(cp1251); }

void ExpectIndexMatchesChain(const std::string& path) {
  const auto state = LoadTableState(path);
  const auto entries = ReadPrimaryIndex(state->companions.primaryIndex, state->header);
  const Chain& chain = state->chain;
  ASSERT_EQ(entries.size(), chain.blocks.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(entries[i].block, chain.blocks[i]) << i;
    EXPECT_EQ(entries[i].count, chain.counts[i]) << i;
    EXPECT_EQ(entries[i].key, chain.firstKeys[i]) << i;
  }
}

}  // namespace db::paradox::testing
