#include "hushkey/engine/deferred_work_win32.h"

#include <windows.h>

#include <deque>
#include <utility>

#include "hushkey/engine/hooks_win32.h"
#include "win32/window_win32.h"

namespace hushkey {
namespace {

constexpr wchar_t kClassName[] = L"HushkeyDeferredWork";
constexpr UINT kRunQueued = WM_APP;

std::deque<std::function<void()>> g_queue;
HWND g_window = nullptr;

LRESULT CALLBACK DeferredWorkProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg != kRunQueued) return DefWindowProcW(w, msg, wp, lp);
  // Work that queues more work (it cannot, outside a hook call) would be run here too.
  while (!g_queue.empty()) {
    std::function<void()> work = std::move(g_queue.front());
    g_queue.pop_front();
    work();
  }
  return 0;
}

// A message-only window of this thread that receives the "run the queue" message.
HWND QueueWindow() {
  if (g_window && IsWindow(g_window)) return g_window;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = DeferredWorkProc;
  wc.lpszClassName = kClassName;
  if (!win32::EnsureWindowClass(wc, instance)) return nullptr;
  g_window =
      CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  return g_window;
}

}  // namespace

void RunOutsideInputHook(std::function<void()> work) {
  if (!work) return;
  if (!InsideInputHook()) {
    work();
    return;
  }
  HWND window = QueueWindow();
  if (!window) {
    work();  // nowhere to queue it: better late in the hook than never
    return;
  }
  g_queue.push_back(std::move(work));
  if (g_queue.size() == 1) PostMessageW(window, kRunQueued, 0, 0);
}

void DiscardDeferredWork() { g_queue.clear(); }

void DeferredApply::Request() {
  if (queued_) return;
  queued_ = true;
  RunOutsideInputHook([this, alive = alive_] {
    if (!*alive) return;
    queued_ = false;
    apply_();
  });
}

}  // namespace hushkey
