#include "hushkey/shell/shutdown.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "tests/shell/shell_fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

struct FakeApp : ShutdownPort {
  explicit FakeApp(Log& log) : log(log) {}
  void RestoreDesktop() override { log.push_back("restore desktop"); }
  bool TrayIconAdded() override { return trayAdded; }
  void DeleteTrayIcon() override { log.push_back("delete tray icon"); }
  void ReleaseInstanceMutex() override { log.push_back("release mutex"); }
  void EndProgram() override { log.push_back("end"); }
  Log& log;
  bool trayAdded = true;
};

Log Ending(Log first, bool trayAdded = true) {
  for (const char* e :
       {"remove keyboard", "remove mouse", "delete tray icon", "release mutex", "end"})
    if (trayAdded || std::string(e) != "delete tray icon") first.push_back(e);
  return first;
}

struct Harness {
  Log log;
  LockMode mode = ModeLocked;
  // Cancel may process messages: a close request can arrive meanwhile (once, from `reenter`).
  struct Commands : FakeCommands {
    using FakeCommands::FakeCommands;
    void cmdCancel_Click() override {
      FakeCommands::cmdCancel_Click();
      if (auto f = std::exchange(reenter, nullptr)) f();
    }
    std::function<void()> reenter;
  } commands{log, mode};
  FakeHooks hooks{log};
  FakeApp app{log};
  ProgramShutdown shutdown{commands, hooks, app};
};

TEST(ProgramShutdown, CloseBoxHidesEveryOtherReasonEndsInOrder) {
  const struct {
    UnloadReason reason;
    bool trayAdded;
    Log log;
  } cases[] = {
      {UnloadReason::ControlMenu, true, {"minimise"}},
      {UnloadReason::Program, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::WindowsEnding, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::TaskManager, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::Program, false, Ending({"restore desktop", "cancel"}, false)},
  };
  for (const auto& c : cases) {
    Harness h;
    h.app.trayAdded = c.trayAdded;
    h.shutdown.Unload(c.reason);
    EXPECT_EQ(h.log, c.log) << static_cast<int>(c.reason);
    EXPECT_EQ(h.mode, c.reason == UnloadReason::ControlMenu ? ModeLocked : ModeUnlocked);
  }
}

// A close request that arrives while the ending runs is turned away: the ending runs once.
TEST(ProgramShutdown, OneEndingAtATime) {
  Harness h;
  h.commands.reenter = [&h] {
    h.shutdown.Unload(UnloadReason::WindowsEnding);
    h.shutdown.Unload(UnloadReason::ControlMenu);
  };
  h.shutdown.cmdExit_Click();
  EXPECT_EQ(h.log, Ending({"restore desktop", "cancel"}));
}

}  // namespace
}  // namespace hushkey
