// The keyboard decision: for one key event, in the current mode, whether it passes or is
// swallowed, whether the swallowed-input cue is given, which action runs, and the new
// LastKeyDown. No platform calls; the foreground-window class is asked for through a
// callable, and only when the answer can change the outcome.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <utility>

#include "hushkey/engine/key_decision.h"
#include "hushkey/engine/key_sequence.h"
#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/settings_record.h"

namespace hushkey {

inline constexpr std::uint32_t VkSpace = 32;
inline constexpr std::uint32_t VkPageUp = 33;
inline constexpr std::uint32_t VkPageDown = 34;
inline constexpr std::uint32_t VkVolumeMute = 173;
inline constexpr std::uint32_t VkVolumeDown = 174;
inline constexpr std::uint32_t VkVolumeUp = 175;

// Low-level keyboard event flags: an extended key (the Home above the arrows, not the
// number pad's), and a key release.
inline constexpr std::uint32_t KeyFlagExtended = 0x01;
inline constexpr std::uint32_t KeyFlagUp = 0x80;

// The four keyboard messages the filter looks at; every other message passes untouched.
inline constexpr std::uint32_t MsgKeyDown = 256;
inline constexpr std::uint32_t MsgKeyUp = 257;
inline constexpr std::uint32_t MsgSysKeyDown = 260;
inline constexpr std::uint32_t MsgSysKeyUp = 261;

constexpr bool IsKeyboardMessage(std::uint32_t message) {
  return message == MsgKeyDown || message == MsgKeyUp || message == MsgSysKeyDown ||
         message == MsgSysKeyUp;
}

// A set of virtual-key codes 0..255 as 256 bits; codes above 255 are never members.
class VkSet {
 public:
  struct Range {
    std::uint32_t first, last;  // inclusive
  };
  constexpr VkSet(std::initializer_list<Range> ranges) {
    for (const Range& r : ranges)
      for (std::uint32_t vk = r.first; vk <= r.last && vk < 256; ++vk)
        words_[vk >> 6] |= std::uint64_t{1} << (vk & 63);
  }
  constexpr bool Contains(std::uint32_t vk) const {
    return vk < 256 && ((words_[vk >> 6] >> (vk & 63)) & 1u) != 0;
  }

 private:
  std::array<std::uint64_t, 4> words_{};
};

// The keys that pass while window control keys are blocked (mode 1): typing, navigation,
// function keys, Shift, and the volume keys.
inline constexpr VkSet BlockWinCtrlAllowed{
    {65, 90},   {48, 57},   {96, 105},  {112, 123}, {32, 40},   {45, 46},
    {186, 192}, {219, 222}, {106, 107}, {109, 109}, {111, 111}, {160, 161},
    {13, 13},   {9, 9},     {8, 8},     {20, 20},   {173, 175}, {27, 27}};

// The keys that pass in allow-only mode (mode 4).
inline constexpr VkSet AllowOnlyAllowed{{VkSpace, VkPageDown}, {VkVolumeMute, VkVolumeUp}};

// Records the state of the modifier keys (Alt, Ctrl, Shift; left and right) from an event;
// runs for every event in every mode. eventTime is the event's own time stamp.
constexpr void UpdateAltState(LockState& lock, std::uint32_t vkCode, bool keyDown,
                              std::uint32_t eventTime = 0) {
  if (vkCode == VkLeftAlt) {
    lock.LeftAltDown = keyDown;
    if (keyDown) lock.LeftAltDownTime = eventTime;
  } else if (vkCode == VkRightAlt) {
    lock.RightAltDown = keyDown;
    if (keyDown) lock.RightAltDownTime = eventTime;
  } else if (vkCode >= VkLeftShift && vkCode <= VkRightCtrl) {
    // 160..163 are left Shift, right Shift, left Ctrl, right Ctrl: bits 2, 3, 0, 1.
    const unsigned bit = (vkCode - VkLeftShift + 2) % 4;
    lock.CtrlShiftDown = static_cast<std::uint8_t>(keyDown ? lock.CtrlShiftDown | (1u << bit)
                                                           : lock.CtrlShiftDown & ~(1u << bit));
    if (keyDown) lock.CtrlShiftDownTime[bit] = eventTime;
  }
}

// A held key repeats its key-down at least this often (the longest repeat delay a keyboard
// can be set to is one second), so a modifier key-down older than this, with nothing since,
// belongs to a key whose release the filter never saw: a hook gets no events while the
// secure desktop is up, and none that arrive while it has run out of time.
inline constexpr std::uint32_t AltHeldFreshMs = 1500;

// Forgets a modifier key whose latest key-down is older than AltHeldFreshMs at eventTime
// (the time stamp of any key-down), so that a missed release can never turn a bare key into
// a key sequence, nor keep the modes that swallow keys while Alt is down swallowing
// everything. Unsigned arithmetic: right across the 49.7-day wrap.
constexpr void ExpireAltState(LockState& lock, std::uint32_t eventTime) {
  if (lock.LeftAltDown && eventTime - lock.LeftAltDownTime > AltHeldFreshMs)
    lock.LeftAltDown = false;
  if (lock.RightAltDown && eventTime - lock.RightAltDownTime > AltHeldFreshMs)
    lock.RightAltDown = false;
  for (unsigned bit = 0; bit < 4; ++bit)
    if ((lock.CtrlShiftDown >> bit & 1u) &&
        eventTime - lock.CtrlShiftDownTime[bit] > AltHeldFreshMs)
      lock.CtrlShiftDown = static_cast<std::uint8_t>(lock.CtrlShiftDown & ~(1u << bit));
}

// Marks every modifier key that is down as seen at eventTime: while a key pressed after them
// repeats, they are still held (a keyboard repeats only the last key pressed).
constexpr void RefreshHeldModifiers(LockState& lock, std::uint32_t eventTime) {
  if (lock.LeftAltDown) lock.LeftAltDownTime = eventTime;
  if (lock.RightAltDown) lock.RightAltDownTime = eventTime;
  for (unsigned bit = 0; bit < 4; ++bit)
    if (lock.CtrlShiftDown >> bit & 1u) lock.CtrlShiftDownTime[bit] = eventTime;
}

// The modifiers held now, as key-sequence bits (kModCtrl, kModAlt, kModShift).
constexpr std::uint8_t HeldModifiers(const LockState& lock) {
  return static_cast<std::uint8_t>(((lock.CtrlShiftDown & 3u) ? kModCtrl : 0) |
                                   (lock.LeftAltDown || lock.RightAltDown ? kModAlt : 0) |
                                   ((lock.CtrlShiftDown & 12u) ? kModShift : 0));
}

// A key-down of the sequence's key with (at least) its modifiers held.
constexpr bool IsSequence(const KeySequence& seq, std::uint32_t vk, bool keyDown,
                          std::uint8_t mods) {
  return keyDown && vk == seq.vk && (mods & seq.modifiers) == seq.modifiers;
}

struct KeyOutcome {
  KeyDecision decision;
  std::uint32_t LastKeyDown = 0;

  bool operator==(const KeyOutcome&) const = default;
};

namespace detail {

constexpr KeyOutcome Pass(std::uint32_t last, FilterAction a = FilterAction::None) {
  return {{false, false, a}, last};
}
constexpr KeyOutcome Swallow(std::uint32_t last, bool cue = false,
                             FilterAction a = FilterAction::None) {
  return {{true, cue, a}, last};
}

// Modes 1 and 4 share everything but their allow-list and the actions of the sequences.
constexpr KeyOutcome DecideFiltered(std::uint32_t vk, bool keyDown, bool altHeld, bool lockSeq,
                                    bool unlockSeq, std::uint32_t lastKeyDown, bool stopARKeys,
                                    const VkSet& allowed, FilterAction onLock,
                                    FilterAction onUnlock) {
  const std::uint32_t last = keyDown ? vk : 0;
  // The sequences first: a held unlock sequence acts at an autorepeat.
  if (lockSeq) return Swallow(last, false, onLock);
  if (unlockSeq) return Swallow(last, false, onUnlock);
  if (keyDown && vk == lastKeyDown && stopARKeys) return Swallow(lastKeyDown);
  if (altHeld) return Swallow(last);
  if (allowed.Contains(vk)) return Pass(last);
  return Swallow(last, keyDown);
}

}  // namespace detail

// Decides one key event. mods are the modifiers held after this event's own update
// (HeldModifiers). passthru() answers whether the foreground window has the pass-through
// class; it is called only in modes 0, 3 and 30, only when PassthruWCls is set, and only for
// the two key sequences (the one case where the answer changes the outcome).
template <class PassthruQuery>
constexpr KeyOutcome DecideKey(LockMode mode, std::uint32_t vk, bool keyDown, std::uint8_t mods,
                               std::uint32_t lastKeyDown, const Settings& settings,
                               PassthruQuery&& passthru) {
  using detail::Pass;
  using detail::Swallow;
  const bool altHeld = (mods & kModAlt) != 0;
  const bool lockSeq = IsSequence(settings.sequences.lock, vk, keyDown, mods);
  const bool unlockSeq = !lockSeq && IsSequence(settings.sequences.unlock, vk, keyDown, mods);
  const auto isPassthru = [&] {
    return (lockSeq || unlockSeq) && !settings.PassthruWCls.empty() &&
           static_cast<bool>(passthru());
  };

  switch (mode) {
    case ModeUnlocked:
      if (!lockSeq && !unlockSeq) return Pass(lastKeyDown);
      if (isPassthru()) return Pass(lastKeyDown);
      return Swallow(lastKeyDown, false, lockSeq ? FilterAction::LockAll : FilterAction::AutoLock);

    case ModeBlockWinCtrl:
      return detail::DecideFiltered(vk, keyDown, altHeld, lockSeq, unlockSeq, lastKeyDown,
                                    settings.StopARKeys, BlockWinCtrlAllowed,
                                    FilterAction::RestoreSpeedThenLockAll,
                                    FilterAction::RestoreSpeedThenAutoLock);

    case ModeLocked:
    case ModeLockedAuto:
      if (unlockSeq)
        return Swallow(lastKeyDown, false,
                       mode == ModeLocked ? FilterAction::Cancel : FilterAction::AutoLock);
      if (vk == VkLeftAlt || vk == VkRightAlt || vk == VkLeftCtrl || vk == VkRightCtrl)
        return Pass(lastKeyDown);
      return Swallow(lastKeyDown, keyDown);

    case ModeAutoLock:
    case ModeAutoLockSuspended:
      if (!keyDown) return Pass(lastKeyDown, FilterAction::RestartTimer);
      if (!lockSeq && !unlockSeq) return Pass(lastKeyDown);
      if (isPassthru()) return Pass(lastKeyDown);
      return Swallow(lastKeyDown, false, lockSeq ? FilterAction::LockAll : FilterAction::Cancel);

    case ModeAllowOnly:
      return detail::DecideFiltered(vk, keyDown, altHeld, lockSeq, unlockSeq, lastKeyDown,
                                    settings.StopARKeys, AllowOnlyAllowed, FilterAction::LockAll,
                                    FilterAction::AutoLock);

    case ModeEntryReq:
      if (unlockSeq) return Swallow(lastKeyDown, false, FilterAction::OpenEntryGate);
      return Pass(lastKeyDown);

    default: return Pass(lastKeyDown);
  }
}

// The same with the pass-through answer already known.
constexpr KeyOutcome DecideKey(LockMode mode, std::uint32_t vk, bool keyDown, std::uint8_t mods,
                               std::uint32_t lastKeyDown, const Settings& settings, bool passthru) {
  return DecideKey(mode, vk, keyDown, mods, lastKeyDown, settings, [passthru] { return passthru; });
}

}  // namespace hushkey
