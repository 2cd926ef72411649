// The mouse decision: for one mouse message, in the current mode, whether it passes or is
// swallowed and whether the cue is given. Swallowed moves cue at most every half second;
// the time since the last move cue is asked for through a callable, and only for a move
// that is being swallowed.
#pragma once

#include <cstdint>

#include "hushkey/engine/key_decision.h"
#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/settings_record.h"

namespace hushkey {

inline constexpr std::uint32_t MsgMouseMove = 512;
inline constexpr std::uint32_t MsgLButtonDown = 513;
inline constexpr std::uint32_t MsgLButtonUp = 514;
inline constexpr std::uint32_t MsgRButtonDown = 516;
inline constexpr std::uint32_t MsgRButtonUp = 517;
inline constexpr std::uint32_t MsgMButtonDown = 519;
inline constexpr std::uint32_t MsgMButtonUp = 520;
inline constexpr std::uint32_t MsgXButtonDown = 523;
inline constexpr std::uint32_t MsgXButtonUp = 524;

// A mouse button's press or release: the button's bit (left 1, right 2, middle 4, the two
// extra buttons 8 and 16, told apart by the high word of the event's mouse data), or 0 for
// any other message.
struct MouseButtonEvent {
  std::uint8_t bit = 0;
  bool down = false;
};

constexpr MouseButtonEvent ButtonEventOf(std::uint32_t message, std::uint32_t mouseData) {
  switch (message) {
    case MsgLButtonDown: return {1, true};
    case MsgLButtonUp: return {1, false};
    case MsgRButtonDown: return {2, true};
    case MsgRButtonUp: return {2, false};
    case MsgMButtonDown: return {4, true};
    case MsgMButtonUp: return {4, false};
    case MsgXButtonDown:
    case MsgXButtonUp:
      return {static_cast<std::uint8_t>((mouseData >> 16) == 2 ? 16 : 8),
              message == MsgXButtonDown};
    default: return {};
  }
}

// A swallowed move cues only when more than this many milliseconds passed since the last.
inline constexpr std::uint32_t MoveCueIntervalMs = 500;

enum class MouseClass : std::uint8_t { Move, Click, Other };

constexpr MouseClass ClassifyMouseMessage(std::uint32_t message) {
  switch (message) {
    case MsgMouseMove: return MouseClass::Move;
    case MsgLButtonDown:
    case MsgRButtonDown:
    case MsgMButtonDown: return MouseClass::Click;
    default: return MouseClass::Other;
  }
}

// Milliseconds from lastCueTick to now on the wrapping 32-bit tick counter.
constexpr std::uint32_t TicksSince(std::uint32_t lastCueTick, std::uint32_t now) {
  return now - lastCueTick;
}

constexpr bool MoveCueDue(std::uint32_t elapsedMs) { return elapsedMs > MoveCueIntervalMs; }

// elapsedSinceMoveCue() returns the milliseconds since the last move cue.
template <class ElapsedQuery>
constexpr KeyDecision DecideMouse(LockMode mode, std::uint32_t message, const Settings& settings,
                                  ElapsedQuery&& elapsedSinceMoveCue) {
  const MouseClass cls = ClassifyMouseMessage(message);
  const auto swallowMove = [&] {
    return KeyDecision{true, MoveCueDue(static_cast<std::uint32_t>(elapsedSinceMoveCue())),
                       FilterAction::None};
  };
  switch (mode) {
    case ModeLocked:
    case ModeLockedAuto:
      if (cls == MouseClass::Move) return settings.StopMouseMove ? swallowMove() : KeyDecision{};
      return KeyDecision{true, cls == MouseClass::Click, FilterAction::None};

    case ModeAutoLock:
    case ModeAutoLockSuspended:
      if (cls == MouseClass::Click) return KeyDecision{false, false, FilterAction::RestartTimer};
      return KeyDecision{};

    case ModeAllowOnly:
      if (settings.AOMAllowMouse) return KeyDecision{};
      if (cls == MouseClass::Move) return swallowMove();
      return KeyDecision{true, cls == MouseClass::Click, FilterAction::None};

    default:  // 0, 1, 99 and every code outside the table
      return KeyDecision{};
  }
}

constexpr KeyDecision DecideMouse(LockMode mode, std::uint32_t message, const Settings& settings,
                                  std::uint32_t elapsedSinceMoveCue) {
  return DecideMouse(mode, message, settings,
                     [elapsedSinceMoveCue] { return elapsedSinceMoveCue; });
}

// Whether the mode, with these settings, swallows mouse clicks: the filter's own decision
// for a press of the left button.
constexpr bool SwallowsClicks(LockMode mode, const Settings& settings) {
  return DecideMouse(mode, MsgLButtonDown, settings, 0u).Swallow;
}

}  // namespace hushkey
