// The start-up steps that decide whether the program can run at all.
#pragma once

#include <string>

namespace hushkey {

// The two global input hooks as the start-up installs them.
class InputHooksPort {
 public:
  virtual ~InputHooksPort() = default;
  // Each answers false when the system refused the hook.
  virtual bool InstallKeyboardHook() = 0;
  virtual bool InstallMouseHook() = 0;
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

}  // namespace hushkey
