// The character tests the program's text rules share: blanks, decimal digits, ASCII letter
// case and UTF-8 continuation bytes. ASCII rules whatever the locale: bytes of other
// characters are never blanks, digits or letters.
#pragma once

#include <string_view>

namespace hushkey {

// A blank between words: a space or a tab.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// A byte inside a UTF-8 character, after its first (10xxxxxx).
constexpr bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The text without blanks at either end.
constexpr std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace hushkey
