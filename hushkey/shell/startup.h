// The program's start-up: the start request from the command line, the single-instance
// check, and the steps that bring the main window, the tray icon and the input hooks up
// before the start mode is entered.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hushkey/engine/app_state.h"
#include "hushkey/shell/main_commands.h"
#include "hushkey/shell/single_instance.h"

namespace hushkey {

// The two global input hooks as the start-up installs them.
class InputHooksPort {
 public:
  virtual ~InputHooksPort() = default;
  // Each answers false when the system refused the hook.
  virtual bool InstallKeyboardHook() = 0;
  virtual bool InstallMouseHook() = 0;
  // Each removes its hook if it is installed, and does nothing otherwise.
  virtual void RemoveKeyboardHook() = 0;
  virtual void RemoveMouseHook() = 0;
  // The system's reason for the last refusal, as a sentence ("System error 5: ...").
  virtual std::string LastErrorText() = 0;
};

// Installs the keyboard hook, then the mouse hook. When either is refused the program
// cannot lock anything, and must not look as if it could: what was installed is removed
// again and the answer is the message the user is shown, naming the hook and the reason;
// an empty answer means both hooks are in place.
std::string InstallInputHooks(InputHooksPort& hooks);

// The start-up's own steps on the main window and the desktop.
class StartupPort {
 public:
  virtual ~StartupPort() = default;
  // Creates the instance guard (an InstanceMutex the main window keeps until it is
  // unloaded) and answers its InstExists: true when another instance runs.
  virtual bool CreateInstanceGuard() = 0;
  // Puts back what a copy that was killed may have left changed on the desktop: the system
  // pointers (the blocked picture of a flash) and the accessibility shortcuts.
  virtual void UndoLeftoverChanges() = 0;
  // The system's mouse speed (1..20; 0 when it cannot be read).
  virtual std::int32_t GetMouseSpeed() = 0;
  // Shows the main window, not modal.
  virtual void ShowMainWindow() = 0;
  // The version label along the bottom of the main window.
  virtual void SetVersionText(const std::string& text) = 0;
  // Loads the settings and gives the inactivity timer its interval.
  virtual void RefreshSettings() = 0;
  // Shows the tray icon for CurrentMode (the first call adds it).
  virtual void UpdateTrayIcon() = 0;
  // Lets the main window process the messages pending now, once.
  virtual void DispatchPendingMessages() = 0;
  // Tells the user, in a message box, why the program cannot run.
  virtual void ReportStartupFailure(const std::string& message) = 0;
};

struct StartupPorts {
  StartupPort& startup;
  InputHooksPort& hooks;
  // The main controller; none in a second start, which hands its request over and builds
  // nothing.
  MainWindowCommandsPort* commands;
  HandOffSenderPort& handOff;
};

enum class StartupOutcome {
  Running,  // the start mode is entered; the message loop follows
  // Another instance runs and was handed the request (or could not be found: the request is
  // lost). This instance built nothing, so it just ends: no mode command, no tear-down.
  HandedOff,
  HooksRefused,  // the user has been told; end the program through the tear-down
};

// The main window's load handler. In order: the start request from the argument text into
// CurrentMode; the instance guard (another instance: the request is handed over and
// nothing else runs); the leftovers of a killed copy undone; the system mouse speed into
// OrigMouseSpeed; the window shown; the
// version label; the settings; the tray icon (its picture follows the request); pending
// messages once; the keyboard hook, then the mouse hook; the start mode entered.
StartupOutcome Form_Load(std::string_view argumentText, AppState& state, StartupPorts ports);

// Enters the start mode held in CurrentMode by exactly one command: 0 minimises and hides
// the window; 1, 2, 3, 4 run their mode command; 20 locks and then sets 20; anything else
// (the show and unload requests) sets mode 0 and leaves the window shown.
void EnterStartMode(LockMode& currentMode, MainWindowCommandsPort& commands);

}  // namespace hushkey
