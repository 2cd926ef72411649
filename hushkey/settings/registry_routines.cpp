#include "hushkey/settings/registry_routines.h"

#include <array>
#include <vector>

#include "hushkey/engine/text_chars.h"
#include "hushkey/engine/text_conversions.h"

namespace hushkey {
namespace {

// Blanks at both ends removed, then one trailing backslash.
std::string CleanKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == ' ') path.remove_prefix(1);
  while (!path.empty() && path.back() == ' ') path.remove_suffix(1);
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

std::vector<std::string_view> PathParts(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t cut = path.find('\\');
    const std::string_view part = path.substr(0, cut);
    if (!part.empty()) parts.push_back(part);
    if (cut == std::string_view::npos) break;
    path.remove_prefix(cut + 1);
  }
  return parts;
}

constexpr std::array<std::string_view, 7> kProtectedLastParts{
    "SOFTWARE", "CLASSES", "CLSID", "APPID", "TYPELIB", "INTERFACE", "WOW6432NODE"};

// Keys that stay together with every key above them.
constexpr std::array<std::string_view, 8> kProtectedKeys{
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    "SOFTWARE\\Policies\\Microsoft\\Windows",
    "SYSTEM\\CurrentControlSet\\Control",
    "SYSTEM\\CurrentControlSet\\Services",
};

// Deletes the subkey `name` of the open key `parent` with everything below it. The name is
// used exactly as enumerated: a subkey that cannot be opened counts as not deleted here, so
// the caller's enumeration moves past it instead of meeting it again and again.
bool DeleteKeyTree(RegistryPort& registry, RegKey parent, const std::string& name);

// Deletes every subkey of the open key. A subkey that is deleted lets the next one move
// down to the same index; one that cannot be deleted is stepped over.
void DeleteSubkeys(RegistryPort& registry, RegKey key) {
  std::uint32_t index = 0;
  while (std::optional<std::string> name = registry.EnumSubkey(key, index)) {
    if (!DeleteKeyTree(registry, key, *name)) ++index;
  }
}

bool DeleteKeyTree(RegistryPort& registry, RegKey parent, const std::string& name) {
  RegKey key = 0;
  if (registry.OpenKeyForDelete(parent, name, key) != kRegSuccess) return false;
  DeleteSubkeys(registry, key);
  const bool deleted = registry.DeleteKey(parent, name) == kRegSuccess;
  registry.CloseKey(key);
  return deleted;
}

}  // namespace

bool IsProtectedKeyPath(std::string_view keyPath) {
  const std::string path = CleanKeyPath(keyPath);
  const std::vector<std::string_view> parts = PathParts(path);
  if (parts.size() <= 1) return true;
  for (std::string_view last : kProtectedLastParts) {
    if (SameText(parts.back(), last)) return true;
  }
  for (std::string_view protectedKey : kProtectedKeys) {
    const std::vector<std::string_view> guarded = PathParts(protectedKey);
    if (parts.size() > guarded.size()) continue;
    bool above = true;
    for (std::size_t i = 0; i < parts.size() && above; ++i) above = SameText(parts[i], guarded[i]);
    if (above) return true;
  }
  return false;
}

bool SetRegValue(RegistryPort& registry, std::string_view value, RegKey root,
                 std::string_view keyPath, std::string_view valueName, bool asText) {
  const std::string path = CleanKeyPath(keyPath);
  if (path.empty()) return false;
  RegKey key = 0;
  if (registry.CreateKeyForWrite(root, path, key) != kRegSuccess) return false;
  const std::string data = value.empty() ? std::string(" ") : std::string(value);
  bool written = false;
  if (asText) {
    written = registry.SetStringValue(key, std::string(valueName), data) == kRegSuccess;
  } else if (std::optional<std::int32_t> number = ParseInt32(data)) {
    written = registry.SetDwordValue(key, std::string(valueName),
                                     static_cast<std::uint32_t>(*number)) == kRegSuccess;
  }
  registry.CloseKey(key);
  return written;
}

bool DeleteRegEntry(RegistryPort& registry, RegKey root, std::string_view keyPath,
                    std::string_view valueName) {
  const std::string path = CleanKeyPath(keyPath);
  if (path.empty()) return false;
  if (valueName.empty() && IsProtectedKeyPath(path)) return false;
  RegKey key = 0;
  if (registry.OpenKeyForDelete(root, path, key) != kRegSuccess) return true;
  bool gone = false;
  if (!valueName.empty()) {
    const RegStatus status = registry.DeleteValue(key, std::string(valueName));
    gone = status == kRegSuccess || status == kRegNotFound;
  } else {
    DeleteSubkeys(registry, key);
    gone = registry.DeleteKey(root, path) == kRegSuccess;
  }
  registry.CloseKey(key);
  return gone;
}

}  // namespace hushkey
