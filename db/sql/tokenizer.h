// Splits the text of a local SQL statement into tokens. The statement is the
// lines a query object was given, joined by line breaks; positions count those
// lines and the bytes within a line from 1, as the operator's error text shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace db::sql {

struct Position {
  int line = 1;
  int column = 1;
};

enum class TokenKind {
  Word,     // keyword or name: a letter or '_' or a byte >= 0x80, then also digits
  String,   // "text", with "" standing for one double quote; text holds the value
  Integer,  // decimal digits, optionally led by '-'
  LParen,
  RParen,
  Comma,
  Equals,
  Star,
  Semicolon,
  End,
};

struct Token {
  TokenKind kind = TokenKind::End;
  std::string text;          // Word: as written; String: the unquoted value
  std::int64_t integer = 0;  // Integer only
  Position pos;
};

// Throws db::Error (CP1251 text) for a character no token begins with, an
// unterminated string and an integer out of the 64-bit range.
std::vector<Token> Tokenize(std::string_view statement);

// How a token appears in an error message: the text as written, or "end of
// statement". CP1251.
std::string Describe(const Token& token);

// "(строка L, позиция C)" in CP1251.
std::string Where(Position pos);

}  // namespace db::sql
