#include "hushkey/settings/registry_routines_win32.h"

#include "win32/text_win32.h"

namespace hushkey {

using win32::Utf8ToWide;

// The portable copies of the registry API's numbers. The predefined roots are pointer
// constants, which no constant expression can compare; ToHkey turns the numbers into them
// and the Windows-side test checks that they are the same.
static_assert(sizeof(RegKey) == sizeof(HKEY));
static_assert(kRegSuccess == ERROR_SUCCESS && kRegNotFound == ERROR_FILE_NOT_FOUND);

namespace {

// Standard read rights and every key-specific right: enough to delete values and subkeys.
constexpr REGSAM kDeleteAccess = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_SET_VALUE |
                                 KEY_CREATE_SUB_KEY | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY |
                                 KEY_CREATE_LINK;
static_assert(kDeleteAccess == 0x2003F);

// The longest key name the registry allows, and its terminating NUL.
constexpr DWORD kKeyNameCapacity = 256;

}  // namespace

HKEY ToHkey(RegKey key) { return reinterpret_cast<HKEY>(key); }

RegKey Win32Registry::Keep(win32::UniqueKey key) {
  const RegKey id = reinterpret_cast<RegKey>(key.get());
  open_[id] = std::move(key);
  return id;
}

RegStatus Win32Registry::CreateKeyForWrite(RegKey parent, const std::string& path, RegKey& key) {
  win32::UniqueKey created;
  const LSTATUS status =
      RegCreateKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_WRITE, nullptr, created.put(), nullptr);
  if (status == ERROR_SUCCESS) key = Keep(std::move(created));
  return status;
}

RegStatus Win32Registry::OpenKeyForDelete(RegKey parent, const std::string& path, RegKey& key) {
  win32::UniqueKey opened;
  const LSTATUS status =
      RegOpenKeyExW(ToHkey(parent), Utf8ToWide(path).c_str(), 0, kDeleteAccess, opened.put());
  if (status == ERROR_SUCCESS) key = Keep(std::move(opened));
  return status;
}

RegStatus Win32Registry::SetStringValue(RegKey key, const std::string& name,
                                        const std::string& data) {
  const std::wstring text = Utf8ToWide(data);
  return RegSetValueExW(ToHkey(key), Utf8ToWide(name).c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

RegStatus Win32Registry::SetDwordValue(RegKey key, const std::string& name, std::uint32_t data) {
  const DWORD value = data;
  return RegSetValueExW(ToHkey(key), Utf8ToWide(name).c_str(), 0, REG_DWORD,
                        reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

RegStatus Win32Registry::DeleteValue(RegKey key, const std::string& name) {
  return RegDeleteValueW(ToHkey(key), Utf8ToWide(name).c_str());
}

std::optional<std::string> Win32Registry::EnumSubkey(RegKey key, std::uint32_t index) {
  wchar_t name[kKeyNameCapacity];
  DWORD length = kKeyNameCapacity;
  if (RegEnumKeyExW(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return win32::WideToUtf8(std::wstring_view(name, length));
}

RegStatus Win32Registry::DeleteKey(RegKey parent, const std::string& path) {
  return RegDeleteKeyW(ToHkey(parent), Utf8ToWide(path).c_str());
}

void Win32Registry::CloseKey(RegKey key) { open_.erase(key); }

}  // namespace hushkey
