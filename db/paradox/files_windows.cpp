// SystemFiles() on Windows: handles read and written at offsets. A file opened
// to write shares reading only, so the system refuses the open while another
// program (the automation system among them) has the file open to write, and
// refuses other writers while we have it.
#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "core/fspath.h"
#include "db/paradox/errors.h"
#include "db/paradox/files.h"

namespace db::paradox {
namespace {

std::string reason(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL: return Ru("на диске нет места");
    case ERROR_ACCESS_DENIED: return Ru("нет прав доступа");
    case ERROR_WRITE_PROTECT: return Ru("диск защищён от записи");
    default: return Ru("ошибка ") + std::to_string(error);
  }
}

[[noreturn]] void failLast(const std::string& name, const std::string& what) {
  const DWORD error = GetLastError();
  Fail(name, Ru(what) + " (" + reason(error) + ")");
}

OVERLAPPED at(std::uint64_t offset) {
  OVERLAPPED o{};
  o.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
  o.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return o;
}

constexpr DWORD kMaxChunk = 1u << 30;

class WindowsFile : public OpenFile {
 public:
  WindowsFile(HANDLE handle, std::string name) : m_handle(handle), m_name(std::move(name)) {}
  ~WindowsFile() override { CloseHandle(m_handle); }
  WindowsFile(const WindowsFile&) = delete;
  WindowsFile& operator=(const WindowsFile&) = delete;

  std::uint64_t Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(m_handle, &size)) failLast(m_name, "не удалось узнать размер файла");
    return static_cast<std::uint64_t>(size.QuadPart);
  }

  void Read(std::uint64_t offset, MutableByteSpan out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      OVERLAPPED o = at(offset + done);
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(out.size() - done, kMaxChunk));
      if (!ReadFile(m_handle, out.data() + done, want, &n, &o)) {
        if (GetLastError() != ERROR_HANDLE_EOF) failLast(m_name, std::string("ошибка чтения со смещения ") + Hex(offset));
      }
      if (n == 0) Fail(m_name, Ru("файл обрывается на смещении ") + Hex(offset + done));
      done += n;
    }
  }

  void Write(std::uint64_t offset, ByteSpan data) override {
    std::size_t done = 0;
    while (done < data.size()) {
      OVERLAPPED o = at(offset + done);
      DWORD n = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, kMaxChunk));
      if (!WriteFile(m_handle, data.data() + done, want, &n, &o) || n == 0) {
        failLast(m_name, std::string("ошибка записи со смещения ") + Hex(offset));
      }
      done += n;
    }
  }

  void Resize(std::uint64_t size) override {
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFileInformationByHandle(m_handle, FileEndOfFileInfo, &end, sizeof end)) {
      failLast(m_name, "не удалось изменить размер файла");
    }
  }

  void Sync() override {
    if (!FlushFileBuffers(m_handle)) failLast(m_name, "ошибка записи на диск");
  }

 private:
  HANDLE m_handle;
  std::string m_name;
};

class WindowsFiles : public FileSystem {
 public:
  std::unique_ptr<OpenFile> Open(const std::string& path, Access access) override {
    const std::string name = FileNameOf(path);
    DWORD desired = GENERIC_READ;
    DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD disposition = OPEN_EXISTING;
    if (access != Access::Read) {
      desired |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
    }
    if (access == Access::Create) disposition = CREATE_ALWAYS;
    const HANDLE handle = CreateFileW(core::FsPath(path).c_str(), desired, share, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) Fail(name, Ru("файл не найден"));
      if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) throw TableBusy(BusyMessage(name));
      Fail(name, Ru(access == Access::Read ? "не удалось открыть файл" : "не удалось открыть файл для записи") + " (" +
                     reason(error) + ")");
    }
    return std::make_unique<WindowsFile>(handle, name);
  }

  bool Exists(const std::string& path) override {
    return GetFileAttributesW(core::FsPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  void Remove(const std::string& path) override {
    if (!DeleteFileW(core::FsPath(path).c_str())) {
      const DWORD error = GetLastError();
      if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
      Fail(FileNameOf(path), Ru("не удалось удалить файл") + " (" + reason(error) + ")");
    }
  }

  // Windows has no flush of a folder; NTFS commits its log of names when a
  // file in the folder is flushed.
  void SyncFolder(const std::string&) override {}
};

}  // namespace

std::shared_ptr<FileSystem> SystemFiles() {
  static const auto files = std::make_shared<WindowsFiles>();
  return files;
}

}  // namespace db::paradox

#endif  // _WIN32
