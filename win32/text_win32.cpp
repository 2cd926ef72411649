#include "win32/text_win32.h"

namespace win32 {

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int inLen = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, out.data(), n);
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int inLen = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), inLen, out.data(), n, nullptr, nullptr);
  return out;
}

std::string WindowTextUtf8(HWND window) {
  const int len = GetWindowTextLengthW(window);
  if (len <= 0) return {};
  std::wstring buf(static_cast<std::size_t>(len) + 1, L'\0');
  const int got = GetWindowTextW(window, buf.data(), len + 1);
  buf.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return WideToUtf8(buf);
}

std::wstring ModuleFileName(HMODULE module) {
  // The call cuts the path to the buffer without saying how long it is: grow until it fits.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    if (path.size() >= 32768) return {};  // longer than any path the system allows
    path.resize(path.size() * 2);
  }
}

}  // namespace win32
