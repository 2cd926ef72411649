// The options dialog's modal run, its window's messages and the user's actions.
#include "hushkey/settings/options_dialog_win32.h"

#include <commctrl.h>

#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/engine/word_hash_win32.h"
#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

constexpr UINT_PTR kFailTimerId = 1;  // timEntryReqFail
constexpr UINT_PTR kPassTimerId = 2;  // timEntryReqPass

}  // namespace

OptionsDialog::OptionsDialog(const OptionsDialogSources& sources, std::string programPath,
                             std::string keySeqReminder)
    : model_(OptionsPorts{sources.app, sources.store, sources.addresses, sources.desktop, registry_,
                          picker_, *this, sources.unlockOdds, NewWordHashText},
             std::move(programPath), std::move(keySeqReminder)) {}

OptionsDialog::~OptionsDialog() {
  if (Handle()) RemoveDialogWindow(Handle());
}

OptionsClosedBy OptionsDialog::ShowModal(HINSTANCE instance, HWND owner) {
  if (!Create(instance, owner)) return OptionsClosedBy::NotClosed;
  picker_.SetOwner(Handle());
  model_.Form_Load();
  PlaceCover();
  Refresh();

  // EnableWindow answers whether the window was disabled before.
  const bool ownerWasEnabled = owner && !EnableWindow(owner, FALSE);
  AddDialogWindow(Handle());
  ShowWindow(Handle(), SW_SHOWNORMAL);
  SetForegroundWindow(Handle());

  // The program's input hooks and timers keep running in here, as in the main loop.
  MSG msg;
  while (!closed_) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      // The program is ending: the quit request is left for the main loop, and the dialog
      // unloads as from its close box (mode and mouse speed back).
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
      model_.Form_Unload();
      break;
    }
    DispatchThreadMessage(msg);
  }

  RemoveDialogWindow(Handle());
  // The owner comes back before the dialog goes, so that it is the window activated next.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  window_.reset();
  return model_.ClosedBy();
}

void OptionsDialog::Activate() {
  if (!Handle()) return;
  if (IsIconic(Handle())) ShowWindow(Handle(), SW_RESTORE);
  SetForegroundWindow(Handle());
}

// ---- OptionsViewPort -----------------------------------------------------------------------

void OptionsDialog::SetGateTimer(GateTimer timer, bool on) {
  if (!Handle()) return;
  const UINT_PTR id = timer == GateTimer::Fail ? kFailTimerId : kPassTimerId;
  const UINT ms = static_cast<UINT>(timer == GateTimer::Fail ? kEntryReqFailMs : kEntryReqPassMs);
  if (on) {
    SetTimer(Handle(), id, ms, nullptr);
  } else {
    KillTimer(Handle(), id);
  }
}

void OptionsDialog::ShowMessage(const std::string& text, MessageIcon icon) {
  const UINT type = MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : 0);
  MessageBoxW(Handle(), win32::Utf8ToWide(text).c_str(),
              win32::Utf8ToWide(kMessageBoxCaption).c_str(), type);
}

// ---- Messages ------------------------------------------------------------------------------

LRESULT OptionsDialog::HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_COMMAND: {
      const int index = LOWORD(wp) - kOptionsControlIdBase;
      // Only the controls' own notices: Enter and Escape (IDOK, IDCANCEL) do nothing here.
      if (lp != 0 && index >= 0 && index < static_cast<int>(kOptionsControlCount)) {
        OnCommand(static_cast<OptionsControl>(index), HIWORD(wp), reinterpret_cast<HWND>(lp));
      }
      return 0;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == Control(OptionsControl::hscMouseSpeed)) {
        hscMouseSpeed_Scroll(LOWORD(wp), static_cast<short>(HIWORD(wp)));
      }
      return 0;
    case WM_TIMER:
      if (wp == kFailTimerId) {
        model_.timEntryReqFail_Timer();
      } else if (wp == kPassTimerId) {
        model_.timEntryReqPass_Timer();
      } else {
        break;
      }
      if (!closed_) Refresh();
      return 0;
    case WM_CLOSE:
      // The close box (and Alt+F4): the model unloads; nothing is stored.
      model_.Form_Unload();
      closed_ = true;
      return 0;
    case WM_ACTIVATE:
      // Like a dialog box: the focused control is remembered while another window is active
      // and gets the focus back afterwards.
      if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) &&
                 IsWindowVisible(lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DPICHANGED:
      ApplyDpi(HIWORD(wp));
      FitWindowToClient(reinterpret_cast<const RECT*>(lp));
      PlaceCover();
      return 0;
    default: break;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

void OptionsDialog::OnCommand(OptionsControl control, int code, HWND window) {
  using C = OptionsControl;
  if (refreshing_ || closed_ || window != Control(control)) return;
  // A disabled control cannot be used, whatever message claims otherwise.
  if (!model_.Enabled(control) || !IsWindowEnabled(window)) return;
  const OptionsControlKind kind = RowOf(control).kind;
  if (kind == OptionsControlKind::TextBox) {
    if (code != EN_CHANGE) return;
    model_.SetText(control, win32::WindowTextUtf8(window));
  } else if (kind == OptionsControlKind::HotKey) {
    if (code != EN_CHANGE) return;
    model_.SetKeySequence(
        control,
        KeySequenceFromHotKey(static_cast<WORD>(SendMessageW(window, HKM_GETHOTKEY, 0, 0))));
  } else if (kind == OptionsControlKind::DropDown) {
    if (code != CBN_SELCHANGE) return;
    model_.SetUnlockHold(static_cast<int>(SendMessageW(window, CB_GETCURSEL, 0, 0)));
  } else if (code != BN_CLICKED) {
    return;
  } else if (control == C::cmdOk) {
    model_.cmdOk_Click();
  } else if (control == C::cmdCancel) {
    model_.cmdCancel_Click();
  } else if (control == C::cmdDontLockIfFileExistsPick) {
    model_.cmdDontLockIfFileExistsPick_Click();
  } else if (control == C::cmdKeySeqDefault) {
    model_.cmdKeySeqDefault_Click();
  } else if (kind == OptionsControlKind::CheckBox) {
    model_.SetChecked(control, !model_.Checked(control));
  } else if (kind == OptionsControlKind::OptionButton) {
    model_.SetChecked(control, true);
  } else {
    return;
  }
  if (!closed_) Refresh();
}

// The scroll bar's Change: a step left or right (arrow or page, one each), either end, or
// the thumb let go at a position. Dragging the thumb changes nothing until it is released.
void OptionsDialog::hscMouseSpeed_Scroll(int request, int thumb) {
  std::int32_t speed = model_.MouseSpeed();
  switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT: --speed; break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT: ++speed; break;
    case SB_LEFT: speed = kMouseSpeedMin; break;
    case SB_RIGHT: speed = kMouseSpeedMax; break;
    case SB_THUMBPOSITION: speed = thumb; break;
    default: return;
  }
  model_.SetMouseSpeed(speed);
  Refresh();
}

}  // namespace hushkey
