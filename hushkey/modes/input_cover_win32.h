// The input cover on Win32: one topmost layered popup over the whole virtual screen, never
// activated, that takes every touch, pen and mouse hit itself and does nothing with them.
// Practically invisible (alpha 1 of 255), or a veil of 30 % black with a line of text in
// the middle of each monitor at that monitor's DPI, drawn once per show, display change or
// DPI change. It keeps itself above topmost windows that come later by watching (WinEvent
// hooks) for windows being created, shown, reordered or brought to the front: nothing runs
// while nothing happens.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/modes/main_ports.h"
#include "win32/window_base_win32.h"

namespace hushkey {

inline constexpr wchar_t kInputCoverClass[] = L"HushkeyInputCover";

class InputCoverWin32 final : public InputCoverPort, public win32::WindowBase {
 public:
  explicit InputCoverWin32(HINSTANCE instance) : instance_(instance) {}
  ~InputCoverWin32() override;
  InputCoverWin32(const InputCoverWin32&) = delete;
  InputCoverWin32& operator=(const InputCoverWin32&) = delete;

  // Inside an input hook call the window is made, changed or taken down right after the
  // hook procedure has returned, as whatever is wanted by then.
  void Show(bool dim, const std::string& text) override;
  void Hide() override;
  // Takes the cover down at once (the program ends).
  void Destroy();

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  // Makes the window what is wanted: created, drawn and put first, or gone.
  void Apply();
  void TakeDown();
  // Covers the virtual screen again and draws the look.
  void Draw();
  void DrawVeil(const RECT& screen);
  // Puts the cover first again when a window that takes input lies above it.
  void KeepOnTop();
  static void CALLBACK OnWinEvent(HWINEVENTHOOK hook, DWORD event, HWND hwnd, LONG object,
                                  LONG child, DWORD thread, DWORD time);

  HINSTANCE instance_;
  bool wanted_ = false;
  bool dim_ = false;
  std::wstring text_;
  bool drawnDim_ = false;  // the look of the window there is
  std::wstring drawnText_;
  HWINEVENTHOOK watch_[2]{};
  // Creating and showing a window over every other is not done inside a hook call, where
  // the system gives the hook procedure little time. Whatever is wanted then is done.
  DeferredApply apply_{[this] { Apply(); }};
};

}  // namespace hushkey
