#include "readers/linereader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <streambuf>

#include "harness.h"

namespace readers::test {
namespace {

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::istringstream in(bytes);
  LineReader reader(in, "test.txt");
  std::vector<std::string> lines;
  std::string line;
  while (reader.next(line)) lines.push_back(line);
  return lines;
}

struct EndingCase {
  const char* what;
  std::string bytes;
  std::vector<std::string> lines;
};

TEST(LineReader, SplitsAtEveryKindOfLineEnd) {
  const std::vector<EndingCase> cases = {
      {"empty input", "", {}},
      {"CR LF", "a\r\nb\r\n", {"a", "b"}},
      {"LF", "a\nb\n", {"a", "b"}},
      {"lone CR", "a\rb\r", {"a", "b"}},
      {"mixed", "a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"no terminator at the end", "a\r\nb", {"a", "b"}},
      {"empty lines count", "\r\n\n\r", {"", "", ""}},
      {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
      {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
      {"NUL and high bytes are content", std::string("a\0b\xff\x98\n", 6), {std::string("a\0b\xff\x98", 5)}},
      {"form feed is content", "\fPage\n", {"\fPage"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.bytes), c.lines) << c.what;
}

// A CR LF pair split by the reader's buffer boundary is still one line end.
TEST(LineReader, CrLfAcrossTheBufferBoundary) {
  for (std::size_t crAt : {65535u, 65536u, 65534u}) {
    std::string bytes(crAt, 'x');
    bytes += "\r\nnext\r\n";
    const auto lines = SplitLines(bytes);
    ASSERT_EQ(lines.size(), 2u) << crAt;
    EXPECT_EQ(lines[0].size(), crAt);
    EXPECT_EQ(lines[1], "next");
  }
}

TEST(LineReader, LineOfSeveralMegabytes) {
  const std::size_t size = 5 * 1024 * 1024 + 17;
  std::string bytes(size, 'a');
  bytes[size / 2] = '\0';
  bytes += "\r\ntail";
  const auto lines = SplitLines(bytes);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), size);
  EXPECT_EQ(lines[1], "tail");
}

// A stream buffer whose device fails after some bytes.
class FailingBuf : public std::streambuf {
 public:
  explicit FailingBuf(std::string head) : m_head(std::move(head)) {
    setg(m_head.data(), m_head.data(), m_head.data() + m_head.size());
  }

 protected:
  int_type underflow() override { throw std::ios_base::failure("device gone"); }

 private:
  std::string m_head;
};

TEST(LineReader, InputErrorThrowsNamingTheFile) {
  FailingBuf buf("first line\r\nsecond");
  std::istream in(&buf);
  LineReader reader(in, "day.txt");
  std::string line;
  try {
    while (reader.next(line)) {
    }
    FAIL() << "no error reported";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("day.txt"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace readers::test
