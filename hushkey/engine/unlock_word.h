// The unlock word: a word of letters and digits the parent may type on a locked desktop,
// then Enter, to unlock as the unlock sequence would. The keys stay swallowed; only a salted
// PBKDF2-SHA256 hash of the word is stored, as text:
//   PBKDF2-SHA256$<iterations>$<salt, hex>$<hash, hex>
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hushkey {

inline constexpr std::size_t kShortestUnlockWord = 6;
inline constexpr std::size_t kLongestUnlockWord = 32;
// Enough to make guessing from a copied hash slow, little enough that checking a word typed
// on the program's thread takes a few milliseconds.
inline constexpr std::uint32_t kUnlockWordIterations = 20000;

struct WordHash {
  std::uint32_t iterations = 0;
  std::vector<std::uint8_t> salt, hash;

  bool operator==(const WordHash&) const = default;
};

std::string WordHashText(const WordHash& h);
// Nothing for text not in the stored form (the word is then off).
std::optional<WordHash> ParseWordHash(std::string_view text);

// Why a word cannot serve (a sentence for the options dialog), or empty when it can.
std::string UnlockWordRefusal(std::string_view word);

// The word as it is hashed and as it is typed: letters in lower case.
std::string NormalizedWord(std::string_view word);

// The character a key adds to the typed word (letters, digits, number-pad digits), else 0.
char WordCharOfKey(std::uint32_t vk);

// Compares two byte strings in time that does not depend on where they differ.
bool SameBytes(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);

}  // namespace hushkey
