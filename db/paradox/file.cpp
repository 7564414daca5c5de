#include "db/paradox/file.h"

#include <filesystem>
#include <system_error>

#include "core/fspath.h"
#include "db/paradox/errors.h"
#include "db/paradox/header.h"

namespace db::paradox {

DataFile::DataFile(const std::string& path, Mode mode) : m_name(FileNameOf(path)) {
  const auto fsPath = core::FsPath(path);
  std::error_code ec;
  const auto status = std::filesystem::status(fsPath, ec);
  if (ec || !std::filesystem::exists(status)) Fail(m_name, Ru("файл не найден"));
  if (!std::filesystem::is_regular_file(status)) Fail(m_name, Ru("это не файл"));
  auto openMode = std::ios::binary | std::ios::in;
  if (mode == Mode::ReadWrite) openMode |= std::ios::out;
  m_stream.open(fsPath, openMode);
  if (!m_stream) {
    Fail(m_name, mode == Mode::ReadWrite ? Ru("не удалось открыть файл для записи")
                                         : Ru("не удалось открыть файл"));
  }
  m_stream.seekg(0, std::ios::end);
  const auto end = m_stream.tellg();
  if (end < 0) Fail(m_name, Ru("не удалось узнать размер файла"));
  m_size = static_cast<std::uint64_t>(end);
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
  m_stream.clear();
  m_stream.seekg(static_cast<std::streamoff>(offset));
  m_stream.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!m_stream) Fail(m_name, Ru("ошибка чтения со смещения ") + Hex(offset));
}

void DataFile::WriteAt(std::uint64_t offset, ByteSpan data) {
  m_stream.clear();
  m_stream.seekp(static_cast<std::streamoff>(offset));
  m_stream.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  if (!m_stream) Fail(m_name, Ru("ошибка записи со смещения ") + Hex(offset));
  m_size = std::max<std::uint64_t>(m_size, offset + data.size());
}

void DataFile::Flush() {
  m_stream.flush();
  if (!m_stream) Fail(m_name, Ru("ошибка записи на диск"));
}

void DataFile::Close() {
  Flush();
  m_stream.close();
}

void WriteChanges(DataFile& file, std::uint64_t offset, ByteSpan before, ByteSpan after) {
  std::size_t first = 0;
  std::size_t end = std::min(before.size(), after.size());
  while (first < end && before[first] == after[first]) ++first;
  while (end > first && before[end - 1] == after[end - 1]) --end;
  if (first < end) file.WriteAt(offset + first, after.subspan(first, end - first));
}

void ResizeFile(const std::string& path, std::uint64_t size) {
  std::error_code ec;
  std::filesystem::resize_file(core::FsPath(path), size, ec);
  if (ec) Fail(FileNameOf(path), Ru("не удалось изменить размер файла"));
}

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
