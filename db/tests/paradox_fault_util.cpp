#include "db/tests/paradox_fault_util.h"

#include "db/paradox/table.h"

namespace db::paradox::testing {
namespace {

class FaultyFile : public OpenFile {
 public:
  FaultyFile(FaultyFiles& owner, std::unique_ptr<OpenFile> inner, std::string path)
      : m_owner(owner), m_inner(std::move(inner)), m_path(std::move(path)) {}

  std::uint64_t Size() override { return m_inner->Size(); }
  void Read(std::uint64_t offset, MutableByteSpan out) override { m_inner->Read(offset, out); }

  void Write(std::uint64_t offset, ByteSpan data) override {
    m_owner.Touched(m_path);
    bool half = false;
    m_owner.Step(FaultyFiles::Operation::Write, m_path, &half);
    if (half) {
      m_inner->Write(offset, data.first(data.size() / 2));
      m_owner.Wrote(m_path, offset, data.first(data.size() / 2));
      m_owner.Crash();
    }
    m_inner->Write(offset, data);
    m_owner.Wrote(m_path, offset, data);
  }

  void Resize(std::uint64_t size) override {
    m_owner.Touched(m_path);
    m_owner.Step(FaultyFiles::Operation::Resize, m_path);
    m_inner->Resize(size);
    m_owner.Resized(m_path, size);
  }

  void Sync() override {
    m_owner.Step(FaultyFiles::Operation::Sync, m_path);
    m_owner.Synced(m_path);
  }

 private:
  FaultyFiles& m_owner;
  std::unique_ptr<OpenFile> m_inner;
  std::string m_path;
};

}  // namespace

void FaultyFiles::Step(Operation op, const std::string& path, bool* half) {
  if (m_crashed) throw SimulatedCrash{};
  ++m_operations;
  if (beforeOperation) beforeOperation(m_operations, op, path);
  if (m_operations != m_failAt) return;
  if (m_fault == Fault::Error) throw Error("injected failure");
  if (m_fault != Fault::Crash) return;
  if (half != nullptr) {
    *half = true;
    return;
  }
  Crash();
}

void FaultyFiles::Crash() {
  m_crashed = true;
  throw SimulatedCrash{};
}

// A file's bytes before its first change through this layer are durable.
void FaultyFiles::Touched(const std::string& path) {
  if (m_durable.count(path) == 0) m_durable[path] = m_created.count(path) != 0 ? Bytes() : ReadBytes(path);
}

void FaultyFiles::Synced(const std::string& path) {
  m_durable[path] = ReadBytes(path);
  m_unflushed.erase(path);
}

void FaultyFiles::Wrote(const std::string& path, std::uint64_t offset, ByteSpan bytes) {
  m_unflushed[path].push_back({offset, Bytes(bytes.begin(), bytes.end()), false});
}

void FaultyFiles::Resized(const std::string& path, std::uint64_t size) { m_unflushed[path].push_back({size, {}, true}); }

std::unique_ptr<OpenFile> FaultyFiles::Open(const std::string& path, Access access) {
  if (access == Access::Create) {
    Step(Operation::Create, path);
    if (!Exists(path)) m_created.insert(path);
    m_durable.erase(path);
    m_unflushed.erase(path);
    Touched(path);
    Resized(path, 0);
  }
  return std::make_unique<FaultyFile>(*this, SystemFiles()->Open(path, access), path);
}

void FaultyFiles::Remove(const std::string& path) {
  Step(Operation::Remove, path);
  if (m_created.erase(path) == 0) {
    Touched(path);
    m_removed[path] = m_durable[path];
  }
  m_durable.erase(path);
  m_unflushed.erase(path);
  SystemFiles()->Remove(path);
}

void FaultyFiles::SyncFolder(const std::string& path) {
  Step(Operation::SyncFolder, path);
  m_created.clear();
  m_removed.clear();
}

void FaultyFiles::PowerCut(Unflushed unflushed, bool loseNames) {
  for (const auto& [path, durable] : m_durable) {
    if (!Exists(path)) continue;
    const auto& changes = m_unflushed[path];
    std::size_t kept = changes.size();
    const bool journal = path.ends_with("-journal");
    if (unflushed == Unflushed::Lost || (unflushed == Unflushed::JournalLost && journal)) kept = 0;
    if (unflushed == Unflushed::LaterHalfLost) kept = changes.size() / 2;
    Bytes bytes = durable;
    for (std::size_t i = 0; i < kept; ++i) {
      const Change& c = changes[i];
      if (c.resize) {
        bytes.resize(c.offset);
        continue;
      }
      if (bytes.size() < c.offset + c.bytes.size()) bytes.resize(c.offset + c.bytes.size());
      std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + static_cast<std::ptrdiff_t>(c.offset));
    }
    WriteBytes(path, bytes);
  }
  if (loseNames) {
    for (const std::string& path : m_created) SystemFiles()->Remove(path);
    for (const auto& [path, bytes] : m_removed) WriteBytes(path, bytes);
  }
}

}  // namespace db::paradox::testing
