// ParadoxTable::Create: a new, empty, unkeyed table as the Borland engine
// writes one at level 7 (Paradox 7): block size 2048, code page 1251 and the
// 'ancyrr' (Pdox ANSI Cyrillic) sort order, no data blocks yet.
#include <filesystem>
#include <fstream>
#include <set>

#include "core/fspath.h"
#include "db/paradox/companions.h"
#include "db/paradox/errors.h"
#include "db/paradox/header.h"
#include "db/paradox/table.h"

namespace db {

using namespace paradox;

namespace {

constexpr std::uint8_t kBlockSizeCode = 2;  // 2048 bytes
constexpr std::uint8_t kVersion7 = 0x0C;
constexpr std::uint16_t kVersionWord7 = 0x010C;
constexpr std::uint16_t kCodePage1251 = 1251;
constexpr std::uint8_t kSortOrderAncyrr = 0x8F;
constexpr char kSortOrderName[] = "ancyrr";
constexpr std::uint32_t kNotEncrypted = 0xFF00FF00;
constexpr std::uint16_t kDbMarkerWordValue = 0x0F1F;
constexpr std::uint8_t kDbMarkerValue = 0x20;
constexpr std::uint8_t kCodePageFlag = 0x01;
constexpr std::uint8_t kFirstUpdateCounter = 1;
constexpr std::uint16_t kFirstDeleteCounter = 1;
constexpr std::size_t kTableNameLength = 261;
constexpr std::size_t kHeaderUnit = 0x800;
constexpr std::size_t kMaxFieldName = 25;

bool creatable(FieldType type) {
  switch (type) {
    case FieldType::Alpha: case FieldType::Short: case FieldType::Long: case FieldType::Number:
    case FieldType::Currency: case FieldType::Date: case FieldType::Time: case FieldType::Timestamp:
    case FieldType::Logical: case FieldType::AutoInc: case FieldType::Bcd: case FieldType::Bytes:
      return true;
    default:
      return false;
  }
}

// The size byte of the header: Alpha and Bytes their length, Bcd its decimals,
// the others their fixed width (Field::size 0 means "the usual one").
int sizeByte(const Field& f) {
  if (f.type == FieldType::Alpha || f.type == FieldType::Bytes || f.type == FieldType::Bcd) return f.size;
  if (f.size != 0) return f.size;
  for (int width : {1, 2, 4, 8}) {
    if (FieldWidth(f.type, width) != 0) return width;
  }
  return 0;
}

void checkFields(const std::string& file, const std::vector<Field>& fields) {
  if (fields.empty() || fields.size() > 255) Fail(file, Ru("недопустимое число полей (") + std::to_string(fields.size()) + ")");
  std::set<std::string> names;
  std::size_t recordSize = 0;
  for (const Field& f : fields) {
    const std::string where = Ru("поле «") + f.name + Ru("»: ");
    if (f.name.empty() || f.name.size() > kMaxFieldName || f.name.find('\0') != std::string::npos) {
      Fail(file, where + Ru("имя пусто или длиннее 25 символов"));
    }
    std::string upper = f.name;
    for (char& c : upper) c = static_cast<char>(UpperCp1251(static_cast<unsigned char>(c)));
    if (!names.insert(upper).second) Fail(file, where + Ru("имя повторяется"));
    if (!creatable(f.type)) Fail(file, where + Ru("такой тип поля программа не создаёт"));
    const std::size_t width = FieldWidth(f.type, sizeByte(f));
    if (width == 0) Fail(file, where + Ru("недопустимый размер ") + std::to_string(f.size));
    recordSize += width;
  }
  if (recordSize + kBlockHeaderSize > std::size_t{kBlockSizeCode} * 1024) {
    Fail(file, Ru("запись (") + std::to_string(recordSize) + Ru(" байт) не помещается в блок"));
  }
}

std::vector<std::uint8_t> buildHeader(const std::string& fileName, const std::vector<Field>& fields) {
  const std::size_t n = fields.size();
  const std::size_t namesAt = off::kFixedPart + 2 * n + 4 + 4 * n + kTableNameLength;
  std::size_t numbersAt = namesAt;
  for (const Field& f : fields) numbersAt += f.name.size() + 1;
  const std::size_t sortNameAt = numbersAt + 2 * n;
  const std::size_t used = sortNameAt + sizeof kSortOrderName;
  const std::size_t headerSize = (used + kHeaderUnit - 1) / kHeaderUnit * kHeaderUnit;

  std::vector<std::uint8_t> raw(headerSize, 0);
  ByteWriter w(raw, fileName);
  std::size_t recordSize = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int size = sizeByte(fields[i]);
    recordSize += FieldWidth(fields[i].type, size);
    w.u8(off::kFixedPart + 2 * i, static_cast<std::uint8_t>(fields[i].type));
    w.u8(off::kFixedPart + 2 * i + 1, static_cast<std::uint8_t>(size));
  }
  w.le16(off::kRecordSize, static_cast<std::uint16_t>(recordSize));
  w.le16(off::kHeaderSize, static_cast<std::uint16_t>(headerSize));
  w.u8(off::kFileType, kFileTypeUnkeyed);
  w.u8(off::kBlockSizeCode, kBlockSizeCode);
  w.le16(off::kFieldCount, static_cast<std::uint16_t>(n));
  w.le32(off::kEncryptionOld, kNotEncrypted);
  w.u8(off::kSortOrder, kSortOrderAncyrr);
  w.u8(off::kUpdateCounter, kFirstUpdateCounter);
  w.u8(off::kVersion, kVersion7);
  w.le16(off::kDbMarkerWord, kDbMarkerWordValue);
  w.le16(off::kHeaderUsed, static_cast<std::uint16_t>(used));
  w.u8(off::kDbMarker, kDbMarkerValue);
  w.le16(off::kVersionWord1, kVersionWord7);
  w.le16(off::kVersionWord2, kVersionWord7);
  w.le16(off::kHighFieldId, static_cast<std::uint16_t>(n + 1));
  w.le16(off::kFieldNumbersAt, static_cast<std::uint16_t>(numbersAt - off::kFixedPartOld));
  w.le16(off::kCodePage, kCodePage1251);
  w.u8(off::kCodePageFlags, kCodePageFlag);
  w.u8(off::kCodePageFlags + 1, kCodePageFlag);
  w.le16(off::kSortNameAt, static_cast<std::uint16_t>(sortNameAt - off::kFixedPartOld));
  w.le16(off::kDeleteCounter, kFirstDeleteCounter);
  w.bytes(namesAt - kTableNameLength, AsBytes(fileName.substr(0, kTableNameLength - 1)));
  std::size_t at = namesAt;
  for (const Field& f : fields) {
    w.bytes(at, AsBytes(f.name));
    at += f.name.size() + 1;
  }
  for (std::size_t i = 0; i < n; ++i) w.le16(numbersAt + 2 * i, static_cast<std::uint16_t>(i + 1));
  w.bytes(sortNameAt, AsBytes(kSortOrderName));
  return raw;
}

}  // namespace

void ParadoxTable::Create(const std::string& path, const std::vector<Field>& fields) {
  const std::string fileName = FileNameOf(path);
  const auto fsPath = core::FsPath(path);
  std::error_code ec;
  if (std::filesystem::exists(fsPath, ec)) Fail(fileName, Ru("файл уже существует"));
  checkFields(fileName, fields);
  const auto header = buildHeader(fileName, fields);
  std::ofstream out(fsPath, std::ios::binary | std::ios::out);
  if (!out) Fail(fileName, Ru("не удалось создать файл"));
  out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
  out.close();
  if (!out) Fail(fileName, Ru("ошибка записи"));
}

}  // namespace db
