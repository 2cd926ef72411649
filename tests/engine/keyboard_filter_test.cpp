// The keyboard decision, mode by mode, as tables of (event, state) -> (decision, LastKeyDown).
#include "hushkey/engine/keyboard_filter.h"

#include "tests/support/mode_code.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace hushkey {
namespace {

// The held modifiers when only Alt may be down.
constexpr std::uint8_t Alt(bool held) { return held ? kModAlt : 0; }

using A = FilterAction;

constexpr std::uint32_t VkA = 65, VkB = 66, VkC = 67, VkTab = 9, VkEnter = 13, VkLeft = 37,
                        VkLShift = 160, VkLWin = 91, VkApps = 93, VkEsc = 27;

// An event and the state it meets. Left out: a key-down, Alt not held, LastKeyDown 0,
// StopARKeys off, not the pass-through window.
struct Event {
  ModeCode mode;
  std::uint32_t vk;
  bool down = true;
  bool alt = false;  // Alt held after this event's own update
  std::uint32_t last = 0;
  bool stopAR = false;
  bool passthru = false;
};

// The outcome. Left out: the key passes, no cue, no action, LastKeyDown 0 afterwards.
struct Want {
  bool swallow = false, cue = false;
  A action = A::None;
  std::uint32_t newLast = 0;
};

struct Case {
  const char* what;
  Event event;
  Want want = {};
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.what; }

class KeyDecisionTable : public ::testing::TestWithParam<Case> {};

TEST_P(KeyDecisionTable, Decides) {
  const Event& e = GetParam().event;
  const Want& want = GetParam().want;
  Settings s;
  s.StopARKeys = e.stopAR;
  s.PassthruWCls = "RemoteView";
  const KeyOutcome got = DecideKey(e.mode, e.vk, e.down, Alt(e.alt), e.last, s, e.passthru);
  EXPECT_EQ(got.decision.Swallow, want.swallow);
  EXPECT_EQ(got.decision.Cue, want.cue);
  EXPECT_EQ(got.decision.Action, want.action);
  EXPECT_EQ(got.LastKeyDown, want.newLast);
}

const Case kUnlocked[] = {
    {"letter passes", {.mode = 0, .vk = VkA}},
    {"Alt+End locks",
     {.mode = 0, .vk = VkEnd, .alt = true},
     {.swallow = true, .action = A::LockAll}},
    {"Alt+Home starts autolock",
     {.mode = 0, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::AutoLock}},
    {"End alone passes", {.mode = 0, .vk = VkEnd}},
    {"End key-up with Alt passes", {.mode = 0, .vk = VkEnd, .down = false, .alt = true}},
    {"Alt+End to pass-through window", {.mode = 0, .vk = VkEnd, .alt = true, .passthru = true}},
    {"Alt+Home to pass-through window", {.mode = 0, .vk = VkHome, .alt = true, .passthru = true}},
    {"LastKeyDown not kept", {.mode = 0, .vk = VkB, .last = VkA, .stopAR = true}, {.newLast = VkA}},
};
INSTANTIATE_TEST_SUITE_P(Unlocked, KeyDecisionTable, ::testing::ValuesIn(kUnlocked));

const Case kBlockWinCtrl[] = {
    {"letter passes and is remembered", {.mode = 1, .vk = VkA, .stopAR = true}, {.newLast = VkA}},
    {"Ctrl down swallowed with cue",
     {.mode = 1, .vk = VkLeftCtrl},
     {.swallow = true, .cue = true, .newLast = VkLeftCtrl}},
    {"C after swallowed Ctrl passes", {.mode = 1, .vk = VkC, .last = VkLeftCtrl}, {.newLast = VkC}},
    {"Windows key swallowed with cue",
     {.mode = 1, .vk = VkLWin},
     {.swallow = true, .cue = true, .newLast = VkLWin}},
    {"Ctrl up swallowed, no cue",
     {.mode = 1, .vk = VkRightCtrl, .down = false, .last = VkC},
     {.swallow = true}},
    {"Alt down swallowed, no cue",
     {.mode = 1, .vk = VkLeftAlt, .alt = true},
     {.swallow = true, .newLast = VkLeftAlt}},
    {"letter while Alt held swallowed, no cue",
     {.mode = 1, .vk = VkA, .alt = true, .last = VkLeftAlt},
     {.swallow = true, .newLast = VkA}},
    {"Alt up swallowed, no cue",
     {.mode = 1, .vk = VkLeftAlt, .down = false, .last = VkA},
     {.swallow = true}},
    {"autorepeat swallowed without cue",
     {.mode = 1, .vk = VkPageDown, .last = VkPageDown, .stopAR = true},
     {.swallow = true, .newLast = VkPageDown}},
    {"autorepeat of a blocked key: no cue",
     {.mode = 1, .vk = VkApps, .last = VkApps, .stopAR = true},
     {.swallow = true, .newLast = VkApps}},
    {"repeat passes with StopARKeys off",
     {.mode = 1, .vk = VkPageDown, .last = VkPageDown},
     {.newLast = VkPageDown}},
    {"other key after repeat passes",
     {.mode = 1, .vk = VkPageDown, .last = VkA, .stopAR = true},
     {.newLast = VkPageDown}},
    {"key-up clears LastKeyDown",
     {.mode = 1, .vk = VkPageDown, .down = false, .last = VkPageDown, .stopAR = true}},
    {"Alt+End restores speed and locks",
     {.mode = 1, .vk = VkEnd, .alt = true, .last = VkLeftAlt, .stopAR = true},
     {.swallow = true, .action = A::RestoreSpeedThenLockAll, .newLast = VkEnd}},
    {"Alt+Home restores speed and autolocks",
     {.mode = 1, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::RestoreSpeedThenAutoLock, .newLast = VkHome}},
    // The sequence comes before the autorepeat stop, so that a sequence that must be held
    // can act at a repeat; the filter step keeps a repeat from acting twice.
    {"held Home repeating under Alt is still the sequence",
     {.mode = 1, .vk = VkHome, .alt = true, .last = VkHome, .stopAR = true},
     {.swallow = true, .action = A::RestoreSpeedThenAutoLock, .newLast = VkHome}},
    {"pass-through ignored",
     {.mode = 1, .vk = VkEnd, .alt = true, .passthru = true},
     {.swallow = true, .action = A::RestoreSpeedThenLockAll, .newLast = VkEnd}},
};
INSTANTIATE_TEST_SUITE_P(BlockWinCtrl, KeyDecisionTable, ::testing::ValuesIn(kBlockWinCtrl));

const Case kLocked[] = {
    {"letter swallowed with cue", {.mode = 2, .vk = VkA}, {.swallow = true, .cue = true}},
    {"left Alt passes", {.mode = 2, .vk = VkLeftAlt, .alt = true}},
    {"left Ctrl passes", {.mode = 2, .vk = VkLeftCtrl}},
    {"Shift swallowed", {.mode = 2, .vk = VkLShift}, {.swallow = true, .cue = true}},
    {"Alt+End swallowed with cue",
     {.mode = 2, .vk = VkEnd, .alt = true},
     {.swallow = true, .cue = true}},
    {"Alt+Home cancels",
     {.mode = 2, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::Cancel}},
    {"Home alone swallowed with cue", {.mode = 2, .vk = VkHome}, {.swallow = true, .cue = true}},
    {"Home key-up with Alt: no action",
     {.mode = 2, .vk = VkHome, .down = false, .alt = true},
     {.swallow = true}},
    {"pass-through ignored",
     {.mode = 2, .vk = VkHome, .alt = true, .passthru = true},
     {.swallow = true, .action = A::Cancel}},
    {"LastKeyDown not kept",
     {.mode = 2, .vk = VkA, .last = VkB, .stopAR = true},
     {.swallow = true, .cue = true, .newLast = VkB}},
    {"auto: Alt+Home autolocks",
     {.mode = 20, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::AutoLock}},
    {"auto: Ctrl passes", {.mode = 20, .vk = VkLeftCtrl}},
    {"auto: End key-up swallowed, no cue",
     {.mode = 20, .vk = VkEnd, .down = false, .alt = true},
     {.swallow = true}},
};
INSTANTIATE_TEST_SUITE_P(Locked, KeyDecisionTable, ::testing::ValuesIn(kLocked));

const Case kAutoLock[] = {
    {"key-down passes, no restart", {.mode = 3, .vk = VkA}},
    {"key-up restarts", {.mode = 3, .vk = VkA, .down = false}, {.action = A::RestartTimer}},
    {"Alt+End locks",
     {.mode = 3, .vk = VkEnd, .alt = true},
     {.swallow = true, .action = A::LockAll}},
    {"Alt+Home cancels",
     {.mode = 3, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::Cancel}},
    {"pass-through: Alt+End passes", {.mode = 3, .vk = VkEnd, .alt = true, .passthru = true}},
    {"pass-through: key-up still restarts",
     {.mode = 3, .vk = VkEnd, .down = false, .alt = true, .passthru = true},
     {.action = A::RestartTimer}},
    {"suspended: Alt+Home cancels",
     {.mode = 30, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::Cancel}},
    {"suspended: pass-through Alt+Home passes",
     {.mode = 30, .vk = VkHome, .alt = true, .passthru = true}},
    {"suspended: key-up restarts",
     {.mode = 30, .vk = VkLeftAlt, .down = false},
     {.action = A::RestartTimer}},
};
INSTANTIATE_TEST_SUITE_P(AutoLock, KeyDecisionTable, ::testing::ValuesIn(kAutoLock));

const Case kAllowOnly[] = {
    {"Space passes", {.mode = 4, .vk = VkSpace, .stopAR = true}, {.newLast = VkSpace}},
    {"Volume Up passes", {.mode = 4, .vk = VkVolumeUp, .stopAR = true}, {.newLast = VkVolumeUp}},
    {"Tab swallowed with cue",
     {.mode = 4, .vk = VkTab},
     {.swallow = true, .cue = true, .newLast = VkTab}},
    {"Enter swallowed with cue",
     {.mode = 4, .vk = VkEnter},
     {.swallow = true, .cue = true, .newLast = VkEnter}},
    {"Left swallowed with cue",
     {.mode = 4, .vk = VkLeft},
     {.swallow = true, .cue = true, .newLast = VkLeft}},
    {"Escape swallowed with cue",
     {.mode = 4, .vk = VkEsc},
     {.swallow = true, .cue = true, .newLast = VkEsc}},
    {"Space autorepeat swallowed",
     {.mode = 4, .vk = VkSpace, .last = VkSpace, .stopAR = true},
     {.swallow = true, .newLast = VkSpace}},
    {"Space repeat passes with StopARKeys off",
     {.mode = 4, .vk = VkSpace, .last = VkSpace},
     {.newLast = VkSpace}},
    {"Alt down swallowed, no cue",
     {.mode = 4, .vk = VkRightAlt, .alt = true},
     {.swallow = true, .newLast = VkRightAlt}},
    {"Space while Alt held swallowed, no cue",
     {.mode = 4, .vk = VkSpace, .alt = true},
     {.swallow = true, .newLast = VkSpace}},
    {"Alt+End locks",
     {.mode = 4, .vk = VkEnd, .alt = true},
     {.swallow = true, .action = A::LockAll, .newLast = VkEnd}},
    {"Alt+Home autolocks",
     {.mode = 4, .vk = VkHome, .alt = true, .passthru = true},
     {.swallow = true, .action = A::AutoLock, .newLast = VkHome}},
};
INSTANTIATE_TEST_SUITE_P(AllowOnly, KeyDecisionTable, ::testing::ValuesIn(kAllowOnly));

const Case kEntryReq[] = {
    {"Alt+Home opens the gate",
     {.mode = 99, .vk = VkHome, .alt = true},
     {.swallow = true, .action = A::OpenEntryGate}},
    {"Alt+End passes", {.mode = 99, .vk = VkEnd, .alt = true}},
    {"letter passes", {.mode = 99, .vk = VkA}},
};
INSTANTIATE_TEST_SUITE_P(EntryReq, KeyDecisionTable, ::testing::ValuesIn(kEntryReq));

// Codes that are no mode (start requests among them) pass every event and change nothing.
TEST(KeyDecision, CodesOutsideTheTablePassEverything) {
  Settings s;
  s.StopARKeys = true;
  s.PassthruWCls = "x";
  for (ModeCode mode : {-1, -3, 5, 10, 21, 31, 100, -32768, 32767}) {
    for (std::uint32_t vk : {VkA, VkEnd, VkHome, VkLeftAlt, VkLeftCtrl, VkTab}) {
      for (bool down : {true, false}) {
        for (bool alt : {true, false}) {
          const KeyOutcome got = DecideKey(mode, vk, down, Alt(alt), vk, s, false);
          EXPECT_EQ(got, (KeyOutcome{{false, false, A::None}, vk}))
              << "mode " << mode << " vk " << vk << " down " << down << " alt " << alt;
        }
      }
    }
  }
}

// A key-up never gives the cue, in any mode, whatever the key.
TEST(KeyDecision, KeyUpsNeverCue) {
  Settings s;
  for (ModeCode mode : {0, 1, 2, 20, 3, 30, 4, 99}) {
    for (std::uint32_t vk = 0; vk < 300; ++vk) {
      for (bool alt : {true, false}) {
        EXPECT_FALSE(DecideKey(mode, vk, false, Alt(alt), 0, s, false).decision.Cue)
            << "mode " << mode << " vk " << vk;
      }
    }
  }
}

// The foreground class is asked for only where it can matter: modes 0, 3, 30, with the
// setting non-empty, and only for the two sequences.
TEST(KeyDecision, AsksForTheForegroundClassOnlyWhenItMatters) {
  for (bool set : {true, false}) {
    Settings s;
    s.PassthruWCls = set ? "RemoteView" : "";
    for (ModeCode mode : {0, 1, 2, 20, 3, 30, 4, 99, -1}) {
      const bool canAsk =
          set && (mode == ModeUnlocked || mode == ModeAutoLock || mode == ModeAutoLockSuspended);
      for (std::uint32_t vk : {VkA, VkEnd, VkHome}) {
        for (bool down : {true, false}) {
          for (bool alt : {true, false}) {
            int asked = 0;
            DecideKey(mode, vk, down, Alt(alt), 0, s, [&] {
              ++asked;
              return false;
            });
            const bool sequence = down && alt && (vk == VkEnd || vk == VkHome);
            EXPECT_EQ(asked, canAsk && sequence ? 1 : 0)
                << "set " << set << " mode " << mode << " vk " << vk << " down " << down << " alt "
                << alt;
          }
        }
      }
    }
  }
}

TEST(BlockWinCtrlAllowList, HoldsExactlyTheTypingAndNavigationKeys) {
  std::vector<bool> expected(256, false);
  const auto allow = [&](std::uint32_t from, std::uint32_t to) {
    for (std::uint32_t v = from; v <= to; ++v) expected[v] = true;
  };
  allow('A', 'Z');
  allow('0', '9');
  allow(0x60, 0x69);  // keypad digits
  allow(0x70, 0x7B);  // F1..F12
  allow(0x20, 0x28);  // Space, PgUp, PgDn, End, Home, arrows
  allow(0x2D, 0x2E);  // Insert, Delete
  allow(0xBA, 0xC0);  // ; = , - . / `
  allow(0xDB, 0xDE);  // [ \ ] '
  for (std::uint32_t v : {0x6Au, 0x6Bu, 0x6Du, 0x6Fu, 0xA0u, 0xA1u, 0x0Du, 0x09u, 0x08u, 0x14u,
                          0xADu, 0xAEu, 0xAFu, 0x1Bu})
    expected[v] = true;
  for (std::uint32_t vk = 0; vk < 256; ++vk)
    EXPECT_EQ(BlockWinCtrlAllowed.Contains(vk), expected[vk]) << "vk " << vk;
  for (std::uint32_t vk : {256u, 256u + 65u, 0xFFFFFFFFu})
    EXPECT_FALSE(BlockWinCtrlAllowed.Contains(vk));
}

TEST(BlockWinCtrlAllowList, SwallowsTheNamedWindowControlKeys) {
  Settings s;
  for (std::uint32_t vk : {91u, 92u, 93u, 162u, 163u, 110u, 144u, 145u, 19u, 44u, 124u, 135u, 166u,
                           172u, 176u, 183u, 256u}) {
    const KeyOutcome got = DecideKey(ModeBlockWinCtrl, vk, true, false, 0, s, false);
    EXPECT_TRUE(got.decision.Swallow) << "vk " << vk;
    EXPECT_TRUE(got.decision.Cue) << "vk " << vk;
  }
}

TEST(AltState, EachSideIsKeptOnItsOwn) {
  LockState lock;
  UpdateAltState(lock, VkLeftAlt, true);
  UpdateAltState(lock, VkRightAlt, true);
  UpdateAltState(lock, VkLeftAlt, false);
  EXPECT_FALSE(lock.LeftAltDown);
  EXPECT_TRUE(lock.RightAltDown);
  UpdateAltState(lock, VkA, false);
  UpdateAltState(lock, 18, false);  // the generic Alt code is not tracked
  EXPECT_TRUE(lock.RightAltDown);
  UpdateAltState(lock, VkRightAlt, false);
  EXPECT_FALSE(lock.RightAltDown);
}

}  // namespace
}  // namespace hushkey
