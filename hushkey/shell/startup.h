// The portable parts of the program's start-up: the input hooks, installed together or not
// at all, and the start mode entered by one command.
#pragma once

#include <string>

#include "hushkey/shell/main_commands.h"

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

// Enters the start mode held in CurrentMode by exactly one command: 0 minimises and hides
// the window; 1, 2, 3, 4 run their mode command; 20 locks and then sets 20; anything else
// (the show and unload requests) sets mode 0 and leaves the window shown.
void EnterStartMode(LockMode& currentMode, MainWindowCommandsPort& commands);

}  // namespace hushkey
