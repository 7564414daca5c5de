// TempDir of the test harness.
#include <fstream>
#include <random>

#include "core/fspath.h"
#include "harness.h"

namespace readers::test {

TempDir::TempDir() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  const auto base = std::filesystem::temp_directory_path();
  do {
    m_path = base / ("readers_tests_" + std::to_string(random()));
  } while (!std::filesystem::create_directory(m_path));
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_path, ec);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view bytes) const {
  const auto file = m_path / core::FsPath(name);
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return file;
}

}  // namespace readers::test
