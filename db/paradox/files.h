// The engine's access to the files of a table, behind an interface so that a
// test can make any write, flush or size change fail, or stop the way a crash
// or a power cut would stop the program. SystemFiles() is the real one.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/paradox/bytes.h"

namespace db::paradox {

// One open file. Every call throws Error naming the file when the system refuses.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  virtual std::uint64_t Size() = 0;
  // REQUIRES: offset + out.size() <= Size().
  virtual void Read(std::uint64_t offset, MutableByteSpan out) = 0;
  virtual void Write(std::uint64_t offset, ByteSpan data) = 0;
  virtual void Resize(std::uint64_t size) = 0;
  // Returns once every byte written and the size are on the disk.
  virtual void Sync() = 0;
};

class FileSystem {
 public:
  enum class Access {
    Read,    // an existing file; other programs may read and write it meanwhile
    Write,   // an existing file, read and written; refused (TableBusy) while another
             // program, or another writer of this one, has it open to write
    Create,  // a new file, or an existing one cut to nothing
  };

  virtual ~FileSystem() = default;

  // path: CP1251. Throws Error naming the file.
  virtual std::unique_ptr<OpenFile> Open(const std::string& path, Access access) = 0;
  virtual bool Exists(const std::string& path) = 0;
  // Removing a file that is not there is no error.
  virtual void Remove(const std::string& path) = 0;
  // Makes files created or removed in the folder of path durable (POSIX: the
  // folder is flushed; Windows keeps names durable itself).
  virtual void SyncFolder(const std::string& path) = 0;
};

// The operating system's files: POSIX descriptors with flock on the files
// opened to write, or Windows handles whose share mode refuses other writers.
std::shared_ptr<FileSystem> SystemFiles();

// The text of TableBusy for a file another writer holds (CP1251).
std::string BusyMessage(const std::string& fileName);

}  // namespace db::paradox
