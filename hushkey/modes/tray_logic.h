// Which tray icon shows which mode, the tooltip as the tray record can hold it, and the
// texts that tell how to unlock.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "hushkey/engine/lock_mode.h"
#include "hushkey/modes/main_ports.h"

namespace hushkey {

// Amber for 1 and 4, Red for 2 and 20, Green for 3, Blue for 30, Blank for anything else.
TrayIcon IconForMode(LockMode mode);

// The tray's tooltip field holds 128 UTF-16 units including the terminating NUL.
inline constexpr std::size_t kTrayTipMaxUnits = 127;

// The longest prefix of `text` (UTF-8) that fits in `maxUnits` UTF-16 units, never cutting
// a character in two: a character beyond U+FFFF takes two units. A byte that does not start
// a valid UTF-8 sequence counts as one unit (it becomes one replacement character when the
// text is converted).
std::string CutTrayTip(std::string_view text, std::size_t maxUnits = kTrayTipMaxUnits);

// The tray icon's tooltip, never empty: "Hushkey – " and the status text; "Hushkey –
// unlocked" in mode 0 with no status; "Hushkey" alone otherwise. Cut to what the tray holds.
std::string TrayTip(LockMode mode, std::string_view status);

// The notification shown when the desktop becomes locked, naming the keys that unlock it and,
// in mode 20, what they return to; empty in modes that do not lock.
std::string LockNotice(LockMode mode, std::string_view unlockKeys = "Alt+Home");

// The line the dimmed input cover shows while the desktop is locked.
std::string CoverText(std::string_view unlockKeys = "Alt+Home");

}  // namespace hushkey
