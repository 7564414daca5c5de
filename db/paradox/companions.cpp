#include "db/paradox/companions.h"

#include <filesystem>
#include <system_error>

#include "core/fspath.h"

namespace db::paradox {
namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

// "X01", "Y0A", "XG0", "YG1", already in upper case, without the dot.
bool isSecondaryIndexExtension(const std::string& ext) {
  if (ext.size() != 3 || (ext[0] != 'X' && ext[0] != 'Y')) return false;
  if (ext[1] == 'G') return isHexDigit(ext[2]);
  return isHexDigit(ext[1]) && isHexDigit(ext[2]);
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(UpperCp1251(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

unsigned char UpperCp1251(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0) return static_cast<unsigned char>(c - 0x20);  // а..я
  if (c == 0xB8) return 0xA8;                                  // ё
  return c;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return upper(a) == upper(b);
}

Companions FindCompanions(const std::string& dbPath) {
  Companions found;
  const auto path = core::FsPath(dbPath);
  const std::string stem = upper(core::FromFsPath(path.stem()));
  auto folder = path.parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    const auto& entry = it->path();
    if (upper(core::FromFsPath(entry.stem())) != stem) continue;
    std::string ext = upper(core::FromFsPath(entry.extension()));
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    const std::string full = core::FromFsPath(entry);
    if (ext == "PX") {
      found.primaryIndex = full;
    } else if (ext == "MB") {
      found.blobs = full;
    } else if (isSecondaryIndexExtension(ext)) {
      found.secondaryIndexes.push_back(full);
    }
  }
  return found;
}

}  // namespace db::paradox
