// Writes into a damaged table (input split as for fuzz_table_files): a write
// either throws db::Error and leaves every file as it was (and no journal
// behind), or leaves a table that reads back with exactly the change made.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/journal.h"
#include "db/paradox/table.h"
#include "fuzz/fuzz_util.h"

namespace {

struct Files {
  std::string db, px, mb, journal;
  bool operator==(const Files&) const = default;
};

Files snapshot(const std::string& dbPath) {
  return {fuzz::ReadFileBytes(dbPath), fuzz::ReadFileBytes(fuzz::ScratchPath("T.PX")),
          fuzz::ReadFileBytes(fuzz::ScratchPath("T.MB")), fuzz::ReadFileBytes(db::paradox::JournalPath(dbPath))};
}

// True when `after` is `before` with exactly one row more, anywhere.
bool oneRowAdded(const std::vector<db::Row>& before, const std::vector<db::Row>& after) {
  if (after.size() != before.size() + 1) return false;
  std::size_t skipped = 0;
  for (std::size_t i = 0, j = 0; i < before.size(); ++i, ++j) {
    if (!fuzz::SameRow(before[i], after[j])) {
      if (++skipped > 1) return false;
      --i;
    }
  }
  return true;
}

// True when `after` is `before` without its first row.
bool firstRowDeleted(const std::vector<db::Row>& before, const std::vector<db::Row>& after) {
  if (after.size() + 1 != before.size()) return false;
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (!fuzz::SameRow(before[i + 1], after[i])) return false;
  }
  return true;
}

template <class Write, class Check>
void tryWrite(const std::string& path, const fuzz::ReadResult& before, Write&& write, Check&& check) {
  const Files files = snapshot(path);
  try {
    db::ParadoxTable table(path);
    if (!table.writable()) return;
    write(table);
  } catch (const db::Error&) {
    if (!(snapshot(path) == files)) fuzz::Violated("a refused write changed the files");
    return;
  }
  const fuzz::ReadResult after = fuzz::ReadTable(path);
  if (!after.ok) fuzz::Violated("a write left a table that cannot be read");
  if (!check(before.rows, after.rows)) fuzz::Violated("a write changed other rows than its own");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = fuzz::WriteTableFiles(fuzz::SplitTableInput(fuzz::AsText(data, size)));
  const fuzz::ReadResult before = fuzz::ReadTable(path);
  if (!before.ok) return 0;
  const db::Row blank(before.fields.size());
  tryWrite(path, before, [&](db::ParadoxTable& t) { t.Append({blank}); }, oneRowAdded);
  const fuzz::ReadResult current = fuzz::ReadTable(path);
  if (!current.ok || current.rows.empty()) return 0;
  tryWrite(path, current, [](db::ParadoxTable& t) { t.Delete({0}); }, firstRowDeleted);
  return 0;
}
