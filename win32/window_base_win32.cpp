#include "win32/window_base_win32.h"

namespace win32 {

WindowBase::~WindowBase() {
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

HWND WindowBase::CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                              DWORD style, int x, int y, int width, int height, HWND parent,
                              HMENU menu, HINSTANCE instance) {
  // The creation parameter is the base's own address: the window procedure reads it back
  // as a WindowBase, whichever class derives from it and where the base sits in it.
  HWND hwnd = CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent, menu,
                              instance, static_cast<WindowBase*>(this));
  if (!hwnd) hwnd_ = nullptr;
  return hwnd;
}

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  WindowBase* self;
  if (msg == WM_NCCREATE) {
    self = static_cast<WindowBase*>(reinterpret_cast<const CREATESTRUCTW*>(lp)->lpCreateParams);
    if (self) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // The window's last message: from here on it knows no object, and the object no window.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
  }
  return self->HandleMessage(hwnd, msg, wp, lp);
}

}  // namespace win32
