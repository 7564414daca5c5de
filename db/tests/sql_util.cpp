#include "db/tests/sql_util.h"

#include <atomic>
#include <unistd.h>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/dump.h"
#include "db/paradox/table.h"
#include "db/table.h"

namespace db::testing {

std::string Cp(std::string_view utf8) { return core::utf8ToCp1251(utf8); }

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const std::string name = Cp("mvimport_sql_тест_") + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  m_dir = std::filesystem::temp_directory_path() / core::FsPath(name);
  std::filesystem::remove_all(m_dir);
  std::filesystem::create_directories(m_dir);
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(m_dir, ec);
}

std::string TempDir::File(std::string_view utf8Name) const {
  return core::FromFsPath(m_dir / core::FsPath(Cp(utf8Name)));
}

void MakeTable(const std::string& path, std::string_view utf8Columns,
               const std::vector<std::vector<std::string>>& utf8Rows) {
  Query create;
  create.Add("Create TABLE " + Quoted(path) + " (");
  create.Add(Cp(utf8Columns) + ")");
  create.ExecSQL();
  Table table(path);
  table.Open();
  for (const auto& row : utf8Rows) {
    table.Append();
    for (std::size_t i = 0; i < row.size(); ++i) table.SetFieldAsString(table.Fields()[i].name, Cp(row[i]));
    table.Post();
  }
  table.Close();
}

std::vector<std::string> FileLines(const std::string& path) {
  const ParadoxTable table(path);
  std::vector<std::string> lines;
  for (const Row& row : table.ReadAll()) lines.push_back(DumpLine(table.fields(), row));
  return lines;
}

std::vector<std::string> ResultLines(Query& query) {
  std::vector<std::string> lines;
  for (; !query.Eof(); query.Next()) lines.push_back(DumpLine(query.Fields(), query.CurrentRow()));
  return lines;
}

void Exec(std::string_view utf8Statement) {
  Query q;
  q.Add(Cp(utf8Statement));
  q.ExecSQL();
}

}  // namespace db::testing
