#include "hushkey/engine/tick_wait.h"

namespace hushkey {

void RunWait(WaitPlatform& platform, std::int32_t ms, bool pump) {
  const TickDeadline deadline(platform.Now(), ms);
  for (;;) {
    if (pump && !platform.DispatchPending()) return;
    const std::uint32_t left = deadline.Remaining(platform.Now());
    if (left == 0) return;
    if (pump)
      platform.SleepUntilMessage(left);
    else
      platform.Sleep(left);
  }
}

}  // namespace hushkey
