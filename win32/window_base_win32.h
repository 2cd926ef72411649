// The base of every window class of the programs: one window procedure for all of them that
// finds the object serving a window and hands it the window's messages. The object is
// stored with the window from WM_NCCREATE to WM_NCDESTROY, and never longer: a window that
// outlives its object (or the other way round) reaches no freed object.
#pragma once

#include <windows.h>

namespace win32 {

class WindowBase {
 public:
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  // The window this object serves: set from its WM_NCCREATE, null again from its
  // WM_NCDESTROY on (and before the window exists).
  HWND Handle() const { return hwnd_; }

  // The window procedure of every such class (WNDCLASSEXW::lpfnWndProc), for windows made
  // by CreateHandle. Messages before WM_NCCREATE and after WM_NCDESTROY get the default
  // handling; WM_NCDESTROY itself still reaches HandleMessage, with Handle() already null.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  WindowBase() = default;
  // An object that goes while its window stays leaves the window without it.
  ~WindowBase();

  // CreateWindowExW for a window of a class whose procedure is WindowProc, served by this
  // object. Null when the window could not be created.
  HWND CreateHandle(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance);

  // A message of the window; what is not handled goes to DefWindowProcW(hwnd, ...).
  virtual LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) = 0;

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace win32
