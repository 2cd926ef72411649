// The one table of settings keys. Every reader of the store (the settings load, the
// don't-lock-if check, the options dialog) takes the key name, text form and default from
// here, so a key's spelling and default exist in exactly one place.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace hushkey {

// Where the store lives: the program's title as application name, one section.
inline constexpr std::string_view kSettingsAppName = "Hushkey";
inline constexpr std::string_view kSettingsSection = "Settings";

// How a value is written as text.
enum class SettingForm {
  Flag,     // "1" / "0"; read as a number, 0 off and any other number on
  Integer,  // decimal whole number
  Number,   // decimal number, a fraction allowed ("1.5")
  Text,     // stored as entered, no trimming
  Time,     // a time of day ("08:00", "8:00 PM") or empty; see time_text.h
  DayMask,  // seven characters Monday..Sunday, "X" marks a day
};

// Which in-memory field of Settings the key is loaded into, if any.
enum class SettingMemory { None, Flag, Int32, Int16, Text, Float };

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
  Count
};

struct SettingKey {
  SettingId id;
  std::string_view key;  // value name in the store
  SettingForm form;
  std::string_view defaultText;  // text returned for a missing key
  SettingMemory memory;          // SettingMemory::None: read from the store when needed
  // MouseSpd has no fixed default: a missing key means the mouse speed recorded at
  // start-up. defaultText is empty for it and must not be used.
  bool defaultIsOrigMouseSpeed = false;
};

inline constexpr std::size_t kSettingCount = static_cast<std::size_t>(SettingId::Count);

// Rows are in SettingId order (checked at compile time below).
inline constexpr std::array<SettingKey, kSettingCount> kSettingKeys{{
    {SettingId::StopARKeys, "StopARKeys", SettingForm::Flag, "1", SettingMemory::Flag},
    {SettingId::SetMouseSpd, "SetMouseSpd", SettingForm::Flag, "1", SettingMemory::Flag},
    {SettingId::MouseSpd, "MouseSpd", SettingForm::Integer, "", SettingMemory::Int32, true},
    {SettingId::UseScrnSvr, "UseScrnSvr", SettingForm::Flag, "0", SettingMemory::Flag},
    {SettingId::StopMouseMove, "StopMouseMove", SettingForm::Flag, "0", SettingMemory::Flag},
    {SettingId::Beep, "Beep", SettingForm::Flag, "1", SettingMemory::Flag},
    {SettingId::Flash, "Flash", SettingForm::Flag, "1", SettingMemory::Flag},
    {SettingId::AOMAllowMouse, "AOMAllowMouse", SettingForm::Flag, "0", SettingMemory::Flag},
    {SettingId::ShowLckUnlSeq, "ShowLckUnlSeq", SettingForm::Flag, "1", SettingMemory::Flag},
    {SettingId::DontLockIf, "DontLockIf", SettingForm::Flag, "0", SettingMemory::Flag},
    {SettingId::DontLockIfOpt, "DontLockIfOpt", SettingForm::Integer, "-1", SettingMemory::Int16},
    {SettingId::PassthruWCls, "PassthruWCls", SettingForm::Text, "", SettingMemory::Text},
    {SettingId::Timeout, "Timeout", SettingForm::Number, "10", SettingMemory::Float},
    {SettingId::DontLockIfStartTime, "DontLockIfStartTime", SettingForm::Time, "08:00",
     SettingMemory::None},
    {SettingId::DontLockIfEndTime, "DontLockIfEndTime", SettingForm::Time, "17:00",
     SettingMemory::None},
    {SettingId::DontLockIfDay, "DontLockIfDay", SettingForm::DayMask, "XXXXX  ",
     SettingMemory::None},
    {SettingId::DontLockIfIP, "DontLockIfIP", SettingForm::Text, "192.168.0.", SettingMemory::None},
    {SettingId::DontLockIfIPMatch, "DontLockIfIPMatch", SettingForm::Flag, "0",
     SettingMemory::None},
    {SettingId::DontLockIfFileExists, "DontLockIfFileExists", SettingForm::Text, "",
     SettingMemory::None},
    // The options dialog also reads this key with the default "3" to pick the start-mode
    // option (kStartWithWinModeDefault); "-1" is the default for "is it ticked".
    {SettingId::StartWithWin, "StartWithWin", SettingForm::Integer, "-1", SettingMemory::None},
}};

inline constexpr std::string_view kStartWithWinModeDefault = "3";

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
