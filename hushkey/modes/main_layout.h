// The main window's controls as the window is built from them: one table of positions (in
// twips, client coordinates), captions with their access keys, and design-time tool tips.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "hushkey/engine/settings_record.h"
#include "hushkey/modes/main_ports.h"

namespace hushkey {

inline constexpr std::int32_t kMainClientWidthTwips = 4650;
inline constexpr std::int32_t kMainClientHeightTwips = 3795;

// The highlight frame behind the active mode's button: 90 twips wider than the button on
// each side and 85 twips taller above and below.
inline constexpr std::int32_t kHighlightWidthTwips = 1395;
inline constexpr std::int32_t kHighlightHeightTwips = 605;
inline constexpr std::int32_t kHighlightLeftMarginTwips = 90;
inline constexpr std::int32_t kHighlightTopMarginTwips = 85;

enum class MainControlKind { Button, Label };

struct MainControl {
  std::string_view name;  // the control's name, e.g. "cmdLockAll"
  MainControlKind kind;
  std::optional<MainButton> button;  // set for buttons
  TwipsRect rect;
  std::string_view caption;  // "&" marks the access key
  std::string_view toolTip;  // design-time tool tip; empty when none
};

// In creation (tab) order: cmdAutoLock, cmdLockAll, cmdBlockWinCtrl, cmdAllowOnly, lblMsg,
// cmdCancel, cmdExit.
std::span<const MainControl> MainWindowControls();

const MainControl& ControlFor(MainButton button);

// Where the highlight frame goes to surround `button`.
TwipsRect HighlightRectFor(MainButton button);

// Status texts while autolock is suspended, by the condition that holds.
inline constexpr std::string_view kSuspendedDayTimeText = "Autolock suspended (day/time setting)";
inline constexpr std::string_view kSuspendedIpText = "Autolock suspended (IP address)";
inline constexpr std::string_view kSuspendedFileText = "Autolock suspended (File check)";

// The suspension text of a condition; empty for a code that selects none.
constexpr std::string_view SuspendedText(DontLockIfCondition condition) {
  switch (condition) {
    case DontLockIfCondition::DayTime: return kSuspendedDayTimeText;
    case DontLockIfCondition::IpAddress: return kSuspendedIpText;
    case DontLockIfCondition::FileExists: return kSuspendedFileText;
  }
  return {};
}

}  // namespace hushkey
