#include "hushkey/engine/inactivity_timer.h"

namespace hushkey {

void ResetInactivityTimer(InactivityTimerPort& timer) {
  timer.SetEnabled(false);
  timer.SetIntervalMinutes(timer.IntervalMinutes());
  timer.SetIntervalSeconds(timer.IntervalSeconds());
}

void RestartInactivityTimer(InactivityTimerPort& timer) {
  ResetInactivityTimer(timer);
  timer.SetEnabled(true);
}

}  // namespace hushkey
