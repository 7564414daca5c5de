// One open table file, read and written at explicit offsets. Errors name the file.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "db/paradox/bytes.h"

namespace db::paradox {

class DataFile {
 public:
  enum class Mode { Read, ReadWrite };

  // path: CP1251. Throws Error when the file cannot be opened.
  DataFile(const std::string& path, Mode mode);

  const std::string& name() const { return m_name; }  // the file name, for messages
  std::uint64_t size() const { return m_size; }

  // Throws Error when the file ends before offset + count.
  std::vector<std::uint8_t> ReadAt(std::uint64_t offset, std::size_t count);
  void ReadInto(std::uint64_t offset, MutableByteSpan out);
  void WriteAt(std::uint64_t offset, ByteSpan data);
  void Flush();
  void Close();  // flushes; further use throws

 private:
  void requireBytes(std::uint64_t offset, std::uint64_t count) const;

  std::fstream m_stream;
  std::string m_name;
  std::uint64_t m_size = 0;
};

// Writes, at offset, the bytes of after from the first to the last one that
// differs from before (same size).
void WriteChanges(DataFile& file, std::uint64_t offset, ByteSpan before, ByteSpan after);

// Cuts or extends the file (path: CP1251) to size bytes.
void ResizeFile(const std::string& path, std::uint64_t size);

// Reads the whole header of a .DB or .PX: its fixed part first to learn the
// header size, then the rest. Throws Error when the file is too short.
std::vector<std::uint8_t> ReadHeaderBytes(DataFile& file);

}  // namespace db::paradox
