#include "core/inifile.h"

#include <fstream>
#include <sstream>

#include "core/codec.h"
#include "core/fspath.h"
#include "core/text.h"

namespace core {
namespace {

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

std::string withoutBreaks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return out;
}

// The section name of a header line "[name]", or nothing for other lines.
std::optional<std::string> sectionOf(std::string_view line) {
  const std::string t = Trim(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const std::size_t close = t.find(']');
  return Trim(std::string_view(t).substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

struct KeyLine {
  std::string key;
  std::string value;
};

std::optional<KeyLine> keyOf(std::string_view line) {
  const std::string t = Trim(line);
  if (t.empty() || t.front() == ';' || t.front() == '[') return std::nullopt;
  const std::size_t eq = t.find('=');
  if (eq == std::string::npos) return std::nullopt;
  KeyLine kl{Trim(std::string_view(t).substr(0, eq)), Trim(std::string_view(t).substr(eq + 1))};
  // Windows strips one pair of quotes around a value.
  if (kl.value.size() >= 2 && (kl.value.front() == '"' || kl.value.front() == '\'') &&
      kl.value.back() == kl.value.front()) {
    kl.value = kl.value.substr(1, kl.value.size() - 2);
  }
  if (kl.key.empty()) return std::nullopt;
  return kl;
}

// Lines of the first section of that name: [begin, end) after its header.
struct SectionRange {
  std::size_t header = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

std::optional<SectionRange> findSection(const std::vector<std::string>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = sectionOf(lines[i]);
    if (!name || !sameName(*name, section)) continue;
    SectionRange r{i, i + 1, i + 1};
    while (r.end < lines.size() && !sectionOf(lines[r.end])) ++r.end;
    return r;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> IniFile::encodingProblem() const {
  std::ifstream in(FsPath(m_path), std::ios::binary);
  char head[3] = {};
  in.read(head, sizeof head);
  const auto n = in.gcount();
  const auto byte = [&](int i) { return static_cast<unsigned char>(head[i]); };
  const char* encoding = nullptr;
  if (n >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) {
    encoding = "UTF-16";
  } else if (n >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) {
    encoding = "UTF-8";
  }
  if (encoding == nullptr) return std::nullopt;
  return m_path + cp1251(": файл настроек сохранён в кодировке ") + encoding +
         cp1251(", а программа читает его в Windows-1251; настройки из него не прочитаны. Сохраните файл в "
                "кодировке Windows-1251 (ANSI).");
}

std::vector<std::string> IniFile::loadLines() const {
  std::vector<std::string> lines;
  std::ifstream in(FsPath(m_path), std::ios::binary);
  if (!in) return lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  return lines;
}

std::optional<std::string> IniFile::readValue(std::string_view section, std::string_view key) const {
  const auto lines = loadLines();
  const auto range = findSection(lines, section);
  if (!range) return std::nullopt;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    const auto kl = keyOf(lines[i]);
    if (kl && sameName(kl->key, key)) return kl->value;
  }
  return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  auto value = readValue(section, key);
  return value ? *value : std::string(defaultValue);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
  const auto value = readValue(section, key);
  if (!value) return defaultValue;
  const LeadingInt n = ParseLeadingInt(*value);
  return n.stop == 0 ? n.value : defaultValue;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
  return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

std::vector<std::string> IniFile::readKeys(std::string_view section) const {
  std::vector<std::string> keys;
  const auto lines = loadLines();
  const auto range = findSection(lines, section);
  if (!range) return keys;
  for (std::size_t i = range->begin; i < range->end; ++i) {
    if (auto kl = keyOf(lines[i])) keys.push_back(std::move(kl->key));
  }
  return keys;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
  auto lines = loadLines();
  const std::string newLine = withoutBreaks(key) + "=" + withoutBreaks(value);
  if (const auto range = findSection(lines, section)) {
    std::size_t insertAt = range->begin;
    bool replaced = false;
    for (std::size_t i = range->begin; i < range->end; ++i) {
      const auto kl = keyOf(lines[i]);
      if (kl && sameName(kl->key, key)) {
        lines[i] = newLine;
        replaced = true;
        break;
      }
      if (!Trim(lines[i]).empty()) insertAt = i + 1;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
  } else {
    lines.push_back("[" + withoutBreaks(section) + "]");
    lines.push_back(newLine);
  }
  std::ostringstream text;
  for (const auto& line : lines) text << line << "\r\n";
  std::ofstream out(FsPath(m_path), std::ios::binary | std::ios::trunc);
  const std::string bytes = text.str();
  if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out) out.flush();
  if (!out) throw IniWriteError("Unable to write to " + m_path);
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
  writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
  writeString(section, key, value ? "1" : "0");
}

}  // namespace core
