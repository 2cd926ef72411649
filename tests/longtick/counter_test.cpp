#include "longtick/control/counter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "longtick/control/property_store.h"

namespace longtick {
namespace {

// Records what the counter asks of its host, in order.
struct RecordingHost : CounterEvents {
  std::vector<std::string> log;
  std::vector<TimeLeft> countdowns;
  int timers = 0;
  bool running = false;
  std::function<void()> on_countdown;

  bool SetTimerRunning(bool r) override {
    running = r;
    log.push_back(r ? "start" : "stop");
    return true;
  }
  void PropertyChanged(int32_t dispid) override {
    log.push_back("changed " + std::to_string(dispid));
  }
  void CountDown(const TimeLeft& left) override {
    countdowns.push_back(left);
    log.push_back("countdown");
    if (on_countdown) on_countdown();
  }
  void Timer() override {
    ++timers;
    log.push_back("timer");
  }
};

TimeLeft Left(int32_t d, int32_t h, int32_t m, int32_t s) { return TimeLeft{0, 0, 0, d, h, m, s}; }

TEST(TargetSeconds, AddsUpEveryUnit) {
  EXPECT_EQ(ComputeTargetSeconds(0, 0, 0, 0), 0);
  EXPECT_EQ(ComputeTargetSeconds(1, 2, 3, 4), 86400 + 7200 + 180 + 4);
  EXPECT_EQ(ComputeTargetSeconds(0, 0, 1, -70), -10);
  EXPECT_EQ(ComputeTargetSeconds(24855, 0, 0, 0), 24855 * 86400);
}

TEST(TargetSeconds, DetectsOverflowInEveryProductAndSum) {
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(ComputeTargetSeconds(24856, 0, 0, 0), std::nullopt);  // product
  EXPECT_EQ(ComputeTargetSeconds(0, 596524, 0, 0), std::nullopt);
  EXPECT_EQ(ComputeTargetSeconds(0, 0, 35791395, 0), std::nullopt);
  EXPECT_EQ(ComputeTargetSeconds(24855, 0, 0, kMax), std::nullopt);    // final sum
  EXPECT_EQ(ComputeTargetSeconds(24855, 596523, 0, 0), std::nullopt);  // first sum
  EXPECT_EQ(ComputeTargetSeconds(-24856, 0, 0, 0), std::nullopt);      // negative product
  EXPECT_EQ(ComputeTargetSeconds(0, 0, 0, kMax), kMax);
}

TEST(BreakDown, TruncatesAndKeepsTheDividendsSign) {
  struct Case {
    int32_t target, elapsed;
    TimeLeft want;
  };
  const Case cases[] = {
      {86400, 1, Left(0, 23, 59, 59)}, {90061, 0, Left(1, 1, 1, 1)},
      {60, 60, Left(0, 0, 0, 0)},      {-90061, 0, Left(-1, -1, -1, -1)},
      {-5, 3, Left(0, 0, 0, -8)},      {0, 3661, Left(0, -1, -1, -1)},
  };
  for (const auto& c : cases) EXPECT_EQ(BreakDown(c.target, c.elapsed), c.want) << c.target;
  EXPECT_EQ(BreakDown(std::numeric_limits<int32_t>::min(), 1), std::nullopt);
}

class CounterTest : public ::testing::Test {
 protected:
  RecordingHost host;
  Counter counter{host};
  void Ticks(int n) {
    for (int i = 0; i < n; ++i) ASSERT_EQ(counter.Tick(), Result::Ok);
  }
};

TEST_F(CounterTest, NewCounterIsDisabledWithZeroIntervals) {
  EXPECT_FALSE(counter.enabled());
  for (auto i : {Interval::Seconds, Interval::Minutes, Interval::Hours, Interval::Days})
    EXPECT_EQ(counter.interval(i), 0);
  EXPECT_EQ(counter.target_seconds(), 0);
}

TEST_F(CounterTest, OneMinuteSequence) {
  counter.PutInterval(Interval::Minutes, 1);
  counter.PutEnabled(true);
  host.log.clear();
  Ticks(59);
  ASSERT_EQ(host.countdowns.size(), 59u);
  EXPECT_EQ(host.countdowns.front(), Left(0, 0, 0, 59));
  EXPECT_EQ(host.countdowns.back(), Left(0, 0, 0, 1));
  EXPECT_EQ(host.timers, 0);
  host.log.clear();
  Ticks(1);  // 60 s: zeros, then Timer at once
  EXPECT_EQ(host.countdowns.back(), Left(0, 0, 0, 0));
  EXPECT_THAT(host.log, ::testing::ElementsAre("countdown", "timer"));
  EXPECT_EQ(counter.elapsed_seconds(), 0);
  Ticks(1);  // 61 s
  EXPECT_EQ(host.countdowns.back(), Left(0, 0, 0, 59));
  Ticks(59);
  EXPECT_EQ(host.timers, 2);  // every full interval
}

TEST_F(CounterTest, OneDayStartsAt23h59m59s) {
  counter.PutInterval(Interval::Days, 1);
  Ticks(1);
  EXPECT_EQ(host.countdowns.back(), Left(0, 23, 59, 59));
}

TEST_F(CounterTest, NinetySecondsFiresEveryNinetyTicks) {
  counter.PutInterval(Interval::Seconds, 90);
  std::vector<int> fired_at;
  for (int t = 1; t <= 270; ++t) {
    int before = host.timers;
    Ticks(1);
    if (host.timers != before) fired_at.push_back(t);
  }
  EXPECT_THAT(fired_at, ::testing::ElementsAre(90, 180, 270));
}

TEST_F(CounterTest, ZeroTargetNeverCounts) {
  counter.PutEnabled(true);
  Ticks(5);
  EXPECT_TRUE(host.countdowns.empty());
  EXPECT_EQ(counter.elapsed_seconds(), 0);
}

TEST_F(CounterTest, NegativeTotalCountsDownWithNegativePartsAndNeverFires) {
  counter.PutInterval(Interval::Minutes, -1);
  Ticks(120);
  EXPECT_EQ(host.countdowns.front(), Left(0, 0, -1, -1));
  EXPECT_EQ(host.countdowns.back(), Left(0, 0, -3, 0));
  EXPECT_EQ(host.timers, 0);
}

TEST_F(CounterTest, IntervalPutResetsStoresNotifiesThenComputes) {
  counter.PutInterval(Interval::Seconds, 10);
  Ticks(4);
  host.log.clear();
  EXPECT_EQ(counter.PutInterval(Interval::Seconds, 10), Result::Ok);  // same value restarts
  EXPECT_EQ(counter.elapsed_seconds(), 0);
  EXPECT_THAT(host.log,
              ::testing::ElementsAre("changed " + std::to_string(kDispidIntervalSeconds)));
  Ticks(9);
  EXPECT_EQ(host.timers, 0);
  Ticks(1);
  EXPECT_EQ(host.timers, 1);
  // While enabled, a restart also starts the platform timer's second anew, so a tick
  // already due does not shorten the new interval.
  counter.PutEnabled(true);
  host.log.clear();
  counter.PutInterval(Interval::Seconds, 10);
  EXPECT_THAT(host.log,
              ::testing::ElementsAre("start", "changed " + std::to_string(kDispidIntervalSeconds)));
}

TEST_F(CounterTest, EachIntervalReportsItsOwnDispid) {
  const std::pair<Interval, int32_t> cases[] = {{Interval::Seconds, kDispidIntervalSeconds},
                                                {Interval::Minutes, kDispidIntervalMinutes},
                                                {Interval::Hours, kDispidIntervalHours},
                                                {Interval::Days, kDispidIntervalDays}};
  for (auto [which, dispid] : cases) {
    host.log.clear();
    counter.PutInterval(which, 2);
    EXPECT_EQ(counter.interval(which), 2);
    EXPECT_THAT(host.log, ::testing::ElementsAre("changed " + std::to_string(dispid)));
  }
  EXPECT_EQ(counter.target_seconds(), 2 * 86400 + 2 * 3600 + 2 * 60 + 2);
}

TEST_F(CounterTest, OverflowingPutKeepsValueAndOldTarget) {
  counter.PutInterval(Interval::Hours, 1);
  Ticks(5);
  EXPECT_EQ(counter.PutInterval(Interval::Days, 24856), Result::Overflow);
  EXPECT_EQ(counter.interval(Interval::Days), 24856);
  EXPECT_EQ(counter.target_seconds(), 3600);
  EXPECT_EQ(counter.elapsed_seconds(), 0);  // the reset came first
  EXPECT_EQ(counter.PutInterval(Interval::Days, 1), Result::Ok);
  EXPECT_EQ(counter.target_seconds(), 86400 + 3600);
}

TEST_F(CounterTest, DisablingPausesAndEnablingResumes) {
  counter.PutInterval(Interval::Seconds, 60);
  host.log.clear();
  counter.PutEnabled(true);
  EXPECT_THAT(host.log,
              ::testing::ElementsAre("start", "changed " + std::to_string(kDispidEnabled)));
  Ticks(30);
  counter.PutEnabled(false);
  EXPECT_FALSE(host.running);
  EXPECT_EQ(counter.elapsed_seconds(), 30);
  counter.PutEnabled(true);
  Ticks(29);
  EXPECT_EQ(host.timers, 0);
  Ticks(1);
  EXPECT_EQ(host.timers, 1);
}

TEST_F(CounterTest, HandlerChangesTakeEffectBeforeTheTickGoesOn) {
  counter.PutInterval(Interval::Seconds, 3);
  Ticks(2);
  // At the third tick the CountDown handler restarts the interval: no Timer this time.
  host.on_countdown = [&] { counter.PutInterval(Interval::Seconds, 3); };
  Ticks(1);
  EXPECT_EQ(host.timers, 0);
  host.on_countdown = nullptr;
  Ticks(3);
  EXPECT_EQ(host.timers, 1);
  // A handler that sets every interval to 0 turns the timer off: no Timer, now or later.
  host.on_countdown = [&] {
    for (Interval which : {Interval::Seconds, Interval::Minutes, Interval::Hours, Interval::Days})
      counter.PutInterval(which, 0);
  };
  Ticks(1);
  host.on_countdown = nullptr;
  Ticks(5);
  EXPECT_EQ(host.timers, 1);
}

TEST_F(CounterTest, TimeLeftOverflowIsAnErrorNotAWrap) {
  counter.PutInterval(Interval::Seconds, std::numeric_limits<int32_t>::min());
  // target - elapsed leaves 32 bits at once: CountDown cannot be computed.
  EXPECT_EQ(counter.Tick(), Result::Overflow);
  EXPECT_TRUE(host.countdowns.empty());
}

TEST_F(CounterTest, DesignTimeResizeStopsTheTimer) {
  counter.PutEnabled(true);
  counter.Resize(true);
  EXPECT_TRUE(counter.enabled());
  host.log.clear();
  counter.Resize(false);
  EXPECT_FALSE(counter.enabled());
  EXPECT_THAT(host.log, ::testing::ElementsAre("stop"));  // no change notice
  PropertyStore saved;
  counter.Save(saved);
  EXPECT_EQ(saved.ReadBool("Enabled"), false);
}

// ---- stored properties ----

struct OrderedReader : PropertyReader {
  PropertyStore store;
  std::vector<std::string> asked;
  std::optional<int32_t> ReadLong(std::string_view n) override {
    asked.emplace_back(n);
    return store.ReadLong(n);
  }
  std::optional<bool> ReadBool(std::string_view n) override {
    asked.emplace_back(n);
    return store.ReadBool(n);
  }
};

TEST_F(CounterTest, LoadReadsInOrderWithDefaults) {
  OrderedReader reader;
  counter.PutInterval(Interval::Seconds, 9);
  host.log.clear();
  EXPECT_EQ(counter.Load(ReadStoredProperties(reader)), Result::Ok);
  EXPECT_THAT(reader.asked, ::testing::ElementsAre("IntervalSeconds", "IntervalHours", "Enabled",
                                                   "IntervalMinutes", "IntervalDays"));
  EXPECT_EQ(counter.interval(Interval::Seconds), 0);
  EXPECT_TRUE(counter.enabled());  // no "Enabled" entry starts the timer
  // Only the Enabled put notifies; intervals are stored directly.
  EXPECT_THAT(host.log,
              ::testing::ElementsAre("start", "changed " + std::to_string(kDispidEnabled)));
}

TEST_F(CounterTest, LoadMatchesNamesWithoutCase) {
  PropertyStore store;
  store.WriteLong("intervalseconds", 5);
  store.WriteLong("INTERVALMINUTES", 2);
  store.WriteLong("IntervalHOURS", 1);
  store.WriteLong("intervalDays", 1);
  store.WriteBool("ENABLED", false);
  EXPECT_EQ(counter.Load(ReadStoredProperties(store)), Result::Ok);
  EXPECT_FALSE(counter.enabled());
  EXPECT_EQ(counter.target_seconds(), 86400 + 3600 + 120 + 5);
}

// What a put accepted despite its overflow loads again; the target stays, as after the put.
TEST_F(CounterTest, LoadDoesNotResetTheCountAndTakesAnOverflowingTotal) {
  counter.PutInterval(Interval::Seconds, 100);
  Ticks(7);
  PropertyStore store;
  store.WriteLong("IntervalDays", 30000);
  EXPECT_EQ(counter.Load(ReadStoredProperties(store)), Result::Ok);
  EXPECT_EQ(counter.interval(Interval::Days), 30000);
  EXPECT_EQ(counter.target_seconds(), 100);
  EXPECT_EQ(counter.elapsed_seconds(), 7);
}

// Stored properties with a smaller interval loaded while the count is already past it: Timer
// fires at the next tick instead of never.
TEST_F(CounterTest, LoadBelowTheCountFiresAtTheNextTick) {
  counter.PutInterval(Interval::Seconds, 100);
  Ticks(50);
  PropertyStore store;
  store.WriteLong("IntervalSeconds", 20);
  ASSERT_EQ(counter.Load(ReadStoredProperties(store)), Result::Ok);
  Ticks(1);
  EXPECT_EQ(host.timers, 1);
  EXPECT_EQ(host.countdowns.back(), Left(0, 0, 0, 0));  // nothing left, not less
  Ticks(19);
  EXPECT_EQ(host.timers, 1);
  Ticks(1);
  EXPECT_EQ(host.timers, 2);
}

TEST_F(CounterTest, SaveWritesOnlyNonDefaultsInOrder) {
  PropertyStore empty;
  counter.PutEnabled(true);
  counter.Save(empty);
  EXPECT_TRUE(empty.entries().empty());

  counter.PutInterval(Interval::Days, 3);
  counter.PutInterval(Interval::Seconds, -4);
  counter.PutInterval(Interval::Minutes, 5);
  counter.PutEnabled(false);
  PropertyStore saved;
  counter.Save(saved);
  using E = PropertyStore::Entry;
  EXPECT_THAT(saved.entries(),
              ::testing::ElementsAre(E{"IntervalSeconds", -4}, E{"Enabled", false},
                                     E{"IntervalMinutes", 5}, E{"IntervalDays", 3}));
}

TEST(PropertyStore, StreamFormRoundTripsAndRejectsDamage) {
  PropertyStore store;
  store.WriteLong("IntervalSeconds", -7);
  store.WriteBool("Enabled", false);
  store.WriteLong("IntervalDays", 2);
  std::vector<uint8_t> bytes = store.Serialize();
  auto back = PropertyStore::Parse(bytes);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->entries(), store.entries());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<uint8_t> shorter(bytes.begin(), bytes.begin() + cut);
    EXPECT_FALSE(PropertyStore::Parse(shorter)) << cut;
  }
  bytes.push_back(0);
  EXPECT_FALSE(PropertyStore::Parse(bytes));
}

TEST(PropertyStore, WritingAnExistingNameReplacesIt) {
  PropertyStore store;
  store.WriteLong("IntervalSeconds", 1);
  store.WriteLong("intervalseconds", 2);
  ASSERT_EQ(store.entries().size(), 1u);
  EXPECT_EQ(store.ReadLong("INTERVALSECONDS"), 2);
  EXPECT_EQ(store.ReadLong("IntervalMinutes"), std::nullopt);
}

}  // namespace
}  // namespace longtick
