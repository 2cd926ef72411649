#include "hushkey/shell/shutdown.h"

namespace hushkey {

ProgramShutdown::ProgramShutdown(MainWindowCommandsPort& commands, InputHooksPort& hooks,
                                 ShutdownPort& app)
    : commands_(commands), hooks_(hooks), app_(app) {}

bool ProgramShutdown::Form_QueryUnload(UnloadReason reason) {
  if (unloading_) return true;
  if (reason == UnloadReason::ControlMenu) {
    commands_.MinimiseToTray();
    return true;
  }
  unloading_ = true;
  app_.RestoreDesktop();
  // No machine is listed for the shutdown marker file, so Windows ending writes none.
  commands_.cmdCancel_Click();
  return false;
}

void ProgramShutdown::Form_Unload() {
  hooks_.RemoveKeyboardHook();
  hooks_.RemoveMouseHook();
  if (app_.TrayIconAdded()) app_.DeleteTrayIcon();
  app_.ReleaseInstanceMutex();
  app_.EndProgram();
}

void ProgramShutdown::Unload(UnloadReason reason) {
  if (!Form_QueryUnload(reason)) Form_Unload();
}

}  // namespace hushkey
