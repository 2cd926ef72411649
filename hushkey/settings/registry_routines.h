// Writing one registry value and deleting a value or a whole key, as used for the
// "Start with windows" Run value. The rules (path clean-up, what counts as success, the
// order of the calls, the keys that are never deleted) live here; the registry itself is
// reached through RegistryPort, which the Win32 adapter implements with the wide API.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hushkey {

// A registry key: one of the predefined roots below or a key the port opened. The roots
// carry the registry API's values (sign-extended like the platform's own handle values, so
// the adapter can check them against its constants).
using RegKey = std::intptr_t;
inline constexpr RegKey kHkeyCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr RegKey kHkeyLocalMachine = static_cast<std::int32_t>(0x80000002u);

// The registry API's result codes: 0 success, 2 "not found"; any other value is a failure.
using RegStatus = std::int32_t;
inline constexpr RegStatus kRegSuccess = 0;
inline constexpr RegStatus kRegNotFound = 2;

class RegistryPort {
 public:
  virtual ~RegistryPort() = default;
  // Opens `path` under `parent` with write access, creating it (and missing parents) when
  // it does not exist. On success `key` is an open key the caller closes.
  virtual RegStatus CreateKeyForWrite(RegKey parent, const std::string& path, RegKey& key) = 0;
  // Opens an existing key with standard read rights plus every key-specific right (what a
  // value or subkey deletion needs). Fails when the key is missing or access is denied.
  virtual RegStatus OpenKeyForDelete(RegKey parent, const std::string& path, RegKey& key) = 0;
  // Writes a text value (REG_SZ) or a 32-bit number (REG_DWORD) into an open key.
  virtual RegStatus SetStringValue(RegKey key, const std::string& name,
                                   const std::string& data) = 0;
  virtual RegStatus SetDwordValue(RegKey key, const std::string& name, std::uint32_t data) = 0;
  // Deletes one value of an open key; kRegNotFound when it does not exist.
  virtual RegStatus DeleteValue(RegKey key, const std::string& name) = 0;
  // The name of the open key's subkey at `index` (0-based, in the registry's order), or
  // nullopt when there is none at that index or it cannot be read.
  virtual std::optional<std::string> EnumSubkey(RegKey key, std::uint32_t index) = 0;
  // Deletes the key `path` under `parent`; fails while the key still has subkeys.
  virtual RegStatus DeleteKey(RegKey parent, const std::string& path) = 0;
  // Closes a key opened by CreateKeyForWrite or OpenKeyForDelete; failures are ignored.
  virtual void CloseKey(RegKey key) = 0;
};

// Writes `value` as `valueName` of `keyPath` under `root`, creating the key if needed.
// The path is trimmed of blanks at both ends and of one trailing "\"; a path left empty
// fails without touching the registry. An empty value is written as one blank. asText
// false writes the value as a 32-bit number (it must then be a whole number in range).
// True exactly when the value was written.
bool SetRegValue(RegistryPort& registry, std::string_view value, RegKey root,
                 std::string_view keyPath, std::string_view valueName, bool asText = true);

// Deletes `valueName` of `keyPath` under `root`; an empty valueName deletes the key with
// all its subkeys. The path is cleaned up as for SetRegValue (empty: false). True when the
// entry is gone or nothing could be deleted: a key that cannot be opened (missing, or not
// openable with deletion rights) and a value that does not exist both count as success.
// Key deletion refuses protected keys (IsProtectedKeyPath) and answers false for them.
// Subkeys that cannot be deleted are skipped, so the key itself then stays and the answer
// is false.
bool DeleteRegEntry(RegistryPort& registry, RegKey root, std::string_view keyPath,
                    std::string_view valueName);

// The keys that key deletion never removes, whatever the root: paths are compared without
// regard to letter case, with empty parts ("a\\b") ignored.
//   - an empty path and any key directly under a root ("Software", "System", "Environment",
//     "Control Panel", ...);
//   - any key whose last part is SOFTWARE, CLASSES, CLSID, APPID, TYPELIB, INTERFACE or
//     WOW6432NODE, at any depth;
//   - the Run and RunOnce keys (also their 32-bit view under WOW6432Node), the Windows NT
//     CurrentVersion key, the machine policy key and the system's Control and Services keys,
//     and every key above them ("SOFTWARE\Microsoft", "...\Windows", "...\CurrentVersion").
bool IsProtectedKeyPath(std::string_view keyPath);

}  // namespace hushkey
