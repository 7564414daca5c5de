// One open table file, read and written at explicit offsets through a
// FileSystem. Errors name the file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/paradox/bytes.h"
#include "db/paradox/files.h"

namespace db::paradox {

class DataFile {
 public:
  using Mode = FileSystem::Access;

  // path: CP1251. Throws Error when the file cannot be opened (Write: also
  // while another writer holds it).
  DataFile(FileSystem& files, const std::string& path, Mode mode);
  // The operating system's files.
  DataFile(const std::string& path, Mode mode);

  const std::string& name() const { return m_name; }  // the file name, for messages
  const std::string& path() const { return m_path; }
  std::uint64_t size() const { return m_size; }

  // Throws Error when the file ends before offset + count.
  std::vector<std::uint8_t> ReadAt(std::uint64_t offset, std::size_t count);
  void ReadInto(std::uint64_t offset, MutableByteSpan out);
  void WriteAt(std::uint64_t offset, ByteSpan data);
  void Resize(std::uint64_t size);
  void Sync();
  void Close();  // releases the file (and a writer's hold on it); further use throws

 private:
  OpenFile& open();
  void requireBytes(std::uint64_t offset, std::uint64_t count) const;

  std::unique_ptr<OpenFile> m_file;
  std::string m_path;
  std::string m_name;
  std::uint64_t m_size = 0;
};

// Reads the whole header of a .DB or .PX: its fixed part first to learn the
// header size, then the rest. Throws Error when the file is too short.
std::vector<std::uint8_t> ReadHeaderBytes(DataFile& file);

}  // namespace db::paradox
