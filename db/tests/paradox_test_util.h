// Helpers of the Paradox table tests: temporary folders, file bytes, tiny
// keyed tables, and pxlib as an independent reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "db/paradox/table.h"

namespace db::paradox::testing {

// A fresh folder, removed with everything in it at destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string path(const std::string& name) const;  // a CP1251 path inside the folder

 private:
  std::string m_root;
};

using Bytes = std::vector<std::uint8_t>;
Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

// The folder of the real sample tables, empty when it is not there.
std::string SamplesDir();

// Copies a file as a writable file (the samples may be read-only on disk,
// which on Windows also keeps the copy from being deleted).
void CopyWritable(const std::string& from, const std::string& to);

// An unkeyed table made by Create, turned into a keyed table on its first
// keyFields fields, with an index file that holds no entries yet.
void CreateKeyed(const std::string& path, const std::vector<Field>& fields, int keyFields);

#ifndef MVIMPORT_HAVE_PXLIB
#error "MVIMPORT_HAVE_PXLIB comes from mvimport_use_pxlib() in CMake"
#endif
// pxlib is built for the system the tests run on only where it is packaged;
// a Windows build has none. Checks that need it ask first, and a test that
// is only about pxlib skips itself with SKIP_WITHOUT_PXLIB().
constexpr bool HavePxlib() { return MVIMPORT_HAVE_PXLIB != 0; }
#define SKIP_WITHOUT_PXLIB() \
  if (!::db::paradox::testing::HavePxlib()) GTEST_SKIP() << "pxlib is not part of this build"

struct PxlibTable {
  std::vector<Field> fields;
  std::vector<Row> rows;  // values in the units of table.h; text as stored bytes
  std::vector<std::string> messages;  // pxlib's errors
};

// Reads the table with pxlib, which converts the text to CP1251 itself; with pxPath it also adds the primary index,
// which pxlib then walks to find the blocks.
PxlibTable ReadWithPxlib(const std::string& path, const std::string& pxPath = {});

// Writes a new unkeyed table with pxlib (code page 1251); blank values stay
// all zero bytes. Values in the units of table.h.
void WriteWithPxlib(const std::string& path, const std::vector<Field>& fields, const std::vector<Row>& rows);

// Expects pxlib to read the same rows (in any order when sorted is false),
// skipping the blank Date, Time, Number, Currency and Timestamp values pxlib
// misreads.
void ExpectSameAsPxlib(const std::vector<Row>& ours, const PxlibTable& theirs, bool sameOrder = true);

std::string Utf8(const std::string& cp1251);

// The chain of the keyed table on disk and its index agree: one entry per
// block, in chain order, with the block's first key and record count.
void ExpectIndexMatchesChain(const std::string& path);

}  // namespace db::paradox::testing
