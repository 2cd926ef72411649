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
  std::string_view handOff{};                  // its hand-off text; empty: not handed off
  std::array<std::string_view, 2> switches{};  // its command-line switches (lower case)
  ModeCommand command = ModeCommand::None;
  std::string_view runSwitch{};     // as a start-mode option: the switch the Run value holds
  std::string_view startCaption{};  // ... and its option button's caption
  std::string_view helpLine{};      // its line in the help text's list of switches
  TrayIcon icon = TrayIcon::Blank;
  StatusShown status = StatusShown::Unchanged;
  std::string_view statusText{};
  std::optional<MainButton> highlight{};
  Colour highlightColour = 0;
  // How much input it swallows: for the moment a mode command moves between two modes, and
  // for what is kept off while keys are filtered (2 and up).
  std::uint8_t strictness = 0;
};

// The start-mode options come first, in the order of the options dialog and the help text.
// clang-format off
inline constexpr std::array<ModeRow, 10> kModeTable{{
    {.mode = ModeBlockWinCtrl, .handOff = "1", .switches = {"/blockwin"},
     .command = ModeCommand::BlockWinCtrl, .runSwitch = "/BlockWin",
     .startCaption = "Block window control keys mode  [/blockwin]",
     .helpLine = "/BlockWin  - block window control keys (has associated autorepeat keys and "
                 "mouse control opts)",
     .icon = TrayIcon::Amber, .status = StatusShown::Text, .statusText = kBlockWinCtrlText,
     .highlight = MainButton::BlockWinCtrl, .highlightColour = kColourOrange, .strictness = 2},
    {.mode = ModeLocked, .handOff = "2", .switches = {"/lock", "/locked"},
     .command = ModeCommand::LockAll, .runSwitch = "/Locked",
     .startCaption = "System locked mode  [/lock]",
     .helpLine = "/Lock      - system locked (unlocking from this will not take you an autolock "
                 "state)",
     .icon = TrayIcon::Red, .status = StatusShown::Text, .statusText = kLockAllText,
     .highlight = MainButton::LockAll, .highlightColour = kColourRed, .strictness = 4},
    {.mode = ModeLockedAuto, .handOff = "20", .switches = {"/autolockl"},
     .command = ModeCommand::LockReturningToAutolock, .runSwitch = "/AutoLockL",
     .startCaption = "Autolock mode (initially set locked)  [/autolockl]",
     .helpLine = "/AutoLockL - autolock mode (initially set locked)",
     .icon = TrayIcon::Red, .status = StatusShown::Text, .statusText = kLockAllText,
     .highlight = MainButton::LockAll, .highlightColour = kColourRed, .strictness = 4},
    {.mode = ModeAutoLock, .handOff = "3", .switches = {"/autolocku"},
     .command = ModeCommand::AutoLock, .runSwitch = "/AutoLockU",
     .startCaption = "Autolock mode (initially set unlocked)  [/autolocku]",
     .helpLine = "/AutoLockU - autolock mode (initially set unlocked)",
     .icon = TrayIcon::Green, .status = StatusShown::Autolock,
     .highlight = MainButton::AutoLock, .highlightColour = kColourGreen, .strictness = 1},
    {.mode = ModeUnlocked, .handOff = "0", .switches = {"/unlock", "/unlocked"},
     .runSwitch = "/Unlocked", .startCaption = "Unlocked (just go to tray)  [/unlocked]",
     .helpLine = "/Unlocked  - unlocked, just hide in the system tray",
     .status = StatusShown::Text},
    {.mode = ModeAutoLockSuspended,
     .icon = TrayIcon::Blue, .status = StatusShown::Autolock,
     .highlight = MainButton::AutoLock, .highlightColour = kColourGreen, .strictness = 1},
    {.mode = ModeAllowOnly, .handOff = "4", .switches = {"/allowonly"},
     .command = ModeCommand::AllowOnly,
     .icon = TrayIcon::Amber, .status = StatusShown::Text, .statusText = kAllowOnlyText,
     .highlight = MainButton::AllowOnly, .highlightColour = kColourOrange, .strictness = 3},
    {.mode = ModeEntryReq},
    {.mode = StartRequestShow, .handOff = "-1", .switches = {"/show"}},
    {.mode = StartRequestUnload, .handOff = "-3", .switches = {"/unload"}},
}};
// clang-format on

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
