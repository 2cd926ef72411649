// The main window and the tray as the mode logic sees them. The Win32 main window and tray
// adapters implement these; tests use fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/engine/layout_units.h"
#include "hushkey/engine/mode_table.h"

namespace hushkey {

class MainViewPort {
 public:
  virtual ~MainViewPort() = default;
  // Enabled states: the four mode buttons always together, the Options menu command, Exit,
  // Cancel. CancelEnabled reads back what the window shows.
  virtual void SetModeButtonsEnabled(bool on) = 0;
  virtual void SetOptionsEnabled(bool on) = 0;
  virtual void SetExitEnabled(bool on) = 0;
  virtual void SetCancelEnabled(bool on) = 0;
  virtual bool CancelEnabled() = 0;
  // The status message bar (lblMsg); its caption is also the tray tooltip.
  virtual void SetMessage(const std::string& text) = 0;
  virtual std::string Message() = 0;
  // The coloured highlight frame (shpMsg) drawn behind the buttons.
  virtual void ShowHighlight(const TwipsRect& where, Colour colour) = 0;
  virtual void HideHighlight() = 0;
  // The Auto Lock button's tool tip, which holds the countdown description.
  virtual void SetAutoLockToolTip(const std::string& text) = 0;
  virtual std::string AutoLockToolTip() = 0;
  // Window visibility: Hide hides it (the tray icon stays); Restore shows it normal and
  // brings it to the front; MinimiseToTray minimises and hides it.
  virtual void Hide() = 0;
  virtual void Restore() = 0;
  virtual void MinimiseToTray() = 0;
  // The tray's right-button menu: bring the window to the front, then pop up the tray menu
  // ("Restore", "Exit") at the pointer.
  virtual void ShowTrayMenu() = 0;
  // Empties the hidden hand-off text box (txtChangeModeHid).
  virtual void ClearHandOffBox() = 0;
  // The one-shot timer that ends the tray and pointer flash: (re)armed for ms milliseconds;
  // its tick calls the controller's timFlashEnd_Timer.
  virtual void ArmFlashEndTimer(std::int32_t ms) = 0;
};

class TrayPort {
 public:
  virtual ~TrayPort() = default;
  // Adds the icon with no picture and no tip (first refresh), then lets pending window
  // messages be processed once. Answers true when the tray also reports the keyboard (the
  // context-menu and key-select codes instead of the bare right-button release).
  virtual bool Add() = 0;
  // Shows the icon and tooltip (already cut to what the tray record holds).
  virtual void Modify(TrayIcon icon, const std::string& tip) = 0;
  // A notification from the icon that takes no focus and makes no sound.
  virtual void Notify(const std::string& text) = 0;
  virtual void Delete() = 0;
  // The flash: every system pointer shape shows the blocked picture, then the user's own.
  virtual void SetBlockedCursors() = 0;
  virtual void RestoreCursors() = 0;
};

// The input cover: one window over every monitor that takes every touch, pen stroke and
// mouse hit itself and does nothing with them, never taking the focus. Touches and pen
// strokes reach programs that read pointer input without passing the mouse hook.
class InputCoverPort {
 public:
  virtual ~InputCoverPort() = default;
  // Puts the cover up, or changes how it looks: practically invisible, or (dim) a dark veil
  // with `text` in the middle of each monitor.
  virtual void Show(bool dim, const std::string& text) = 0;
  virtual void Hide() = 0;
};

// The main window's commands as the start-up, the hand-off from a second start and the
// program's ending run them: the main controller. The mode commands write CurrentMode.
class MainWindowCommandsPort {
 public:
  virtual ~MainWindowCommandsPort() = default;
  // The mode commands of the main window's buttons.
  virtual void cmdLockAll_Click() = 0;
  virtual void cmdAutoLock_Click() = 0;
  virtual void cmdBlockWinCtrl_Click() = 0;
  virtual void cmdAllowOnly_Click() = 0;
  virtual void cmdCancel_Click() = 0;
  // Exit: unloads the main window, which ends the program.
  virtual void cmdExit_Click() = 0;
  // The tray menu's Restore: shows the window normally and brings it to the front.
  virtual void mnuPopupRestore_Click() = 0;
  // Minimises the main window and hides it; only the tray icon stays.
  virtual void MinimiseToTray() = 0;
  // Empties the hidden hand-off text box (txtChangeModeHid).
  virtual void ClearHandOffBox() = 0;
  // Lock, then mode 20: locked, returning to autolock on unlock. One command, so that when
  // it has to wait for another, the mode is not set before the lock has run.
  virtual void LockReturningToAutolock() = 0;
  // Runs `steps`, calls of the commands above, as one mode command (see
  // MainController::AsOneCommand). While another command runs, `steps` is kept and run after
  // it: it must not refer to anything that ends with the caller.
  virtual void AsOneCommand(const std::function<void()>& steps) = 0;
};

// The don't-lock-if check as the main window calls it: what it found, changing nothing.
class DontLockIfCheckPort {
 public:
  virtual ~DontLockIfCheckPort() = default;
  virtual DontLockIfVerdict CheckDontLockIf() = 0;
};

}  // namespace hushkey
