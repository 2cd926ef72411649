// Reference counting, QueryInterface and module lifetime, written once for every COM object
// of the control library. A class derives from ComObject<Self, Interfaces...> and provides
//   void* Interface(REFIID iid)   // static_cast<I*>(this) for each supported I, else null
// IUnknown itself is answered with the first interface, so identity is stable.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <new>
#include <string>
#include <utility>

#include "win32/com_win32.h"

namespace longtick {

// Counts for DllCanUnloadNow: live objects and IClassFactory::LockServer locks.
void ModuleObjectCreated();
void ModuleObjectDestroyed();
void ModuleLock(bool lock);
bool ModuleCanUnload();
HINSTANCE ModuleInstance();
// The full path of this library, however long (installs deeper than MAX_PATH included);
// empty when the system cannot tell.
std::wstring ModulePath();
// ModulePath in a form every loader takes: itself when shorter than MAX_PATH characters,
// else its short form; empty when there is no form that short.
std::wstring LoadableModulePath();
// This library's type library (embedded as resource 1). Some loaders cannot open a path of
// MAX_PATH characters or more; the short form of such a path is tried then.
HRESULT LoadModuleTypeLib(ITypeLib** typelib);

template <class Derived, class First, class... Rest>
class ComObject : public First, public Rest... {
 public:
  ComObject() { ModuleObjectCreated(); }
  virtual ~ComObject() { ModuleObjectDestroyed(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = IsEqualIID(iid, IID_IUnknown) ? static_cast<First*>(this)
                                         : static_cast<Derived*>(this)->Interface(iid);
    if (!*out) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }

 private:
  std::atomic<ULONG> refs_{1};  // the creator's reference
};

// The one owning interface pointer of the support layer.
using win32::ComPtr;

// Creates an object with its creator's reference, hands out `iid` and drops that reference.
template <class T, class... Args>
HRESULT CreateAndQuery(REFIID iid, void** out, Args&&... args) {
  if (!out) return E_POINTER;
  *out = nullptr;
  const ComPtr<T> obj(new (std::nothrow) T(std::forward<Args>(args)...), false);
  if (!obj) return E_OUTOFMEMORY;
  return obj->QueryInterface(iid, out);
}

}  // namespace longtick
