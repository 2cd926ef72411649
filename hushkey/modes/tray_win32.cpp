#include "hushkey/modes/tray_win32.h"

#include <algorithm>
#include <array>
#include <utility>

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/modes/tray_logic.h"
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/engine/message_dispatch_win32.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

namespace {

// The system pointer shapes that show the blocked picture during a flash, in order:
// normal, I-beam, wait, cross, up arrow, size, icon, the four sizing arrows, size all,
// no, hand, app starting, help.
constexpr std::array<DWORD, 16> kFlashedCursors{32512, 32513, 32514, 32515, 32516, 32640,
                                                32641, 32642, 32643, 32644, 32645, 32646,
                                                32648, 32649, 32650, 32651};

// The controller cuts the tip to what the record holds, less its terminating NUL.
static_assert(kTrayTipMaxUnits == std::size(NOTIFYICONDATAW{}.szTip) - 1);

}  // namespace

const wchar_t* TrayIconResourceName(TrayIcon icon) {
  switch (icon) {
    case TrayIcon::Amber: return L"AMBER";
    case TrayIcon::Blank: return L"BLANK";
    case TrayIcon::Blocked: return L"BLOCKED";
    case TrayIcon::Blue: return L"BLUE";
    case TrayIcon::Green: return L"GREEN";
    case TrayIcon::Red: return L"RED";
  }
  return L"BLANK";
}

TrayIconWin32::TrayIconWin32(HINSTANCE instance, HWND window, UINT callbackMessage)
    : instance_(instance) {
  data_.cbSize = sizeof(data_);
  data_.hWnd = window;
  data_.uID = 1;
  data_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data_.uCallbackMessage = callbackMessage;
}

TrayIconWin32::~TrayIconWin32() { Delete(); }

bool TrayIconWin32::Add() {
  // No picture and no tip yet: the first Modify fills them in.
  data_.hIcon = nullptr;
  data_.szTip[0] = L'\0';
  Shell_NotifyIconW(NIM_ADD, &data_);
  added_ = true;
  // Asked for the newer protocol, the tray reports the keyboard too (Shift+F10, the menu
  // key, Enter on the focused icon) and puts the event code in the low word of lParam.
  data_.uVersion = NOTIFYICON_VERSION_4;
  const bool keyboard = Shell_NotifyIconW(NIM_SETVERSION, &data_);
  data_.uTimeout = 0;
  DispatchPendingMessages();
  return keyboard;
}

void TrayIconWin32::Modify(TrayIcon icon, const std::string& tip) {
  wanted_ = icon;
  wantedTip_ = tip;
  pending_ = true;
  flush_.Request();
}

void TrayIconWin32::Notify(const std::string& text) {
  notice_ = text;
  flush_.Request();
}

void TrayIconWin32::Flush() {
  if (!added_) return;
  if (pending_) {
    pending_ = false;
    // The tray keeps its own copy of the picture: the loaded one goes after the call.
    const win32::UniqueIcon loaded(static_cast<HICON>(
        LoadImageW(instance_, TrayIconResourceName(wanted_), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    data_.hIcon = loaded.get();
    const std::wstring wide = win32::Utf8ToWide(wantedTip_);
    const std::size_t n = std::min(wide.size(), std::size(data_.szTip) - 1);
    wide.copy(data_.szTip, n);
    data_.szTip[n] = L'\0';
    Shell_NotifyIconW(NIM_MODIFY, &data_);
    data_.hIcon = nullptr;
  }
  if (!notice_.empty()) {
    NOTIFYICONDATAW info = data_;  // szInfo and szInfoTitle are empty in data_
    info.uFlags = NIF_INFO;
    info.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND | NIIF_RESPECT_QUIET_TIME;
    std::wstring(L"Hushkey").copy(info.szInfoTitle, std::size(info.szInfoTitle) - 1);
    const std::wstring text = win32::Utf8ToWide(std::exchange(notice_, {}));
    text.copy(info.szInfo, std::min(text.size(), std::size(info.szInfo) - 1));
    Shell_NotifyIconW(NIM_MODIFY, &info);
  }
}

void TrayIconWin32::Delete() {
  pending_ = false;
  notice_.clear();
  if (!added_) return;
  Shell_NotifyIconW(NIM_DELETE, &data_);
  added_ = false;
}

void TrayIconWin32::SetBlockedCursors() {
  const int cx = GetSystemMetrics(SM_CXCURSOR);
  const int cy = GetSystemMetrics(SM_CYCURSOR);
  for (DWORD id : kFlashedCursors) {
    // SetSystemCursor takes the handle over, so every shape gets its own copy.
    win32::UniqueIcon copy(
        static_cast<HICON>(LoadImageW(instance_, L"BLOCKED", IMAGE_ICON, cx, cy, 0)));
    if (copy && SetSystemCursor(reinterpret_cast<HCURSOR>(copy.get()), id)) copy.release();
  }
}

void TrayIconWin32::RestoreCursors() {
  // Reloads the user's pointer scheme. Some systems report failure here even when the
  // pointers come back; the result is not needed.
  SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
}

}  // namespace hushkey
