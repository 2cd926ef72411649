// What the controller asks of the main window (MainViewPort): enabled states, the message
// bar, the highlight frame, the Auto Lock tool tip, visibility and the tray menu.
#include "hushkey/modes/main_window_win32.h"

#include <commctrl.h>

#include "hushkey/engine/deferred_work_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

void MainWindow::SetModeButtonsEnabled(bool on) {
  for (int id : {IDC_BLOCKWINCTRL, IDC_LOCKALL, IDC_AUTOLOCK, IDC_ALLOWONLY}) {
    EnableWindow(Control(id), on);
  }
}

void MainWindow::SetOptionsEnabled(bool on) {
  EnableMenuItem(mainMenu_, IDM_OPTIONS, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  DrawMenuBar(Handle());
}

void MainWindow::SetExitEnabled(bool on) { EnableWindow(Control(IDC_EXIT), on); }

void MainWindow::SetCancelEnabled(bool on) { EnableWindow(Control(IDC_CANCEL), on); }

bool MainWindow::CancelEnabled() { return IsWindowEnabled(Control(IDC_CANCEL)) != FALSE; }

void MainWindow::SetMessage(const std::string& text) {
  SetWindowTextW(Control(IDC_MSG), win32::Utf8ToWide(text).c_str());
}

std::string MainWindow::Message() { return win32::WindowTextUtf8(Control(IDC_MSG)); }

void MainWindow::ShowHighlight(const TwipsRect& where, Colour colour) {
  highlightRect_ = where;
  highlight_.SetColour(colour);
  HWND frame = Control(IDC_HIGHLIGHT);
  SetWindowPos(frame, HWND_BOTTOM, Px(where.left), Px(where.top), Px(where.width), Px(where.height),
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(frame, nullptr, TRUE);
}

void MainWindow::HideHighlight() { ShowWindow(Control(IDC_HIGHLIGHT), SW_HIDE); }

void MainWindow::SetAutoLockToolTip(const std::string& text) {
  autoLockToolTip_ = text;
  if (!toolTip_) return;
  std::wstring wide = win32::Utf8ToWide(text);
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.hwnd = Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(Control(IDC_AUTOLOCK));
  ti.lpszText = wide.data();
  SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

std::string MainWindow::AutoLockToolTip() { return autoLockToolTip_; }

void MainWindow::Hide() {
  // Hiding waits for the window manager on some systems; inside an input hook call it is
  // done right after the hook procedure has returned, unless the window is shown again
  // before that.
  hidePending_ = true;
  RunOutsideInputHook([this] {
    if (!hidePending_ || !Handle()) return;
    hidePending_ = false;
    ShowWindow(Handle(), SW_HIDE);
  });
}

void MainWindow::Restore() {
  hidePending_ = false;
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
  ShowWindow(Handle(), SW_SHOW);
}

void MainWindow::MinimiseToTray() {
  hidePending_ = false;
  ShowWindow(Handle(), SW_MINIMIZE);
  ShowWindow(Handle(), SW_HIDE);
}

void MainWindow::ShowTrayMenu() {
  SetForegroundWindow(Handle());
  POINT pt{};
  if (trayMenuAnchor_)
    pt = *trayMenuAnchor_;
  else
    GetCursorPos(&pt);
  if (HMENU popup = GetSubMenu(trayMenu_.get(), 0)) {
    // Each command is enabled exactly when its button or menu command is; Restore is the
    // default (bold), as a double click on the icon does it.
    const auto enable = [popup](UINT item, bool on) {
      EnableMenuItem(popup, item, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
    };
    enable(IDM_POPUP_LOCKALL, IsWindowEnabled(Control(IDC_LOCKALL)));
    enable(IDM_POPUP_AUTOLOCK, IsWindowEnabled(Control(IDC_AUTOLOCK)));
    enable(IDM_POPUP_OPTIONS, !(GetMenuState(mainMenu_, IDM_OPTIONS, MF_BYCOMMAND) & MF_GRAYED));
    SetMenuDefaultItem(popup, IDM_POPUP_RESTORE, FALSE);
    TrackPopupMenu(popup, TPM_RIGHTBUTTON, pt.x, pt.y, 0, Handle(), nullptr);
    // Lets the menu close properly when the user clicks elsewhere.
    PostMessageW(Handle(), WM_NULL, 0, 0);
  }
}

}  // namespace hushkey
