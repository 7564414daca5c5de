// A table with its companions: the input is split into the .DB, the .PX and
// the .MB (see fuzz_util.h), so damage can reach the index and the memo file
// while the .DB stays readable.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReadTable(fuzz::WriteTableFiles(fuzz::SplitTableInput(fuzz::AsText(data, size))));
  return 0;
}
