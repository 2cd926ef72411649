// Fakes of the main window's ports. Every call is appended to one shared log, prefixed with
// the mode in force at the time, so tests can assert the order of steps and mode writes.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "hushkey/engine/app_state.h"
#include "hushkey/engine/ports.h"
#include "hushkey/modes/main_ports.h"

namespace hushkey::test {

struct EventLog {
  const AppState* state = nullptr;
  std::vector<std::string> events;
  void Add(const std::string& what) {
    events.push_back("[" + std::to_string(state->CurrentMode) + "] " + what);
  }
  std::size_t Count(const std::string& suffix) const {
    std::size_t n = 0;
    for (const auto& e : events) {
      if (e.size() >= suffix.size() &&
          e.compare(e.size() - suffix.size(), suffix.size(), suffix) == 0)
        ++n;
    }
    return n;
  }
};

inline const char* TF(bool b) { return b ? "T" : "F"; }

inline std::string IconName(TrayIcon icon) {
  switch (icon) {
    case TrayIcon::Amber: return "Amber";
    case TrayIcon::Blank: return "Blank";
    case TrayIcon::Blocked: return "Blocked";
    case TrayIcon::Blue: return "Blue";
    case TrayIcon::Green: return "Green";
    case TrayIcon::Red: return "Red";
  }
  return "?";
}

inline std::string HighlightEvent(const TwipsRect& r, Colour c) {
  char colour[16];
  std::snprintf(colour, sizeof colour, "%06x", static_cast<unsigned>(c));
  return "highlight " + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
         std::to_string(r.width) + "," + std::to_string(r.height) + " #" + colour;
}

class FakeView : public MainViewPort {
 public:
  explicit FakeView(EventLog& log) : log_(log) {}
  void SetModeButtonsEnabled(bool on) override {
    modeButtons = on;
    log_.Add(std::string("modes ") + TF(on));
  }
  void SetOptionsEnabled(bool on) override {
    options = on;
    log_.Add(std::string("options ") + TF(on));
  }
  void SetExitEnabled(bool on) override {
    exit = on;
    log_.Add(std::string("exit ") + TF(on));
  }
  void SetCancelEnabled(bool on) override {
    cancel = on;
    log_.Add(std::string("cancel ") + TF(on));
  }
  bool CancelEnabled() override { return cancel; }
  void SetMessage(const std::string& text) override {
    message = text;
    log_.Add("msg " + text);
  }
  std::string Message() override { return message; }
  void ShowHighlight(const TwipsRect& where, Colour colour) override {
    highlightVisible = true;
    highlight = where;
    highlightColour = colour;
    log_.Add(HighlightEvent(where, colour));
  }
  void HideHighlight() override {
    highlightVisible = false;
    log_.Add("nohighlight");
  }
  void SetAutoLockToolTip(const std::string& text) override {
    toolTip = text;
    log_.Add("tooltip " + text);
  }
  std::string AutoLockToolTip() override { return toolTip; }
  void Hide() override {
    visible = false;
    log_.Add("hide");
  }
  void Restore() override {
    visible = true;
    log_.Add("restore");
  }
  void MinimiseToTray() override {
    visible = false;
    log_.Add("minimise");
  }
  void ShowTrayMenu() override { log_.Add("traymenu"); }
  void ArmFlashEndTimer(std::int32_t ms) override {
    log_.Add("flash end in " + std::to_string(ms));
  }

  bool modeButtons = true, options = true, exit = true, cancel = false, visible = true;
  std::string message, toolTip = "countdown";
  bool highlightVisible = false;
  TwipsRect highlight;
  Colour highlightColour = 0;

 private:
  EventLog& log_;
};

class FakeTray : public TrayPort {
 public:
  explicit FakeTray(EventLog& log) : log_(log) {}
  void Add() override {
    ++adds;
    log_.Add("tray add");
  }
  void Modify(TrayIcon i, const std::string& tip) override {
    icon = i;
    this->tip = tip;
    log_.Add("tray " + IconName(i) + " " + tip);
  }
  void Delete() override { log_.Add("tray delete"); }
  void SetBlockedCursors() override { log_.Add("cursors blocked"); }
  void RestoreCursors() override { log_.Add("cursors restored"); }

  int adds = 0;
  TrayIcon icon = TrayIcon::Blank;
  std::string tip;

 private:
  EventLog& log_;
};

class FakeTimer : public InactivityTimerPort {
 public:
  explicit FakeTimer(EventLog& log) : log_(log) {}
  bool Enabled() override { return enabled; }
  void SetEnabled(bool on) override {
    enabled = on;
    log_.Add(std::string("timer enabled ") + TF(on));
  }
  std::int32_t IntervalMinutes() override { return minutes; }
  void SetIntervalMinutes(std::int32_t m) override {
    log_.Add("timer min " + std::to_string(m));
    if (!rejectSets) minutes = m;
  }
  std::int32_t IntervalSeconds() override { return seconds; }
  void SetIntervalSeconds(std::int32_t s) override {
    log_.Add("timer sec " + std::to_string(s));
    if (!rejectSets) seconds = s;
  }

  bool enabled = false, rejectSets = false;
  std::int32_t minutes = 10, seconds = 0;

 private:
  EventLog& log_;
};

class FakeDesktop : public DesktopPort {
 public:
  explicit FakeDesktop(EventLog& log) : log_(log) {}
  void Beep() override { log_.Add("beep"); }
  std::int32_t GetMouseSpeed() override { return 10; }
  void SetMouseSpeed(std::int32_t s) override { log_.Add("mousespeed " + std::to_string(s)); }
  void StartScreenSaver() override { log_.Add("screensaver"); }
  std::uint32_t TickCount() override { return 0; }
  std::string ForegroundWindowClass() override { return {}; }
  // What runs "during" the wait stands for the messages pumped meanwhile.
  void WaitMilliseconds(std::int32_t ms, bool pump) override {
    ++waits;
    log_.Add("wait " + std::to_string(ms) + (pump ? " pump" : ""));
    if (duringWait) {
      auto f = std::move(duringWait);
      duringWait = nullptr;
      f();
    }
  }

  std::function<void()> duringWait;
  int waits = 0;

 private:
  EventLog& log_;
};

// Behaves like the don't-lock-if check: only in modes 3 and 30 is a condition evaluated;
// failing, it sets 3 quietly; holding from 3, it sets 30 and announces.
class FakeCheck : public DontLockIfCheckPort {
 public:
  FakeCheck(EventLog& log, AppState& state) : log_(log), state_(state) {}
  bool CheckDontLockIf() override {
    log_.Add("check");
    if (state_.CurrentMode != ModeAutoLock && state_.CurrentMode != ModeAutoLockSuspended)
      return false;
    if (!holds) {
      state_.CurrentMode = ModeAutoLock;
      return false;
    }
    if (state_.CurrentMode == ModeAutoLock) {
      state_.CurrentMode = ModeAutoLockSuspended;
      announcer->UserMsg();
      announcer->UpdateTrayIcon();
    }
    return true;
  }

  bool holds = false;
  ModeAnnouncerPort* announcer = nullptr;

 private:
  EventLog& log_;
  AppState& state_;
};

}  // namespace hushkey::test
