#include "hushkey/autolock/countdown.h"

#include <cmath>
#include <limits>

namespace hushkey {

double RoundHalfEven(double x) {
  const double down = std::floor(x);
  const double diff = x - down;
  if (diff > 0.5) return down + 1.0;
  if (diff < 0.5) return down;
  return std::fmod(down, 2.0) == 0.0 ? down : down + 1.0;
}

namespace {

constexpr std::int32_t kMaxTimerMinutes = std::numeric_limits<std::int32_t>::max() / 60;

}  // namespace

TimeoutSplit SplitTimeout(float timeout) {
  const double t = static_cast<double>(timeout);
  if (std::isnan(t)) return {};
  const double whole = std::floor(t);
  // 2^31 is exactly representable; anything at or above it (or below -2^31) does not fit.
  if (whole >= 2147483648.0) return {std::numeric_limits<std::int32_t>::max(), 0};
  if (whole < -2147483648.0) return {std::numeric_limits<std::int32_t>::min(), 0};
  const double seconds = RoundHalfEven((t - whole) * 60.0);  // 0 .. 60
  return {static_cast<std::int32_t>(whole), static_cast<std::int32_t>(seconds)};
}

TimeoutSplit TimerIntervalForTimeout(float timeout) {
  const TimeoutSplit split = SplitTimeout(timeout);
  const std::int64_t total = std::int64_t{split.minutes} * 60 + split.seconds;
  if (total < 0) return {};
  if (total > std::numeric_limits<std::int32_t>::max()) return {kMaxTimerMinutes, 0};
  return split;
}

std::string CountdownText(std::int32_t minutes, std::int32_t seconds, bool stopMouseMove) {
  std::string text = "System will be locked if no activity ";
  if (!stopMouseMove) text += "(excl mouse move) ";
  text += "in ";
  if (minutes > 0) {
    text += std::to_string(minutes);
    text += " min";
    text += minutes == 1 ? " " : "s ";
  }
  if (seconds > 0) {
    text += std::to_string(seconds);
    text += " sec";
    if (seconds != 1) text += "s";
  }
  return text;
}

}  // namespace hushkey
