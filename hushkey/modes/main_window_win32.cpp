#include "hushkey/modes/main_window_win32.h"

#include <commctrl.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <array>

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/modes/main_controller.h"
#include "hushkey/modes/main_layout.h"
#include "hushkey/resources/diagnostics.h"
#include "hushkey/resources/resource_ids.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

using win32::Utf8ToWide;

static_assert(HK_MSG_TRAY_CALLBACK == WM_APP + 1 && HK_MSG_DIAGNOSTIC == WM_APP + 2);
// The controller's copies of the platform's numbers.
static_assert(kTrayLeftButtonUp == WM_LBUTTONUP && kTrayLeftButtonDoubleClick == WM_LBUTTONDBLCLK &&
              kTrayRightButtonUp == WM_RBUTTONUP);
static_assert(kColourOrange == RGB(255, 128, 0) && kColourRed == RGB(255, 0, 0) &&
              kColourGreen == RGB(0, 192, 0));

namespace {

constexpr wchar_t kWindowClass[] = L"HushkeyMainWindow";
constexpr wchar_t kHighlightClass[] = L"HushkeyHighlightFrame";
// The hidden text box that a second start writes its switch into is found by this class.
constexpr wchar_t kHandOffClass[] = L"ThunderRT6TextBox";
constexpr wchar_t kTitle[] = L"Hushkey ";
constexpr UINT_PTR kFlashTimerId = 1;
constexpr UINT_PTR kFlashEndTimerId = 2;

constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// Controls that the shared table does not place (twips, client coordinates): the separator
// along the top edge, the version label and the picture along the bottom edge, and the
// hidden hand-off text box.
constexpr TwipsRect kLine1Rect{0, 0, kMainClientWidthTwips, 30};
constexpr TwipsRect kVersionRect{330, 3480, 1215, 240};
constexpr TwipsRect kCopyrightRect{3090, 3480, 1200, 270};  // 80 x 18 pixels at 96 DPI
constexpr TwipsRect kHandOffRect{0, 0, 1215, 285};

constexpr int kFontPoints = 8;

int ControlId(const MainControl& c) {
  if (!c.button) return IDC_MSG;
  switch (*c.button) {
    case MainButton::AutoLock: return IDC_AUTOLOCK;
    case MainButton::LockAll: return IDC_LOCKALL;
    case MainButton::BlockWinCtrl: return IDC_BLOCKWINCTRL;
    case MainButton::AllowOnly: return IDC_ALLOWONLY;
    case MainButton::Cancel: return IDC_CANCEL;
    case MainButton::Exit: return IDC_EXIT;
  }
  return IDC_MSG;
}

bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.lpfnWndProc = &win32::WindowBase::WindowProc;
  main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_HUSHKEY));
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_HUSHKEY), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  main.lpszClassName = kWindowClass;
  WNDCLASSEXW highlight{};
  highlight.lpfnWndProc = &win32::WindowBase::WindowProc;
  highlight.lpszClassName = kHighlightClass;
  if (!win32::EnsureWindowClass(main, instance) || !win32::EnsureWindowClass(highlight, instance))
    return false;
  // The hand-off text box: an ordinary edit control under the class name a second start
  // looks for.
  WNDCLASSEXW edit{};
  edit.cbSize = sizeof(edit);
  if (!GetClassInfoExW(nullptr, L"EDIT", &edit)) return false;
  edit.lpszClassName = kHandOffClass;
  edit.style &= ~CS_GLOBALCLASS;
  return win32::EnsureWindowClass(edit, instance);
}

}  // namespace

MainWindow::~MainWindow() { Destroy(); }

bool MainWindow::Create(HINSTANCE instance) {
  instance_ = instance;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  if (!RegisterClasses(instance)) return false;
  win32::UniqueMenu mainMenu(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_MAINMENU)));
  trayMenu_.reset(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_TRAYMENU)));
  dpi_ = win32::WindowDpi(nullptr);
  RECT rc = win32::WindowRectForClient(Px(kMainClientWidthTwips), Px(kMainClientHeightTwips),
                                       kWindowStyle, 0, true, dpi_);
  if (!CreateHandle(0, kWindowClass, kTitle, kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    rc.right - rc.left, rc.bottom - rc.top, nullptr, mainMenu.get(), instance)) {
    trayMenu_.reset();
    return false;
  }
  mainMenu_ = mainMenu.release();  // the window destroys its menu
  if (!CreateControls()) {
    Destroy();
    return false;
  }
  ApplyDpi(win32::WindowDpi(Handle()));
  AddDialogWindow(Handle());
  // Sent to every top-level window when the shell (re)creates the taskbar.
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  sessionNotices_ = WTSRegisterSessionNotification(Handle(), NOTIFY_FOR_THIS_SESSION) != FALSE;
  return true;
}

bool MainWindow::CreateControls() {
  constexpr DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  // The highlight frame first, and kept at the bottom of the Z-order, so that the buttons
  // are drawn over it and it shows as a border around the active one.
  if (!highlight_.Create(Handle(), instance_)) return false;

  for (const MainControl& c : MainWindowControls()) {
    const std::wstring caption = Utf8ToWide(c.caption);
    HWND w;
    if (c.kind == MainControlKind::Button) {
      w = CreateWindowExW(0, L"BUTTON", caption.c_str(),
                          child | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, 0, 0, 0,
                          0, Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(c))),
                          instance_, nullptr);
    } else {
      w = CreateWindowExW(0, L"STATIC", caption.c_str(), child | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                          0, 0, 0, 0, Handle(),
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(c))), instance_,
                          nullptr);
    }
    if (!w) return false;
  }
  struct Extra {
    const wchar_t* cls;
    const wchar_t* text;
    DWORD style;
    int id;
  };
  const std::array<Extra, 4> extras{{
      {L"STATIC", L"", child | WS_VISIBLE | SS_ETCHEDHORZ, IDC_LINE1},
      {L"STATIC", L"", child | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, IDC_VERSION},
      {L"STATIC", L"", child | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY, IDC_COPYRIGHT},
      {kHandOffClass, L"", child | ES_AUTOHSCROLL, IDC_CHANGEMODEHID},
  }};
  for (const Extra& e : extras) {
    if (!CreateWindowExW(0, e.cls, e.text, e.style, 0, 0, 0, 0, Handle(),
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(e.id)), instance_, nullptr)) {
      return false;
    }
  }

  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance_, nullptr);
  if (toolTip_) {
    for (const MainControl& c : MainWindowControls()) {
      if (c.kind != MainControlKind::Button) continue;
      // Buttons without a design-time tip get an empty one (not shown); the Auto Lock
      // button's is filled in at run time.
      AddToolTip(Control(ControlId(c)), Utf8ToWide(c.toolTip));
    }
  }
  return true;
}

void MainWindow::AddToolTip(HWND control, const std::wstring& text) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  std::wstring copy = text;
  ti.lpszText = copy.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  HFONT font = win32::CreateMessageFont(kFontPoints, dpi_);
  for (HWND c = GetWindow(Handle(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (toolTip_) {
    SendMessageW(toolTip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, Px(4500));
  }
  font_.reset(font);
  LayoutControls();
}

void MainWindow::FitWindowToClient(const RECT* suggested) {
  const int width = Px(kMainClientWidthTwips);
  const int height = Px(kMainClientHeightTwips);
  RECT rc = win32::WindowRectForClient(width, height, kWindowStyle, 0, true, dpi_);
  RECT now{};
  GetWindowRect(Handle(), &now);
  const int x = suggested ? suggested->left : now.left;
  const int y = suggested ? suggested->top : now.top;
  SetWindowPos(Handle(), nullptr, x, y, rc.right - rc.left, rc.bottom - rc.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps takes more height than the estimate: make up the difference.
  RECT client{};
  GetClientRect(Handle(), &client);
  const int dw = width - (client.right - client.left);
  const int dh = height - (client.bottom - client.top);
  if ((dw != 0 || dh != 0) && !IsIconic(Handle())) {
    GetWindowRect(Handle(), &now);
    SetWindowPos(Handle(), nullptr, 0, 0, now.right - now.left + dw, now.bottom - now.top + dh,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
  }
}

void MainWindow::LayoutControls() {
  auto place = [this](int id, const TwipsRect& r) {
    if (HWND w = Control(id)) {
      SetWindowPos(w, nullptr, Px(r.left), Px(r.top), Px(r.width), Px(r.height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  };
  for (const MainControl& c : MainWindowControls()) place(ControlId(c), c.rect);
  place(IDC_LINE1, kLine1Rect);
  place(IDC_VERSION, kVersionRect);
  place(IDC_COPYRIGHT, kCopyrightRect);
  place(IDC_CHANGEMODEHID, kHandOffRect);
  if (HWND frame = Control(IDC_HIGHLIGHT)) {
    const TwipsRect& r = highlightRect_;
    SetWindowPos(frame, HWND_BOTTOM, Px(r.left), Px(r.top), Px(r.width), Px(r.height),
                 SWP_NOACTIVATE);
  }
  FitWindowToClient(nullptr);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void MainWindow::ClearHandOffBox() { SetWindowTextW(Control(IDC_CHANGEMODEHID), L""); }

void MainWindow::SetVersionText(const std::string& text) {
  SetWindowTextW(Control(IDC_VERSION), Utf8ToWide(text).c_str());
}

void MainWindow::Show() {
  ShowWindow(Handle(), SW_SHOWNORMAL);
  UpdateWindow(Handle());
}

void MainWindow::EnableFlashTimer() {
  if (Handle()) SetTimer(Handle(), kFlashTimerId, 1, nullptr);
}

void MainWindow::ArmFlashEndTimer(std::int32_t ms) {
  if (Handle()) SetTimer(Handle(), kFlashEndTimerId, static_cast<UINT>(ms > 0 ? ms : 1), nullptr);
}

void MainWindow::Destroy() {
  if (HWND window = Handle()) {
    RemoveDialogWindow(window);
    if (sessionNotices_) WTSUnRegisterSessionNotification(window);
    sessionNotices_ = false;
    KillTimer(window, kFlashTimerId);
    KillTimer(window, kFlashEndTimerId);
    DestroyWindow(window);  // destroys the attached main menu, the tool tips and the frame
    mainMenu_ = nullptr;
    toolTip_ = nullptr;
  }
  trayMenu_.reset();
  font_.reset();
}

// --- Messages --------------------------------------------------------------------------

LRESULT MainWindow::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == taskbarCreated_ && taskbarCreated_ != 0) {
    if (controller_) controller_->OnTaskbarCreated();
    return 0;
  }
  switch (msg) {
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      // The hidden text box's change: a second start handed its request over.
      if (id == IDC_CHANGEMODEHID && code == EN_CHANGE) {
        if (events_) events_->OnHandOff(win32::WindowTextUtf8(Control(IDC_CHANGEMODEHID)));
        return 0;
      }
      // Button clicks, menu commands and the picture's click (all code 0) and accelerators
      // (1, no control); the text box's other notifications are not commands.
      if (code == BN_CLICKED || (code == 1 && lp == 0)) OnCommand(id);
      return 0;
    }
    case kTrayCallbackMessage:
      // The context-menu code carries where the menu belongs (the icon, for the keyboard).
      trayMenuAnchor_.reset();
      if (LOWORD(lp) == WM_CONTEXTMENU) trayMenuAnchor_ = POINT{GET_X_LPARAM(wp), GET_Y_LPARAM(wp)};
      if (controller_) controller_->OnTrayCallback(static_cast<std::uint32_t>(LOWORD(lp)));
      return 0;
    case WM_TIMER:
      if (wp == kFlashTimerId) {
        KillTimer(Handle(), kFlashTimerId);
        if (controller_) controller_->timFlashTray_Timer();
        return 0;
      }
      if (wp == kFlashEndTimerId) {
        // One-shot: while the picture stays up the controller arms it again.
        KillTimer(Handle(), kFlashEndTimerId);
        if (controller_) controller_->timFlashEnd_Timer();
        return 0;
      }
      break;
    case WM_WTSSESSION_CHANGE:
      if (controller_) controller_->OnSessionChange();
      return 0;
    case HK_MSG_DIAGNOSTIC: return AnswerDiagnostic(wp);
    case WM_CLOSE:
      // The close box sends the window to the tray; the program goes on running.
      if (events_)
        events_->OnClose();
      else
        MinimiseToTray();
      return 0;
    case WM_QUERYENDSESSION:
      // The program ends only when the session really does (WM_ENDSESSION): another
      // program may still refuse the shutdown, and this one must then go on locking.
      return TRUE;
    case WM_ENDSESSION:
      if (wp && events_) events_->OnEndSession();
      return 0;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (item && item->CtlID == IDC_COPYRIGHT) {
        DrawCopyrightPicture(*item);
        return TRUE;
      }
      break;
    }
    case WM_DPICHANGED:
      dpi_ = HIWORD(wp);
      ApplyDpi(dpi_);
      FitWindowToClient(reinterpret_cast<const RECT*>(lp));
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT MainWindow::AnswerDiagnostic(WPARAM what) const {
  switch (static_cast<Diagnostic>(what)) {
    case Diagnostic::LongestKeyboardHookCallMicros: return LongestHookCallMicros(true);
    case Diagnostic::LongestMouseHookCallMicros: return LongestHookCallMicros(false);
    case Diagnostic::LongestKeyboardEventWaitMs: return LongestHookWaitMs(true);
    case Diagnostic::LongestMouseEventWaitMs: return LongestHookWaitMs(false);
    case Diagnostic::HookReinstalls: return HookReinstalls();
    case Diagnostic::FlashShowing: return controller_ && controller_->FlashShowing() ? 1 : 0;
    case Diagnostic::FlashesShown: return controller_ ? controller_->FlashesShown() : 0;
    case Diagnostic::TrayIconAdds: return controller_ ? controller_->TrayIconAdds() : 0;
    case Diagnostic::CommandRunning: return controller_ && controller_->CommandRunning() ? 1 : 0;
    case Diagnostic::InputCoverWindow:
      if (!cover_ || !IsWindowVisible(cover_->Handle())) return 0;
      return reinterpret_cast<LRESULT>(cover_->Handle());
  }
  return 0;
}

void MainWindow::OnCommand(int id) {
  switch (id) {
    case IDC_EXIT:
    case IDM_FILE_EXIT:
    case IDM_POPUP_EXIT:
      if (events_) events_->OnExit();
      return;
    case IDM_OPTIONS:
    case IDM_POPUP_OPTIONS:
      // A command posted while the menu item is greyed (any mode but unlocked) is refused.
      if (events_ && !(GetMenuState(mainMenu_, IDM_OPTIONS, MF_BYCOMMAND) & MF_GRAYED)) {
        events_->OnOptions();
      }
      return;
    // The tray menu's mode commands act as their buttons do, and only when those could.
    case IDM_POPUP_LOCKALL:
    case IDM_POPUP_AUTOLOCK:
      if (IsWindowEnabled(Control(id == IDM_POPUP_LOCKALL ? IDC_LOCKALL : IDC_AUTOLOCK)))
        OnCommand(id == IDM_POPUP_LOCKALL ? IDC_LOCKALL : IDC_AUTOLOCK);
      return;
    default: break;
  }
  if (!controller_) return;
  switch (id) {
    case IDC_AUTOLOCK: controller_->cmdAutoLock_Click(); break;
    case IDC_LOCKALL: controller_->cmdLockAll_Click(); break;
    case IDC_BLOCKWINCTRL: controller_->cmdBlockWinCtrl_Click(); break;
    case IDC_ALLOWONLY: controller_->cmdAllowOnly_Click(); break;
    case IDC_CANCEL: controller_->cmdCancel_Click(); break;
    case IDM_FILE_MINTOTRAY: controller_->MinimiseToTray(); break;
    case IDM_POPUP_RESTORE: controller_->mnuPopupRestore_Click(); break;
    case IDM_HELP_HELP:
    case IDM_POPUP_HELP:
      if (events_) events_->OnHelp();
      break;
    case IDM_HELP_ABOUT:
      if (events_) events_->OnAbout();
      break;
    case IDC_COPYRIGHT:
      if (events_) events_->OnCopyright();
      break;
    default: break;
  }
}

void MainWindow::DrawCopyrightPicture(const DRAWITEMSTRUCT& item) {
  // A small framed name plate standing in for the picture.
  HDC dc = item.hDC;
  RECT rc = item.rcItem;
  FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const win32::SelectGuard font(dc, font_.get());
  DrawTextW(dc, L"Hushkey", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

bool HighlightFrame::Create(HWND parent, HINSTANCE instance) {
  // Disabled: the clicks go to the buttons it frames.
  return CreateHandle(0, kHighlightClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED, 0, 0, 0, 0,
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HIGHLIGHT)),
                      instance) != nullptr;
}

LRESULT HighlightFrame::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT rc;
      GetClientRect(hwnd, &rc);
      const win32::UniqueBrush brush(CreateSolidBrush(colour_));
      FillRect(dc, &rc, brush.get());
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

}  // namespace hushkey
