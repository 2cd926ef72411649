// What an input filter decided about one event: swallow or pass it, whether to give the
// swallowed-input cue, and which action runs before the hook returns.
#pragma once

#include <cstdint>

namespace hushkey {

enum class FilterAction : std::uint8_t {
  None,
  LockAll,                   // the main window's LockAll
  AutoLock,                  // cmdAutoLock_Click
  Cancel,                    // cmdCancel_Click
  RestoreSpeedThenLockAll,   // back to the start-up mouse speed (if SetMouseSpd), then LockAll
  RestoreSpeedThenAutoLock,  // the same, then cmdAutoLock_Click
  RestartTimer,              // RestartInactivityTimer
  OpenEntryGate,             // the options dialog's entry gate
};

struct KeyDecision {
  bool Swallow = false;
  bool Cue = false;
  FilterAction Action = FilterAction::None;

  bool operator==(const KeyDecision&) const = default;
};

}  // namespace hushkey
