// How the program ends. Closing the main window with its close box only hides it; every
// other unload returns the program to mode 0 and tears down what start-up built, in order:
// keyboard hook, mouse hook, tray icon, instance mutex, and then the program ends at once.
// When Windows shuts down or logs off, a listed machine also gets a marker file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hushkey/shell/main_commands.h"
#include "hushkey/shell/startup.h"

namespace hushkey {

// Why the main window is being unloaded.
enum class UnloadReason : std::int16_t {
  ControlMenu = 0,    // close box or the control menu's Close: hide to the tray
  Program = 1,        // the program's own Exit, the hand-off "-3"
  WindowsEnding = 2,  // Windows shuts down or the user logs off
  TaskManager = 3,
  MdiParent = 4,
  Owner = 5,
};

// The marker file left on listed machines when Windows ends, and its whole content.
inline constexpr char kShutdownMarkerPath[] = "C:\\ShutdownOk.txt";
inline constexpr char kShutdownMarkerContent[] =
    "Flag to show system shutting down normally - created by Hushkey\r\n";

// A machine that gets the marker file: its computer name (compared exactly) and the serial
// number of its drive C:. An entry with needsFlag matches only when IsListedMachine is
// asked with the flag set, which the shutdown never does.
struct ListedMachine {
  std::string_view computerName;
  std::uint32_t volumeSerial = 0;
  bool needsFlag = false;
};

// The product's own list: empty, so no marker file is ever written.
std::span<const ListedMachine> ProductListedMachines();

// This machine's identity.
class MachineIdentityPort {
 public:
  virtual ~MachineIdentityPort() = default;
  // The computer name (UTF-8); empty when it cannot be read.
  virtual std::string GetMachineName() = 0;
  // The serial number of the volume whose root is `rootPath` ("C:\"); 0 when unreadable.
  virtual std::uint32_t GetVolumeSerial(const std::string& rootPath) = 0;
};

// The text before the first NUL character; the whole text when it holds none.
std::string_view TrimAtNul(std::string_view text);

// The root of the volume a drive text names: its first character, ":" and "\" ("c" and
// "C:\Windows" give "c:\" and "C:\"); empty for an empty text.
std::string VolumeRootPath(std::string_view drive);

// True when this machine's computer name equals the name of an entry (the first with that
// name decides) and drive C:'s serial number equals the entry's, and the entry does not
// need the flag or `flag` is true.
bool IsListedMachine(bool flag, std::span<const ListedMachine> machines,
                     MachineIdentityPort& machine);

// What the ending needs besides the main window's commands and the hooks.
class ShutdownPort {
 public:
  virtual ~ShutdownPort() = default;
  // Puts the desktop back as the user had it (a flash under way is ended, a mouse speed the
  // program set is undone): the main controller's RestoreDesktop.
  virtual void RestoreDesktop() = 0;
  // Whether the tray icon has been added, and its removal.
  virtual bool TrayIconAdded() = 0;
  virtual void DeleteTrayIcon() = 0;
  // Releases the instance mutex (InstanceMutex::Release); a new start then runs as the
  // first instance.
  virtual void ReleaseInstanceMutex() = 0;
  // Creates or replaces a file holding exactly `content`; failures are ignored.
  virtual void WriteTextFile(const std::string& path, const std::string& content) = 0;
  // Ends the process at once: no further event of any window runs.
  virtual void EndProgram() = 0;
};

class ProgramShutdown {
 public:
  // All references must outlive the object; `machines` is the list of machines that get
  // the marker file.
  ProgramShutdown(MainWindowCommandsPort& commands, InputHooksPort& hooks, ShutdownPort& app,
                  MachineIdentityPort& machine,
                  std::span<const ListedMachine> machines = ProductListedMachines());

  // The main window's query-unload handler; answers true when the unload is cancelled.
  // ControlMenu: the window is minimised and hidden and the unload cancelled. Any other
  // reason: the desktop is restored, Windows ending writes the marker file on a listed
  // machine, and Cancel returns the program to mode 0. Once an unload has been let through,
  // every later request is cancelled: the first one finishes the ending.
  bool Form_QueryUnload(UnloadReason reason);
  // The tear-down: keyboard hook, mouse hook, the tray icon if it was added, the instance
  // mutex; then the program ends.
  void Form_Unload();
  // A close request: Form_QueryUnload and, unless it was cancelled, Form_Unload.
  void Unload(UnloadReason reason);
  // The Exit button, the Exit menu commands and the hand-off "-3".
  void cmdExit_Click() { Unload(UnloadReason::Program); }

 private:
  MainWindowCommandsPort& commands_;
  InputHooksPort& hooks_;
  ShutdownPort& app_;
  MachineIdentityPort& machine_;
  std::span<const ListedMachine> machines_;
  bool unloading_ = false;
};

}  // namespace hushkey
