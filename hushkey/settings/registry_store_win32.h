// The settings store in the registry: one REG_SZ value per key under
// HKEY_CURRENT_USER\Software\Hushkey\Settings (per user, persistent). Reads open the key
// read-only and never create it; the first write creates it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hushkey/settings/settings_store.h"

namespace hushkey {

// The key under HKEY_CURRENT_USER: "Software\<application name>\<section>".
std::wstring DefaultSettingsKeyPath();

class RegistrySettingsStore : public SettingsStore {
 public:
  // keyPath is relative to HKEY_CURRENT_USER; tests pass a path of their own.
  explicit RegistrySettingsStore(std::wstring keyPath = DefaultSettingsKeyPath());

  // Missing key, missing value, or a value that is not REG_SZ: nullopt.
  std::optional<std::string> Read(std::string_view key) override;
  bool Write(std::string_view key, std::string_view value) override;

 private:
  std::wstring keyPath_;
};

}  // namespace hushkey
