#include "db/paradox/file.h"

#include <filesystem>
#include <system_error>

#include "core/fspath.h"
#include "db/paradox/errors.h"
#include "db/paradox/header.h"

namespace db::paradox {

std::string BusyMessage(const std::string& fileName) {
  return fileName + Ru(": таблица занята другой программой, которая открыла её для записи; "
                       "повторите, когда та программа закончит");
}

DataFile::DataFile(FileSystem& files, const std::string& path, Mode mode)
    : m_path(path), m_name(FileNameOf(path)) {
  if (mode != Mode::Create) {
    std::error_code ec;
    const auto status = std::filesystem::status(core::FsPath(path), ec);
    if (ec || !std::filesystem::exists(status)) Fail(m_name, Ru("файл не найден"));
    if (!std::filesystem::is_regular_file(status)) Fail(m_name, Ru("это не файл"));
  }
  m_file = files.Open(path, mode);
  m_size = m_file->Size();
}

DataFile::DataFile(const std::string& path, Mode mode) : DataFile(*SystemFiles(), path, mode) {}

OpenFile& DataFile::open() {
  if (!m_file) Fail(m_name, Ru("файл уже закрыт"));
  return *m_file;
}

void DataFile::requireBytes(std::uint64_t offset, std::uint64_t count) const {
  if (offset > m_size || count > m_size - offset) {
    Fail(m_name, Ru("файл обрывается: нужны байты ") + Hex(offset) + ".." + Hex(offset + count) +
                     Ru(", в файле ") + std::to_string(m_size));
  }
}

std::vector<std::uint8_t> DataFile::ReadAt(std::uint64_t offset, std::size_t count) {
  requireBytes(offset, count);
  std::vector<std::uint8_t> out(count);
  ReadInto(offset, out);
  return out;
}

void DataFile::ReadInto(std::uint64_t offset, MutableByteSpan out) {
  requireBytes(offset, out.size());
  open().Read(offset, out);
}

void DataFile::WriteAt(std::uint64_t offset, ByteSpan data) {
  open().Write(offset, data);
  m_size = std::max<std::uint64_t>(m_size, offset + data.size());
}

void DataFile::Resize(std::uint64_t size) {
  open().Resize(size);
  m_size = size;
}

void DataFile::Sync() { open().Sync(); }

void DataFile::Close() { m_file.reset(); }

std::vector<std::uint8_t> ReadHeaderBytes(DataFile& file) {
  if (file.size() < kMinHeader) {
    Fail(file.name(), Ru("заголовок слишком короткий (") + std::to_string(file.size()) + " < " +
                          std::to_string(kMinHeader) + Ru(" байт)"));
  }
  const auto fixed = file.ReadAt(0, kMinHeader);
  const std::uint16_t headerSize = ByteReader(fixed, file.name()).le16(off::kHeaderSize);
  if (headerSize < kMinHeader) {
    Fail(file.name(), Ru("недопустимый размер заголовка (") + std::to_string(headerSize) + Ru(" байт)"));
  }
  if (headerSize > file.size()) {
    Fail(file.name(), Ru("заголовок слишком короткий (") + std::to_string(file.size()) + " < " +
                          std::to_string(headerSize) + Ru(" байт)"));
  }
  return file.ReadAt(0, headerSize);
}

}  // namespace db::paradox
