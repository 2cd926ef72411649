// The per-user store of named text values, seen as a port. Values are UTF-8 text. A read
// distinguishes a missing key from one holding empty text; reading never creates a key.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hushkey/settings/setting_keys.h"

namespace hushkey {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;

  // The stored text, or nullopt when the key does not exist (or cannot be read as text,
  // which is handled the same way: the caller's default applies).
  virtual std::optional<std::string> Read(std::string_view key) = 0;

  // Stores the text, creating the key if needed. False when the store refused it.
  virtual bool Write(std::string_view key, std::string_view value) = 0;

  // The stored text, or the given default only when the key is missing.
  std::string Get(std::string_view key, std::string_view defaultValue) {
    std::optional<std::string> v = Read(key);
    return v ? std::move(*v) : std::string(defaultValue);
  }

  // Read with the key table's default. Not for MouseSpd, whose default is not fixed.
  std::string Get(SettingId id) {
    const SettingKey& k = KeyOf(id);
    return Get(k.key, k.defaultText);
  }

  bool Set(SettingId id, std::string_view value) { return Write(KeyOf(id).key, value); }
};

}  // namespace hushkey
