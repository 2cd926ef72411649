// The two global low-level input hooks. Windows calls them on the installing thread through
// its message loop; they reach the program through the one filter context set here.
#pragma once

#include <windows.h>

#include "hushkey/engine/filter_step.h"

namespace hushkey {

// The program's filter context; null (the start) makes both hooks pass everything.
void SetFilterContext(FilterContext* ctx);

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam);

// Each does nothing when its hook is already installed. A failed installation leaves the
// handle empty: that filter then does not run.
void InstallKeyboardHook();
void InstallMouseHook();
// Each does nothing when its hook is not installed; afterwards the handle is empty.
void RemoveKeyboardHook();
void RemoveMouseHook();

HHOOK KeyboardHookHandle();
HHOOK MouseHookHandle();

}  // namespace hushkey
