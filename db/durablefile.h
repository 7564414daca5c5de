// Small files this program keeps for itself (the undo records), written so
// that after a crash or a power cut each one is there whole or not at all.
#pragma once

#include <optional>
#include <string>

namespace db {

// Writes bytes to path (CP1251) through a temporary file beside it: written,
// flushed, renamed over path, and the folder flushed. Throws db::Error naming
// the file and the reason.
void WriteFileDurably(const std::string& path, const std::string& bytes);
// Renames a file, durably. Throws db::Error.
void RenameDurably(const std::string& from, const std::string& to);
// The whole file, or nullopt when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace db
