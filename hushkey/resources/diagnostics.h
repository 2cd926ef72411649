// What the main window tells a program that asks about figures it does not show: the
// end-to-end tests send HK_MSG_DIAGNOSTIC (resource_ids.h) with one of these in wParam, and
// the answer is the figure (0 for a question it does not know).
#pragma once

#include "hushkey/resources/resource_ids.h"

namespace hushkey {

enum class Diagnostic : unsigned {
  // The longest time one call of the keyboard (mouse) hook procedure took, in microseconds.
  LongestKeyboardHookCallMicros,
  LongestMouseHookCallMicros,
  // The longest time a keyboard (mouse) event waited between its time stamp and reaching
  // the hook, in milliseconds.
  LongestKeyboardEventWaitMs,
  LongestMouseEventWaitMs,
  // 1 while the tray and pointer flash shows the blocked picture, else 0.
  FlashShowing,
  // How often the blocked picture was put up since start-up.
  FlashesShown,
  // How often the hook watchdog installed the hooks again.
  HookReinstalls,
  // How often the tray icon was added (start-up, taskbar re-creation).
  TrayIconAdds,
  // 1 while a mode command is under way (its status text may already show the new mode while
  // the filters still decide with the stricter of the two), else 0.
  CommandRunning,
  // The input cover's window while it is shown; else 0.
  InputCoverWindow,
};

}  // namespace hushkey
