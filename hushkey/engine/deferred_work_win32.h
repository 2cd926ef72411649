// Work put off until no input hook procedure is running. Windows gives a low-level hook a
// short time per event and drops a hook that keeps overrunning it, so what may wait on
// another process (the taskbar's notification area, hiding a window on some systems) is
// not done inside a hook call: it is queued and carried out from the message loop as soon
// as the hook procedure has returned. Outside a hook call the work runs at once.
#pragma once

#include <functional>
#include <memory>

namespace hushkey {

// Runs `work` now when no hook procedure is running on this thread; otherwise queues it
// for the message loop. Queued work runs in the order it was queued.
void RunOutsideInputHook(std::function<void()> work);

// Drops queued work that has not run yet (the program is ending).
void DiscardDeferredWork();

// An update of something outside the program (a tray icon, a window over the desktop) that
// is put off while a hook procedure runs: Request runs `apply` at once outside a hook call,
// else once the call has returned; requests made while one waits are served by it (apply
// reads what is wanted when it runs). A waiting run is dropped when the object goes.
class DeferredApply {
 public:
  explicit DeferredApply(std::function<void()> apply) : apply_(std::move(apply)) {}
  ~DeferredApply() { *alive_ = false; }
  DeferredApply(const DeferredApply&) = delete;
  DeferredApply& operator=(const DeferredApply&) = delete;
  void Request();

 private:
  std::function<void()> apply_;
  bool queued_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace hushkey
