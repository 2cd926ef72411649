#include "hushkey/engine/hooks_win32.h"

#include "hushkey/engine/unique_handle_win32.h"

namespace hushkey {
namespace {

using UniqueHook = UniqueHandle<HHOOK, &UnhookWindowsHookEx>;

FilterContext* g_filterContext = nullptr;
UniqueHook g_keyboardHook;
UniqueHook g_mouseHook;

void Install(UniqueHook& hook, int type, HOOKPROC proc) {
  if (!hook) hook.reset(SetWindowsHookExW(type, proc, GetModuleHandleW(nullptr), 0));
}

}  // namespace

void SetFilterContext(FilterContext* ctx) { g_filterContext = ctx; }

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (g_filterContext != nullptr && code == HC_ACTION && lParam != 0) {
    const auto& ev = *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (FilterKeyEvent(*g_filterContext, code, static_cast<std::uint32_t>(wParam), ev.vkCode,
                       ev.flags))
      return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
  if (g_filterContext != nullptr &&
      FilterMouseEvent(*g_filterContext, code, static_cast<std::uint32_t>(wParam)))
    return 1;
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void InstallKeyboardHook() { Install(g_keyboardHook, WH_KEYBOARD_LL, &KeyboardHookProc); }
void InstallMouseHook() { Install(g_mouseHook, WH_MOUSE_LL, &MouseHookProc); }
void RemoveKeyboardHook() { g_keyboardHook.reset(); }
void RemoveMouseHook() { g_mouseHook.reset(); }

HHOOK KeyboardHookHandle() { return g_keyboardHook.get(); }
HHOOK MouseHookHandle() { return g_mouseHook.get(); }

}  // namespace hushkey
