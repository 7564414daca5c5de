// The values of one field of a cached table, packed by what the field stores:
// texts in one character buffer, Short/Long/AutoInc/Date/Time as the 32-bit
// integers the file holds (Date its day ordinal, Time its milliseconds, so any
// value a file holds reads back unchanged), Number/Currency/BCD/Timestamp as
// doubles, Logical as bytes. Rows are numbered from 0 in the order they were added.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "db/paradox/table.h"

namespace db {

class ColumnData {
 public:
  explicit ColumnData(const Field& field);

  // REQUIRES: the value's alternative is the one table.h gives for the type
  // (blank always allowed); throws db::Error otherwise.
  void Push(const Value& value);
  void Set(std::uint32_t row, const Value& value);
  void Reserve(std::size_t rows, std::size_t textBytes);

  // Values as the storage layer reads them from the blocks (the kinds of
  // ColumnSink in db/paradox/table.h). Throws db::Error when the kind does not
  // fit the field.
  void PushBlank();
  void PushText(std::string_view text);
  void PushInt(std::int32_t value);
  void PushReal(double value);
  void PushBool(bool value);
  // Gives back what a column read reserved beyond its values.
  void ShrinkToFit();

  std::size_t Size() const;
  Value Get(std::uint32_t row) const;
  bool IsBlank(std::uint32_t row) const;
  // REQUIRES: IsTextStorage(). Blank reads as empty.
  std::string_view Text(std::uint32_t row) const;
  bool IsTextStorage() const { return m_storage == Storage::Text; }

  // The key WHERE compares: Date and Timestamp by day, Time by millisecond,
  // numbers by value (the bits of the double), Logical 0/1. REQUIRES: not
  // blank, not text storage.
  std::int64_t MatchKey(std::uint32_t row) const;
  // Like MatchKey, but Timestamp by its exact value (DISTINCT, ORDER BY ties).
  std::int64_t ExactKey(std::uint32_t row) const;
  // ORDER BY: blanks first, texts by their folded bytes, the rest by value.
  int Compare(std::uint32_t a, std::uint32_t b) const;

  // Keeps the rows listed (ascending), renumbering them from 0.
  void Compact(const std::vector<std::uint32_t>& keep);

  std::size_t MemoryUsage() const;

 private:
  enum class Storage : std::uint8_t { Text, Int32, Real, Bool };
  struct Span {
    std::uint32_t offset;
    std::uint32_t length;
  };
  static constexpr std::uint32_t kBlankOffset = 0xFFFFFFFFu;
  static constexpr std::int32_t kBlankInt = INT32_MIN;  // not storable in Paradox: its encoding is blank
  static constexpr std::uint8_t kBlankBool = 2;

  Span storeText(std::string_view text);
  [[noreturn]] void badValue() const;
  // n when it is a 32-bit value other than the blank mark, else badValue().
  std::int32_t storedInt(std::int64_t n) const;

  Field m_field;
  Storage m_storage;
  std::vector<char> m_chars;  // not std::string: its reserve doubles the capacity
  std::vector<Span> m_spans;
  std::vector<std::int32_t> m_ints;
  std::vector<double> m_reals;
  std::vector<bool> m_realBlank;
  std::vector<std::uint8_t> m_bools;
};

// Fills a column from a column read of the storage layer.
class ColumnFiller : public ColumnSink {
 public:
  explicit ColumnFiller(ColumnData& column) : m_column(column) {}
  void Blank() override { m_column.PushBlank(); }
  void Text(std::string_view text) override { m_column.PushText(text); }
  void Int(std::int32_t value) override { m_column.PushInt(value); }
  void Real(double value) override { m_column.PushReal(value); }
  void Bool(bool value) override { m_column.PushBool(value); }

 private:
  ColumnData& m_column;
};

// Appends to a vector holding a column of a whole table, growing it by an
// eighth instead of doubling it: a table read once and then appended to keeps
// close to its own size in memory.
template <class Vector, class T>
void PushModestly(Vector& v, T&& value) {
  if (v.size() == v.capacity()) v.reserve(v.size() + v.size() / 8 + 64);
  v.push_back(std::forward<T>(value));
}

// Folded comparison of CP1251 texts (core::UpperChar), as the local SQL compares.
bool FoldedEqual(std::string_view a, std::string_view b);
int FoldedCompare(std::string_view a, std::string_view b);

}  // namespace db
