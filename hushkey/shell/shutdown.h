// How the program ends. Closing the main window with its close box only hides it; every
// other unload returns the program to mode 0 and tears down what start-up built, in order:
// keyboard hook, mouse hook, tray icon, instance mutex, and then the program ends at once.
#pragma once

#include <cstdint>

#include "hushkey/shell/main_commands.h"
#include "hushkey/shell/startup.h"

namespace hushkey {

// Why the main window is being unloaded.
enum class UnloadReason : std::int16_t {
  ControlMenu = 0,    // close box or the control menu's Close: hide to the tray
  Program = 1,        // the program's own Exit, the hand-off "-3"
  WindowsEnding = 2,  // Windows shuts down or the user logs off
  TaskManager = 3,    // the message loop was told to quit
};

// What the ending needs besides the main window's commands and the hooks.
class ShutdownPort {
 public:
  virtual ~ShutdownPort() = default;
  // Puts the desktop back as the user had it (a flash under way is ended, a mouse speed the
  // program set is undone): the main controller's RestoreDesktop.
  virtual void RestoreDesktop() = 0;
  // Whether the tray icon has been added, and its removal.
  virtual bool TrayIconAdded() = 0;
  virtual void DeleteTrayIcon() = 0;
  // Releases the instance mutex (InstanceMutex::Release); a new start then runs as the
  // first instance.
  virtual void ReleaseInstanceMutex() = 0;
  // Ends the process at once: no further event of any window runs.
  virtual void EndProgram() = 0;
};

class ProgramShutdown {
 public:
  // All references must outlive the object.
  ProgramShutdown(MainWindowCommandsPort& commands, InputHooksPort& hooks, ShutdownPort& app);

  // The main window's query-unload handler; answers true when the unload is cancelled.
  // ControlMenu: the window is minimised and hidden and the unload cancelled. Any other
  // reason: the desktop is restored and Cancel returns the program to mode 0. Once an unload has
  // been let through, every later request is cancelled: the first one finishes the ending.
  bool Form_QueryUnload(UnloadReason reason);
  // The tear-down: keyboard hook, mouse hook, the tray icon if it was added, the instance
  // mutex; then the program ends.
  void Form_Unload();
  // A close request: Form_QueryUnload and, unless it was cancelled, Form_Unload.
  void Unload(UnloadReason reason);
  // The Exit button, the Exit menu commands and the hand-off "-3".
  void cmdExit_Click() { Unload(UnloadReason::Program); }

 private:
  MainWindowCommandsPort& commands_;
  InputHooksPort& hooks_;
  ShutdownPort& app_;
  bool unloading_ = false;
};

}  // namespace hushkey
