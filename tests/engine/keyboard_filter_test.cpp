// The keyboard decision, mode by mode, as tables of (event, state) -> (decision, LastKeyDown).
#include "hushkey/engine/keyboard_filter.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace hushkey {
namespace {

using A = FilterAction;

constexpr std::uint32_t VkA = 65, VkB = 66, VkC = 67, VkTab = 9, VkEnter = 13, VkLeft = 37,
                        VkLShift = 160, VkLWin = 91, VkApps = 93, VkEsc = 27;

struct Case {
  const char* what;
  LockMode mode;
  std::uint32_t vk;
  bool down;
  bool alt;  // Alt held after this event's own update
  std::uint32_t last;
  bool stopAR;
  bool passthru;
  bool swallow;
  bool cue;
  A action;
  std::uint32_t newLast;
};

std::ostream& operator<<(std::ostream& os, const Case& c) { return os << c.what; }

class KeyDecisionTable : public ::testing::TestWithParam<Case> {};

TEST_P(KeyDecisionTable, Decides) {
  const Case& c = GetParam();
  Settings s;
  s.StopARKeys = c.stopAR;
  s.PassthruWCls = "RemoteView";
  const KeyOutcome got = DecideKey(c.mode, c.vk, c.down, c.alt, c.last, s, c.passthru);
  EXPECT_EQ(got.decision.Swallow, c.swallow);
  EXPECT_EQ(got.decision.Cue, c.cue);
  EXPECT_EQ(got.decision.Action, c.action);
  EXPECT_EQ(got.LastKeyDown, c.newLast);
}

// what, mode, vk, down, alt, last, stopAR, passthru -> swallow, cue, action, newLast
INSTANTIATE_TEST_SUITE_P(Unlocked, KeyDecisionTable,
                         ::testing::Values(Case{"letter passes", 0, VkA, true, false, 0, false,
                                                false, false, false, A::None, 0},
                                           Case{"Alt+End locks", 0, VkEnd, true, true, 0, false,
                                                false, true, false, A::LockAll, 0},
                                           Case{"Alt+Home starts autolock", 0, VkHome, true, true,
                                                0, false, false, true, false, A::AutoLock, 0},
                                           Case{"End alone passes", 0, VkEnd, true, false, 0, false,
                                                false, false, false, A::None, 0},
                                           Case{"End key-up with Alt passes", 0, VkEnd, false, true,
                                                0, false, false, false, false, A::None, 0},
                                           Case{"Alt+End to pass-through window", 0, VkEnd, true,
                                                true, 0, false, true, false, false, A::None, 0},
                                           Case{"Alt+Home to pass-through window", 0, VkHome, true,
                                                true, 0, false, true, false, false, A::None, 0},
                                           Case{"LastKeyDown not kept", 0, VkB, true, false, VkA,
                                                true, false, false, false, A::None, VkA}));

INSTANTIATE_TEST_SUITE_P(
    BlockWinCtrl, KeyDecisionTable,
    ::testing::Values(Case{"letter passes and is remembered", 1, VkA, true, false, 0, true, false,
                           false, false, A::None, VkA},
                      Case{"Ctrl down swallowed with cue", 1, VkLeftCtrl, true, false, 0, false,
                           false, true, true, A::None, VkLeftCtrl},
                      Case{"C after swallowed Ctrl passes", 1, VkC, true, false, VkLeftCtrl, false,
                           false, false, false, A::None, VkC},
                      Case{"Ctrl up swallowed, no cue", 1, VkRightCtrl, false, false, VkC, false,
                           false, true, false, A::None, 0},
                      Case{"Alt down swallowed, no cue", 1, VkLeftAlt, true, true, 0, false, false,
                           true, false, A::None, VkLeftAlt},
                      Case{"letter while Alt held swallowed, no cue", 1, VkA, true, true, VkLeftAlt,
                           false, false, true, false, A::None, VkA},
                      Case{"Alt up swallowed, no cue", 1, VkLeftAlt, false, false, VkA, false,
                           false, true, false, A::None, 0},
                      Case{"autorepeat swallowed without cue", 1, VkPageDown, true, false,
                           VkPageDown, true, false, true, false, A::None, VkPageDown},
                      Case{"autorepeat of a blocked key: no cue", 1, VkApps, true, false, VkApps,
                           true, false, true, false, A::None, VkApps},
                      Case{"repeat passes with StopARKeys off", 1, VkPageDown, true, false,
                           VkPageDown, false, false, false, false, A::None, VkPageDown},
                      Case{"other key after repeat passes", 1, VkPageDown, true, false, VkA, true,
                           false, false, false, A::None, VkPageDown},
                      Case{"key-up clears LastKeyDown", 1, VkPageDown, false, false, VkPageDown,
                           true, false, false, false, A::None, 0},
                      Case{"Alt+End restores speed and locks", 1, VkEnd, true, true, VkLeftAlt,
                           true, false, true, false, A::RestoreSpeedThenLockAll, VkEnd},
                      Case{"Alt+Home restores speed and autolocks", 1, VkHome, true, true, 0, false,
                           false, true, false, A::RestoreSpeedThenAutoLock, VkHome},
                      Case{"held Home repeating under Alt runs nothing", 1, VkHome, true, true,
                           VkHome, true, false, true, false, A::None, VkHome},
                      Case{"pass-through ignored", 1, VkEnd, true, true, 0, false, true, true,
                           false, A::RestoreSpeedThenLockAll, VkEnd}));

INSTANTIATE_TEST_SUITE_P(Locked, KeyDecisionTable,
                         ::testing::Values(Case{"letter swallowed with cue", 2, VkA, true, false, 0,
                                                false, false, true, true, A::None, 0},
                                           Case{"left Alt passes", 2, VkLeftAlt, true, true, 0,
                                                false, false, false, false, A::None, 0},
                                           Case{"left Ctrl passes", 2, VkLeftCtrl, true, false, 0,
                                                false, false, false, false, A::None, 0},
                                           Case{"Shift swallowed", 2, VkLShift, true, false, 0,
                                                false, false, true, true, A::None, 0},
                                           Case{"Alt+End swallowed with cue", 2, VkEnd, true, true,
                                                0, false, false, true, true, A::None, 0},
                                           Case{"Alt+Home cancels", 2, VkHome, true, true, 0, false,
                                                false, true, false, A::Cancel, 0},
                                           Case{"Home alone swallowed with cue", 2, VkHome, true,
                                                false, 0, false, false, true, true, A::None, 0},
                                           Case{"Home key-up with Alt: no action", 2, VkHome, false,
                                                true, 0, false, false, true, false, A::None, 0},
                                           Case{"pass-through ignored", 2, VkHome, true, true, 0,
                                                false, true, true, false, A::Cancel, 0},
                                           Case{"LastKeyDown not kept", 2, VkA, true, false, VkB,
                                                true, false, true, true, A::None, VkB},
                                           Case{"auto: Alt+Home autolocks", 20, VkHome, true, true,
                                                0, false, false, true, false, A::AutoLock, 0},
                                           Case{"auto: Ctrl passes", 20, VkLeftCtrl, true, false, 0,
                                                false, false, false, false, A::None, 0},
                                           Case{"auto: End key-up swallowed, no cue", 20, VkEnd,
                                                false, true, 0, false, false, true, false, A::None,
                                                0}));

INSTANTIATE_TEST_SUITE_P(
    AutoLock, KeyDecisionTable,
    ::testing::Values(
        Case{"key-down passes, no restart", 3, VkA, true, false, 0, false, false, false, false,
             A::None, 0},
        Case{"key-up restarts", 3, VkA, false, false, 0, false, false, false, false,
             A::RestartTimer, 0},
        Case{"Alt+End locks", 3, VkEnd, true, true, 0, false, false, true, false, A::LockAll, 0},
        Case{"Alt+Home cancels", 3, VkHome, true, true, 0, false, false, true, false, A::Cancel, 0},
        Case{"pass-through: Alt+End passes", 3, VkEnd, true, true, 0, false, true, false, false,
             A::None, 0},
        Case{"pass-through: key-up still restarts", 3, VkEnd, false, true, 0, false, true, false,
             false, A::RestartTimer, 0},
        Case{"suspended: Alt+Home cancels", 30, VkHome, true, true, 0, false, false, true, false,
             A::Cancel, 0},
        Case{"suspended: pass-through Alt+Home passes", 30, VkHome, true, true, 0, false, true,
             false, false, A::None, 0},
        Case{"suspended: key-up restarts", 30, VkLeftAlt, false, false, 0, false, false, false,
             false, A::RestartTimer, 0}));

INSTANTIATE_TEST_SUITE_P(
    AllowOnly, KeyDecisionTable,
    ::testing::Values(Case{"Space passes", 4, VkSpace, true, false, 0, true, false, false, false,
                           A::None, VkSpace},
                      Case{"Volume Up passes", 4, VkVolumeUp, true, false, 0, true, false, false,
                           false, A::None, VkVolumeUp},
                      Case{"Tab swallowed with cue", 4, VkTab, true, false, 0, false, false, true,
                           true, A::None, VkTab},
                      Case{"Enter swallowed with cue", 4, VkEnter, true, false, 0, false, false,
                           true, true, A::None, VkEnter},
                      Case{"Left swallowed with cue", 4, VkLeft, true, false, 0, false, false, true,
                           true, A::None, VkLeft},
                      Case{"Escape swallowed with cue", 4, VkEsc, true, false, 0, false, false,
                           true, true, A::None, VkEsc},
                      Case{"Space autorepeat swallowed", 4, VkSpace, true, false, VkSpace, true,
                           false, true, false, A::None, VkSpace},
                      Case{"Space repeat passes with StopARKeys off", 4, VkSpace, true, false,
                           VkSpace, false, false, false, false, A::None, VkSpace},
                      Case{"Alt down swallowed, no cue", 4, VkRightAlt, true, true, 0, false, false,
                           true, false, A::None, VkRightAlt},
                      Case{"Space while Alt held swallowed, no cue", 4, VkSpace, true, true, 0,
                           false, false, true, false, A::None, VkSpace},
                      Case{"Alt+End locks", 4, VkEnd, true, true, 0, false, false, true, false,
                           A::LockAll, VkEnd},
                      Case{"Alt+Home autolocks", 4, VkHome, true, true, 0, false, true, true, false,
                           A::AutoLock, VkHome}));

INSTANTIATE_TEST_SUITE_P(EntryReq, KeyDecisionTable,
                         ::testing::Values(Case{"Alt+Home opens the gate", 99, VkHome, true, true,
                                                0, false, false, true, false, A::OpenEntryGate, 0},
                                           Case{"Alt+End passes", 99, VkEnd, true, true, 0, false,
                                                false, false, false, A::None, 0},
                                           Case{"letter passes", 99, VkA, true, false, 0, false,
                                                false, false, false, A::None, 0}));

// Codes that are no mode (start requests among them) pass every event and change nothing.
TEST(KeyDecision, CodesOutsideTheTablePassEverything) {
  Settings s;
  s.StopARKeys = true;
  s.PassthruWCls = "x";
  for (LockMode mode : {-1, -3, 5, 10, 21, 31, 100, -32768, 32767}) {
    for (std::uint32_t vk : {VkA, VkEnd, VkHome, VkLeftAlt, VkLeftCtrl, VkTab}) {
      for (bool down : {true, false}) {
        for (bool alt : {true, false}) {
          const KeyOutcome got = DecideKey(mode, vk, down, alt, vk, s, false);
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
  for (LockMode mode : {0, 1, 2, 20, 3, 30, 4, 99}) {
    for (std::uint32_t vk = 0; vk < 300; ++vk) {
      for (bool alt : {true, false}) {
        EXPECT_FALSE(DecideKey(mode, vk, false, alt, 0, s, false).decision.Cue)
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
    for (LockMode mode : {0, 1, 2, 20, 3, 30, 4, 99, -1}) {
      const bool canAsk = set && (mode == 0 || mode == 3 || mode == 30);
      for (std::uint32_t vk : {VkA, VkEnd, VkHome}) {
        for (bool down : {true, false}) {
          for (bool alt : {true, false}) {
            int asked = 0;
            DecideKey(mode, vk, down, alt, 0, s, [&] {
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
