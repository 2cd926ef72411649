#include "hushkey/shell/startup.h"

#include <gtest/gtest.h>

#include "tests/shell/shell_fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

// A refused hook is said plainly, with the system's reason, and nothing stays installed:
// the program must not look as if it locked anything.
TEST(InstallInputHooks, KeyboardThenMouseAndAPlainMessageWhenRefused) {
  // Left out: the hook is installed; no message.
  struct Case {
    bool keyboardOk = true, mouseOk = true;
    Log calls;
    const char* names = nullptr;  // the hook the message names
  };
  const Case cases[] = {
      {.calls = {"install keyboard", "install mouse"}},
      {.keyboardOk = false, .calls = {"install keyboard"}, .names = "keyboard"},
      {.mouseOk = false,
       .calls = {"install keyboard", "install mouse", "remove keyboard"},
       .names = "mouse"},
  };
  for (const Case& c : cases) {
    Log calls;
    FakeHooks hooks(calls);
    hooks.keyboardOk = c.keyboardOk;
    hooks.mouseOk = c.mouseOk;
    const std::string message = InstallInputHooks(hooks);
    EXPECT_EQ(calls, c.calls);
    if (!c.names) {
      EXPECT_EQ(message, "");
      continue;
    }
    EXPECT_EQ(message, std::string("Hushkey could not install its ") + c.names +
                           " filter, so it cannot lock the keyboard and mouse.\r\n\r\n"
                           "System error 5: Access is denied.\r\n\r\nHushkey will now close.");
  }
}

struct FakeStartup : StartupPort {
  FakeStartup(Log& log, AppState& state) : log(log), state(state) {}
  bool CreateInstanceGuard() override { return log.push_back("guard"), anotherInstance; }
  void UndoLeftoverChanges() override { log.push_back("undo leftovers"); }
  std::int32_t GetMouseSpeed() override { return log.push_back("mouse speed"), 7; }
  void ShowMainWindow() override { log.push_back("show"); }
  void SetVersionText(const std::string& text) override { log.push_back(text); }
  void RefreshSettings() override { log.push_back("settings"); }
  void UpdateTrayIcon() override {
    log.push_back("tray " + std::to_string(Code(state.CurrentMode)));
  }
  void ReportStartupFailure(const std::string&) override { log.push_back("failure"); }
  void DispatchPendingMessages() override {
    log.push_back("pump");
    if (handOffWhilePumping != ModeUnlocked) state.CurrentMode = handOffWhilePumping;
  }
  Log& log;
  AppState& state;
  bool anotherInstance = false;
  ModeCode handOffWhilePumping = 0;  // a mode a hand-off enters meanwhile; 0: none
};

// Everything up to the hooks, the tray icon showing the request, then `then`.
Log Started(const char* tray, Log then) {
  Log log{"guard", "undo leftovers", "mouse speed",      "show",         "v1.97", "settings",
          tray,    "pump",           "install keyboard", "install mouse"};
  log.insert(log.end(), then.begin(), then.end());
  return log;
}

TEST(Form_Load, StepsInOrderThenExactlyOneStartCommand) {
  const struct {
    const char* argument;
    bool another, keyboardOk;
    ModeCode handOff;
    Log log;
    ModeCode mode;
  } cases[] = {
      {"", false, true, 0, Started("tray -1", {}), 0},
      {"/unlocked", false, true, 0, Started("tray 0", {"minimise"}), 0},
      {"/LOCK", false, true, 0, Started("tray 2", {"lock"}), 2},
      {"/AutoLockL", false, true, 0, Started("tray 20", {"lock"}), 20},
      {"/allowonly", false, true, 0, Started("tray 4", {"allowonly"}), 4},
      // A hand-off taken with the pending messages is not undone by the start mode.
      {"/show", false, true, 2, Started("tray -1", {"lock"}), 2},
      // Another instance runs: hand over, nothing else.
      {"/autolockl", true, true, 0, {"guard", "send 20 to 11"}, 20},
      {"", true, true, 0, {"guard", "send -1 to 11"}, -1},
      // Hooks refused: the user is told, no mode is entered.
      {"/lock",
       false,
       false,
       0,
       {"guard", "undo leftovers", "mouse speed", "show", "v1.97", "settings", "tray 2", "pump",
        "install keyboard", "failure"},
       2},
  };
  for (const auto& c : cases) {
    Log log;
    AppState state;
    FakeStartup startup(log, state);
    startup.anotherInstance = c.another;
    startup.handOffWhilePumping = c.handOff;
    FakeHooks hooks(log);
    hooks.keyboardOk = c.keyboardOk;
    FakeCommands commands(log, state.CurrentMode);
    FakeWindows windows(log);
    windows.topLevel = {10};
    windows.Add(10, 11, "ThunderRT6TextBox");
    const StartupOutcome outcome =
        Form_Load(c.argument, state, {startup, hooks, &commands, windows});
    EXPECT_EQ(outcome, c.another      ? StartupOutcome::HandedOff
                       : c.keyboardOk ? StartupOutcome::Running
                                      : StartupOutcome::HooksRefused);
    EXPECT_EQ(log, c.log) << c.argument;
    EXPECT_EQ(state.CurrentMode, c.mode) << c.argument;
    EXPECT_EQ(state.lock.OrigMouseSpeed, c.another ? 0 : 7);
  }
}

}  // namespace
}  // namespace hushkey
