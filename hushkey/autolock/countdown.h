// The inactivity timeout split into the timer's minutes and seconds, and the countdown
// description shown as the Auto Lock button's tool tip and in the status bar.
#pragma once

#include <cstdint>
#include <string>

namespace hushkey {

struct TimeoutSplit {
  std::int32_t minutes = 0;
  std::int32_t seconds = 0;
  bool operator==(const TimeoutSplit&) const = default;
};

// Whole minutes = floor(timeout); seconds = (timeout - minutes) * 60, computed in double from
// the float and rounded to nearest, ties to even (1.5 -> 1 min 30 s, 0.999 -> 0 min 60 s).
// Defined for every float: NaN gives {0, 0} (a timer that never fires, like a timeout of 0);
// a value whose floor lies outside the 32-bit range (infinities included) saturates to
// INT32_MAX / INT32_MIN minutes with 0 seconds.
TimeoutSplit SplitTimeout(float timeout);

// Round to nearest, ties to even, without depending on the floating-point rounding mode.
double RoundHalfEven(double x);

// The interval actually given to the timer: SplitTimeout, then kept within what the timer
// control accepts. The control's total (minutes * 60 + seconds) is a 32-bit signed count of
// seconds; a larger total makes it reject the assignment while keeping the old interval, so
// such a timeout is held at the longest interval it accepts (35791394 minutes, about 68
// years). A negative total never fires; it becomes {0, 0}, which never fires either and
// whose description does not promise a lock.
TimeoutSplit TimerIntervalForTimeout(float timeout);

// "System will be locked if no activity " + "(excl mouse move) " unless mouse moves are
// swallowed + "in " + "<m> min" / "<m> mins " + "<s> sec" / "<s> secs"; a part whose
// value is not positive is left out.
std::string CountdownText(std::int32_t minutes, std::int32_t seconds, bool stopMouseMove);

}  // namespace hushkey
