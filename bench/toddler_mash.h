// A toddler mashing the keyboard, simulated: a seeded stream of key events drawn from the
// model of hushkey/engine/unlock_odds.h (the same layouts, palms, holds, both hands, strike
// rate and autorepeat, event by event), and runs of it through the real keyboard filter step
// in a locked mode, counting the accidental unlocks. bench/unlock_odds_bench.cpp reports
// the figures; tests/engine/unlock_odds_test.cpp checks the model against them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "hushkey/engine/key_sequence.h"
#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/unlock_odds.h"

namespace hushkey::mash {

// xoshiro256**, seeded by splitmix64: the same numbers on every platform and library.
class Random {
 public:
  explicit Random(std::uint64_t seed);
  std::uint64_t Next();
  double Uniform();                      // [0, 1)
  std::uint32_t Below(std::uint32_t n);  // [0, n)
  double Exponential(double mean);

 private:
  std::uint64_t s_[4];
};

struct KeyEvent {
  std::uint64_t time;  // milliseconds since the mash began
  std::uint32_t vk;
  bool down;
  bool extended;  // an extended key's event (the editing block's Home, not the keypad's 7)
};

// The key events of the mash, in time order, for ever. Strikes start at exponential
// intervals (StrikesPerSecond); a strike is one palm, or two with kBothHandsShare, each on a
// palm point drawn by its weight pressing its 1..kPalmKeysMax nearest keys (count drawn
// evenly); the strike's keys go down kPressSpacingMs apart in random order and come up
// together (in random order) a hold after the last, drawn evenly from kHoldShortestMs to
// kHoldLongestMs. A key already down stays down (no new key-down) until the last strike
// holding it lifts. Fn sends nothing, but the keys pressed while it is down send their Fn
// code. The key pressed last repeats its key-down after kRepeatDelayMs, every
// kRepeatPeriodMs, while it is held and no other key goes down.
class ToddlerStream {
 public:
  ToddlerStream(const KeyboardLayout& layout, std::uint64_t seed);
  KeyEvent Next();

 private:
  struct Pending {
    double time;
    std::uint64_t order;  // ties keep the order they were planned in
    std::int16_t key;     // a key going down, or -1: the strike that lifts
    std::uint8_t count;   // the lifting strike's keys
    std::uint8_t keys[2 * kPalmKeysMax];
  };
  void StartStrike();
  void Plan(const Pending& p);
  bool Step();  // one planned thing; true when it made an event

  const KeyboardLayout& layout_;
  Random random_;
  std::vector<double> cumulative_;  // palm points' weights, added up
  std::vector<Pending> heap_;
  std::uint64_t planned_ = 0;
  double nextStrike_ = 0;
  std::vector<std::uint8_t> holders_;  // per key: strikes holding it down
  std::vector<std::uint32_t> sent_;    // per key: the code its key-down sent
  int fnHeld_ = 0;
  int repeating_ = -1;  // the key pressed last while it is held, or -1
  double nextRepeat_ = 0;
  std::vector<KeyEvent> ready_;
  std::size_t readyAt_ = 0;
};

struct Count {
  std::uint64_t unlocks = 0;
  std::uint64_t events = 0;  // key events fed
  double hours = 0;          // of mashing simulated
  double seconds = 0;        // of processor time it took
  // The unlocks of each twentieth of the run: how much more they vary than a Poisson count
  // would (they come in bunches: one long-held modifier serves several presses).
  std::vector<std::uint64_t> batches;
  double Dispersion() const;  // variance / mean of the batches; 1 with too few to tell
};

// Feeds `hours` of the mash through FilterKeyEvent in `mode` (2, 20 or 4) with `unlock` as
// the unlock sequence (Alt+End locks, or Ctrl+Alt+L when the unlock sequence is Alt+End),
// the stored defaults of every other setting, and fakes for the desktop, the timer and the
// mode commands. Each accidental unlock is counted and the mode put back.
Count CountSequenceUnlocks(const KeyboardLayout& layout, const KeySequence& unlock,
                           std::uint32_t holdMs, LockMode mode, double hours, std::uint64_t seed);

// The word check over the mash's key-downs (autorepeats too): letters and digits (the
// keypad's as well) typed since the last Enter, Backspace taking back one, compared at Enter.
Count CountWordUnlocks(const KeyboardLayout& layout, std::string_view word, double hours,
                       std::uint64_t seed);

// Bounds on the mean count behind `n` events: the exact two-sided Poisson interval at
// `confidence`; for no event at all, the rule of three (0 to 3, one-sided 95 %).
struct Bounds {
  double low, high;
  bool ruleOfThree;
};
Bounds PoissonBounds(std::uint64_t n, double confidence = 0.95);

// The same for a count whose variance is `dispersion` times its mean (quasi-Poisson: the
// interval of n / dispersion events, scaled back); as PoissonBounds for dispersion <= 1.
Bounds DispersedBounds(std::uint64_t n, double dispersion, double confidence = 0.95);

}  // namespace hushkey::mash
