#include "hushkey/engine/hook_watchdog_win32.h"

#include "hushkey/engine/hooks_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

constexpr wchar_t kClassName[] = L"HushkeyHookWatchdog";
// HID usage page "generic desktop": mouse 2, keyboard 6.
constexpr USHORT kGenericDesktop = 1, kUsageMouse = 2, kUsageKeyboard = 6;

}  // namespace

bool HookWatchdogWin32::Start(HINSTANCE instance, std::function<void()> onReinstalled) {
  Stop();
  onReinstalled_ = std::move(onReinstalled);
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = &HookWatchdogWin32::WindowProc;
  wc.lpszClassName = kClassName;
  if (!win32::EnsureWindowClass(wc, instance)) return false;
  // A plain window that is never shown: raw input for the background needs a real target.
  window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, this));
  if (!window_) return false;
  SetWindowLongPtrW(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const RAWINPUTDEVICE devices[] = {
      {kGenericDesktop, kUsageKeyboard, RIDEV_INPUTSINK, window_.get()},
      {kGenericDesktop, kUsageMouse, RIDEV_INPUTSINK, window_.get()},
  };
  if (!RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE))) {
    window_.reset();
    return false;
  }
  // The hooks count as heard from now: one dropped before its first event is found too.
  HooksWatchdog().Reinstalled(GetTickCount());
  return true;
}

void HookWatchdogWin32::Stop() {
  if (!window_) return;
  RAWINPUTDEVICE devices[] = {
      {kGenericDesktop, kUsageKeyboard, RIDEV_REMOVE, nullptr},
      {kGenericDesktop, kUsageMouse, RIDEV_REMOVE, nullptr},
  };
  RegisterRawInputDevices(devices, 2, sizeof(RAWINPUTDEVICE));
  window_.reset();
}

LRESULT CALLBACK HookWatchdogWin32::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = reinterpret_cast<HookWatchdogWin32*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_INPUT && self) {
    self->OnRawInput(reinterpret_cast<HRAWINPUT>(lp));
    // The system cleans the input up in the default handling.
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
  if (!HooksWatchdog().HookMissed(kind, GetTickCount())) return;
  ReinstallHooks();
  ++reinstalls_;
  if (onReinstalled_) onReinstalled_();
}

}  // namespace hushkey
