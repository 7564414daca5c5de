#include "db/paradox/table.h"

#include <filesystem>
#include <system_error>

#include "core/fspath.h"
#include "db/paradox/blobfile.h"
#include "db/paradox/editor.h"
#include "db/paradox/errors.h"
#include "db/paradox/state.h"
#include "db/paradox/values.h"

namespace db {

using namespace paradox;

namespace {

constexpr std::size_t kReadRunBlocks = 64;

std::string fieldWhere(const TableState& s, std::size_t field) {
  return s.fileName + Ru(", поле «") + s.header.fields[field].name + Ru("»");
}

[[noreturn]] void failRowSize(const TableState& s, std::size_t size) {
  Fail(s.fileName, Ru("в строке ") + std::to_string(size) + Ru(" значений, а в таблице ") +
                       std::to_string(s.header.fields.size()) + Ru(" полей"));
}

void noteAutoInc(TableEditor& editor, ByteSpan bytes, const CodePage& codePage) {
  const Value v = DecodeValue(FieldType::AutoInc, bytes, codePage);
  const auto* n = std::get_if<std::int64_t>(&v);
  editor.autoIncUsed() = true;
  if (n != nullptr && *n > 0) editor.autoInc() = std::max(editor.autoInc(), static_cast<std::uint32_t>(*n));
}

// The record bytes of a row; blank AutoInc fields take the next value.
std::string encodeRow(const TableState& s, const Row& row, TableEditor& editor) {
  const TableHeader& h = s.header;
  if (row.size() != h.fields.size()) failRowSize(s, row.size());
  std::string record(h.recordSize, '\0');
  for (std::size_t i = 0; i < row.size(); ++i) {
    const bool autoInc = h.fields[i].type == FieldType::AutoInc;
    Value value = row[i];
    if (autoInc && std::holds_alternative<std::monostate>(value)) value = static_cast<std::int64_t>(editor.autoInc()) + 1;
    const MutableByteSpan out(reinterpret_cast<std::uint8_t*>(record.data()) + h.fieldOffsets[i], h.fieldWidths[i]);
    EncodeValue(h.fields[i], value, out, s.codePage, fieldWhere(s, i));
    if (autoInc) noteAutoInc(editor, out, s.codePage);
  }
  return record;
}

void readRun(const TableState& s, DataFile& file, BlobFile& blobs, std::size_t first, std::size_t count,
             std::vector<Row>& rows) {
  const TableHeader& h = s.header;
  const auto& chain = s.chain;
  const auto data = file.ReadAt(h.blockOffset(chain.blocks[first]), count * h.blockSize);
  for (std::size_t i = first; i < first + count; ++i) {
    const ByteReader r(ByteSpan(data).subspan((i - first) * h.blockSize, h.blockSize), s.fileName);
    const std::uint16_t next = i + 1 < chain.blocks.size() ? chain.blocks[i + 1] : 0;
    if (r.le16(kBlockNext) != next || RecordsInBlock(r.les16(kBlockAddDataSize), h) != chain.counts[i]) {
      Fail(s.fileName, Ru("файл изменился после открытия таблицы; откройте её заново"));
    }
    for (std::size_t k = 0; k < chain.counts[i]; ++k) {
      rows.push_back(DecodeRecord(s, r.bytes(kBlockHeaderSize + k * h.recordSize, h.recordSize), blobs));
    }
  }
}

}  // namespace

ParadoxTable::ParadoxTable(std::string path, std::shared_ptr<FileSystem> files)
    : m_path(std::move(path)), m_state(LoadTableState(m_path, std::move(files))) {
  m_fields = m_state->header.fields;
  adopt();
}

TableState& ParadoxTable::ownState() {
  if (m_state.use_count() > 1) m_state = std::make_shared<TableState>(*m_state);
  return *m_state;
}

// After a write, successful or not: what the accessors give.
void ParadoxTable::adopt() {
  m_keyFields = m_state->header.keyFields;
  m_recordCount = m_state->header.recordCount;
  m_stamp = m_state->stamp;
}

bool ParadoxTable::writable() const { return m_state->readOnlyReason.empty(); }
const std::string& ParadoxTable::readOnlyReason() const { return m_state->readOnlyReason; }
int ParadoxTable::codePage() const { return m_state->header.codePage; }
int ParadoxTable::level() const { return m_state->header.level; }

FileStamp ParadoxTable::Stamp(const std::string& path) {
  FileStamp stamp = StatStamp(path);
  DataFile file(path, DataFile::Mode::Read);
  SetCounters(stamp, file.ReadAt(0, std::min<std::uint64_t>(file.size(), off::kUpdateCounter + 2)));
  return stamp;
}

Value ParadoxTable::StoredValue(std::size_t field, const Value& value) const {
  const TableState& s = *m_state;
  if (field >= s.header.fields.size()) Fail(s.fileName, Ru("нет поля с номером ") + std::to_string(field));
  std::vector<std::uint8_t> bytes(s.header.fieldWidths[field]);
  EncodeValue(s.header.fields[field], value, bytes, s.codePage, fieldWhere(s, field));
  if (IsBlank(bytes)) return std::monostate{};
  return DecodeValue(s.header.fields[field].type, bytes, s.codePage);
}

Row ParadoxTable::StoredRow(const Row& row) const {
  const TableState& s = *m_state;
  if (row.size() != s.header.fields.size()) failRowSize(s, row.size());
  Row stored;
  for (std::size_t i = 0; i < row.size(); ++i) stored.push_back(StoredValue(i, row[i]));
  return stored;
}

std::vector<Row> ParadoxTable::ReadAll() const {
  const TableState& s = *m_state;
  if (s.header.encrypted) Fail(s.fileName, Ru("таблица зашифрована паролем; такие таблицы программа не читает"));
  DataFile file(*s.files, s.path, DataFile::Mode::Read);
  BlobFile blobs(s.companions.blobs, s.fileName);
  std::vector<Row> rows;
  rows.reserve(s.header.recordCount);
  const auto& blocks = s.chain.blocks;
  for (std::size_t i = 0; i < blocks.size();) {
    std::size_t run = 1;
    while (i + run < blocks.size() && run < kReadRunBlocks && blocks[i + run] == blocks[i + run - 1] + 1) ++run;
    readRun(s, file, blobs, i, run, rows);
    i += run;
  }
  return rows;
}

void ParadoxTable::Append(const std::vector<Row>& rows) {
  if (rows.empty()) return;
  TableState& s = ownState();
  TableEditor editor(s);
  std::vector<std::string> records;
  for (const Row& row : rows) records.push_back(encodeRow(s, row, editor));
  for (const std::string& record : records) editor.Insert(record);
  commit(editor);
}

void ParadoxTable::commit(TableEditor& editor) {
  try {
    editor.Commit();
  } catch (...) {
    adopt();
    throw;
  }
  adopt();
}

void ParadoxTable::Delete(const std::vector<std::size_t>& positions) {
  if (positions.empty()) return;
  TableEditor editor(ownState());
  editor.Delete(positions);
  commit(editor);
}

void ParadoxTable::Update(const std::vector<RowChange>& changes) {
  if (changes.empty()) return;
  TableState& s = ownState();
  TableEditor editor(s);
  std::map<std::size_t, std::string> records;
  for (const RowChange& change : changes) {
    auto it = records.find(change.position);
    if (it == records.end()) it = records.emplace(change.position, editor.RecordAt(change.position)).first;
    for (const FieldChange& f : change.changes) {
      if (f.field >= s.header.fields.size()) {
        Fail(s.fileName, Ru("нет поля с номером ") + std::to_string(f.field));
      }
      const MutableByteSpan out(reinterpret_cast<std::uint8_t*>(it->second.data()) + s.header.fieldOffsets[f.field],
                                s.header.fieldWidths[f.field]);
      EncodeValue(s.header.fields[f.field], f.value, out, s.codePage, fieldWhere(s, f.field));
      if (s.header.fields[f.field].type == FieldType::AutoInc) noteAutoInc(editor, out, s.codePage);
    }
  }
  editor.Replace({records.begin(), records.end()});
  commit(editor);
}

}  // namespace db
