// Telling that the system dropped an input hook. Windows removes a low-level hook whose
// procedure overran its time limit, without a word: a locked desktop would quietly unlock.
// Each hook notes when it last saw an event; the raw input the program also receives for
// every key and mouse event is the evidence that the system saw input. Raw input of a kind
// whose hook has seen nothing for longer than the grace period means that hook is gone.
// Nothing runs while no input comes: there is no polling. A dropped hook stays dropped, so
// one raw input event now and then is evidence enough: after each, the raw input rests for
// a while (each event delivered to the program costs the input path a little). At the end of
// a rest the system's own last-input time covers what came meanwhile.
#pragma once

#include <cstdint>

namespace hushkey {

enum class InputKind : std::uint8_t { Keyboard, Mouse };

class HookWatchdog {
 public:
  // A raw input event and its hook call come within milliseconds of each other; the grace
  // period covers a thread that is busy for a moment.
  static constexpr std::uint32_t kGraceMs = 1000;
  // How long the raw input rests after each event it delivered.
  static constexpr std::uint32_t kRestMs = 500;

  // The hook of `kind` was called (tick count `now`, milliseconds, wrapping).
  void HookSaw(InputKind kind, std::uint32_t now);
  // Raw input of `kind` reached the program at `now`: true when that hook has not been called
  // within the grace period before it, so it must be installed again.
  bool HookMissed(InputKind kind, std::uint32_t now) const;
  // At the end of a rest: the system last saw input at `lastInput`, a clear while after
  // either hook's last call, and neither hook has been called within the grace period
  // before `now`. A hook call comes a moment after the system stamps its input, so the
  // input must be later by more than that moment.
  bool MissedWhileResting(std::uint32_t lastInput, std::uint32_t now) const;
  static constexpr std::uint32_t kStampSlackMs = 100;
  // Both hooks were installed afresh at `now`.
  void Reinstalled(std::uint32_t now);

 private:
  std::uint32_t lastSeen_[2] = {0, 0};
  bool seen_[2] = {false, false};  // nothing to compare with before the first event
};

}  // namespace hushkey
