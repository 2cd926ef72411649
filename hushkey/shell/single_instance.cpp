#include "hushkey/shell/single_instance.h"

#include <array>

#include "hushkey/shell/app_title.h"

namespace hushkey {

// --- Instance mutex --------------------------------------------------------------------

InstanceMutex::InstanceMutex(NamedMutexPort& mutex) : mutex_(mutex) {
  if (!mutex_.Create(kInstanceMutexName)) return;
  const MutexWait wait = mutex_.Wait(1);
  held_ = wait == MutexWait::Acquired || wait == MutexWait::Abandoned;
}

InstanceMutex::~InstanceMutex() { Release(); }

void InstanceMutex::Release() {
  if (!held_) return;
  held_ = false;
  mutex_.ReleaseAndClose();
}

// --- Window search ---------------------------------------------------------------------

namespace {

// `remaining` counts down over the whole walk, so the n-th match is the n-th in
// depth-first order however deep it lies.
WindowRef SearchBelow(WindowTreePort& tree, WindowRef window, std::string_view className,
                      int& remaining) {
  for (WindowRef current = tree.FirstChild(window); current != 0;
       current = tree.NextSibling(current)) {
    if (tree.ClassName(current) == className) {
      if (--remaining <= 0) return current;
    } else if (const WindowRef found = SearchBelow(tree, current, className, remaining)) {
      return found;
    }
  }
  return 0;
}

}  // namespace

WindowRef FindChildByClass(WindowTreePort& tree, WindowRef parent, std::string_view className,
                           int occurrence, WindowRef start) {
  if (occurrence < 1) return 0;
  const WindowRef root = start != 0 ? start : parent;
  if (root == 0) return 0;
  return SearchBelow(tree, root, className, occurrence);
}

// --- Sending side ----------------------------------------------------------------------

std::string HandOffText(LockMode code) { return std::to_string(code); }

namespace {

WindowRef FindHandOffBox(HandOffSenderPort& sender) {
  // This instance's own main window may exist already and bears the same title.
  WindowRef running = sender.FindTopLevelWindow(kMainWindowTitle, 0);
  while (running != 0 && sender.IsOwnWindow(running))
    running = sender.FindTopLevelWindow(kMainWindowTitle, running);
  if (running == 0) return 0;
  const WindowRef box = FindChildByClass(sender, running, kHandOffBoxClass);
  return box != 0 ? box : FindChildByClass(sender, running, kHandOffBoxOldClass);
}

}  // namespace

bool HandOffToRunningInstance(HandOffSenderPort& sender, LockMode code) {
  // The running instance holds the guard before its window exists: a start at the same
  // moment waits for the window rather than lose its request.
  for (int attempt = 0;; ++attempt) {
    if (const WindowRef box = FindHandOffBox(sender)) {
      sender.SendText(box, HandOffText(code));
      return true;
    }
    if (attempt == kHandOffAttempts - 1) return false;
    sender.Pause(kHandOffRetryMs);
  }
}

// --- Receiving side --------------------------------------------------------------------

namespace {

struct HandOffCode {
  std::string_view text;
  LockMode code;
};

constexpr std::array<HandOffCode, 8> kHandOffCodes{{
    {"-1", StartRequestShow},
    {"-3", StartRequestUnload},
    {"0", ModeUnlocked},
    {"1", ModeBlockWinCtrl},
    {"2", ModeLocked},
    {"20", ModeLockedAuto},
    {"3", ModeAutoLock},
    {"4", ModeAllowOnly},
}};

}  // namespace

HandOffDecision DecideHandOff(std::string_view text, LockMode currentMode, bool allowOnlyPending) {
  for (const HandOffCode& c : kHandOffCodes) {
    if (text != c.text) continue;
    if (c.code == StartRequestShow) return {HandOffAction::Restore};
    if (c.code == StartRequestUnload) return {HandOffAction::Exit};
    // During the allow-only delay the mode reads 0, yet allow-only is on its way: whatever
    // is asked for, that is cancelled first.
    if (allowOnlyPending) return {HandOffAction::ChangeMode, c.code, true};
    if (c.code == currentMode) return {HandOffAction::SameMode};
    return {HandOffAction::ChangeMode, c.code, currentMode >= 0};
  }
  return {};
}

void txtChangeModeHid_Change(std::string_view text, LockMode currentMode,
                             MainWindowCommandsPort& commands, bool allowOnlyPending) {
  if (text.empty()) return;
  const HandOffDecision decision = DecideHandOff(text, currentMode, allowOnlyPending);
  switch (decision.action) {
    case HandOffAction::Restore: commands.mnuPopupRestore_Click(); break;
    case HandOffAction::Exit: commands.cmdExit_Click(); break;
    case HandOffAction::ChangeMode:
      // One command: nothing passes between the cancel and the new mode, and a key
      // sequence pressed meanwhile acts on the mode the change leaves.
      commands.AsOneCommand([&] {
        if (decision.cancelFirst) commands.cmdCancel_Click();
        RunModeCommand(decision.mode, commands);  // "0": Cancel was all
      });
      break;
    case HandOffAction::SameMode:
    case HandOffAction::Ignore: break;
  }
  commands.ClearHandOffBox();
}

}  // namespace hushkey
