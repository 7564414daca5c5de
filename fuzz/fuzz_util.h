// Helpers shared by the fuzz targets: a scratch folder per process, input
// bytes as files, and the checks every table read must pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "db/paradox/table.h"

namespace fuzz {

// A fresh folder under the system's temporary folder, removed at exit.
// Paths are CP1251 like every file name inside the program (ASCII here).
const std::string& ScratchDir();
std::string ScratchPath(std::string_view name);

std::string_view AsText(const std::uint8_t* data, std::size_t size);
void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFileBytes(const std::string& path);  // empty when missing
void RemoveFile(const std::string& path);

// Stops the run with a message when a property of the program does not hold;
// libFuzzer keeps the input that led here.
[[noreturn]] void Violated(std::string_view what);

// The parts of a table input: the .DB first, then optionally the .PX, the
// .MB and the rollback journal of an unfinished write, each after its marker
// line, in this order.
inline constexpr std::string_view kPxMarker = "\n==>PX<==\n";
inline constexpr std::string_view kMbMarker = "\n==>MB<==\n";
inline constexpr std::string_view kJournalMarker = "\n==>JOURNAL<==\n";
struct TableInput {
  std::string_view db;
  std::string_view px;
  std::string_view mb;
  std::string_view journal;
  bool hasPx = false;
  bool hasMb = false;
  bool hasJournal = false;
};
TableInput SplitTableInput(std::string_view input);
std::string JoinTableInput(const TableInput& input);

// Writes T.DB and the companions the input has into the scratch folder and
// removes those it lacks. Returns the path of T.DB. A journal gets a correct
// CRC in its last four bytes, so that damage reaches what the CRC guards.
std::string WriteTableFiles(const TableInput& input);

// Opens and reads the table the way the program does; a damaged file must end
// in db::Error and nothing else. Every value read is also converted the ways
// the program converts values (text, integer, date-time, boolean, dump).
// Returns the rows, or nothing when the table was refused.
struct ReadResult {
  bool ok = false;
  std::vector<db::Field> fields;
  std::vector<db::Row> rows;
};
ReadResult ReadTable(const std::string& path);

// Row equality that takes a NaN read from a file as equal to itself.
bool SameRow(const db::Row& a, const db::Row& b);

}  // namespace fuzz
