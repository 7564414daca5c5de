// Paradox table files (.DB with its .PX and .MB): the storage layer under the
// local SQL. Reads every table a station may have; writes only in ways that
// keep the table valid for the automation system's own database engine.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace db {

namespace paradox {
class FileSystem;
class TableEditor;
struct TableState;
}

// A failure that ends the operator's action. The message is CP1251 Russian
// text naming the table file and the problem.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A write refused because another program (or another copy of this one) has
// the table open to write. Reading stays possible.
class TableBusy : public Error {
 public:
  using Error::Error;
};

// DO NOT CHANGE: the codes are those of the file format.
enum class FieldType : std::uint8_t {
  Alpha = 0x01,
  Date = 0x02,
  Short = 0x03,
  Long = 0x04,
  Currency = 0x05,
  Number = 0x06,
  Logical = 0x09,
  Memo = 0x0C,
  Blob = 0x0D,
  FormattedMemo = 0x0E,
  Ole = 0x0F,
  Graphic = 0x10,
  Time = 0x14,
  Timestamp = 0x15,
  AutoInc = 0x16,
  Bcd = 0x17,
  Bytes = 0x18,
};

struct Field {
  std::string name;   // CP1251
  FieldType type;
  int size = 0;       // bytes in the record (Alpha: 1..255); for Bcd the number of decimals
};

// One value of a record; which alternative a field holds follows its type:
//   blank (NULL) of every type            std::monostate
//   Alpha, Memo, FormattedMemo             std::string, CP1251 text
//   Blob, Ole, Graphic, Bytes              std::string, raw bytes
//   Short, Long, AutoInc                   std::int64_t
//   Number, Currency, Bcd                  double
//   Date, Timestamp                        double, days since 30.12.1899 (time as fraction)
//   Time                                   double, fraction of a day
//   Logical                                bool
using Value = std::variant<std::monostate, std::int64_t, double, bool, std::string>;
using Row = std::vector<Value>;

// What identifies one state of a table file on disk, for caches.
struct FileStamp {
  std::uint64_t size = 0;
  std::int64_t modified = 0;        // file system time, nanoseconds
  std::uint32_t changeCounter = 0;  // header counters of the .DB
  bool operator==(const FileStamp&) const = default;
};

// Takes the values of one field of successive records as ParadoxTable's
// column reads decode them straight from the blocks, without a Value:
//   Text  Alpha, Memo, FormattedMemo as CP1251; Blob, Ole, Graphic, Bytes raw
//   Int   Short, Long, AutoInc; Date as its day ordinal (1.1.0001 = 1); Time in ms
//   Real  Number, Currency, Bcd; Timestamp as days since 30.12.1899
//   Bool  Logical
// The text is valid only during the call.
class ColumnSink {
 public:
  virtual ~ColumnSink() = default;
  virtual void Blank() = 0;
  virtual void Text(std::string_view text) = 0;
  virtual void Int(std::int32_t value) = 0;
  virtual void Real(double value) = 0;
  virtual void Bool(bool value) = 0;
};

// Every write (Append, Delete, Update) reaches the disk whole or not at all,
// for the .DB and its .PX together (see journal.h), and is refused with
// TableBusy while another writer has the table open.
class ParadoxTable {
 public:
  // Opens and validates the .DB (and .PX/.MB when present), first rolling back
  // a write that a crash interrupted. Throws Error. files: the file layer,
  // the operating system's when null.
  explicit ParadoxTable(std::string path, std::shared_ptr<paradox::FileSystem> files = nullptr);

  // Creates an unkeyed table as the Borland engine does (block size 2048, code
  // page 1251, Cyrillic ANSI sort order). Throws Error when the file exists.
  static void Create(const std::string& path, const std::vector<Field>& fields);

  static FileStamp Stamp(const std::string& path);

  const std::string& path() const { return m_path; }
  const std::vector<Field>& fields() const { return m_fields; }
  int keyFieldCount() const { return m_keyFields; }
  std::uint32_t recordCount() const { return m_recordCount; }
  bool writable() const;  // false for encrypted tables, those with secondary indexes, and the
                          // other cases readOnlyReason() names
  // Why the table is not writable (CP1251), empty when it is.
  const std::string& readOnlyReason() const;
  int codePage() const;   // of the table's text, e.g. 1251 or 866
  int level() const;      // format level: 3, 4, 5 or 7
  FileStamp stamp() const { return m_stamp; }

  // The value as ReadAll gives it back once stored in this field: dates lose
  // their time of day, times are rounded to milliseconds, empty text is blank,
  // numbers take the kind of the field. Throws Error as Append would.
  Value StoredValue(std::size_t field, const Value& value) const;
  // The same for a whole row (an AutoInc left blank stays blank here).
  Row StoredRow(const Row& row) const;

  // Every record in stored order: block chain order, which for a keyed table
  // is key order.
  std::vector<Row> ReadAll() const;

  // The values of these fields of every record, in stored order, one sink per
  // field: one pass over the block chain, reading runs of consecutive blocks,
  // decoding only these fields. Throws Error when the blocks disagree with the
  // chain read on opening (the file changed since).
  void ReadColumns(const std::vector<std::size_t>& fields, const std::vector<ColumnSink*>& sinks) const;
  // The same for the records at these positions of the stored order only
  // (ascending), reading only the blocks that hold them.
  void ReadColumnsAt(const std::vector<std::size_t>& positions, const std::vector<std::size_t>& fields,
                     const std::vector<ColumnSink*>& sinks) const;

  // Appends rows (unkeyed: at the end of the chain; keyed: at their key place).
  // Fields a row leaves blank stay blank. AutoInc fields left blank get the next
  // value. Blob fields must be blank.
  void Append(const std::vector<Row>& rows);

  // Deletes the records at these positions of the stored order (as ReadAll
  // returned them on the file's current stamp).
  void Delete(const std::vector<std::size_t>& positions);

  // Changes some fields of the records at these positions; other fields keep
  // their bytes.
  struct FieldChange {
    std::size_t field;
    Value value;
  };
  struct RowChange {
    std::size_t position;
    std::vector<FieldChange> changes;
  };
  void Update(const std::vector<RowChange>& changes);

  // One write that deletes records and appends others: it reaches the disk
  // whole or not at all. Every row is encoded, and so checked, before the
  // first byte changes. deletes: positions of the stored order (as ReadAll
  // returned them on the file's current stamp); rows: appended as Append
  // appends them; records: whole record bytes (recordSize() each, as
  // RawRecords gives them) appended unchanged after the rows.
  struct WriteBatch {
    std::vector<std::size_t> deletes;
    std::vector<Row> rows;
    std::vector<std::string> records;
    bool empty() const { return deletes.empty() && rows.empty() && records.empty(); }
  };
  void Write(const WriteBatch& batch);

  // The bytes of the records at these positions of the stored order, every
  // field included, in the order asked.
  std::vector<std::string> RawRecords(const std::vector<std::size_t>& positions) const;
  // The record bytes a row would be stored as (blank AutoInc fields stay blank).
  // Throws Error as Append would.
  std::string EncodeRecord(const Row& row) const;
  std::size_t recordSize() const;

 private:
  std::string m_path;
  std::vector<Field> m_fields;
  int m_keyFields = 0;
  std::uint32_t m_recordCount = 0;
  FileStamp m_stamp;
  // Shared by copies until one of them writes: a write changes the state in
  // place, after giving this object its own copy if another shares it.
  std::shared_ptr<paradox::TableState> m_state;

  void adopt();
  paradox::TableState& ownState();
  void commit(paradox::TableEditor& editor);
};

}  // namespace db
