// The main window's commands as the start-up, the hand-off from a second start and the
// program's ending run them. The Win32 side implements the port over the main window's
// controller; the mode commands write CurrentMode themselves.
#pragma once

#include <functional>

#include "hushkey/engine/lock_mode.h"

namespace hushkey {

class MainWindowCommandsPort {
 public:
  virtual ~MainWindowCommandsPort() = default;
  // The mode commands of the main window's buttons.
  virtual void cmdLockAll_Click() = 0;
  virtual void cmdAutoLock_Click() = 0;
  virtual void cmdBlockWinCtrl_Click() = 0;
  virtual void cmdAllowOnly_Click() = 0;
  virtual void cmdCancel_Click() = 0;
  // Exit: unloads the main window, which ends the program (ProgramShutdown::cmdExit_Click).
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

// Runs the mode command for a mode code: 1 Block Win Ctrl, 2 Lock, 3 Auto Lock, 4 Allow
// Only, 20 Lock and then CurrentMode 20 (locked, returning to autolock on unlock). Answers
// false, and runs nothing, for any other code.
bool RunModeCommand(LockMode code, MainWindowCommandsPort& commands);

}  // namespace hushkey
