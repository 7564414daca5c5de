#include "db/durablefile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/codec.h"
#include "core/fspath.h"
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
#include <unistd.h>
#endif

namespace db {
namespace {

[[noreturn]] void fail(const std::string& path, const char* whatUtf8, const std::string& reason) {
  throw Error(path + ": " + core::cp1251(whatUtf8) + " (" + reason + ")");
}

#ifdef _WIN32

std::string lastError() { return core::cp1251("ошибка ") + std::to_string(GetLastError()); }

void writeAndFlush(const std::string& path, const std::string& bytes) {
  const std::wstring wide = core::FsPath(path).wstring();
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) fail(path, "не удалось создать файл", lastError());
  DWORD written = 0;
  const bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size() && FlushFileBuffers(h);
  const std::string reason = ok ? std::string() : lastError();
  CloseHandle(h);
  if (!ok) fail(path, "не удалось записать файл", reason);
}

void rename(const std::string& from, const std::string& to) {
  const std::wstring a = core::FsPath(from).wstring();
  const std::wstring b = core::FsPath(to).wstring();
  if (!MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    fail(to, "не удалось переименовать файл", lastError());
  }
}

void syncFolder(const std::string&) {}  // Windows keeps names durable itself

#else

std::string lastError() { return std::strerror(errno); }

void writeAndFlush(const std::string& path, const std::string& bytes) {
  const std::string native = core::FsPath(path).string();
  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) fail(path, "не удалось создать файл", lastError());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const std::string reason = lastError();
      ::close(fd);
      fail(path, "не удалось записать файл", reason);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) {
    const std::string reason = lastError();
    ::close(fd);
    fail(path, "не удалось записать файл на диск", reason);
  }
  ::close(fd);
}

void rename(const std::string& from, const std::string& to) {
  if (std::rename(core::FsPath(from).string().c_str(), core::FsPath(to).string().c_str()) != 0) {
    fail(to, "не удалось переименовать файл", lastError());
  }
}

void syncFolder(const std::string& path) {
  const std::string folder = core::FsPath(path).parent_path().string();
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

#endif

}  // namespace

void WriteFileDurably(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".tmp";
  writeAndFlush(temporary, bytes);
  rename(temporary, path);
  syncFolder(path);
}

void RenameDurably(const std::string& from, const std::string& to) {
  rename(from, to);
  syncFolder(to);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(core::FsPath(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

}  // namespace db
