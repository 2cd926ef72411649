// Dispatching one message of this thread the same way everywhere it is done: the main
// loop, the pumping waits and the start-up pass. Keyboard messages for a registered dialog
// window go through the dialog manager first, so Tab and the access keys (Alt+C for
// Cancel) work inside a wait exactly as outside it.
#pragma once

#include <windows.h>

namespace hushkey {

// Windows whose keyboard navigation the dialog manager handles. A window is removed before
// it is destroyed.
void AddDialogWindow(HWND window);
void RemoveDialogWindow(HWND window);

// Translates and dispatches `msg`, through the dialog manager when it belongs to a
// registered window or one of its children.
void DispatchThreadMessage(MSG& msg);

// Dispatches every message pending now, without waiting for more. A quit request found on
// the way is put back for the main loop and ends the pass; the answer is then false.
bool DispatchPendingMessages();

}  // namespace hushkey
