// The long-interval counter behind the Longtick control: four interval values, the target
// they add up to, the count of one-second ticks and the rule applied on every tick. It knows
// nothing of COM or windows; the hosting layer feeds it ticks and property calls and carries
// out what it asks for through CounterEvents.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "longtick/control/longtick_ids.h"

namespace longtick {

enum class Interval { Seconds, Minutes, Hours, Days };

std::string_view PropertyName(Interval which);
int32_t PropertyDispid(Interval which);
inline constexpr std::string_view kEnabledName = "Enabled";

// Overflow: a total or a count left the 32-bit range. TimerFailed: the platform timer
// could not be started, so Enabled stays (or becomes) false.
enum class Result { Ok, Overflow, TimerFailed };

// The time left until Timer, as CountDown reports it.
struct TimeLeft {
  int32_t years = 0;
  int32_t months = 0;
  int32_t weeks = 0;
  int32_t days = 0;
  int32_t hours = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
  bool operator==(const TimeLeft&) const = default;
};

// days*86400 + hours*3600 + minutes*60 + seconds in 32-bit signed arithmetic; nothing when
// any product or sum leaves the 32-bit range.
std::optional<int32_t> ComputeTargetSeconds(int32_t days, int32_t hours, int32_t minutes,
                                            int32_t seconds);

// Splits target - elapsed into days, hours, minutes and seconds (division truncating toward
// zero, remainders with the sign of the dividend); nothing when the difference overflows.
std::optional<TimeLeft> BreakDown(int32_t target, int32_t elapsed);

// What the counter asks of its host.
class CounterEvents {
 public:
  // Start (true) or stop the one-second platform timer. Starting a running timer starts
  // its second anew, so that a restarted count is never shortened by a tick already due.
  // False when the timer could not be started; stopping always succeeds.
  virtual bool SetTimerRunning(bool running) = 0;
  // Tell the container that the property with this dispatch identifier changed.
  virtual void PropertyChanged(int32_t dispid) = 0;
  virtual void CountDown(const TimeLeft& left) = 0;
  virtual void Timer() = 0;

 protected:
  ~CounterEvents() = default;
};

// Stored properties as the counter reads and writes them. Readers return nothing for a
// name that is not stored.
class PropertyReader {
 public:
  virtual std::optional<int32_t> ReadLong(std::string_view name) = 0;
  virtual std::optional<bool> ReadBool(std::string_view name) = 0;

 protected:
  ~PropertyReader() = default;
};

// The stored properties with the defaults a missing one takes.
struct StoredProperties {
  int32_t seconds = 0;
  int32_t hours = 0;
  bool enabled = true;
  int32_t minutes = 0;
  int32_t days = 0;
};

// Reads IntervalSeconds, IntervalHours, Enabled, IntervalMinutes and IntervalDays in this
// order; a name that is not stored keeps its default.
StoredProperties ReadStoredProperties(PropertyReader& reader);

class PropertyWriter {
 public:
  virtual void WriteLong(std::string_view name, int32_t value) = 0;
  virtual void WriteBool(std::string_view name, bool value) = 0;

 protected:
  ~PropertyWriter() = default;
};

class Counter {
 public:
  explicit Counter(CounterEvents& events) : events_(events) {}

  int32_t interval(Interval which) const;
  // ResetCount (and, while enabled, restart the platform timer's second), store the value,
  // report the change, recompute the target. On overflow the value stays stored and the
  // target keeps its previous value. A timer that cannot be restarted is stopped: Enabled
  // becomes false (with its change notice) and the put reports TimerFailed.
  Result PutInterval(Interval which, int32_t value);

  // The platform timer's state is the Enabled property: switching it pauses and resumes
  // the count without changing it.
  bool enabled() const { return enabled_; }
  Result PutEnabled(bool enabled);

  // The container changed the control's size (or its user mode): outside user mode (a
  // designer) the timer is stopped so that a designer never ticks.
  void Resize(bool user_mode);

  // One tick of the one-second timer. Timer fires when the count reaches or has passed a
  // positive target (a load may have lowered the target below the count); CountDown then
  // reports all zeros, never a remainder below zero. A target of 0 or below never fires.
  // While a Timer handler runs (one that pumps messages gets the ticks due meanwhile) the
  // count stands still: no Timer inside Timer, and when the handler has returned the next
  // interval starts whole, its first second anew if a tick came during the handler.
  Result Tick();

  int32_t target_seconds() const { return target_; }
  int32_t elapsed_seconds() const { return elapsed_; }

  // Applies stored properties: the intervals without a count reset or change notice, then
  // Enabled as its put does. A total that overflows keeps the previous target, as a put
  // does, and is no error: whatever a control accepted and saved must load again. When the
  // timer cannot start, nothing is applied.
  Result Load(const StoredProperties& stored);
  // Writes the same properties in the same order, leaving out values equal to the default.
  void Save(PropertyWriter& writer) const;

 private:
  void ResetCount() { elapsed_ = 0; }
  // The field behind an interval property; one selection for reading and for writing.
  template <class Self>
  static auto& Slot(Self& self, Interval which);
  Result RecomputeTarget();
  // Starts the running timer's second anew; when that fails the timer is off.
  bool RestartTimer();
  Result RaiseTimer();

  CounterEvents& events_;
  int32_t seconds_ = 0;
  int32_t minutes_ = 0;
  int32_t hours_ = 0;
  int32_t days_ = 0;
  int32_t target_ = 0;
  int32_t elapsed_ = 0;
  bool enabled_ = false;
  bool in_timer_ = false;       // a Timer handler is running
  bool tick_in_timer_ = false;  // and a tick came meanwhile
};

}  // namespace longtick
