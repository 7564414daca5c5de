// The process-wide cache of table files. A table is read once and kept in
// memory (TableData) for as long as its file keeps the same stamp (size,
// modification time, change counters); a file changed by another program is
// read again at its next use. Our own writes go to the file first and are then
// applied to the cached rows, or drop them when the file decides where rows go
// (keyed tables, AutoInc values). Writes refuse with db::Error, changing
// nothing, when a file of the table is read-only on disk.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/paradox/table.h"
#include "db/tabledata.h"

namespace db {

class CachedTable {
 public:
  explicit CachedTable(std::string path);

  const std::string& path() const { return m_path; }

  // The rows as the file holds them now. Reads the file when its stamp changed.
  std::shared_ptr<const TableData> Data();
  // The rows last read or written, without looking at the file. The pointer
  // holds until the next write.
  const TableData& Current();
  // The file's stamp when the rows of Data() were read (or last written).
  FileStamp DataStamp() const { return m_dataStamp; }
  // Forgets the rows (after the file was created anew).
  void Invalidate();

  // Writes, each one call of the storage layer. Delete and Update address rows
  // by their positions in Current(); they refuse with db::Error when the file
  // changed since it was read. REQUIRES: values in canonical form (values.h).
  void Append(const std::vector<Row>& rows);
  void Delete(const std::vector<std::size_t>& positions);
  void Update(const std::vector<ParadoxTable::RowChange>& changes);
  // Deletes and appends in one write (ParadoxTable::Write); deletes address
  // positions in Current().
  void Write(const ParadoxTable::WriteBatch& batch);
  // The record bytes of rows at positions of Current(), read from the file.
  std::vector<std::string> RawRecords(const std::vector<std::size_t>& positions);
  // The record bytes a row would be stored as.
  std::string EncodeRecord(const Row& row);

  std::size_t MemoryUsage() const { return m_data ? m_data->MemoryUsage() : 0; }

 private:
  FileStamp fileStamp() const;
  // Snapshots handed out (open results) that still read columns from the file
  // are completed before a write changes it.
  void completeSharedData();
  // A table whose .DB, .PX or .MB is read-only on disk is not written, also
  // where the system would let this user write it (an administrator).
  void requireWritableFiles() const;
  TableSource& handle(const FileStamp& now);
  void load();
  TableData& mutableData();
  void requireCurrent(const FileStamp& now) const;
  template <class WriteToFile>
  void write(bool needsCurrentRows, WriteToFile&& writeToFile);
  // Whether another program is writing the table now: its journal is there.
  bool writeInProgress() const;
  std::shared_ptr<const TableData> tryData(const FileStamp& now);

  std::string m_path;
  // The storage layer's view of the file (header and block chain, no open
  // file), kept while the file's stamp stays the same: opening one reads every
  // block header. The rows read their columns through it.
  std::shared_ptr<TableSource> m_source;
  std::shared_ptr<TableData> m_data;
  FileStamp m_dataStamp;
};

class TableCache {
 public:
  // The one entry of this file (paths naming the same file by the same
  // absolute path share it).
  static std::shared_ptr<CachedTable> Get(std::string_view path);
  // Drops the cached rows of every table (for tests and to free memory).
  static void Clear();

 private:
  static std::map<std::filesystem::path, std::shared_ptr<CachedTable>>& entries();
};

// db::Error "path: problem", the shape of the storage layer's messages.
[[noreturn]] void ThrowTableError(std::string_view path, const std::string& cp1251Problem);

}  // namespace db
