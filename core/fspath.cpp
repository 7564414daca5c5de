#include "core/fspath.h"

#include "core/codec.h"

namespace core {

std::filesystem::path FsPath(std::string_view cp1251Name) {
#ifdef _WIN32
  std::wstring wide;
  wide.reserve(cp1251Name.size());
  for (char c : cp1251Name) wide += static_cast<wchar_t>(cp1251ToUnicode(static_cast<unsigned char>(c)));
  return std::filesystem::path(wide);
#else
  return std::filesystem::path(cp1251ToUtf8(cp1251Name));
#endif
}

std::string FromFsPath(const std::filesystem::path& path) {
#ifdef _WIN32
  std::string out;
  for (wchar_t w : path.native()) {
    const int b = unicodeToCp1251(static_cast<char32_t>(w));
    out += b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
#else
  return utf8ToCp1251(path.native());
#endif
}

std::optional<std::string> FileInFolderPath(std::string_view cp1251Folder) {
  if (cp1251Folder.empty()) return std::nullopt;
  // The nearest part of the name that exists decides: a folder, or a file.
  std::filesystem::path p = FsPath(cp1251Folder);
  // "a\b\" names what "a\b" names; Windows would take it for a file, too.
  if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
  for (; !p.empty(); p = p.parent_path()) {
    std::error_code ec;
    const auto status = std::filesystem::status(p, ec);
    if (std::filesystem::exists(status)) {
      if (std::filesystem::is_directory(status)) return std::nullopt;
      return FromFsPath(p);
    }
    if (p == p.parent_path()) break;
  }
  return std::nullopt;
}

}  // namespace core
