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

HRESULT LoadModuleTypeLib(ITypeLib** typelib) {
  const std::wstring path = ModulePath();
  if (path.empty()) return E_FAIL;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, typelib);
  if (SUCCEEDED(hr) || path.size() < MAX_PATH) return hr;
  const DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return hr;
  std::wstring shortPath(n, L'\0');
  const DWORD got = GetShortPathNameW(path.c_str(), shortPath.data(), n);
  if (got == 0 || got >= n) return hr;
  shortPath.resize(got);
  // The loader may not take the long-path prefix either.
  if (shortPath.rfind(L"\\\\?\\", 0) == 0) shortPath.erase(0, 4);
  return LoadTypeLibEx(shortPath.c_str(), REGKIND_NONE, typelib);
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
