#include "hushkey/shell/startup.h"

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

void EnterStartMode(LockMode& currentMode, MainWindowCommandsPort& commands) {
  if (currentMode == ModeUnlocked) {
    commands.MinimiseToTray();
  } else if (!RunModeCommand(currentMode, commands)) {
    currentMode = ModeUnlocked;
  }
}

}  // namespace hushkey
