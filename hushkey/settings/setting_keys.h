// The one table of settings keys. Every reader of the store (the settings load, the
// don't-lock-if check, the options dialog) takes the key name and default from
// here, so a key's spelling and default exist in exactly one place.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace hushkey {

// Where the store lives: the program's title as application name, one section.
inline constexpr std::string_view kSettingsAppName = "Hushkey";
inline constexpr std::string_view kSettingsSection = "Settings";

enum class SettingId : std::size_t {
  StopARKeys,
  SetMouseSpd,
  MouseSpd,
  UseScrnSvr,
  StopMouseMove,
  Beep,
  Flash,
  AOMAllowMouse,
  ShowLckUnlSeq,
  DontLockIf,
  DontLockIfOpt,
  PassthruWCls,
  Timeout,
  DontLockIfStartTime,
  DontLockIfEndTime,
  DontLockIfDay,
  DontLockIfIP,
  DontLockIfIPMatch,
  DontLockIfFileExists,
  StartWithWin,
  LockKeySeq,
  UnlockKeySeq,
  UnlockHoldMs,
  UnlockWordHash,
  BlockTouch,
  DimWhenLocked,
  Count
};

struct SettingKey {
  SettingId id;
  std::string_view key;          // value name in the store
  std::string_view defaultText;  // text returned for a missing key
  // MouseSpd has no fixed default: a missing key means the mouse speed recorded at
  // start-up. defaultText is empty for it and must not be used.
  bool defaultIsOrigMouseSpeed = false;
};

inline constexpr std::size_t kSettingCount = static_cast<std::size_t>(SettingId::Count);

// Rows are in SettingId order (checked at compile time below).
inline constexpr std::array<SettingKey, kSettingCount> kSettingKeys{{
    {SettingId::StopARKeys, "StopARKeys", "1"},
    {SettingId::SetMouseSpd, "SetMouseSpd", "1"},
    {SettingId::MouseSpd, "MouseSpd", "", true},
    {SettingId::UseScrnSvr, "UseScrnSvr", "0"},
    {SettingId::StopMouseMove, "StopMouseMove", "0"},
    {SettingId::Beep, "Beep", "1"},
    {SettingId::Flash, "Flash", "1"},
    {SettingId::AOMAllowMouse, "AOMAllowMouse", "0"},
    {SettingId::ShowLckUnlSeq, "ShowLckUnlSeq", "1"},
    {SettingId::DontLockIf, "DontLockIf", "0"},
    {SettingId::DontLockIfOpt, "DontLockIfOpt", "-1"},
    {SettingId::PassthruWCls, "PassthruWCls", ""},
    {SettingId::Timeout, "Timeout", "10"},
    {SettingId::DontLockIfStartTime, "DontLockIfStartTime", "08:00"},
    {SettingId::DontLockIfEndTime, "DontLockIfEndTime", "17:00"},
    {SettingId::DontLockIfDay, "DontLockIfDay", "XXXXX  "},
    {SettingId::DontLockIfIP, "DontLockIfIP", "192.168.0."},
    {SettingId::DontLockIfIPMatch, "DontLockIfIPMatch", "0"},
    {SettingId::DontLockIfFileExists, "DontLockIfFileExists", ""},
    // "-1" is the default for "is it ticked"; the options dialog picks the start-mode option
    // kDefaultStartMode when none is stored.
    {SettingId::StartWithWin, "StartWithWin", "-1"},
    // The key sequences as text ("Ctrl+Alt+U"); how long the unlock one must be held, in
    // milliseconds; the unlock word's salted hash (empty: no word).
    {SettingId::LockKeySeq, "LockKeySeq", "Alt+End"},
    {SettingId::UnlockKeySeq, "UnlockKeySeq", "Alt+Home"},
    {SettingId::UnlockHoldMs, "UnlockHoldMs", "0"},
    {SettingId::UnlockWordHash, "UnlockWordHash", ""},
    // While locked: a cover that takes touch and pen input; that cover as a visible veil.
    {SettingId::BlockTouch, "BlockTouch", "1"},
    {SettingId::DimWhenLocked, "DimWhenLocked", "0"},
}};

constexpr const SettingKey& KeyOf(SettingId id) {
  return kSettingKeys[static_cast<std::size_t>(id)];
}

namespace detail {
constexpr bool RowsInIdOrder() {
  for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
    if (static_cast<std::size_t>(kSettingKeys[i].id) != i) return false;
  }
  return true;
}
}  // namespace detail
static_assert(detail::RowsInIdOrder(), "kSettingKeys rows must follow SettingId order");

}  // namespace hushkey
