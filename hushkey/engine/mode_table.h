// Everything that varies by mode, in one table: how a mode is asked for (command-line
// switches, the hand-off text, the start-mode option of the Run value), how it shows (tray
// picture, status text, highlighted button) and how much input it swallows. Switch parsing,
// the hand-off, the Run value, the tray, the status display and the help text read it; what
// a mode does with each key and click is its rows in the filters.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "hushkey/engine/lock_mode.h"

namespace hushkey {

enum class TrayIcon { Amber, Blank, Blocked, Blue, Green, Red };

enum class MainButton { AutoLock, LockAll, BlockWinCtrl, AllowOnly, Cancel, Exit };

// Colours as 0x00BBGGRR values.
using Colour = std::uint32_t;
inline constexpr Colour kColourOrange = 0x0080FF;
inline constexpr Colour kColourRed = 0x0000FF;
inline constexpr Colour kColourGreen = 0x00C000;

// The mode buttons' tool tips, which are also the status texts of their modes.
inline constexpr std::string_view kBlockWinCtrlText = "All window control keys disabled";
inline constexpr std::string_view kLockAllText =
    "All keys and mouse clicks disabled until reqd key seq pressed";
inline constexpr std::string_view kAllowOnlyText =
    "Allow only a few select keys (Space,PageUp,PageDown). This mode starts after a few "
    "seconds to give you time to select required window.";

// What the status display shows in a mode.
enum class StatusShown : std::uint8_t {
  Unchanged,  // the display stays as it is
  Text,       // the row's text (empty clears it)
  Autolock,   // the countdown, or why autolock is suspended
};

// The main window's command that enters a mode from a switch or a hand-off.
enum class ModeCommand : std::uint8_t {
  None,  // unlocked: the Cancel that comes first is all
  BlockWinCtrl,
  LockAll,
  LockReturningToAutolock,
  AutoLock,
  AllowOnly,
};

struct ModeRow {
  LockMode mode;
  std::string_view handOff;                  // its hand-off text; empty: not handed off
  std::array<std::string_view, 2> switches;  // its command-line switches (lower case)
  ModeCommand command;
  std::string_view runSwitch;     // as a start-mode option: the switch the Run value holds
  std::string_view startCaption;  // ... and its option button's caption
  std::string_view helpLine;      // its line in the help text's list of switches
  TrayIcon icon;
  StatusShown status;
  std::string_view statusText;
  std::optional<MainButton> highlight;
  Colour highlightColour;
  // How much input it swallows: for the moment a mode command moves between two modes, and
  // for what is kept off while keys are filtered (2 and up).
  std::uint8_t strictness;
};

// The start-mode options come first, in the order of the options dialog and the help text.
inline constexpr std::array<ModeRow, 10> kModeTable{{
    {ModeBlockWinCtrl,
     "1",
     {"/blockwin"},
     ModeCommand::BlockWinCtrl,
     "/BlockWin",
     "Block window control keys mode  [/blockwin]",
     "/BlockWin  - block window control keys (has associated autorepeat keys and mouse "
     "control opts)",
     TrayIcon::Amber,
     StatusShown::Text,
     kBlockWinCtrlText,
     MainButton::BlockWinCtrl,
     kColourOrange,
     2},
    {ModeLocked,
     "2",
     {"/lock", "/locked"},
     ModeCommand::LockAll,
     "/Locked",
     "System locked mode  [/lock]",
     "/Lock      - system locked (unlocking from this will not take you an autolock state)",
     TrayIcon::Red,
     StatusShown::Text,
     kLockAllText,
     MainButton::LockAll,
     kColourRed,
     4},
    {ModeLockedAuto,
     "20",
     {"/autolockl"},
     ModeCommand::LockReturningToAutolock,
     "/AutoLockL",
     "Autolock mode (initially set locked)  [/autolockl]",
     "/AutoLockL - autolock mode (initially set locked)",
     TrayIcon::Red,
     StatusShown::Text,
     kLockAllText,
     MainButton::LockAll,
     kColourRed,
     4},
    {ModeAutoLock,
     "3",
     {"/autolocku"},
     ModeCommand::AutoLock,
     "/AutoLockU",
     "Autolock mode (initially set unlocked)  [/autolocku]",
     "/AutoLockU - autolock mode (initially set unlocked)",
     TrayIcon::Green,
     StatusShown::Autolock,
     "",
     MainButton::AutoLock,
     kColourGreen,
     1},
    {ModeUnlocked,
     "0",
     {"/unlock", "/unlocked"},
     ModeCommand::None,
     "/Unlocked",
     "Unlocked (just go to tray)  [/unlocked]",
     "/Unlocked  - unlocked, just hide in the system tray",
     TrayIcon::Blank,
     StatusShown::Text,
     "",
     std::nullopt,
     0,
     0},
    {ModeAutoLockSuspended,
     "",
     {},
     ModeCommand::None,
     "",
     "",
     "",
     TrayIcon::Blue,
     StatusShown::Autolock,
     "",
     MainButton::AutoLock,
     kColourGreen,
     1},
    {ModeAllowOnly,
     "4",
     {"/allowonly"},
     ModeCommand::AllowOnly,
     "",
     "",
     "",
     TrayIcon::Amber,
     StatusShown::Text,
     kAllowOnlyText,
     MainButton::AllowOnly,
     kColourOrange,
     3},
    {ModeEntryReq,
     "",
     {},
     ModeCommand::None,
     "",
     "",
     "",
     TrayIcon::Blank,
     StatusShown::Unchanged,
     "",
     std::nullopt,
     0,
     0},
    {StartRequestShow,
     "-1",
     {"/show"},
     ModeCommand::None,
     "",
     "",
     "",
     TrayIcon::Blank,
     StatusShown::Unchanged,
     "",
     std::nullopt,
     0,
     0},
    {StartRequestUnload,
     "-3",
     {"/unload"},
     ModeCommand::None,
     "",
     "",
     "",
     TrayIcon::Blank,
     StatusShown::Unchanged,
     "",
     std::nullopt,
     0,
     0},
}};

// The row of a mode; nullptr for a code outside the table.
constexpr const ModeRow* RowOf(LockMode mode) {
  for (const ModeRow& row : kModeTable)
    if (row.mode == mode) return &row;
  return nullptr;
}

constexpr int Strictness(LockMode mode) {
  const ModeRow* row = RowOf(mode);
  return row ? row->strictness : 0;
}

// While keys are swallowed or filtered (block-window-control and stricter).
constexpr bool FiltersKeys(LockMode mode) { return Strictness(mode) >= 2; }

// The start-mode options of the Run value and the options dialog, by option index.
inline constexpr int kStartModeCount = 5;
constexpr const ModeRow& StartModeRow(int option) { return kModeTable[option]; }
static_assert([] {
  for (int i = 0; i < kStartModeCount; ++i)
    if (StartModeRow(i).runSwitch.empty()) return false;
  return kModeTable[kStartModeCount].runSwitch.empty();
}());

}  // namespace hushkey
