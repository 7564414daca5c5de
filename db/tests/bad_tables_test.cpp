// Tables the program meets unusable on disk, through the query and table
// objects its actions use: a file that is no table, a table file that is
// read-only, a table path that runs through a file. Every refusal is a
// db::Error in Russian naming the table, and nothing is written.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/codec.h"
#include "core/fspath.h"
#include "db/paradox/table.h"
#include "db/table.h"
#include "db/tablecache.h"
#include "db/tests/paradox_test_util.h"
#include "db/tests/sql_util.h"

namespace db {
namespace {

using paradox::testing::Bytes;
using paradox::testing::ReadBytes;
using paradox::testing::WriteBytes;
using testing::Cp;
using testing::ErrorOf;
namespace fs = std::filesystem;

class BadTables : public ::testing::Test {
 protected:
  void TearDown() override { TableCache::Clear(); }

  void select() {
    Query q;
    q.Add("SELECT * FROM " + Quoted(m_path));
    q.Open();
  }
  void deleteAll() {
    Query q;
    q.Add("Delete FROM " + Quoted(m_path));
    q.ExecSQL();
  }
  void update() {
    Query q;
    q.Add("UPDATE " + Quoted(m_path) + " SET FName=\"x\"");
    q.ExecSQL();
  }
  void append() {
    Table t(m_path);
    t.Open();
    t.Append();
    t.SetFieldAsString("FName", "new");
    t.Post();
  }
  void deleteAtCursor() {
    Table t(m_path);
    t.Open();
    t.Delete();
  }
  std::string utf8Path() const { return core::cp1251ToUtf8(m_path); }

  testing::TempDir m_dir;
  std::string m_path = m_dir.File("PlayList.db");
};

// Files that are no table at all, put where a table should be: reading and
// writing both say what is wrong with the file, by its name.
TEST_F(BadTables, AFileThatIsNoTableIsRefusedByName) {
  testing::MakeTable(m_path, "FName Char(8)", {{"a"}});
  const Bytes table = ReadBytes(m_path);
  const std::string index = m_dir.File("Keyed.db");
  paradox::testing::CreateKeyed(index, {{"FName", FieldType::Alpha, 8}}, 1);
  const Bytes px = ReadBytes(m_dir.File("Keyed.PX"));
  Bytes picture = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  picture.resize(4096, 0x41);
  const std::string settings = "[Setting]\r\nMVPath=C:\\Mirvane\r\nMethod=0\r\n";

  struct Case {
    const char* what;
    Bytes bytes;
    const char* message;  // after "PlayList.db: "
  };
  const std::vector<Case> cases = {
      {"an empty file", {}, "заголовок слишком короткий (0 < 88 байт)"},
      {"a settings file", Bytes(settings.begin(), settings.end()), "заголовок слишком короткий (40 < 88 байт)"},
      {"a picture", picture, "заголовок слишком короткий (4096 < 18254 байт)"},
      {"an index file", px, "это не файл данных таблицы (тип файла 1)"},
      {"a table cut to its first block's header", Bytes(table.begin(), table.begin() + 0x806),
       "файл короче, чем указано в заголовке (1 блоков требуют 4096 байт, в файле 2054)"},
  };
  for (const Case& c : cases) {
    WriteBytes(m_path, c.bytes);
    const std::string expected = std::string("PlayList.db: ") + c.message;
    EXPECT_EQ(ErrorOf([&] { select(); }), expected) << c.what;
    EXPECT_EQ(ErrorOf([&] { Table(m_path).Open(); }), expected) << c.what;
    EXPECT_EQ(ErrorOf([&] { deleteAll(); }), expected) << c.what;
    EXPECT_EQ(ErrorOf([&] { append(); }), expected) << c.what;
    EXPECT_EQ(ReadBytes(m_path), c.bytes) << c.what;
  }
}

// A table file marked read-only is read, but no write reaches it, also where
// the system would let the user write (an administrator).
TEST_F(BadTables, AReadOnlyTableIsReadButNotWritten) {
  testing::MakeTable(m_path, "FName Char(8), FHour SmallInt", {{"a", "1"}, {"b", "2"}});
  const Bytes before = ReadBytes(m_path);
  fs::permissions(core::FsPath(m_path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  const std::string expected = utf8Path() + ": файл PlayList.db только для чтения, изменить таблицу нельзя";
  const std::vector<std::pair<const char*, std::function<void()>>> writes = {
      {"append", [&] { append(); }},
      {"delete at the cursor", [&] { deleteAtCursor(); }},
      {"DELETE", [&] { deleteAll(); }},
      {"UPDATE", [&] { update(); }},
  };
  for (const auto& [what, write] : writes) {
    EXPECT_EQ(ErrorOf(write), expected) << what;
    EXPECT_EQ(ReadBytes(m_path), before) << what;
  }
  Query q;
  q.Add("SELECT * FROM " + Quoted(m_path));
  q.Open();
  EXPECT_EQ(q.RecordCount(), 2);
  fs::permissions(core::FsPath(m_path), fs::perms::owner_write, fs::perm_options::add);
}

// A keyed table whose index alone is read-only: the data file is not touched
// either, so the two never disagree.
TEST_F(BadTables, AReadOnlyIndexKeepsAKeyedTableUnwritten) {
  paradox::testing::CreateKeyed(m_path, {{"FName", FieldType::Alpha, 8}, {"FHour", FieldType::Short, 2}}, 1);
  ParadoxTable(m_path).Append({{std::string("a"), std::int64_t{1}}});
  const std::string pxPath = m_dir.File("PlayList.PX");
  const Bytes db = ReadBytes(m_path);
  const Bytes px = ReadBytes(pxPath);
  fs::permissions(core::FsPath(pxPath), fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
  EXPECT_EQ(ErrorOf([&] { append(); }), utf8Path() + ": файл PlayList.PX только для чтения, изменить таблицу нельзя");
  EXPECT_EQ(ReadBytes(m_path), db);
  EXPECT_EQ(ReadBytes(pxPath), px);
  fs::permissions(core::FsPath(pxPath), fs::perms::owner_write, fs::perm_options::add);
}

// A folder setting that names a file makes the table paths run through it;
// the message says so instead of only that the table is missing.
TEST_F(BadTables, ATablePathThroughAFileOrAFolderSaysWhatItIs) {
  const std::string songBase = m_dir.File("BaseSong.db");
  testing::MakeTable(songBase, "FName Char(8)", {});
  const std::string folder = m_dir.File("Архив.db");
  fs::create_directory(core::FsPath(folder));
  struct Case {
    std::string path;
    std::string message;  // UTF-8
  };
  const std::vector<Case> cases = {
      {songBase + "/PlayList.db",
       ": файл таблицы не найден: " + core::cp1251ToUtf8(songBase) + " — это файл, а не папка"},
      {songBase + "/sub/PlayList.db",
       ": файл таблицы не найден: " + core::cp1251ToUtf8(songBase) + " — это файл, а не папка"},
      {folder, ": это папка, а не файл таблицы"},
      {m_dir.File("Нет.db"), ": файл таблицы не найден"},
  };
  for (const Case& c : cases) {
    m_path = c.path;
    const std::string expected = utf8Path() + c.message;
    EXPECT_EQ(ErrorOf([&] { select(); }), expected) << c.path;
    EXPECT_EQ(ErrorOf([&] { deleteAll(); }), expected) << c.path;
    EXPECT_EQ(ErrorOf([&] { Table(m_path).Open(); }), expected) << c.path;
  }
}

}  // namespace
}  // namespace db
