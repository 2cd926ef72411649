#include "hushkey/modes/main_controller.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fakes.h"
#include "hushkey/modes/main_layout.h"

namespace hushkey::test {
namespace {

using ::testing::ElementsAreArray;

const std::string kLock(kLockAllText);
const std::string kBlock(kBlockWinCtrlText);
const std::string kAllow(kAllowOnlyText);
const std::string kIp(kSuspendedIpText);

const std::string kHlAuto = HighlightEvent({240, 125, 1395, 605}, 0x00C000);
const std::string kHlLock = HighlightEvent({2985, 125, 1395, 605}, 0x0000FF);
const std::string kHlBlock = HighlightEvent({240, 815, 1395, 605}, 0x0080FF);
const std::string kHlAllow = HighlightEvent({2985, 815, 1395, 605}, 0x0080FF);

class MainControllerTest : public ::testing::Test {
 protected:
  MainControllerTest()
      : view(log),
        tray(log),
        timer(log),
        desktop(log),
        check(log, state),
        ctl(state, view, tray, timer, desktop, check, [this](std::int32_t orig) {
          log.Add("load " + std::to_string(orig));
          return loaded;
        }) {
    log.state = &state;
    check.announcer = &ctl;
    state.lock.OrigMouseSpeed = 7;
    state.settings.MouseSpd = 3;
  }

  // Puts the controller in `mode` with the tray icon already added, and forgets the log.
  void Start(LockMode mode) {
    state.CurrentMode = mode;
    ctl.UpdateTrayIcon();
    log.events.clear();
  }

  std::vector<std::string> Tagged(LockMode mode, std::vector<std::string> events) {
    for (auto& e : events) e = "[" + std::to_string(mode) + "] " + e;
    return events;
  }

  AppState state;
  EventLog log;
  FakeView view;
  FakeTray tray;
  FakeTimer timer;
  FakeDesktop desktop;
  FakeCheck check;
  Settings loaded;
  MainController ctl;
};

// --- Step order of each command ----------------------------------------------------------

struct CommandCase {
  const char* name;
  LockMode start;
  bool useScrnSvr, setMouseSpd;
  void (MainController::*command)();
  std::vector<std::string> expected;
  LockMode endMode;
  bool visibleAfter;
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
  EXPECT_EQ(view.visible, c.visibleAfter);
}

const std::vector<std::string> kLockSteps = {
    "[2] modes F",    "[2] options F",         "[2] exit F", "[2] cancel F", "[2] msg " + kLock,
    "[2] " + kHlLock, "[2] tray Red " + kLock, "[2] hide"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandOrderTest,
    ::testing::Values(
        CommandCase{"LockAllClickWithScreenSaver", 0, true, false,
                    &MainController::cmdLockAll_Click, Concat(kLockSteps, {"[2] screensaver"}), 2,
                    false},
        CommandCase{"LockAllClickNoScreenSaver", 0, false, false, &MainController::cmdLockAll_Click,
                    kLockSteps, 2, false},
        CommandCase{"LockAllFromAutolock", 3, true, false, &MainController::LockAll,
                    Concat(Concat({"[3] timer enabled F", "[3] timer min 10", "[3] timer sec 0"},
                                  kLockSteps),
                           {"[2] screensaver", "[20] tray Red " + kLock}),
                    20, false},
        CommandCase{"AutoLockFromUnlocked",
                    0,
                    false,
                    false,
                    &MainController::cmdAutoLock_Click,
                    {"[0] check", "[3] modes F", "[3] options F", "[3] exit T", "[3] cancel T",
                     "[3] check", "[3] msg countdown", "[3] " + kHlAuto, "[3] timer enabled T",
                     "[3] tray Green countdown", "[3] hide"},
                    3,
                    false},
        CommandCase{
            "BlockWinCtrlWithMouseSpeed",
            0,
            false,
            true,
            &MainController::cmdBlockWinCtrl_Click,
            {"[1] modes F", "[1] options F", "[1] exit T", "[1] cancel T", "[1] msg " + kBlock,
             "[1] " + kHlBlock, "[1] mousespeed 3", "[1] tray Amber " + kBlock, "[1] hide"},
            1,
            false},
        CommandCase{
            "BlockWinCtrlWithoutMouseSpeed",
            0,
            false,
            false,
            &MainController::cmdBlockWinCtrl_Click,
            {"[1] modes F", "[1] options F", "[1] exit T", "[1] cancel T", "[1] msg " + kBlock,
             "[1] " + kHlBlock, "[1] tray Amber " + kBlock, "[1] hide"},
            1,
            false},
        CommandCase{"AllowOnly",
                    0,
                    false,
                    false,
                    &MainController::cmdAllowOnly_Click,
                    {"[4] modes F", "[4] options F", "[4] exit T", "[4] cancel T",
                     "[4] msg " + kAllow, "[4] " + kHlAllow, "[0] wait 5000 pump",
                     // the allow-only text is longer than the tray tip holds
                     "[4] tray Amber " + kAllow.substr(0, 127), "[4] hide"},
                    4,
                    false},
        CommandCase{"CancelFromLockedLeavesTimer",
                    2,
                    false,
                    true,
                    &MainController::cmdCancel_Click,
                    {"[2] modes T", "[2] options T", "[2] exit T", "[2] cancel F", "[0] msg ",
                     "[0] nohighlight", "[0] tray Blank "},
                    0,
                    true},
        CommandCase{"CancelFromAutolockStopsTimer",
                    3,
                    false,
                    false,
                    &MainController::cmdCancel_Click,
                    {"[3] timer enabled F", "[3] timer min 10", "[3] timer sec 0", "[3] modes T",
                     "[3] options T", "[3] exit T", "[3] cancel F", "[0] msg ", "[0] nohighlight",
                     "[0] tray Blank "},
                    0,
                    true},
        CommandCase{"CancelFromBlockWinCtrlRestoresMouseSpeed",
                    1,
                    false,
                    true,
                    &MainController::cmdCancel_Click,
                    {"[1] mousespeed 7", "[1] modes T", "[1] options T", "[1] exit T",
                     "[1] cancel F", "[0] msg ", "[0] nohighlight", "[0] tray Blank "},
                    0,
                    true},
        CommandCase{"CancelFromBlockWinCtrlMouseSpeedOff",
                    1,
                    false,
                    false,
                    &MainController::cmdCancel_Click,
                    {"[1] modes T", "[1] options T", "[1] exit T", "[1] cancel F", "[0] msg ",
                     "[0] nohighlight", "[0] tray Blank "},
                    0,
                    true},
        CommandCase{"CancelFromAllowOnly",
                    4,
                    false,
                    true,
                    &MainController::cmdCancel_Click,
                    {"[4] modes T", "[4] options T", "[4] exit T", "[4] cancel F", "[0] msg ",
                     "[0] nohighlight", "[0] tray Blank "},
                    0,
                    true}),
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
  state.settings.DontLockIfOpt = 1;
  Start(ModeUnlocked);
  ctl.cmdAutoLock_Click();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[0] check", "[3] modes F", "[3] options F", "[3] exit T", "[3] cancel T",
                  // UserMsg in mode 3: the check moves to 30 and announces (nested UserMsg,
                  // then the tray), then the outer UserMsg finishes with the same text.
                  "[3] check", "[30] check", "[30] msg " + kIp, "[30] " + kHlAuto,
                  "[30] tray Blue " + kIp, "[30] msg " + kIp, "[30] " + kHlAuto,
                  "[30] timer enabled T", "[30] tray Blue " + kIp, "[30] hide"}));
  EXPECT_EQ(state.CurrentMode, ModeAutoLockSuspended);
}

TEST_F(MainControllerTest, AutoLockFromSuspendedStaysSuspended) {
  check.holds = true;
  state.settings.DontLockIfOpt = 2;
  Start(ModeAutoLockSuspended);
  ctl.cmdAutoLock_Click();
  EXPECT_EQ(state.CurrentMode, ModeAutoLockSuspended);
  EXPECT_EQ(view.message, std::string(kSuspendedFileText));
  EXPECT_EQ(tray.icon, TrayIcon::Blue);
}

struct TimerCase {
  const char* name;
  LockMode start;
  bool holds;
  LockMode endMode;
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

INSTANTIATE_TEST_SUITE_P(Timer, TimerEventTest,
                         ::testing::Values(TimerCase{"ArmedNoCondition", 3, false, 20, 1},
                                           TimerCase{"ArmedConditionHolds", 3, true, 30, 0},
                                           TimerCase{"SuspendedConditionHolds", 30, true, 30, 0},
                                           TimerCase{"SuspendedConditionEnded", 30, false, 20, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The allow-only delay ------------------------------------------------------------------

TEST_F(MainControllerTest, CancelDuringAllowOnlyDelayKeepsUnlockedAndVisible) {
  Start(ModeUnlocked);
  desktop.duringWait = [this] { ctl.cmdCancel_Click(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_EQ(state.CurrentMode, ModeUnlocked);
  EXPECT_TRUE(view.visible);
  EXPECT_EQ(log.Count("] hide"), 0u);
  EXPECT_EQ(log.events.back(), "[0] tray Blank ");
  EXPECT_TRUE(view.modeButtons);
}

TEST_F(MainControllerTest, LockSequenceDuringAllowOnlyDelayStaysLocked) {
  Start(ModeUnlocked);
  desktop.duringWait = [this] { ctl.LockAll(); };
  ctl.cmdAllowOnly_Click();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
  EXPECT_EQ(tray.icon, TrayIcon::Red);
  EXPECT_EQ(log.events.back(), "[20] tray Red " + kLock);
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

struct UserMsgCase {
  const char* name;
  LockMode mode;
  std::int16_t opt;
  bool holds;
  std::string message;
  bool highlighted;
  TwipsRect rect;
  Colour colour;
};

class UserMsgTest : public MainControllerTest, public ::testing::WithParamInterface<UserMsgCase> {};

TEST_P(UserMsgTest, ShowsModeText) {
  const UserMsgCase& c = GetParam();
  check.holds = c.holds;
  state.settings.DontLockIfOpt = c.opt;
  Start(c.mode);
  view.message = "previous";
  view.highlightVisible = true;
  view.highlight = {1, 2, 3, 4};
  view.highlightColour = 0x123456;
  ctl.UserMsg();
  EXPECT_EQ(view.message, c.message);
  EXPECT_EQ(view.highlightVisible, c.highlighted);
  EXPECT_EQ(view.highlight, c.rect);
  EXPECT_EQ(view.highlightColour, c.colour);
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

const TwipsRect kOld{1, 2, 3, 4};
const TwipsRect kAuto{240, 125, 1395, 605}, kLk{2985, 125, 1395, 605};
const TwipsRect kBlk{240, 815, 1395, 605}, kAo{2985, 815, 1395, 605};

INSTANTIATE_TEST_SUITE_P(
    Modes, UserMsgTest,
    ::testing::Values(
        UserMsgCase{"Unlocked", 0, 0, false, "", false, kOld, 0x123456},
        UserMsgCase{"BlockWinCtrl", 1, 0, false, kBlock, true, kBlk, 0x0080FF},
        UserMsgCase{"Locked", 2, 0, false, kLock, true, kLk, 0x0000FF},
        UserMsgCase{"LockedAuto", 20, 0, false, kLock, true, kLk, 0x0000FF},
        UserMsgCase{"AutoLock", 3, 0, false, "countdown", true, kAuto, 0x00C000},
        UserMsgCase{"SuspendedEndedShowsCountdown", 30, 1, false, "countdown", true, kAuto,
                    0x00C000},
        UserMsgCase{"SuspendedDayTime", 30, 0, true, "Autolock suspended (day/time setting)", true,
                    kAuto, 0x00C000},
        UserMsgCase{"SuspendedIp", 30, 1, true, "Autolock suspended (IP address)", true, kAuto,
                    0x00C000},
        UserMsgCase{"SuspendedFile", 30, 2, true, "Autolock suspended (File check)", true, kAuto,
                    0x00C000},
        UserMsgCase{"SuspendedOtherOptKeepsCaption", 30, 5, true, "previous", true, kAuto,
                    0x00C000},
        UserMsgCase{"SuspendedNegativeOptKeepsCaption", 30, -1, true, "previous", true, kAuto,
                    0x00C000},
        UserMsgCase{"ArmedConditionStartsHolding", 3, 1, true, "Autolock suspended (IP address)",
                    true, kAuto, 0x00C000},
        UserMsgCase{"AllowOnly", 4, 0, false, kAllow, true, kAo, 0x0080FF},
        UserMsgCase{"EntryRequestLeavesDisplay", 99, 0, false, "previous", true, kOld, 0x123456},
        UserMsgCase{"StartRequestLeavesDisplay", -1, 0, false, "previous", true, kOld, 0x123456}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Tray ---------------------------------------------------------------------------------

TEST_F(MainControllerTest, FirstTrayUpdateAddsThenModifies) {
  state.CurrentMode = ModeLocked;
  view.message = "m";
  ctl.UpdateTrayIcon();
  ctl.UpdateTrayIcon();
  EXPECT_THAT(log.events, ElementsAreArray(std::vector<std::string>{
                              "[2] tray add", "[2] tray Red m", "[2] tray Red m"}));
  EXPECT_TRUE(ctl.TrayIconAdded());
}

TEST_F(MainControllerTest, TrayTipIsCutToWhatTheTrayHolds) {
  Start(ModeLocked);
  view.message = std::string(100, 'x') + std::string(20, 'y') +
                 "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9zz";
  ctl.UpdateTrayIcon();
  EXPECT_EQ(tray.tip, std::string(100, 'x') + std::string(20, 'y') +
                          "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
}

// A flash shows the blocked picture until 150 ms after the last swallowed input: more
// input only re-arms its end, so a held key never stacks one flash on another; the end
// shows the mode in force then (here: unlocked during the flash).
TEST_F(MainControllerTest, FlashIsExtendedNotNestedAndEndsWithTheModeThen) {
  state.CurrentMode = ModeLocked;
  view.message = kLock;
  ctl.UpdateTrayIcon();
  log.events.clear();
  ctl.timFlashTray_Timer();
  ctl.timFlashTray_Timer();
  ctl.timFlashTray_Timer();
  EXPECT_TRUE(ctl.FlashShowing());
  ctl.cmdCancel_Click();
  ctl.timFlashEnd_Timer();
  ctl.timFlashEnd_Timer();
  EXPECT_FALSE(ctl.FlashShowing());
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[2] tray Blocked " + kLock, "[2] cursors blocked", "[2] flash end in 150",
                  "[2] flash end in 150", "[2] flash end in 150", "[2] modes T", "[2] options T",
                  "[2] exit T", "[2] cancel F", "[0] msg ", "[0] nohighlight", "[0] tray Blank ",
                  "[0] tray Blank ", "[0] cursors restored"}));
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
                  "[1] tray Amber " + kBlock, "[1] cursors restored", "[1] mousespeed 7"}));
  ctl.timFlashTray_Timer();
  log.events.clear();
  ctl.DeleteTrayIcon();
  EXPECT_THAT(log.events,
              ElementsAreArray(std::vector<std::string>{
                  "[1] tray Amber " + kBlock, "[1] cursors restored", "[1] tray delete"}));
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
  EXPECT_THAT(log.events, ElementsAreArray(std::vector<std::string>{
                              "[0] tray delete", "[0] tray add", "[0] tray Blank "}));
}

TEST_F(MainControllerTest, TrayCallbackCodes) {
  Start(ModeUnlocked);
  for (std::uint32_t code : {512u, 513u, 514u, 515u, 516u, 517u, 518u}) ctl.OnTrayCallback(code);
  ctl.mnuFileMinToTray_Click();
  EXPECT_THAT(log.events, ElementsAreArray(std::vector<std::string>{
                              "[0] restore", "[0] restore", "[0] traymenu", "[0] minimise"}));
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
  ctl.SetFlashTimerHook([&] { ++flashes; });
  ctl.SetEntryGateHook([&] { ++gates; });
  port.EnableFlashTimer();
  port.OpenEntryGate();
  port.OpenEntryGate();
  EXPECT_EQ(flashes, 1);
  EXPECT_EQ(gates, 2);
  port.cmdCancel_Click();
  EXPECT_EQ(state.CurrentMode, ModeUnlocked);
  port.cmdAutoLock_Click();
  EXPECT_EQ(state.CurrentMode, ModeAutoLock);
  port.LockAll();
  EXPECT_EQ(state.CurrentMode, ModeLockedAuto);
}

TEST(DontLockIfCheckFunction, ForwardsTheVerdict) {
  bool verdict = true;
  int calls = 0;
  DontLockIfCheckFunction check([&] {
    ++calls;
    return verdict;
  });
  EXPECT_TRUE(check.CheckDontLockIf());
  verdict = false;
  EXPECT_FALSE(check.CheckDontLockIf());
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(DontLockIfCheckFunction(nullptr).CheckDontLockIf());
}

}  // namespace
}  // namespace hushkey::test
