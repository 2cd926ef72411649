#include "hushkey/shell/help_window_win32.h"

#include "hushkey/resources/resource_ids.h"
#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

constexpr wchar_t kClassName[] = L"HushkeySyntaxWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
// Twips: the client area, and the label at its top left corner covering it.
constexpr int kClientWidth = 14190, kClientHeight = 5475;
constexpr int kLabelWidth = 14175, kLabelHeight = 5535;
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

}  // namespace

bool HelpWindow::Create(HINSTANCE instance, const std::string& caption) {
  WNDCLASSEXW wc{};
  wc.lpfnWndProc = &win32::WindowBase::WindowProc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_HUSHKEY));
  wc.lpszClassName = kClassName;
  if (!win32::EnsureWindowClass(wc, instance)) return false;
  const UINT dpi = win32::WindowDpi(nullptr);
  const RECT rc =
      win32::WindowRectForClient(win32::TwipsToPixels(kClientWidth, dpi),
                                 win32::TwipsToPixels(kClientHeight, dpi), kStyle, 0, false, dpi);
  window_.reset(CreateHandle(0, kClassName, win32::Utf8ToWide(caption).c_str(), kStyle,
                             CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left, rc.bottom - rc.top,
                             nullptr, nullptr, instance));
  if (!window_) return false;
  HWND label = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0,
                               0, win32::TwipsToPixels(kLabelWidth, dpi),
                               win32::TwipsToPixels(kLabelHeight, dpi), window_.get(),
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SYNTAX_TEXT)),
                               instance, nullptr);
  font_.reset(CreateFixedPitchFont(dpi));
  if (label) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return label != nullptr;
}

void HelpWindow::Show(HINSTANCE instance, const std::string& caption, const std::string& text) {
  if (!window_ && !Create(instance, caption)) {
    window_.reset();
    return;
  }
  SetDlgItemTextW(window_.get(), IDC_SYNTAX_TEXT, win32::Utf8ToWide(text).c_str());
  ShowWindow(window_.get(), SW_SHOWNORMAL);
  SetForegroundWindow(window_.get());
}

LRESULT HelpWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCDESTROY) {
    // Closed with its close box: the next Help builds it anew.
    window_.release();
    font_.reset();
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace hushkey
