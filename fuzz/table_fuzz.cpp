// Any bytes as a table's .DB file: opening and reading end in rows or in
// db::Error, never in a crash, a hang or a value of the wrong kind.
#include <cstddef>
#include <cstdint>

#include "fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::TableInput input;
  input.db = fuzz::AsText(data, size);
  fuzz::ReadTable(fuzz::WriteTableFiles(input));
  return 0;
}
