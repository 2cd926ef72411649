// The desktop operations of the lock engine and the mode commands on Windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "hushkey/engine/ports.h"

namespace hushkey {

// The class name of a window, at most its first 99 characters, as UTF-8; empty on failure.
std::string GetWindowClass(HWND window);

// Returns after ms milliseconds. With pump, the thread's messages (the input hooks, timers,
// window events) are dispatched meanwhile, and a quit request ends the wait early and is
// left for the main loop; without pump, the thread just sleeps.
void WaitMilliseconds(std::int32_t ms, bool pump);

class Win32Desktop final : public DesktopPort {
 public:
  void Beep() override;
  std::int32_t GetMouseSpeed() override;
  void SetMouseSpeed(std::int32_t speed) override;
  // Asks the desktop to start the screen saver without waiting for it.
  void StartScreenSaver() override;
  std::uint32_t TickCount() override;
  std::string ForegroundWindowClass() override;
  void WaitMilliseconds(std::int32_t ms, bool pump) override;
  std::optional<std::uint32_t> AccessFlags(AccessFeature feature) override;
  bool SetAccessFlags(AccessFeature feature, std::uint32_t flags) override;
  std::string AccessNote() override;
  void SetAccessNote(const std::string& note) override;
  void CheckUnlockWord(const std::string& storedHash, const std::string& typed,
                       std::function<void()> onMatch) override;
};

}  // namespace hushkey
