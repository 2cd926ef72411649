// What the control looks like at design time: its picture in a raised frame, drawn in its
// own window or into a container's device context (IViewObject2).
#include "longtick/control/longtick_control_win32.h"

#include "longtick/control/control_resource_ids.h"
#include "win32/handles_win32.h"

namespace longtick {

void LongtickControl::Paint(HDC dc, const RECT& r) {
  // Design time only: the picture on the face colour inside a raised frame.
  if (user_mode_) return;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  HICON icon = static_cast<HICON>(
      LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDI_LONGTICK), IMAGE_ICON, 32, 32, LR_SHARED));
  if (icon) DrawIconEx(dc, r.left + 1, r.top + 1, icon, 32, 32, 0, nullptr, DI_NORMAL);
  const win32::UniquePen light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DLIGHT)));
  const win32::UniquePen dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DDKSHADOW)));
  {
    const win32::SelectGuard pen(dc, light.get());
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.right, r.top);
    MoveToEx(dc, r.left, r.top, nullptr);
    LineTo(dc, r.left, r.bottom);
  }
  const win32::SelectGuard pen(dc, dark.get());
  MoveToEx(dc, r.left, r.bottom - 1, nullptr);
  LineTo(dc, r.right - 1, r.bottom - 1);
  MoveToEx(dc, r.right - 1, r.top, nullptr);
  LineTo(dc, r.right - 1, r.bottom);
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

}  // namespace longtick
