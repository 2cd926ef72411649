#include "hushkey/shell/shutdown.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "tests/shell/shell_fakes.h"

namespace hushkey {
namespace {

struct FakeMachine : MachineIdentityPort {
  std::string GetMachineName() override { return name; }
  std::uint32_t GetVolumeSerial(const std::string& root) override {
    return root == "C:\\" ? serial : 0;
  }
  std::string name = "NURSERY";
  std::uint32_t serial = 0x1234ABCD;
};

TEST(IsListedMachine, NameExactlyThenSerialAndFlag) {
  const ListedMachine list[] = {
      {"NURSERY", 0x1234ABCD, false}, {"NURSERY", 0x99, false}, {"STUDY", 0x1234ABCD, true}};
  const struct {
    const char* name;
    std::uint32_t serial;
    bool flag, listed;
  } cases[] = {
      {"NURSERY", 0x1234ABCD, false, true},  {"NURSERY", 0x99, false, false},  // first decides
      {"nursery", 0x1234ABCD, false, false}, {"STUDY", 0x1234ABCD, false, false},
      {"STUDY", 0x1234ABCD, true, true},     {"", 0, false, false},
  };
  for (const auto& c : cases) {
    FakeMachine machine;
    machine.name = c.name;
    machine.serial = c.serial;
    EXPECT_EQ(IsListedMachine(c.flag, list, machine), c.listed) << c.name << " " << c.flag;
  }
  FakeMachine machine;
  EXPECT_FALSE(IsListedMachine(false, ProductListedMachines(), machine));
  using namespace std::string_literals;
  EXPECT_EQ(TrimAtNul("NURSERY\0\0x"s), "NURSERY");
  EXPECT_EQ(TrimAtNul("NURSERY"), "NURSERY");
  EXPECT_EQ(VolumeRootPath("d:\\data"), "d:\\");
}

struct FakeApp : ShutdownPort {
  explicit FakeApp(Log& log) : log(log) {}
  void RestoreDesktop() override { log.push_back("restore desktop"); }
  bool TrayIconAdded() override { return trayAdded; }
  void DeleteTrayIcon() override { log.push_back("delete tray icon"); }
  void ReleaseInstanceMutex() override { log.push_back("release mutex"); }
  void WriteTextFile(const std::string& path, const std::string& text) override {
    log.push_back(path + " " + text);
  }
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
  FakeMachine machine;
  const ListedMachine list[1] = {{"NURSERY", 0x1234ABCD, false}};
  ProgramShutdown shutdown{commands, hooks, app, machine, list};
};

TEST(ProgramShutdown, CloseBoxHidesEveryOtherReasonEndsInOrder) {
  const std::string marker =
      "C:\\ShutdownOk.txt Flag to show system shutting down normally - created by Hushkey\r\n";
  const struct {
    UnloadReason reason;
    bool listed, trayAdded;
    Log log;
  } cases[] = {
      {UnloadReason::ControlMenu, true, true, {"minimise"}},
      {UnloadReason::Program, true, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::WindowsEnding, false, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::WindowsEnding, true, true, Ending({"restore desktop", marker, "cancel"})},
      {UnloadReason::TaskManager, true, true, Ending({"restore desktop", "cancel"})},
      {UnloadReason::Program, true, false, Ending({"restore desktop", "cancel"}, false)},
  };
  for (const auto& c : cases) {
    Harness h;
    h.app.trayAdded = c.trayAdded;
    if (!c.listed) h.machine.serial = 1;
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
