#include "db/paradox/state.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "core/fspath.h"
#include "db/paradox/blobfile.h"
#include "db/paradox/errors.h"
#include "db/paradox/journal.h"
#include "db/paradox/keys.h"
#include "db/paradox/pxindex.h"
#include "db/paradox/values.h"

namespace db::paradox {
namespace {

bool isBlobType(FieldType type) {
  return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo ||
         type == FieldType::Ole || type == FieldType::Graphic;
}

std::string keyedProblem(const TableState& s) {
  if (s.companions.primaryIndex.empty()) return s.fileName + Ru(": у ключевой таблицы нет файла первичного индекса .PX");
  try {
    CheckPrimaryIndexHeader(s.companions.primaryIndex, s.header);
  } catch (const Error& e) {
    return e.what();
  }
  const auto& c = s.chain;
  const KeyOrder order(s.header, s.codePage);
  for (std::size_t i = 0; i < c.blocks.size(); ++i) {
    if (c.counts[i] == 0 && c.blocks.size() > 1) {
      return s.fileName + Ru(": в цепочке ключевой таблицы пустой блок ") + std::to_string(c.blocks[i]);
    }
    if (i > 0 && order.Compare(AsBytes(c.firstKeys[i - 1]), AsBytes(c.firstKeys[i])) >= 0) {
      return s.fileName + Ru(": порядок ключей в блоках ") + std::to_string(c.blocks[i - 1]) + Ru(" и ") +
             std::to_string(c.blocks[i]) + Ru(" не совпадает с порядком сортировки, известным программе");
    }
  }
  return {};
}

std::string readOnlyReasonOf(const TableState& s) {
  const TableHeader& h = s.header;
  if (h.encrypted) return s.fileName + Ru(": таблица зашифрована паролем");
  if (!s.companions.secondaryIndexes.empty()) {
    return s.fileName + Ru(": у таблицы есть вторичные индексы (") +
           FileNameOf(s.companions.secondaryIndexes.front()) +
           Ru("), программа не умеет их обновлять");
  }
  if (h.writeProtected) return s.fileName + Ru(": таблица защищена от записи");
  if (!s.chain.freeListProblem.empty()) return s.fileName + ": " + s.chain.freeListProblem;
  if (h.keyed()) return keyedProblem(s);
  return {};
}

}  // namespace

FileStamp StatStamp(const std::string& path) {
  const auto fsPath = core::FsPath(path);
  std::error_code ec;
  FileStamp stamp;
  stamp.size = std::filesystem::file_size(fsPath, ec);
  if (ec) Fail(FileNameOf(path), Ru("файл не найден"));
  const auto modified = std::filesystem::last_write_time(fsPath, ec);
  stamp.modified = std::chrono::duration_cast<std::chrono::nanoseconds>(modified.time_since_epoch()).count();
  return stamp;
}

void SetCounters(FileStamp& stamp, ByteSpan head) {
  stamp.changeCounter = 0;
  if (head.size() < off::kUpdateCounter + 2) return;
  const ByteReader r(head, Ru("заголовок"));
  stamp.changeCounter = r.le16(off::kChangeCounter) | (std::uint32_t{r.le16(off::kUpdateCounter)} << 16);
}

const std::vector<std::uint64_t>& PositionStarts(TableState& s) {
  const auto& counts = s.chain.counts;
  s.starts.resize(counts.size() + 1);
  std::size_t i = std::max<std::size_t>(s.startsValid, 1);
  s.starts[0] = 0;
  for (; i <= counts.size(); ++i) s.starts[i] = s.starts[i - 1] + counts[i - 1];
  s.startsValid = s.starts.size();
  return s.starts;
}

void InvalidateStarts(TableState& s, std::size_t index) { s.startsValid = std::min(s.startsValid, index + 1); }

std::shared_ptr<TableState> LoadTableState(const std::string& path, std::shared_ptr<FileSystem> files) {
  auto s = std::make_shared<TableState>();
  s->files = files ? std::move(files) : SystemFiles();
  s->path = path;
  s->fileName = FileNameOf(path);
  const std::string recovery = RollBackOnOpen(*s->files, path);
  s->stamp = StatStamp(path);
  DataFile file(*s->files, path, DataFile::Mode::Read);
  s->header = ParseTableHeader(ReadHeaderBytes(file), file.size(), s->fileName);
  SetCounters(s->stamp, s->header.raw);
  s->codePage = CodePage(s->header.codePage);
  for (Field& f : s->header.fields) f.name = s->codePage.ToCp1251(f.name);
  if (!s->header.encrypted) s->chain = ScanChain(file, s->header);
  s->companions = FindCompanions(path);
  s->readOnlyReason = recovery.empty() ? readOnlyReasonOf(*s) : recovery;
  return s;
}

Row DecodeRecord(const TableState& s, ByteSpan record, BlobFile& blobs) {
  const TableHeader& h = s.header;
  Row row;
  row.reserve(h.fields.size());
  for (std::size_t i = 0; i < h.fields.size(); ++i) {
    const FieldType type = h.fields[i].type;
    const ByteSpan bytes = record.subspan(h.fieldOffsets[i], h.fieldWidths[i]);
    if (IsBlank(bytes)) {
      row.emplace_back();
    } else if (!isBlobType(type)) {
      row.push_back(DecodeValue(type, bytes, s.codePage));
    } else {
      std::string data = blobs.Read(bytes);
      if (type == FieldType::Memo || type == FieldType::FormattedMemo) data = s.codePage.ToCp1251(data);
      if (data.empty()) {
        row.emplace_back();
      } else {
        row.emplace_back(std::move(data));
      }
    }
  }
  return row;
}

}  // namespace db::paradox
