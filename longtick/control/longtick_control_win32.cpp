// The control object's life: creation, the interfaces it answers, its windows and the
// one-second tick. Its other concerns have files of their own: automation and events,
// persistence, embedding and in-place activation, view and drawing.
#include "longtick/control/longtick_control_win32.h"

#include <string>

#include "win32/window_win32.h"

namespace longtick {

namespace {

constexpr wchar_t kWindowClass[] = L"LongtickControlWindow";
constexpr UINT_PTR kTickTimer = 1;
constexpr UINT kTickMilliseconds = 1000;
// Image1 (32x32 pixels) plus 10 twips, in HIMETRIC.
constexpr LONG kExtentHimetric = 32 * 2540 / 96 + 10 * 2540 / 1440;

LRESULT CALLBACK ControlWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Null once the control is gone: the window then only waits to be destroyed.
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
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = ControlWindowProc;
  wc.lpszClassName = kWindowClass;
  return win32::EnsureWindowClass(wc, ModuleInstance());
}

// Cuts a window loose from the control that is going away. Only the thread that made a
// window can destroy it; released on another thread, the control has that thread close it.
void DetachControlWindow(win32::UniqueWindow& window) {
  if (!window) return;
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
  if (GetWindowThreadProcessId(window.get(), nullptr) == GetCurrentThreadId())
    window.reset();
  else
    PostMessageW(window.release(), WM_CLOSE, 0, 0);
}

}  // namespace

HWND CreateControlWindow(LongtickControl* control, HWND parent, DWORD style, const RECT& r) {
  if (!EnsureWindowClass()) return nullptr;
  HWND hwnd = CreateWindowExW(0, kWindowClass, L"", style, r.left, r.top, r.right - r.left,
                              r.bottom - r.top, parent, nullptr, ModuleInstance(), nullptr);
  if (hwnd) SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
  return hwnd;
}

void UnregisterControlWindowClass() { UnregisterClassW(kWindowClass, ModuleInstance()); }

HRESULT CreateLongtickControl(IUnknown* outer, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  const ComPtr<LongtickControl> control(new (std::nothrow) LongtickControl(), false);
  if (!control) return E_OUTOFMEMORY;
  HRESULT hr = control->Init();
  if (SUCCEEDED(hr)) hr = control->QueryInterface(iid, out);
  return hr;
}

LongtickControl::LongtickControl() { extent_ = SIZEL{kExtentHimetric, kExtentHimetric}; }

LongtickControl::~LongtickControl() {
  // The connection points may outlive the control in a client's hands: cut them loose.
  for (const auto& cp : {events_, notify_}) {
    if (cp) cp->Detach();
  }
  DetachControlWindow(timer_window_);
  DetachControlWindow(view_window_);
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
  events_ = ComPtr<ConnectionPoint>(new (std::nothrow) ConnectionPoint(this, DIID___Longtick, true),
                                    false);
  notify_ = ComPtr<ConnectionPoint>(
      new (std::nothrow) ConnectionPoint(this, IID_IPropertyNotifySink, false), false);
  if (!events_ || !notify_) return E_OUTOFMEMORY;
  timer_window_.reset(CreateControlWindow(this, HWND_MESSAGE, 0, RECT{}));
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

bool LongtickControl::SetTimerRunning(bool running) {
  if (!running) {
    if (timer_window_) KillTimer(timer_window_.get(), kTickTimer);
    return true;
  }
  if (timer_window_ && SetTimer(timer_window_.get(), kTickTimer, kTickMilliseconds, nullptr))
    return true;
  const DWORD error = GetLastError();
  timer_error_ = error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
  return false;
}

}  // namespace longtick
