// The interfaces through which the portable logic reaches the platform and the main
// window. Tests implement them with fakes; the *_win32 adapters with the real thing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace hushkey {

// The inactivity timer: the hosted long-interval timer control, seen through the three
// properties the program uses. Writing an interval property rewinds its count.
class InactivityTimerPort {
 public:
  virtual ~InactivityTimerPort() = default;
  virtual bool Enabled() = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual std::int32_t IntervalMinutes() = 0;
  virtual void SetIntervalMinutes(std::int32_t minutes) = 0;
  virtual std::int32_t IntervalSeconds() = 0;
  virtual void SetIntervalSeconds(std::int32_t seconds) = 0;
};

enum class AccessFeature : std::uint8_t { StickyKeys, FilterKeys, ToggleKeys };

// The desktop: system-wide side effects and queries of the lock engine and mode commands.
class DesktopPort {
 public:
  virtual ~DesktopPort() = default;
  virtual void Beep() = 0;
  virtual std::int32_t GetMouseSpeed() = 0;  // 1..20, 0 when the query fails
  virtual void SetMouseSpeed(std::int32_t speed) = 0;
  virtual void StartScreenSaver() = 0;
  virtual std::uint32_t TickCount() = 0;            // milliseconds, wraps at 2^32
  virtual std::string ForegroundWindowClass() = 0;  // UTF-8, at most 99 characters
  virtual void WaitMilliseconds(std::int32_t ms, bool pump) = 0;
  // An accessibility feature's flags; nullopt when the system cannot tell (then nothing is
  // changed). SetAccessFlags answers false when the system refused.
  virtual std::optional<std::uint32_t> AccessFlags(AccessFeature feature) = 0;
  virtual bool SetAccessFlags(AccessFeature feature, std::uint32_t flags) = 0;
  // A short note kept across runs of the program (empty when there is none).
  virtual std::string AccessNote() = 0;
  virtual void SetAccessNote(const std::string& note) = 0;
  // Checks a typed unlock word against its stored hash once the input hook has returned
  // (hashing takes milliseconds), and runs `onMatch` if it is the word.
  virtual void CheckUnlockWord(const std::string& storedHash, const std::string& typed,
                               std::function<void()> onMatch) = 0;
};

// What the input filters run when a key sequence completes or input is swallowed: the
// main window's mode commands, the options dialog's entry gate and the flash timer.
class FilterActionPort {
 public:
  virtual ~FilterActionPort() = default;
  virtual void LockAll() = 0;
  virtual void cmdAutoLock_Click() = 0;
  virtual void cmdCancel_Click() = 0;
  virtual void OpenEntryGate() = 0;
  virtual void EnableFlashTimer() = 0;
  // True while a mode command is under way (it may be waiting on another process, with the
  // filters called meanwhile). RunWhenIdle runs `work` now when none is, else once it and
  // every command held behind it have finished.
  virtual bool CommandRunning() const = 0;
  virtual void RunWhenIdle(std::function<void()> work) = 0;
};

}  // namespace hushkey
