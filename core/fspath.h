// File names cross into the operating system here. Inside the program a file
// name is CP1251 text like every other text; Windows takes it as UTF-16, other
// systems as UTF-8 bytes.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace core {

std::filesystem::path FsPath(std::string_view cp1251Name);
std::string FromFsPath(const std::filesystem::path& path);  // CP1251, '?' for what it lacks

// When a folder name (CP1251) cannot name a folder because it, or a folder
// above it, is an existing file: that file's name (CP1251). A folder setting
// that names a file makes every path under it name nothing.
std::optional<std::string> FileInFolderPath(std::string_view cp1251Folder);

}  // namespace core
