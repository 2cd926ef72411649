// Modes as the test tables write them, by their numbers (any code, also one outside the
// table), and shown by their numbers in failure messages.
#pragma once

#include <cstdint>
#include <ostream>

#include "hushkey/engine/lock_mode.h"

namespace hushkey {

inline std::ostream& operator<<(std::ostream& os, LockMode mode) { return os << Code(mode); }

struct ModeCode {
  constexpr ModeCode(int code) : mode(static_cast<LockMode>(code)) {}
  constexpr ModeCode(LockMode m) : mode(m) {}
  constexpr operator LockMode() const { return mode; }
  LockMode mode;
};

inline std::ostream& operator<<(std::ostream& os, ModeCode m) { return os << Code(m.mode); }

}  // namespace hushkey
