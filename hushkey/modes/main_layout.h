// The main window's controls as the window is built from them: one table of positions (in
// twips, client coordinates), captions with their access keys, and design-time tool tips.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

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

// Highlight colours (0x00BBGGRR).
inline constexpr Colour kColourOrange = 0x0080FF;
inline constexpr Colour kColourRed = 0x0000FF;
inline constexpr Colour kColourGreen = 0x00C000;

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

// The mode buttons' tool tips, which are also the status texts of their modes.
inline constexpr std::string_view kBlockWinCtrlText = "All window control keys disabled";
inline constexpr std::string_view kLockAllText =
    "All keys and mouse clicks disabled until reqd key seq pressed";
inline constexpr std::string_view kAllowOnlyText =
    "Allow only a few select keys (Space,PageUp,PageDown). This mode starts after a few "
    "seconds to give you time to select required window.";

// Status texts while autolock is suspended, by DontLockIfOpt 0, 1, 2.
inline constexpr std::string_view kSuspendedDayTimeText = "Autolock suspended (day/time setting)";
inline constexpr std::string_view kSuspendedIpText = "Autolock suspended (IP address)";
inline constexpr std::string_view kSuspendedFileText = "Autolock suspended (File check)";

}  // namespace hushkey
