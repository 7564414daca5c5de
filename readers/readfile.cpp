#include "readers/readfile.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "core/fspath.h"
#include "readers/layouts.h"
#include "readers/linereader.h"

namespace readers {
namespace {

using LineFn = void (*)(std::string_view, std::int32_t&, const ReadContext&);

LineFn readerFor(std::int32_t method) {
  switch (method) {
    case 1: return OnReadStringSelector;
    case 2: return OnReadStringPowerGold;
    case 3: return OnReadStringRetroFM;
    case 4: return OnReadStringDacha;
    default: return OnReadMirvane;
  }
}

}  // namespace

bool ReadFile(std::string_view fileName, const ReadContext& ctx) {
  const std::filesystem::path path = core::FsPath(fileName);
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;

  const LineFn reader = readerFor(ctx.setts.Method);
  LineReader lines(in, std::string(fileName));
  std::int32_t CurrentHour = 0;
  std::string line;
  while (lines.next(line)) reader(line, CurrentHour, ctx);
  return true;
}

}  // namespace readers
