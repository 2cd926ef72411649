#include "longtick/control/registration_win32.h"

#include <ole2.h>
#include <olectl.h>

#include <string>

#include "longtick/control/longtick_control_win32.h"
#include "longtick/control/control_resource_ids.h"
#include "longtick/control/longtick_ids.h"
#include "win32/handles_win32.h"

namespace longtick {

namespace {

constexpr wchar_t kClassName[] = L"Longtick Control";

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// Creates HKEY_CLASSES_ROOT\key and sets a string value (the default one when name is null).
LSTATUS SetString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  win32::UniqueKey h;
  LSTATUS rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                               nullptr, h.put(), nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  return RegSetValueExW(h.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

LSTATUS DeleteTree(const std::wstring& key) {
  LSTATUS rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  if (rc == ERROR_SUCCESS) rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

SYSKIND ThisSyskind() { return sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32; }

}  // namespace

HRESULT RegisterServer() {
  // COM loads the server from the path registered here: one it cannot open would register
  // a class that nobody can create.
  std::wstring path = LoadableModulePath();
  if (path.empty()) return SELFREG_E_CLASS;
  ComPtr<ITypeLib> typelib;
  HRESULT hr = LoadModuleTypeLib(typelib.put());
  if (SUCCEEDED(hr)) hr = RegisterTypeLib(typelib.get(), path.data(), nullptr);
  if (FAILED(hr)) return SELFREG_E_TYPELIB;

  const std::wstring clsid = GuidText(CLSID_Longtick);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring progid = kProgId;
  const std::wstring entries[][3] = {
      {key, L"", kClassName},
      {key + L"\\InprocServer32", L"", path},
      {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {key + L"\\ProgID", L"", progid},
      {key + L"\\VersionIndependentProgID", L"", progid},
      {key + L"\\Control", L"", L""},
      {key + L"\\ToolboxBitmap32", L"", path + L", " + std::to_wstring(IDB_TOOLBOX)},
      {key + L"\\MiscStatus", L"", L"0"},
      {key + L"\\MiscStatus\\1", L"", std::to_wstring(kMiscStatus)},
      {key + L"\\TypeLib", L"", GuidText(LIBID_LongtickOCX)},
      {key + L"\\Version", L"", L"2.0"},
      {progid, L"", kClassName},
      {progid + L"\\CLSID", L"", clsid},
  };
  for (const auto& e : entries) {
    if (SetString(e[0], e[1].empty() ? nullptr : e[1].c_str(), e[2]) != ERROR_SUCCESS) {
      UnregisterServer();
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

HRESULT UnregisterServer() {
  HRESULT result = S_OK;
  if (DeleteTree(L"CLSID\\" + GuidText(CLSID_Longtick)) != ERROR_SUCCESS ||
      DeleteTree(kProgId) != ERROR_SUCCESS)
    result = SELFREG_E_CLASS;
  // A type library that is not registered (any more) is nothing to remove.
  win32::ScopedBstr registered;
  if (FAILED(QueryPathOfRegTypeLib(LIBID_LongtickOCX, 2, 0, 0x409, registered.put())))
    return result;
  HRESULT hr = UnRegisterTypeLib(LIBID_LongtickOCX, 2, 0, 0x409, ThisSyskind());
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED &&
      SUCCEEDED(result))
    result = SELFREG_E_TYPELIB;
  return result;
}

}  // namespace longtick
