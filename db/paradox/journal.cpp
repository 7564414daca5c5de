#include "db/paradox/journal.h"

#include <algorithm>
#include <optional>

#include "db/paradox/errors.h"
#include "db/paradox/header.h"
#include "db/paradox/journalformat.h"

namespace db::paradox {
namespace {

std::string besideDb(const std::string& dbPath, const std::string& name) {
  const auto slash = dbPath.find_last_of("/\\");
  return slash == std::string::npos ? name : dbPath.substr(0, slash + 1) + name;
}

// Puts the original bytes back where they differ and each file to its
// original size, then flushes the files that changed.
void restore(const std::vector<DataFile*>& files, const std::vector<std::uint64_t>& sizes,
             const std::vector<JournalRange>& ranges) {
  std::vector<bool> changed(files.size(), false);
  for (const JournalRange& r : ranges) {
    DataFile& f = *files[r.file];
    const std::uint64_t present = f.size() > r.offset ? std::min<std::uint64_t>(f.size() - r.offset, r.original.size()) : 0;
    const auto now = present > 0 ? f.ReadAt(r.offset, static_cast<std::size_t>(present)) : std::vector<std::uint8_t>();
    if (present == r.original.size() && std::equal(now.begin(), now.end(), r.original.begin())) continue;
    f.WriteAt(r.offset, r.original);
    changed[r.file] = true;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i]->size() != sizes[i]) {
      files[i]->Resize(sizes[i]);
      changed[i] = true;
    }
    if (changed[i]) files[i]->Sync();
  }
}

// Each byte of the .DB's first bytes as before the write or as after it.
bool headerFromThisWrite(DataFile& db, const JournalContent& j) {
  const ByteSpan after = j.headerAfter;
  if (j.ranges.empty() || j.ranges.front().file != 0 || j.ranges.front().offset != 0) return false;
  const ByteSpan before = j.ranges.front().original;
  const std::size_t n = std::min(before.size(), after.size());
  if (db.size() < n) return false;
  const auto now = db.ReadAt(0, n);
  for (std::size_t i = 0; i < n; ++i) {
    if (now[i] != before[i] && now[i] != after[i]) return false;
  }
  return true;
}

}  // namespace

std::string JournalPath(const std::string& dbPath) { return dbPath + "-journal"; }

JournaledWrite::JournaledWrite(FileSystem& files, std::string dbPath) : m_files(files), m_dbPath(std::move(dbPath)) {}

void JournaledWrite::Add(DataFile& file, std::vector<Patch> patches, std::uint64_t size) {
  m_targets.push_back({&file, std::move(patches), size, file.size()});
}

// Reads the bytes each patch overwrites and drops what would not change. The
// .DB's fixed header is always journaled, for the check at rollback.
void JournaledWrite::prepare() {
  for (const Target& t : m_targets) m_journal.files.push_back({t.file->name(), t.originalSize});
  for (std::size_t t = 0; t < m_targets.size(); ++t) prepare(t);
}

void JournaledWrite::prepare(std::size_t index) {
  Target& target = m_targets[index];
  DataFile& f = *target.file;
  auto& ranges = m_journal.ranges;
  auto& headerAfter = m_journal.headerAfter;
  if (index == 0) {
    const auto head = static_cast<std::size_t>(std::min<std::uint64_t>(kMinHeader, target.originalSize));
    ranges.push_back({0, 0, f.ReadAt(0, head)});
    headerAfter = ranges.back().original;
  }
  std::vector<Patch> kept;
  for (const Patch& p : target.patches) {
    const std::size_t stored = p.offset < target.originalSize
                                   ? static_cast<std::size_t>(std::min<std::uint64_t>(target.originalSize - p.offset, p.bytes.size()))
                                   : 0;
    const auto old = stored > 0 ? f.ReadAt(p.offset, stored) : std::vector<std::uint8_t>();
    std::size_t first = 0;
    std::size_t end = p.bytes.size();
    while (first < stored && old[first] == p.bytes[first]) ++first;
    while (end > first && end <= stored && old[end - 1] == p.bytes[end - 1]) --end;
    if (first == end) continue;
    const auto from = [](const std::vector<std::uint8_t>& v, std::size_t a, std::size_t b) {
      return std::vector<std::uint8_t>(v.begin() + static_cast<std::ptrdiff_t>(a), v.begin() + static_cast<std::ptrdiff_t>(b));
    };
    if (first < stored) ranges.push_back({index, p.offset + first, from(old, first, std::min(end, stored))});
    kept.push_back({p.offset + first, from(p.bytes, first, end)});
    for (std::size_t i = first; index == 0 && i < end && p.offset + i < headerAfter.size(); ++i) {
      headerAfter[static_cast<std::size_t>(p.offset + i)] = p.bytes[i];
    }
  }
  target.patches = std::move(kept);
  if (target.size < target.originalSize) {
    ranges.push_back({index, target.size, f.ReadAt(target.size, static_cast<std::size_t>(target.originalSize - target.size))});
  }
}

void JournaledWrite::writeJournal() {
  const std::string path = JournalPath(m_dbPath);
  try {
    DataFile journal(m_files, path, DataFile::Mode::Create);
    journal.WriteAt(0, EncodeJournal(m_journal));
    journal.Sync();
    journal.Close();
    m_files.SyncFolder(path);
  } catch (...) {
    // No table file was touched: a journal left behind is torn or harmless.
    try {
      m_files.Remove(path);
    } catch (const Error&) {
    }
    throw;
  }
}

void JournaledWrite::apply() {
  for (Target& t : m_targets) {
    for (const Patch& p : t.patches) t.file->WriteAt(p.offset, p.bytes);
    if (t.file->size() != t.size) t.file->Resize(t.size);
  }
  for (Target& t : m_targets) t.file->Sync();
}

bool JournaledWrite::rollBackNow() {
  try {
    std::vector<DataFile*> files;
    std::vector<std::uint64_t> sizes;
    for (const Target& t : m_targets) {
      files.push_back(t.file);
      sizes.push_back(t.originalSize);
    }
    restore(files, sizes, m_journal.ranges);
    m_files.Remove(JournalPath(m_dbPath));
    return true;
  } catch (...) {
    return false;
  }
}

// Removing the journal ends the write. Where the system refuses, a journal cut
// to nothing does the same (the next open finds it torn and removes it).
void JournaledWrite::finish() {
  const std::string path = JournalPath(m_dbPath);
  try {
    m_files.Remove(path);
  } catch (const Error&) {
    DataFile journal(m_files, path, DataFile::Mode::Create);
    journal.Sync();
  }
}

void JournaledWrite::Commit() {
  m_restored = true;
  prepare();
  writeJournal();
  m_restored = false;
  try {
    apply();
    finish();
  } catch (...) {
    m_restored = rollBackNow();
    throw;
  }
  m_restored = true;
}

std::string RollBack(FileSystem& files, DataFile& db) {
  const std::string path = JournalPath(db.path());
  if (!files.Exists(path)) return {};
  std::vector<std::uint8_t> bytes;
  {
    DataFile journal(files, path, DataFile::Mode::Read);
    bytes = journal.ReadAt(0, static_cast<std::size_t>(journal.size()));
  }
  const std::optional<JournalContent> j = DecodeJournal(bytes);
  if (!j) {
    // Torn while it was written: no table file had been touched yet.
    files.Remove(path);
    return {};
  }
  if (j->files.empty() || !headerFromThisWrite(db, *j)) {
    return db.name() + Ru(": рядом лежит журнал незавершённой записи ") + FileNameOf(path) +
           Ru(", но таблицу с тех пор изменила другая программа; откат не сделан. Проверьте таблицу и удалите журнал");
  }
  std::vector<std::unique_ptr<DataFile>> others;
  std::vector<DataFile*> targets{&db};
  std::vector<std::uint64_t> sizes{j->files.front().size};
  for (std::size_t i = 1; i < j->files.size(); ++i) {
    others.push_back(std::make_unique<DataFile>(files, besideDb(db.path(), j->files[i].name), DataFile::Mode::Write));
    targets.push_back(others.back().get());
    sizes.push_back(j->files[i].size);
  }
  restore(targets, sizes, j->ranges);
  files.Remove(path);
  return {};
}

std::string RollBackOnOpen(FileSystem& files, const std::string& dbPath) {
  if (!files.Exists(JournalPath(dbPath))) return {};
  try {
    DataFile db(files, dbPath, DataFile::Mode::Write);
    return RollBack(files, db);
  } catch (const TableBusy&) {
    return {};
  } catch (const Error& e) {
    return FileNameOf(dbPath) + Ru(": не удалось откатить незавершённую запись по журналу ") +
           FileNameOf(JournalPath(dbPath)) + " (" + e.what() + ")";
  }
}

}  // namespace db::paradox
