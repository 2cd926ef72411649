#include "hushkey/autolock/countdown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace hushkey {
namespace {

const std::string kHead = "System will be locked if no activity ";
const std::string kExcl = "(excl mouse move) ";

struct CountdownCase {
  float timeout;
  bool stopMouseMove;
  std::int32_t minutes, seconds;
  std::string tail;  // what follows the head (and "(excl mouse move) " when shown)
};

class CountdownTest : public ::testing::TestWithParam<CountdownCase> {};

TEST_P(CountdownTest, SplitsAndDescribes) {
  const CountdownCase& c = GetParam();
  const TimeoutSplit split = SplitTimeout(c.timeout);
  EXPECT_EQ(split.minutes, c.minutes);
  EXPECT_EQ(split.seconds, c.seconds);
  EXPECT_EQ(CountdownText(split.minutes, split.seconds, c.stopMouseMove),
            kHead + (c.stopMouseMove ? "" : kExcl) + c.tail);
}

INSTANTIATE_TEST_SUITE_P(
    Timeouts, CountdownTest,
    ::testing::Values(CountdownCase{0.0f, false, 0, 0, "in "},
                      CountdownCase{0.0f, true, 0, 0, "in "},
                      CountdownCase{0.008f, true, 0, 0, "in "},  // under half a second
                      CountdownCase{1.0f, true, 1, 0, "in 1 min "},
                      CountdownCase{1.0f, false, 1, 0, "in 1 min "},
                      CountdownCase{1.5f, true, 1, 30, "in 1 min 30 secs"},
                      CountdownCase{2.25f, false, 2, 15, "in 2 mins 15 secs"},
                      CountdownCase{10.0f, false, 10, 0, "in 10 mins "},
                      CountdownCase{1.0f / 60.0f, true, 0, 1, "in 1 sec"},
                      CountdownCase{0.5f, true, 0, 30, "in 30 secs"},
                      CountdownCase{0.999f, true, 0, 60, "in 60 secs"},
                      CountdownCase{1.0f + 1.0f / 60.0f, true, 1, 1, "in 1 min 1 sec"},
                      // 7.5 and 22.5 seconds: ties go to the even neighbour.
                      CountdownCase{0.125f, true, 0, 8, "in 8 secs"},
                      CountdownCase{0.375f, true, 0, 22, "in 22 secs"}));

TEST(SplitTimeout, OutOfRangeValuesAreDefined) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  EXPECT_EQ(SplitTimeout(std::nanf("")), (TimeoutSplit{0, 0}));
  EXPECT_EQ(SplitTimeout(std::numeric_limits<float>::infinity()), (TimeoutSplit{kMax, 0}));
  EXPECT_EQ(SplitTimeout(-std::numeric_limits<float>::infinity()), (TimeoutSplit{kMin, 0}));
  EXPECT_EQ(SplitTimeout(3e9f), (TimeoutSplit{kMax, 0}));
  EXPECT_EQ(SplitTimeout(2147483520.0f),
            (TimeoutSplit{2147483520, 0}));  // largest float below 2^31
  EXPECT_EQ(SplitTimeout(-2147483648.0f), (TimeoutSplit{kMin, 0}));
  EXPECT_EQ(SplitTimeout(-0.5f), (TimeoutSplit{-1, 30}));
}

TEST(TimerIntervalForTimeout, StaysWithinWhatTheTimerAccepts) {
  EXPECT_EQ(TimerIntervalForTimeout(2.25f), (TimeoutSplit{2, 15}));
  EXPECT_EQ(TimerIntervalForTimeout(std::nanf("")), (TimeoutSplit{0, 0}));
  EXPECT_EQ(TimerIntervalForTimeout(-0.5f), (TimeoutSplit{0, 0}));
  EXPECT_EQ(TimerIntervalForTimeout(-std::numeric_limits<float>::infinity()), (TimeoutSplit{0, 0}));
  EXPECT_EQ(TimerIntervalForTimeout(1e9f), (TimeoutSplit{35791394, 0}));
  EXPECT_EQ(TimerIntervalForTimeout(std::numeric_limits<float>::infinity()),
            (TimeoutSplit{35791394, 0}));
  // 35791392 minutes is 2147483520 seconds: still accepted as it is.
  EXPECT_EQ(TimerIntervalForTimeout(35791392.0f), (TimeoutSplit{35791392, 0}));
}

TEST(CountdownText, LeavesOutNonPositiveParts) {
  EXPECT_EQ(CountdownText(-1, 30, true), kHead + "in 30 secs");
  EXPECT_EQ(CountdownText(2, -5, true), kHead + "in 2 mins ");
  EXPECT_EQ(CountdownText(1, 1, false), kHead + kExcl + "in 1 min 1 sec");
  EXPECT_EQ(CountdownText(35791394, 0, true), kHead + "in 35791394 mins ");
}

}  // namespace
}  // namespace hushkey
