#include "hushkey/autolock/countdown.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace hushkey {
namespace {

const std::string kHead = "System will be locked if no activity ";
const std::string kExcl = "(excl mouse move) ";

// A timeout (minutes), its split into whole minutes and seconds, and the countdown text after
// the head; each is checked with StopMouseMove on and off.
struct CountdownCase {
  float timeout;
  TimeoutSplit split;
  std::string tail;  // what follows the head (and "(excl mouse move) " when shown)
};

class CountdownTest : public ::testing::TestWithParam<CountdownCase> {};

TEST_P(CountdownTest, SplitsAndDescribes) {
  const CountdownCase& c = GetParam();
  const TimeoutSplit split = SplitTimeout(c.timeout);
  EXPECT_EQ(split, c.split);
  for (bool stopMouseMove : {false, true}) {
    EXPECT_EQ(CountdownText(split.minutes, split.seconds, stopMouseMove),
              kHead + (stopMouseMove ? "" : kExcl) + c.tail);
  }
}

const CountdownCase kCases[] = {
    {.timeout = 0.0f, .split = {0, 0}, .tail = "in "},
    {.timeout = 0.008f, .split = {0, 0}, .tail = "in "},  // under half a second
    {.timeout = 1.0f, .split = {1, 0}, .tail = "in 1 min "},
    {.timeout = 1.5f, .split = {1, 30}, .tail = "in 1 min 30 secs"},
    {.timeout = 2.25f, .split = {2, 15}, .tail = "in 2 mins 15 secs"},
    {.timeout = 10.0f, .split = {10, 0}, .tail = "in 10 mins "},
    {.timeout = 1.0f / 60.0f, .split = {0, 1}, .tail = "in 1 sec"},
    {.timeout = 0.5f, .split = {0, 30}, .tail = "in 30 secs"},
    {.timeout = 0.999f, .split = {0, 60}, .tail = "in 60 secs"},
    {.timeout = 1.0f + 1.0f / 60.0f, .split = {1, 1}, .tail = "in 1 min 1 sec"},
    // 7.5 and 22.5 seconds: ties go to the even neighbour.
    {.timeout = 0.125f, .split = {0, 8}, .tail = "in 8 secs"},
    {.timeout = 0.375f, .split = {0, 22}, .tail = "in 22 secs"},
};
INSTANTIATE_TEST_SUITE_P(Timeouts, CountdownTest, ::testing::ValuesIn(kCases));

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
