// The in-memory settings: the values the filters, the mode commands, the status
// display and the autolock timer consult. Replaced as a whole by every settings load.
#pragma once

#include <cstdint>
#include <string>

#include "hushkey/engine/key_sequence.h"

namespace hushkey {

// The condition DontLockIf checks, by its stored code; any other code selects none.
enum class DontLockIfCondition : std::int16_t { DayTime = 0, IpAddress = 1, FileExists = 2 };

struct Settings {
  bool UseScrnSvr = false;
  bool StopARKeys = false;
  bool SetMouseSpd = false;
  std::int32_t MouseSpd = 0;
  bool Beep = false;
  bool Flash = false;
  bool StopMouseMove = false;
  bool AOMAllowMouse = false;
  bool ShowLckUnlSeq = false;
  bool DontLockIf = false;
  DontLockIfCondition DontLockIfOpt = DontLockIfCondition::DayTime;
  std::string PassthruWCls;  // UTF-8
  float Timeout = 0.0f;      // minutes, fractions allowed
  KeySequences sequences;    // the lock and unlock key sequences
  // How long the unlock sequence must be held before it acts (0: at once).
  std::uint32_t UnlockHoldMs = 0;
  std::string UnlockWordHash;  // the unlock word's stored hash; empty: no word
  // While the mode swallows clicks: a window over every monitor takes touches and pen
  // strokes, which reach programs without passing the mouse hook; dimmed and captioned
  // with the unlock keys when DimWhenLocked is on.
  bool BlockTouch = false;
  bool DimWhenLocked = false;

  bool operator==(const Settings&) const = default;
};

}  // namespace hushkey
