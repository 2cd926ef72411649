// The two global low-level input hooks. Windows calls them on the installing thread through
// its message loop; they reach the program through the one filter context set here.
#pragma once

#include <windows.h>

#include <cstdint>

#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/hook_watchdog.h"

namespace hushkey {

// The program's filter context; null (the start) makes both hooks pass everything.
void SetFilterContext(FilterContext* ctx);

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

// Each does nothing when its hook is already installed and answers true. A failed
// installation leaves the handle empty and answers false; GetLastError tells why.
bool InstallKeyboardHook();
bool InstallMouseHook();
// Each does nothing when its hook is not installed; afterwards the handle is empty.
void RemoveKeyboardHook();
void RemoveMouseHook();

HHOOK KeyboardHookHandle();
HHOOK MouseHookHandle();

// Removes both hooks (whatever the system still knows of them) and installs them again,
// keyboard before mouse. False when either is refused.
bool ReinstallHooks();

// How often the hooks were installed again since the program started.
int HookReinstalls();

// When each hook was last called: what tells that the system dropped one.
HookWatchdog& HooksWatchdog();

// True while one of the hook procedures runs (including whatever it calls). Windows gives
// a hook a short time per event: work that may wait on another process is put off until
// the procedure has returned.
bool InsideInputHook();

// The longest time one call of the keyboard (or mouse) hook procedure took, in
// microseconds, since the program started.
std::uint32_t LongestHookCallMicros(bool keyboard);

// The longest time a keyboard (or mouse) event waited between its time stamp and reaching
// the hook procedure, in milliseconds. The system passes an event on unfiltered when the
// hook thread does not answer in time, so this shows how close the program came to that.
std::uint32_t LongestHookWaitMs(bool keyboard);

}  // namespace hushkey
