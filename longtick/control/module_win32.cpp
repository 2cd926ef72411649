// Entry points of longtick.ocx: DllMain and the four exports of an in-process server.
#include <windows.h>
#include <ole2.h>

#include <atomic>

#include "longtick/control/class_factory_win32.h"
#include "longtick/control/longtick_control_win32.h"
#include "longtick/control/registration_win32.h"

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
  return longtick::CreateAndQuery<longtick::ClassFactory>(iid, out, &longtick::CreateLongtickControl);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return longtick::ModuleCanUnload() ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
  return longtick::RegisterServer(longtick::g_module);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return longtick::UnregisterServer(longtick::g_module);
}
