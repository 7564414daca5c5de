#include "db/columndata.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>

#include "core/codec.h"
#include "core/datetime.h"
#include "core/text.h"
#include "db/values.h"

namespace db {
namespace {

constexpr double kMsPerDay = 86400000.0;

std::int64_t doubleKey(double v) { return std::bit_cast<std::int64_t>(v == 0.0 ? 0.0 : v); }

template <class T>
int threeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

bool FoldedEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && core::UpperChar(a[i]) != core::UpperChar(b[i])) return false;
  }
  return true;
}

int FoldedCompare(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(core::UpperChar(a[i]));
    const auto y = static_cast<unsigned char>(core::UpperChar(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return threeWay(a.size(), b.size());
}

ColumnData::ColumnData(const Field& field) : m_field(field) {
  switch (field.type) {
    case FieldType::Short:
    case FieldType::Long:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time: m_storage = Storage::Int32; break;
    case FieldType::Number:
    case FieldType::Currency:
    case FieldType::Bcd:
    case FieldType::Timestamp: m_storage = Storage::Real; break;
    case FieldType::Logical: m_storage = Storage::Bool; break;
    default: m_storage = Storage::Text; break;
  }
}

void ColumnData::badValue() const {
  throw Error(core::cp1251("Поле ") + m_field.name + " (" + std::string(TypeName(m_field.type)) +
              core::cp1251("): значение не того типа"));
}

ColumnData::Span ColumnData::storeText(std::string_view text) {
  if (m_chars.size() + text.size() > 0xFFFFFFF0u) {
    throw Error(core::cp1251("Поле ") + m_field.name + core::cp1251(": слишком много текста для памяти"));
  }
  const Span s{static_cast<std::uint32_t>(m_chars.size()), static_cast<std::uint32_t>(text.size())};
  if (m_chars.size() + text.size() > m_chars.capacity()) {
    m_chars.reserve(m_chars.size() + m_chars.size() / 8 + text.size() + 1024);
  }
  m_chars.insert(m_chars.end(), text.begin(), text.end());
  return s;
}

std::int32_t ColumnData::storedInt(std::int64_t n) const {
  if (n <= kBlankInt || n > INT32_MAX) badValue();
  return static_cast<std::int32_t>(n);
}

void ColumnData::Push(const Value& value) {
  switch (m_storage) {
    case Storage::Text: PushModestly(m_spans, Span{kBlankOffset, 0}); break;
    case Storage::Int32: PushModestly(m_ints, kBlankInt); break;
    case Storage::Real:
      PushModestly(m_reals, 0.0);
      PushModestly(m_realBlank, true);
      break;
    case Storage::Bool: PushModestly(m_bools, kBlankBool); break;
  }
  Set(static_cast<std::uint32_t>(Size() - 1), value);
}

void ColumnData::PushBlank() {
  switch (m_storage) {
    case Storage::Text: PushModestly(m_spans, Span{kBlankOffset, 0}); break;
    case Storage::Int32: PushModestly(m_ints, kBlankInt); break;
    case Storage::Real:
      PushModestly(m_reals, 0.0);
      PushModestly(m_realBlank, true);
      break;
    case Storage::Bool: PushModestly(m_bools, kBlankBool); break;
  }
}

void ColumnData::PushText(std::string_view text) {
  if (m_storage != Storage::Text) badValue();
  PushModestly(m_spans, storeText(text));
}

void ColumnData::PushInt(std::int32_t value) {
  if (m_storage != Storage::Int32 || value == kBlankInt) badValue();
  PushModestly(m_ints, value);
}

void ColumnData::PushReal(double value) {
  if (m_storage != Storage::Real) badValue();
  PushModestly(m_reals, value);
  PushModestly(m_realBlank, false);
}

void ColumnData::PushBool(bool value) {
  if (m_storage != Storage::Bool) badValue();
  PushModestly(m_bools, static_cast<std::uint8_t>(value ? 1 : 0));
}

void ColumnData::ShrinkToFit() {
  const auto wasteful = [](const auto& v) { return v.capacity() > v.size() + v.size() / 4 + 1024; };
  if (wasteful(m_chars)) m_chars.shrink_to_fit();
  if (wasteful(m_spans)) m_spans.shrink_to_fit();
}

void ColumnData::Set(std::uint32_t row, const Value& value) {
  const bool blank = std::holds_alternative<std::monostate>(value);
  switch (m_storage) {
    case Storage::Text:
      if (blank) {
        m_spans[row] = Span{kBlankOffset, 0};
      } else if (const auto* s = std::get_if<std::string>(&value)) {
        m_spans[row] = storeText(*s);
      } else {
        badValue();
      }
      return;
    case Storage::Int32:
      if (blank) {
        m_ints[row] = kBlankInt;
      } else if (const auto* i = std::get_if<std::int64_t>(&value); i && IsIntegerType(m_field.type)) {
        m_ints[row] = static_cast<std::int32_t>(*i);
      } else if (const auto* d = std::get_if<double>(&value); d && m_field.type == FieldType::Date) {
        m_ints[row] = storedInt(DayOf(*d) + core::kDayZeroOrdinal);
      } else if (d && m_field.type == FieldType::Time) {
        m_ints[row] = storedInt(std::isfinite(*d) ? std::llround(std::clamp(*d, -1e6, 1e6) * kMsPerDay) : kBlankInt);
      } else {
        badValue();
      }
      return;
    case Storage::Real:
      if (blank) {
        m_realBlank[row] = true;
      } else if (const auto* d = std::get_if<double>(&value)) {
        m_reals[row] = *d;
        m_realBlank[row] = false;
      } else {
        badValue();
      }
      return;
    case Storage::Bool:
      if (blank) {
        m_bools[row] = kBlankBool;
      } else if (const auto* b = std::get_if<bool>(&value)) {
        m_bools[row] = *b ? 1 : 0;
      } else {
        badValue();
      }
      return;
  }
}

void ColumnData::Reserve(std::size_t rows, std::size_t textBytes) {
  switch (m_storage) {
    case Storage::Text:
      m_spans.reserve(rows);
      m_chars.reserve(textBytes);
      break;
    case Storage::Int32: m_ints.reserve(rows); break;
    case Storage::Real:
      m_reals.reserve(rows);
      m_realBlank.reserve(rows);
      break;
    case Storage::Bool: m_bools.reserve(rows); break;
  }
}

std::size_t ColumnData::Size() const {
  switch (m_storage) {
    case Storage::Text: return m_spans.size();
    case Storage::Int32: return m_ints.size();
    case Storage::Real: return m_reals.size();
    case Storage::Bool: return m_bools.size();
  }
  return 0;
}

bool ColumnData::IsBlank(std::uint32_t row) const {
  switch (m_storage) {
    case Storage::Text: return m_spans[row].offset == kBlankOffset;
    case Storage::Int32: return m_ints[row] == kBlankInt;
    case Storage::Real: return m_realBlank[row];
    case Storage::Bool: return m_bools[row] == kBlankBool;
  }
  return true;
}

std::string_view ColumnData::Text(std::uint32_t row) const {
  const Span s = m_spans[row];
  if (s.offset == kBlankOffset) return {};
  return std::string_view(m_chars.data() + s.offset, s.length);
}

Value ColumnData::Get(std::uint32_t row) const {
  if (IsBlank(row)) return std::monostate{};
  switch (m_storage) {
    case Storage::Text: return std::string(Text(row));
    case Storage::Int32:
      if (m_field.type == FieldType::Date) return static_cast<double>(std::int64_t{m_ints[row]} - core::kDayZeroOrdinal);
      if (m_field.type == FieldType::Time) return m_ints[row] / kMsPerDay;
      return static_cast<std::int64_t>(m_ints[row]);
    case Storage::Real: return m_reals[row];
    case Storage::Bool: return m_bools[row] == 1;
  }
  return std::monostate{};
}

std::int64_t ColumnData::ExactKey(std::uint32_t row) const {
  switch (m_storage) {
    case Storage::Int32:
      // Short/Long compare with Number columns by value: keep one key space.
      if (IsIntegerType(m_field.type)) return doubleKey(m_ints[row]);
      if (m_field.type == FieldType::Date) return std::int64_t{m_ints[row]} - core::kDayZeroOrdinal;
      return m_ints[row];
    case Storage::Real: return doubleKey(m_reals[row]);
    case Storage::Bool: return m_bools[row];
    case Storage::Text: break;
  }
  return 0;
}

std::int64_t ColumnData::MatchKey(std::uint32_t row) const {
  if (m_field.type == FieldType::Timestamp) return DayOf(m_reals[row]);
  return ExactKey(row);
}

int ColumnData::Compare(std::uint32_t a, std::uint32_t b) const {
  const bool blankA = IsBlank(a);
  const bool blankB = IsBlank(b);
  if (blankA || blankB) return blankA == blankB ? 0 : (blankA ? -1 : 1);
  switch (m_storage) {
    case Storage::Text: return FoldedCompare(Text(a), Text(b));
    case Storage::Int32: return threeWay(m_ints[a], m_ints[b]);
    case Storage::Real: return threeWay(m_reals[a], m_reals[b]);
    case Storage::Bool: return threeWay(m_bools[a], m_bools[b]);
  }
  return 0;
}

void ColumnData::Compact(const std::vector<std::uint32_t>& keep) {
  switch (m_storage) {
    case Storage::Text: {
      std::vector<char> chars;
      std::vector<Span> spans;
      std::size_t bytes = 0;
      for (std::uint32_t row : keep) bytes += m_spans[row].offset == kBlankOffset ? 0 : m_spans[row].length;
      chars.reserve(bytes);
      spans.reserve(keep.size());
      for (std::uint32_t row : keep) {
        const Span s = m_spans[row];
        if (s.offset == kBlankOffset) {
          spans.push_back(s);
        } else {
          spans.push_back(Span{static_cast<std::uint32_t>(chars.size()), s.length});
          chars.insert(chars.end(), m_chars.begin() + s.offset, m_chars.begin() + s.offset + s.length);
        }
      }
      m_chars = std::move(chars);
      m_spans = std::move(spans);
      break;
    }
    case Storage::Int32: {
      std::vector<std::int32_t> ints;
      ints.reserve(keep.size());
      for (std::uint32_t row : keep) ints.push_back(m_ints[row]);
      m_ints = std::move(ints);
      break;
    }
    case Storage::Real: {
      std::vector<double> reals;
      std::vector<bool> blank;
      reals.reserve(keep.size());
      blank.reserve(keep.size());
      for (std::uint32_t row : keep) {
        reals.push_back(m_reals[row]);
        blank.push_back(m_realBlank[row]);
      }
      m_reals = std::move(reals);
      m_realBlank = std::move(blank);
      break;
    }
    case Storage::Bool: {
      std::vector<std::uint8_t> bools;
      bools.reserve(keep.size());
      for (std::uint32_t row : keep) bools.push_back(m_bools[row]);
      m_bools = std::move(bools);
      break;
    }
  }
}

std::size_t ColumnData::MemoryUsage() const {
  return m_chars.capacity() + m_spans.capacity() * sizeof(Span) + m_ints.capacity() * sizeof(std::int32_t) +
         m_reals.capacity() * sizeof(double) + m_realBlank.capacity() / 8 + m_bools.capacity();
}

}  // namespace db
