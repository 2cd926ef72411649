#include "hushkey/engine/hooks_win32.h"

#include <algorithm>

#include "win32/handles_win32.h"

#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/mouse_filter.h"
#include "hushkey/engine/tick_wait.h"

namespace hushkey {

// The decision layer copies the platform's numbers; they must be the platform's.
static_assert(HookCodeAction == HC_ACTION);
static_assert(MsgKeyDown == WM_KEYDOWN && MsgKeyUp == WM_KEYUP && MsgSysKeyDown == WM_SYSKEYDOWN &&
              MsgSysKeyUp == WM_SYSKEYUP);
static_assert(KeyFlagUp == LLKHF_UP);
static_assert(MsgMouseMove == WM_MOUSEMOVE && MsgLButtonDown == WM_LBUTTONDOWN &&
              MsgRButtonDown == WM_RBUTTONDOWN && MsgMButtonDown == WM_MBUTTONDOWN);
static_assert(MsgLButtonUp == WM_LBUTTONUP && MsgRButtonUp == WM_RBUTTONUP &&
              MsgMButtonUp == WM_MBUTTONUP && MsgXButtonDown == WM_XBUTTONDOWN &&
              MsgXButtonUp == WM_XBUTTONUP && XBUTTON1 == 1 && XBUTTON2 == 2);
static_assert(VkEnd == VK_END && VkHome == VK_HOME && VkLeftAlt == VK_LMENU &&
              VkRightAlt == VK_RMENU && VkLeftCtrl == VK_LCONTROL && VkRightCtrl == VK_RCONTROL);
static_assert(VkSpace == VK_SPACE && VkPageUp == VK_PRIOR && VkPageDown == VK_NEXT &&
              VkVolumeMute == VK_VOLUME_MUTE && VkVolumeDown == VK_VOLUME_DOWN &&
              VkVolumeUp == VK_VOLUME_UP);

// The block-window-control allow-list by the platform's key names: typing, navigation,
// function keys F1-F12, Shift, Enter, Tab, Backspace, Caps Lock, Escape and the volume keys
// pass; the Windows and menu keys, Ctrl, Alt, the keypad point, the lock keys, Pause,
// Print Screen, F13 and up and the browser and launch keys do not.
template <class... Vk>
constexpr bool AllAllowed(Vk... vk) {
  return (BlockWinCtrlAllowed.Contains(vk) && ...);
}
template <class... Vk>
constexpr bool NoneAllowed(Vk... vk) {
  return (!BlockWinCtrlAllowed.Contains(vk) && ...);
}
static_assert(AllAllowed('A', 'Z', '0', '9', VK_NUMPAD0, VK_NUMPAD9, VK_F1, VK_F12, VK_SPACE,
                         VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN,
                         VK_INSERT, VK_DELETE, VK_OEM_1, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS,
                         VK_OEM_PERIOD, VK_OEM_2, VK_OEM_3, VK_OEM_4, VK_OEM_5, VK_OEM_6, VK_OEM_7,
                         VK_MULTIPLY, VK_ADD, VK_SUBTRACT, VK_DIVIDE, VK_LSHIFT, VK_RSHIFT,
                         VK_RETURN, VK_TAB, VK_BACK, VK_CAPITAL, VK_VOLUME_MUTE, VK_VOLUME_DOWN,
                         VK_VOLUME_UP, VK_ESCAPE));
static_assert(NoneAllowed(VK_LWIN, VK_RWIN, VK_APPS, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU,
                          VK_DECIMAL, VK_SEPARATOR, VK_NUMLOCK, VK_SCROLL, VK_PAUSE, VK_SNAPSHOT,
                          VK_F13, VK_F24, VK_BROWSER_BACK, VK_BROWSER_HOME, VK_MEDIA_NEXT_TRACK,
                          VK_LAUNCH_APP2, VK_OEM_8, VK_OEM_102));
static_assert(AllowOnlyAllowed.Contains(VK_SPACE) && AllowOnlyAllowed.Contains(VK_NEXT) &&
              !AllowOnlyAllowed.Contains(VK_TAB) && !AllowOnlyAllowed.Contains(VK_RETURN));

namespace {

using win32::UniqueHook;

FilterContext* g_filterContext = nullptr;
UniqueHook g_keyboardHook;
UniqueHook g_mouseHook;
int g_hookDepth = 0;
HookWatchdog g_watchdog;
int g_reinstalls = 0;
std::uint32_t g_longestKeyboardMicros = 0;
std::uint32_t g_longestMouseMicros = 0;
std::uint32_t g_longestKeyboardWaitMs = 0;
std::uint32_t g_longestMouseWaitMs = 0;

// Every hook call: the watchdog hears of it, and the wait since the event's time stamp is kept
// if it is the longest yet.
void NoteEvent(InputKind kind, std::uint32_t& longestWait, DWORD stamp) {
  const DWORD now = GetTickCount();
  g_watchdog.HookSaw(kind, now);
  if (TickLaterBy(stamp, now, longestWait)) longestWait = now - stamp;
}

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
    // Fixed while the system runs: read once.
    static const LONGLONG perSecond = [] {
      LARGE_INTEGER f;
      QueryPerformanceFrequency(&f);
      return f.QuadPart;
    }();
    LARGE_INTEGER end;
    QueryPerformanceCounter(&end);
    const auto micros = static_cast<std::uint32_t>(
        std::min<LONGLONG>((end.QuadPart - start_.QuadPart) * 1000000 / perSecond, 0xFFFFFFFF));
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
  if (code == HC_ACTION && lParam != 0)
    NoteEvent(InputKind::Keyboard, g_longestKeyboardWaitMs,
              reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->time);
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
  if (code == HC_ACTION && lParam != 0)
    NoteEvent(InputKind::Mouse, g_longestMouseWaitMs,
              reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->time);
  if (g_filterContext != nullptr) {
    HookCall call(g_longestMouseMicros);
    const DWORD mouseData =
        lParam != 0 ? reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->mouseData : 0;
    if (FilterMouseEvent(*g_filterContext, code, static_cast<std::uint32_t>(wParam), mouseData))
      return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool InstallKeyboardHook() { return Install(g_keyboardHook, WH_KEYBOARD_LL, &KeyboardHookProc); }
bool InstallMouseHook() { return Install(g_mouseHook, WH_MOUSE_LL, &MouseHookProc); }
void RemoveKeyboardHook() { g_keyboardHook.reset(); }
void RemoveMouseHook() { g_mouseHook.reset(); }

HHOOK KeyboardHookHandle() { return g_keyboardHook.get(); }
HHOOK MouseHookHandle() { return g_mouseHook.get(); }

bool ReinstallHooks() {
  RemoveKeyboardHook();
  RemoveMouseHook();
  const bool keyboard = InstallKeyboardHook();
  const bool mouse = InstallMouseHook();
  g_watchdog.Reinstalled(GetTickCount());
  ++g_reinstalls;
  return keyboard && mouse;
}

HookWatchdog& HooksWatchdog() { return g_watchdog; }

int HookReinstalls() { return g_reinstalls; }

bool InsideInputHook() { return g_hookDepth > 0; }

std::uint32_t LongestHookCallMicros(bool keyboard) {
  return keyboard ? g_longestKeyboardMicros : g_longestMouseMicros;
}

std::uint32_t LongestHookWaitMs(bool keyboard) {
  return keyboard ? g_longestKeyboardWaitMs : g_longestMouseWaitMs;
}

}  // namespace hushkey
