#include "hushkey/shell/single_instance.h"

#include <array>

#include "hushkey/engine/mode_table.h"

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

WindowRef FindChildByClass(WindowTreePort& tree, WindowRef parent, std::string_view className) {
  if (parent == 0) return 0;
  for (WindowRef current = tree.FirstChild(parent); current != 0;
       current = tree.NextSibling(current)) {
    if (tree.ClassName(current) == className) return current;
    if (const WindowRef found = FindChildByClass(tree, current, className)) return found;
  }
  return 0;
}

// --- Sending side ----------------------------------------------------------------------

std::string HandOffText(LockMode code) { return std::to_string(Code(code)); }

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

HandOffDecision DecideHandOff(std::string_view text, LockMode currentMode, bool allowOnlyPending) {
  for (const ModeRow& row : kModeTable) {
    if (row.handOff.empty() || text != row.handOff) continue;
    if (row.mode == StartRequestShow) return {HandOffAction::Restore};
    if (row.mode == StartRequestUnload) return {HandOffAction::Exit};
    // During the allow-only delay the mode reads 0, yet allow-only is on its way: whatever
    // is asked for, that is cancelled first.
    if (allowOnlyPending) return {HandOffAction::ChangeMode, row.mode, true};
    if (row.mode == currentMode) return {HandOffAction::SameMode};
    return {HandOffAction::ChangeMode, row.mode, Code(currentMode) >= 0};
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
      commands.AsOneCommand([decision, &commands] {
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
