// The model of a mashing child against the simulated one (bench/toddler_mash.h), which feeds
// its key events through the real filter step: the model's figure must lie within the bounds
// of what the simulation counts, and the options dialog's rule (no unlock sequence weaker than
// Alt+Home) must hold for what it counts too.
#include "hushkey/engine/unlock_odds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "bench/toddler_mash.h"

namespace hushkey {
namespace {

constexpr int kFullSize = 0, kNumLockOff = 1, kLaptop = 2;
constexpr KeySequence kAltX{kModAlt, 'X'}, kCtrlAltU{kModCtrl | kModAlt, 'U'};

struct MashRun {
  int layout;
  KeySequence sequence;
  std::uint32_t holdMs;
  double hours;
};

// The simulated unlocks of a run, counted once per test program.
const mash::Count& Simulated(const MashRun& r) {
  static std::map<std::tuple<int, int, std::uint32_t, std::uint32_t>, mash::Count> counts;
  const auto key = std::make_tuple(r.layout, r.sequence.modifiers, r.sequence.vk, r.holdMs);
  auto it = counts.find(key);
  if (it == counts.end())
    it = counts
             .emplace(key, mash::CountSequenceUnlocks(MashLayouts()[r.layout], r.sequence, r.holdMs,
                                                      ModeLocked, r.hours, 19))
             .first;
  return it->second;
}

// 99 % bounds (widened for the bunching of unlocks): one seed decides, so a tighter level
// would make the check a matter of luck.
mash::Bounds BoundsOf(const mash::Count& c) {
  return mash::DispersedBounds(c.unlocks, c.Dispersion(), 0.99);
}

const MashRun kRuns[] = {
    {kFullSize, kDefaultUnlockSequence, 0, 6},
    {kNumLockOff, kDefaultUnlockSequence, 0, 5},  // two Home keys
    {kLaptop, kDefaultUnlockSequence, 0, 15},     // Home is Fn with Left
    {kFullSize, {kModCtrl | kModAlt | kModShift, 19}, 0, 20},
    {kLaptop, kAltX, 0, 3},
    {kLaptop, kCtrlAltU, 0, 6},
    {kLaptop, {kModShift, 'Z'}, 450, 25},  // acts at the first autorepeat
};

TEST(UnlockOdds, TheModelLiesWithinTheBoundsOfTheSimulatedMash) {
  for (const MashRun& r : kRuns) {
    const mash::Count& c = Simulated(r);
    const mash::Bounds b = BoundsOf(c);
    const double model = AccidentalUnlocksPerHour(r.sequence, r.holdMs, MashLayouts()[r.layout]);
    EXPECT_GE(model * r.hours, b.low) << KeySequenceText(r.sequence) << " hold " << r.holdMs
                                      << " on " << MashLayouts()[r.layout].name;
    EXPECT_LE(model * r.hours, b.high) << KeySequenceText(r.sequence) << " hold " << r.holdMs
                                       << " on " << MashLayouts()[r.layout].name;
  }
}

// Each on the layout where the model rates it weakest: Alt+X is refused and measured weaker
// than Alt+Home, Ctrl+Alt+U is accepted and measured stronger.
TEST(UnlockOdds, WhatTheDialogRefusesIsMeasuredWeakerThanAltHome) {
  const auto perHour = [](const MashRun& r, bool upper) {
    const mash::Bounds b = BoundsOf(Simulated(r));
    return (upper ? b.high : b.low) / r.hours;
  };
  EXPECT_TRUE(WeakerThanDefaultUnlock(kAltX));
  EXPECT_GT(perHour(kRuns[4], false), perHour(kRuns[1], true));
  EXPECT_FALSE(WeakerThanDefaultUnlock(kCtrlAltU));
  EXPECT_LT(perHour(kRuns[5], true), perHour(kRuns[1], false));
}

TEST(UnlockOdds, TheFigureAsTheDialogShowsIt) {
  const struct {
    double perHour;
    const char* text;
  } cases[] = {
      {0, "a mashing child: never in our model"},
      {1e-7, "a mashing child: less than once in a million hours"},
      {1 / 1234.5, "a mashing child: about once in 1200 hours"},
      {1 / 40.2, "a mashing child: about once in 40 hours"},
      {1 / 2.46, "a mashing child: about once in 2.5 hours"},
      {1 / 0.999, "a mashing child: about once in 1 hour"},
      {12, "a mashing child: about once in 5 minutes"},
      {200, "a mashing child: about once in 18 seconds"},
  };
  for (const auto& c : cases) EXPECT_EQ(MashingChildText(c.perHour), c.text) << c.perHour;
  // No keyboard of the model has F13; no strike holds a key for a second.
  EXPECT_EQ(AccidentalUnlocksPerHour({kModCtrl | kModAlt, 124}, 0), 0);
  EXPECT_EQ(AccidentalUnlocksPerHour(kDefaultUnlockSequence, 1000, MashLayouts()[kLaptop]), 0);
  EXPECT_TRUE(std::isinf(HoursPerAccidentalUnlock({kModCtrl | kModAlt, 124}, 0)));
}

TEST(UnlockOdds, WordsOfLettersAndDigitsInEitherCase) {
  EXPECT_EQ(AccidentalWordUnlocksPerHour("tulips"), AccidentalWordUnlocksPerHour("TULIPS"));
  EXPECT_GT(AccidentalWordUnlocksPerHour("tulip7"), 0);
  EXPECT_EQ(AccidentalWordUnlocksPerHour("tulip!"), 0);
  EXPECT_EQ(AccidentalWordUnlocksPerHour(""), 0);
  // A held key types a run: a word of one letter is far weaker, and none of its length is
  // rated weaker than the bound for that length.
  EXPECT_GT(AccidentalWordUnlocksPerHour("LLLLLL"), 1e6 * AccidentalWordUnlocksPerHour("TULIPS"));
  for (const char* w : {"LLLLLL", "MMMMMM", "TULIPS", "123456"})
    EXPECT_LE(AccidentalWordUnlocksPerHour(w), AccidentalWordUnlocksPerHour(std::size_t{6})) << w;
}

}  // namespace
}  // namespace hushkey
