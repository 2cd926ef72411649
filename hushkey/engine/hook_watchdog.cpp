#include "hushkey/engine/hook_watchdog.h"

#include "hushkey/engine/tick_wait.h"

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
  // Right across the 49.7-day wrap of the tick count. A raw input older than the hook's last
  // call (it waited in the queue) is no evidence.
  return TickLaterBy(lastSeen_[i], now, kGraceMs);
}

bool HookWatchdog::MissedWhileResting(std::uint32_t lastInput, std::uint32_t now) const {
  if (!seen_[0] && !seen_[1]) return false;
  std::uint32_t latest = seen_[0] ? lastSeen_[0] : lastSeen_[1];
  if (seen_[1] && TickLaterBy(latest, lastSeen_[1], 0)) latest = lastSeen_[1];
  return TickLaterBy(latest, lastInput, kStampSlackMs) && TickLaterBy(latest, now, kGraceMs);
}

void HookWatchdog::Reinstalled(std::uint32_t now) {
  HookSaw(InputKind::Keyboard, now);
  HookSaw(InputKind::Mouse, now);
}

}  // namespace hushkey
