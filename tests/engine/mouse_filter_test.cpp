// The mouse decision per mode and message class, and the move-cue throttle.
#include "hushkey/engine/mouse_filter.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

using A = FilterAction;

constexpr std::uint32_t Move = 512, LDown = 513, LUp = 514, RDown = 516, RUp = 517, MDown = 519,
                        Wheel = 522, XDown = 523, HWheel = 526;

struct Case {
  LockMode mode;
  bool stopMove;
  bool aomAllow;
  std::uint32_t message;
  bool swallow;
  bool cue;  // with the move throttle open (elapsed 10000 ms)
  A action;
};

class MouseDecisionTable : public ::testing::TestWithParam<Case> {};

TEST_P(MouseDecisionTable, Decides) {
  const Case& c = GetParam();
  Settings s;
  s.StopMouseMove = c.stopMove;
  s.AOMAllowMouse = c.aomAllow;
  EXPECT_EQ(DecideMouse(c.mode, c.message, s, 10000u), (KeyDecision{c.swallow, c.cue, c.action}))
      << "mode " << c.mode << " msg " << c.message << " stopMove " << c.stopMove << " aom "
      << c.aomAllow;
}

INSTANTIATE_TEST_SUITE_P(Locked, MouseDecisionTable,
                         ::testing::Values(Case{2, false, false, Move, false, false, A::None},
                                           Case{2, true, false, Move, true, true, A::None},
                                           Case{2, false, false, LDown, true, true, A::None},
                                           Case{2, false, false, RDown, true, true, A::None},
                                           Case{2, false, false, MDown, true, true, A::None},
                                           Case{2, false, false, LUp, true, false, A::None},
                                           Case{2, false, false, Wheel, true, false, A::None},
                                           Case{2, false, true, LDown, true, true, A::None},
                                           Case{20, true, false, Move, true, true, A::None},
                                           Case{20, false, false, Move, false, false, A::None},
                                           Case{20, false, false, LDown, true, true, A::None},
                                           Case{20, false, false, HWheel, true, false, A::None}));

INSTANTIATE_TEST_SUITE_P(
    AutoLock, MouseDecisionTable,
    ::testing::Values(Case{3, false, false, LDown, false, false, A::RestartTimer},
                      Case{3, false, false, RDown, false, false, A::RestartTimer},
                      Case{3, true, false, MDown, false, false, A::RestartTimer},
                      Case{3, true, false, Move, false, false, A::None},
                      Case{3, false, false, Wheel, false, false, A::None},
                      Case{30, false, false, LDown, false, false, A::RestartTimer},
                      Case{30, false, false, XDown, false, false, A::None}));

INSTANTIATE_TEST_SUITE_P(AllowOnly, MouseDecisionTable,
                         ::testing::Values(Case{4, false, false, Move, true, true,
                                                A::None},  // moves swallowed whatever StopMouseMove
                                           Case{4, true, false, Move, true, true, A::None},
                                           Case{4, false, false, LDown, true, true, A::None},
                                           Case{4, false, false, Wheel, true, false, A::None},
                                           Case{4, false, false, RUp, true, false, A::None},
                                           Case{4, false, true, Move, false, false, A::None},
                                           Case{4, true, true, LDown, false, false, A::None},
                                           Case{4, false, true, Wheel, false, false, A::None}));

INSTANTIATE_TEST_SUITE_P(PassAll, MouseDecisionTable,
                         ::testing::Values(Case{0, true, false, Move, false, false, A::None},
                                           Case{0, true, false, LDown, false, false, A::None},
                                           Case{1, true, false, Move, false, false, A::None},
                                           Case{1, true, false, RDown, false, false, A::None},
                                           Case{99, true, false, LDown, false, false, A::None},
                                           Case{-1, true, false, LDown, false, false, A::None},
                                           Case{-3, true, false, Move, false, false, A::None},
                                           Case{5, true, false, MDown, false, false, A::None}));

TEST(MouseThrottle, CuesOnlyAfterMoreThan500Ms) {
  Settings s;
  s.StopMouseMove = true;
  struct {
    std::uint32_t elapsed;
    bool cue;
  } cases[] = {{0, false},  {1, false},         {499, false},      {500, false},
               {501, true}, {0x7FFFFFFF, true}, {0xFFFFFFFF, true}};
  for (auto c : cases) {
    for (LockMode mode : {2, 20, 4}) {
      const KeyDecision d = DecideMouse(mode, Move, s, c.elapsed);
      EXPECT_TRUE(d.Swallow);
      EXPECT_EQ(d.Cue, c.cue) << "elapsed " << c.elapsed << " mode " << mode;
    }
  }
}

TEST(MouseThrottle, ElapsedTimeSurvivesTheTickWrap) {
  EXPECT_EQ(TicksSince(0xFFFFFF00u, 0x000000F4u), 500u);
  EXPECT_EQ(TicksSince(0xFFFFFF00u, 0x000000F5u), 501u);
  EXPECT_EQ(TicksSince(0xFFFFFFFFu, 0u), 1u);
  EXPECT_EQ(TicksSince(1000u, 1500u), 500u);
}

// The tick count is read only for a move that is being swallowed.
TEST(MouseThrottle, ReadsTheClockOnlyForSwallowedMoves) {
  Settings s;
  s.StopMouseMove = true;
  for (LockMode mode : {0, 1, 2, 20, 3, 30, 4, 99, -1}) {
    for (std::uint32_t msg : {Move, LDown, LUp, Wheel}) {
      int reads = 0;
      const KeyDecision d = DecideMouse(mode, msg, s, [&] {
        ++reads;
        return 10000u;
      });
      const bool swallowedMove = msg == Move && d.Swallow;
      EXPECT_EQ(reads, swallowedMove ? 1 : 0) << "mode " << mode << " msg " << msg;
    }
  }
}

}  // namespace
}  // namespace hushkey
