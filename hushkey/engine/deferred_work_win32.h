// Work put off until no input hook procedure is running. Windows gives a low-level hook a
// short time per event and drops a hook that keeps overrunning it, so what may wait on
// another process (the taskbar's notification area, hiding a window on some systems) is
// not done inside a hook call: it is queued and carried out from the message loop as soon
// as the hook procedure has returned. Outside a hook call the work runs at once.
#pragma once

#include <functional>

namespace hushkey {

// Runs `work` now when no hook procedure is running on this thread; otherwise queues it
// for the message loop. Queued work runs in the order it was queued.
void RunOutsideInputHook(std::function<void()> work);

// Drops queued work that has not run yet (the program is ending).
void DiscardDeferredWork();

}  // namespace hushkey
