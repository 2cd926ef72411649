#include "hushkey/modes/main_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hushkey/engine/access_shortcuts.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/modes/main_layout.h"
#include "tests/support/fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

using ::testing::ElementsAreArray;
using namespace fakes;

const std::string kLock(kLockAllText);
const std::string kBlock(kBlockWinCtrlText);
const std::string kAllow(kAllowOnlyText);
const std::string kIp(kSuspendedIpText);
// What the tray tooltip shows before the status text.
const std::string kTip = "Hushkey \xE2\x80\x93 ";

const std::string kHlAuto = HighlightEvent({240, 125, 1395, 605}, 0x00C000);
const std::string kHlLock = HighlightEvent({2985, 125, 1395, 605}, 0x0000FF);
const std::string kHlBlock = HighlightEvent({240, 815, 1395, 605}, 0x0080FF);
const std::string kHlAllow = HighlightEvent({2985, 815, 1395, 605}, 0x0080FF);

class MainControllerTest : public ::testing::Test {
 protected:
  MainControllerTest() {
    log.state = &state;
    state.lock.OrigMouseSpeed = 7;
    state.settings.MouseSpd = 3;
  }

  // Puts the controller in `mode` with the tray icon already added, and forgets the log.
  void Start(LockMode mode) {
    state.CurrentMode = mode;
    ctl.UpdateTrayIcon();
    log.events.clear();
  }

  AppState state;
  EventLog log;
  FakeView view{log};
  FakeTray tray{log};
  FakeCover cover{log};
  FakeTimer timer{log};
  FakeDesktop desktop{log};
  FakeCheck check{log, state};
  Settings loaded;
  MainController ctl{state, view, tray, cover, timer, desktop, check, [this](std::int32_t orig) {
                       log.Add("load " + std::to_string(orig));
                       return loaded;
                     }};
};

// --- Step order of each command ----------------------------------------------------------

// A command run from a mode, and its steps. Left out: run from unlocked with UseScrnSvr and
// SetMouseSpd off.
struct CommandCase {
  const char* name;
  LockMode start = ModeUnlocked;
  bool useScrnSvr = false, setMouseSpd = false;
  void (MainController::*command)();
  std::vector<std::string> expected;
  ModeCode endMode;  // the window is visible afterwards only when this is unlocked
};

class CommandOrderTest : public MainControllerTest,
                         public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandOrderTest, RunsStepsInOrder) {
  const CommandCase& c = GetParam();
  state.settings.UseScrnSvr = c.useScrnSvr;
  state.settings.SetMouseSpd = c.setMouseSpd;
  Start(c.start);
  (ctl.*c.command)();
  EXPECT_THAT(log.events, ElementsAreArray(c.expected));
  EXPECT_EQ(state.CurrentMode, c.endMode);
  EXPECT_EQ(view.visible, c.endMode == ModeUnlocked);
}

// The lock's steps, in the mode they run in: 2 for the Lock button, 20 for the lock from
// autolock (already 20 while its steps run, so that a command coming meanwhile sees it).
std::vector<std::string> LockSteps(const std::string& mode) {
  std::vector<std::string> steps = {"modes F",
                                    "options F",
                                    "exit F",
                                    "cancel F",
                                    "msg " + kLock,
                                    kHlLock,
                                    "tray Red " + kTip + kLock,
                                    "hide"};
  for (std::string& s : steps) s = "[" + mode + "] " + s;
  return steps;
}
const std::vector<std::string> kLockSteps = LockSteps("2");

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const CommandCase kCommands[] = {
    {.name = "LockAllClickWithScreenSaver",
     .useScrnSvr = true,
     .command = &MainController::cmdLockAll_Click,
     .expected = Concat(kLockSteps, {"[2] screensaver"}),
     .endMode = LockMode{2}},
    {.name = "LockAllClickNoScreenSaver",
     .command = &MainController::cmdLockAll_Click,
     .expected = kLockSteps,
     .endMode = LockMode{2}},
    {.name = "LockAllFromAutolock",
     .start = LockMode{3},
     .useScrnSvr = true,
     .command = &MainController::LockAll,
     .expected = Concat(
         Concat({"[3] timer enabled F", "[3] timer min 10", "[3] timer sec 0"}, LockSteps("20")),
         {"[20] screensaver", "[20] tray Red " + kTip + kLock}),
     .endMode = LockMode{20}},
    {.name = "AutoLockFromUnlocked",
     .command = &MainController::cmdAutoLock_Click,
     .expected = {"[0] check", "[3] modes F", "[3] options F", "[3] exit T", "[3] cancel T",
                  "[3] check", "[3] msg countdown", "[3] " + kHlAuto, "[3] timer enabled T",
                  "[3] tray Green " + kTip + "countdown", "[3] hide"},
     .endMode = LockMode{3}},
    {.name = "BlockWinCtrlWithMouseSpeed",
     .setMouseSpd = true,
     .command = &MainController::cmdBlockWinCtrl_Click,
     .expected = {"[1] modes F", "[1] options F", "[1] exit T", "[1] cancel T", "[1] msg " + kBlock,
                  "[1] " + kHlBlock, "[1] mousespeed 3", "[1] tray Amber " + kTip + kBlock,
                  "[1] hide"},
     .endMode = LockMode{1}},
    {.name = "BlockWinCtrlWithoutMouseSpeed",
     .command = &MainController::cmdBlockWinCtrl_Click,
     .expected = {"[1] modes F", "[1] options F", "[1] exit T", "[1] cancel T", "[1] msg " + kBlock,
                  "[1] " + kHlBlock, "[1] tray Amber " + kTip + kBlock, "[1] hide"},
     .endMode = LockMode{1}},
    {.name = "AllowOnly",
     .command = &MainController::cmdAllowOnly_Click,
     .expected = {"[4] modes F", "[4] options F", "[4] exit T", "[4] cancel T", "[4] msg " + kAllow,
                  "[4] " + kHlAllow, "[0] wait 5000 pump",
                  // the allow-only text is longer than the tray tip holds
                  "[4] tray Amber " + kTip + kAllow.substr(0, 117), "[4] hide"},
     .endMode = LockMode{4}},
    {.name = "CancelFromLockedLeavesTimer",
     .start = LockMode{2},
     .setMouseSpd = true,
     .command = &MainController::cmdCancel_Click,
     .expected = {"[2] modes T", "[2] options T", "[2] exit T", "[2] cancel F", "[0] msg ",
                  "[0] nohighlight", "[0] tray Blank " + kTip + "unlocked"},
     .endMode = LockMode{0}},
    {.name = "CancelFromAutolockStopsTimer",
     .start = LockMode{3},
     .command = &MainController::cmdCancel_Click,
     .expected = {"[3] timer enabled F", "[3] timer min 10", "[3] timer sec 0", "[3] modes T",
                  "[3] options T", "[3] exit T", "[3] cancel F", "[0] msg ", "[0] nohighlight",
                  "[0] tray Blank " + kTip + "unlocked"},
     .endMode = LockMode{0}},
    {.name = "CancelFromBlockWinCtrlRestoresMouseSpeed",
     .start = LockMode{1},
     .setMouseSpd = true,
     .command = &MainController::cmdCancel_Click,
     .expected = {"[1] mousespeed 7", "[1] modes T", "[1] options T", "[1] exit T", "[1] cancel F",
                  "[0] msg ", "[0] nohighlight", "[0] tray Blank " + kTip + "unlocked"},
     .endMode = LockMode{0}},
    {.name = "CancelFromBlockWinCtrlMouseSpeedOff",
     .start = LockMode{1},
     .command = &MainController::cmdCancel_Click,
     .expected = {"[1] modes T", "[1] options T", "[1] exit T", "[1] cancel F", "[0] msg ",
                  "[0] nohighlight", "[0] tray Blank " + kTip + "unlocked"},
     .endMode = LockMode{0}},
    {.name = "CancelFromAllowOnly",
     .start = LockMode{4},
     .setMouseSpd = true,
     .command = &MainController::cmdCancel_Click,
     .expected = {"[4] modes T", "[4] options T", "[4] exit T", "[4] cancel F", "[0] msg ",
                  "[0] nohighlight", "[0] tray Blank " + kTip + "unlocked"},
     .endMode = LockMode{0}},
};
INSTANTIATE_TEST_SUITE_P(Commands, CommandOrderTest, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainControllerTest, LockAllEndsInTwentyWithLockTextAndRedTray) {
  Start(ModeAutoLockSuspended);
  ctl.LockAll();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
  EXPECT_EQ(view.message, kLock);
  EXPECT_EQ(tray.icon, TrayIcon::Red);
  EXPECT_FALSE(timer.enabled);
  EXPECT_FALSE(view.cancel);
  EXPECT_FALSE(view.exit);
}

// --- Autolock and the don't-lock-if check ------------------------------------------------

TEST_F(MainControllerTest, AutoLockWithHoldingConditionEndsSuspendedAfterUserMsg) {
  check.holds = true;
  state.settings.DontLockIfOpt = DontLockIfCondition{1};
  Start(ModeUnlocked);
  ctl.cmdAutoLock_Click();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[0] check", "[3] modes F", "[3] options F", "[3] exit T", "[3] cancel T",
                  // UserMsg in mode 3: the check moves to 30 and announces (nested UserMsg,
                  // then the tray), then the outer UserMsg finishes with the same text.
                  "[3] check", "[30] check", "[30] msg " + kIp, "[30] " + kHlAuto,
                  "[30] tray Blue " + kTip + kIp, "[30] msg " + kIp, "[30] " + kHlAuto,
                  "[30] timer enabled T", "[30] tray Blue " + kTip + kIp, "[30] hide"}));
  EXPECT_EQ(state.CurrentMode, ModeAutoLockSuspended);
}

TEST_F(MainControllerTest, AutoLockFromSuspendedStaysSuspended) {
  check.holds = true;
  state.settings.DontLockIfOpt = DontLockIfCondition{2};
  Start(ModeAutoLockSuspended);
  ctl.cmdAutoLock_Click();
  EXPECT_EQ(state.CurrentMode, ModeAutoLockSuspended);
  EXPECT_EQ(view.message, std::string(kSuspendedFileText));
  EXPECT_EQ(tray.icon, TrayIcon::Blue);
}

struct TimerCase {
  const char* name;
  ModeCode start;
  bool holds = false;
  ModeCode endMode;
  std::size_t locks;  // how many times the window was hidden by a lock
};

class TimerEventTest : public MainControllerTest,
                       public ::testing::WithParamInterface<TimerCase> {};

TEST_P(TimerEventTest, LocksUnlessConditionHolds) {
  const TimerCase& c = GetParam();
  check.holds = c.holds;
  Start(c.start);
  timer.enabled = true;
  ctl.Longtick1_Timer();
  EXPECT_EQ(state.CurrentMode, c.endMode);
  EXPECT_EQ(log.Count("] hide"), c.locks);
  EXPECT_EQ(timer.enabled, c.locks == 0);
}

const TimerCase kTimerCases[] = {
    {.name = "ArmedNoCondition", .start = LockMode{3}, .endMode = 20, .locks = 1},
    {.name = "ArmedConditionHolds", .start = LockMode{3}, .holds = true, .endMode = 30, .locks = 0},
    {.name = "SuspendedConditionHolds",
     .start = LockMode{30},
     .holds = true,
     .endMode = 30,
     .locks = 0},
    {.name = "SuspendedConditionEnded", .start = LockMode{30}, .endMode = 20, .locks = 1},
};
INSTANTIATE_TEST_SUITE_P(Timer, TimerEventTest, ::testing::ValuesIn(kTimerCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The allow-only delay ------------------------------------------------------------------

TEST_F(MainControllerTest, CancelDuringAllowOnlyDelayKeepsUnlockedAndVisible) {
  Start(ModeUnlocked);
  desktop.duringWait = [this] { ctl.cmdCancel_Click(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_EQ(state.CurrentMode, ModeUnlocked);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(log.Count("] hide"), 0u);
  EXPECT_EQ(log.events.back(), "[0] tray Blank " + kTip + "unlocked");
  EXPECT_TRUE(view.modeButtons);
}

TEST_F(MainControllerTest, LockSequenceDuringAllowOnlyDelayStaysLocked) {
  Start(ModeUnlocked);
  desktop.duringWait = [this] { ctl.LockAll(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
  EXPECT_EQ(tray.icon, TrayIcon::Red);
  EXPECT_EQ(log.events.back(), "[20] tray Red " + kTip + kLock);
}

// Alt+Home during the delay arms autolock; allow-only must not then take over with the
// inactivity timer still running.
TEST_F(MainControllerTest, AutolockDuringAllowOnlyDelayStaysArmed) {
  Start(ModeUnlocked);
  desktop.duringWait = [this] { ctl.cmdAutoLock_Click(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_EQ(state.CurrentMode, ModeAutoLock);
  EXPECT_EQ(tray.icon, TrayIcon::Green);
  EXPECT_TRUE(timer.enabled);
  EXPECT_EQ(log.events.back(), "[3] hide");
}

// A key remembered from an earlier spell in mode 1 or 4 (Alt+Home leaves Home behind) is no
// autorepeat: entering either mode starts with no remembered key.
// A command asked for while another runs (the thread serves the hooks while the tray's
// process answers) waits until that one has finished: Alt+Home in the middle of the lock
// from autolock (it sees mode 20 and arms autolock) does not leave a locked desktop showing
// the window of another mode; it comes after the lock, whole.
TEST_F(MainControllerTest, ACommandDuringAnotherRunsAfterIt) {
  Start(ModeAutoLock);
  tray.duringModify = [this] {
    EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
    ctl.cmdAutoLock_Click();
  };
  ctl.LockAll();
  EXPECT_EQ(state.CurrentMode, ModeAutoLock);
  EXPECT_EQ(view.message, "countdown");
  EXPECT_TRUE(view.cancel);
  const auto lockDone =
      std::find(log.events.begin(), log.events.end(), "[20] tray Red " + kTip + kLock);
  const auto autolock = std::find(log.events.begin(), log.events.end(), "[20] check");
  EXPECT_LT(lockDone, autolock) << "the autolock ran inside the lock";
}

// A second start's "20" that comes during another command waits for it whole: the mode is
// set to 20 after the lock has run, not before (where the lock would turn it into 2).
TEST_F(MainControllerTest, LockReturningToAutolockWaitsWholeForACommandRunning) {
  Start(ModeUnlocked);
  bool asked = false;
  tray.duringModify = [&] {
    if (asked) return;
    asked = true;
    ctl.LockReturningToAutolock();
    EXPECT_EQ(state.CurrentMode, ModeAutoLock) << "ran inside the autolock command";
  };
  ctl.cmdAutoLock_Click();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
  EXPECT_EQ(tray.icon, TrayIcon::Red);
}

// A second start moving a locked desktop into another lock runs Cancel and the lock as one
// command: while the tray's process answers in between, the filters still decide as locked,
// and a command that comes meanwhile (Alt+Home) runs after the whole change, on the mode it
// left. During the allow-only delay the program says allow-only is on its way.
TEST_F(MainControllerTest, AHandedOverChangeIsOneCommandAndHoldsTheStricterMode) {
  Start(ModeLocked);
  std::vector<LockMode> seen;
  tray.duringModify = [this, &seen] {
    seen.push_back(FilterMode(state));
    ctl.cmdAutoLock_Click();
    tray.duringModify = [this, &seen] { seen.push_back(FilterMode(state)); };
  };
  ctl.AsOneCommand([this] {
    ctl.cmdCancel_Click();
    ctl.LockReturningToAutolock();
  });
  EXPECT_EQ(seen, (std::vector<LockMode>{ModeLocked, ModeLocked}));
  EXPECT_EQ(state.CurrentMode, ModeAutoLock) << "Alt+Home ran after the change, from 20";
  EXPECT_FALSE(state.ModeBeforeCommand);

  Start(ModeUnlocked);
  bool pending = false;
  desktop.duringWait = [&] { pending = ctl.AllowOnlyPending(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_TRUE(pending);
  EXPECT_FALSE(ctl.AllowOnlyPending());
}

// The shortcuts of accessibility features the user has off are off while keys are swallowed
// or filtered and back exactly afterwards (features that are on, and other flags, are left
// alone); a note says what to put back, also to a later start after a killed copy.
TEST_F(MainControllerTest, AccessibilityShortcutsAreOffOnlyWhileKeysAreFiltered) {
  using F = AccessFeature;
  const std::map<F, std::uint32_t> user{{F::StickyKeys, 6}, {F::FilterKeys, 5}, {F::ToggleKeys, 4}};
  const std::map<F, std::uint32_t> off{{F::StickyKeys, 2}, {F::FilterKeys, 5}, {F::ToggleKeys, 0}};
  desktop.access = user;
  Start(ModeUnlocked);
  for (auto [command, filtering] : {std::pair{&MainController::cmdLockAll_Click, true},
                                    {&MainController::cmdCancel_Click, false},
                                    {&MainController::cmdAutoLock_Click, false},
                                    {&MainController::cmdBlockWinCtrl_Click, true}}) {
    (ctl.*command)();
    EXPECT_EQ(desktop.access, filtering ? off : user) << state.CurrentMode;
    EXPECT_EQ(desktop.accessNote, filtering ? "ST" : "");
  }
  ctl.RestoreDesktop();  // the program ends
  EXPECT_EQ(desktop.access, user);
  desktop.access = off;  // a killed copy's leftovers
  desktop.accessNote = "ST";
  RestoreAccessShortcuts(desktop);
  EXPECT_EQ(desktop.access, user);
}

// The input cover is up exactly while clicks are swallowed and BlockTouch is on, once per lock,
// dimmed as asked; down during the allow-only delay of a hand-off and when the program ends.
TEST_F(MainControllerTest, InputCoverIsUpOnlyWhileClicksAreSwallowedAndTouchIsBlocked) {
  using C = MainController;
  const struct {
    void (C::*command)();
    bool blockTouch = true, allowMouse = false, dim = false, shown = false;
  } steps[] = {
      {.command = &C::cmdLockAll_Click, .shown = true},
      {.command = &C::cmdCancel_Click},
      {.command = &C::LockAll, .dim = true, .shown = true},
      {.command = &C::cmdAutoLock_Click},
      {.command = &C::cmdAllowOnly_Click, .shown = true},
      {.command = &C::cmdAllowOnly_Click, .allowMouse = true},
      {.command = &C::cmdBlockWinCtrl_Click},
      {.command = &C::LockReturningToAutolock, .blockTouch = false},
      {.command = &C::LockReturningToAutolock, .shown = true},
  };
  Start(ModeUnlocked);
  for (const auto& step : steps) {
    state.settings.BlockTouch = step.blockTouch;
    state.settings.AOMAllowMouse = step.allowMouse;
    state.settings.DimWhenLocked = step.dim;
    (ctl.*step.command)();
    EXPECT_EQ(ctl.InputCoverShown(), step.shown) << state.CurrentMode;
  }
  EXPECT_EQ(log.Count("] cover Locked \xE2\x80\x94 press Alt+Home to unlock"), 3u);
  EXPECT_EQ(log.Count("[20] cover dim Locked \xE2\x80\x94 press Alt+Home to unlock"), 1u);
  EXPECT_EQ(log.Count("cover off"), 3u);
  desktop.duringWait = [this] { EXPECT_FALSE(ctl.InputCoverShown()) << "up during the delay"; };
  ctl.AsOneCommand([this] { ctl.cmdCancel_Click(), ctl.cmdAllowOnly_Click(); });
  EXPECT_EQ(log.Count("cover off"), 4u);
  ctl.RestoreDesktop();
  EXPECT_FALSE(ctl.InputCoverShown());
  EXPECT_EQ(log.Count("cover off"), 5u);
}

// The shell restarted: the icon is added again with the picture and tooltip in force (the
// blocked picture while a flash shows); a program without an icon yet adds none.
TEST_F(MainControllerTest, TaskbarRecreatedAddsTheIconAgain) {
  ctl.OnTaskbarCreated();
  EXPECT_TRUE(log.events.empty());
  state.CurrentMode = ModeAutoLock;
  view.message = "armed";
  ctl.UpdateTrayIcon();
  log.events.clear();
  ctl.OnTaskbarCreated();
  ctl.timFlashTray_Timer();
  ctl.OnTaskbarCreated();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[3] tray add", "[3] tray Green " + kTip + "armed",
                  "[3] tray Blocked " + kTip + "armed", "[3] cursors blocked",
                  "[3] flash end in 150", "[3] tray add", "[3] tray Blocked " + kTip + "armed"}));
  EXPECT_EQ(ctl.TrayIconAdds(), 3);
}

TEST_F(MainControllerTest, SessionChangeForgetsTheAltKeys) {
  state.lock.LeftAltDown = state.lock.RightAltDown = true;
  ctl.OnSessionChange();
  EXPECT_FALSE(state.lock.LeftAltDown || state.lock.RightAltDown);
}

TEST_F(MainControllerTest, EnteringModeOneOrFourForgetsTheLastKey) {
  for (auto command :
       {&MainController::cmdBlockWinCtrl_Click, &MainController::cmdAllowOnly_Click}) {
    Start(ModeUnlocked);
    state.lock.LastKeyDown = 36;
    (ctl.*command)();
    EXPECT_EQ(state.lock.LastKeyDown, 0u);
  }
}

TEST_F(MainControllerTest, AllowOnlyMessageShowsWhileWindowVisibleDuringDelay) {
  Start(ModeUnlocked);
  bool visible = false;
  std::string msg;
  desktop.duringWait = [&] {
    visible = view.visible;
    msg = view.message;
  };
  ctl.cmdAllowOnly_Click();
  EXPECT_TRUE(visible);
  EXPECT_EQ(msg, kAllow);
}

// --- Status display --------------------------------------------------------------------

// The state UserMsg meets. Left out: DontLockIfOpt 0, no condition holding.
struct UserMsgState {
  ModeCode mode;
  std::int16_t opt = 0;
  bool holds = false;
};

// The message and highlight frame. Left out: what the display showed before UserMsg.
struct Display {
  std::string message = "previous";
  bool highlighted = true;
  TwipsRect rect{1, 2, 3, 4};
  Colour colour = 0x123456;
};

struct UserMsgCase {
  const char* name;
  UserMsgState in;
  Display want = {};
};

class UserMsgTest : public MainControllerTest, public ::testing::WithParamInterface<UserMsgCase> {};

TEST_P(UserMsgTest, ShowsModeText) {
  const UserMsgState& in = GetParam().in;
  const Display& want = GetParam().want;
  check.holds = in.holds;
  state.settings.DontLockIfOpt = static_cast<DontLockIfCondition>(in.opt);
  Start(in.mode);
  const Display before;
  view.message = before.message;
  view.highlightVisible = before.highlighted;
  view.highlight = before.rect;
  view.highlightColour = before.colour;
  ctl.UserMsg();
  EXPECT_EQ(view.message, want.message);
  EXPECT_EQ(view.highlightVisible, want.highlighted);
  EXPECT_EQ(view.highlight, want.rect);
  EXPECT_EQ(view.highlightColour, want.colour);
  // The message is always set before the highlight.
  std::size_t msgAt = log.events.size(), hlAt = log.events.size();
  for (std::size_t i = 0; i < log.events.size(); ++i) {
    if (log.events[i].find("] msg ") != std::string::npos) msgAt = std::min(msgAt, i);
    if (log.events[i].find("] highlight") != std::string::npos) hlAt = std::min(hlAt, i);
  }
  if (msgAt < log.events.size() && hlAt < log.events.size()) {
    EXPECT_LT(msgAt, hlAt);
  }
}

const TwipsRect kAuto{240, 125, 1395, 605}, kLk{2985, 125, 1395, 605};
const TwipsRect kBlk{240, 815, 1395, 605}, kAo{2985, 815, 1395, 605};

const UserMsgCase kUserMsgCases[] = {
    {"Unlocked", {.mode = 0}, {.message = "", .highlighted = false}},
    {"BlockWinCtrl", {.mode = 1}, {.message = kBlock, .rect = kBlk, .colour = 0x0080FF}},
    {"Locked", {.mode = 2}, {.message = kLock, .rect = kLk, .colour = 0x0000FF}},
    {"LockedAuto", {.mode = 20}, {.message = kLock, .rect = kLk, .colour = 0x0000FF}},
    {"AutoLock", {.mode = 3}, {.message = "countdown", .rect = kAuto, .colour = 0x00C000}},
    {"SuspendedEndedShowsCountdown",
     {.mode = 30, .opt = 1},
     {.message = "countdown", .rect = kAuto, .colour = 0x00C000}},
    {"SuspendedDayTime",
     {.mode = 30, .holds = true},
     {.message = "Autolock suspended (day/time setting)", .rect = kAuto, .colour = 0x00C000}},
    {"SuspendedIp",
     {.mode = 30, .opt = 1, .holds = true},
     {.message = "Autolock suspended (IP address)", .rect = kAuto, .colour = 0x00C000}},
    {"SuspendedFile",
     {.mode = 30, .opt = 2, .holds = true},
     {.message = "Autolock suspended (File check)", .rect = kAuto, .colour = 0x00C000}},
    {"SuspendedOtherOptKeepsCaption",
     {.mode = 30, .opt = 5, .holds = true},
     {.rect = kAuto, .colour = 0x00C000}},
    {"SuspendedNegativeOptKeepsCaption",
     {.mode = 30, .opt = -1, .holds = true},
     {.rect = kAuto, .colour = 0x00C000}},
    {"ArmedConditionStartsHolding",
     {.mode = 3, .opt = 1, .holds = true},
     {.message = "Autolock suspended (IP address)", .rect = kAuto, .colour = 0x00C000}},
    {"AllowOnly", {.mode = 4}, {.message = kAllow, .rect = kAo, .colour = 0x0080FF}},
    {"EntryRequestLeavesDisplay", {.mode = 99}},
    {"StartRequestLeavesDisplay", {.mode = -1}},
};
INSTANTIATE_TEST_SUITE_P(Modes, UserMsgTest, ::testing::ValuesIn(kUserMsgCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Tray ---------------------------------------------------------------------------------

TEST_F(MainControllerTest, FirstTrayUpdateAddsThenModifies) {
  state.CurrentMode = ModeLocked;
  view.message = "m";
  ctl.UpdateTrayIcon();
  ctl.UpdateTrayIcon();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[2] tray add", "[2] tray Red " + kTip + "m", "[2] tray Red " + kTip + "m"}));
  EXPECT_TRUE(ctl.TrayIconAdded());
}

TEST_F(MainControllerTest, TrayTipIsCutToWhatTheTrayHolds) {
  Start(ModeLocked);
  view.message = std::string(100, 'x') + std::string(20, 'y') +
                 "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9zz";
  ctl.UpdateTrayIcon();
  EXPECT_EQ(tray.tip, kTip + std::string(100, 'x') + std::string(17, 'y'));
}

// A flash shows the blocked picture until 150 ms after the last swallowed input: more
// input only notes its time and the end timer waits out the rest, so a held key never
// stacks one flash on another; the end shows the mode in force then (here: unlocked during
// the flash).
TEST_F(MainControllerTest, FlashIsExtendedNotNestedAndEndsWithTheModeThen) {
  state.CurrentMode = ModeLocked;
  view.message = kLock;
  ctl.UpdateTrayIcon();
  log.events.clear();
  desktop.tick = 1000;
  ctl.timFlashTray_Timer();
  ctl.timFlashTray_Timer();
  desktop.tick = 1100;
  static_cast<FilterActionPort&>(ctl).EnableFlashTimer();
  desktop.tick = 1150;
  ctl.timFlashEnd_Timer();  // 50 ms since the last input: 100 to go
  EXPECT_TRUE(ctl.FlashShowing());
  ctl.cmdCancel_Click();
  desktop.tick = 1250;
  ctl.timFlashEnd_Timer();
  ctl.timFlashEnd_Timer();
  EXPECT_FALSE(ctl.FlashShowing());
  EXPECT_EQ(ctl.FlashesShown(), 1);
  EXPECT_THAT(log.events, ElementsAreArray(std::vector<std::string>{
                              "[2] tray Blocked " + kTip + kLock, "[2] cursors blocked",
                              "[2] flash end in 150", "[2] flash end in 100", "[2] modes T",
                              "[2] options T", "[2] exit T", "[2] cancel F", "[0] msg ",
                              "[0] nohighlight", "[0] tray Blank " + kTip + "unlocked",
                              "[0] tray Blank " + kTip + "unlocked", "[0] cursors restored"}));
  EXPECT_EQ(desktop.waits, 0) << "the flash must not pump messages in a nested wait";
}

// Every ending puts the user's pointers and mouse speed back first, also in the middle of
// a flash; deleting the tray icon ends a flash under way.
TEST_F(MainControllerTest, RestoreDesktopEndsAFlashAndUndoesTheMouseSpeed) {
  state.settings.SetMouseSpd = true;
  Start(ModeUnlocked);
  ctl.cmdBlockWinCtrl_Click();
  ctl.timFlashTray_Timer();
  log.events.clear();
  ctl.RestoreDesktop();
  ctl.RestoreDesktop();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[1] tray Amber " + kTip + kBlock, "[1] cursors restored", "[1] mousespeed 7"}));
  ctl.timFlashTray_Timer();
  log.events.clear();
  ctl.DeleteTrayIcon();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[1] tray Amber " + kTip + kBlock, "[1] cursors restored", "[1] tray delete"}));
}

TEST_F(MainControllerTest, FlashWithoutTrayIconDoesNothing) {
  state.CurrentMode = ModeLocked;
  ctl.timFlashTray_Timer();
  EXPECT_TRUE(log.events.empty());
}

TEST_F(MainControllerTest, DeletedTrayIconIsAddedAgainByNextUpdate) {
  Start(ModeUnlocked);
  ctl.DeleteTrayIcon();
  ctl.DeleteTrayIcon();
  EXPECT_FALSE(ctl.TrayIconAdded());
  ctl.timFlashTray_Timer();
  ctl.UpdateTrayIcon();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{"[0] tray delete", "[0] tray add",
                                                        "[0] tray Blank " + kTip + "unlocked"}));
}

TEST_F(MainControllerTest, TrayCallbackCodes) {
  // A tray that reports the keyboard sends the context-menu code after the right button's
  // release, and the key-select code for Enter: one menu, one restore each.
  for (const bool keyboard : {false, true}) {
    log.events.clear();
    ctl.DeleteTrayIcon();
    tray.keyboard = keyboard;
    Start(ModeUnlocked);
    for (std::uint32_t code : {512u, 513u, 514u, 515u, 516u, 517u, 0x7Bu, 518u, 0x401u})
      ctl.OnTrayCallback(code);
    ctl.MinimiseToTray();
    EXPECT_THAT(log.events,
                ElementsAreArray(std::vector<std::string>{
                    "[0] restore", "[0] restore", "[0] traymenu", "[0] restore", "[0] minimise"}));
  }
}

// Locking tells the parent how to unlock, once per lock, while the reminder setting is on.
TEST_F(MainControllerTest, LockIsAnnouncedOncePerLock) {
  const std::string notice =
      "[2] notify Hushkey locked the keyboard and mouse. Press Alt+Home "
      "to unlock.";
  for (const bool reminder : {true, false}) {
    Start(ModeUnlocked);
    state.settings.ShowLckUnlSeq = reminder;
    ctl.cmdLockAll_Click();
    ctl.timFlashTray_Timer();
    ctl.timFlashEnd_Timer();
    ctl.UpdateTrayIcon();
    // A hand-off from this lock to another is the same lock: no second notice.
    ctl.AsOneCommand([&] {
      ctl.cmdCancel_Click();
      ctl.LockReturningToAutolock();
    });
    EXPECT_EQ(log.Count(notice), reminder ? 1u : 0u);
    // Out of the lock and into autolock, whose timer locks again: announced again, saying
    // what Alt+Home returns to.
    ctl.cmdCancel_Click();
    ctl.cmdAutoLock_Click();
    ctl.Longtick1_Timer();
    EXPECT_EQ(log.Count("[20] notify Hushkey locked the keyboard and mouse. Press Alt+Home to "
                        "unlock. Hushkey then returns to autolock."),
              reminder ? 1u : 0u);
    ctl.cmdCancel_Click();
  }
}

// --- Settings and the countdown description -------------------------------------------------

TEST_F(MainControllerTest, RefreshSettingsSetsIntervalAndDescription) {
  loaded.Timeout = 1.5f;
  loaded.StopMouseMove = true;
  Start(ModeAutoLock);
  ctl.RefreshSettings();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[3] load 7", "[3] timer min 1", "[3] timer sec 30",
                  "[3] tooltip System will be locked if no activity in 1 min 30 secs"}));
  EXPECT_EQ(state.settings, loaded);
}

TEST_F(MainControllerTest, RefreshSettingsDescribesWhatTheTimerHolds) {
  loaded.Timeout = 2.25f;
  timer.rejectSets = true;  // the timer keeps 10 min 0 s
  Start(ModeUnlocked);
  ctl.RefreshSettings();
  EXPECT_EQ(view.toolTip, "System will be locked if no activity (excl mouse move) in 10 mins ");
}

// The options dialog puts the user's mouse speed back when it closes; in block-window-control
// mode (entered by a hand-off while it was open) the reload sets the mode's speed again.
TEST_F(MainControllerTest, RefreshSettingsKeepsTheMouseSpeedOfTheMode) {
  loaded.SetMouseSpd = true;
  loaded.MouseSpd = 2;
  for (ModeCode mode : {ModeBlockWinCtrl, ModeUnlocked, ModeLocked}) {
    Start(mode);
    desktop.speed = 7;
    ctl.RefreshSettings();
    EXPECT_EQ(desktop.speed, mode == ModeBlockWinCtrl ? 2 : 7) << mode;
  }
}

TEST_F(MainControllerTest, RefreshSettingsKeepsHugeTimeoutWithinTimerRange) {
  loaded.Timeout = 1e30f;
  Start(ModeUnlocked);
  ctl.RefreshSettings();
  EXPECT_EQ(timer.minutes, 35791394);
  EXPECT_EQ(timer.seconds, 0);
}

// --- Requests from the filters ---------------------------------------------------------------

TEST_F(MainControllerTest, FilterRequestsReachHooksAndCommands) {
  Start(ModeLocked);
  int flashes = 0, gates = 0;
  FilterActionPort& port = ctl;
  port.EnableFlashTimer();  // no hook yet: ignored
  port.OpenEntryGate();
  ctl.SetHooks({[&] { ++flashes; }, [&] { ++gates; }, nullptr});
  port.EnableFlashTimer();
  port.OpenEntryGate();
  port.OpenEntryGate();
  EXPECT_EQ(flashes, 1);
  EXPECT_EQ(gates, 2);
  // While the blocked picture is up, more swallowed input only puts its end off.
  ctl.timFlashTray_Timer();
  port.EnableFlashTimer();
  EXPECT_EQ(flashes, 1);
  EXPECT_EQ(log.Count("flash end in 150"), 1u);
  port.cmdCancel_Click();
  EXPECT_EQ(state.CurrentMode, ModeUnlocked);
  port.cmdAutoLock_Click();
  EXPECT_EQ(state.CurrentMode, ModeAutoLock);
  port.LockAll();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
}

// The check only says what it found; the controller moves between 3 and 30 and shows a new
// suspension (status, then tray) once.
TEST_F(MainControllerTest, CheckDontLockIfMovesBetweenAutolockAndSuspended) {
  const struct {
    ModeCode from;
    bool holds, result;
    ModeCode to;
    bool shown;
  } cases[] = {{3, true, true, 30, true},    {30, true, true, 30, false},
               {30, false, false, 3, false}, {3, false, false, 3, false},
               {2, true, false, 2, false},   {StartRequestShow, true, false, -1, false}};
  state.settings.DontLockIfOpt = DontLockIfCondition::IpAddress;
  for (const auto& c : cases) {
    Start(c.from);
    check.holds = c.holds;
    EXPECT_EQ(ctl.CheckDontLockIf(), c.result) << c.from;
    EXPECT_EQ(state.CurrentMode, c.to) << c.from;
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "[30] tray Blue " + kTip + kIp),
              c.shown ? 1 : 0)
        << c.from;
  }
}

}  // namespace
}  // namespace hushkey
