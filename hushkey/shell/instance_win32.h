// The single-instance guard, the hand-off to a running instance and the machine identity on
// Win32: the named mutex, the search for the running main window and its hidden text box,
// the text sent to it, the computer name and the volume serial number.
#pragma once

#include <windows.h>

#include <string>

#include "hushkey/shell/shutdown.h"
#include "hushkey/shell/single_instance.h"
#include "win32/handles_win32.h"

namespace hushkey {

class Win32NamedMutex final : public NamedMutexPort {
 public:
  bool Create(const std::string& name) override;
  MutexWait Wait(std::uint32_t ms) override;
  void ReleaseAndClose() override;

 private:
  win32::UniqueKernelObject mutex_;
};

class Win32HandOffSender final : public HandOffSenderPort {
 public:
  WindowRef FirstChild(WindowRef window) override;
  WindowRef NextSibling(WindowRef window) override;
  std::string ClassName(WindowRef window) override;
  WindowRef FindTopLevelWindow(const std::string& title, WindowRef after) override;
  bool IsOwnWindow(WindowRef window) override;
  // Waits for the running instance to handle the text, but not for one that hangs.
  void SendText(WindowRef window, const std::string& text) override;
  void Pause(std::uint32_t ms) override;
};

}  // namespace hushkey
