// Window texts as UTF-8, for the main window and the tray. The conversions themselves are the
// settings store's (one implementation for the whole program).
#pragma once

#include <windows.h>

#include <string>

#include "hushkey/settings/wide_text_win32.h"

namespace hushkey {

// The text of a window (control caption, label), as UTF-8.
inline std::string WindowTextUtf8(HWND window) {
  int len = GetWindowTextLengthW(window);
  if (len <= 0) return {};
  std::wstring buf(static_cast<std::size_t>(len) + 1, L'\0');
  int got = GetWindowTextW(window, buf.data(), len + 1);
  buf.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return WideToUtf8(buf);
}

}  // namespace hushkey
