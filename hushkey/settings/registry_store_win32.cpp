#include "hushkey/settings/registry_store_win32.h"

#include <windows.h>

#include <vector>

#include "hushkey/settings/setting_keys.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

using win32::Utf8ToWide;
using win32::WideToUtf8;

std::wstring DefaultSettingsKeyPath() {
  return L"Software\\" + Utf8ToWide(kSettingsAppName) + L"\\" + Utf8ToWide(kSettingsSection);
}

RegistrySettingsStore::RegistrySettingsStore(std::wstring keyPath) : keyPath_(std::move(keyPath)) {}

std::optional<std::string> RegistrySettingsStore::Read(std::string_view key) {
  win32::UniqueKey hkey;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, KEY_QUERY_VALUE, hkey.put()) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const std::wstring name = Utf8ToWide(key);
  // The value may change size between the size query and the read: retry with the new size.
  std::vector<BYTE> buf(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(buf.size());
    LONG rc = RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, buf.data(), &size);
    if (rc == ERROR_MORE_DATA) {
      buf.resize(static_cast<std::size_t>(size) + sizeof(wchar_t));
      continue;
    }
    if (rc != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    // The data may or may not carry its terminating NUL; cut at the first one.
    std::wstring_view text(reinterpret_cast<const wchar_t*>(buf.data()), size / sizeof(wchar_t));
    if (std::size_t nul = text.find(L'\0'); nul != std::wstring_view::npos) {
      text = text.substr(0, nul);
    }
    return WideToUtf8(text);
  }
  return std::nullopt;
}

bool RegistrySettingsStore::Write(std::string_view key, std::string_view value) {
  win32::UniqueKey hkey;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_SET_VALUE, nullptr, hkey.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::wstring name = Utf8ToWide(key);
  const std::wstring data = Utf8ToWide(value);
  const DWORD bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

}  // namespace hushkey
