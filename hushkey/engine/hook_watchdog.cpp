#include "hushkey/engine/hook_watchdog.h"

namespace hushkey {

void HookWatchdog::HookSaw(InputKind kind, std::uint32_t now) {
  const auto i = static_cast<int>(kind);
  lastSeen_[i] = now;
  seen_[i] = true;
}

bool HookWatchdog::HookMissed(InputKind kind, std::uint32_t now) const {
  const auto i = static_cast<int>(kind);
  // Before a hook's first event, the time of its installation stands in (Reinstalled); a
  // watchdog that never heard of the hook cannot judge it.
  if (!seen_[i]) return false;
  // Unsigned difference: right across the 49.7-day wrap of the tick count. A raw input
  // older than the hook's last call (it waited in the queue) is no evidence.
  const std::uint32_t since = now - lastSeen_[i];
  return since > kGraceMs && since < 0x80000000u;
}

void HookWatchdog::Reinstalled(std::uint32_t now) {
  HookSaw(InputKind::Keyboard, now);
  HookSaw(InputKind::Mouse, now);
}

}  // namespace hushkey
