// The test fakes of the ports the suites share: the desktop, the inactivity timer, the
// filters' actions, the mode announcer, the main window's view, tray and don't-lock-if check.
// Every fake appends each call to one EventLog, so a test checks what ran and in which order
// in one list. The lines:
//   desktop   "beep", "mousespeed N", "screensaver", "wait N" / "wait N pump"
//   timer     "timer enabled T" / "timer enabled F", "timer min N", "timer sec N"
//   actions   "lock all", "autolock click", "cancel click", "entry gate", "flash timer"
//   announcer "user msg", "update tray icon"
//   view      "modes T|F", "options T|F", "exit T|F", "cancel T|F", "msg TEXT",
//             "highlight L,T,W,H #RRGGBB" (see HighlightEvent), "nohighlight", "tooltip TEXT",
//             "hide", "restore", "minimise", "traymenu", "flash end in N"
//   tray      "tray add", "tray ICON TIP", "tray delete", "cursors blocked", "cursors restored"
//   cover     "cover TEXT", "cover dim TEXT", "cover off"
//   check     "check"
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/mode_code.h"
#include "hushkey/engine/app_state.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/ports.h"
#include "hushkey/modes/main_ports.h"

namespace hushkey::fakes {

using Events = std::vector<std::string>;

// One line per call, in call order. With a program state attached, each line starts with
// the mode in force at the call: "[2] beep".
struct EventLog {
  const AppState* state = nullptr;
  Events events;

  void Add(const std::string& what) {
    std::string line;
    if (state) line.append("[").append(std::to_string(Code(state->CurrentMode))).append("] ");
    events.push_back(line.append(what));
  }
  // How many lines end with `suffix`.
  std::size_t Count(const std::string& suffix) const {
    return std::count_if(events.begin(), events.end(),
                         [&](const std::string& e) { return e.ends_with(suffix); });
  }
  // The lines so far; the log starts empty again.
  Events Take() { return std::exchange(events, {}); }
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

class FakeDesktop final : public DesktopPort {
 public:
  explicit FakeDesktop(EventLog& log) : log_(log) {}
  void Beep() override { log_.Add("beep"); }
  std::int32_t GetMouseSpeed() override { return speed; }
  void SetMouseSpeed(std::int32_t s) override {
    speed = s;
    log_.Add("mousespeed " + std::to_string(s));
  }
  void StartScreenSaver() override { log_.Add("screensaver"); }
  std::uint32_t TickCount() override {
    ++tickReads;
    return std::exchange(tick, tick + tickStep);
  }
  std::string ForegroundWindowClass() override {
    ++classQueries;
    return foregroundClass;
  }
  // What runs "during" the wait stands for the messages pumped meanwhile.
  void WaitMilliseconds(std::int32_t ms, bool pump) override {
    ++waits;
    log_.Add("wait " + std::to_string(ms) + (pump ? " pump" : ""));
    if (duringWait) std::exchange(duringWait, nullptr)();
  }
  // No feature readable unless a test says so (as on Wine).
  std::optional<std::uint32_t> AccessFlags(AccessFeature f) override {
    return access.count(f) ? std::optional(access[f]) : std::nullopt;
  }
  bool SetAccessFlags(AccessFeature f, std::uint32_t flags) override {
    access[f] = flags;
    return true;
  }
  std::string AccessNote() override { return accessNote; }
  void SetAccessNote(const std::string& note) override { accessNote = note; }
  // The stored "hash" is the word itself here.
  void CheckUnlockWord(const std::string& stored, const std::string& typed,
                       std::function<void()> onMatch) override {
    log_.Add("word " + typed);
    if (typed == stored) onMatch();
  }

  std::map<AccessFeature, std::uint32_t> access;
  std::string accessNote;
  std::int32_t speed = 10;
  std::uint32_t tick = 0, tickStep = 0;  // tickStep is added after every reading
  int tickReads = 0, classQueries = 0, waits = 0;
  std::string foregroundClass;
  std::function<void()> duringWait;

 private:
  EventLog& log_;
};

// A countdown like the hosted timer (10 minutes to start with): writing either interval
// rewinds the count. With rejectSets the timer keeps its intervals, as one that refuses the
// values written.
class FakeTimer final : public InactivityTimerPort {
 public:
  explicit FakeTimer(EventLog& log) : log_(log) {}
  bool Enabled() override { return enabled; }
  void SetEnabled(bool on) override {
    enabled = on;
    log_.Add(std::string("timer enabled ") + TF(on));
  }
  std::int32_t IntervalMinutes() override { return minutes; }
  void SetIntervalMinutes(std::int32_t m) override { Set("timer min ", minutes, m); }
  std::int32_t IntervalSeconds() override { return seconds; }
  void SetIntervalSeconds(std::int32_t s) override { Set("timer sec ", seconds, s); }

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

  bool enabled = false, rejectSets = false;
  std::int32_t minutes = 10, seconds = 0, elapsedSeconds = 0;

 private:
  void Set(const char* what, std::int32_t& field, std::int32_t value) {
    log_.Add(what + std::to_string(value));
    if (rejectSets) return;
    field = value;
    elapsedSeconds = 0;
  }
  EventLog& log_;
};

// The filters' actions; the mode commands change the mode as the real ones do.
class FakeActions final : public FilterActionPort {
 public:
  FakeActions(EventLog& log, AppState& app) : log_(log), app_(app) {}
  void LockAll() override {
    log_.Add("lock all");
    app_.CurrentMode = ModeLockedAuto;
  }
  void cmdAutoLock_Click() override {
    log_.Add("autolock click");
    app_.CurrentMode = ModeAutoLock;
  }
  void cmdCancel_Click() override {
    log_.Add("cancel click");
    app_.CurrentMode = ModeUnlocked;
  }
  void OpenEntryGate() override { log_.Add("entry gate"); }
  void EnableFlashTimer() override { log_.Add("flash timer"); }
  // With `busy`, work waits in `held` as it would behind a running mode command.
  bool CommandRunning() const override { return busy; }
  void RunWhenIdle(std::function<void()> work) override {
    if (busy)
      held.push_back(std::move(work));
    else
      work();
  }
  void RunHeld() {
    busy = false;
    for (auto& work : std::exchange(held, {})) work();
  }
  bool busy = false;
  std::vector<std::function<void()>> held;

 private:
  EventLog& log_;
  AppState& app_;
};

class FakeView final : public MainViewPort {
 public:
  explicit FakeView(EventLog& log) : log_(log) {}
  void SetModeButtonsEnabled(bool on) override { Set(modeButtons, on, "modes "); }
  void SetOptionsEnabled(bool on) override { Set(options, on, "options "); }
  void SetExitEnabled(bool on) override { Set(exit, on, "exit "); }
  void SetCancelEnabled(bool on) override { Set(cancel, on, "cancel "); }
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
  void Hide() override { Show(false, "hide"); }
  void Restore() override { Show(true, "restore"); }
  void MinimiseToTray() override { Show(false, "minimise"); }
  void ShowTrayMenu() override { log_.Add("traymenu"); }
  void ClearHandOffBox() override { log_.Add("clear"); }
  void ArmFlashEndTimer(std::int32_t ms) override {
    log_.Add("flash end in " + std::to_string(ms));
  }

  bool modeButtons = true, options = true, exit = true, cancel = false, visible = true;
  std::string message, toolTip = "countdown";
  bool highlightVisible = false;
  TwipsRect highlight;
  Colour highlightColour = 0;

 private:
  void Set(bool& enabled, bool on, const char* what) {
    enabled = on;
    log_.Add(what + std::string(TF(on)));
  }
  void Show(bool shown, const char* what) {
    visible = shown;
    log_.Add(what);
  }
  EventLog& log_;
};

class FakeTray final : public TrayPort {
 public:
  explicit FakeTray(EventLog& log) : log_(log) {}
  bool Add() override {
    ++adds;
    log_.Add("tray add");
    return keyboard;
  }
  void Modify(TrayIcon i, const std::string& tip) override {
    icon = i;
    this->tip = tip;
    log_.Add("tray " + IconName(i) + " " + tip);
    // What the thread handles while the notification area answers (once).
    if (duringModify) std::exchange(duringModify, nullptr)();
  }
  void Notify(const std::string& text) override { log_.Add("notify " + text); }
  void Delete() override { log_.Add("tray delete"); }
  void SetBlockedCursors() override { log_.Add("cursors blocked"); }
  void RestoreCursors() override { log_.Add("cursors restored"); }

  int adds = 0;
  bool keyboard = false;  // the tray sends the context-menu and key-select codes
  TrayIcon icon = TrayIcon::Blank;
  std::string tip;
  std::function<void()> duringModify;

 private:
  EventLog& log_;
};

class FakeCover final : public InputCoverPort {
 public:
  explicit FakeCover(EventLog& log) : log_(log) {}
  void Show(bool dim, const std::string& t) override {
    log_.Add((dim ? "cover dim " : "cover ") + t);
  }
  void Hide() override { log_.Add("cover off"); }

 private:
  EventLog& log_;
};

// Answers as the don't-lock-if check does: checked only in modes 3 and 30, then suspend
// while `holds`, lock otherwise.
class FakeCheck final : public DontLockIfCheckPort {
 public:
  FakeCheck(EventLog& log, AppState& state) : log_(log), state_(state) {}
  DontLockIfVerdict CheckDontLockIf() override {
    log_.Add("check");
    DontLockIfVerdict v;
    if (state_.CurrentMode == ModeAutoLock || state_.CurrentMode == ModeAutoLockSuspended)
      v.outcome = holds ? DontLockIfOutcome::Suspend : DontLockIfOutcome::Lock;
    return v;
  }

  bool holds = false;

 private:
  EventLog& log_;
  AppState& state_;
};

// A program state with the engine's fakes wired into a filter context. The log carries no
// mode prefix.
struct EngineRig {
  EventLog log;
  AppState app;
  FakeDesktop desktop{log};
  FakeTimer timer{log};
  FakeActions actions{log, app};
  FilterContext ctx{app, desktop, timer, actions};

  explicit EngineRig(LockMode mode = ModeUnlocked) { app.CurrentMode = mode; }

  // Key events as the hook sees them (generic key messages; the flags carry up/down), time
  // stamped with `now`; Wait lets time pass between events.
  bool Down(std::uint32_t vk) { return FilterKeyEvent(ctx, 0, MsgKeyDown, vk, 0, now); }
  bool Up(std::uint32_t vk) { return FilterKeyEvent(ctx, 0, MsgKeyUp, vk, KeyFlagUp, now); }
  void Wait(std::uint32_t ms) { now += ms; }
  std::uint32_t now = 1000;
  bool Mouse(std::uint32_t message) { return FilterMouseEvent(ctx, 0, message); }
  Events Take() { return log.Take(); }
};

}  // namespace hushkey::fakes
