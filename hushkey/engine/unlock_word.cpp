#include "hushkey/engine/unlock_word.h"

#include <algorithm>

#include "hushkey/engine/text_chars.h"
#include "hushkey/engine/text_conversions.h"

namespace hushkey {

namespace {

constexpr std::string_view kScheme = "PBKDF2-SHA256";

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> FromHex(std::string_view text) {
  if (text.empty() || text.size() % 2 != 0) return std::nullopt;
  const auto digit = [](char c) {
    c = AsciiLower(c);
    return IsDigit(c) ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = digit(text[i]), lo = digit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi << 4 | lo));
  }
  return bytes;
}

// The next field up to '$' (or the end), taken off the front of `text`.
std::string_view Field(std::string_view& text) {
  const std::size_t end = text.find('$');
  const std::string_view field = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return field;
}

}  // namespace

std::string WordHashText(const WordHash& h) {
  return std::string(kScheme) + "$" + std::to_string(h.iterations) + "$" + Hex(h.salt) + "$" +
         Hex(h.hash);
}

std::optional<WordHash> ParseWordHash(std::string_view text) {
  if (std::count(text.begin(), text.end(), '$') != 3 || Field(text) != kScheme) return std::nullopt;
  const std::optional<std::int32_t> iterations = ParseInt32(Field(text));
  const auto salt = FromHex(Field(text));
  const auto hash = FromHex(Field(text));
  if (!iterations || *iterations < 1000 || !salt || !hash || salt->size() < 8 || hash->size() < 16)
    return std::nullopt;
  return WordHash{static_cast<std::uint32_t>(*iterations), *salt, *hash};
}

std::string UnlockWordRefusal(std::string_view word) {
  for (char c : word)
    if (const char u = AsciiUpper(c); !(u >= 'A' && u <= 'Z') && !IsDigit(u))
      return "Use letters and digits only.";
  if (word.size() < kShortestUnlockWord) return "Use at least six letters or digits.";
  if (word.size() > kLongestUnlockWord) return "Use at most 32 letters or digits.";
  return {};
}

std::string NormalizedWord(std::string_view word) {
  std::string lower;
  for (char c : word) lower += AsciiLower(c);
  return lower;
}

char WordCharOfKey(std::uint32_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9'))
    return AsciiLower(static_cast<char>(vk));
  if (vk >= 96 && vk <= 105) return static_cast<char>('0' + (vk - 96));  // the number pad
  return 0;
}

bool SameBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  if (a.size() != b.size()) return false;
  std::uint8_t diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff = static_cast<std::uint8_t>(diff | (a[i] ^ b[i]));
  return diff == 0;
}

}  // namespace hushkey
