// The mouse decision per mode and message class, and the move-cue throttle.
#include "hushkey/engine/mouse_filter.h"

#include "tests/support/mode_code.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

using A = FilterAction;

constexpr std::uint32_t Move = 512, LDown = 513, LUp = 514, RDown = 516, RUp = 517, MDown = 519,
                        Wheel = 522, XDown = 523, HWheel = 526;

// A message in a mode with the two mouse settings, and the decision. Left out: both
// settings off; the message passes without cue or action.
struct Case {
  ModeCode mode;
  bool stopMove = false;
  bool aomAllow = false;
  std::uint32_t message;
  bool swallow = false;
  bool cue = false;  // with the move throttle open (elapsed 10000 ms)
  A action = A::None;
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

const Case kLocked[] = {
    {.mode = 2, .message = Move},
    {.mode = 2, .stopMove = true, .message = Move, .swallow = true, .cue = true},
    {.mode = 2, .message = LDown, .swallow = true, .cue = true},
    {.mode = 2, .message = RDown, .swallow = true, .cue = true},
    {.mode = 2, .message = MDown, .swallow = true, .cue = true},
    {.mode = 2, .message = LUp, .swallow = true},
    {.mode = 2, .message = Wheel, .swallow = true},
    {.mode = 2, .aomAllow = true, .message = LDown, .swallow = true, .cue = true},
    {.mode = 20, .stopMove = true, .message = Move, .swallow = true, .cue = true},
    {.mode = 20, .message = Move},
    {.mode = 20, .message = LDown, .swallow = true, .cue = true},
    {.mode = 20, .message = HWheel, .swallow = true},
};
INSTANTIATE_TEST_SUITE_P(Locked, MouseDecisionTable, ::testing::ValuesIn(kLocked));

const Case kAutoLock[] = {
    {.mode = 3, .message = LDown, .action = A::RestartTimer},
    {.mode = 3, .message = RDown, .action = A::RestartTimer},
    {.mode = 3, .stopMove = true, .message = MDown, .action = A::RestartTimer},
    {.mode = 3, .stopMove = true, .message = Move},
    {.mode = 3, .message = Wheel},
    {.mode = 30, .message = LDown, .action = A::RestartTimer},
    {.mode = 30, .message = XDown},
};
INSTANTIATE_TEST_SUITE_P(AutoLock, MouseDecisionTable, ::testing::ValuesIn(kAutoLock));

const Case kAllowOnly[] = {
    // Moves are swallowed whatever StopMouseMove.
    {.mode = 4, .message = Move, .swallow = true, .cue = true},
    {.mode = 4, .stopMove = true, .message = Move, .swallow = true, .cue = true},
    {.mode = 4, .message = LDown, .swallow = true, .cue = true},
    {.mode = 4, .message = Wheel, .swallow = true},
    {.mode = 4, .message = RUp, .swallow = true},
    {.mode = 4, .aomAllow = true, .message = Move},
    {.mode = 4, .stopMove = true, .aomAllow = true, .message = LDown},
    {.mode = 4, .aomAllow = true, .message = Wheel},
};
INSTANTIATE_TEST_SUITE_P(AllowOnly, MouseDecisionTable, ::testing::ValuesIn(kAllowOnly));

const Case kPassAll[] = {
    {.mode = 0, .stopMove = true, .message = Move},
    {.mode = 0, .stopMove = true, .message = LDown},
    {.mode = 1, .stopMove = true, .message = Move},
    {.mode = 1, .stopMove = true, .message = RDown},
    {.mode = 99, .stopMove = true, .message = LDown},
    {.mode = -1, .stopMove = true, .message = LDown},
    {.mode = -3, .stopMove = true, .message = Move},
    {.mode = 5, .stopMove = true, .message = MDown},
};
INSTANTIATE_TEST_SUITE_P(PassAll, MouseDecisionTable, ::testing::ValuesIn(kPassAll));

TEST(MouseThrottle, CuesOnlyAfterMoreThan500Ms) {
  Settings s;
  s.StopMouseMove = true;
  struct {
    std::uint32_t elapsed;
    bool cue;
  } cases[] = {{0, false},  {1, false},         {499, false},      {500, false},
               {501, true}, {0x7FFFFFFF, true}, {0xFFFFFFFF, true}};
  for (auto c : cases) {
    for (ModeCode mode : {2, 20, 4}) {
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
  for (ModeCode mode : {0, 1, 2, 20, 3, 30, 4, 99, -1}) {
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
