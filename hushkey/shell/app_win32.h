// The composition root of Hushkey.exe: owns the program state, the settings store, the
// desktop, the main window, the tray icon, the hosted timer control and the controller,
// wires them together, starts them up, and carries out the portable hand-off and ending
// over them (it is their ShutdownPort; the controller runs the commands).
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

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
#include "hushkey/modes/input_cover_win32.h"
#include "hushkey/modes/main_controller.h"
#include "hushkey/modes/main_window_win32.h"
#include "hushkey/settings/options_dialog_win32.h"
#include "hushkey/settings/registry_store_win32.h"
#include "hushkey/shell/help_window_win32.h"
#include "hushkey/shell/instance_win32.h"
#include "hushkey/shell/shutdown.h"
#include "hushkey/shell/startup.h"
#include "hushkey/modes/tray_win32.h"
#include "win32/com_win32.h"

namespace hushkey {

// The two input hooks as start-up installs them and the ending removes them. Removing them
// on purpose also ends the watchdog, which would otherwise put them back.
class Win32InputHooks final : public InputHooksPort {
 public:
  explicit Win32InputHooks(HookWatchdogWin32& watchdog) : watchdog_(watchdog) {}
  bool InstallKeyboardHook() override;
  bool InstallMouseHook() override;
  void RemoveKeyboardHook() override;
  void RemoveMouseHook() override;
  std::string LastErrorText() override;

 private:
  bool Record(bool ok);
  HookWatchdogWin32& watchdog_;
  DWORD error_ = 0;
};

class HushkeyApp final : private ShutdownPort,
                         private MainWindowEvents,
                         private DontLockIfCheckPort {
 public:
  HushkeyApp() = default;
  HushkeyApp(const HushkeyApp&) = delete;
  HushkeyApp& operator=(const HushkeyApp&) = delete;

  // Runs the program; returns the process exit code when it ends without an unload (which
  // ends the process itself with code 0).
  int Run(HINSTANCE instance);

 private:
  // Creates the timer control, the main window, the tray icon and the controller, and wires
  // them. Answers the exit code when the program cannot run (the user has been told why).
  std::optional<int> BuildMainWindow();
  // The don't-lock-if check over the Win32 clock, address table, file search and store.
  DontLockIfVerdict CheckDontLockIf() override;
  void MessageLoop();
  void ReleaseAll();
  // The Help menu's Help, its About, and the copyright picture.
  void ShowHelpText();
  void mnuHelpAbout_Click();
  void imgCopyright_Click();
  // The Options menu command: the options dialog, modal; the settings are reloaded after it
  // whatever happened in it.
  void mnuOptions_Click();

  // The main window's load handler, for the first instance once everything is built: the
  // leftovers of a killed copy undone; the system mouse speed into OrigMouseSpeed; the
  // window shown; the version label; the settings; the tray icon (its picture follows the
  // request); pending messages once; the keyboard hook, then the mouse hook; the start mode
  // entered. Answers false, the user told why, when a hook was refused.
  bool Form_Load();
  // MainWindowEvents
  MainController& Controller() override { return *controller_; }
  void OnExit() override { shutdown_->cmdExit_Click(); }
  void OnClose() override { shutdown_->Unload(UnloadReason::ControlMenu); }
  void OnEndSession() override { shutdown_->Unload(UnloadReason::WindowsEnding); }
  void OnHandOff(const std::string& text) override;
  void OnHelp() override { ShowHelpText(); }
  void OnAbout() override { mnuHelpAbout_Click(); }
  void OnCopyright() override { imgCopyright_Click(); }
  void OnOptions() override { mnuOptions_Click(); }
  // ShutdownPort
  void RestoreDesktop() override;
  bool TrayIconAdded() override;
  void DeleteTrayIcon() override;
  void ReleaseInstanceMutex() override;
  [[noreturn]] void EndProgram() override;

  HINSTANCE instance_ = nullptr;
  AppState state_;
  Win32Desktop desktop_;
  RegistrySettingsStore store_;
  Win32Clock clock_;
  Win32AddressTable addresses_;
  // The marker-file search runs on the UI thread, which also serves the input hooks: it
  // never holds that thread longer than this.
  BoundedFileSearch files_{std::make_shared<Win32FileSearch>(), std::chrono::milliseconds(100)};
  Win32NamedMutex mutex_;
  std::optional<InstanceMutex> instanceMutex_;  // held from start-up to unload
  Win32HandOffSender handOff_;
  HookWatchdogWin32 watchdog_;
  Win32InputHooks hooks_{watchdog_};
  std::optional<ProgramShutdown> shutdown_;  // once the controller is built
  std::optional<win32::ComApartment> apartment_;
  MainWindow window_;
  HelpWindow help_;
  std::unique_ptr<LongtickHost> timer_;
  std::unique_ptr<TrayIconWin32> tray_;
  std::unique_ptr<InputCoverWin32> cover_;
  std::unique_ptr<MainController> controller_;
  std::unique_ptr<FilterContext> filters_;
  OptionsDialog* options_ = nullptr;  // while the options dialog is up
};

}  // namespace hushkey
