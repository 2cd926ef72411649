// The unlock word's hash on Windows: PBKDF2 with HMAC-SHA-256 from the system's
// cryptography (CNG), a random salt from its generator.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hushkey/engine/unlock_word.h"

namespace hushkey {

// The stored text for a new word (normalised, with a fresh salt); nothing when the system
// could not hash.
std::optional<std::string> NewWordHashText(std::string_view word);

// Whether `typed` is the word whose hash `storedText` holds; false for text that is no hash.
bool WordMatchesHash(std::string_view storedText, std::string_view typed);

}  // namespace hushkey
