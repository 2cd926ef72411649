// Mode codes and the small lock state the input filters keep between events.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string>

namespace hushkey {

// The current mode: a 16-bit signed code, stored and handed off as its number. Any value
// not listed passes every input event. Between start-up and entering the start mode it holds
// a start request instead (show the window, unload).
enum class LockMode : std::int16_t {
  Unlocked = 0,
  BlockWinCtrl = 1,
  Locked = 2,
  LockedAuto = 20,
  AutoLock = 3,
  AutoLockSuspended = 30,
  AllowOnly = 4,
  EntryReq = 99,
  StartRequestShow = -1,
  StartRequestUnload = -3,
};

inline constexpr LockMode ModeUnlocked = LockMode::Unlocked;
inline constexpr LockMode ModeBlockWinCtrl = LockMode::BlockWinCtrl;
inline constexpr LockMode ModeLocked = LockMode::Locked;
inline constexpr LockMode ModeLockedAuto = LockMode::LockedAuto;
inline constexpr LockMode ModeAutoLock = LockMode::AutoLock;
inline constexpr LockMode ModeAutoLockSuspended = LockMode::AutoLockSuspended;
inline constexpr LockMode ModeAllowOnly = LockMode::AllowOnly;
inline constexpr LockMode ModeEntryReq = LockMode::EntryReq;
inline constexpr LockMode StartRequestShow = LockMode::StartRequestShow;
inline constexpr LockMode StartRequestUnload = LockMode::StartRequestUnload;

// The number a mode is stored and handed off as.
constexpr std::int16_t Code(LockMode mode) { return static_cast<std::int16_t>(mode); }

// Virtual-key codes the filters decide on by name.
inline constexpr std::uint32_t VkEnd = 35;
inline constexpr std::uint32_t VkHome = 36;
inline constexpr std::uint32_t VkLeftAlt = 164;
inline constexpr std::uint32_t VkRightAlt = 165;
inline constexpr std::uint32_t VkLeftCtrl = 162;
inline constexpr std::uint32_t VkRightCtrl = 163;
inline constexpr std::uint32_t VkLeftShift = 160;
inline constexpr std::uint32_t VkRightShift = 161;

// State kept by the filters; everything starts at zero when the program starts.
struct LockState {
  bool LeftAltDown = false;
  bool RightAltDown = false;
  // Event time (milliseconds, wrapping) of the latest key-down of each Alt key: a held key
  // repeats its key-down, so a recent one shows that the key is still held.
  std::uint32_t LeftAltDownTime = 0;
  std::uint32_t RightAltDownTime = 0;
  // The Ctrl and Shift keys kept the same way (bits: left Ctrl, right Ctrl, left Shift,
  // right Shift), for the key sequences a parent may choose.
  std::uint8_t CtrlShiftDown = 0;
  std::array<std::uint32_t, 4> CtrlShiftDownTime{};
  // The unlock sequence when it must be held: whether it is being held, which key (its code,
  // and 256 for an extended key), the time it went down and of its latest autorepeat.
  bool UnlockHolding = false;
  std::uint32_t UnlockHoldKey = 0;
  std::uint32_t UnlockHoldStart = 0;
  std::uint32_t UnlockHoldLast = 0;
  std::uint32_t LastKeyDown = 0;       // only kept in modes 1 and 4; 0 = none
  std::uint32_t LastMouseCueTick = 0;  // tick of the last cue for a swallowed move
  std::int32_t OrigMouseSpeed = 0;     // system mouse speed read once at start-up
  bool MouseSpeedChanged = false;      // the program set a speed other than OrigMouseSpeed
  // The key whose key-down completed a key sequence, while it is held (0 when
  // none), and the time of its latest key-down: its autorepeats belong to that one press.
  std::uint32_t SequenceKey = 0;
  std::uint32_t SequenceKeyTime = 0;
  // Keys and mouse buttons whose press reached the system and whose release the filters
  // have not seen yet: that release passes in every mode, so nothing stays down (and no
  // drag goes on) through a lock. The time is each such key's latest key-down.
  std::bitset<256> KeysPassedDown;
  std::array<std::uint32_t, 256> KeyDownTime{};
  std::uint8_t ButtonsPassedDown = 0;  // one bit per mouse button
  // Letters and digits typed since the last Enter where keys are swallowed, for the unlock
  // word (lower case).
  std::string WordTyped;
};

// Forgets every modifier key: after a session switch or lock, or when the hooks may have
// missed events, a remembered Alt, Ctrl or Shift key can no longer be trusted.
constexpr void ClearAltState(LockState& lock) {
  lock.LeftAltDown = lock.RightAltDown = false;
  lock.CtrlShiftDown = 0;
  lock.UnlockHolding = false;
}

}  // namespace hushkey
