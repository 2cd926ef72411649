#include "longtick/control/longtick_control_win32.h"

#include <algorithm>
#include <optional>
#include <string>

#include "longtick/about/about_box_win32.h"
#include "longtick/control/property_store.h"
#include "longtick/control/resource_ids.h"

namespace longtick {

namespace {

constexpr wchar_t kWindowClass[] = L"LongtickControlWindow";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 1000;
// Image1 (32x32 pixels) plus 10 twips, in HIMETRIC.
constexpr LONG kExtentHimetric = 32 * 2540 / 96 + 10 * 2540 / 1440;
constexpr uint32_t kMaxStreamBytes = 64 * 1024;

std::wstring Wide(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* control = reinterpret_cast<LongtickControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_TIMER:
      if (control && wp == kTickTimer) control->OnTimerMessage();
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      if (control) control->Paint(dc, r);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

bool EnsureWindowClass() {
  WNDCLASSW wc{};
  if (GetClassInfoW(ModuleInstance(), kWindowClass, &wc)) return true;
  wc.lpfnWndProc = ControlWindowProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = kWindowClass;
  return RegisterClassW(&wc) != 0;
}

HWND CreateControlWindow(LongtickControl* control, HWND parent, DWORD style, const RECT& r) {
  if (!EnsureWindowClass()) return nullptr;
  HWND hwnd = CreateWindowExW(0, kWindowClass, L"", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, ModuleInstance(), nullptr);
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  return hwnd;
}

// Stored properties read from a container's property bag.
class BagReader final : public PropertyReader {
 public:
  explicit BagReader(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}
  std::optional<int32_t> ReadLong(std::string_view name) override {
    VARIANT v;
    if (!Read(name, VT_I4, v)) return std::nullopt;
    return v.lVal;
  }
  std::optional<bool> ReadBool(std::string_view name) override {
    VARIANT v;
    if (!Read(name, VT_BOOL, v)) return std::nullopt;
    return v.boolVal != VARIANT_FALSE;
  }
  HRESULT error() const { return error_; }

 private:
  bool Read(std::string_view name, VARTYPE type, VARIANT& v) {
    VariantInit(&v);
    std::wstring wname = Wide(name);
    if (FAILED(bag_->Read(wname.c_str(), &v, log_))) return false;  // not stored
    HRESULT hr = VariantChangeType(&v, &v, 0, type);
    if (FAILED(hr)) {
      VariantClear(&v);
      error_ = hr;
      return false;
    }
    return true;
  }
  IPropertyBag* bag_;
  IErrorLog* log_;
  HRESULT error_ = S_OK;
};

class BagWriter final : public PropertyWriter {
 public:
  explicit BagWriter(IPropertyBag* bag) : bag_(bag) {}
  void WriteLong(std::string_view name, int32_t value) override {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    Write(name, v);
  }
  void WriteBool(std::string_view name, bool value) override {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Write(name, v);
  }
  HRESULT error() const { return error_; }

 private:
  void Write(std::string_view name, VARIANT& v) {
    std::wstring wname = Wide(name);
    HRESULT hr = bag_->Write(wname.c_str(), &v);
    if (FAILED(hr) && SUCCEEDED(error_)) error_ = hr;
  }
  IPropertyBag* bag_;
  HRESULT error_ = S_OK;
};

// The number of arguments the member `id` takes when called with `flags` (a return value
// parameter is not an argument); nothing when the type information has no such member.
std::optional<UINT> MaxArguments(ITypeInfo* info, DISPID id, WORD flags) {
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr))) return std::nullopt;
  WORD funcs = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  std::optional<UINT> most;
  for (UINT i = 0; i < funcs; ++i) {
    FUNCDESC* fd = nullptr;
    if (FAILED(info->GetFuncDesc(i, &fd))) continue;
    bool put = fd->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF);
    bool wanted = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? put : !put;
    if (fd->memid == id && wanted) {
      UINT n = 0;
      for (SHORT p = 0; p < fd->cParams; ++p)
        if (!(fd->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++n;
      most = std::max(most.value_or(0), n);
    }
    info->ReleaseFuncDesc(fd);
  }
  return most;
}

}  // namespace

void UnregisterControlWindowClass() { UnregisterClassW(kWindowClass, ModuleInstance()); }

HRESULT CreateLongtickControl(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  auto* control = new (std::nothrow) LongtickControl();
  if (!control) return E_OUTOFMEMORY;
  HRESULT hr = control->Init();
  if (SUCCEEDED(hr)) hr = control->QueryInterface(iid, out);
  control->Release();
  return hr;
}

LongtickControl::LongtickControl() { extent_ = SIZEL{kExtentHimetric, kExtentHimetric}; }

LongtickControl::~LongtickControl() {
  for (ConnectionPoint* cp : {events_, notify_}) {
    if (cp) {
      cp->Detach();
      cp->Release();
    }
  }
  if (view_window_) DestroyWindow(view_window_);
  if (timer_window_) DestroyWindow(timer_window_);
}

HRESULT LongtickControl::Init() {
  HRESULT hr = LoadModuleTypeLib(typelib_.put());
  if (FAILED(hr)) return hr;
  hr = typelib_->GetTypeInfoOfGuid(IID__Longtick, dispatch_info_.put());
  if (FAILED(hr)) return hr;
  HREFTYPE vtable_ref = 0;
  if (FAILED(dispatch_info_->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtable_ref)) ||
      FAILED(dispatch_info_->GetRefTypeInfo(vtable_ref, vtable_info_.put())))
    return TYPE_E_ELEMENTNOTFOUND;
  events_ = new (std::nothrow) ConnectionPoint(this, DIID___Longtick, true);
  notify_ = new (std::nothrow) ConnectionPoint(this, IID_IPropertyNotifySink, false);
  if (!events_ || !notify_) return E_OUTOFMEMORY;
  timer_window_ = CreateControlWindow(this, HWND_MESSAGE, 0, RECT{});
  return timer_window_ ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void* LongtickControl::Interface(REFIID iid) {
  if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID__Longtick))
    return static_cast<_Longtick*>(this);
  if (IsEqualIID(iid, IID_IConnectionPointContainer))
    return static_cast<IConnectionPointContainer*>(this);
  if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
    return static_cast<IProvideClassInfo2*>(this);
  if (IsEqualIID(iid, IID_IPersistPropertyBag)) return static_cast<IPersistPropertyBag*>(this);
  // IPersistStreamInit begins with the methods of IPersistStream.
  if (IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IPersistStreamInit) ||
      IsEqualIID(iid, IID_IPersistStream))
    return static_cast<IPersistStreamInit*>(this);
  if (IsEqualIID(iid, IID_IOleObject)) return static_cast<IOleObject*>(this);
  if (IsEqualIID(iid, IID_IOleControl)) return static_cast<IOleControl*>(this);
  if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceObject))
    return static_cast<IOleInPlaceObject*>(this);
  if (IsEqualIID(iid, IID_IViewObject) || IsEqualIID(iid, IID_IViewObject2))
    return static_cast<IViewObject2*>(this);
  if (IsEqualIID(iid, IID_IQuickActivate)) return static_cast<IQuickActivate*>(this);
  if (IsEqualIID(iid, IID_ISupportErrorInfo)) return static_cast<ISupportErrorInfo*>(this);
  return nullptr;
}

// ---- ticks and events -------------------------------------------------------------------

void LongtickControl::OnTimerMessage() {
  // An event handler may release the container's last reference.
  ComPtr<LongtickControl> keep(this);
  // An overflowing count (after about 68 years of a negative interval) has no caller to
  // report to; the tick is then skipped.
  counter_.Tick();
}

void LongtickControl::SetTimerRunning(bool running) {
  if (!timer_window_) return;
  if (running)
    SetTimer(timer_window_, kTickTimer, kTickMilliseconds, nullptr);
  else
    KillTimer(timer_window_, kTickTimer);
}

void LongtickControl::PropertyChanged(int32_t dispid) {
  dirty_ = true;
  ComPtr<LongtickControl> keep(this);
  for (const auto& sink : notify_->Sinks())
    static_cast<IPropertyNotifySink*>(sink.get())->OnChanged(dispid);
}

void LongtickControl::FireEvent(DISPID id, DISPPARAMS* params) {
  if (freeze_events_ > 0) return;
  ComPtr<LongtickControl> keep(this);
  for (const auto& sink : events_->Sinks()) {
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT arg_err = 0;
    // A failing sink does not keep the others from hearing the event.
    static_cast<IDispatch*>(sink.get())
        ->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, &result, &excep,
                 &arg_err);
    VariantClear(&result);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
  }
}

void LongtickControl::CountDown(const TimeLeft& left) {
  if (freeze_events_ > 0) return;
  ComPtr<LongtickControl> keep(this);
  for (const auto& sink : events_->Sinks()) {
    // Fresh values per sink: what one handler writes back is ignored.
    LONG values[7] = {left.years, left.months,  left.weeks,  left.days,
                      left.hours, left.minutes, left.seconds};
    VARIANTARG args[7];
    for (int i = 0; i < 7; ++i) {
      VariantInit(&args[i]);
      args[i].vt = VT_BYREF | VT_I4;
      args[i].plVal = &values[6 - i];  // arguments are passed last first
    }
    DISPPARAMS params{args, nullptr, 7, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO excep{};
    UINT arg_err = 0;
    static_cast<IDispatch*>(sink.get())
        ->Invoke(kDispidCountDown, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                 &excep, &arg_err);
    VariantClear(&result);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrHelpFile);
  }
}

void LongtickControl::Timer() {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  FireEvent(kDispidTimer, &none);
}

HRESULT LongtickControl::Report(Result result) {
  if (result == Result::Ok) return S_OK;
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.put()))) {
    create->SetGUID(IID__Longtick);
    create->SetSource(const_cast<LPOLESTR>(L"LongtickOCX.Longtick"));
    create->SetDescription(const_cast<LPOLESTR>(L"Overflow"));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.put_void())))
      SetErrorInfo(0, info.get());
  }
  return DISP_E_OVERFLOW;
}

// ---- IDispatch and _Longtick ------------------------------------------------------------

STDMETHODIMP LongtickControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

STDMETHODIMP LongtickControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *out = dispatch_info_.get();
  (*out)->AddRef();
  return S_OK;
}

STDMETHODIMP LongtickControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!names || !ids) return E_POINTER;
  return DispGetIDsOfNames(dispatch_info_.get(), names, count, ids);
}

STDMETHODIMP LongtickControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* excep, UINT* arg_err) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (!params) return E_POINTER;
  if (params->cArgs > 0 && !params->rgvarg) return E_POINTER;
  if (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) return E_POINTER;
  // The type library's Invoke ignores surplus arguments; a call with more than the member
  // takes is refused instead of being half carried out.
  if (auto most = MaxArguments(vtable_info_.get(), id, flags); most && params->cArgs > *most)
    return DISP_E_BADPARAMCOUNT;
  ComPtr<LongtickControl> keep(this);
  return vtable_info_->Invoke(static_cast<_Longtick*>(this), id, flags, params, result, excep,
                              arg_err);
}

HRESULT LongtickControl::GetInterval(Interval which, LONG* value) {
  if (!value) return E_POINTER;
  *value = counter_.interval(which);
  return S_OK;
}

HRESULT LongtickControl::PutInterval(Interval which, LONG value) {
  ComPtr<LongtickControl> keep(this);
  return Report(counter_.PutInterval(which, value));
}

STDMETHODIMP LongtickControl::get_IntervalSeconds(LONG* v) {
  return GetInterval(Interval::Seconds, v);
}
STDMETHODIMP LongtickControl::put_IntervalSeconds(LONG v) {
  return PutInterval(Interval::Seconds, v);
}
STDMETHODIMP LongtickControl::get_IntervalMinutes(LONG* v) {
  return GetInterval(Interval::Minutes, v);
}
STDMETHODIMP LongtickControl::put_IntervalMinutes(LONG v) {
  return PutInterval(Interval::Minutes, v);
}
STDMETHODIMP LongtickControl::get_IntervalHours(LONG* v) { return GetInterval(Interval::Hours, v); }
STDMETHODIMP LongtickControl::put_IntervalHours(LONG v) { return PutInterval(Interval::Hours, v); }
STDMETHODIMP LongtickControl::get_IntervalDays(LONG* v) { return GetInterval(Interval::Days, v); }
STDMETHODIMP LongtickControl::put_IntervalDays(LONG v) { return PutInterval(Interval::Days, v); }

STDMETHODIMP LongtickControl::get_Enabled(VARIANT_BOOL* value) {
  if (!value) return E_POINTER;
  *value = counter_.enabled() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP LongtickControl::put_Enabled(VARIANT_BOOL value) {
  ComPtr<LongtickControl> keep(this);
  counter_.PutEnabled(value != VARIANT_FALSE);
  return S_OK;
}

STDMETHODIMP LongtickControl::About() {
  ComPtr<LongtickControl> keep(this);
  HWND owner = nullptr;
  if (inplace_site_) inplace_site_->GetWindow(&owner);
  return ShowControlAboutBox(owner);
}

// ---- connection points ------------------------------------------------------------------

STDMETHODIMP LongtickControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return CreateConnectionPointEnumerator({events_, notify_}, out);
}

STDMETHODIMP LongtickControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, DIID___Longtick))
    *out = events_;
  else if (IsEqualIID(iid, IID_IPropertyNotifySink))
    *out = notify_;
  else
    return CONNECT_E_NOCONNECTION;
  (*out)->AddRef();
  return S_OK;
}

// ---- class information ------------------------------------------------------------------

STDMETHODIMP LongtickControl::GetClassInfo(ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return typelib_->GetTypeInfoOfGuid(CLSID_Longtick, out);
}

STDMETHODIMP LongtickControl::GetGUID(DWORD kind, GUID* guid) {
  if (!guid) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *guid = GUID_NULL;
    return E_INVALIDARG;
  }
  *guid = DIID___Longtick;
  return S_OK;
}

// ---- persistence ------------------------------------------------------------------------

STDMETHODIMP LongtickControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_Longtick;
  return S_OK;
}

STDMETHODIMP LongtickControl::InitNew() { return S_OK; }

STDMETHODIMP LongtickControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  ComPtr<LongtickControl> keep(this);
  BagReader reader(bag, log);
  HRESULT hr = Report(counter_.Load(reader));
  dirty_ = false;
  return FAILED(reader.error()) ? reader.error() : hr;
}

STDMETHODIMP LongtickControl::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  BagWriter writer(bag);
  counter_.Save(writer);
  if (FAILED(writer.error())) return writer.error();
  if (clear_dirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP LongtickControl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP LongtickControl::Load(LPSTREAM stream) {
  if (!stream) return E_POINTER;
  uint32_t size = 0;
  ULONG got = 0;
  HRESULT hr = stream->Read(&size, sizeof size, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof size || size > kMaxStreamBytes) return STG_E_READFAULT;
  std::vector<uint8_t> bytes(size);
  if (size > 0) {
    hr = stream->Read(bytes.data(), size, &got);
    if (FAILED(hr)) return hr;
    if (got != size) return STG_E_READFAULT;
  }
  auto store = PropertyStore::Parse(bytes);
  if (!store) return STG_E_READFAULT;
  ComPtr<LongtickControl> keep(this);
  hr = Report(counter_.Load(*store));
  dirty_ = false;
  return hr;
}

STDMETHODIMP LongtickControl::Save(LPSTREAM stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  PropertyStore store;
  counter_.Save(store);
  std::vector<uint8_t> bytes = store.Serialize();
  uint32_t size = static_cast<uint32_t>(bytes.size());
  ULONG written = 0;
  HRESULT hr = stream->Write(&size, sizeof size, &written);
  if (SUCCEEDED(hr)) hr = stream->Write(bytes.data(), size, &written);
  if (FAILED(hr)) return hr;
  if (clear_dirty) dirty_ = false;
  return S_OK;
}

STDMETHODIMP LongtickControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  PropertyStore store;
  counter_.Save(store);
  size->QuadPart = sizeof(uint32_t) + store.Serialize().size();
  return S_OK;
}

// ---- siting -----------------------------------------------------------------------------

void LongtickControl::ReadUserMode() {
  user_mode_ = true;  // without a container that says otherwise, this is run time
  ComPtr<IDispatch> ambient;
  if (!site_ || FAILED(site_->QueryInterface(IID_IDispatch, ambient.put_void()))) return;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT v;
  VariantInit(&v);
  if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)) &&
      SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BOOL)))
    user_mode_ = v.boolVal != VARIANT_FALSE;
  VariantClear(&v);
}

void LongtickControl::ContainerResized() {
  counter_.Resize(user_mode_);
  if (view_window_) ShowWindow(view_window_, user_mode_ ? SW_HIDE : SW_SHOWNA);
}

STDMETHODIMP LongtickControl::SetClientSite(IOleClientSite* site) {
  if (!site) InPlaceDeactivate();
  site_ = ComPtr<IOleClientSite>(site);
  if (site) {
    ReadUserMode();
    if (!user_mode_) ContainerResized();
  }
  return S_OK;
}

STDMETHODIMP LongtickControl::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

STDMETHODIMP LongtickControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP LongtickControl::Close(DWORD) {
  InPlaceDeactivate();
  return S_OK;
}

STDMETHODIMP LongtickControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::GetMoniker(DWORD, DWORD, IMoniker** mk) {
  if (mk) *mk = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP LongtickControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::GetClipboardData(DWORD, IDataObject** data) {
  if (data) *data = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP LongtickControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT) {
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: break;
    case OLEIVERB_HIDE:
      if (view_window_) ShowWindow(view_window_, SW_HIDE);
      return S_OK;
    default: return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
  if (view_window_) return S_OK;
  if (!site) site = site_.get();
  ComPtr<IOleInPlaceSite> inplace;
  // Without an in-place site there is nothing to show: the control is invisible at run
  // time and only draws itself through IViewObject.
  if (!site || FAILED(site->QueryInterface(IID_IOleInPlaceSite, inplace.put_void()))) return S_OK;
  if (inplace->CanInPlaceActivate() != S_OK) return OLE_E_NOT_INPLACEACTIVE;
  inplace->OnInPlaceActivate();
  HWND parent = nullptr;
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> doc;
  RECT pos{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof info;
  if (FAILED(inplace->GetWindow(&parent)) ||
      FAILED(inplace->GetWindowContext(frame.put(), doc.put(), &pos, &clip, &info))) {
    inplace->OnInPlaceDeactivate();
    return E_FAIL;
  }
  pos_ = pos;
  inplace_site_ = inplace;
  view_window_ = CreateControlWindow(this, parent, WS_CHILD | WS_CLIPSIBLINGS, pos);
  ContainerResized();
  return S_OK;
}

STDMETHODIMP LongtickControl::EnumVerbs(IEnumOLEVERB** verbs) {
  if (!verbs) return E_POINTER;
  return OleRegEnumVerbs(CLSID_Longtick, verbs);
}

STDMETHODIMP LongtickControl::Update() { return S_OK; }
STDMETHODIMP LongtickControl::IsUpToDate() { return S_OK; }

STDMETHODIMP LongtickControl::GetUserClassID(CLSID* clsid) { return GetClassID(clsid); }

STDMETHODIMP LongtickControl::GetUserType(DWORD form, LPOLESTR* type) {
  if (!type) return E_POINTER;
  return OleRegGetUserType(CLSID_Longtick, form, type);
}

STDMETHODIMP LongtickControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  // The control keeps the size of its picture whatever the container asks for.
  ContainerResized();
  return S_OK;
}

STDMETHODIMP LongtickControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP LongtickControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  if (!ole_advise_) {
    HRESULT hr = CreateOleAdviseHolder(ole_advise_.put());
    if (FAILED(hr)) return hr;
  }
  return ole_advise_->Advise(sink, cookie);
}

STDMETHODIMP LongtickControl::Unadvise(DWORD cookie) {
  return ole_advise_ ? ole_advise_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

STDMETHODIMP LongtickControl::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return ole_advise_ ? ole_advise_->EnumAdvise(out) : S_OK;
}

STDMETHODIMP LongtickControl::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = kMiscStatus;
  return S_OK;
}

STDMETHODIMP LongtickControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP LongtickControl::OnMnemonic(MSG*) { return S_OK; }

STDMETHODIMP LongtickControl::OnAmbientPropertyChange(DISPID id) {
  if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) {
    ReadUserMode();
    ContainerResized();
  }
  return S_OK;
}

STDMETHODIMP LongtickControl::FreezeEvents(BOOL freeze) {
  if (freeze)
    ++freeze_events_;
  else if (freeze_events_ > 0)
    --freeze_events_;
  return S_OK;
}

STDMETHODIMP LongtickControl::GetWindow(HWND* hwnd) {
  if (!hwnd) return E_POINTER;
  *hwnd = view_window_;
  return view_window_ ? S_OK : E_FAIL;
}

STDMETHODIMP LongtickControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::InPlaceDeactivate() {
  if (view_window_) {
    DestroyWindow(view_window_);
    view_window_ = nullptr;
  }
  if (inplace_site_) {
    ComPtr<IOleInPlaceSite> site = std::move(inplace_site_);
    site->OnInPlaceDeactivate();
  }
  return S_OK;
}

STDMETHODIMP LongtickControl::UIDeactivate() { return S_OK; }

STDMETHODIMP LongtickControl::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  pos_ = *pos;
  if (view_window_)
    MoveWindow(view_window_, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top,
               TRUE);
  ContainerResized();
  return S_OK;
}

STDMETHODIMP LongtickControl::ReactivateAndUndo() { return E_NOTIMPL; }

// ---- drawing ----------------------------------------------------------------------------

void LongtickControl::Paint(HDC dc, const RECT& r) {
  // Design time only: the picture on the face colour inside a raised frame.
  if (user_mode_) return;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  HICON icon = static_cast<HICON>(
      LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDI_LONGTICK), IMAGE_ICON, 32, 32, LR_SHARED));
  if (icon) DrawIconEx(dc, r.left + 1, r.top + 1, icon, 32, 32, 0, nullptr, DI_NORMAL);
  HPEN light = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT));
  HPEN dark = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW));
  HGDIOBJ old = SelectObject(dc, light);
  MoveToEx(dc, r.left, r.top, nullptr);
  LineTo(dc, r.right, r.top);
  MoveToEx(dc, r.left, r.top, nullptr);
  LineTo(dc, r.left, r.bottom);
  SelectObject(dc, dark);
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.right - 1, r.bottom - 1);
  MoveToEx(dc, r.right - 1, r.top, nullptr);
  LineTo(dc, r.right - 1, r.bottom);
  SelectObject(dc, old);
  DeleteObject(light);
  DeleteObject(dark);
}

STDMETHODIMP LongtickControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                   LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                   ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc) return E_INVALIDARG;
  if (!bounds) return E_POINTER;
  RECT r{bounds->left, bounds->top, bounds->right, bounds->bottom};
  Paint(dc, r);
  return S_OK;
}

STDMETHODIMP LongtickControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                          LOGPALETTE** colors) {
  if (!colors) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;
}

STDMETHODIMP LongtickControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
  if (freeze) *freeze = 0;
  return E_NOTIMPL;
}

STDMETHODIMP LongtickControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_advise_ = ComPtr<IAdviseSink>(sink);
  view_advise_aspects_ = aspects;
  view_advise_flags_ = flags;
  return S_OK;
}

STDMETHODIMP LongtickControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = view_advise_aspects_;
  if (flags) *flags = view_advise_flags_;
  if (sink) {
    *sink = view_advise_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP LongtickControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

// ---- quick activation -------------------------------------------------------------------

STDMETHODIMP LongtickControl::QuickActivate(QACONTAINER* container, QACONTROL* control) {
  if (!container || !control) return E_POINTER;
  if (container->cbSize < offsetof(QACONTAINER, pFont) ||
      control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
    return E_INVALIDARG;
  ComPtr<LongtickControl> keep(this);
  control->dwMiscStatus = kMiscStatus;
  control->dwViewStatus = 0;
  control->dwEventCookie = 0;
  control->dwPropNotifyCookie = 0;
  SetClientSite(container->pClientSite);
  // The container passed its ambient flags along: they hold whatever the site answers or
  // cannot answer (a site without ambient properties would read as run time).
  user_mode_ = (container->dwAmbientFlags & QACONTAINER_USERMODE) != 0;
  ContainerResized();
  if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
  if (container->pUnkEventSink) events_->Advise(container->pUnkEventSink, &control->dwEventCookie);
  if (container->pPropertyNotifySink)
    notify_->Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
  return S_OK;
}

STDMETHODIMP LongtickControl::SetContentExtent(LPSIZEL size) {
  if (!size) return E_POINTER;
  ContainerResized();
  return S_OK;
}

STDMETHODIMP LongtickControl::GetContentExtent(LPSIZEL size) {
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP LongtickControl::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__Longtick) ? S_OK : S_FALSE;
}

}  // namespace longtick
