#include "bench/toddler_mash.h"

#include "hushkey/engine/unlock_word.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <optional>

#include "bench/quiet_ports.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/unlock_word.h"
#include "hushkey/settings/load_settings.h"

namespace hushkey::mash {

namespace {

std::uint64_t SplitMix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

bool Later(const auto& a, const auto& b) {
  return a.time != b.time ? a.time > b.time : a.order > b.order;
}

// ---- Fakes of what the filter step reaches ----

// The mode commands change the mode as the real ones do.
class ModeActions final : public FilterActionPort {
 public:
  explicit ModeActions(AppState& app) : app_(app) {}
  void LockAll() override { app_.CurrentMode = ModeLockedAuto; }
  void cmdAutoLock_Click() override { app_.CurrentMode = ModeAutoLock; }
  void cmdCancel_Click() override { app_.CurrentMode = ModeUnlocked; }
  void OpenEntryGate() override {}
  void EnableFlashTimer() override {}
  bool CommandRunning() const override { return false; }
  void RunWhenIdle(std::function<void()> work) override { work(); }

 private:
  AppState& app_;
};

class EmptyStore final : public SettingsStore {
 public:
  std::optional<std::string> Read(std::string_view) override { return std::nullopt; }
  bool Write(std::string_view, std::string_view) override { return false; }
};

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

constexpr double kMsPerHour = 3600.0 * 1000;
constexpr std::size_t kBatches = 20;

// Runs the mash for `hours`, calling `feed` with each event; it answers whether the event
// made an unlock.
template <class Feed>
Count Run(const KeyboardLayout& layout, double hours, std::uint64_t seed, Feed&& feed) {
  ToddlerStream stream(layout, seed);
  const double end = hours * kMsPerHour;
  Count count;
  count.hours = hours;
  count.batches.assign(kBatches, 0);
  const double began = ProcessorSeconds();
  for (KeyEvent e = stream.Next(); static_cast<double>(e.time) < end; e = stream.Next()) {
    ++count.events;
    if (!feed(e)) continue;
    ++count.unlocks;
    ++count.batches[static_cast<std::size_t>(static_cast<double>(e.time) / end * kBatches)];
  }
  count.seconds = ProcessorSeconds() - began;
  return count;
}

}  // namespace

Random::Random(std::uint64_t seed) {
  for (std::uint64_t& s : s_) s = SplitMix(seed);
}

std::uint64_t Random::Next() {
  const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
  const std::uint64_t t = s_[1] << 17;
  s_[2] ^= s_[0];
  s_[3] ^= s_[1];
  s_[1] ^= s_[2];
  s_[0] ^= s_[3];
  s_[2] ^= t;
  s_[3] = Rotl(s_[3], 45);
  return result;
}

double Random::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

std::uint32_t Random::Below(std::uint32_t n) {
  return static_cast<std::uint32_t>(((Next() >> 32) * n) >> 32);
}

double Random::Exponential(double mean) { return -mean * std::log1p(-Uniform()); }

ToddlerStream::ToddlerStream(const KeyboardLayout& layout, std::uint64_t seed)
    : layout_(layout),
      random_(seed),
      holders_(layout.keys.size(), 0),
      sent_(layout.keys.size(), 0) {
  double sum = 0;
  for (const PalmPoint& p : layout.points) cumulative_.push_back(sum += p.weight);
  nextStrike_ = random_.Exponential(1000 / StrikesPerSecond());
}

void ToddlerStream::Plan(const Pending& p) {
  heap_.push_back(p);
  heap_.back().order = planned_++;
  std::push_heap(heap_.begin(), heap_.end(), [](auto& a, auto& b) { return Later(a, b); });
}

void ToddlerStream::StartStrike() {
  const double start = nextStrike_;
  nextStrike_ += random_.Exponential(1000 / StrikesPerSecond());
  Pending lift{0, 0, -1, 0, {}};
  const int palms = random_.Uniform() < kBothHandsShare ? 2 : 1;
  for (int palm = 0; palm < palms; ++palm) {
    const double at = random_.Uniform() * cumulative_.back();
    const std::size_t point = std::min<std::size_t>(
        std::upper_bound(cumulative_.begin(), cumulative_.end(), at) - cumulative_.begin(),
        cumulative_.size() - 1);
    const std::uint32_t keys = 1 + random_.Below(kPalmKeysMax);
    for (std::uint32_t i = 0; i < keys; ++i) {
      const std::uint8_t key = layout_.points[point].nearest[i];
      if (std::find(lift.keys, lift.keys + lift.count, key) == lift.keys + lift.count)
        lift.keys[lift.count++] = key;
    }
  }
  // Random order: down kPressSpacingMs apart; up together, in another random order.
  for (int i = lift.count - 1; i > 0; --i)
    std::swap(lift.keys[i], lift.keys[random_.Below(static_cast<std::uint32_t>(i + 1))]);
  for (int i = 0; i < lift.count; ++i)
    Plan({start + i * double{kPressSpacingMs}, 0, lift.keys[i], 0, {}});
  for (int i = lift.count - 1; i > 0; --i)
    std::swap(lift.keys[i], lift.keys[random_.Below(static_cast<std::uint32_t>(i + 1))]);
  const double hold = kHoldShortestMs + random_.Uniform() * (kHoldLongestMs - kHoldShortestMs);
  lift.time = start + (lift.count - 1) * double{kPressSpacingMs} + hold;
  Plan(lift);
}

bool ToddlerStream::Step() {
  const double planned = heap_.empty() ? nextStrike_ + 1 : heap_.front().time;
  if (repeating_ >= 0 && nextRepeat_ <= planned && nextRepeat_ < nextStrike_) {
    ready_.push_back({static_cast<std::uint64_t>(nextRepeat_), sent_[repeating_], true,
                      layout_.keys[repeating_].extended});
    nextRepeat_ += kRepeatPeriodMs;
    return true;
  }
  if (nextStrike_ < planned) {
    StartStrike();
    return false;
  }
  std::pop_heap(heap_.begin(), heap_.end(), [](auto& a, auto& b) { return Later(a, b); });
  const Pending p = heap_.back();
  heap_.pop_back();
  const auto time = static_cast<std::uint64_t>(p.time);
  bool made = false;
  if (p.key >= 0) {
    const LayoutKey& key = layout_.keys[p.key];
    if (holders_[p.key]++ > 0) return false;  // already down
    if (key.IsFn()) {
      ++fnHeld_;
      return false;
    }
    sent_[p.key] = fnHeld_ > 0 && key.fnVk != 0 ? key.fnVk : key.vk;
    ready_.push_back({time, sent_[p.key], true, key.extended});
    repeating_ = p.key;
    nextRepeat_ = p.time + kRepeatDelayMs;
    return true;
  }
  for (int i = 0; i < p.count; ++i) {
    const std::uint8_t k = p.keys[i];
    if (--holders_[k] > 0) continue;
    if (layout_.keys[k].IsFn()) {
      --fnHeld_;
      continue;
    }
    if (repeating_ == k) repeating_ = -1;
    ready_.push_back({time, sent_[k], false, layout_.keys[k].extended});
    made = true;
  }
  return made;
}

KeyEvent ToddlerStream::Next() {
  while (readyAt_ == ready_.size()) {
    ready_.clear();
    readyAt_ = 0;
    while (!Step()) {
    }
  }
  return ready_[readyAt_++];
}

namespace {

// The settings of a store that holds nothing, as the program loads them.
AppState StoredDefaults(LockMode mode) {
  EmptyStore store;
  AppState app;
  app.settings = LoadSettings(store, 10);
  app.CurrentMode = mode;
  return app;
}

// Feeds the stream through the real filter step in app's mode, counts the events after
// which the mode was left as `unlocked` says is an unlock, and each time puts the mode back.
template <class Unlocked>
Count CountThroughTheFilter(AppState& app, const KeyboardLayout& layout, double hours,
                            std::uint64_t seed, Unlocked unlocked) {
  const LockMode mode = app.CurrentMode;
  QuietDesktop desktop;
  QuietTimer timer;
  ModeActions actions(app);
  FilterContext ctx{app, desktop, timer, actions};
  return Run(layout, hours, seed, [&](const KeyEvent& e) {
    FilterKeyEvent(ctx, HookCodeAction, e.down ? MsgKeyDown : MsgKeyUp, e.vk,
                   (e.down ? 0 : KeyFlagUp) | (e.extended ? KeyFlagExtended : 0),
                   static_cast<std::uint32_t>(e.time));
    if (app.CurrentMode == mode) return false;
    const bool unlock = unlocked(app.CurrentMode);
    app.CurrentMode = mode;
    return unlock;
  });
}

}  // namespace

Count CountSequenceUnlocks(const KeyboardLayout& layout, const KeySequence& unlock,
                           std::uint32_t holdMs, LockMode mode, double hours, std::uint64_t seed) {
  AppState app = StoredDefaults(mode);
  app.settings.sequences.unlock = unlock;
  if (unlock == app.settings.sequences.lock)
    app.settings.sequences.lock = KeySequence{kModCtrl | kModAlt, 'L'};
  app.settings.UnlockHoldMs = holdMs;
  // Unlocked or autolock is an unlock; the lock sequence in allow-only mode is not.
  return CountThroughTheFilter(app, layout, hours, seed, [](LockMode now) {
    return now == ModeUnlocked || now == ModeAutoLock;
  });
}

Count CountWordUnlocks(const KeyboardLayout& layout, std::string_view word, double hours,
                       std::uint64_t seed) {
  // The real filter step types the word (letters and digits since the last Enter, Backspace
  // taking one back) on a locked desktop and checks it at Enter. Only the word unlocks here:
  // the unlock sequence is one no modelled keyboard can press (F24).
  AppState app = StoredDefaults(ModeLocked);
  app.settings.UnlockWordHash = NormalizedWord(word);
  app.settings.sequences.unlock = KeySequence{kModCtrl | kModAlt | kModShift, 135};
  return CountThroughTheFilter(app, layout, hours, seed, [](LockMode) { return true; });
}

double Count::Dispersion() const {
  if (batches.size() < 2 || unlocks < 2 * batches.size()) return 1;
  const double mean = static_cast<double>(unlocks) / static_cast<double>(batches.size());
  double squares = 0;
  for (std::uint64_t b : batches)
    squares += (static_cast<double>(b) - mean) * (static_cast<double>(b) - mean);
  return squares / static_cast<double>(batches.size() - 1) / mean;
}

namespace {

// P(X <= n) for X ~ Poisson(mean), summed in logarithms.
double PoissonAtMost(std::uint64_t n, double mean) {
  if (mean <= 0) return 1;
  const double logMean = std::log(mean);
  // The largest term is near the mean.
  const double top = std::min<double>(static_cast<double>(n), std::floor(mean));
  const double logTop = -mean + top * logMean - std::lgamma(top + 1);
  double sum = 0;
  for (std::uint64_t k = 0; k <= n; ++k) {
    const double kk = static_cast<double>(k);
    sum += std::exp(-mean + kk * logMean - std::lgamma(kk + 1) - logTop);
  }
  return std::min(1.0, sum * std::exp(logTop));
}

// The mean at which P(X <= n) (falling in the mean) equals p.
double MeanWhereAtMost(std::uint64_t n, double p) {
  double lo = 0, hi = 10 + 2.0 * static_cast<double>(n);
  while (PoissonAtMost(n, hi) > p) hi *= 2;
  for (int i = 0; i < 200 && hi - lo > 1e-9 * hi; ++i) {
    const double mid = (lo + hi) / 2;
    (PoissonAtMost(n, mid) > p ? lo : hi) = mid;
  }
  return (lo + hi) / 2;
}

}  // namespace

Bounds PoissonBounds(std::uint64_t n, double confidence) {
  if (n == 0) return {0, 3, true};
  const double tail = (1 - confidence) / 2;
  return {MeanWhereAtMost(n - 1, 1 - tail), MeanWhereAtMost(n, tail), false};
}

Bounds DispersedBounds(std::uint64_t n, double dispersion, double confidence) {
  if (dispersion <= 1 || n == 0) return PoissonBounds(n, confidence);
  const auto scaled = static_cast<std::uint64_t>(std::llround(static_cast<double>(n) / dispersion));
  const Bounds b = PoissonBounds(std::max<std::uint64_t>(scaled, 1), confidence);
  return {b.low * dispersion, b.high * dispersion, false};
}

}  // namespace hushkey::mash
