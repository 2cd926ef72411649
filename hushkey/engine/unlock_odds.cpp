#include "hushkey/engine/unlock_odds.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>
#include <numeric>

namespace hushkey {

namespace {

// ---- The layouts -------------------------------------------------------------------------

// A layout is written row by row, left to right: keys (virtual-key code, width, height, how far
// below the row's top), and markers that start a row or leave a gap.
struct Cap {
  std::uint32_t vk;
  float w = 1, h = 1, dy = 0;
  bool extended = false;  // besides the keys IsExtended names: the keypad's Enter
};
constexpr std::uint32_t kRow = 0x1000;   // the next keys start a row at y = w
constexpr std::uint32_t kGap = 0x1001;   // nothing for w key widths
constexpr std::uint32_t kBack = 0x1002;  // the next key goes w key widths further left
constexpr std::uint32_t kFnKey = 0;
constexpr Cap Row(float y) { return {kRow, y}; }
constexpr Cap Gap(float w) { return {kGap, w}; }

constexpr std::uint32_t kEsc = 27, kBackspace = 8, kTab = 9, kReturn = 13, kCaps = 20;
constexpr std::uint32_t kSpace = 32, kPrintScreen = 44, kInsert = 45, kDelete = 46;
constexpr std::uint32_t kPageUp = 33, kPageDown = 34, kEnd = 35, kHome = 36;
constexpr std::uint32_t kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kClear = 12;
constexpr std::uint32_t kLWin = 91, kRWin = 92, kApps = 93, kNumLock = 144, kScroll = 145;
constexpr std::uint32_t kPause = 19, kNumPad0 = 96, kNumDecimal = 110;
constexpr std::uint32_t kLShift = 160, kRShift = 161, kLCtrl = 162, kRCtrl = 163;
constexpr std::uint32_t kLAlt = 164, kRAlt = 165;
constexpr std::uint32_t kBackquote = 192, kMinus = 189, kEquals = 187, kLBracket = 219;
constexpr std::uint32_t kRBracket = 221, kBackslash = 220, kSemicolon = 186, kQuote = 222;
constexpr std::uint32_t kComma = 188, kPeriod = 190, kSlash = 191;
constexpr std::uint32_t F(int n) { return 111 + static_cast<std::uint32_t>(n); }
constexpr std::uint32_t Pad(int n) { return kNumPad0 + static_cast<std::uint32_t>(n); }

// A full-size US keyboard: function row, main block, the six-key Insert/Home/PageUp block
// above the arrows, the numeric keypad.
// clang-format off
constexpr Cap kFullSize[] = {
    Row(0), {kEsc}, Gap(1), {F(1)}, {F(2)}, {F(3)}, {F(4)}, Gap(0.5), {F(5)}, {F(6)}, {F(7)},
    {F(8)}, Gap(0.5), {F(9)}, {F(10)}, {F(11)}, {F(12)}, Gap(0.25), {kPrintScreen}, {kScroll},
    {kPause},
    Row(1.5), {kBackquote}, {'1'}, {'2'}, {'3'}, {'4'}, {'5'}, {'6'}, {'7'}, {'8'}, {'9'}, {'0'},
    {kMinus}, {kEquals}, {kBackspace, 2}, Gap(0.25), {kInsert}, {kHome}, {kPageUp}, Gap(0.25),
    {kNumLock}, {111}, {106}, {109},
    Row(2.5), {kTab, 1.5}, {'Q'}, {'W'}, {'E'}, {'R'}, {'T'}, {'Y'}, {'U'}, {'I'}, {'O'}, {'P'},
    {kLBracket}, {kRBracket}, {kBackslash, 1.5}, Gap(0.25), {kDelete}, {kEnd}, {kPageDown},
    Gap(0.25), {Pad(7)}, {Pad(8)}, {Pad(9)}, {107, 1, 2},
    Row(3.5), {kCaps, 1.75}, {'A'}, {'S'}, {'D'}, {'F'}, {'G'}, {'H'}, {'J'}, {'K'}, {'L'},
    {kSemicolon}, {kQuote}, {kReturn, 2.25}, Gap(3.5), {Pad(4)}, {Pad(5)}, {Pad(6)},
    Row(4.5), {kLShift, 2.25}, {'Z'}, {'X'}, {'C'}, {'V'}, {'B'}, {'N'}, {'M'}, {kComma},
    {kPeriod}, {kSlash}, {kRShift, 2.75}, Gap(1.25), {kUp}, Gap(1.25), {Pad(1)}, {Pad(2)},
    {Pad(3)}, {kReturn, 1, 2, 0, true},
    Row(5.5), {kLCtrl, 1.25}, {kLWin, 1.25}, {kLAlt, 1.25}, {kSpace, 6.25}, {kRAlt, 1.25},
    {kRWin, 1.25}, {kApps, 1.25}, {kRCtrl, 1.25}, Gap(0.25), {kLeft}, {kDown}, {kRight},
    Gap(0.25), {Pad(0), 2}, {kNumDecimal},
};

// A laptop keyboard of a common 13- to 14-inch kind: no keypad; Print Screen, Insert and
// Delete end the function row; Home, End, PageUp and PageDown are Fn with Left, Right, Up and
// Down; Fn sits between the left Ctrl and Windows keys; half-height Up and Down keys.
constexpr float kTop = 15.0f / 16;  // sixteen keys across the function row
constexpr Cap kLaptop[] = {
    Row(0), {kEsc, kTop}, {F(1), kTop}, {F(2), kTop}, {F(3), kTop}, {F(4), kTop}, {F(5), kTop},
    {F(6), kTop}, {F(7), kTop}, {F(8), kTop}, {F(9), kTop}, {F(10), kTop}, {F(11), kTop},
    {F(12), kTop}, {kPrintScreen, kTop}, {kInsert, kTop}, {kDelete, kTop},
    Row(1), {kBackquote}, {'1'}, {'2'}, {'3'}, {'4'}, {'5'}, {'6'}, {'7'}, {'8'}, {'9'}, {'0'},
    {kMinus}, {kEquals}, {kBackspace, 2},
    Row(2), {kTab, 1.5}, {'Q'}, {'W'}, {'E'}, {'R'}, {'T'}, {'Y'}, {'U'}, {'I'}, {'O'}, {'P'},
    {kLBracket}, {kRBracket}, {kBackslash, 1.5},
    Row(3), {kCaps, 1.75}, {'A'}, {'S'}, {'D'}, {'F'}, {'G'}, {'H'}, {'J'}, {'K'}, {'L'},
    {kSemicolon}, {kQuote}, {kReturn, 2.25},
    Row(4), {kLShift, 2.25}, {'Z'}, {'X'}, {'C'}, {'V'}, {'B'}, {'N'}, {'M'}, {kComma}, {kPeriod},
    {kSlash}, {kRShift, 2.75},
    Row(5), {kLCtrl}, {kFnKey}, {kLWin}, {kLAlt}, {kSpace, 6}, {kRAlt}, {kRCtrl}, {kLeft},
    {kUp, 1, 0.5}, {kBack}, {kDown, 1, 0.5, 0.5}, {kRight},
};
// clang-format on

struct FnKey {
  std::uint32_t vk, fnVk;
};
constexpr FnKey kLaptopFnLayer[] = {
    {kLeft, kHome}, {kRight, kEnd}, {kUp, kPageUp}, {kDown, kPageDown}};

// With NumLock off the keypad's digits and point send the editing and arrow keys.
constexpr FnKey kNumLockOff[] = {
    {Pad(0), kInsert}, {Pad(1), kEnd},    {Pad(2), kDown},        {Pad(3), kPageDown},
    {Pad(4), kLeft},   {Pad(5), kClear},  {Pad(6), kRight},       {Pad(7), kHome},
    {Pad(8), kUp},     {Pad(9), kPageUp}, {kNumDecimal, kDelete},
};

// The keys whose events the system marks as extended: the editing and arrow keys of their own
// block, the right Alt and Ctrl, the Windows and Applications keys, Print Screen, NumLock and
// the keypad's divide.
constexpr bool IsExtended(std::uint32_t vk) {
  return (vk >= kPageUp && vk <= kDown) || vk == kInsert || vk == kDelete || vk == kRAlt ||
         vk == kRCtrl || vk == kLWin || vk == kRWin || vk == kApps || vk == kPrintScreen ||
         vk == kNumLock || vk == 111;
}

// Grid points per key and direction where a palm may land.
constexpr int kPointsAcross = 4;

double Sq(double v) { return v * v; }

// The keys nearest to a point: by the distance to the key's edge (0 inside it), then to its
// centre, then by table order, so that every tie has one answer.
std::array<std::uint8_t, kPalmKeysMax> NearestKeys(const std::vector<LayoutKey>& keys, double px,
                                                   double py) {
  struct Far {
    double edge, centre;
    std::uint8_t index;
  };
  std::vector<Far> far;
  far.reserve(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const LayoutKey& k = keys[i];
    const double dx = std::max({k.x - px, 0.0, px - (k.x + k.w)});
    const double dy = std::max({k.y - py, 0.0, py - (k.y + k.h)});
    far.push_back({Sq(dx) + Sq(dy), Sq(k.x + k.w / 2 - px) + Sq(k.y + k.h / 2 - py),
                   static_cast<std::uint8_t>(i)});
  }
  std::partial_sort(far.begin(), far.begin() + kPalmKeysMax, far.end(),
                    [](const Far& a, const Far& b) {
                      if (a.edge != b.edge) return a.edge < b.edge;
                      if (a.centre != b.centre) return a.centre < b.centre;
                      return a.index < b.index;
                    });
  std::array<std::uint8_t, kPalmKeysMax> nearest{};
  for (int i = 0; i < kPalmKeysMax; ++i) nearest[i] = far[i].index;
  return nearest;
}

KeyboardLayout BuildLayout(std::string_view name, std::span<const Cap> caps,
                           std::span<const FnKey> remap, bool remapIsFnLayer) {
  KeyboardLayout layout{name, {}, {}};
  float x = 0, y = 0;
  for (const Cap& c : caps) {
    if (c.vk == kRow) {
      x = 0;
      y = c.w;
    } else if (c.vk == kGap) {
      x += c.w;
    } else if (c.vk == kBack) {
      x -= c.w;
    } else {
      LayoutKey key{c.vk, 0, x, y + c.dy, c.w, c.h, c.extended || IsExtended(c.vk)};
      for (const FnKey& r : remap) {
        if (r.vk != c.vk) continue;
        (remapIsFnLayer ? key.fnVk : key.vk) = r.fnVk;
      }
      layout.keys.push_back(key);
      x += c.w;
    }
  }
  double area = 0;
  for (const LayoutKey& k : layout.keys) area += k.w * k.h;
  for (const LayoutKey& k : layout.keys) {
    for (int i = 0; i < kPointsAcross; ++i) {
      for (int j = 0; j < kPointsAcross; ++j) {
        const double px = k.x + (i + 0.5) * k.w / kPointsAcross;
        const double py = k.y + (j + 0.5) * k.h / kPointsAcross;
        layout.points.push_back(
            {k.w * k.h / (kPointsAcross * kPointsAcross) / area, NearestKeys(layout.keys, px, py)});
      }
    }
  }
  return layout;
}

// ---- The strikes ---------------------------------------------------------------------------

constexpr double StrikesPerMs() { return StrikesPerSecond() / 1000; }
constexpr double kMsPerHour = 3600.0 * 1000;

// P(hold >= t) for the hold of a strike.
double HoldAtLeast(double t) {
  const double a = kHoldShortestMs, b = kHoldLongestMs;
  return std::clamp((b - t) / (b - a), 0.0, 1.0);
}

// E[(lead + hold - t)+]: how long, on average, a strike whose keys are all down `lead` after
// its first one still holds them t after that first one.
double MeanHeldBeyond(double lead, double t) {
  const double a = kHoldShortestMs, b = kHoldLongestMs, u = t - lead;
  if (u <= a) return (a + b) / 2 - u;
  if (u >= b) return 0;
  return Sq(b - u) / (2 * (b - a));
}

// The first autorepeat of a key pressed at 0 that comes at or after holdMs.
double FirstRepeatAtOrAfter(std::uint32_t holdMs) {
  std::uint32_t t = kRepeatDelayMs;
  while (t < holdMs) t += kRepeatPeriodMs;
  return t;
}

// What kinds of strike there are, as far as a handful of keys ("relevant", one bit each) go:
// which of them a strike covers, how many keys it presses in all (Fn aside), and its share of
// strikes.
struct StrikeKind {
  std::uint32_t covers;
  int keys;
  double share;
};

std::vector<StrikeKind> StrikeKinds(const KeyboardLayout& layout, const std::vector<int>& bitOfKey,
                                    int bits) {
  const std::size_t masks = std::size_t{1} << bits;
  std::vector<double> palm(masks * (kPalmKeysMax + 1), 0.0);  // [covers][keys]
  for (const PalmPoint& p : layout.points) {
    std::uint32_t covers = 0;
    int sending = 0;  // Fn sends nothing and does not stop a key repeating: not counted
    for (int n = 1; n <= kPalmKeysMax; ++n) {
      if (const int bit = bitOfKey[p.nearest[n - 1]]; bit >= 0) covers |= 1u << bit;
      sending += !layout.keys[p.nearest[n - 1]].IsFn();
      palm[covers * (kPalmKeysMax + 1) + std::max(sending, 1)] += p.weight / kPalmKeysMax;
    }
  }
  struct Palm {
    std::uint32_t covers;
    int keys;
    double share;
  };
  std::vector<Palm> palms;
  for (std::uint32_t c = 0; c < masks; ++c)
    for (int n = 1; n <= kPalmKeysMax; ++n)
      if (const double s = palm[c * (kPalmKeysMax + 1) + n]; s > 0) palms.push_back({c, n, s});

  constexpr int kMostKeys = 2 * kPalmKeysMax;
  std::vector<double> strike(masks * (kMostKeys + 1), 0.0);
  for (const Palm& a : palms) {
    strike[a.covers * (kMostKeys + 1) + a.keys] += (1 - kBothHandsShare) * a.share;
    // Two palms: keys under both are pressed once; the model counts them twice, which only
    // matters for how long the strike takes to come down and which key comes last.
    for (const Palm& b : palms)
      strike[(a.covers | b.covers) * (kMostKeys + 1) + a.keys + b.keys] +=
          kBothHandsShare * a.share * b.share;
  }
  std::vector<StrikeKind> kinds;
  for (std::uint32_t c = 0; c < masks; ++c)
    for (int m = 1; m <= kMostKeys; ++m)
      if (const double s = strike[c * (kMostKeys + 1) + m]; s > 0) kinds.push_back({c, m, s});
  return kinds;
}

// How long, on average, one key of a strike of `keys` keys stays down beyond t after it went
// down: its place in the order is random, and they all come up together.
double MeanHeld(int keys, double t) {
  double sum = 0;
  for (int r = 0; r < keys; ++r) sum += MeanHeldBeyond(r * double{kPressSpacingMs}, t);
  return sum / keys;
}

// For each key: how often a palm presses it, and the chance that another strike holds it
// down at a given moment (then pressing it sends nothing).
struct KeyShares {
  std::vector<double> pressed, down;
};

KeyShares SharesOf(const KeyboardLayout& layout) {
  KeyShares shares{std::vector<double>(layout.keys.size(), 0.0), {}};
  for (const PalmPoint& p : layout.points)
    for (int n = 1; n <= kPalmKeysMax; ++n)
      shares.pressed[p.nearest[n - 1]] += p.weight * (kPalmKeysMax - n + 1) / kPalmKeysMax;
  for (double c : shares.pressed) {
    const double strike = (1 - kBothHandsShare) * c + kBothHandsShare * (1 - Sq(1 - c));
    shares.down.push_back(1 - std::exp(-StrikesPerMs() * strike * MeanHeld(kPalmKeysMax, 0)));
  }
  return shares;
}

// The chance that a key a palm presses is down already, over the keys as often as pressed.
double AlreadyDown(const KeyboardLayout& layout) {
  const KeyShares s = SharesOf(layout);
  return std::inner_product(s.pressed.begin(), s.pressed.end(), s.down.begin(), 0.0) /
         std::accumulate(s.pressed.begin(), s.pressed.end(), 0.0);
}

// Strikes per millisecond that stop a key repeating: those that press a key that is not down
// already.
double StoppingStrikesPerMs(const KeyboardLayout& layout) {
  const double down = AlreadyDown(layout);
  double onlyDown = 0;  // P(a palm presses only keys that are down already)
  for (int j = 1; j <= kPalmKeysMax; ++j) onlyDown += std::pow(down, j) / kPalmKeysMax;
  return StrikesPerMs() * (1 - (1 - kBothHandsShare) * onlyDown - kBothHandsShare * Sq(onlyDown));
}

double Choose(int n, int k) {
  double c = 1;
  for (int i = 1; i <= k; ++i) c = c * (n - k + i) / i;
  return c;
}

// Keys one of which must be down: a modifier's left and right keys, held until the sequence
// acts; or Fn, only when the key goes down (the key keeps sending what it sent then).
struct KeyGroup {
  std::vector<std::size_t> keys;
  bool untilItActs;
};

// Unlocks per millisecond from the key-downs of `sources` (keys that send the sequence's key,
// each of them needing every group held).
double SequenceRate(const KeyboardLayout& layout, const std::vector<std::size_t>& sources,
                    const std::vector<KeyGroup>& groups, std::uint32_t holdMs) {
  if (sources.empty()) return 0;
  std::vector<int> bitOfKey(layout.keys.size(), -1);
  int bits = 0;
  for (std::size_t key : sources) bitOfKey[key] = bits++;
  const std::uint32_t sourceKeys = (1u << bits) - 1;
  std::vector<std::uint32_t> groupKeys;
  for (const KeyGroup& g : groups) {
    if (g.keys.empty()) return 0;  // a modifier this keyboard lacks
    std::uint32_t mask = 0;
    for (std::size_t key : g.keys) {
      bitOfKey[key] = bits;
      mask |= 1u << bits++;
    }
    groupKeys.push_back(mask);
  }
  const std::vector<StrikeKind> kinds = StrikeKinds(layout, bitOfKey, bits);
  // With a hold, the sequence acts at the autorepeat that comes once the hold is over: the
  // key must be pressed last, the strike must hold it until then, and no strike may start
  // meanwhile that stops the autorepeat. Keys that other strikes hold down already send
  // nothing and stop nothing: the key is the last to go down with chance sum(down^j) / keys.
  const double actsAfter = holdMs == 0 ? 0 : FirstRepeatAtOrAfter(holdMs);
  const double alreadyDown = holdMs == 0 ? 0 : AlreadyDown(layout);
  const double quiet =
      holdMs == 0 ? 1
                  : HoldAtLeast(actsAfter) * std::exp(-StoppingStrikesPerMs(layout) * actsAfter);
  const std::size_t n = groups.size();
  const std::uint32_t allGroups = (1u << n) - 1;
  // The groups none of `keys` belongs to.
  const auto unmet = [&](std::uint32_t keys) {
    std::uint32_t groupSet = 0;
    for (std::size_t g = 0; g < n; ++g)
      if (!(keys & groupKeys[g])) groupSet |= 1u << g;
    return groupSet;
  };
  // Other strikes are a Poisson crowd. others[source][needed]: P(none of them holds the source
  // key down when it is pressed, and for each group in `needed` one holds a key of it for as
  // long as it must be held), by inclusion and exclusion over the groups none of them holds.
  const int sourceCount = std::popcount(sourceKeys);
  std::vector<std::vector<double>> others(sourceCount, std::vector<double>(allGroups + 1, 0));
  for (int p = 0; p < sourceCount; ++p) {
    std::vector<double> spoiling(allGroups + 1, 0);  // mean strikes against "none of S"
    for (std::uint32_t s = 0; s <= allGroups; ++s) {
      for (const StrikeKind& k : kinds) {
        double beyond = (k.covers >> p & 1u) ? 0 : -1;
        for (std::size_t g = 0; g < n && beyond != 0; ++g) {
          if (!(s >> g & 1u) || !(k.covers & groupKeys[g])) continue;
          const double t = groups[g].untilItActs ? actsAfter : 0;
          beyond = beyond < 0 ? t : std::min(beyond, t);
        }
        if (beyond >= 0) spoiling[s] += k.share * MeanHeld(k.keys, beyond);
      }
      spoiling[s] *= StrikesPerMs();
    }
    for (std::uint32_t u = 0; u <= allGroups; ++u)
      for (std::uint32_t s = u;; s = (s - 1) & u) {
        others[p][u] += (std::popcount(s) % 2 ? -1 : 1) * std::exp(-spoiling[s]);
        if (s == 0) break;
      }
  }

  double rate = 0;
  for (const StrikeKind& k : kinds) {
    const std::uint32_t inStrike = k.covers & sourceKeys;
    if (!inStrike) continue;
    const std::uint32_t groupKeysIn = k.covers & ~sourceKeys;
    const int s = std::popcount(inStrike);
    if (holdMs == 0) {
      // A source key acts when every group is held by then, by a key that came down earlier
      // in the same strike or by another strike; if any of the strike's source keys does,
      // the last one does (the first to act makes the others of that press do nothing).
      // The group keys after the last source key are a random subset, its size j with
      // probability C(s+v-1-j, s-1) / C(s+v, s).
      const int v = std::popcount(groupKeysIn);
      double p = 0;
      for (std::uint32_t after = groupKeysIn;; after = (after - 1) & groupKeysIn) {
        const int j = std::popcount(after);
        const double chance = Choose(s + v - 1 - j, s - 1) / Choose(s + v, s) / Choose(v, j);
        const std::uint32_t needed = unmet(groupKeysIn & ~after);
        for (int q = 0; q < sourceCount; ++q)
          if (inStrike >> q & 1u) p += chance * others[q][needed] / s;
        if (after == 0) break;
      }
      rate += k.share * p;
    } else {
      double last = 0;
      for (int j = 0; j < k.keys; ++j) last += std::pow(alreadyDown, j) / k.keys;
      for (int q = 0; q < sourceCount; ++q)
        if (inStrike >> q & 1u) rate += k.share * last * quiet * others[q][unmet(groupKeysIn)];
    }
  }
  return StrikesPerMs() * std::max(rate, 0.0);
}

// The left and right keys of each modifier of a sequence.
constexpr std::array<std::array<std::uint32_t, 2>, 3> kModifierKeys{
    {{kLCtrl, kRCtrl}, {kLAlt, kRAlt}, {kLShift, kRShift}}};

// ---- The word ----------------------------------------------------------------------------

char CharOf(std::uint32_t vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return static_cast<char>(vk);
  if (vk >= kNumPad0 && vk <= kNumPad0 + 9) return static_cast<char>('0' + vk - kNumPad0);
  return 0;
}

constexpr std::string_view kWordChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kMostRepeats = (kHoldLongestMs - kRepeatDelayMs) / kRepeatPeriodMs + 1;

// What one palm does to a word being typed, summed over the palms of a layout. A strike of
// two palms counts as two palms one after the other. A key another strike holds down already
// sends nothing; each key is taken to be down or not on its own.
struct WordPalms {
  double noCharNoEnter = 0;    // leave an empty word empty (Backspace on it does nothing)
  double untouched = 0;        // ... nor change a word at all
  double enterAfterChars = 0;  // Enter after every letter and digit: the word is empty next
  double enterFirst = 0;       // Enter before every letter, digit and Backspace
  double trimThenEnter = 0;    // Backspace, then Enter, before every letter and digit
  std::array<double, kMostRepeats + 1> repeats{};  // P(the key pressed last repeats r times)
  // By the set of letters and digits a palm types (sorted), for palms without Enter and
  // Backspace: P(a given order of them, and no repeat), P(that order with the last one
  // pressed last of all, for the repeats).
  std::map<std::string, std::array<double, 2>> bySet;
  double changing = 0;   // palms per millisecond that change a word
  double sameEnter = 0;  // P(two Enter presses are of the same key): a layout may have two

  // P(one palm types exactly `s`): its letters and digits in that order, the last one
  // repeated for the rest.
  double Exactly(std::string_view s) const {
    double p = 0;
    for (std::size_t d = 1; d <= s.size(); ++d) {
      std::string set(s.substr(0, d));
      std::sort(set.begin(), set.end());
      if (std::adjacent_find(set.begin(), set.end()) != set.end()) break;
      const std::size_t r = s.size() - d;
      if (r > 0 && (r > kMostRepeats || s.find_first_not_of(s[d - 1], d) != s.npos)) continue;
      const auto it = bySet.find(set);
      if (it == bySet.end()) continue;
      p += r == 0 ? it->second[0] : it->second[1] * repeats[r];
    }
    return p;
  }

  // P(one palm types exactly `s` and one character more, any).
  double ExactlyAndOneMore(std::string_view s) const {
    double p = 0;
    std::string more(s);
    more += ' ';
    for (char c : std::string_view(kWordChars)) {
      more.back() = c;
      p += Exactly(more);
    }
    return p;
  }

  // P(a key pressed `palms` word-changing palms ago is up again): its hold against the
  // time those palms take (an Erlang time).
  double UpAfter(std::size_t palms) const {
    constexpr int kSteps = 150;
    const double a = kHoldShortestMs, b = kHoldLongestMs;
    double up = 0;
    for (int i = 0; i < kSteps; ++i) {
      const double x = a + (i + 0.5) * (b - a) / kSteps, rx = changing * x;
      double later = 0, term = std::exp(-rx);  // P(the palms take longer than x)
      for (std::size_t k = 0; k < palms; ++k) {
        later += term;
        term *= rx / static_cast<double>(k + 1);
      }
      up += later / kSteps;
    }
    return up;
  }
};

WordPalms WordPalmsOf(const KeyboardLayout& layout) {
  WordPalms w;
  // The key pressed last repeats once for every repeat time its hold and the next strike
  // leave it.
  const double stopping = StoppingStrikesPerMs(layout);
  for (int r = 1; r <= kMostRepeats; ++r) {
    const double t = kRepeatDelayMs + (r - 1.0) * kRepeatPeriodMs;
    w.repeats[r] = HoldAtLeast(t) * std::exp(-stopping * t);
  }
  w.repeats[0] = 1;
  for (int r = 0; r < kMostRepeats; ++r) w.repeats[r] -= w.repeats[r + 1];

  const KeyShares shares = SharesOf(layout);
  for (const PalmPoint& p : layout.points) {
    for (int n = 1; n <= kPalmKeysMax; ++n) {
      // Every way the palm's keys may be down already; those send nothing.
      for (std::uint32_t live = 0; live < (1u << n); ++live) {
        double share = p.weight / kPalmKeysMax;
        std::string chars;
        bool enter = false;
        int backspaces = 0;
        for (int i = 0; i < n; ++i) {
          const double down = shares.down[p.nearest[i]];
          share *= (live >> i & 1u) ? 1 - down : down;
          if (!(live >> i & 1u)) continue;
          const std::uint32_t vk = layout.keys[p.nearest[i]].vk;
          if (const char c = CharOf(vk)) chars += c;
          enter = enter || vk == kReturn;
          backspaces += vk == kBackspace;
        }
        const auto d = static_cast<double>(chars.size());
        const int sending = std::popcount(live);
        if (enter) {
          w.enterAfterChars += share / (d + 1);
          w.enterFirst += share / (d + backspaces + 1);
          if (backspaces > 0)
            w.trimThenEnter += share * backspaces / ((d + backspaces + 1) * (d + backspaces));
        } else if (chars.empty()) {
          w.noCharNoEnter += share;
          if (backspaces == 0) w.untouched += share;
        } else if (backspaces == 0) {
          std::sort(chars.begin(), chars.end());
          double orders = 1;
          for (std::size_t i = 2; i <= chars.size(); ++i) orders *= static_cast<double>(i);
          const double charLast = d / sending;
          auto& a = w.bySet[chars];
          a[0] += share / orders * (1 - charLast + charLast * w.repeats[0]);
          a[1] += share / orders * charLast;
        }
      }
    }
  }
  w.changing = StrikesPerMs() * (1 + kBothHandsShare) * (1 - w.untouched);
  double enters = 0;
  for (std::size_t i = 0; i < layout.keys.size(); ++i)
    if (layout.keys[i].vk == kReturn) {
      enters += shares.pressed[i];
      w.sameEnter += Sq(shares.pressed[i]);
    }
  if (enters > 0) w.sameEnter /= Sq(enters);
  return w;
}

const std::vector<WordPalms>& AllWordPalms() {
  static const std::vector<WordPalms> all = [] {
    std::vector<WordPalms> v;
    for (const KeyboardLayout& l : MashLayouts()) v.push_back(WordPalmsOf(l));
    return v;
  }();
  return all;
}

// Word unlocks per hour from the ways of typing the word palm by palm (ways[j]: in j palms,
// each followed by palms that change nothing; longer[j]: the word and one character more): a
// palm's Enter leaves the word empty, palms that type nothing (or only Backspace) follow, then
// the palms that type the word, then a palm whose first key that counts is Enter (or
// Backspace taking back the character more, then Enter): the other Enter key, or the same
// one up again.
double WordRate(const WordPalms& w, const std::vector<double>& ways,
                const std::vector<double>& longer) {
  const double palmsPerHour = StrikesPerMs() * (1 + kBothHandsShare) * kMsPerHour;
  double typed = 0;
  for (std::size_t j = 1; j < ways.size(); ++j) {
    const double enterUp = 1 - w.sameEnter + w.sameEnter * w.UpAfter(j + 1);
    typed += (ways[j] * w.enterFirst + longer[j] * w.trimThenEnter) * enterUp;
  }
  return palmsPerHour * w.enterAfterChars / (1 - w.noCharNoEnter) * typed;
}

// ways[i][j]: the first i characters typed in j palms. A character typed by the key that
// typed the one before it needs that key up again in between.
double WordUnlocksPerHour(const WordPalms& palms, const std::string& w) {
  if (w.empty()) return 0;
  const std::size_t n = w.size();
  std::vector<std::vector<double>> ways(n + 1, std::vector<double>(n + 2, 0.0));
  std::vector<double> longer(n + 2, 0.0);
  ways[0][0] = 1;
  const auto after = [&](std::size_t from) {
    return (from > 0 && w[from - 1] == w[from] ? palms.UpAfter(1) : 1) / (1 - palms.untouched);
  };
  for (std::size_t i = 1; i <= n; ++i)
    for (std::size_t from = 0; from < i; ++from) {
      const std::string_view part = std::string_view(w).substr(from, i - from);
      const double palm = palms.Exactly(part) * after(from);
      for (std::size_t j = 1; j <= i; ++j) ways[i][j] += ways[from][j - 1] * palm;
      if (i < n) continue;
      // The character more: typed by the word's last palm, or by a palm of its own.
      const double more = palms.ExactlyAndOneMore(part) * after(from);
      for (std::size_t j = 1; j <= i; ++j) longer[j] += ways[from][j - 1] * more;
    }
  const double alone = palms.ExactlyAndOneMore("") / (1 - palms.untouched);
  for (std::size_t j = 1; j <= n; ++j) longer[j + 1] += ways[n][j] * alone;
  return WordRate(palms, ways[n], longer);
}

// Letters in upper case; empty for anything but letters and digits.
std::string Uppercase(std::string_view word) {
  std::string s;
  for (char c : word) {
    const char u = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    if (!((u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))) return {};
    s += u;
  }
  return s;
}

// Rounded to two significant digits.
double TwoDigits(double v) {
  const double unit = std::pow(10.0, std::floor(std::log10(v)) - 1);
  return std::round(v / unit) * unit;
}

// A number rounded by TwoDigits, without trailing zeros: 0.25, 2.5, 3, 40, 1200.
std::string Figure(double rounded) {
  const int decimals = std::max(0, 1 - static_cast<int>(std::floor(std::log10(rounded))));
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, rounded);
  std::string s = text;
  if (s.find('.') != s.npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

}  // namespace

std::span<const KeyboardLayout> MashLayouts() {
  static const std::array<KeyboardLayout, 3> layouts{
      BuildLayout("full-size, NumLock on", kFullSize, {}, false),
      BuildLayout("full-size, NumLock off", kFullSize, kNumLockOff, false),
      BuildLayout("laptop", kLaptop, kLaptopFnLayer, true),
  };
  return layouts;
}

double AccidentalUnlocksPerHour(const KeySequence& sequence, std::uint32_t holdMs,
                                const KeyboardLayout& layout) {
  if (sequence.vk == 0) return 0;
  std::vector<KeyGroup> groups;
  for (std::size_t m = 0; m < kModifierKeys.size(); ++m) {
    if (!(sequence.modifiers >> m & 1u)) continue;
    groups.push_back({{}, true});
    for (std::size_t i = 0; i < layout.keys.size(); ++i)
      if (layout.keys[i].vk == kModifierKeys[m][0] || layout.keys[i].vk == kModifierKeys[m][1])
        groups.back().keys.push_back(i);
  }
  // Keys that send the sequence's key by themselves, and with Fn. (Only keys without a name
  // change with Fn, so no key is both.)
  std::vector<std::size_t> plain, withFn;
  KeyGroup fn{{}, false};
  for (std::size_t i = 0; i < layout.keys.size(); ++i) {
    const LayoutKey& k = layout.keys[i];
    if (k.IsFn()) fn.keys.push_back(i);
    if (k.vk == sequence.vk) plain.push_back(i);
    if (k.fnVk == sequence.vk) withFn.push_back(i);
  }
  double rate = SequenceRate(layout, plain, groups, holdMs);
  groups.push_back(fn);
  rate += SequenceRate(layout, withFn, groups, holdMs);
  return rate * kMsPerHour;
}

double AccidentalUnlocksPerHour(const KeySequence& sequence, std::uint32_t holdMs) {
  double worst = 0;
  for (const KeyboardLayout& l : MashLayouts())
    worst = std::max(worst, AccidentalUnlocksPerHour(sequence, holdMs, l));
  return worst;
}

double HoursPerAccidentalUnlock(const KeySequence& sequence, std::uint32_t holdMs) {
  const double rate = AccidentalUnlocksPerHour(sequence, holdMs);
  return rate > 0 ? 1 / rate : std::numeric_limits<double>::infinity();
}

bool WeakerThanDefaultUnlock(const KeySequence& sequence) {
  // The default itself needs no model (nothing is computed while nothing is chosen).
  if (sequence == kDefaultUnlockSequence || sequence.vk > 255 || sequence.modifiers > 7)
    return false;
  // 0: not asked yet; 1: no; 2: yes. Asking twice at once only computes twice.
  static std::array<std::atomic<std::uint8_t>, 8 * 256> known{};
  std::atomic<std::uint8_t>& answer = known[sequence.modifiers * 256u + sequence.vk];
  if (const std::uint8_t a = answer.load(std::memory_order_relaxed)) return a == 2;
  static const double reference = AccidentalUnlocksPerHour(kDefaultUnlockSequence, 0);
  // A margin far below any difference the layouts make, so that rounding never decides.
  const bool weaker = AccidentalUnlocksPerHour(sequence, 0) > reference * (1 + 1e-9);
  answer.store(weaker ? 2 : 1, std::memory_order_relaxed);
  return weaker;
}

double AccidentalWordUnlocksPerHour(std::string_view word, const KeyboardLayout& layout) {
  const std::span<const KeyboardLayout> ours = MashLayouts();
  for (std::size_t i = 0; i < ours.size(); ++i)
    if (&ours[i] == &layout) return WordUnlocksPerHour(AllWordPalms()[i], Uppercase(word));
  return WordUnlocksPerHour(WordPalmsOf(layout), Uppercase(word));
}

double AccidentalWordUnlocksPerHour(std::string_view word) {
  double worst = 0;
  for (const KeyboardLayout& l : MashLayouts())
    worst = std::max(worst, AccidentalWordUnlocksPerHour(word, l));
  return worst;
}

double AccidentalWordUnlocksPerHour(std::size_t length) {
  if (length == 0) return 0;
  double worst = 0;
  for (const WordPalms& palms : AllWordPalms()) {
    // most[k]: the likeliest k characters one palm types; more[k]: the likeliest k characters
    // and any one more (k distinct ones and a new one or a repeat of the last, or a run one
    // repeat longer), bounded by adding the likeliest of each kind.
    std::vector<double> most(length + 1, 0.0), more(length + 1, 0.0), distinctMore(length + 1);
    std::map<std::string, double> plusNew;  // set -> P(its order, then one new character)
    for (const auto& [set, p] : palms.bySet) {
      const std::size_t d = set.size();
      for (std::size_t i = 0; i < d; ++i) plusNew[set.substr(0, i) + set.substr(i + 1)] += p[0];
      if (d <= length) {
        most[d] = std::max(most[d], p[0]);
        distinctMore[d] = std::max(distinctMore[d], p[1] * palms.repeats[1]);
      }
      for (std::size_t r = 1; r <= kMostRepeats && d + r <= length; ++r) {
        most[d + r] = std::max(most[d + r], p[1] * palms.repeats[r]);
        if (r < kMostRepeats) more[d + r] = std::max(more[d + r], p[1] * palms.repeats[r + 1]);
      }
    }
    std::vector<double> newMore(length + 1, 0.0);
    for (const auto& [set, p] : plusNew)
      if (set.size() <= length) newMore[set.size()] = std::max(newMore[set.size()], p);
    for (std::size_t k = 1; k <= length; ++k)
      more[k] = std::max(more[k], newMore[k] + distinctMore[k]);
    const double alone = palms.ExactlyAndOneMore("");

    // bound[i][j]: i characters in j palms, each as likely as the likeliest of its length,
    // then the same with one character more: no word of that length is likelier.
    std::vector<std::vector<double>> bound(length + 1, std::vector<double>(length + 2, 0.0));
    std::vector<double> longer(length + 2, 0.0);
    bound[0][0] = 1;
    const double u = 1 - palms.untouched;
    for (std::size_t i = 1; i <= length; ++i)
      for (std::size_t k = 1; k <= i; ++k)
        for (std::size_t j = 1; j <= i; ++j) {
          bound[i][j] += bound[i - k][j - 1] * most[k] / u;
          if (i == length) longer[j] += bound[i - k][j - 1] * more[k] / u;
        }
    for (std::size_t j = 1; j <= length; ++j) longer[j + 1] += bound[length][j] * alone / u;
    worst = std::max(worst, WordRate(palms, bound[length], longer));
  }
  return worst;
}

std::string MashingChildText(double unlocksPerHour) {
  const std::string lead = "a mashing child: ";
  if (!(unlocksPerHour > 0)) return lead + "never in our model";
  const double hours = 1 / unlocksPerHour;
  if (hours > 1e6) return lead + "less than once in a million hours";
  // The largest unit the figure is at least 1 of, once rounded.
  double n = TwoDigits(hours);
  std::string unit = "hour";
  if (n < 1) n = TwoDigits(hours * 60), unit = "minute";
  if (n < 1) n = TwoDigits(hours * 3600), unit = "second";
  return lead + "about once in " + Figure(n) + " " + unit + (n == 1 ? "" : "s");
}

}  // namespace hushkey
