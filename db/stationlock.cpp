#include "db/stationlock.h"

#include <thread>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/files.h"
#include "db/paradox/table.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace db {
namespace {

constexpr auto kPause = std::chrono::milliseconds(50);

std::string fileNameOf(const std::string& path) { return core::FromFsPath(core::FsPath(path).filename()); }

[[noreturn]] void cannotLock(const std::string& lockPath, const std::string& reason) {
  throw Error(lockPath + core::cp1251(": не удалось создать файл блокировки станции (") + reason + ")");
}

}  // namespace

#ifdef _WIN32

struct StationLock::Handle {
  HANDLE file = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
};

#else

struct StationLock::Handle {
  int fd = -1;
  ~Handle() {
    if (fd >= 0) ::close(fd);  // also lets go of the flock
  }
};

#endif

std::string StationLock::LockPath(const std::string& playListPath) { return playListPath + "-lock"; }

StationLock::StationLock(const std::string& playListPath, std::chrono::milliseconds patience)
    : m_handle(std::make_unique<Handle>()) {
  const std::string lockPath = LockPath(playListPath);
  const auto deadline = std::chrono::steady_clock::now() + patience;
#ifdef _WIN32
  // The open shares nothing: a second holder's open fails while we hold it.
  const std::wstring wide = core::FsPath(lockPath).wstring();
  for (;;) {
    m_handle->file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_handle->file != INVALID_HANDLE_VALUE) return;
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) {
      cannotLock(lockPath, core::cp1251("ошибка ") + std::to_string(error));
    }
    if (std::chrono::steady_clock::now() >= deadline) throw TableBusy(paradox::BusyMessage(fileNameOf(playListPath)));
    std::this_thread::sleep_for(kPause);
  }
#else
  const std::string native = core::FsPath(lockPath).string();
  m_handle->fd = ::open(native.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (m_handle->fd < 0) cannotLock(lockPath, std::strerror(errno));
  for (;;) {
    if (::flock(m_handle->fd, LOCK_EX | LOCK_NB) == 0) return;
    if (errno != EWOULDBLOCK && errno != EINTR) {
      // A file system without locks: the table's own write lock is all there is.
      if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) return;
      cannotLock(lockPath, std::strerror(errno));
    }
    if (std::chrono::steady_clock::now() >= deadline) throw TableBusy(paradox::BusyMessage(fileNameOf(playListPath)));
    std::this_thread::sleep_for(kPause);
  }
#endif
}

StationLock::~StationLock() = default;

}  // namespace db
