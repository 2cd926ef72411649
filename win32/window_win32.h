// Window helpers every window of the programs uses: the DPI of a window and sizes scaled to
// it, the user's message font, and window class registration.
#pragma once

#include <windows.h>

// Sent when a window's monitor DPI changes (Windows 8.1 and later); older headers lack it.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace win32 {

// The window's DPI (the system's on systems without per-window DPI; 96 when unknown).
UINT WindowDpi(HWND window);

// Twips (1/1440 inch) as pixels at a DPI.
inline int TwipsToPixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// The outer size of a window whose client area is width x height at `dpi`.
RECT WindowRectForClient(int width, int height, DWORD style, DWORD exStyle, bool menu, UINT dpi);

// A system metric (SM_*) at `dpi`; on systems without per-window DPI, at the system's.
int SystemMetricForDpi(int index, UINT dpi);

// The work area (the screen less the task bar) of the monitor nearest the window.
RECT WorkAreaOf(HWND window);

// The user's message font face at `points` and `dpi` (owned by the caller).
HFONT CreateMessageFont(int points, UINT dpi, LONG weight = FW_NORMAL);

// Registers a window class of this module unless it is registered already. `wc` is filled
// in but for its size, module and (when null) cursor.
bool EnsureWindowClass(WNDCLASSEXW wc, HINSTANCE instance);

}  // namespace win32
