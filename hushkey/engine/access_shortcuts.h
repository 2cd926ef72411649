// The accessibility shortcuts (five Shift presses for Sticky Keys, a long right Shift for
// Filter Keys, a long Num Lock for Toggle Keys) open a prompt that takes the focus from
// the program in front. While the keys are filtered, the shortcuts of features the user has
// off are turned off too, the way full-screen games do it, and put back exactly afterwards.
// What was turned off is noted in a place that outlives the process first, so that a copy
// that was killed meanwhile is undone by the next start.
#pragma once

#include <cstdint>

#include "hushkey/engine/ports.h"

namespace hushkey {

// Bits of each feature's flags; the three features use the same two.
inline constexpr std::uint32_t AccessFeatureOn = 0x1;
inline constexpr std::uint32_t AccessHotkeyActive = 0x4;

// Turns off the shortcut of each feature that is off and has its shortcut on; does nothing
// when a note of an earlier change is still there. A feature whose flags cannot be read is
// left alone.
void SuppressAccessShortcuts(DesktopPort& desktop);

// Turns the shortcuts in the note back on (leaving every other flag as it is now) and
// clears the note. Nothing when there is no note.
void RestoreAccessShortcuts(DesktopPort& desktop);

}  // namespace hushkey
