#include "hushkey/engine/hooks_win32.h"

#include <algorithm>

#include "hushkey/engine/unique_handle_win32.h"

namespace hushkey {
namespace {

using UniqueHook = UniqueHandle<HHOOK, &UnhookWindowsHookEx>;

FilterContext* g_filterContext = nullptr;
UniqueHook g_keyboardHook;
UniqueHook g_mouseHook;
int g_hookDepth = 0;
std::uint32_t g_longestKeyboardMicros = 0;
std::uint32_t g_longestMouseMicros = 0;

bool Install(UniqueHook& hook, int type, HOOKPROC proc) {
  if (!hook) hook.reset(SetWindowsHookExW(type, proc, GetModuleHandleW(nullptr), 0));
  return static_cast<bool>(hook);
}

// Marks a hook call (they nest when a mode command pumps messages) and keeps the longest.
class HookCall {
 public:
  explicit HookCall(std::uint32_t& longest) : longest_(longest) {
    ++g_hookDepth;
    QueryPerformanceCounter(&start_);
  }
  ~HookCall() {
    LARGE_INTEGER end, freq;
    QueryPerformanceCounter(&end);
    QueryPerformanceFrequency(&freq);
    const auto micros = static_cast<std::uint32_t>(
        std::min<LONGLONG>((end.QuadPart - start_.QuadPart) * 1000000 / freq.QuadPart, 0xFFFFFFFF));
    longest_ = std::max(longest_, micros);
    --g_hookDepth;
  }
  HookCall(const HookCall&) = delete;
  HookCall& operator=(const HookCall&) = delete;

 private:
  std::uint32_t& longest_;
  LARGE_INTEGER start_;
};

}  // namespace

void SetFilterContext(FilterContext* ctx) { g_filterContext = ctx; }

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (g_filterContext != nullptr && code == HC_ACTION && lParam != 0) {
    HookCall call(g_longestKeyboardMicros);
    const auto& ev = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (FilterKeyEvent(*g_filterContext, code, static_cast<std::uint32_t>(wParam), ev.vkCode,
                       ev.flags, ev.time))
      return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (g_filterContext != nullptr) {
    HookCall call(g_longestMouseMicros);
    if (FilterMouseEvent(*g_filterContext, code, static_cast<std::uint32_t>(wParam))) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool InstallKeyboardHook() { return Install(g_keyboardHook, WH_KEYBOARD_LL, &KeyboardHookProc); }
bool InstallMouseHook() { return Install(g_mouseHook, WH_MOUSE_LL, &MouseHookProc); }
void RemoveKeyboardHook() { g_keyboardHook.reset(); }
void RemoveMouseHook() { g_mouseHook.reset(); }

HHOOK KeyboardHookHandle() { return g_keyboardHook.get(); }
HHOOK MouseHookHandle() { return g_mouseHook.get(); }

bool InsideInputHook() { return g_hookDepth > 0; }

std::uint32_t LongestHookCallMicros(bool keyboard) {
  return keyboard ? g_longestKeyboardMicros : g_longestMouseMicros;
}

}  // namespace hushkey
