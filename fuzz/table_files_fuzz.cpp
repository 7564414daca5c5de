// A table with its companions: the input is split into the .DB, the .PX, the
// .MB and a journal (see fuzz_util.h), so damage can reach the index, the memo
// file and the rollback that opening does, while the .DB stays readable.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ReadTable(fuzz::WriteTableFiles(fuzz::SplitTableInput(fuzz::AsText(data, size))));
  return 0;
}
