#include "readers/linereader.h"

#include <algorithm>
#include <stdexcept>

namespace readers {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

bool isTerminator(char c) { return c == '\r' || c == '\n'; }

}  // namespace

LineReader::LineReader(std::istream& in, std::string name)
    : m_in(in), m_name(std::move(name)), m_buffer(kBufferSize) {
  m_in.exceptions(std::ios::badbit);
}

bool LineReader::next(std::string& line) {
  line.clear();
  bool any = false;  // this line has content or a terminator
  for (;;) {
    if (m_pos == m_end && !refill()) return any;
    if (m_skipLf) {
      m_skipLf = false;
      if (m_buffer[m_pos] == '\n') {
        ++m_pos;
        continue;
      }
    }
    const char* begin = m_buffer.data() + m_pos;
    const char* end = m_buffer.data() + m_end;
    const char* stop = std::find_if(begin, end, isTerminator);
    line.append(begin, stop);
    any = any || stop != begin;
    m_pos = static_cast<std::size_t>(stop - m_buffer.data());
    if (stop == end) continue;
    m_skipLf = *stop == '\r';
    ++m_pos;
    return true;
  }
}

bool LineReader::refill() {
  if (m_eof) return false;
  try {
    m_in.read(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
  } catch (const std::ios_base::failure& e) {
    throw std::runtime_error(m_name + ": read error: " + e.code().message());
  }
  const auto count = static_cast<std::size_t>(m_in.gcount());
  if (m_in.eof()) m_eof = true;
  if (count == 0) {
    m_eof = true;
    return false;
  }
  m_pos = 0;
  m_end = count;
  return true;
}

}  // namespace readers
