// The tray icon and the pointer flash on Win32: Shell_NotifyIconW with one icon record for
// the program's whole run, icons loaded by resource name and released after each update,
// and the sixteen system pointers replaced by the blocked picture and restored.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/modes/main_ports.h"

namespace hushkey {

// The resource name of each tray picture.
const wchar_t* TrayIconResourceName(TrayIcon icon);

class TrayIconWin32 final : public TrayPort {
 public:
  // `window` receives the tray callbacks as `callbackMessage` with the mouse event code in
  // lParam; `instance` holds the icon resources.
  TrayIconWin32(HINSTANCE instance, HWND window, UINT callbackMessage);
  ~TrayIconWin32() override;
  TrayIconWin32(const TrayIconWin32&) = delete;
  TrayIconWin32& operator=(const TrayIconWin32&) = delete;

  bool Add() override;
  void Modify(TrayIcon icon, const std::string& tip) override;
  void Notify(const std::string& text) override;
  void Delete() override;
  void SetBlockedCursors() override;
  void RestoreCursors() override;

 private:
  // Shows the wanted icon and tip, and the notice, if an update is pending.
  void Flush();

  HINSTANCE instance_;
  NOTIFYICONDATAW data_{};
  bool added_ = false;
  TrayIcon wanted_ = TrayIcon::Blank;
  std::string wantedTip_;
  bool pending_ = false;  // wanted_ and wantedTip_ are not shown yet
  std::string notice_;    // a notification not shown yet
  // The notification area belongs to another process: inside an input hook call the update
  // waits until the hook procedure has returned. Whatever is wanted then is shown.
  DeferredApply flush_{[this] { Flush(); }};
};

}  // namespace hushkey
