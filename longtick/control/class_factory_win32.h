// The class object handed out by DllGetClassObject.
#pragma once

#include "longtick/control/com_base_win32.h"

namespace longtick {

using CreateFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
 public:
  explicit ClassFactory(CreateFunction create) : create_(create) {}
  void* Interface(REFIID iid);
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  CreateFunction create_;
};

}  // namespace longtick
