// The options dialog's window: its controls from the layout table, their DPI scaling and
// tool tips, the entry gate's cover, and showing the model's state.
#include "hushkey/settings/options_dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "win32/text_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

namespace {

using C = OptionsControl;
using K = OptionsControlKind;

constexpr wchar_t kCoverClass[] = L"HushkeyOptionsCover";
// Sizable, with the minimise, maximise and close boxes.
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr int kFontPoints = 8;

struct Look {
  const wchar_t* cls;
  DWORD style;
  DWORD exStyle = 0;
};

Look LookOf(const OptionsControlRow& row) {
  switch (row.kind) {
    case K::Label: return {L"STATIC", row.id == C::lblEntryReq ? DWORD{SS_CENTER} : DWORD{SS_LEFT}};
    case K::Line: return {L"STATIC", SS_ETCHEDHORZ};
    case K::CheckBox:
      // Without a caption, the window text is only the name screen readers announce: a
      // button that shows an image (none here) draws no text.
      return {L"BUTTON", row.caption.empty() ? DWORD{BS_CHECKBOX | BS_BITMAP} : DWORD{BS_CHECKBOX}};
    case K::ScrollBar: return {L"SCROLLBAR", SBS_HORZ};
    case K::TextBox: {
      // The unit caption beside the timeout is a text box that only shows its text.
      if (row.id == C::txtTimeoutLabel) return {L"EDIT", ES_READONLY};
      const DWORD only = row.id == C::txtIPaddress ? DWORD{ES_READONLY}
                         : row.id == C::txtUnlockWord || row.id == C::txtUnlockWordAgain
                             ? DWORD{ES_PASSWORD}
                             : 0;
      return {L"EDIT", DWORD{ES_AUTOHSCROLL} | only, WS_EX_CLIENTEDGE};
    }
    case K::Frame:
      // The gate's cover takes the clicks meant for what it covers; the other frames only
      // hold their option buttons and draw nothing.
      return {row.id == C::frameEntryReq ? kCoverClass : L"STATIC", 0};
    case K::OptionButton: return {L"BUTTON", BS_RADIOBUTTON};
    case K::Button: return {L"BUTTON", BS_PUSHBUTTON};
    case K::HotKey: return {HOTKEY_CLASSW, 0, WS_EX_CLIENTEDGE};
    case K::DropDown: return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL};
  }
  return {L"STATIC", 0};
}

bool IsRadio(C c) { return RowOf(c).kind == K::OptionButton; }

// The option buttons of one group, in the tab order; the first takes the tab stop when
// none is selected.
constexpr C kDontLockIfGroup[] = {C::optDontLockIf2, C::optDontLockIf1, C::optDontLockIf0};
constexpr C kStartModeGroup[] = {C::optStartMode0, C::optStartMode1, C::optStartMode2,
                                 C::optStartMode3, C::optStartMode4};

// The margins inside a text box, left and right (none for the unit caption, so that its
// text sits like a label's).
int EditMargin(C c, UINT dpi) { return c == C::txtTimeoutLabel ? 0 : MulDiv(2, dpi, 96); }

// The modifiers of a key sequence and their flags in a sequence field's value.
constexpr std::pair<std::uint8_t, BYTE> kModifierFlags[] = {
    {kModCtrl, HOTKEYF_CONTROL}, {kModAlt, HOTKEYF_ALT}, {kModShift, HOTKEYF_SHIFT}};

// Measures texts in a memory device context with the dialog's fonts for one DPI.
class FontMeasure final : public OptionsMeasurePort {
 public:
  FontMeasure(UINT dpi, HFONT font, HFONT headingFont)
      : dpi_(static_cast<int>(dpi)), font_(font), heading_(headingFont) {}
  ~FontMeasure() override {
    if (dc_) DeleteDC(dc_);
  }
  FontMeasure(const FontMeasure&) = delete;
  FontMeasure& operator=(const FontMeasure&) = delete;

  PixelSize TextSize(C c, std::string_view text, std::int32_t wrapWidth) override {
    const std::wstring wide = win32::Utf8ToWide(text);
    const HGDIOBJ old = SelectObject(dc_, RowOf(c).bold ? heading_ : font_);
    PixelSize size;
    if (wrapWidth <= 0) {
      SIZE s{};
      GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &s);
      size = {s.cx, s.cy};
    } else {
      // As a label draws its text: words wrapped, tabs expanded.
      RECT r{0, 0, wrapWidth, 0};
      DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &r,
                DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
      size = {r.right, r.bottom};
    }
    SelectObject(dc_, old);
    return size;
  }

  std::int32_t ChromeWidth(C c) override {
    const OptionsControlRow& row = RowOf(c);
    switch (row.kind) {
      case K::CheckBox:
      case K::OptionButton: {
        // The glyph (13 pixels at 96 DPI), a gap of half a digit, and a pixel either side
        // of the text for the focus rectangle.
        const HGDIOBJ old = SelectObject(dc_, font_);
        SIZE digit{};
        GetTextExtentPoint32W(dc_, L"0", 1, &digit);
        SelectObject(dc_, old);
        return MulDiv(13, dpi_, 96) + digit.cx / 2 + 2;
      }
      case K::TextBox: {
        const int edges = LookOf(row).exStyle & WS_EX_CLIENTEDGE
                              ? 2 * win32::SystemMetricForDpi(SM_CXEDGE, dpi_)
                              : 0;
        return edges + 2 * EditMargin(c, dpi_) + 1;  // and the caret
      }
      case K::Button: return 2 * MulDiv(4, dpi_, 96);
      case K::HotKey:
        return 2 * win32::SystemMetricForDpi(SM_CXEDGE, dpi_) + 2 * MulDiv(2, dpi_, 96) + 1;
      case K::DropDown:
        // Borders, the drop-down button, and room for the focus rectangle either side.
        return 2 * win32::SystemMetricForDpi(SM_CXEDGE, dpi_) +
               win32::SystemMetricForDpi(SM_CXVSCROLL, dpi_) + 2 * MulDiv(3, dpi_, 96);
      default: return 0;
    }
  }

 private:
  int dpi_;
  HFONT font_, heading_;
  HDC dc_ = CreateCompatibleDC(nullptr);
};

}  // namespace

KeySequence KeySequenceFromHotKey(WORD value) {
  KeySequence s;
  s.vk = LOBYTE(value);
  for (const auto& [mod, flag] : kModifierFlags) {
    if (HIBYTE(value) & flag) s.modifiers |= mod;
  }
  return s;
}

WORD HotKeyFromKeySequence(const KeySequence& s) {
  BYTE flags = 0;
  for (const auto& [mod, flag] : kModifierFlags) {
    if (s.modifiers & mod) flags |= flag;
  }
  // The editing keys of the separate block are extended keys: without the flag the field
  // would name their number-pad twins.
  if ((s.vk >= VK_PRIOR && s.vk <= VK_HOME) || s.vk == VK_INSERT || s.vk == VK_DELETE) {
    flags |= HOTKEYF_EXT;
  }
  return MAKEWORD(static_cast<BYTE>(s.vk), flags);
}

HFONT CreateOptionsFont(UINT dpi) { return win32::CreateMessageFont(kFontPoints, dpi); }

HFONT CreateOptionsHeadingFont(UINT dpi) {
  LOGFONTW lf{};
  lf.lfHeight = -static_cast<LONG>(std::lround(kHeadingFontPoints * dpi / 72.0));
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = DEFAULT_CHARSET;
  const std::wstring face = win32::Utf8ToWide(kHeadingFontName);
  lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  return font ? font : win32::CreateMessageFont(kFontPoints, dpi, FW_BOLD);
}

OptionsPixelLayout FitOptionsLayoutWin32(UINT dpi, HFONT font, HFONT headingFont) {
  FontMeasure measure(dpi, font, headingFont);
  return FitOptionsLayout(dpi, measure);
}

int OptionsDialog::Px(int twips) const { return win32::TwipsToPixels(twips, dpi_); }

bool OptionsDialog::Create(HINSTANCE instance, HWND owner) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW dialog{};
  dialog.lpfnWndProc = &win32::WindowBase::WindowProc;
  dialog.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  dialog.lpszClassName = kOptionsWindowClass;
  WNDCLASSEXW cover{};
  cover.lpfnWndProc = DefWindowProcW;
  cover.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cover.lpszClassName = kCoverClass;
  if (!win32::EnsureWindowClass(dialog, instance) || !win32::EnsureWindowClass(cover, instance)) {
    return false;
  }
  dpi_ = win32::WindowDpi(owner);
  const RECT rc = win32::WindowRectForClient(
      Px(kOptionsClientWidthTwips), Px(kOptionsClientHeightTwips), kWindowStyle, 0, false, dpi_);
  // No icon of its own: the platform's default one. Placed where the platform puts windows.
  window_.reset(CreateHandle(0, kOptionsWindowClass, win32::Utf8ToWide(kOptionsCaption).c_str(),
                             kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, rc.right - rc.left,
                             rc.bottom - rc.top, owner, nullptr, instance));
  if (!window_) return false;
  if (!CreateControls(instance)) {
    window_.reset();
    return false;
  }
  ApplyDpi(win32::WindowDpi(Handle()));
  return true;
}

bool OptionsDialog::CreateControls(HINSTANCE instance) {
  // Created in the tab order, which the dialog manager follows (it walks the controls in
  // creation order); the controls without a tab stop follow.
  std::vector<C> order(OptionsTabOrder().begin(), OptionsTabOrder().end());
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    if (std::find(order.begin(), order.end(), row.id) == order.end()) order.push_back(row.id);
  }
  for (C c : order) {
    const OptionsControlRow& row = RowOf(c);
    const Look look = LookOf(row);
    const bool tabStop =
        std::find(OptionsTabOrder().begin(), OptionsTabOrder().end(), c) != OptionsTabOrder().end();
    // Every control with a tab stop starts a group of its own, except the option buttons
    // after the first of their group: the arrow keys move within a group of options.
    const bool groupStart =
        tabStop && (!IsRadio(c) || c == kDontLockIfGroup[0] || c == kStartModeGroup[0]);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | look.style;
    if (c != C::frameEntryReq && c != C::lblEntryReq) style |= WS_VISIBLE;
    if (tabStop && !IsRadio(c)) style |= WS_TABSTOP;
    if (groupStart) style |= WS_GROUP;
    const std::wstring text =
        row.kind == K::TextBox || row.kind == K::ScrollBar || row.kind == K::HotKey ||
                row.kind == K::DropDown
            ? std::wstring()
            : win32::Utf8ToWide(row.caption.empty() ? row.accessibleName : row.caption);
    HWND w = CreateWindowExW(look.exStyle, look.cls, text.c_str(), style, 0, 0, 0, 0, Handle(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(OptionsControlId(c))),
                             instance, nullptr);
    if (!w) return false;
    controls_[static_cast<std::size_t>(c)] = w;
  }
  SetScrollRange(Control(C::hscMouseSpeed), SB_CTL, kMouseSpeedMin, kMouseSpeedMax, FALSE);
  for (std::string_view choice : kUnlockHoldChoiceTexts) {
    SendMessageW(Control(C::cboUnlockHold), CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(win32::Utf8ToWide(choice).c_str()));
  }
  // A key pressed alone in a sequence field is taken with Alt: a sequence needs a modifier.
  for (C field : {C::hkLockKeySeq, C::hkUnlockKeySeq}) {
    SendMessageW(Control(field), HKM_SETRULES, HKCOMB_NONE, MAKELPARAM(HOTKEYF_ALT, 0));
  }

  toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, instance, nullptr);
  if (toolTip_) {
    for (const OptionsControlRow& row : OptionsDialogControls()) {
      if (!row.toolTip.empty()) AddToolTip(Control(row.id), row.toolTip);
    }
  }
  return true;
}

void OptionsDialog::AddToolTip(HWND control, std::string_view text) {
  TTTOOLINFOW ti{};
  ti.cbSize = sizeof(ti);
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = Handle();
  ti.uId = reinterpret_cast<UINT_PTR>(control);
  std::wstring copy = win32::Utf8ToWide(text);
  ti.lpszText = copy.data();
  SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

void OptionsDialog::ApplyDpi(UINT dpi) {
  dpi_ = dpi ? dpi : 96;
  win32::UniqueFont font(CreateOptionsFont(dpi_));
  win32::UniqueFont headingFont(CreateOptionsHeadingFont(dpi_));
  layout_ = FitOptionsLayoutWin32(dpi_, font.get(), headingFont.get());
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    HFONT f = row.bold ? headingFont.get() : font.get();
    SendMessageW(Control(row.id), WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    if (row.kind == K::TextBox) {
      const int margin = EditMargin(row.id, dpi_);
      SendMessageW(Control(row.id), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                   MAKELONG(margin, margin));
    }
  }
  // The old fonts go only once no control uses them.
  font_ = std::move(font);
  headingFont_ = std::move(headingFont);
  if (toolTip_) {
    SendMessageW(toolTip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(toolTip_, TTM_SETMAXTIPWIDTH, 0, Px(4500));
  }
  Layout();
  FitWindowToClient(nullptr);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void OptionsDialog::FitWindowToClient(const RECT* suggested) {
  if (IsZoomed(Handle()) || IsIconic(Handle())) return;
  const RECT rc = win32::WindowRectForClient(layout_.clientWidth, layout_.clientHeight,
                                             kWindowStyle, 0, false, dpi_);
  RECT now{};
  GetWindowRect(Handle(), &now);
  const RECT& at = suggested ? *suggested : now;
  // Kept inside its monitor's work area where it fits (its top-left corner first), so that
  // Ok stays on the screen.
  const RECT work = win32::WorkAreaOf(Handle());
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  const int left = std::max<int>(work.left, std::min<int>(at.left, work.right - width));
  const int top = std::max<int>(work.top, std::min<int>(at.top, work.bottom - height));
  SetWindowPos(Handle(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Every control at its place in the layout fitted to the DPI (a frame's option buttons
// inside the frame). The controls keep these positions when the window is resized.
void OptionsDialog::Layout() {
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    if (row.id == C::frameEntryReq || row.id == C::lblEntryReq) continue;
    const PixelRect& r = layout_[row.id];
    // A drop-down list's height includes the list it drops (its closed height follows the
    // font): room for every choice.
    const int height = row.kind == K::DropDown
                           ? r.height * (1 + static_cast<int>(kUnlockHoldChoicesMs.size()))
                           : r.height;
    SetWindowPos(Control(row.id), nullptr, r.left, r.top, r.width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

// The cover over the whole window (its outer size, so the client area is covered whatever
// the border), the request centred across it, both above every other control.
void OptionsDialog::PlaceCover() {
  RECT outer{};
  GetWindowRect(Handle(), &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(Control(C::frameEntryReq), HWND_TOP, 0, 0, width, height, SWP_NOACTIVATE);
  const TwipsRect r = EntryRequestLabelRect(MulDiv(width, 1440, static_cast<int>(dpi_)),
                                            MulDiv(height, 1440, static_cast<int>(dpi_)));
  SetWindowPos(Control(C::lblEntryReq), HWND_TOP, Px(r.left), Px(r.top), Px(r.width), Px(r.height),
               SWP_NOACTIVATE);
}

void OptionsDialog::Refresh() {
  refreshing_ = true;
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    HWND w = Control(row.id);
    EnableWindow(w, model_.Enabled(row.id));
    switch (row.kind) {
      case K::CheckBox:
      case K::OptionButton:
        SendMessageW(w, BM_SETCHECK, model_.Checked(row.id) ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case K::TextBox:
        // Set only when it differs, so that the caret stays where the user is typing.
        if (const std::string text = model_.Text(row.id); text != win32::WindowTextUtf8(w)) {
          SetWindowTextW(w, win32::Utf8ToWide(text).c_str());
        }
        break;
      case K::ScrollBar: SetScrollPos(w, SB_CTL, model_.MouseSpeed(), TRUE); break;
      case K::HotKey:
        // Set only when it differs, so that a field being typed in is left alone.
        if (const KeySequence s = model_.KeySequenceOf(row.id);
            KeySequenceFromHotKey(static_cast<WORD>(SendMessageW(w, HKM_GETHOTKEY, 0, 0))) != s) {
          SendMessageW(w, HKM_SETHOTKEY, HotKeyFromKeySequence(s), 0);
        }
        break;
      case K::DropDown:
        if (const int choice = model_.Values().cboUnlockHold;
            SendMessageW(w, CB_GETCURSEL, 0, 0) != choice) {
          SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
        }
        break;
      default: break;
    }
  }
  HWND odds = Control(C::lblUnlockOdds);
  if (const std::string text = model_.Text(C::lblUnlockOdds); text != win32::WindowTextUtf8(odds)) {
    SetWindowTextW(odds, win32::Utf8ToWide(text).c_str());
  }
  RefreshTabStops();
  HWND request = Control(C::lblEntryReq);
  if (const std::string text = model_.Text(C::lblEntryReq);
      text != win32::WindowTextUtf8(request)) {
    SetWindowTextW(request, win32::Utf8ToWide(text).c_str());
  }
  const bool covered = model_.Visible(C::frameEntryReq);
  // The request goes before its frame when the gate opens, and comes after it when covered.
  if (!covered) ShowWindow(request, SW_HIDE);
  ShowWindow(Control(C::frameEntryReq), covered ? SW_SHOWNA : SW_HIDE);
  if (covered) ShowWindow(request, SW_SHOWNA);
  if (covered_ && !covered) {
    // The gate has opened: the keyboard starts at the first control of the tab order.
    lastFocus_ = Control(OptionsTabOrder().front());
    if (GetActiveWindow() == Handle()) SetFocus(lastFocus_);
  }
  covered_ = covered;
  refreshing_ = false;
  KeepFocusUsable();
}

// An option group is reached by Tab at its selected button, or at its first one when none is
// selected.
void OptionsDialog::RefreshTabStops() {
  auto group = [this](std::span<const C> buttons) {
    const bool any =
        std::any_of(buttons.begin(), buttons.end(), [this](C c) { return model_.Checked(c); });
    for (C c : buttons) {
      HWND w = Control(c);
      const bool stop = model_.Checked(c) || (!any && c == buttons.front());
      const LONG_PTR style = GetWindowLongPtrW(w, GWL_STYLE);
      const LONG_PTR wanted = stop ? (style | WS_TABSTOP) : (style & ~LONG_PTR{WS_TABSTOP});
      if (wanted != style) SetWindowLongPtrW(w, GWL_STYLE, wanted);
    }
  };
  group(kDontLockIfGroup);
  group(kStartModeGroup);
}

// A control that lost its enabled state while it had the keyboard hands it on to the next
// control that can take it.
void OptionsDialog::KeepFocusUsable() {
  HWND focus = GetFocus();
  if (!focus || !IsChild(Handle(), focus) || IsWindowEnabled(focus)) return;
  HWND next = GetNextDlgTabItem(Handle(), focus, FALSE);
  SetFocus(next && next != focus ? next : Handle());
}

}  // namespace hushkey
