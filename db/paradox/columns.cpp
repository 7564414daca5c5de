// Reading chosen fields of a table straight from its blocks into ColumnSinks:
// no Row, no Value, no allocation per value (blob fields excepted).
#include <algorithm>

#include "db/paradox/blobfile.h"
#include "db/paradox/errors.h"
#include "db/paradox/state.h"
#include "db/paradox/table.h"
#include "db/paradox/values.h"

namespace db {

using namespace paradox;

namespace {

constexpr std::size_t kReadBytes = std::size_t{1} << 20;
constexpr std::uint8_t kLogicalFalse = 0x80;
constexpr int kIdentityCodePage = 1251;

bool isBlobType(FieldType type) {
  return type == FieldType::Memo || type == FieldType::Blob || type == FieldType::FormattedMemo ||
         type == FieldType::Ole || type == FieldType::Graphic;
}

class FieldReader {
 public:
  FieldReader(const TableState& s, const std::vector<std::size_t>& fields, const std::vector<ColumnSink*>& sinks)
      : m_s(s), m_fields(fields), m_sinks(sinks), m_blobs(s.companions.blobs, s.fileName) {
    if (fields.size() != sinks.size()) Fail(s.fileName, Ru("число полей и приёмников не совпадает"));
    for (std::size_t f : fields) {
      if (f >= s.header.fields.size()) Fail(s.fileName, Ru("нет поля с номером ") + std::to_string(f));
    }
  }

  void Record(ByteSpan record) {
    const TableHeader& h = m_s.header;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
      const std::size_t f = m_fields[i];
      decode(h.fields[f].type, record.subspan(h.fieldOffsets[f], h.fieldWidths[f]), *m_sinks[i]);
    }
  }

 private:
  void decode(FieldType type, ByteSpan bytes, ColumnSink& sink) {
    if (type == FieldType::Bcd ? IsBlankBcd(bytes) : IsBlank(bytes)) {
      sink.Blank();
      return;
    }
    switch (type) {
      case FieldType::Alpha: text(bytes, sink); return;
      case FieldType::Bytes: sink.Text(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())); return;
      case FieldType::Logical: sink.Bool(bytes[0] != kLogicalFalse); return;
      case FieldType::Short:
      case FieldType::Long:
      case FieldType::AutoInc:
      case FieldType::Date:
      case FieldType::Time: sink.Int(static_cast<std::int32_t>(DecodeStoredInteger(bytes))); return;
      case FieldType::Number:
      case FieldType::Currency:
      case FieldType::Bcd:
      case FieldType::Timestamp: sink.Real(DecodeStoredReal(type, bytes)); return;
      default: break;
    }
    if (!isBlobType(type)) {
      sink.Blank();
      return;
    }
    std::string data = m_blobs.Read(bytes);
    if (type == FieldType::Memo || type == FieldType::FormattedMemo) data = m_s.codePage.ToCp1251(data);
    if (data.empty()) {
      sink.Blank();
    } else {
      sink.Text(data);
    }
  }

  // Alpha: up to the first NUL, in CP1251.
  void text(ByteSpan bytes, ColumnSink& sink) {
    const auto length = static_cast<std::size_t>(std::find(bytes.begin(), bytes.end(), std::uint8_t{0}) - bytes.begin());
    const char* chars = reinterpret_cast<const char*>(bytes.data());
    if (m_s.codePage.number() == kIdentityCodePage) {
      sink.Text(std::string_view(chars, length));
      return;
    }
    for (std::size_t i = 0; i < length; ++i) m_buffer[i] = static_cast<char>(m_s.codePage.Cp1251Byte(bytes[i]));
    sink.Text(std::string_view(m_buffer, length));
  }

  const TableState& m_s;
  const std::vector<std::size_t>& m_fields;
  const std::vector<ColumnSink*>& m_sinks;
  BlobFile m_blobs;
  char m_buffer[256] = {};
};

void requireReadable(const TableState& s) {
  if (s.header.encrypted) Fail(s.fileName, Ru("таблица зашифрована паролем; такие таблицы программа не читает"));
}

// The block at chain index i, checked against the chain read on opening.
ByteReader checkedBlock(const TableState& s, ByteSpan bytes, std::size_t i) {
  const ByteReader r(bytes, s.fileName);
  const auto& chain = s.chain;
  const std::uint16_t next = i + 1 < chain.blocks.size() ? chain.blocks[i + 1] : 0;
  if (r.le16(kBlockNext) != next || RecordsInBlock(r.les16(kBlockAddDataSize), s.header) != chain.counts[i]) {
    Fail(s.fileName, Ru("файл изменился после открытия таблицы; откройте её заново"));
  }
  return r;
}

}  // namespace

void ParadoxTable::ReadColumns(const std::vector<std::size_t>& fields, const std::vector<ColumnSink*>& sinks) const {
  const TableState& s = *m_state;
  requireReadable(s);
  FieldReader reader(s, fields, sinks);
  const TableHeader& h = s.header;
  const auto& blocks = s.chain.blocks;
  if (blocks.empty()) return;
  DataFile file(*s.files, s.path, DataFile::Mode::Read);
  const std::size_t maxRun = std::max<std::size_t>(1, kReadBytes / h.blockSize);
  std::vector<std::uint8_t> buffer(std::min(maxRun, blocks.size()) * h.blockSize);
  for (std::size_t i = 0; i < blocks.size();) {
    std::size_t run = 1;
    while (i + run < blocks.size() && run < maxRun && blocks[i + run] == blocks[i + run - 1] + 1) ++run;
    const MutableByteSpan data(buffer.data(), run * h.blockSize);
    file.ReadInto(h.blockOffset(blocks[i]), data);
    for (std::size_t k = 0; k < run; ++k) {
      const ByteReader r = checkedBlock(s, ByteSpan(data).subspan(k * h.blockSize, h.blockSize), i + k);
      for (std::size_t n = 0; n < s.chain.counts[i + k]; ++n) {
        reader.Record(r.bytes(kBlockHeaderSize + n * h.recordSize, h.recordSize));
      }
    }
    i += run;
  }
}

void ParadoxTable::ReadColumnsAt(const std::vector<std::size_t>& positions, const std::vector<std::size_t>& fields,
                                 const std::vector<ColumnSink*>& sinks) const {
  TableState& s = *m_state;
  requireReadable(s);
  FieldReader reader(s, fields, sinks);
  if (positions.empty()) return;
  const TableHeader& h = s.header;
  const auto& starts = PositionStarts(s);
  DataFile file(*s.files, s.path, DataFile::Mode::Read);
  std::vector<std::uint8_t> block(h.blockSize);
  std::size_t loaded = s.chain.blocks.size();
  std::uint64_t previous = 0;
  for (std::size_t k = 0; k < positions.size(); ++k) {
    const std::uint64_t position = positions[k];
    if (position >= starts.back() || (k > 0 && position < previous)) {
      Fail(s.fileName, Ru("нет записи с номером ") + std::to_string(position));
    }
    previous = position;
    const auto slot = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin() - 1);
    if (slot != loaded) {
      file.ReadInto(h.blockOffset(s.chain.blocks[slot]), block);
      loaded = slot;
    }
    const ByteReader r = checkedBlock(s, block, slot);
    const auto index = static_cast<std::size_t>(position - starts[slot]);
    reader.Record(r.bytes(kBlockHeaderSize + index * h.recordSize, h.recordSize));
  }
}

}  // namespace db
