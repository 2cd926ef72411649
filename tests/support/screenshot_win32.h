// Pictures of the screen for a reviewer: a window (or the whole screen) read back from the
// screen and saved as a 32-bit BMP file under the build tree. For any Windows-side test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace hushkey::test {

// The screen's pixels in a rectangle (32-bit BGRX, top row first), read back in one copy;
// empty when the copy fails.
inline std::vector<std::uint32_t> ScreenPixels(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return {};
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(bi.bmiHeader), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::vector<std::uint32_t> pixels;
  if (mem && bmp && bits) {
    HGDIOBJ old = SelectObject(mem, bmp);
    if (BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) {
      GdiFlush();
      const auto* px = static_cast<const std::uint32_t*>(bits);
      pixels.assign(px, px + static_cast<std::size_t>(w) * h);
    }
    SelectObject(mem, old);
  }
  if (bmp) DeleteObject(bmp);
  if (mem) DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return pixels;
}

// Saves what the screen shows of `window` (null: the whole screen) as <name>.bmp in the
// folder HK_SCREENSHOT_DIR names, else in "screenshots" beside the test program's folder
// (build/x64/screenshots for build/x64/bin/*.exe). False when the screen or the file failed.
inline bool SaveScreenshot(HWND window, const std::wstring& name) {
  wchar_t buf[MAX_PATH];
  std::wstring folder;
  if (DWORD n = GetEnvironmentVariableW(L"HK_SCREENSHOT_DIR", buf, MAX_PATH); n && n < MAX_PATH) {
    folder.assign(buf, n);
  } else {
    folder.assign(buf, GetModuleFileNameW(nullptr, buf, MAX_PATH));
    folder = folder.substr(0, folder.find_last_of(L"\\/")) + L"\\..\\screenshots";
  }
  CreateDirectoryW(folder.c_str(), nullptr);
  RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (window) GetWindowRect(window, &r);
  const std::vector<std::uint32_t> pixels = ScreenPixels(r);
  const BITMAPINFOHEADER info{
      sizeof(info), r.right - r.left, -(r.bottom - r.top), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const auto bytes = static_cast<DWORD>(pixels.size() * sizeof(std::uint32_t));
  const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  const BITMAPFILEHEADER head{0x4D42, headers + bytes, 0, 0, headers};
  FILE* f = pixels.empty() ? nullptr : _wfopen((folder + L"\\" + name + L".bmp").c_str(), L"wb");
  if (!f) return false;
  const bool ok = fwrite(&head, sizeof(head), 1, f) == 1 &&
                  fwrite(&info, sizeof(info), 1, f) == 1 &&
                  fwrite(pixels.data(), 1, bytes, f) == bytes;
  fclose(f);
  return ok;
}

}  // namespace hushkey::test
