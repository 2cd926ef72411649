#include "hushkey/engine/word_hash_win32.h"

#include <windows.h>
#include <bcrypt.h>

namespace hushkey {

namespace {

constexpr ULONG kSaltBytes = 16, kHashBytes = 32;

std::optional<std::vector<std::uint8_t>> Pbkdf2(std::string_view word,
                                                const std::vector<std::uint8_t>& salt,
                                                std::uint32_t iterations, std::size_t bytes) {
  BCRYPT_ALG_HANDLE alg = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&alg, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                  BCRYPT_ALG_HANDLE_HMAC_FLAG)))
    return std::nullopt;
  const std::string normal = NormalizedWord(word);
  std::vector<std::uint8_t> key(bytes);
  const NTSTATUS status = BCryptDeriveKeyPBKDF2(
      alg, reinterpret_cast<PUCHAR>(const_cast<char*>(normal.data())),
      static_cast<ULONG>(normal.size()), const_cast<PUCHAR>(salt.data()),
      static_cast<ULONG>(salt.size()), iterations, key.data(), static_cast<ULONG>(key.size()), 0);
  BCryptCloseAlgorithmProvider(alg, 0);
  if (!BCRYPT_SUCCESS(status)) return std::nullopt;
  return key;
}

}  // namespace

std::optional<std::string> NewWordHashText(std::string_view word) {
  WordHash h{kUnlockWordIterations, std::vector<std::uint8_t>(kSaltBytes), {}};
  if (!BCRYPT_SUCCESS(
          BCryptGenRandom(nullptr, h.salt.data(), kSaltBytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
    return std::nullopt;
  std::optional<std::vector<std::uint8_t>> key = Pbkdf2(word, h.salt, h.iterations, kHashBytes);
  if (!key) return std::nullopt;
  h.hash = std::move(*key);
  return WordHashText(h);
}

bool WordMatchesHash(std::string_view storedText, std::string_view typed) {
  const std::optional<WordHash> stored = ParseWordHash(storedText);
  if (!stored) return false;
  const std::optional<std::vector<std::uint8_t>> key =
      Pbkdf2(typed, stored->salt, stored->iterations, stored->hash.size());
  return key && SameBytes(*key, stored->hash);
}

}  // namespace hushkey
