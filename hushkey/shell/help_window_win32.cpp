#include "hushkey/shell/help_window_win32.h"

#include "hushkey/engine/layout_units.h"
#include "hushkey/resources/resource_ids.h"
#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

constexpr wchar_t kClassName[] = L"HushkeySyntaxWindow";
// Sizable, with the minimise, maximise and close boxes.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
// Twips: the client area at its designed size.
constexpr int kClientWidth = 14190, kClientHeight = 5475;
// "Courier", 9.75 points, regular: in hundredths of a point.
constexpr int kFontCentipoints = 975;

HFONT CreateFixedPitchFont(UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(kFontCentipoints, static_cast<int>(dpi), 7200);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  // Where the face is missing, the system picks another fixed-pitch one.
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(lf.lfFaceName, L"Courier", LF_FACESIZE);
  return CreateFontIndirectW(&lf);
}

PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right - r.left, r.bottom - r.top}; }

}  // namespace

bool HelpWindow::Create(HINSTANCE instance, const std::string& caption) {
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = &win32::WindowBase::WindowProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_HUSHKEY));
  wc.lpszClassName = kClassName;
  if (!win32::EnsureWindowClass(wc, instance)) return false;
  // Created hidden where the platform puts new windows, then sized for the DPI of the
  // monitor it is on and kept inside that monitor's work area.
  window_.reset(CreateHandle(0, kClassName, win32::Utf8ToWide(caption).c_str(), kStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                             nullptr, instance));
  if (!window_) return false;
  const UINT dpi = win32::WindowDpi(window_.get());
  const RECT designed =
      win32::WindowRectForClient(win32::TwipsToPixels(kClientWidth, dpi),
                                 win32::TwipsToPixels(kClientHeight, dpi), kStyle, 0, false, dpi);
  RECT at{};
  GetWindowRect(window_.get(), &at);
  const PixelRect placed =
      PlaceInside({at.left, at.top, designed.right - designed.left, designed.bottom - designed.top},
                  ToPixelRect(win32::WorkAreaOf(window_.get())));
  SetWindowPos(window_.get(), nullptr, placed.left, placed.top, placed.width, placed.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  GetClientRect(window_.get(), &client);
  // Read-only but selectable; long lines wrap at the window's width.
  box_ = CreateWindowExW(0, L"EDIT", L"",
                         WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY |
                             ES_AUTOVSCROLL | ES_NOHIDESEL,
                         0, 0, client.right, client.bottom, window_.get(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SYNTAX_TEXT)), instance,
                         nullptr);
  if (!box_) return false;
  SetTextFont(dpi);
  return true;
}

void HelpWindow::SetTextFont(UINT dpi) {
  win32::UniqueFont font(CreateFixedPitchFont(dpi));
  SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);  // the old font only goes once the box has let go of it
}

void HelpWindow::Show(HINSTANCE instance, const std::string& caption, const std::string& text) {
  if (!window_ && !Create(instance, caption)) {
    window_.reset();
    return;
  }
  SetWindowTextW(box_, win32::Utf8ToWide(text).c_str());
  ShowWindow(window_.get(), SW_SHOWNORMAL);
  SetForegroundWindow(window_.get());
}

LRESULT HelpWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (box_) MoveWindow(box_, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
      return 0;
    case WM_SETFOCUS:
      if (box_) SetFocus(box_);
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another DPI: the text at that DPI, the window where the
      // system suggests.
      if (box_) SetTextFont(HIWORD(wp));
      const RECT* suggested = reinterpret_cast<const RECT*>(lp);
      SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_NCDESTROY:
      // Closed with its close box: the next Help builds it anew.
      window_.release();
      box_ = nullptr;
      font_.reset();
      break;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace hushkey
