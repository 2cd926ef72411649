#include "longtick/control/counter.h"

#include <limits>

namespace longtick {

namespace {

std::optional<int32_t> Checked(int64_t v) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(v);
}

std::optional<int32_t> Mul(int32_t a, int32_t b) { return Checked(static_cast<int64_t>(a) * b); }

std::optional<int32_t> Add(std::optional<int32_t> a, std::optional<int32_t> b) {
  if (!a || !b) return std::nullopt;
  return Checked(static_cast<int64_t>(*a) + *b);
}

}  // namespace

std::string_view PropertyName(Interval which) {
  switch (which) {
    case Interval::Seconds: return "IntervalSeconds";
    case Interval::Minutes: return "IntervalMinutes";
    case Interval::Hours: return "IntervalHours";
    case Interval::Days: return "IntervalDays";
  }
  return {};
}

int32_t PropertyDispid(Interval which) {
  switch (which) {
    case Interval::Seconds: return kDispidIntervalSeconds;
    case Interval::Minutes: return kDispidIntervalMinutes;
    case Interval::Hours: return kDispidIntervalHours;
    case Interval::Days: return kDispidIntervalDays;
  }
  return 0;
}

std::optional<int32_t> ComputeTargetSeconds(int32_t days, int32_t hours, int32_t minutes,
                                            int32_t seconds) {
  auto total = Add(Mul(days, 86400), Mul(hours, 3600));
  total = Add(total, Mul(minutes, 60));
  return Add(total, seconds);
}

std::optional<TimeLeft> BreakDown(int32_t target, int32_t elapsed) {
  auto r = Checked(static_cast<int64_t>(target) - elapsed);
  if (!r) return std::nullopt;
  // C++ division truncates toward zero and % takes the dividend's sign, as required.
  TimeLeft left;
  left.days = *r / 86400;
  left.hours = (*r % 86400) / 3600;
  left.minutes = (*r % 86400 % 3600) / 60;
  left.seconds = *r % 86400 % 3600 % 60;
  return left;
}

template <class Self>
auto& Counter::Slot(Self& self, Interval which) {
  switch (which) {
    case Interval::Seconds: return self.seconds_;
    case Interval::Minutes: return self.minutes_;
    case Interval::Hours: return self.hours_;
    case Interval::Days: break;
  }
  return self.days_;
}

int32_t Counter::interval(Interval which) const { return Slot(*this, which); }

Result Counter::RecomputeTarget() {
  auto target = ComputeTargetSeconds(days_, hours_, minutes_, seconds_);
  if (!target) return Result::Overflow;
  target_ = *target;
  return Result::Ok;
}

bool Counter::RestartTimer() {
  if (events_.SetTimerRunning(true)) return true;
  enabled_ = false;
  events_.PropertyChanged(kDispidEnabled);
  return false;
}

Result Counter::PutInterval(Interval which, int32_t value) {
  ResetCount();
  const bool running = !enabled_ || RestartTimer();
  Slot(*this, which) = value;
  events_.PropertyChanged(PropertyDispid(which));
  const Result result = RecomputeTarget();
  return running ? result : Result::TimerFailed;
}

Result Counter::PutEnabled(bool enabled) {
  if (enabled != enabled_) {
    if (!events_.SetTimerRunning(enabled)) return Result::TimerFailed;
    enabled_ = enabled;
  }
  events_.PropertyChanged(kDispidEnabled);
  return Result::Ok;
}

void Counter::Resize(bool user_mode) {
  if (!user_mode && enabled_) {
    enabled_ = false;
    events_.SetTimerRunning(false);
  }
}

Result Counter::Tick() {
  if (target_ == 0) return Result::Ok;
  if (in_timer_) {
    tick_in_timer_ = true;
    return Result::Ok;
  }
  if (elapsed_ == std::numeric_limits<int32_t>::max()) return Result::Overflow;
  ++elapsed_;
  // A count beyond a positive target (a load lowered it) has nothing left, not less.
  if (target_ > 0 && elapsed_ > target_) elapsed_ = target_;
  auto left = BreakDown(target_, elapsed_);
  if (!left) return Result::Overflow;
  events_.CountDown(*left);
  // The CountDown handler may have changed the interval or the count; use what is current.
  if (target_ > 0 && elapsed_ >= target_) return RaiseTimer();
  return Result::Ok;
}

Result Counter::RaiseTimer() {
  in_timer_ = true;
  tick_in_timer_ = false;
  events_.Timer();
  in_timer_ = false;
  elapsed_ = 0;
  // Seconds spent in the handler are not counted; the next interval is whole from here.
  if (tick_in_timer_ && enabled_ && !RestartTimer()) return Result::TimerFailed;
  return Result::Ok;
}

StoredProperties ReadStoredProperties(PropertyReader& reader) {
  StoredProperties stored;
  stored.seconds = reader.ReadLong(PropertyName(Interval::Seconds)).value_or(stored.seconds);
  stored.hours = reader.ReadLong(PropertyName(Interval::Hours)).value_or(stored.hours);
  stored.enabled = reader.ReadBool(kEnabledName).value_or(stored.enabled);
  stored.minutes = reader.ReadLong(PropertyName(Interval::Minutes)).value_or(stored.minutes);
  stored.days = reader.ReadLong(PropertyName(Interval::Days)).value_or(stored.days);
  return stored;
}

Result Counter::Load(const StoredProperties& stored) {
  // The timer first: when it cannot start, the control stays as it was.
  if (stored.enabled != enabled_) {
    if (!events_.SetTimerRunning(stored.enabled)) return Result::TimerFailed;
    enabled_ = stored.enabled;
  }
  seconds_ = stored.seconds;
  hours_ = stored.hours;
  minutes_ = stored.minutes;
  days_ = stored.days;
  // An overflowing total keeps the previous target, as after a put.
  (void)RecomputeTarget();
  events_.PropertyChanged(kDispidEnabled);
  return Result::Ok;
}

void Counter::Save(PropertyWriter& writer) const {
  auto write_long = [&](Interval which) {
    if (interval(which) != 0) writer.WriteLong(PropertyName(which), interval(which));
  };
  write_long(Interval::Seconds);
  write_long(Interval::Hours);
  if (!enabled_) writer.WriteBool(kEnabledName, false);
  write_long(Interval::Minutes);
  write_long(Interval::Days);
}

}  // namespace longtick
