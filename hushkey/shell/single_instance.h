// One instance per desktop. The first start holds a named mutex until it ends; a later
// start hands its start request to the running instance, as decimal text written into the
// running main window's hidden text box, and ends. A batch file uses this to switch the
// running instance into another mode before a game and back after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hushkey/engine/lock_mode.h"
#include "hushkey/shell/main_commands.h"

namespace hushkey {

// --- Instance mutex --------------------------------------------------------------------

enum class MutexWait { Acquired, Abandoned, TimedOut, Failed };

// One named mutex handle.
class NamedMutexPort {
 public:
  virtual ~NamedMutexPort() = default;
  // Creates the mutex, or opens it when it exists, without asking for ownership. False
  // when neither worked.
  virtual bool Create(const std::string& name) = 0;
  // Waits at most `ms` milliseconds for ownership of the created mutex.
  virtual MutexWait Wait(std::uint32_t ms) = 0;
  // Gives up ownership and closes the handle.
  virtual void ReleaseAndClose() = 0;
};

// The guard the main window holds from start-up until it is unloaded. Creating it asks for
// the mutex "iHushkeyi" for 1 ms: owned, or left abandoned by an instance that ended
// without releasing it, counts as acquired; a timeout, a failed wait or a mutex that could
// not be created count as another instance.
class InstanceMutex {
 public:
  explicit InstanceMutex(NamedMutexPort& mutex);
  ~InstanceMutex();
  InstanceMutex(const InstanceMutex&) = delete;
  InstanceMutex& operator=(const InstanceMutex&) = delete;

  // True when this instance does not hold the mutex: another instance runs.
  bool InstExists() const { return !held_; }
  // Releases a held mutex; later calls do nothing. Destruction releases too.
  void Release();

 private:
  NamedMutexPort& mutex_;
  bool held_ = false;
};

// --- Window search ---------------------------------------------------------------------

// An opaque window handle; 0 is no window.
using WindowRef = std::uintptr_t;

// The window tree, read only.
class WindowTreePort {
 public:
  virtual ~WindowTreePort() = default;
  // The first child of a window in Z-order; 0 when it has none.
  virtual WindowRef FirstChild(WindowRef window) = 0;
  // The next window in Z-order with the same parent; 0 after the last.
  virtual WindowRef NextSibling(WindowRef window) = 0;
  // The window's class name (UTF-8); empty when it cannot be read.
  virtual std::string ClassName(WindowRef window) = 0;
};

// Depth-first search, in Z-order, of the windows below `parent` for the first window whose
// class name equals `className` exactly (case-sensitive); a matching window is not searched
// below. Answers 0 when there is none.
WindowRef FindChildByClass(WindowTreePort& tree, WindowRef parent, std::string_view className);

// --- Sending side (a second start) -----------------------------------------------------

// The hidden text box's window class, and the older class name also accepted.
inline constexpr char kHandOffBoxClass[] = "ThunderRT6TextBox";
inline constexpr char kHandOffBoxOldClass[] = "ThunderTextBox";

// The start request as the running instance receives it: the decimal code ("-1", "-3",
// "0", "1", "2", "20", "3", "4").
std::string HandOffText(LockMode code);

class HandOffSenderPort : public WindowTreePort {
 public:
  // The next top-level window, in Z-order after `after` (from the top when 0), whose title
  // is exactly `title`; 0 when there is none.
  virtual WindowRef FindTopLevelWindow(const std::string& title, WindowRef after) = 0;
  // True when the window belongs to this process.
  virtual bool IsOwnWindow(WindowRef window) = 0;
  // Sets the window's text (WM_SETTEXT); returns when the receiver has handled it.
  virtual void SendText(WindowRef window, const std::string& text) = 0;
  // Waits before the next look for the window.
  virtual void Pause(std::uint32_t ms) = 0;
};

// How long a second start looks for the running instance's window: 100 looks 50 ms apart.
inline constexpr int kHandOffAttempts = 100;
inline constexpr std::uint32_t kHandOffRetryMs = 50;

// Finds the running instance's main window by its title "Hushkey " (passing over this
// process's own main window, which bears the same title), its hand-off box by class
// ("ThunderRT6TextBox", else "ThunderTextBox"), and sends the code's text. The running
// instance may still be building its window: the search is repeated for about five
// seconds. Answers false, without a message, when there is no such window or box by then.
bool HandOffToRunningInstance(HandOffSenderPort& sender, LockMode code);

// --- Receiving side (the running instance) ---------------------------------------------

enum class HandOffAction {
  Ignore,      // empty, or not one of the hand-off codes
  Restore,     // "-1": show the window
  Exit,        // "-3": end the program
  SameMode,    // the instance already is in that mode
  ChangeMode,  // cancel (when cancelFirst) and enter `mode`
};

struct HandOffDecision {
  HandOffAction action = HandOffAction::Ignore;
  LockMode mode = ModeUnlocked;  // ChangeMode: the mode to enter
  bool cancelFirst = false;      // ChangeMode: the current mode is 0 or above
  bool operator==(const HandOffDecision&) const = default;
};

// What a hand-off text asks of an instance in `currentMode`. The text comes from another
// process: only the exact texts "-1", "-3", "0", "1", "2", "20", "3" and "4" are codes;
// every other text ("+2", "02", "2.0", " 2", "30", any length or character) is ignored.
// During the allow-only delay (allowOnlyPending) every mode code cancels first.
HandOffDecision DecideHandOff(std::string_view text, LockMode currentMode,
                              bool allowOnlyPending = false);

// The hand-off box's change handler: carries out the decision (a mode change as one
// command) and empties the box (an empty text is left alone, which is also how the
// handler's own clearing ends).
void txtChangeModeHid_Change(std::string_view text, LockMode currentMode,
                             MainWindowCommandsPort& commands, bool allowOnlyPending = false);

}  // namespace hushkey
