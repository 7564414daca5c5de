// SystemFiles() outside Windows: descriptors read and written at offsets. A
// file opened to write takes an exclusive flock, which two copies of this
// program (or two table objects in one) respect; the lock goes with the
// descriptor, so a crash releases it.
#ifndef _WIN32

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/fspath.h"
#include "db/paradox/errors.h"
#include "db/paradox/files.h"

namespace db::paradox {
namespace {

// The reasons an operator can act on, in words; others by number.
std::string reason(int error) {
  switch (error) {
    case ENOSPC: return Ru("на диске нет места");
    case EACCES: case EPERM: return Ru("нет прав доступа");
    case EROFS: return Ru("диск только для чтения");
    default: return Ru("ошибка ") + std::to_string(error);
  }
}

[[noreturn]] void failErrno(const std::string& name, const std::string& what, int error) {
  Fail(name, Ru(what) + " (" + reason(error) + ")");
}

class PosixFile : public OpenFile {
 public:
  PosixFile(int fd, std::string name) : m_fd(fd), m_name(std::move(name)) {}
  ~PosixFile() override { ::close(m_fd); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  std::uint64_t Size() override {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) failErrno(m_name, "не удалось узнать размер файла", errno);
    return static_cast<std::uint64_t>(st.st_size);
  }

  void Read(std::uint64_t offset, MutableByteSpan out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t n = ::pread(m_fd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) failErrno(m_name, std::string("ошибка чтения со смещения ") + Hex(offset), errno);
      if (n == 0) Fail(m_name, Ru("файл обрывается на смещении ") + Hex(offset + done));
      done += static_cast<std::size_t>(n);
    }
  }

  void Write(std::uint64_t offset, ByteSpan data) override {
    std::size_t done = 0;
    while (done < data.size()) {
      const ssize_t n = ::pwrite(m_fd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) failErrno(m_name, std::string("ошибка записи со смещения ") + Hex(offset), errno);
      done += static_cast<std::size_t>(n);
    }
  }

  void Resize(std::uint64_t size) override {
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0) failErrno(m_name, "не удалось изменить размер файла", errno);
  }

  void Sync() override {
#ifdef __linux__
    const int rc = ::fdatasync(m_fd);  // also flushes the size, which reading needs
#else
    const int rc = ::fsync(m_fd);
#endif
    if (rc != 0) failErrno(m_name, "ошибка записи на диск", errno);
  }

 private:
  int m_fd;
  std::string m_name;
};

class PosixFiles : public FileSystem {
 public:
  std::unique_ptr<OpenFile> Open(const std::string& path, Access access) override {
    const std::string name = FileNameOf(path);
    const std::string native = core::FsPath(path).string();
    int flags = O_CLOEXEC;
    if (access == Access::Read) flags |= O_RDONLY;
    if (access == Access::Write) flags |= O_RDWR;
    if (access == Access::Create) flags |= O_RDWR | O_CREAT | O_TRUNC;
    int fd = -1;
    do {
      fd = ::open(native.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
      if (errno == ENOENT) Fail(name, Ru("файл не найден"));
      failErrno(name, access == Access::Read ? "не удалось открыть файл" : "не удалось открыть файл для записи", errno);
    }
    auto file = std::make_unique<PosixFile>(fd, name);
    if (access == Access::Write && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EWOULDBLOCK) throw TableBusy(BusyMessage(name));
      // A file system without locks (some network mounts): the stamp check
      // is all that keeps two writers apart there.
      if (errno != ENOLCK && errno != EOPNOTSUPP && errno != EINVAL) {
        failErrno(name, "не удалось заблокировать файл для записи", errno);
      }
    }
    return file;
  }

  bool Exists(const std::string& path) override {
    struct stat st {};
    return ::stat(core::FsPath(path).string().c_str(), &st) == 0;
  }

  void Remove(const std::string& path) override {
    if (::unlink(core::FsPath(path).string().c_str()) != 0 && errno != ENOENT) {
      failErrno(FileNameOf(path), "не удалось удалить файл", errno);
    }
  }

  void SyncFolder(const std::string& path) override {
    std::string folder = core::FsPath(path).parent_path().string();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) failErrno(FileNameOf(path), "не удалось открыть папку файла", errno);
    const int rc = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot flush a folder and say so; they keep names themselves.
    if (rc != 0 && error != EINVAL && error != ENOTSUP) failErrno(FileNameOf(path), "ошибка записи папки на диск", error);
  }
};

}  // namespace

std::shared_ptr<FileSystem> SystemFiles() {
  static const auto files = std::make_shared<PosixFiles>();
  return files;
}

}  // namespace db::paradox

#endif  // _WIN32
