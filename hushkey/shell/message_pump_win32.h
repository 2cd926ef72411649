// Processing the messages already waiting in this thread's queue, once, without waiting
// for more: what the tray's first refresh and the start-up do between their steps.
#pragma once

#include <windows.h>

namespace hushkey {

// Dispatches every message pending now. Keyboard messages for `dialogWindow` (may be null)
// go through the dialog manager, as in the main loop. A WM_QUIT found on the way is put
// back for the main loop and ends the pass.
inline void PumpPendingMessages(HWND dialogWindow) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (dialogWindow && IsDialogMessageW(dialogWindow, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace hushkey
