#include "hushkey/shell/startup.h"

#include "hushkey/resources/resource_ids.h"
#include "hushkey/resources/version_text.h"
#include "hushkey/shell/command_line.h"

namespace hushkey {

namespace {

std::string HookRefused(const char* which, const std::string& reason) {
  std::string text = "Hushkey could not install its ";
  text += which;
  text += " filter, so it cannot lock the keyboard and mouse.";
  if (!reason.empty()) text += "\r\n\r\n" + reason;
  text += "\r\n\r\nHushkey will now close.";
  return text;
}

}  // namespace

std::string InstallInputHooks(InputHooksPort& hooks) {
  if (!hooks.InstallKeyboardHook()) return HookRefused("keyboard", hooks.LastErrorText());
  if (!hooks.InstallMouseHook()) {
    std::string text = HookRefused("mouse", hooks.LastErrorText());
    hooks.RemoveKeyboardHook();
    return text;
  }
  return {};
}

StartupOutcome Form_Load(std::string_view argumentText, AppState& state, StartupPorts ports) {
  state.CurrentMode = StartRequestForSwitch(argumentText);
  if (ports.startup.CreateInstanceGuard()) {
    // A lost request (no running window found) is not reported; this instance ends anyway.
    HandOffToRunningInstance(ports.handOff, state.CurrentMode);
    return StartupOutcome::HandedOff;
  }
  ports.startup.UndoLeftoverChanges();
  state.lock.OrigMouseSpeed = ports.startup.GetMouseSpeed();
  ports.startup.ShowMainWindow();
  ports.startup.SetVersionText(
      VersionLabel(HK_VERSION_MAJOR, HK_VERSION_MINOR, HK_VERSION_REVISION));
  // The window's title was given when it was created and never changes.
  ports.startup.RefreshSettings();
  ports.startup.UpdateTrayIcon();
  ports.startup.DispatchPendingMessages();
  if (const std::string failure = InstallInputHooks(ports.hooks); !failure.empty()) {
    ports.startup.ReportStartupFailure(failure);
    return StartupOutcome::HooksRefused;
  }
  // CurrentMode, not the switch read above: a hand-off processed with the pending
  // messages may have entered a mode already, and must not be undone here.
  EnterStartMode(state.CurrentMode, *ports.commands);
  return StartupOutcome::Running;
}

void EnterStartMode(LockMode& currentMode, MainWindowCommandsPort& commands) {
  if (currentMode == ModeUnlocked) {
    commands.MinimiseToTray();
  } else if (!RunModeCommand(currentMode, commands)) {
    currentMode = ModeUnlocked;
  }
}

}  // namespace hushkey
