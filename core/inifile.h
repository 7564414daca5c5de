// A settings file that behaves like a Windows profile file: section and key
// names match without regard to letter case, the first of duplicates wins,
// and writing a key keeps every other line of the file as it stood.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace core {

class IniWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class IniFile {
 public:
  explicit IniFile(std::string path) : m_path(std::move(path)) {}

  const std::string& path() const { return m_path; }

  // Why the file cannot be read as Windows-1251 text (CP1251), or nullopt:
  // a settings file saved as UTF-16 or as UTF-8 with a byte-order mark would
  // otherwise read as if it held no setting at all.
  std::optional<std::string> encodingProblem() const;

  // Every read looks at the file as it is now; a missing file reads as empty.
  std::optional<std::string> readValue(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // A value that is not a whole number gives the default.
  std::int32_t readInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // True when the value is a non-zero whole number.
  bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // Key names of a section, in file order.
  std::vector<std::string> readKeys(std::string_view section) const;

  // Throws IniWriteError("Unable to write to <file>") when the file cannot be
  // written. Line breaks inside the key or value are replaced by blanks.
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, std::int32_t value);
  void writeBool(std::string_view section, std::string_view key, bool value);

 private:
  std::vector<std::string> loadLines() const;

  std::string m_path;
};

}  // namespace core
