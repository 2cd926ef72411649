// Changing the system mouse speed and putting it back. The program remembers whether the
// speed it set differs from the one the user had, so that every way out of the program can
// put the user's speed back.
#pragma once

#include <cstdint>

#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/ports.h"

namespace hushkey {

inline void ChangeMouseSpeed(DesktopPort& desktop, LockState& lock, std::int32_t speed) {
  desktop.SetMouseSpeed(speed);
  lock.MouseSpeedChanged = speed != lock.OrigMouseSpeed;
}

// Back to the speed recorded at start-up.
inline void RestoreMouseSpeed(DesktopPort& desktop, LockState& lock) {
  desktop.SetMouseSpeed(lock.OrigMouseSpeed);
  lock.MouseSpeedChanged = false;
}

}  // namespace hushkey
