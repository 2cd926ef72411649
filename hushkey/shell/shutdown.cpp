#include "hushkey/shell/shutdown.h"

namespace hushkey {

std::span<const ListedMachine> ProductListedMachines() { return {}; }

std::string_view TrimAtNul(std::string_view text) { return text.substr(0, text.find('\0')); }

std::string VolumeRootPath(std::string_view drive) {
  if (drive.empty()) return {};
  std::string root(1, drive.front());
  root += ":\\";
  return root;
}

bool IsListedMachine(bool flag, std::span<const ListedMachine> machines,
                     MachineIdentityPort& machine) {
  const std::uint32_t serial = machine.GetVolumeSerial(VolumeRootPath("C:\\"));
  const std::string name = machine.GetMachineName();
  for (const ListedMachine& entry : machines) {
    if (entry.computerName != name) continue;
    return entry.volumeSerial == serial && (!entry.needsFlag || flag);
  }
  return false;
}

ProgramShutdown::ProgramShutdown(MainWindowCommandsPort& commands, InputHooksPort& hooks,
                                 ShutdownPort& app, MachineIdentityPort& machine,
                                 std::span<const ListedMachine> machines)
    : commands_(commands), hooks_(hooks), app_(app), machine_(machine), machines_(machines) {}

bool ProgramShutdown::Form_QueryUnload(UnloadReason reason) {
  if (unloading_) return true;
  if (reason == UnloadReason::ControlMenu) {
    commands_.MinimiseToTray();
    return true;
  }
  unloading_ = true;
  app_.RestoreDesktop();
  if (reason == UnloadReason::WindowsEnding && IsListedMachine(false, machines_, machine_))
    app_.WriteTextFile(kShutdownMarkerPath, kShutdownMarkerContent);
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
