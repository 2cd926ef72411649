// Events through the whole filter step, with fakes for the program and the platform:
// Alt tracking, autorepeat across events, the cue and the actions and their order.
#include "hushkey/engine/filter_step.h"

#include <gtest/gtest.h>

#include "hushkey/engine/inactivity_timer.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/mode_table.h"
#include "hushkey/engine/mouse_filter.h"
#include "tests/support/fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

using fakes::EngineRig;
using fakes::Events;

constexpr std::uint32_t VkA = 65, VkB = 66;
// What a restart writes to the timer (at the fake's 10 minutes).
const Events kRestart = {"timer enabled F", "timer min 10", "timer sec 0", "timer enabled T"};

TEST(KeyboardStep, ReleasingOneAltKeepsTheOther) {
  EngineRig r(ModeLocked);
  EXPECT_FALSE(r.Down(VkLeftAlt));
  EXPECT_FALSE(r.Down(VkRightAlt));
  EXPECT_FALSE(r.Up(VkLeftAlt));
  EXPECT_TRUE(r.Down(VkHome));
  EXPECT_EQ(r.Take(), (Events{"cancel click"}));
  EXPECT_EQ(r.app.CurrentMode, ModeUnlocked);
  // The Home key-up arrives in the new mode and passes.
  EXPECT_FALSE(r.Up(VkHome));
  EXPECT_FALSE(r.Up(VkRightAlt));
  EXPECT_FALSE(r.Down(VkHome));
  EXPECT_TRUE(r.Take().empty());
}

TEST(KeyboardStep, AltStateIsUpdatedForSwallowedEvents) {
  EngineRig r(ModeBlockWinCtrl);
  EXPECT_TRUE(r.Down(VkRightAlt));  // swallowed, yet counted as held
  EXPECT_TRUE(r.app.lock.RightAltDown);
  EXPECT_TRUE(r.Down(VkEnd));
  EXPECT_EQ(r.Take(), (Events{"lock all"}));
}

// An Alt release the hook never saw (secure desktop, a hook that ran out of time) must not
// turn a bare Home or End into a key sequence, in any mode; a real Alt+Home or Alt+End
// still works in every mode, also with Alt held down for a long time (it repeats). The
// sequence key's own autorepeat is the same press: it acts once, however long it is held.
TEST(KeyboardStep, AMissedAltReleaseNeverMakesABareHomeOrEndASequence) {
  struct Case {
    ModeCode mode;
    std::uint32_t vk;
    Events real;  // what the real sequence runs
  };
  const Case cases[] = {
      {ModeUnlocked, VkHome, {"autolock click"}},     {ModeUnlocked, VkEnd, {"lock all"}},
      {ModeLocked, VkHome, {"cancel click"}},         {ModeLockedAuto, VkHome, {"autolock click"}},
      {ModeAutoLock, VkHome, {"cancel click"}},       {ModeAutoLockSuspended, VkEnd, {"lock all"}},
      {ModeBlockWinCtrl, VkHome, {"autolock click"}}, {ModeBlockWinCtrl, VkEnd, {"lock all"}},
      {ModeAllowOnly, VkHome, {"autolock click"}},    {ModeAllowOnly, VkEnd, {"lock all"}},
      {ModeEntryReq, VkHome, {"entry gate"}},
  };
  for (const Case& c : cases) {
    for (std::uint32_t alt : {VkLeftAlt, VkRightAlt}) {
      SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " vk " << c.vk << " alt " << alt);
      EngineRig real(c.mode);
      real.now = 0xFFFFFF00u;  // the tick counter wraps in between
      real.Down(alt);
      real.Wait(AltHeldFreshMs);
      real.Down(c.vk);
      EXPECT_EQ(real.Take(), c.real);

      EngineRig held(c.mode);  // held for ten seconds: the key-down repeats
      held.Down(alt);
      for (int i = 0; i < 300; ++i) {
        held.Wait(33);
        held.Down(alt);
      }
      held.Down(c.vk);
      EXPECT_EQ(held.Take(), c.real);

      EngineRig repeat(c.mode);  // held past the repeat delay: one press
      repeat.Down(alt);
      for (int i = 0; i < 5; ++i) EXPECT_TRUE(repeat.Down(c.vk));
      repeat.Wait(AltHeldFreshMs + 1);  // its release went by unseen: the next press counts
      repeat.app.CurrentMode = c.mode;  // as the mode's command enters it again
      repeat.app.lock.LastKeyDown = 0;
      repeat.Down(alt);
      repeat.Down(c.vk);
      EXPECT_EQ(repeat.Take(), (Events{c.real[0], c.real[0]}));

      EngineRig missed(c.mode);
      missed.Down(alt);
      missed.Wait(AltHeldFreshMs + 1);  // the release went by unseen
      missed.Down(c.vk);
      EXPECT_EQ(missed.Take(), Events{});
      EXPECT_EQ(missed.app.CurrentMode, c.mode);

      if (c.mode == ModeBlockWinCtrl || c.mode == ModeAllowOnly) {
        // Where Alt makes every key swallowed, keys flow again at the next key-down.
        EngineRig flows(c.mode);
        flows.Down(alt);
        flows.Wait(AltHeldFreshMs + 1);
        EXPECT_FALSE(flows.Down(VkSpace));
      }

      EngineRig session(c.mode);  // a session switch at once after the missed release
      session.Down(alt);
      ClearAltState(session.app.lock);
      session.Down(c.vk);
      EXPECT_EQ(session.Take(), Events{});
    }
  }
}

// Sequences the parent chose replace Alt+End and Alt+Home in every mode, which then do
// nothing; an unlock sequence that must be held acts once it has been held that long, and
// a tap does nothing.
TEST(KeyboardStep, ChosenSequencesAndAHeldUnlock) {
  const KeySequences chosen{{kModCtrl | kModAlt, 'L'}, {kModCtrl | kModAlt, 'U'}};
  const struct {
    ModeCode mode;
    bool lock;
    Events real;
  } cases[] = {
      {ModeUnlocked, true, {"lock all"}},         {ModeUnlocked, false, {"autolock click"}},
      {ModeLocked, false, {"cancel click"}},      {ModeLockedAuto, false, {"autolock click"}},
      {ModeAutoLock, true, {"lock all"}},         {ModeBlockWinCtrl, true, {"lock all"}},
      {ModeAllowOnly, false, {"autolock click"}}, {ModeEntryReq, false, {"entry gate"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " lock " << c.lock);
    EngineRig old(c.mode);
    old.app.settings.sequences = chosen;
    old.Down(VkLeftAlt);
    old.Down(c.lock ? VkEnd : VkHome);
    EXPECT_EQ(old.Take(), Events{});
    EngineRig now(c.mode);
    now.app.settings.sequences = chosen;
    now.Down(VkLeftCtrl);
    now.Down(VkRightAlt);
    EXPECT_TRUE(now.Down(c.lock ? 'L' : 'U'));
    EXPECT_EQ(now.Take(), c.real);
  }

  // Modes 1 and 4 with autorepeat stopped too; and a second Home key (the number pad's,
  // not extended) going down during the hold starts it again.
  for (const auto& [mode, holdMs] : {std::pair{ModeLocked, 1000u},
                                     {ModeLocked, 2000u},
                                     {ModeBlockWinCtrl, 1000u},
                                     {ModeAllowOnly, 1000u}}) {
    EngineRig held(mode);
    held.app.settings.UnlockHoldMs = holdMs;
    held.app.settings.StopARKeys = true;
    held.Down(VkLeftAlt);
    FilterKeyEvent(held.ctx, 0, MsgKeyDown, VkHome, KeyFlagExtended, held.now);
    held.Wait(holdMs + 1);
    held.Down(VkHome);  // the other Home key
    EXPECT_EQ(held.Take(), Events{}) << "two Home keys made a hold";
    held.Up(VkHome);
    held.Up(VkLeftAlt);
    held.Wait(2000);
    held.Down(VkLeftAlt);
    held.Down(VkHome);  // a tap
    held.Up(VkHome);
    held.Wait(holdMs + 500);
    held.Down(VkLeftAlt);
    // Held: Home repeats (Alt, pressed first, does not); it acts once, at the hold time.
    for (std::uint32_t ms = 0; ms < holdMs; ms += 33) {
      held.Down(VkHome);
      held.Wait(33);
      if (ms + 66 < holdMs) {
        EXPECT_EQ(held.Take(), Events{}) << ms;
      }
    }
    for (int i = 0; i < 10; ++i) held.Down(VkHome);
    EXPECT_EQ(held.Take(), (Events{mode == ModeLocked ? "cancel click" : "autolock click"}))
        << holdMs;
  }
}

// The unlock word: typed where keys are swallowed, then Enter, it does what the unlock
// sequence does; Backspace takes a character back; none of its keys pass; where letters pass
// (or with no word set) it is nothing.
TEST(KeyboardStep, TheUnlockWordTypedThenEnter) {
  const struct {
    ModeCode mode;
    std::string keys;
    Events want;
  } cases[] = {
      {ModeLocked, "SECRET7\r", {"word secret7", "cancel click"}},
      {ModeLockedAuto, "SECRET7\r", {"word secret7", "autolock click"}},
      {ModeAllowOnly, "SECRET7\r", {"word secret7", "autolock click"}},
      {ModeLocked, "SECRXY\b\bET7\r", {"word secret7", "cancel click"}},
      {ModeLocked, "SECRET\r7\r", {"word secret"}},  // one character is no word
      {ModeLocked, "WRONGWORD\r", {"word wrongword"}},
      {ModeBlockWinCtrl, "SECRET7\r", {}},
      {ModeAutoLock, "SECRET7\r", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "mode " << c.mode << " keys " << c.keys);
    EngineRig r(c.mode);
    r.app.settings.UnlockWordHash = "secret7";  // the fake desktop compares the word itself
    const bool swallows = Strictness(c.mode) >= Strictness(ModeAllowOnly);
    for (const char ch : c.keys) {
      const std::uint32_t vk = ch == '\r' ? 13 : ch == '\b' ? 8 : static_cast<std::uint32_t>(ch);
      if (r.app.CurrentMode == c.mode) {
        EXPECT_EQ(r.Down(vk), swallows);
      } else {
        r.Down(vk);
      }
      r.Up(vk);
    }
    Events got = r.Take();
    std::erase_if(got, [](const std::string& e) { return e.rfind("timer", 0) == 0; });
    EXPECT_EQ(got, c.want);
  }
}

// Keys and buttons pressed before the desktop was locked get their release through, so no
// program is left with a key or button down (a drag going on, Shift stuck); those pressed
// while locked stay swallowed, release included. A press whose release went by unseen is
// forgotten at the next press after a pause longer than any autorepeat.
TEST(KeyboardStep, ReleasesOfWhatWasDownBeforeALockPass) {
  for (LockMode lock : {ModeLocked, ModeLockedAuto, ModeAllowOnly}) {
    EngineRig r(ModeUnlocked);
    for (std::uint32_t vk : {160u /* left Shift */, VkLeftCtrl, 91u /* left Windows */, VkB})
      EXPECT_FALSE(r.Down(vk));
    EXPECT_FALSE(r.Mouse(MsgLButtonDown));
    EXPECT_FALSE(FilterMouseEvent(r.ctx, 0, MsgXButtonDown, 0x20000));
    r.app.CurrentMode = lock;
    r.Wait(500);
    EXPECT_TRUE(r.Down(160));  // its autorepeat goes on while locked
    r.Wait(AltHeldFreshMs + 1);
    EXPECT_TRUE(r.Down(VkB));  // B's release went by unseen: this is a new press
    EXPECT_TRUE(r.Down(VkA) && r.Mouse(MsgRButtonDown));
    for (std::uint32_t vk : {160u, VkLeftCtrl, 91u}) EXPECT_FALSE(r.Up(vk)) << lock << " " << vk;
    EXPECT_FALSE(r.Mouse(MsgLButtonUp));
    EXPECT_FALSE(FilterMouseEvent(r.ctx, 0, MsgXButtonUp, 0x20000));
    EXPECT_TRUE(r.Up(VkA) && r.Up(VkB) && r.Mouse(MsgRButtonUp)) << "pressed while locked";
  }
}

// A sequence pressed while a mode command is under way waits for it and acts on the mode it
// left (a hand-off's lock returning to autolock), not on the one it saw.
TEST(KeyboardStep, ASequenceDuringAModeCommandActsOnTheModeItLeaves) {
  EngineRig r(ModeLocked);
  r.actions.busy = true;
  r.Down(VkLeftAlt);
  EXPECT_TRUE(r.Down(VkHome));
  EXPECT_TRUE(r.Take().empty());
  r.app.CurrentMode = ModeLockedAuto;
  r.actions.RunHeld();
  EXPECT_EQ(r.Take(), (Events{"autolock click"}));
}

TEST(KeyboardStep, OtherHookCodesAndMessagesLeaveEverythingAlone) {
  EngineRig r(ModeLocked);
  r.app.settings.Beep = true;
  EXPECT_FALSE(FilterKeyEvent(r.ctx, 3, 256, VkLeftAlt, 0));
  EXPECT_FALSE(r.app.lock.LeftAltDown);
  r.app.lock.RightAltDown = true;
  EXPECT_FALSE(FilterKeyEvent(r.ctx, -1, 257, VkRightAlt, 0x80));
  EXPECT_TRUE(r.app.lock.RightAltDown);
  EXPECT_FALSE(FilterKeyEvent(r.ctx, 0, 258 /* char */, VkRightAlt, 0x80));
  EXPECT_TRUE(r.app.lock.RightAltDown);
  EXPECT_FALSE(FilterKeyEvent(r.ctx, 1, 256, VkA, 0));
  EXPECT_TRUE(r.Take().empty());
}

TEST(KeyboardStep, SystemKeyMessagesAreKeyEvents) {
  EngineRig r(ModeLocked);
  EXPECT_FALSE(FilterKeyEvent(r.ctx, 0, 260, VkLeftAlt, 0x20));
  EXPECT_TRUE(FilterKeyEvent(r.ctx, 0, 260, VkHome, 0x20));
  EXPECT_EQ(r.Take(), (Events{"cancel click"}));
  EXPECT_FALSE(FilterKeyEvent(r.ctx, 0, 261, VkLeftAlt, 0xA0));
  EXPECT_FALSE(r.app.lock.LeftAltDown);
}

// Holding A, pressing and releasing B, then still holding A: one more repeat of A passes.
TEST(KeyboardStep, AnyKeyUpResetsAutorepeatSuppression) {
  for (ModeCode mode : {ModeBlockWinCtrl, ModeAllowOnly}) {
    EngineRig r(mode);
    r.app.settings.StopARKeys = true;
    r.app.settings.Beep = true;
    const std::uint32_t a = mode == ModeAllowOnly ? VkPageDown : VkA;
    const std::uint32_t b = mode == ModeAllowOnly ? VkSpace : VkB;
    EXPECT_FALSE(r.Down(a));
    EXPECT_TRUE(r.Down(a));
    EXPECT_TRUE(r.Down(a));
    EXPECT_FALSE(r.Down(b));
    EXPECT_FALSE(r.Up(b));
    EXPECT_EQ(r.app.lock.LastKeyDown, 0u);
    EXPECT_FALSE(r.Down(a));
    EXPECT_TRUE(r.Down(a));
    EXPECT_FALSE(r.Up(a));
    EXPECT_FALSE(r.Down(a));  // a new press passes again
    EXPECT_TRUE(r.Take().empty()) << "repeats are swallowed without cue";
  }
}

TEST(KeyboardStep, CueIsBeepThenFlashAndOnlyOnKeyDown) {
  struct {
    bool beep, flash;
    Events want;
  } cases[] = {{true, true, {"beep", "flash timer"}},
               {true, false, {"beep"}},
               {false, true, {"flash timer"}},
               {false, false, {}}};
  for (const auto& c : cases) {
    EngineRig r(ModeLockedAuto);
    r.app.settings.Beep = c.beep;
    r.app.settings.Flash = c.flash;
    EXPECT_TRUE(r.Down(VkA));
    EXPECT_EQ(r.Take(), c.want);
    EXPECT_TRUE(r.Up(VkA));
    EXPECT_TRUE(r.Take().empty());
  }
}

TEST(KeyboardStep, UnlockedAltHomeStartsAutolockAndTheHomeKeyUpRestartsTheCountdown) {
  EngineRig r(ModeUnlocked);
  EXPECT_FALSE(r.Down(VkLeftAlt));
  EXPECT_TRUE(r.Down(VkHome));
  EXPECT_EQ(r.app.CurrentMode, ModeAutoLock);
  EXPECT_FALSE(r.Up(VkHome));
  Events want{"autolock click"};
  want.insert(want.end(), kRestart.begin(), kRestart.end());
  EXPECT_EQ(r.Take(), want);
}

TEST(KeyboardStep, AutolockAltEndLocksAndTheEndKeyUpIsSwallowedQuietly) {
  EngineRig r(ModeAutoLock);
  r.app.settings.Beep = true;
  EXPECT_FALSE(r.Down(VkLeftAlt));
  EXPECT_TRUE(r.Down(VkEnd));
  EXPECT_EQ(r.app.CurrentMode, ModeLockedAuto);
  EXPECT_TRUE(r.Up(VkEnd));
  EXPECT_FALSE(r.Up(VkLeftAlt));
  EXPECT_EQ(r.Take(), (Events{"lock all"}));
  // Alt+Home from the lock entered this way goes back to autolock.
  EXPECT_FALSE(r.Down(VkRightAlt));
  EXPECT_TRUE(r.Down(VkHome));
  EXPECT_EQ(r.app.CurrentMode, ModeAutoLock);
}

TEST(KeyboardStep, AltHomeThreeTimesTogglesUnlockedAndAutolock) {
  EngineRig r(ModeUnlocked);
  std::vector<LockMode> modes;
  r.Down(VkLeftAlt);
  for (int i = 0; i < 3; ++i) {
    r.Down(VkHome);
    modes.push_back(r.app.CurrentMode);
    r.Up(VkHome);
  }
  EXPECT_EQ(modes, (std::vector<LockMode>{ModeAutoLock, ModeUnlocked, ModeAutoLock}));
}

TEST(KeyboardStep, PassthroughClassIsComparedExactly) {
  // Alt+End with the setting "RemoteView": it locks unless the foreground class is exactly
  // the setting.
  struct {
    ModeCode mode;
    const char* foreground;
    bool locks;
  } cases[] = {
      {ModeUnlocked, "RemoteView", false},          {ModeUnlocked, "remoteview", true},
      {ModeUnlocked, "RemoteView2", true},          {ModeUnlocked, "RemoteVie", true},
      {ModeAutoLock, "RemoteView", false},          {ModeAutoLock, "REMOTEVIEW", true},
      {ModeAutoLockSuspended, "RemoteView", false},
  };
  for (const auto& c : cases) {
    EngineRig r(c.mode);
    r.app.settings.PassthruWCls = "RemoteView";
    r.desktop.foregroundClass = c.foreground;
    r.Down(VkLeftAlt);
    EXPECT_EQ(r.Down(VkEnd), c.locks) << c.mode << " " << c.foreground;
    EXPECT_EQ(r.Take(), c.locks ? Events{"lock all"} : Events{}) << c.mode << " " << c.foreground;
    EXPECT_EQ(r.desktop.classQueries, 1);
  }
}

TEST(KeyboardStep, PassthroughKeyUpsStillRestartTheCountdown) {
  EngineRig r(ModeAutoLockSuspended);
  r.app.settings.PassthruWCls = "RemoteView";
  r.desktop.foregroundClass = "RemoteView";
  r.Down(VkLeftAlt);
  EXPECT_FALSE(r.Down(VkHome));
  EXPECT_EQ(r.app.CurrentMode, ModeAutoLockSuspended);
  EXPECT_FALSE(r.Up(VkHome));
  EXPECT_EQ(r.Take(), kRestart);
}

TEST(KeyboardStep, PlatformIsNotAskedOutsideModes0_3_30OrWithoutTheSetting) {
  for (LockMode mode :
       {ModeBlockWinCtrl, ModeLocked, ModeLockedAuto, ModeAllowOnly, ModeEntryReq, LockMode{-1}}) {
    EngineRig r(mode);
    r.app.settings.PassthruWCls = "RemoteView";
    r.desktop.foregroundClass = "RemoteView";
    r.Down(VkLeftAlt);
    r.Down(VkEnd);
    r.Down(VkHome);
    EXPECT_EQ(r.desktop.classQueries, 0) << "mode " << mode;
  }
  for (ModeCode mode : {ModeUnlocked, ModeAutoLock, ModeAutoLockSuspended}) {
    EngineRig r(mode);
    r.Down(VkLeftAlt);
    r.Down(VkEnd);
    EXPECT_EQ(r.desktop.classQueries, 0) << "mode " << mode << " without the setting";
  }
  EngineRig typing(ModeUnlocked);
  typing.app.settings.PassthruWCls = "RemoteView";
  typing.Down(VkA);
  typing.Up(VkA);
  EXPECT_EQ(typing.desktop.classQueries, 0) << "plain typing";
}

TEST(KeyboardStep, BlockWinCtrlSequencesRestoreTheMouseSpeedOnlyWithSetMouseSpd) {
  for (bool setSpeed : {true, false}) {
    for (std::uint32_t key : {VkEnd, VkHome}) {
      EngineRig r(ModeBlockWinCtrl);
      r.app.settings.SetMouseSpd = setSpeed;
      r.app.lock.OrigMouseSpeed = 7;
      r.desktop.speed = 3;
      r.Down(VkLeftAlt);
      EXPECT_TRUE(r.Down(key));
      Events want;
      if (setSpeed) want.push_back("mousespeed 7");
      want.push_back(key == VkEnd ? "lock all" : "autolock click");
      EXPECT_EQ(r.Take(), want);
    }
  }
}

TEST(KeyboardStep, EntryGateOpensOnAltHomeOnly) {
  EngineRig r(ModeEntryReq);
  r.Down(VkRightAlt);
  EXPECT_FALSE(r.Down(VkEnd));
  EXPECT_TRUE(r.Down(VkHome));
  EXPECT_EQ(r.Take(), (Events{"entry gate"}));
  EXPECT_EQ(r.app.CurrentMode, ModeEntryReq);
}

TEST(KeyboardStep, CodesOutsideTheTableDoNothing) {
  for (ModeCode mode : {LockMode{-1}, LockMode{-3}, LockMode{5}}) {
    EngineRig r(mode);
    r.app.settings.Beep = r.app.settings.Flash = r.app.settings.StopARKeys = true;
    r.app.settings.PassthruWCls = "x";
    for (std::uint32_t vk : {VkLeftAlt, VkEnd, VkHome, VkA, VkA})
      EXPECT_FALSE(r.Down(vk)) << mode << " " << vk;
    EXPECT_FALSE(r.Up(VkA));
    EXPECT_TRUE(r.Take().empty());
    EXPECT_EQ(r.app.CurrentMode, mode);
  }
}

TEST(MouseStep, MoveCueThrottleAt500And501AndAcrossTheWrap) {
  struct {
    std::uint32_t last, now;
    bool cue;
  } cases[] = {{1000, 1500, false},
               {1000, 1501, true},
               {0xFFFFFF00u, 0x000000F4u, false},
               {0xFFFFFF00u, 0x000000F5u, true},
               {0, 600000, true}};  // the first swallowed move after start-up
  for (const auto& c : cases) {
    EngineRig r(ModeLocked);
    r.app.settings.StopMouseMove = true;
    r.app.settings.Flash = true;
    r.app.lock.LastMouseCueTick = c.last;
    r.desktop.tick = c.now;
    r.desktop.tickStep = 3;  // each reading sees a later time
    EXPECT_TRUE(r.Mouse(MsgMouseMove));
    EXPECT_EQ(r.Take(), c.cue ? Events{"flash timer"} : Events{}) << c.last << " " << c.now;
    // After a cue the tick is read again and stored; without one the last tick stays.
    EXPECT_EQ(r.app.lock.LastMouseCueTick, c.cue ? c.now + 3 : c.last);
  }
}

TEST(MouseStep, ContinuousMovementCuesAboutTwiceASecond) {
  EngineRig r(ModeAllowOnly);
  r.app.settings.Beep = true;
  r.desktop.tick = 100000;
  int cues = 0;
  std::uint32_t lastCueAt = 0;
  for (int i = 0; i < 3000; ++i) {  // a move every millisecond for 3 s
    r.desktop.tick = 100000 + static_cast<std::uint32_t>(i);
    EXPECT_TRUE(r.Mouse(MsgMouseMove));
    if (!r.Take().empty()) {
      if (cues > 0) {
        EXPECT_GT(r.app.lock.LastMouseCueTick - lastCueAt, 500u);
      }
      lastCueAt = r.app.lock.LastMouseCueTick;
      ++cues;
    }
  }
  EXPECT_EQ(cues, 6);
}

TEST(MouseStep, ClicksCueAndRestartPerMode) {
  EngineRig locked(ModeLocked);
  locked.app.settings.Beep = locked.app.settings.Flash = true;
  EXPECT_TRUE(locked.Mouse(MsgRButtonDown));
  EXPECT_TRUE(locked.Mouse(517));  // release: no cue
  EXPECT_TRUE(locked.Mouse(522));  // wheel: no cue
  EXPECT_EQ(locked.Take(), (Events{"beep", "flash timer"}));
  EXPECT_EQ(locked.app.lock.LastMouseCueTick, 0u) << "a click cue leaves the move throttle alone";

  EngineRig autolock(ModeAutoLock);
  EXPECT_FALSE(autolock.Mouse(MsgMouseMove));
  EXPECT_FALSE(autolock.Mouse(522));
  EXPECT_FALSE(autolock.Mouse(514));
  EXPECT_TRUE(autolock.Take().empty());
  EXPECT_FALSE(autolock.Mouse(MsgMButtonDown));
  EXPECT_EQ(autolock.Take(), kRestart);
}

TEST(MouseStep, OtherHookCodesAndModesOutsideTheTablePass) {
  EngineRig r(ModeLocked);
  r.app.settings.Beep = true;
  EXPECT_FALSE(FilterMouseEvent(r.ctx, 1, MsgLButtonDown));
  for (ModeCode mode : {LockMode{-1}, LockMode{5}, ModeEntryReq}) {
    r.app.CurrentMode = mode;
    for (std::uint32_t msg : {MsgMouseMove, MsgLButtonDown, 514u, 522u}) EXPECT_FALSE(r.Mouse(msg));
  }
  EXPECT_TRUE(r.Take().empty());
  EXPECT_EQ(r.desktop.tickReads, 0);
}

TEST(InactivityTimer, ResetStopsAndRewindsInThatOrder) {
  fakes::EventLog log;
  fakes::FakeTimer t(log);
  t.minutes = 2;
  t.seconds = 30;
  t.enabled = true;
  ResetInactivityTimer(t);
  EXPECT_EQ(log.events, (Events{"timer enabled F", "timer min 2", "timer sec 30"}));
  EXPECT_FALSE(t.enabled);
  EXPECT_EQ(t.minutes, 2);
  EXPECT_EQ(t.seconds, 30);
}

TEST(InactivityTimer, RestartAfterNineOfTenMinutesRunsTheFullIntervalAgain) {
  fakes::EventLog log;
  fakes::FakeTimer t(log);
  t.minutes = 10;
  t.enabled = true;
  EXPECT_FALSE(t.Advance(9 * 60));
  RestartInactivityTimer(t);
  EXPECT_EQ(log.events, kRestart);
  EXPECT_TRUE(t.enabled);
  EXPECT_EQ(t.SecondsUntilFire(), 600);
  EXPECT_FALSE(t.Advance(60));
  EXPECT_FALSE(t.Advance(8 * 60 + 59));
  EXPECT_TRUE(t.Advance(1));
}

}  // namespace
}  // namespace hushkey
