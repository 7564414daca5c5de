// A file layer for the engine that counts the operations that change the disk
// (create, write, resize, flush, remove, folder flush) and, at the Nth one,
// fails it or stops there as a crash would; after a crash it can also undo
// what a power cut would lose. Flushes are recorded, not made: what is
// durable is tracked here, so the tests run at memory speed.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "db/paradox/files.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {

// Thrown at the crash point and by every changing operation after it.
struct SimulatedCrash {};

class FaultyFiles : public FileSystem {
 public:
  enum class Fault {
    None,
    Error,  // the operation throws db::Error and does nothing; later ones work
    Crash,  // the operation does nothing (a write: only its first half), and no later one does either
  };

  explicit FaultyFiles(int failAt = 0, Fault fault = Fault::None) : m_failAt(failAt), m_fault(fault) {}

  enum class Operation { Create, Write, Resize, Sync, Remove, SyncFolder };

  int operations() const { return m_operations; }
  bool crashed() const { return m_crashed; }
  // Runs before each changing operation: its number (from 1), kind and file.
  std::function<void(int, Operation, const std::string&)> beforeOperation;

  // Which writes made since a file's last flush a power cut keeps.
  enum class Unflushed {
    Kept,
    Lost,
    JournalLost,     // the journal's are lost, the table files' kept
    LaterHalfLost,   // each file keeps the first half of them, in order
  };
  // After a crash (or a finished write): what a power cut leaves. loseNames:
  // files created or removed since the folder's last flush are undone too.
  void PowerCut(Unflushed unflushed, bool loseNames);

  std::unique_ptr<OpenFile> Open(const std::string& path, Access access) override;
  bool Exists(const std::string& path) override { return SystemFiles()->Exists(path); }
  void Remove(const std::string& path) override;
  void SyncFolder(const std::string& path) override;

  // For the open files: counts the operation; throws when it is to fail.
  // half: set when a write is to be torn (write half of it, then call Crash()).
  void Step(Operation op, const std::string& path, bool* half = nullptr);
  [[noreturn]] void Crash();
  void Synced(const std::string& path);
  void Touched(const std::string& path);
  void Wrote(const std::string& path, std::uint64_t offset, ByteSpan bytes);
  void Resized(const std::string& path, std::uint64_t size);

 private:
  int m_failAt;
  Fault m_fault;
  int m_operations = 0;
  bool m_crashed = false;
  struct Change {
    std::uint64_t offset;  // or the new size
    Bytes bytes;
    bool resize;
  };
  std::map<std::string, Bytes> m_durable;   // last flushed bytes of files written
  std::map<std::string, std::vector<Change>> m_unflushed;
  std::set<std::string> m_created;          // since the last folder flush
  std::map<std::string, Bytes> m_removed;   // since the last folder flush, their durable bytes
};

}  // namespace db::paradox::testing
