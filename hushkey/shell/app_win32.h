// The composition root of hushkey.exe: owns the program state, the settings store, the
// desktop, the main window, the tray icon, the hosted timer control and the controller,
// wires them together, runs the start-up and the message loop, and tears everything down
// on exit.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "hushkey/autolock/bounded_file_search.h"
#include "hushkey/autolock/clock_win32.h"
#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/autolock/file_exists_win32.h"
#include "hushkey/autolock/local_ip_win32.h"
#include "hushkey/autolock/longtick_host_win32.h"
#include "hushkey/engine/app_state.h"
#include "hushkey/engine/desktop_win32.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/hook_watchdog_win32.h"
#include "hushkey/modes/main_controller.h"
#include "hushkey/modes/main_window_win32.h"
#include "hushkey/settings/options_dialog_win32.h"
#include "hushkey/settings/registry_store_win32.h"
#include "hushkey/shell/tray_win32.h"
#include "win32/com_win32.h"

namespace hushkey {

class HushkeyApp {
 public:
  HushkeyApp() = default;
  HushkeyApp(const HushkeyApp&) = delete;
  HushkeyApp& operator=(const HushkeyApp&) = delete;

  // Runs the program; returns the process exit code when it ends without Exit (which ends
  // the process itself with code 0).
  int Run(HINSTANCE instance);

 private:
  // False when the program cannot run (the user has been told why).
  bool FormLoad();
  bool CheckDontLockIfNow();
  int MessageLoop();
  // Exit button and menus: back to mode 0, hooks off (keyboard, then mouse), tray icon
  // deleted, control released, process ended with code 0.
  [[noreturn]] void Exit();
  void ReleaseAll();
  // The Options menu command: the options dialog, modal; the settings are reloaded after it
  // whatever happened in it.
  void mnuOptions_Click();

  AppState state_;
  Win32Desktop desktop_;
  RegistrySettingsStore store_;
  Win32Clock clock_;
  Win32AddressTable addresses_;
  // The marker-file search runs on the UI thread, which also serves the input hooks: it
  // never holds that thread longer than this.
  BoundedFileSearch files_{std::make_shared<Win32FileSearch>(), std::chrono::milliseconds(100)};
  // The don't-lock-if check over the Win32 clock, address table, file search and store;
  // it announces a suspension through the controller.
  DontLockIfCheckFunction check_{[this] { return CheckDontLockIfNow(); }};
  MainWindow window_;
  std::unique_ptr<LongtickHost> timer_;
  std::unique_ptr<TrayIconWin32> tray_;
  std::unique_ptr<MainController> controller_;
  std::unique_ptr<FilterContext> filters_;
  HookWatchdogWin32 watchdog_;
  OptionsDialog* options_ = nullptr;              // while the options dialog is up
  std::optional<win32::ComApartment> apartment_;  // entered by Run
};

}  // namespace hushkey
