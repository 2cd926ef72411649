#include "hushkey/shell/single_instance.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/shell/shell_fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

struct FakeMutex : NamedMutexPort {
  explicit FakeMutex(Log& log) : log(log) {}
  bool Create(const std::string& name) override { return log.push_back(name), created; }
  MutexWait Wait(std::uint32_t ms) override { return log.push_back(std::to_string(ms)), wait; }
  void ReleaseAndClose() override { log.push_back("release"); }
  Log& log;
  bool created = true;
  MutexWait wait = MutexWait::Acquired;
};

TEST(InstanceMutex, OwnedOrAbandonedIsOursAnythingElseIsAnotherInstance) {
  const struct {
    bool created;
    MutexWait wait;
    bool ours;
    Log log;
  } cases[] = {
      {true, MutexWait::Acquired, true, {"iHushkeyi", "1", "release"}},
      {true, MutexWait::Abandoned, true, {"iHushkeyi", "1", "release"}},
      {true, MutexWait::TimedOut, false, {"iHushkeyi", "1"}},
      {true, MutexWait::Failed, false, {"iHushkeyi", "1"}},
      {false, MutexWait::Acquired, false, {"iHushkeyi"}},
  };
  for (const auto& c : cases) {
    Log log;
    FakeMutex port(log);
    port.created = c.created;
    port.wait = c.wait;
    {
      InstanceMutex guard(port);
      EXPECT_EQ(guard.InstExists(), !c.ours);
      guard.Release();  // and once more on destruction: released once
    }
    EXPECT_EQ(log, c.log);
  }
}

// 1 ─┬─ 2 Frame ─┬─ 3 Edit
//    │           └─ 4 Frame ── 5 Edit
//    ├─ 6 Edit ── 7 Edit
//    └─ 8 Edit
TEST(FindChildByClass, FirstMatchDepthFirstInZOrder) {
  Log log;
  FakeWindows tree(log);
  const std::tuple<WindowRef, WindowRef, const char*> windows[] = {
      {1, 2, "Frame"}, {2, 3, "Edit"}, {2, 4, "Frame"}, {4, 5, "Edit"},
      {1, 6, "Edit"},  {6, 7, "Edit"}, {1, 8, "Edit"},
  };
  for (auto [p, w, cls] : windows) tree.Add(p, w, cls);
  const struct {
    WindowRef parent;
    const char* cls;
    WindowRef found;
  } cases[] = {{1, "Edit", 3}, {4, "Edit", 5}, {6, "Edit", 7}, {1, "Frame", 2},
               {1, "edit", 0}, {3, "Edit", 0}, {0, "Edit", 0}, {2, "Frame", 4}};
  for (const auto& c : cases)
    EXPECT_EQ(FindChildByClass(tree, c.parent, c.cls), c.found) << c.cls << " below " << c.parent;
}

TEST(HandOffToRunningInstance, SendsToTheOtherInstancesBox) {
  const struct {
    std::vector<WindowRef> topLevel;  // 99 is this process's own window
    const char* box1;                 // classes of windows 11 and 12, children of 10
    const char* box2;
    Log log;
  } cases[] = {
      {{10}, "ThunderRT6TextBox", "Edit", {"send 20 to 11"}},
      {{10}, "ThunderTextBox", "ThunderRT6TextBox", {"send 20 to 12"}},
      {{10}, "Edit", "ThunderTextBox", {"send 20 to 12"}},
      {{99, 10}, "ThunderRT6TextBox", "Edit", {"send 20 to 11"}},
      {{10}, "Edit", "Button", {}},
      {{99}, "ThunderRT6TextBox", "Edit", {}},
  };
  for (const auto& c : cases) {
    Log log;
    FakeWindows windows(log);
    windows.topLevel = c.topLevel;
    windows.own = 99;
    windows.Add(10, 11, c.box1);
    windows.Add(10, 12, c.box2);
    windows.Add(99, 98, "ThunderRT6TextBox");
    EXPECT_EQ(HandOffToRunningInstance(windows, ModeLockedAuto), !c.log.empty());
    EXPECT_EQ(log, c.log) << c.box1 << " " << c.box2;
    EXPECT_EQ(windows.pauses, c.log.empty() ? kHandOffAttempts - 1 : 0);
  }
  // Started at the same moment as the running instance: its window comes a little later.
  Log log;
  FakeWindows windows(log);
  windows.onPause = [&](int pauses) {
    if (pauses == 3) windows.topLevel = {10};
  };
  windows.Add(10, 11, "ThunderRT6TextBox");
  EXPECT_TRUE(HandOffToRunningInstance(windows, ModeLocked));
  EXPECT_EQ(log, Log{"send 2 to 11"});
  EXPECT_EQ(windows.pauses, 3);
}

TEST(txtChangeModeHid_Change, EveryCodeAndTheSameMode) {
  const struct {
    ModeCode current;
    const char* text;
    Log log;
    ModeCode after;
  } cases[] = {
      {2, "-1", {"restore", "clear"}, 2},
      {2, "-3", {"exit", "clear"}, 2},
      {2, "0", {"cancel", "clear"}, 0},
      {0, "1", {"cancel", "blockwin", "clear"}, 1},
      {20, "2", {"cancel", "lock", "clear"}, 2},
      {2, "20", {"cancel", "lock", "clear"}, 20},
      {30, "3", {"cancel", "autolock", "clear"}, 3},
      {1, "4", {"cancel", "allowonly", "clear"}, 4},
      {-1, "2", {"lock", "clear"}, 2},  // still starting up: nothing to cancel
      {2, "2", {"clear"}, 2},
      {20, "20", {"clear"}, 20},
      {2, "", {}, 2},  // the handler's own clearing
  };
  for (const auto& c : cases) {
    Log log;
    LockMode mode = c.current;
    FakeCommands commands(log, mode);
    txtChangeModeHid_Change(c.text, mode, commands);
    EXPECT_EQ(log, c.log) << c.current << " <- " << c.text;
    EXPECT_EQ(mode, c.after) << c.current << " <- " << c.text;
  }
  // During the allow-only delay the mode reads 0: every mode code cancels the coming
  // allow-only first, "0" included.
  for (const auto& c : {std::pair<const char*, Log>{"0", {"cancel", "clear"}},
                        {"4", {"cancel", "allowonly", "clear"}},
                        {"2", {"cancel", "lock", "clear"}},
                        {"-1", {"restore", "clear"}}}) {
    Log log;
    LockMode mode = ModeUnlocked;
    FakeCommands commands(log, mode);
    txtChangeModeHid_Change(c.first, mode, commands, true);
    EXPECT_EQ(log, c.second) << "pending allow-only <- " << c.first;
  }
}

TEST(txtChangeModeHid_Change, ForeignTextIsClearedAndChangesNothing) {
  for (const std::string& text :
       {std::string(" "), std::string("2 "), std::string("+2"), std::string("2.0"),
        std::string("02"), std::string("-0"), std::string("5"), std::string("30"),
        std::string("\xEF\xBC\x92"), std::string("99999999999999999999"), std::string(4000, '2'),
        std::string("2\0", 2)}) {
    Log log;
    LockMode mode = ModeAutoLock;
    FakeCommands commands(log, mode);
    txtChangeModeHid_Change(text, mode, commands);
    EXPECT_EQ(log, Log{"clear"}) << text.substr(0, 20);
    EXPECT_EQ(mode, ModeAutoLock);
  }
}

}  // namespace
}  // namespace hushkey
