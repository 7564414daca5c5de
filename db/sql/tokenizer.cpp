#include "db/sql/tokenizer.h"

#include <limits>

#include "core/codec.h"
#include "db/paradox/table.h"

namespace db::sql {
namespace {

bool isWordStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || u >= 0x80;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isWordChar(char c) { return isWordStart(c) || isDigit(c); }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

[[noreturn]] void fail(Position pos, std::string_view utf8Problem, std::string_view cp1251Detail = {}) {
  throw Error(core::cp1251("Ошибка в запросе ") + Where(pos) + ": " + core::cp1251(utf8Problem) +
              std::string(cp1251Detail));
}

class Scanner {
 public:
  explicit Scanner(std::string_view text) : m_text(text) {}

  std::vector<Token> run() {
    std::vector<Token> tokens;
    for (;;) {
      skipBlanks();
      Token token;
      token.pos = m_pos;
      if (m_i >= m_text.size()) {
        tokens.push_back(token);
        return tokens;
      }
      const char c = m_text[m_i];
      if (isWordStart(c)) {
        token.kind = TokenKind::Word;
        while (m_i < m_text.size() && isWordChar(m_text[m_i])) token.text += take();
      } else if (c == '"') {
        scanString(token);
      } else if (isDigit(c) || (c == '-' && m_i + 1 < m_text.size() && isDigit(m_text[m_i + 1]))) {
        scanInteger(token);
      } else {
        token.kind = punctuation(c);
        token.text = std::string(1, take());
      }
      tokens.push_back(std::move(token));
    }
  }

 private:
  char take() {
    const char c = m_text[m_i++];
    if (c == '\n') {
      ++m_pos.line;
      m_pos.column = 1;
    } else {
      ++m_pos.column;
    }
    return c;
  }

  void skipBlanks() {
    while (m_i < m_text.size() && isBlank(m_text[m_i])) take();
  }

  void scanString(Token& token) {
    token.kind = TokenKind::String;
    take();
    for (;;) {
      if (m_i >= m_text.size()) fail(token.pos, "кавычка не закрыта");
      const char c = take();
      if (c != '"') {
        token.text += c;
      } else if (m_i < m_text.size() && m_text[m_i] == '"') {
        token.text += take();
      } else {
        return;
      }
    }
  }

  void scanInteger(Token& token) {
    token.kind = TokenKind::Integer;
    const bool negative = m_text[m_i] == '-';
    if (negative) token.text += take();
    // Accumulate negatively so that the most negative value fits too.
    std::int64_t value = 0;
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    while (m_i < m_text.size() && isDigit(m_text[m_i])) {
      const int digit = m_text[m_i] - '0';
      if (value < (kMin + digit) / 10) fail(token.pos, "слишком большое число");
      value = value * 10 - digit;
      token.text += take();
    }
    if (m_i < m_text.size() && isWordStart(m_text[m_i])) {
      fail(token.pos, "после числа стоит буква: ", quoted(token.text + m_text[m_i]));
    }
    if (!negative) {
      if (value == kMin) fail(token.pos, "слишком большое число");
      value = -value;
    }
    token.integer = value;
  }

  TokenKind punctuation(char c) const {
    switch (c) {
      case '(': return TokenKind::LParen;
      case ')': return TokenKind::RParen;
      case ',': return TokenKind::Comma;
      case '=': return TokenKind::Equals;
      case '*': return TokenKind::Star;
      case ';': return TokenKind::Semicolon;
      default: fail(m_pos, "недопустимый символ ", quoted(std::string(1, c)));
    }
  }

  static std::string quoted(const std::string& s) { return "\"" + s + "\""; }

  std::string_view m_text;
  std::size_t m_i = 0;
  Position m_pos;
};

}  // namespace

std::vector<Token> Tokenize(std::string_view statement) { return Scanner(statement).run(); }

std::string Describe(const Token& token) {
  switch (token.kind) {
    case TokenKind::End: return core::cp1251("конец запроса");
    case TokenKind::String: return core::cp1251("текст ") + "\"" + token.text + "\"";
    default: return "\"" + token.text + "\"";
  }
}

std::string Where(Position pos) {
  return core::cp1251("(строка ") + std::to_string(pos.line) + core::cp1251(", позиция ") +
         std::to_string(pos.column) + ")";
}

}  // namespace db::sql
