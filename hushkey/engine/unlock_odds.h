// How often a child mashing the keyboard would unlock it by accident: an analytic model of
// the mash, on two real keyboard layouts, for an unlock key sequence (with or without a hold)
// and for an unlock word. The options dialog shows its figure beside the choice and refuses
// an unlock sequence it rates weaker than Alt+Home; docs/accidental-unlock.md describes it
// and what the simulation in bench/ measured against it.
//
// The mash: palm strikes. A strike is one palm, or (kBothHandsShare of them) two palms at
// once, each landing on a point chosen evenly over the keys' area and pressing the 1 to
// kPalmKeysMax keys nearest to it (each count equally likely). All keys of a strike go down
// kPressSpacingMs apart in random order and come up together, a hold after the last one went
// down (evenly kHoldShortestMs..kHoldLongestMs). Strikes start at random (a Poisson process)
// at the rate that makes kMashPressesPerSecond key presses a second. The keyboard repeats
// only the key pressed last, while it is held: after kRepeatDelayMs, every kRepeatPeriodMs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hushkey/engine/key_sequence.h"

namespace hushkey {

inline constexpr double kMashPressesPerSecond = 20;  // the mash of the soak test
inline constexpr int kPalmKeysMax = 6;
inline constexpr double kBothHandsShare = 0.2;
inline constexpr std::uint32_t kPressSpacingMs = 5;
inline constexpr std::uint32_t kHoldShortestMs = 50;
inline constexpr std::uint32_t kHoldLongestMs = 800;
inline constexpr std::uint32_t kRepeatDelayMs = 500;
inline constexpr std::uint32_t kRepeatPeriodMs = 33;

// Palm strikes a second: a palm presses (1 + kPalmKeysMax) / 2 keys on average.
constexpr double StrikesPerSecond() {
  return kMashPressesPerSecond / ((1 + kPalmKeysMax) / 2.0 * (1 + kBothHandsShare));
}

// One key of a layout, in key widths from the top left corner of the keyboard.
struct LayoutKey {
  std::uint32_t vk = 0;    // what it sends; 0 for Fn, which the keyboard keeps to itself
  std::uint32_t fnVk = 0;  // what it sends while Fn is held; 0 when Fn changes nothing
  float x = 0, y = 0, w = 1, h = 1;
  bool extended = false;  // the system marks its events as an extended key's

  bool IsFn() const { return vk == 0; }
};

// A point a palm may land on: its share of the keys' area and the kPalmKeysMax keys nearest
// to it, nearest first (indices into the layout's keys).
struct PalmPoint {
  double weight = 0;
  std::array<std::uint8_t, kPalmKeysMax> nearest{};
};

struct KeyboardLayout {
  std::string_view name;
  std::vector<LayoutKey> keys;
  std::vector<PalmPoint> points;  // weights add up to 1
};

// The layouts the model rates on: a full-size US keyboard with NumLock on, the same with
// NumLock off (the keypad then sends Home, End, the arrows, ...), and a laptop keyboard.
std::span<const KeyboardLayout> MashLayouts();

// Accidental unlocks per hour of mashing, in a locked mode, on one layout or on the layout
// where they are most frequent. holdMs is how long the sequence must be held (0: at once).
double AccidentalUnlocksPerHour(const KeySequence& sequence, std::uint32_t holdMs,
                                const KeyboardLayout& layout);
double AccidentalUnlocksPerHour(const KeySequence& sequence, std::uint32_t holdMs);

// Hours of mashing per accidental unlock; infinite when the model sees no way at all.
double HoursPerAccidentalUnlock(const KeySequence& sequence, std::uint32_t holdMs);

// Whether the model rates an unlock sequence (pressed at once) weaker than Alt+Home: more
// accidental unlocks per hour. Remembered per sequence: the settings load asks each time.
bool WeakerThanDefaultUnlock(const KeySequence& sequence);

// An unlock word: the letters and digits (the digit row and the keypad's, letters in either
// case) typed since the last Enter, Backspace taking back one, compared at Enter. For a given
// word, and for the word of `length` characters the model finds easiest to type by accident
// (an upper bound for every word of that length). Anything but letters and digits: 0.
double AccidentalWordUnlocksPerHour(std::string_view word, const KeyboardLayout& layout);
double AccidentalWordUnlocksPerHour(std::string_view word);
double AccidentalWordUnlocksPerHour(std::size_t length);

// The figure as the options dialog shows it: "a mashing child: about once in 40 hours" (two
// significant digits; minutes or seconds below an hour), "... less than once in a million
// hours", or "... never in our model" when the model sees no way at all.
std::string MashingChildText(double unlocksPerHour);

}  // namespace hushkey
