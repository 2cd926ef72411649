// Rewinding and restarting the inactivity countdown. Writing an interval property of the
// timer rewinds its count, so writing each interval back with its own value stops the
// timer at its full interval without changing the interval.
#pragma once

#include "hushkey/engine/ports.h"

namespace hushkey {

// Stops the countdown and rewinds it to the full interval.
void ResetInactivityTimer(InactivityTimerPort& timer);

// Rewinds the countdown and starts it again: the full interval runs from now.
void RestartInactivityTimer(InactivityTimerPort& timer);

}  // namespace hushkey
