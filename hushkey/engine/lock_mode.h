// Mode codes and the small lock state the input filters keep between events.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>

namespace hushkey {

// The current mode: a 16-bit signed code. Any value not listed passes every input event.
using LockMode = std::int16_t;

inline constexpr LockMode ModeUnlocked = 0;
inline constexpr LockMode ModeBlockWinCtrl = 1;
inline constexpr LockMode ModeLocked = 2;
inline constexpr LockMode ModeLockedAuto = 20;
inline constexpr LockMode ModeAutoLock = 3;
inline constexpr LockMode ModeAutoLockSuspended = 30;
inline constexpr LockMode ModeAllowOnly = 4;
inline constexpr LockMode ModeEntryReq = 99;

// How much input a mode swallows, for the moment a mode command moves between two modes:
// the locks most, then allow-only, then block-window-control, then the autolock modes (which
// watch input), and every other code none.
constexpr int Strictness(LockMode mode) {
  switch (mode) {
    case ModeLocked:
    case ModeLockedAuto: return 4;
    case ModeAllowOnly: return 3;
    case ModeBlockWinCtrl: return 2;
    case ModeAutoLock:
    case ModeAutoLockSuspended: return 1;
    default: return 0;
  }
}

// Start requests held in CurrentMode between start-up and entering the start mode; the
// same codes are handed to a running instance as decimal text.
inline constexpr LockMode StartRequestShow = -1;
inline constexpr LockMode StartRequestUnload = -3;

// Virtual-key codes the filters decide on by name.
inline constexpr std::uint32_t VkEnd = 35;
inline constexpr std::uint32_t VkHome = 36;
inline constexpr std::uint32_t VkLeftAlt = 164;
inline constexpr std::uint32_t VkRightAlt = 165;
inline constexpr std::uint32_t VkLeftCtrl = 162;
inline constexpr std::uint32_t VkRightCtrl = 163;

// State kept by the filters; everything starts at zero when the program starts.
struct LockState {
  bool LeftAltDown = false;
  bool RightAltDown = false;
  // Event time (milliseconds, wrapping) of the latest key-down of each Alt key: a held key
  // repeats its key-down, so a recent one shows that the key is still held.
  std::uint32_t LeftAltDownTime = 0;
  std::uint32_t RightAltDownTime = 0;
  std::uint32_t LastKeyDown = 0;       // only kept in modes 1 and 4; 0 = none
  std::uint32_t LastMouseCueTick = 0;  // tick of the last cue for a swallowed move
  std::int32_t OrigMouseSpeed = 0;     // system mouse speed read once at start-up
  bool MouseSpeedChanged = false;      // the program set a speed other than OrigMouseSpeed
  // The End or Home key whose key-down completed a key sequence, while it is held (0 when
  // none), and the time of its latest key-down: its autorepeats belong to that one press.
  std::uint32_t SequenceKey = 0;
  std::uint32_t SequenceKeyTime = 0;
  // Keys and mouse buttons whose press reached the system and whose release the filters
  // have not seen yet: that release passes in every mode, so nothing stays down (and no
  // drag goes on) through a lock. The time is each such key's latest key-down.
  std::bitset<256> KeysPassedDown;
  std::array<std::uint32_t, 256> KeyDownTime{};
  std::uint8_t ButtonsPassedDown = 0;  // one bit per mouse button
};

// Forgets both Alt keys: after a session switch or lock, or when the hooks may have missed
// events, a remembered Alt key can no longer be trusted.
constexpr void ClearAltState(LockState& lock) { lock.LeftAltDown = lock.RightAltDown = false; }

}  // namespace hushkey
