// The millisecond wait that keeps the program responsive: the loop that decides when to
// sleep, when to dispatch messages and when to stop, over a small platform interface, so
// that its deadline arithmetic on the wrapping 32-bit tick counter is testable anywhere.
#pragma once

#include <cstdint>

namespace hushkey {

// A deadline on the 32-bit millisecond tick counter. Elapsed time is the unsigned
// difference of two readings, so a wrap of the counter neither shortens nor lengthens it.
class TickDeadline {
 public:
  TickDeadline(std::uint32_t startTick, std::int32_t ms)
      : start_(startTick), length_(ms > 0 ? static_cast<std::uint32_t>(ms) : 0) {}

  std::uint32_t Remaining(std::uint32_t now) const {
    const std::uint32_t elapsed = now - start_;
    return elapsed >= length_ ? 0 : length_ - elapsed;
  }
  bool Expired(std::uint32_t now) const { return Remaining(now) == 0; }

 private:
  std::uint32_t start_;
  std::uint32_t length_;
};

// Whether the reading `to` comes more than `ms` after `from` on the wrapping tick counter. A
// reading up to half the counter's range before `from` counts as earlier, not as 49 days
// later.
constexpr bool TickLaterBy(std::uint32_t from, std::uint32_t to, std::uint32_t ms) {
  const std::uint32_t elapsed = to - from;
  return elapsed > ms && elapsed < 0x80000000u;
}

class WaitPlatform {
 public:
  virtual ~WaitPlatform() = default;
  virtual std::uint32_t Now() = 0;
  // Sleeps until a message arrives for this thread or maxMs pass, whichever is first.
  virtual void SleepUntilMessage(std::uint32_t maxMs) = 0;
  // Sleeps maxMs without looking at messages.
  virtual void Sleep(std::uint32_t ms) = 0;
  // Dispatches every pending message. Returns false if a quit request was among them; the
  // request has then been put back for the outer message loop.
  virtual bool DispatchPending() = 0;
};

// Returns once ms milliseconds have passed (at once for ms <= 0). With pump, dispatches
// messages whenever they arrive meanwhile and returns early when the program is asked to
// quit, so that its main loop can end; without pump, just sleeps.
void RunWait(WaitPlatform& platform, std::int32_t ms, bool pump);

}  // namespace hushkey
