// Splits a playlist file into lines as the readers see them.
#pragma once

#include <cstddef>
#include <istream>
#include <string>
#include <vector>

namespace readers {

// Lines of a byte stream, without their terminators and without any code page
// conversion. A line ends at CR LF, at LF or at a lone CR; a last line without
// a terminator is a line too, while a terminator at the very end does not start
// another one. Any byte, NUL included, is line content, and a line may be as
// long as memory allows.
class LineReader {
 public:
  // name (CP1251) only labels error messages. Turns on exceptions for badbit
  // on the stream.
  LineReader(std::istream& in, std::string name);

  // The next line; false at the end of the input. Throws std::runtime_error
  // naming the file when the input fails.
  bool next(std::string& line);

 private:
  bool refill();

  std::istream& m_in;
  std::string m_name;
  std::vector<char> m_buffer;
  std::size_t m_pos = 0;
  std::size_t m_end = 0;
  bool m_skipLf = false;  // the last line ended at a CR; an LF right after belongs to it
  bool m_eof = false;
};

}  // namespace readers
