// Small tables for the tests of the local SQL and the query and table objects,
// built with the program's own CREATE TABLE and table object.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "db/query.h"

namespace db::testing {

// CP1251 text of a UTF-8 literal.
std::string Cp(std::string_view utf8);

// A fresh folder (with a Cyrillic name) removed with its contents at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // CP1251 path of a file in the folder.
  std::string File(std::string_view utf8Name) const;

 private:
  std::filesystem::path m_dir;
};

// Creates the table with "Create TABLE "path" (columns)" and appends the rows
// through a table object, every value set as text (empty text leaves it blank).
void MakeTable(const std::string& path, std::string_view utf8Columns,
               const std::vector<std::vector<std::string>>& utf8Rows);

// The rows as dump lines (UTF-8), read by a new ParadoxTable: what the file
// holds, whatever the cache keeps.
std::vector<std::string> FileLines(const std::string& path);

// The open selection's rows as dump lines, from the current row to the end.
std::vector<std::string> ResultLines(Query& query);

// Runs a statement of one line (UTF-8).
void Exec(std::string_view utf8Statement);
// The message of the db::Error a callable throws, as UTF-8; "" when none.
template <class F>
std::string ErrorOf(F&& f);

}  // namespace db::testing

#include "core/codec.h"

template <class F>
std::string db::testing::ErrorOf(F&& f) {
  try {
    f();
  } catch (const db::Error& e) {
    return core::cp1251ToUtf8(e.what());
  }
  return {};
}
