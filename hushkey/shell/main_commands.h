// The mode command for a mode code, as the start-up and the hand-off from a second start
// run it.
#pragma once

#include "hushkey/modes/main_ports.h"

namespace hushkey {

// Runs the mode command for a mode code: 1 Block Win Ctrl, 2 Lock, 3 Auto Lock, 4 Allow
// Only, 20 Lock and then CurrentMode 20 (locked, returning to autolock on unlock). Answers
// false, and runs nothing, for any other code.
bool RunModeCommand(LockMode code, MainWindowCommandsPort& commands);

}  // namespace hushkey
