#include "win32/window_win32.h"

#include "win32/handles_win32.h"

namespace win32 {

namespace {

// Functions of newer systems, looked up at run time so the programs still start on
// Windows 7 (system DPI only there).
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

template <typename Fn>
Fn User32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
                : nullptr;
}

}  // namespace

UINT WindowDpi(HWND window) {
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return dpi;
  }
  const ScreenDc screen;
  const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi) {
  static const auto adjust = User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
  RECT rc{0, 0, width, height};
  if (!adjust || !adjust(&rc, style, menu, exStyle, dpi))
    AdjustWindowRectEx(&rc, style, menu, exStyle);
  return rc;
}

int SystemMetricForDpi(int index, UINT dpi) {
  static const auto forDpi = User32Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

RECT WorkAreaOf(HWND window) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
    return info.rcWork;
  }
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

HFONT CreateMessageFont(int points, UINT dpi, LONG weight) {
  static const auto spiForDpi =
      User32Function<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  LOGFONTW lf{};
  bool got = spiForDpi && spiForDpi(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0, dpi);
  if (!got) got = SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  if (got) {
    lf = ncm.lfMessageFont;
  } else {
    lstrcpynW(lf.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
    lf.lfCharSet = DEFAULT_CHARSET;
  }
  lf.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
  lf.lfWidth = 0;
  lf.lfWeight = weight;
  return CreateFontIndirectW(&lf);
}

bool EnsureWindowClass(WNDCLASSEXW wc, HINSTANCE instance) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(instance, wc.lpszClassName, &existing)) return true;
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance;
  if (!wc.hCursor) wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  return RegisterClassExW(&wc) != 0;
}

}  // namespace win32
