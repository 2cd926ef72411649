#include "hushkey/engine/hook_watchdog_win32.h"

#include "hushkey/engine/hooks_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

constexpr wchar_t kClassName[] = L"HushkeyHookWatchdog";
// HID usage page "generic desktop": mouse 2, keyboard 6.
constexpr USHORT kGenericDesktop = 1, kUsageMouse = 2, kUsageKeyboard = 6;
constexpr UINT_PTR kRestTimer = 1;

}  // namespace

bool HookWatchdogWin32::Start(HINSTANCE instance, std::function<void()> onReinstalled) {
  Stop();
  onReinstalled_ = std::move(onReinstalled);
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = &win32::WindowBase::WindowProc;
  wc.lpszClassName = kClassName;
  if (!win32::EnsureWindowClass(wc, instance)) return false;
  // A plain window that is never shown: raw input for the background needs a real target.
  window_.reset(CreateHandle(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, instance));
  if (!window_) return false;
  if (!Listen(true)) {
    window_.reset();
    return false;
  }
  // The hooks count as heard from now: one dropped before its first event is found too.
  HooksWatchdog().Reinstalled(GetTickCount());
  return true;
}

void HookWatchdogWin32::Stop() {
  if (!window_) return;
  Listen(false);
  window_.reset();  // and its rest timer with it
}

// Raw input of both kinds to the hidden window, also while another program is in front.
bool HookWatchdogWin32::Listen(bool on) {
  const DWORD flags = on ? RIDEV_INPUTSINK : RIDEV_REMOVE;
  HWND target = on ? window_.get() : nullptr;
  const RAWINPUTDEVICE devices[] = {
      {kGenericDesktop, kUsageKeyboard, flags, target},
      {kGenericDesktop, kUsageMouse, flags, target},
  };
  return RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE)) != FALSE;
}

LRESULT HookWatchdogWin32::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INPUT) {
    OnRawInput(reinterpret_cast<HRAWINPUT>(lp));
    // The system cleans the input up in the default handling.
  }
  if (msg == WM_TIMER && wp == kRestTimer) {
    KillTimer(hwnd, kRestTimer);
    OnRestEnd();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void HookWatchdogWin32::OnRawInput(HRAWINPUT input) {
  RAWINPUTHEADER header{};
  UINT size = sizeof(header);
  if (GetRawInputData(input, RID_HEADER, &header, &size, sizeof(RAWINPUTHEADER)) ==
      static_cast<UINT>(-1))
    return;
  InputKind kind;
  if (header.dwType == RIM_TYPEKEYBOARD)
    kind = InputKind::Keyboard;
  else if (header.dwType == RIM_TYPEMOUSE)
    kind = InputKind::Mouse;
  else
    return;
  // One event judged; the rest of a burst would say the same. The timer only runs after
  // input, so an idle desktop costs nothing.
  if (SetTimer(window_.get(), kRestTimer, HookWatchdog::kRestMs, nullptr)) Listen(false);
  if (HooksWatchdog().HookMissed(kind, GetTickCount())) Reinstall();
}

void HookWatchdogWin32::OnRestEnd() {
  Listen(true);
  LASTINPUTINFO last{sizeof(LASTINPUTINFO), 0};
  if (GetLastInputInfo(&last) && HooksWatchdog().MissedWhileResting(last.dwTime, GetTickCount()))
    Reinstall();
}

void HookWatchdogWin32::Reinstall() {
  ReinstallHooks();
  if (onReinstalled_) onReinstalled_();
}

}  // namespace hushkey
