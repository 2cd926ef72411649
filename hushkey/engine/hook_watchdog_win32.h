// The hook watchdog on Win32: a hidden window receives the raw input of every keyboard and
// mouse event (also while another program is in front); raw input of a kind whose hook has
// gone quiet means the system dropped that hook, and both hooks are installed again.
#pragma once

#include <windows.h>

#include <functional>

#include "win32/handles_win32.h"
#include "win32/window_base_win32.h"

namespace hushkey {

class HookWatchdogWin32 final : private win32::WindowBase {
 public:
  HookWatchdogWin32() = default;
  ~HookWatchdogWin32() { Stop(); }
  HookWatchdogWin32(const HookWatchdogWin32&) = delete;
  HookWatchdogWin32& operator=(const HookWatchdogWin32&) = delete;

  // Starts watching; `onReinstalled` runs after the hooks were installed again (the
  // program forgets its Alt keys then: the dropped hook may have missed a release). False
  // when the system offers no raw input.
  bool Start(HINSTANCE instance, std::function<void()> onReinstalled);
  void Stop();

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  bool Listen(bool on);
  void OnRawInput(HRAWINPUT input);
  void OnRestEnd();
  void Reinstall();

  win32::UniqueWindow window_;
  std::function<void()> onReinstalled_;
};

}  // namespace hushkey
