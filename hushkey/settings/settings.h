// The in-memory settings: the thirteen values the filters, the mode commands, the status
// display and the autolock timer consult. Replaced as a whole by every settings load.
#pragma once

#include <cstdint>
#include <string>

namespace hushkey {

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
  std::int16_t DontLockIfOpt = 0;
  std::string PassthruWCls;  // UTF-8
  float Timeout = 0.0f;      // minutes, fractions allowed

  bool operator==(const Settings&) const = default;
};

}  // namespace hushkey
