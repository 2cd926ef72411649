// The registry routines' port over the wide registry API: key paths, value names and data
// travel as UTF-8 and reach the registry as UTF-16, so paths and texts outside the ANSI code
// page are written as they are.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>

#include "hushkey/settings/registry_routines.h"
#include "win32/handles_win32.h"

namespace hushkey {

// The platform key behind a RegKey: a predefined root or a key this port opened.
HKEY ToHkey(RegKey key);

class Win32Registry final : public RegistryPort {
 public:
  RegStatus CreateKeyForWrite(RegKey parent, const std::string& path, RegKey& key) override;
  RegStatus OpenKeyForDelete(RegKey parent, const std::string& path, RegKey& key) override;
  RegStatus SetStringValue(RegKey key, const std::string& name, const std::string& data) override;
  RegStatus SetDwordValue(RegKey key, const std::string& name, std::uint32_t data) override;
  RegStatus DeleteValue(RegKey key, const std::string& name) override;
  std::optional<std::string> EnumSubkey(RegKey key, std::uint32_t index) override;
  RegStatus DeleteKey(RegKey parent, const std::string& path) override;
  void CloseKey(RegKey key) override;

  // Keys opened through the port and not closed yet.
  std::size_t OpenKeys() const { return open_.size(); }

 private:
  RegKey Keep(win32::UniqueKey key);

  // Every key the port hands out stays owned here until CloseKey, so none outlives the port.
  std::map<RegKey, win32::UniqueKey> open_;
};

}  // namespace hushkey
