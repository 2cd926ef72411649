// The main window's logic: the mode commands, the status display, the tray icon and its
// flash, the countdown description and the inactivity timer's event. Everything platform
// specific is reached through ports; the Win32 main window forwards its events here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "hushkey/engine/app_state.h"
#include "hushkey/engine/ports.h"
#include "hushkey/modes/main_ports.h"
#include "hushkey/engine/settings_record.h"

namespace hushkey {

// Loads the settings from the store; the original mouse speed is the default for MouseSpd.
using SettingsLoader = std::function<Settings(std::int32_t origMouseSpeed)>;

// Tray callback codes (the mouse message in the callback's lParam).
inline constexpr std::uint32_t kTrayLeftButtonUp = 514;
inline constexpr std::uint32_t kTrayLeftButtonDoubleClick = 515;
inline constexpr std::uint32_t kTrayRightButtonUp = 517;
// A tray that reports the keyboard sends these: the context menu (right button, Shift+F10,
// the menu key) and Enter or Space on the focused icon.
inline constexpr std::uint32_t kTrayContextMenu = 0x007B;
inline constexpr std::uint32_t kTrayKeySelect = 0x0401;

class MainController final : public FilterActionPort, public MainWindowCommandsPort {
 public:
  // All references must outlive the controller.
  MainController(AppState& state, MainViewPort& view, TrayPort& tray, InputCoverPort& cover,
                 InactivityTimerPort& timer, DesktopPort& desktop, DontLockIfCheckPort& check,
                 SettingsLoader loadSettings);

  // Mode commands (also the buttons' click handlers).
  void cmdLockAll_Click() override;
  // The Lock command with the mode then set to 20 (Alt+Home returns to autolock), as one
  // command: asked for while another runs, both steps wait for it together.
  void LockReturningToAutolock() override;
  void cmdAutoLock_Click() override;
  void cmdBlockWinCtrl_Click() override;
  void cmdAllowOnly_Click() override;
  void cmdCancel_Click() override;
  void cmdExit_Click() override;
  void LockAll() override;

  // Status display and tray icon for CurrentMode.
  void UserMsg();
  void UpdateTrayIcon();

  // True when locking is to be held back now. Moves between autolock (3) and suspended
  // (30) by what the check found: a condition that no longer holds ends a suspension
  // quietly; one that starts to hold in 3 moves to 30 and shows it (status, then tray).
  bool CheckDontLockIf();

  // The flash of the tray icon and the pointers after swallowed input; the caller has
  // already disabled the one-shot flash timer. The blocked picture goes up and a 150 ms
  // timer is armed; its tick (timFlashEnd_Timer) puts the mode's icon and the user's
  // pointers back once 150 ms have passed since the last swallowed input, and waits out the
  // rest otherwise. Input swallowed while the picture is up only notes its time, so a held
  // key never stacks one flash on another.
  void timFlashTray_Timer();
  void timFlashEnd_Timer();
  bool FlashShowing() const { return flashShowing_; }
  // How often the blocked picture was put up since start-up.
  int FlashesShown() const { return flashesShown_; }

  // Puts the desktop back as the user had it, before the program ends in any way: a flash
  // under way is ended (icon and pointers), a mouse speed the program set is undone and
  // the input cover goes.
  void RestoreDesktop();

  // The input cover is up (as asked of the cover port): while the mode swallows mouse
  // clicks and BlockTouch is on. It follows the mode when a mode command has finished, when
  // the allow-only delay starts and when the settings are reloaded.
  bool InputCoverShown() const { return coverLook_.has_value(); }

  // The taskbar was created anew (the shell restarted): the tray icon it had is gone, so it
  // is added again with the current picture and tooltip. Nothing when there was none.
  void OnTaskbarCreated();

  // The session was locked, unlocked or switched: the Alt keys' state the filters
  // remember may have missed a release, so it is dropped.
  void OnSessionChange();

  // Reloads the settings and gives the inactivity timer its interval and the Auto Lock
  // button its countdown description.
  void RefreshSettings();

  // The inactivity timer's Timer event.
  void Longtick1_Timer();

  // Tray callback (the event code the tray puts in lParam).
  void OnTrayCallback(std::uint32_t code);
  void mnuPopupRestore_Click() override { view_.Restore(); }
  void MinimiseToTray() override { view_.MinimiseToTray(); }
  void ClearHandOffBox() override { view_.ClearHandOffBox(); }

  // What the input filters request besides the mode commands, and Exit: they go to hooks
  // the program installs (the flash timer; the options dialog's entry gate; the ending).
  // Without a hook the request is ignored.
  struct Hooks {
    std::function<void()> flashTimer, entryGate, exit;
  };
  void SetHooks(Hooks hooks) { hooks_ = std::move(hooks); }
  void EnableFlashTimer() override;
  void OpenEntryGate() override;
  bool CommandRunning() const override { return commandDepth_ > 0; }
  void RunWhenIdle(std::function<void()> work) override;

  // Runs `steps` (calls of the mode commands) as one command: commands that come meanwhile
  // wait until all of the steps are done, and the filters decide with the stricter of the
  // mode before and the mode now throughout (a second start moving a locked desktop
  // from one lock to another).
  void AsOneCommand(const std::function<void()>& steps) override;
  // True during the allow-only command's delay, when the mode reads 0 but allow-only comes.
  bool AllowOnlyPending() const { return allowOnlyPending_; }

  // The tray icon exists once the first UpdateTrayIcon has added it (even if the platform
  // call failed). DeleteTrayIcon removes it on unload; afterwards nothing is shown in the
  // tray until the next UpdateTrayIcon adds it again.
  bool TrayIconAdded() const { return trayAdded_; }
  // How often the icon was added: at start-up, and again after each taskbar re-creation.
  int TrayIconAdds() const { return trayAdds_; }
  void DeleteTrayIcon();

 private:
  void AddTrayIcon();
  // Holds a mode command that comes while another one runs; true when it was held. The
  // outermost running command runs the held ones when it has finished.
  bool Queued(void (MainController::*command)());
  // No command runs, or only the steps of AsOneCommand themselves are running.
  bool MayRunNow() const;
  // The accessibility shortcuts off while the mode swallows or filters keys, back otherwise.
  void SyncAccessShortcuts();
  // The input cover up (with the look the settings ask for) exactly while it is wanted.
  void SyncInputCover();
  class CommandScope {
   public:
    explicit CommandScope(MainController& c);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

   private:
    MainController& c_;
  };
  // The steps of the manual lock in `mode` (2, or 20 for LockAll).
  void LockSteps(LockMode mode);
  // When a command leaves the desktop locked: once per lock, while the reminder setting is
  // on, a notification naming the unlock keys.
  void SyncLockNotice();
  void SetEnabledStates(bool modeButtons, bool options, bool exit, bool cancel);
  void EndFlash();
  void Highlight(MainButton button, Colour colour);

  AppState& state_;
  MainViewPort& view_;
  TrayPort& tray_;
  InputCoverPort& cover_;
  InactivityTimerPort& timer_;
  DesktopPort& desktop_;
  DontLockIfCheckPort& check_;
  SettingsLoader loadSettings_;
  Hooks hooks_;
  int commandDepth_ = 0;
  bool composing_ = false;  // AsOneCommand's steps are running
  bool allowOnlyPending_ = false;
  bool shortcutsOff_ = false;
  std::optional<bool> coverLook_;  // while the cover is up: whether it is dimmed
  std::vector<std::function<void()>> queued_;
  bool trayAdded_ = false;
  bool trayKeyboard_ = false;  // the tray sends the context-menu and key-select codes
  bool lockAnnounced_ = false;
  int trayAdds_ = 0;
  int flashesShown_ = 0;
  std::uint32_t flashLastCueTick_ = 0;  // the last swallowed input while the picture is up
  bool flashShowing_ = false;
  std::string trayTip_;  // the tooltip the tray currently holds
};

}  // namespace hushkey
