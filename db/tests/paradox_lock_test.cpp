// Two writers of one table, in one program and in two: while one writes, the
// other is refused with TableBusy naming the table, reading goes on, and the
// journal of the writer at work is left to it.
#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/fspath.h"
#include "db/paradox/journal.h"
#include "db/paradox/table.h"
#include "db/tests/paradox_fault_util.h"
#include "db/tests/paradox_test_util.h"

namespace db::paradox::testing {
namespace {

using Operation = FaultyFiles::Operation;

Row NumberedRow(int i) { return {std::int64_t{i}, "row " + std::to_string(i)}; }

class ParadoxLock : public ::testing::Test {
 protected:
  void SetUp() override {
    ParadoxTable::Create(m_path, {{"FNumber", FieldType::Long, 0}, {"FText", FieldType::Alpha, 40}});
    ParadoxTable(m_path).Append({NumberedRow(1), NumberedRow(2)});
    m_before = ParadoxTable(m_path).ReadAll();
    m_after = m_before;
    m_after.push_back(NumberedRow(3));
  }

  bool journalExists() const { return std::filesystem::exists(core::FsPath(JournalPath(m_path))); }

  // The message of a write refused because the table is in use.
  static std::string BusyText(const std::function<void()>& write) {
    try {
      write();
    } catch (const TableBusy& e) {
      return Utf8(e.what());
    } catch (const Error& e) {
      return "not busy: " + Utf8(e.what());
    }
    return "not refused";
  }

  TempDir m_dir;
  std::string m_path = m_dir.path("PlayList.db");
  std::vector<Row> m_before;
  std::vector<Row> m_after;
};

TEST_F(ParadoxLock, WhileOneObjectWritesAnotherIsRefusedAndReadersSeeBeforeOrAfter) {
  // Before the first write to the table nothing of it is written yet; at its
  // flush everything is. The journal is there both times.
  struct Case {
    Operation pauseAt;  // of the table file
    bool readsAfter;
  };
  for (const Case c : {Case{Operation::Write, false}, Case{Operation::Sync, true}}) {
    ParadoxTable second(m_path);
    auto files = std::make_shared<FaultyFiles>();
    bool paused = false;
    files->beforeOperation = [&](int, Operation op, const std::string& path) {
      if (paused || op != c.pauseAt || path != m_path) return;
      paused = true;
      const std::string busy = BusyText([&] { second.Append({NumberedRow(9)}); });
      EXPECT_NE(busy.find("PlayList.db: таблица занята другой программой"), std::string::npos) << busy;
      EXPECT_NE(BusyText([&] { second.Delete({0}); }).find("занята"), std::string::npos);
      const ParadoxTable reader(m_path);
      EXPECT_TRUE(reader.ReadAll() == (c.readsAfter ? m_after : m_before));
      EXPECT_TRUE(journalExists());
    };
    ParadoxTable first(m_path, files);
    first.Append({NumberedRow(3)});
    EXPECT_TRUE(paused);
    // The reader left the journal alone: the write stands.
    EXPECT_TRUE(ParadoxTable(m_path).ReadAll() == m_after);
    EXPECT_FALSE(journalExists());
    // No longer busy, but behind the file.
    EXPECT_NE(BusyText([&] { second.Append({NumberedRow(9)}); }).find("not busy"), std::string::npos);
    ParadoxTable(m_path).Delete({2});
  }
}

#ifdef _WIN32
// The automation system keeps its tables open; while it has one open to write
// we stay out, while it only reads we write.
TEST_F(ParadoxLock, AProgramHoldingTheTableOpenToWriteKeepsUsOut) {
  for (const DWORD access : {DWORD{GENERIC_READ | GENERIC_WRITE}, DWORD{GENERIC_READ}}) {
    const HANDLE other = CreateFileW(core::FsPath(m_path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    ParadoxTable ours(m_path);
    EXPECT_TRUE(ours.ReadAll() == m_before);
    const std::string busy = BusyText([&] { ours.Append({NumberedRow(3)}); });
    CloseHandle(other);
    if ((access & GENERIC_WRITE) != 0) {
      EXPECT_NE(busy.find("PlayList.db: таблица занята другой программой"), std::string::npos) << busy;
    } else {
      EXPECT_EQ(busy, "not refused");
      EXPECT_TRUE(ParadoxTable(m_path).ReadAll() == m_after);
    }
  }
}
#else
TEST_F(ParadoxLock, AnotherProgramWritingMakesUsWaitOurTurn) {
  int ready[2];
  int go[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(go), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The other program: appends row 3 and stops at the table's flush until told to go on.
    close(ready[0]);
    close(go[1]);
    auto files = std::make_shared<FaultyFiles>();
    files->beforeOperation = [&](int, Operation op, const std::string& path) {
      if (op != Operation::Sync || path != m_path) return;
      char c = 'r';
      if (write(ready[1], &c, 1) != 1 || read(go[0], &c, 1) != 1) _exit(2);
    };
    try {
      ParadoxTable(m_path, files).Append({NumberedRow(3)});
    } catch (...) {
      _exit(1);
    }
    _exit(0);
  }
  close(ready[1]);
  close(go[0]);
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);  // the other program holds the table now

  ParadoxTable ours(m_path);
  EXPECT_TRUE(ours.ReadAll() == m_after);
  EXPECT_TRUE(journalExists());
  const std::string busy = BusyText([&] { ours.Append({NumberedRow(4)}); });
  EXPECT_NE(busy.find("PlayList.db: таблица занята другой программой"), std::string::npos) << busy;

  ASSERT_EQ(write(go[1], &c, 1), 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  close(ready[0]);
  close(go[1]);

  ParadoxTable after(m_path);
  after.Append({NumberedRow(4)});
  auto expected = m_after;
  expected.push_back(NumberedRow(4));
  EXPECT_TRUE(ParadoxTable(m_path).ReadAll() == expected);
}

#endif

}  // namespace
}  // namespace db::paradox::testing
