// Fakes of the engine's ports that write every call into one shared log, so tests can check
// both what ran and in which order. The action fake changes the mode as the real mode
// commands do.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hushkey/engine/app_state.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/ports.h"

namespace hushkey::testing {

using Log = std::vector<std::string>;

class FakeDesktop final : public DesktopPort {
 public:
  explicit FakeDesktop(Log& log) : log_(log) {}
  void Beep() override { log_.push_back("Beep"); }
  std::int32_t GetMouseSpeed() override { return speed; }
  void SetMouseSpeed(std::int32_t s) override {
    speed = s;
    log_.push_back("SetMouseSpeed(" + std::to_string(s) + ")");
  }
  void StartScreenSaver() override { log_.push_back("StartScreenSaver"); }
  std::uint32_t TickCount() override {
    ++tickReads;
    const std::uint32_t t = tick;
    tick += tickStep;
    return t;
  }
  std::string ForegroundWindowClass() override {
    ++classQueries;
    return foregroundClass;
  }
  void WaitMilliseconds(std::int32_t, bool) override {}

  std::int32_t speed = 10;
  std::uint32_t tick = 0;
  std::uint32_t tickStep = 0;  // added after every reading
  int tickReads = 0;
  std::string foregroundClass;
  int classQueries = 0;

 private:
  Log& log_;
};

// A countdown like the hosted timer: writing either interval rewinds the count.
class FakeTimer final : public InactivityTimerPort {
 public:
  explicit FakeTimer(Log& log) : log_(log) {}
  bool Enabled() override { return enabled; }
  void SetEnabled(bool on) override {
    enabled = on;
    log_.push_back(on ? "Enabled=1" : "Enabled=0");
  }
  std::int32_t IntervalMinutes() override { return minutes; }
  void SetIntervalMinutes(std::int32_t m) override {
    minutes = m;
    elapsedSeconds = 0;
    log_.push_back("Minutes=" + std::to_string(m));
  }
  std::int32_t IntervalSeconds() override { return seconds; }
  void SetIntervalSeconds(std::int32_t s) override {
    seconds = s;
    elapsedSeconds = 0;
    log_.push_back("Seconds=" + std::to_string(s));
  }

  // Lets time pass; returns true if the timer fired in it.
  bool Advance(std::int32_t secs) {
    if (!enabled) return false;
    const std::int32_t interval = minutes * 60 + seconds;
    elapsedSeconds += secs;
    if (interval <= 0 || elapsedSeconds < interval) return false;
    elapsedSeconds %= interval;
    return true;
  }
  std::int32_t SecondsUntilFire() const { return minutes * 60 + seconds - elapsedSeconds; }

  bool enabled = false;
  std::int32_t minutes = 0, seconds = 0, elapsedSeconds = 0;

 private:
  Log& log_;
};

class FakeActions final : public FilterActionPort {
 public:
  FakeActions(Log& log, AppState& app) : log_(log), app_(app) {}
  void LockAll() override {
    log_.push_back("LockAll");
    app_.CurrentMode = ModeLockedAuto;
  }
  void cmdAutoLock_Click() override {
    log_.push_back("AutoLock");
    app_.CurrentMode = ModeAutoLock;
  }
  void cmdCancel_Click() override {
    log_.push_back("Cancel");
    app_.CurrentMode = ModeUnlocked;
  }
  void OpenEntryGate() override { log_.push_back("OpenEntryGate"); }
  void EnableFlashTimer() override { log_.push_back("Flash"); }

 private:
  Log& log_;
  AppState& app_;
};

// A program state with all fakes wired into a filter context.
struct EngineRig {
  Log log;
  AppState app;
  FakeDesktop desktop{log};
  FakeTimer timer{log};
  FakeActions actions{log, app};
  FilterContext ctx{app, desktop, timer, actions};

  explicit EngineRig(LockMode mode = ModeUnlocked) { app.CurrentMode = mode; }

  // Key events as the hook sees them (generic key messages; the flags carry up/down), time
  // stamped with `now`; Wait lets time pass between events.
  bool Down(std::uint32_t vk) { return FilterKeyEvent(ctx, 0, 256, vk, 0, now); }
  bool Up(std::uint32_t vk) { return FilterKeyEvent(ctx, 0, 257, vk, 0x80, now); }
  void Wait(std::uint32_t ms) { now += ms; }
  std::uint32_t now = 1000;
  bool Mouse(std::uint32_t message) { return FilterMouseEvent(ctx, 0, message); }
  Log Take() {
    Log out;
    out.swap(log);
    return out;
  }
};

}  // namespace hushkey::testing
