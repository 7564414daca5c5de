// The table object: one table file opened by its full path, walked row by row,
// with rows deleted at the cursor and appended field by field. Reads and
// writes go through the process-wide cache (db/tablecache.h), so walking a
// table already read costs no file access and appending does not read it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/datetime.h"
#include "db/paradox/table.h"

namespace db {

class CachedTable;

class Table {
 public:
  explicit Table(std::string path);
  ~Table();
  Table(const Table&) = delete;
  Table& operator=(const Table&) = delete;

  const std::string& path() const { return m_path; }

  // Throws db::Error for a missing or unreadable table. The first row is current.
  void Open();
  // Drops a row being appended and not posted.
  void Close();
  bool Active() const { return m_entry != nullptr; }

  // REQUIRES for the rest: Active(), else db::Error.
  int RecordCount() const;
  // First, Next and Append post a row being appended first.
  void First();
  // At the last row sets Eof() and stays there.
  void Next();
  bool Eof() const;

  // Fields of the current row, or of the row being appended, as db/values.h
  // converts them. A missing field throws db::Error naming it and the table.
  std::string FieldAsString(std::string_view name) const;
  std::int32_t FieldAsInteger(std::string_view name) const;
  core::TDateTime FieldAsDateTime(std::string_view name) const;
  bool FieldAsBoolean(std::string_view name) const;

  // Deletes the current row from the file; the following row becomes current
  // (after the last row: the new last row, with Eof() set).
  void Delete();

  // Starts a new row with every field blank; set its fields, then Post() stores
  // it at the end of the table (a keyed table: at its key's place). The value
  // is stored as the field's type keeps it (values.h: FromString and others).
  void Append();
  void SetFieldAsString(std::string_view name, std::string_view text);
  void SetFieldAsInteger(std::string_view name, std::int64_t number);
  void SetFieldAsDateTime(std::string_view name, core::TDateTime dateTime);
  void SetFieldAsBoolean(std::string_view name, bool flag);
  void Post();
  void Cancel();
  bool Appending() const { return m_buffer.has_value(); }

  // Between BeginBatch and CommitBatch, posted rows and deleted rows are
  // stored by CommitBatch in one write, which reaches the disk whole or not at
  // all; until then the table holds the rows as before. During a batch, Delete
  // marks the current row and moves on as Next does (the cursor walks the
  // stored rows; RecordCount leaves the marked ones out and counts the posted
  // ones), and First is refused. The write deletes first, then appends. Close
  // (and destruction) drops an uncommitted batch.
  void BeginBatch();
  void CommitBatch();
  bool Batching() const { return m_batch.has_value(); }

  const std::vector<Field>& Fields() const;
  Row CurrentRow() const;

 private:
  void requireOpen() const;
  std::size_t storedCount() const;  // rows in the table, with those a batch deletes
  void requireNoBatch() const;
  std::size_t fieldIndex(std::string_view name) const;
  Value value(std::size_t index) const;
  Value& bufferField(std::string_view name, std::size_t& index);
  void postPending();

  std::string m_path;
  std::shared_ptr<CachedTable> m_entry;
  std::vector<Field> m_fields;
  static constexpr std::size_t kLastRow = static_cast<std::size_t>(-1);

  std::size_t m_current = 0;  // position in stored order; kLastRow: the last row
  bool m_eof = true;
  std::optional<Row> m_buffer;
  struct Batch {
    std::vector<Row> appended;
    std::vector<std::size_t> deleted;  // stored positions, ascending
  };
  std::optional<Batch> m_batch;
};

}  // namespace db
