#include "readers/filelist.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <utility>

#include "core/codec.h"
#include "core/daymodel.h"
#include "core/fspath.h"
#include "core/text.h"

namespace readers {
namespace {

constexpr int kDelayEvery = 100;
constexpr int kDelayAt = 50;
constexpr int kDelayMilliseconds = 10;

// The part of the name from its last dot on; empty without a dot.
std::string_view extensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

// Local time at the two-second resolution the Windows folder listing reports.
core::TDateTime listDate(std::filesystem::file_time_type written) {
  using namespace std::chrono;
  const auto seconds = floor<std::chrono::seconds>(file_clock::to_sys(written));
  const std::time_t t = system_clock::to_time_t(seconds);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return core::EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         core::EncodeTime(local.tm_hour, local.tm_min, local.tm_sec / 2 * 2, 0);
}

std::optional<TFileRec> textFile(const std::filesystem::directory_entry& entry) {
  const std::string name = core::FromFsPath(entry.path().filename());
  if (!IsTextExt(extensionOf(name))) return std::nullopt;
  std::error_code ec;
  if (entry.is_directory(ec) || ec) return std::nullopt;
  const auto written = entry.last_write_time(ec);
  if (ec) return std::nullopt;
  return TFileRec{core::CutTo(name, core::kFileNameCapacity), listDate(written)};
}

bool nameLess(const TFileRec& a, const TFileRec& b) {
  const auto byte = [](char x, char y) {
    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  };
  return std::lexicographical_compare(a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(), byte);
}

// Moves the element at 1-based position k down within the first `size`
// elements, always towards the greater child (the left one on a tie).
void siftDown(std::vector<TFileRec>& list, std::size_t k, std::size_t size) {
  const auto at = [&list](std::size_t pos) -> TFileRec& { return list[pos - 1]; };
  while (2 * k <= size) {
    std::size_t child = 2 * k;
    if (child + 1 <= size && nameLess(at(child), at(child + 1))) ++child;
    if (!nameLess(at(k), at(child))) return;
    std::swap(at(k), at(child));
    k = child;
  }
}

}  // namespace

bool IsTextExt(std::string_view Ext) {
  const std::string upper = core::UpperStr(Ext);
  return upper == ".TXT" || upper == ".LOG";
}

std::vector<TFileRec> ListTextFiles(std::string_view folder) {
  std::vector<TFileRec> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(core::FsPath(folder), ec);
  int row = 1;
  for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
    std::optional<TFileRec> file = textFile(*it);
    if (!file) continue;
    files.push_back(std::move(*file));
    ++row;
    if (row % kDelayEvery == kDelayAt) core::Delay(kDelayMilliseconds);
  }
  return files;
}

void SortFiles(std::vector<TFileRec>& FileList) {
  const std::size_t n = FileList.size();
  if (n < 2) return;
  const auto at = [&FileList](std::size_t pos) -> TFileRec& { return FileList[pos - 1]; };
  for (std::size_t i = 2; i <= n; ++i) {
    for (std::size_t j = i; j > 1 && nameLess(at(j / 2), at(j)); j /= 2) std::swap(at(j / 2), at(j));
  }
  for (std::size_t m = n; m >= 2; --m) {
    std::swap(at(1), at(m));
    siftDown(FileList, 1, m - 1);
  }
}

std::optional<FileListing> ListFolder(std::string_view folder) {
  if (folder.empty()) return std::nullopt;
  FileListing listing;
  listing.Folder = core::AddBackslash(folder);
  if (const auto file = core::FileInFolderPath(folder)) {
    listing.Problem = core::cp1251("Не папка, а файл: ") + *file;
    return listing;
  }
  std::error_code ec;
  if (!std::filesystem::is_directory(core::FsPath(folder), ec)) {
    listing.Problem = core::cp1251("Папка не найдена: ") + std::string(folder);
    return listing;
  }
  std::vector<TFileRec> FileList = ListTextFiles(listing.Folder);
  SortFiles(FileList);
  for (const TFileRec& file : FileList) {
    listing.Rows.push_back({file.Name, core::DateTimeToListText(file.Date)});
  }
  return listing;
}

}  // namespace readers
