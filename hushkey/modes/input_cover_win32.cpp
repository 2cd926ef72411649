#include "hushkey/modes/input_cover_win32.h"

#include <tpcshrd.h>

#include <algorithm>
#include <cstdint>

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/engine/hooks_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

// Pointer messages (Windows 8 and later; the build targets Windows 7): from the first
// non-client pointer update to the last routed-pointer message, and the activation query.
constexpr UINT kFirstPointerMessage = 0x0241;  // WM_NCPOINTERUPDATE
constexpr UINT kLastPointerMessage = 0x0253;   // WM_POINTERROUTEDRELEASED
constexpr UINT kPointerActivate = 0x024B;      // WM_POINTERACTIVATE
constexpr LRESULT kPointerNoActivate = 3;      // PA_NOACTIVATE
static_assert(WM_TOUCH == 0x0240 && WM_GESTURE == 0x0119);
// What a pen on the cover may not start (systems before pointer messages ask the window).
constexpr LRESULT kNoPenGestures = TABLET_DISABLE_PRESSANDHOLD | TABLET_DISABLE_PENTAPFEEDBACK |
                                   TABLET_DISABLE_PENBARRELFEEDBACK | TABLET_DISABLE_FLICKS;

constexpr BYTE kInvisibleAlpha = 1;         // hit-tested, yet nothing to see
constexpr std::uint32_t kVeilAlpha = 77;    // 30 % of 255: black at that opacity
constexpr std::uint32_t kPanelAlpha = 176;  // the darker panel under the text
constexpr int kCaptionPoints = 14;
constexpr UINT_PTR kRecheckTimer = 1;
// A window of which the system reported only the creation (some systems tell no more) is
// usually shown this soon after it.
constexpr UINT kRecheckMs = 250;

// The one cover, for the WinEvent callback.
InputCoverWin32* g_cover = nullptr;

RECT VirtualScreen() {
  const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
  return {x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN), y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

// The monitor's DPI (Windows 8.1 and later), else the system's.
UINT MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto getDpi = [] {
    HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0, y = 0;
  if (getDpi && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && y > 0) return y;
  return win32::WindowDpi(nullptr);
}

// No ripples, rings or press-and-hold squares where a finger or pen touches the cover
// (Windows 8 and later: the feedback kinds are numbered 1 to 11).
void TurnOffTouchFeedback(HWND cover) {
  using SetFeedbackFn = BOOL(WINAPI*)(HWND, int, DWORD, UINT32, const void*);
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  const auto set = reinterpret_cast<SetFeedbackFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetWindowFeedbackSetting")));
  const BOOL off = FALSE;
  for (int kind = 1; set && kind <= 11; ++kind) set(cover, kind, 0, sizeof(off), &off);
}

// True when a visible window that can take a touch lies above the cover on the screen. Only
// topmost windows can be above it.
bool Outranked(HWND cover) {
  const RECT screen = VirtualScreen();
  for (HWND w = GetTopWindow(nullptr); w && w != cover; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w)) continue;
    // An overlay that lets every hit through takes no touch either.
    const LONG_PTR passThrough = WS_EX_LAYERED | WS_EX_TRANSPARENT;
    if ((GetWindowLongPtrW(w, GWL_EXSTYLE) & passThrough) == passThrough) continue;
    RECT r, common;
    if (GetWindowRect(w, &r) && IntersectRect(&common, &r, &screen)) return true;
  }
  return false;
}

// One 32-bit top-down bitmap of premultiplied pixels, selected into a memory DC.
struct PixelCanvas {
  PixelCanvas(int width, int height) : w(width), h(height), dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    if (dc) bitmap.reset(CreateDIBSection(dc.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bits) {
      px = static_cast<std::uint32_t*>(bits);
      previous = SelectObject(dc.get(), bitmap.get());
    }
  }
  ~PixelCanvas() {
    if (px) SelectObject(dc.get(), previous);
  }
  PixelCanvas(const PixelCanvas&) = delete;
  PixelCanvas& operator=(const PixelCanvas&) = delete;
  std::uint32_t& At(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }

  int w, h;
  win32::UniqueMemoryDc dc;
  win32::UniqueBitmap bitmap;
  std::uint32_t* px = nullptr;
  HGDIOBJ previous = nullptr;
};

// The caption in white on a dark panel, in the middle of `monitor` (canvas coordinates).
void DrawCaption(PixelCanvas& canvas, const RECT& monitor, UINT dpi, const std::wstring& text) {
  const win32::UniqueFont font(win32::CreateMessageFont(kCaptionPoints, dpi, FW_SEMIBOLD));
  const win32::SelectGuard selected(canvas.dc.get(), font.get());
  RECT extent{0, 0, 0, 0};
  DrawTextW(canvas.dc.get(), text.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
  const int pad = MulDiv(12, static_cast<int>(dpi), 96);
  const int cx = (monitor.left + monitor.right) / 2, cy = (monitor.top + monitor.bottom) / 2;
  const int halfW = extent.right / 2 + pad, halfH = extent.bottom / 2 + pad;
  RECT panel{std::max<LONG>(cx - halfW, monitor.left), std::max<LONG>(cy - halfH, monitor.top),
             std::min<LONG>(cx + halfW, monitor.right), std::min<LONG>(cy + halfH, monitor.bottom)};
  for (int y = panel.top; y < panel.bottom; ++y)
    for (int x = panel.left; x < panel.right; ++x) canvas.At(x, y) = 0;
  SetTextColor(canvas.dc.get(), RGB(255, 255, 255));
  SetBkMode(canvas.dc.get(), TRANSPARENT);
  DrawTextW(canvas.dc.get(), text.c_str(), -1, &panel,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  // What GDI drew is black to white by how much of the pixel the text covers (its alpha
  // byte says nothing): white text over the panel, premultiplied.
  for (int y = panel.top; y < panel.bottom; ++y) {
    for (int x = panel.left; x < panel.right; ++x) {
      const std::uint32_t p = canvas.At(x, y);
      const std::uint32_t c = std::max({(p >> 16) & 0xFFu, (p >> 8) & 0xFFu, p & 0xFFu});
      const std::uint32_t a = kPanelAlpha + (255 - kPanelAlpha) * c / 255;
      canvas.At(x, y) = a << 24 | c << 16 | c << 8 | c;
    }
  }
}

struct VeilCaptions {
  PixelCanvas& canvas;
  const RECT& screen;
  const std::wstring& text;
};

BOOL CALLBACK DrawMonitorCaption(HMONITOR monitor, HDC, LPRECT r, LPARAM lp) {
  auto& captions = *reinterpret_cast<VeilCaptions*>(lp);
  RECT at = *r;
  OffsetRect(&at, -captions.screen.left, -captions.screen.top);
  DrawCaption(captions.canvas, at, MonitorDpi(monitor), captions.text);
  return TRUE;
}

}  // namespace

InputCoverWin32::~InputCoverWin32() { Destroy(); }

void InputCoverWin32::Show(bool dim, const std::string& text) {
  wanted_ = true;
  dim_ = dim;
  text_ = win32::Utf8ToWide(text);
  apply_.Request();
}

void InputCoverWin32::Hide() {
  wanted_ = false;
  apply_.Request();
}

void InputCoverWin32::Destroy() {
  wanted_ = false;
  TakeDown();
}

void InputCoverWin32::Apply() {
  if (!wanted_) {
    TakeDown();
    return;
  }
  // A layered window drawn one way cannot be drawn the other way: a new look, a new window.
  if (Handle() && (drawnDim_ != dim_ || drawnText_ != text_)) TakeDown();
  if (Handle()) return;
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = &win32::WindowBase::WindowProc;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kInputCoverClass;
  const RECT screen = VirtualScreen();
  if (!win32::EnsureWindowClass(wc, instance_) ||
      !CreateHandle(WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW,
                    kInputCoverClass, L"", WS_POPUP, screen.left, screen.top,
                    screen.right - screen.left, screen.bottom - screen.top, nullptr, nullptr,
                    instance_))
    return;
  drawnDim_ = dim_;
  drawnText_ = text_;
  TurnOffTouchFeedback(Handle());
  Draw();
  g_cover = this;
  const DWORD flags = WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS;
  watch_[0] = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                              &OnWinEvent, 0, 0, flags);
  watch_[1] =
      SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_REORDER, nullptr, &OnWinEvent, 0, 0, flags);
}

void InputCoverWin32::TakeDown() {
  for (HWINEVENTHOOK& hook : watch_) {
    if (hook) UnhookWinEvent(hook);
    hook = nullptr;
  }
  if (g_cover == this) g_cover = nullptr;
  if (HWND window = Handle()) {
    KillTimer(window, kRecheckTimer);
    DestroyWindow(window);
  }
}

void InputCoverWin32::Draw() {
  const RECT screen = VirtualScreen();
  if (drawnDim_)
    DrawVeil(screen);
  else
    SetLayeredWindowAttributes(Handle(), 0, kInvisibleAlpha, LWA_ALPHA);
  SetWindowPos(Handle(), HWND_TOPMOST, screen.left, screen.top, screen.right - screen.left,
               screen.bottom - screen.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void InputCoverWin32::DrawVeil(const RECT& screen) {
  PixelCanvas canvas(screen.right - screen.left, screen.bottom - screen.top);
  if (!canvas.px) return;
  std::fill_n(canvas.px, static_cast<std::size_t>(canvas.w) * canvas.h, kVeilAlpha << 24);
  VeilCaptions captions{canvas, screen, drawnText_};
  EnumDisplayMonitors(nullptr, nullptr, &DrawMonitorCaption, reinterpret_cast<LPARAM>(&captions));
  POINT origin{0, 0}, to{screen.left, screen.top};
  SIZE size{canvas.w, canvas.h};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  // The system keeps its own copy: the bitmap goes when this returns.
  UpdateLayeredWindow(Handle(), nullptr, &to, &size, canvas.dc.get(), &origin, 0, &blend,
                      ULW_ALPHA);
}

void InputCoverWin32::KeepOnTop() {
  if (Handle() && Outranked(Handle()))
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void CALLBACK InputCoverWin32::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object,
                                          LONG child, DWORD, DWORD) {
  InputCoverWin32* cover = g_cover;
  if (!cover || !cover->Handle()) return;
  // A top-level window created, shown or brought to the front, or a new Z-order.
  if (event == EVENT_OBJECT_DESTROY || event == EVENT_OBJECT_HIDE) return;
  if (event != EVENT_OBJECT_REORDER && (object != OBJID_WINDOW || child != CHILDID_SELF || !hwnd ||
                                        GetAncestor(hwnd, GA_ROOT) != hwnd))
    return;
  cover->KeepOnTop();
  SetTimer(cover->Handle(), kRecheckTimer, kRecheckMs, nullptr);
}

LRESULT InputCoverWin32::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= kFirstPointerMessage && msg <= kLastPointerMessage)
    return msg == kPointerActivate ? kPointerNoActivate : 0;
  switch (msg) {
    case WM_NCHITTEST: return HTCLIENT;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATEANDEAT;
    case WM_TOUCH: CloseTouchInputHandle(reinterpret_cast<HTOUCHINPUT>(lp)); return 0;
    case WM_GESTURE: CloseGestureInfoHandle(reinterpret_cast<HGESTUREINFO>(lp)); return 0;
    case WM_TABLET_QUERYSYSTEMGESTURESTATUS: return kNoPenGestures;
    case WM_WINDOWPOSCHANGING: {
      // Whoever moves the cover down the Z-order, it stays first.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
      if (!(pos->flags & SWP_NOZORDER)) pos->hwndInsertAfter = HWND_TOPMOST;
      break;
    }
    case WM_TIMER:
      if (wp != kRecheckTimer) break;
      KillTimer(hwnd, kRecheckTimer);
      KeepOnTop();
      return 0;
    case WM_DISPLAYCHANGE:
    case WM_DPICHANGED:  // the cover keeps its place; the captions follow the new DPI
      Draw();
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace hushkey
