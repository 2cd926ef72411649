// UTF-8 (portable code) <-> UTF-16 (wide Win32 API) conversions. Invalid UTF-8 becomes
// replacement characters; unpaired surrogates likewise on the way back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace hushkey {

inline std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  }
  return out;
}

inline std::string Narrow(std::wstring_view text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
  }
  return out;
}

// The text of a window (control caption, label), as UTF-8.
inline std::string WindowTextUtf8(HWND window) {
  int len = GetWindowTextLengthW(window);
  if (len <= 0) return {};
  std::wstring buf(static_cast<std::size_t>(len) + 1, L'\0');
  int got = GetWindowTextW(window, buf.data(), len + 1);
  buf.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return Narrow(buf);
}

}  // namespace hushkey
