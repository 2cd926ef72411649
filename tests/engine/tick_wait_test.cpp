// The wait loop against a simulated clock and message queue.
#include "hushkey/engine/tick_wait.h"

#include <gtest/gtest.h>

#include <vector>

namespace hushkey {
namespace {

class FakeWaitPlatform final : public WaitPlatform {
 public:
  explicit FakeWaitPlatform(std::uint32_t start) : now(start) {}
  std::uint32_t Now() override { return now; }
  void SleepUntilMessage(std::uint32_t maxMs) override {
    ++sleeps;
    // Wake at the next message due within maxMs, else after maxMs.
    for (std::uint32_t at : messagesAt) {
      const std::uint32_t in = at - now;
      if (!delivered(at) && in <= maxMs) {
        slept += in;
        now = at;
        return;
      }
    }
    slept += maxMs;
    now += maxMs;
  }
  void Sleep(std::uint32_t ms) override {
    ++sleeps;
    plainSleeps += 1;
    slept += ms;
    now += ms;
  }
  bool DispatchPending() override {
    ++pumps;
    for (std::uint32_t at : messagesAt)
      if (at == now && !delivered(at)) dispatchedAt.push_back(at);
    return !quit;
  }
  bool delivered(std::uint32_t at) const {
    for (std::uint32_t d : dispatchedAt)
      if (d == at) return true;
    return false;
  }

  std::uint32_t now;
  std::uint64_t slept = 0;
  int sleeps = 0, plainSleeps = 0, pumps = 0;
  bool quit = false;
  std::vector<std::uint32_t> messagesAt;
  std::vector<std::uint32_t> dispatchedAt;
};

TEST(TickDeadline, RemainingAcrossTheWrap) {
  const TickDeadline d(0xFFFFFFFFu - 1999u, 5000);  // 2 s before the wrap
  EXPECT_EQ(d.Remaining(0xFFFFFFFFu - 1999u), 5000u);
  EXPECT_EQ(d.Remaining(0xFFFFFFFFu), 3001u);
  EXPECT_EQ(d.Remaining(0u), 3000u);
  EXPECT_EQ(d.Remaining(2999u), 1u);
  EXPECT_TRUE(d.Expired(3000u));
  EXPECT_TRUE(d.Expired(3001u));
}

TEST(TickDeadline, NonPositiveLengthHasExpired) {
  EXPECT_TRUE(TickDeadline(123, 0).Expired(123));
  EXPECT_TRUE(TickDeadline(123, -5).Expired(123));
}

TEST(RunWait, StartedTwoSecondsBeforeTheWrapWaitsFiveSeconds) {
  FakeWaitPlatform p(0xFFFFFFFFu - 1999u);
  RunWait(p, 5000, true);
  EXPECT_EQ(p.slept, 5000u);
  EXPECT_EQ(p.now, 3000u);
  EXPECT_EQ(p.plainSleeps, 0);
}

TEST(RunWait, PumpingDispatchesMessagesAsTheyArriveAndKeepsWaiting) {
  FakeWaitPlatform p(1000);
  p.messagesAt = {1100, 1300, 1499};
  RunWait(p, 500, true);
  EXPECT_EQ(p.dispatchedAt, (std::vector<std::uint32_t>{1100, 1300, 1499}));
  EXPECT_EQ(p.now, 1500u);
  EXPECT_EQ(p.slept, 500u);
}

TEST(RunWait, WithoutPumpOnlySleeps) {
  FakeWaitPlatform p(0xFFFFFF00u);
  p.messagesAt = {0xFFFFFF10u};
  RunWait(p, 700, false);
  EXPECT_EQ(p.pumps, 0);
  EXPECT_TRUE(p.dispatchedAt.empty());
  EXPECT_EQ(p.slept, 700u);
}

TEST(RunWait, QuitRequestEndsThePumpingWait) {
  FakeWaitPlatform p(0);
  p.quit = true;
  RunWait(p, 5000, true);
  EXPECT_EQ(p.pumps, 1);
  EXPECT_EQ(p.slept, 0u);
}

TEST(RunWait, NothingToWaitFor) {
  for (int ms : {0, -1}) {
    FakeWaitPlatform p(42);
    RunWait(p, ms, false);
    EXPECT_EQ(p.sleeps, 0);
  }
}

}  // namespace
}  // namespace hushkey
