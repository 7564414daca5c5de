// The write lock of one station: held by an import or an undo from the
// moment it reads what it will change until its write is on the disk, so two
// copies of the program (or the window and the command line) never write the
// same playlist on top of each other. The lock is a file beside PlayList.db,
// locked while held and left in place empty.
#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace db {

class StationLock {
 public:
  // Waits up to `patience` for another holder to let go, then throws
  // db::TableBusy with the busy message of PlayList.db. Throws db::Error when
  // the lock file cannot be made.
  StationLock(const std::string& playListPath, std::chrono::milliseconds patience);
  ~StationLock();
  StationLock(const StationLock&) = delete;
  StationLock& operator=(const StationLock&) = delete;

  static std::string LockPath(const std::string& playListPath);
  // How long an import waits for another one.
  static constexpr std::chrono::milliseconds kPatience{5000};

 private:
  struct Handle;
  std::unique_ptr<Handle> m_handle;
};

}  // namespace db
