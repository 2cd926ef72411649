#include "hushkey/engine/message_dispatch_win32.h"

#include <algorithm>
#include <vector>

namespace hushkey {
namespace {

std::vector<HWND> g_dialogWindows;

}  // namespace

void AddDialogWindow(HWND window) {
  if (window &&
      std::find(g_dialogWindows.begin(), g_dialogWindows.end(), window) == g_dialogWindows.end())
    g_dialogWindows.push_back(window);
}

void RemoveDialogWindow(HWND window) { std::erase(g_dialogWindows, window); }

void DispatchThreadMessage(MSG& msg) {
  for (HWND dialog : g_dialogWindows) {
    if (IsDialogMessageW(dialog, &msg)) return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    DispatchThreadMessage(msg);
  }
  return true;
}

}  // namespace hushkey
