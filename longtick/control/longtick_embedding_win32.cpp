// The control in a container: its client site and ambient user mode, IOleObject,
// IOleControl, in-place activation and quick activation.
#include "longtick/control/longtick_control_win32.h"

#include "win32/com_win32.h"

namespace longtick {

// ---- siting -----------------------------------------------------------------------------

void LongtickControl::ReadUserMode() {
  user_mode_ = true;  // without a container that says otherwise, this is run time
  ComPtr<IDispatch> ambient;
  if (!site_ || FAILED(site_->QueryInterface(IID_IDispatch, ambient.put_void()))) return;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  win32::ScopedVariant v;
  if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT,
                                DISPATCH_PROPERTYGET, &none, v.get(), nullptr, nullptr)) &&
      SUCCEEDED(VariantChangeType(v.get(), v.get(), 0, VT_BOOL)))
    user_mode_ = v->boolVal != VARIANT_FALSE;
}

void LongtickControl::ContainerResized() {
  counter_.Resize(user_mode_);
  if (view_window_) ShowWindow(view_window_.get(), user_mode_ ? SW_HIDE : SW_SHOWNA);
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
      if (view_window_) ShowWindow(view_window_.get(), SW_HIDE);
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
  view_window_.reset(CreateControlWindow(this, parent, WS_CHILD | WS_CLIPSIBLINGS, pos));
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
  *hwnd = view_window_.get();
  return view_window_ ? S_OK : E_FAIL;
}

STDMETHODIMP LongtickControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP LongtickControl::InPlaceDeactivate() {
  view_window_.reset();
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
    MoveWindow(view_window_.get(), pos->left, pos->top, pos->right - pos->left,
               pos->bottom - pos->top, TRUE);
  ContainerResized();
  return S_OK;
}

STDMETHODIMP LongtickControl::ReactivateAndUndo() { return E_NOTIMPL; }

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

}  // namespace longtick
