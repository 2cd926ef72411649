// The control as automation clients see it: _Longtick served from the type library, its
// events raised to every connected sink, connection points and class information.
#include "longtick/control/longtick_control_win32.h"

#include <algorithm>
#include <optional>

#include "longtick/about/about_box_win32.h"
#include "win32/com_win32.h"

namespace longtick {

// About is the standard About-box method.
static_assert(kDispidAbout == DISPID_ABOUTBOX);

namespace {

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

// Raises an event on one sink. A failing sink does not keep the others from hearing it, so
// its answer is of no interest.
void InvokeSink(IUnknown* sink, DISPID id, DISPPARAMS* params) {
  win32::ScopedVariant result;
  win32::ScopedExcepInfo excep;
  UINT arg_err = 0;
  static_cast<IDispatch*>(sink)->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params,
                                        result.get(), excep.get(), &arg_err);
}

}  // namespace

void LongtickControl::PropertyChanged(int32_t dispid) {
  dirty_ = true;
  ComPtr<LongtickControl> keep(this);
  notify_->ForEachSink(
      [&](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(dispid); });
}

void LongtickControl::FireEvent(DISPID id, DISPPARAMS* params) {
  if (freeze_events_ > 0) return;
  ComPtr<LongtickControl> keep(this);
  events_->ForEachSink([&](IUnknown* sink) { InvokeSink(sink, id, params); });
}

void LongtickControl::CountDown(const TimeLeft& left) {
  if (freeze_events_ > 0) return;
  ComPtr<LongtickControl> keep(this);
  events_->ForEachSink([&](IUnknown* sink) {
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
    InvokeSink(sink, kDispidCountDown, &params);
  });
}

void LongtickControl::Timer() {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  FireEvent(kDispidTimer, &none);
}

HRESULT LongtickControl::Report(Result result) {
  if (result == Result::Ok) return S_OK;
  const bool overflow = result == Result::Overflow;
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.put()))) {
    create->SetGUID(IID__Longtick);
    create->SetSource(const_cast<LPOLESTR>(kProgId));
    create->SetDescription(
        const_cast<LPOLESTR>(overflow ? L"Overflow" : L"The timer could not be started"));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.put_void())))
      SetErrorInfo(0, info.get());
  }
  return overflow ? DISP_E_OVERFLOW : timer_error_;
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
  return Report(counter_.PutEnabled(value != VARIANT_FALSE));
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
  return CreateConnectionPointEnumerator({events_.get(), notify_.get()}, out);
}

STDMETHODIMP LongtickControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, DIID___Longtick))
    *out = events_.get();
  else if (IsEqualIID(iid, IID_IPropertyNotifySink))
    *out = notify_.get();
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

STDMETHODIMP LongtickControl::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, IID__Longtick) ? S_OK : S_FALSE;
}

}  // namespace longtick
