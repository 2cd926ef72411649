#include "longtick/control/class_factory_win32.h"

namespace longtick {

void* ClassFactory::Interface(REFIID iid) {
  return IsEqualIID(iid, IID_IClassFactory) ? static_cast<IClassFactory*>(this) : nullptr;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return create_(outer, iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  ModuleLock(lock != FALSE);
  return S_OK;
}

}  // namespace longtick
