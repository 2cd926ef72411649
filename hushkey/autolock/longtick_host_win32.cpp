#include "hushkey/autolock/longtick_host_win32.h"

#include <olectl.h>

#include <cstdio>

#include "win32/text_win32.h"

namespace hushkey {

using win32::ComPtr;

namespace {

std::wstring ProgramFolder() {
  const std::wstring path = win32::ModuleFileName(nullptr);
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring HresultText(HRESULT hr) {
  wchar_t code[16];
  std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(hr));
  return code;
}

// What the two small COM objects below share: a heap object with a reference count, and a
// dispatch interface without type information (callers invoke it by DISPID only).
class UntypedDispatch : public IDispatch {
 public:
  virtual ~UntypedDispatch() = default;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }

 private:
  ULONG refs_ = 1;
};

}  // namespace

// The Timer event's receiver: a dispatch interface answering for __Longtick.
class LongtickHost::EventSink final : public UntypedDispatch {
 public:
  explicit EventSink(std::function<void()>* onTimer) : onTimer_(onTimer) {}
  void Detach() { onTimer_ = nullptr; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
        IsEqualIID(riid, kLongtickEventsIid)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (result) VariantInit(result);
    // CountDown (1) is not used; only Timer is handled.
    if (id == longtick::kDispidTimer && onTimer_ && *onTimer_) {
      AddRef();  // the handler may close the host
      (*onTimer_)();
      Release();
    }
    return S_OK;
  }

 private:
  std::function<void()>* onTimer_;
};

// The control's client site: no container, no window; its ambient properties tell the
// control that it runs (user mode), not that it is being designed.
class LongtickHost::Site final : public IOleClientSite, public UntypedDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IOleClientSite)) {
      *out = static_cast<IOleClientSite*>(this);
    } else if (IsEqualIID(riid, IID_IDispatch)) {
      *out = static_cast<IDispatch*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  // One overrider for the IUnknown members that both bases declare.
  ULONG STDMETHODCALLTYPE AddRef() override { return UntypedDispatch::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return UntypedDispatch::Release(); }
  // IOleClientSite
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
    if (out) *out = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IDispatch: ambient properties
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
    VariantInit(result);
    switch (id) {
      case DISPID_AMBIENT_USERMODE:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
      case DISPID_AMBIENT_UIDEAD:
      case DISPID_AMBIENT_SHOWGRABHANDLES:
      case DISPID_AMBIENT_SHOWHATCHING:
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_FALSE;
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }
};

std::unique_ptr<LongtickHost> LongtickHost::Create(std::wstring* error) {
  std::unique_ptr<LongtickHost> host(new LongtickHost());
  auto fail = [&](const std::wstring& what) {
    if (error) *error = what;
    host->Close();
    return std::unique_ptr<LongtickHost>();
  };

  ComPtr<IUnknown> unknown;
  HRESULT hr = CoCreateInstance(kLongtickClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                unknown.put_void());
  if (SUCCEEDED(hr) && unknown) {
    host->fromRegistry_ = true;
  } else {
    // Not registered (or registered at a place that is gone): use the copy that ships
    // next to the program.
    const std::wstring path = ProgramFolder() + kLongtickFile;
    host->library_.reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!host->library_) {
      return fail(L"The timer control " + std::wstring(longtick::kProgId) +
                  L" is not registered, and " + path + L" could not be loaded (error " +
                  std::to_wstring(GetLastError()) + L").");
    }
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(host->library_.get(), "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    HRESULT fhr = getClassObject
                      ? getClassObject(kLongtickClsid, IID_IClassFactory, factory.put_void())
                      : E_NOINTERFACE;
    if (SUCCEEDED(fhr) && factory) {
      fhr = factory->CreateInstance(nullptr, IID_IUnknown, unknown.put_void());
    }
    if (FAILED(fhr) || !unknown) {
      return fail(L"The timer control " + std::wstring(longtick::kProgId) +
                  L" is not registered, and " + path + L" could not create it (" +
                  HresultText(fhr) + L").");
    }
  }

  const HRESULT dhr = unknown->QueryInterface(IID_IDispatch, host->control_.put_void());
  if (FAILED(dhr) || !host->control_) {
    return fail(L"The timer control " + std::wstring(longtick::kProgId) +
                L" has no dispatch interface (" + HresultText(dhr) + L").");
  }

  // Site first, so the control sees the ambient user mode while it initialises.
  host->oleObject_ = unknown.As<IOleObject>(IID_IOleObject);
  if (host->oleObject_) {
    host->site_ = ComPtr<Site>(new Site(), false);
    host->oleObject_->SetClientSite(host->site_.get());
  }
  // A fresh instance in its design state.
  if (auto streamInit = unknown.As<IPersistStreamInit>(IID_IPersistStreamInit)) {
    streamInit->InitNew();
  } else if (auto bag = unknown.As<IPersistPropertyBag>(IID_IPersistPropertyBag)) {
    bag->InitNew();
  }

  // The Timer event.
  hr = E_NOINTERFACE;
  if (auto container = unknown.As<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
    hr = container->FindConnectionPoint(kLongtickEventsIid, host->connection_.put());
  }
  if (SUCCEEDED(hr) && host->connection_) {
    host->sink_ = ComPtr<EventSink>(new EventSink(&host->onTimer_), false);
    hr = host->connection_->Advise(host->sink_.get(), &host->cookie_);
  }
  if (FAILED(hr) || !host->connection_ || host->cookie_ == 0) {
    return fail(L"The timer control " + std::wstring(longtick::kProgId) +
                L" does not offer its Timer event (" + HresultText(hr) + L").");
  }

  host->SetEnabled(false);
  host->SetIntervalMinutes(0);
  host->SetIntervalSeconds(0);
  return host;
}

LongtickHost::~LongtickHost() { Close(); }

void LongtickHost::SetTimerHandler(std::function<void()> onTimer) { onTimer_ = std::move(onTimer); }

void LongtickHost::Close() {
  if (sink_) sink_->Detach();
  if (connection_ && cookie_) connection_->Unadvise(cookie_);
  cookie_ = 0;
  connection_.reset();
  sink_.reset();
  if (control_) SetEnabled(false);
  if (oleObject_) {
    oleObject_->Close(OLECLOSE_NOSAVE);
    oleObject_->SetClientSite(nullptr);
    oleObject_.reset();
  }
  control_.reset();
  site_.reset();
  if (library_) {
    // The library stays loaded unless it says it has nothing left alive.
    using CanUnloadFn = HRESULT(STDAPICALLTYPE*)();
    auto canUnload = reinterpret_cast<CanUnloadFn>(
        reinterpret_cast<void*>(GetProcAddress(library_.get(), "DllCanUnloadNow")));
    if (canUnload && canUnload() == S_OK)
      library_.reset();
    else
      library_.release();
  }
}

bool LongtickHost::GetProperty(DISPID id, VARTYPE type, win32::ScopedVariant& out) {
  if (!control_) return false;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  win32::ScopedExcepInfo excep;
  if (FAILED(control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              out.put(), excep.get(), nullptr)))
    return false;
  return out->vt == type || SUCCEEDED(VariantChangeType(out.get(), out.get(), 0, type));
}

bool LongtickHost::PutProperty(DISPID id, VARIANT value) {
  if (!control_) return false;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  win32::ScopedExcepInfo excep;
  return SUCCEEDED(control_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                                    &params, nullptr, excep.get(), nullptr));
}

namespace {

VARIANT BoolVariant(bool on) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT LongVariant(std::int32_t value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

}  // namespace

bool LongtickHost::Enabled() {
  win32::ScopedVariant v;
  return GetProperty(longtick::kDispidEnabled, VT_BOOL, v) && v->boolVal != VARIANT_FALSE;
}

void LongtickHost::SetEnabled(bool on) { PutProperty(longtick::kDispidEnabled, BoolVariant(on)); }

std::int32_t LongtickHost::IntervalMinutes() {
  win32::ScopedVariant v;
  return GetProperty(longtick::kDispidIntervalMinutes, VT_I4, v) ? v->lVal : 0;
}

// A total beyond 32 bits is refused by the control (the value is stored, the count target
// keeps its old value); the refusal is not reported further.
void LongtickHost::SetIntervalMinutes(std::int32_t minutes) {
  PutProperty(longtick::kDispidIntervalMinutes, LongVariant(minutes));
}

std::int32_t LongtickHost::IntervalSeconds() {
  win32::ScopedVariant v;
  return GetProperty(longtick::kDispidIntervalSeconds, VT_I4, v) ? v->lVal : 0;
}

void LongtickHost::SetIntervalSeconds(std::int32_t seconds) {
  PutProperty(longtick::kDispidIntervalSeconds, LongVariant(seconds));
}

}  // namespace hushkey
