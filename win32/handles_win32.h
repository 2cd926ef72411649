// Owners for the Win32 handles the programs hold: one move-only template, an alias per
// handle kind, and a scoped SelectObject. Every handle the code keeps is released by its
// owner, on every path.
#pragma once

#include <windows.h>

#include <utility>

namespace win32 {

// A handle kind whose empty value is the null handle and which one function releases.
template <class H, auto Release>
struct NullHandleTraits {
  using Handle = H;
  static constexpr Handle Empty() { return Handle{}; }
  static void Close(Handle h) { Release(h); }
};

template <class Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() = default;
  explicit UniqueHandle(Handle h) : h_(h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Empty(); }
  // Releases the held handle (its result is of no interest) and takes h.
  void reset(Handle h = Traits::Empty()) {
    if (h_ != Traits::Empty()) Traits::Close(h_);
    h_ = h;
  }
  // Gives the handle up without releasing it.
  Handle release() { return std::exchange(h_, Traits::Empty()); }
  // For a function that hands the handle out through a pointer: releases the held one.
  Handle* put() {
    reset();
    return &h_;
  }

 private:
  Handle h_ = Traits::Empty();
};

// A directory search: its failure value is INVALID_HANDLE_VALUE, not null.
struct FindHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) {
    if (h) FindClose(h);
  }
};

// A file: CreateFile's failure value is INVALID_HANDLE_VALUE as well.
struct FileHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) {
    if (h) CloseHandle(h);
  }
};

using UniqueHook = UniqueHandle<NullHandleTraits<HHOOK, &UnhookWindowsHookEx>>;
using UniqueKey = UniqueHandle<NullHandleTraits<HKEY, &RegCloseKey>>;
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, &DestroyMenu>>;
using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, &DestroyIcon>>;
using UniqueFont = UniqueHandle<NullHandleTraits<HFONT, &DeleteObject>>;
using UniqueBrush = UniqueHandle<NullHandleTraits<HBRUSH, &DeleteObject>>;
using UniquePen = UniqueHandle<NullHandleTraits<HPEN, &DeleteObject>>;
using UniqueBitmap = UniqueHandle<NullHandleTraits<HBITMAP, &DeleteObject>>;
using UniqueMemoryDc = UniqueHandle<NullHandleTraits<HDC, &DeleteDC>>;
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &DestroyWindow>>;
using UniqueModule = UniqueHandle<NullHandleTraits<HMODULE, &FreeLibrary>>;
// Kernel objects (a mutex, a process): CreateMutex and friends answer null on failure.
using UniqueKernelObject = UniqueHandle<NullHandleTraits<HANDLE, &CloseHandle>>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;

// The screen's device context, for the time it is needed.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects a GDI object into a device context and puts the previous one back at the end of
// the scope.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace win32
