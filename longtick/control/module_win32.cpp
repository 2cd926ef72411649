// Entry points of longtick.ocx: DllMain and the four exports of an in-process server.
#include <windows.h>
#include <ole2.h>

#include <atomic>

#include "longtick/control/class_factory_win32.h"
#include "longtick/control/longtick_control_win32.h"
#include "longtick/control/registration_win32.h"
#include "win32/text_win32.h"

namespace longtick {

namespace {
HINSTANCE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
}  // namespace

void ModuleObjectCreated() { ++g_objects; }
void ModuleObjectDestroyed() { --g_objects; }
void ModuleLock(bool lock) {
  if (lock)
    ++g_locks;
  else if (g_locks > 0)
    --g_locks;
}
bool ModuleCanUnload() { return g_objects == 0 && g_locks == 0; }
HINSTANCE ModuleInstance() { return g_module; }

std::wstring ModulePath() { return win32::ModuleFileName(g_module); }

std::wstring LoadableModulePath() {
  const std::wstring path = ModulePath();
  if (path.size() < MAX_PATH) return path;
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return {};
  std::wstring short_path(n, L'\0');
  const DWORD got = GetShortPathNameW(path.c_str(), short_path.data(), n);
  if (got == 0 || got >= n) return {};
  short_path.resize(got);
  // The loaders may not take the long-path prefix either.
  if (short_path.rfind(L"\\\\?\\UNC\\", 0) == 0)
    short_path.replace(0, 8, L"\\\\");
  else if (short_path.rfind(L"\\\\?\\", 0) == 0)
    short_path.erase(0, 4);
  return short_path.size() < MAX_PATH ? short_path : std::wstring();
}

HRESULT LoadModuleTypeLib(ITypeLib** typelib) {
  const std::wstring path = ModulePath();
  if (path.empty()) return E_FAIL;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, typelib);
  if (SUCCEEDED(hr) || path.size() < MAX_PATH) return hr;
  const std::wstring loadable = LoadableModulePath();
  return loadable.empty() ? hr : LoadTypeLibEx(loadable.c_str(), REGKIND_NONE, typelib);
}

}  // namespace longtick

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    longtick::g_module = module;
    DisableThreadLibraryCalls(module);
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    longtick::UnregisterControlWindowClass();
  }
  return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_Longtick)) return CLASS_E_CLASSNOTAVAILABLE;
  return longtick::CreateAndQuery<longtick::ClassFactory>(iid, out,
                                                          &longtick::CreateLongtickControl);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return longtick::ModuleCanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return longtick::RegisterServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return longtick::UnregisterServer(); }
