#include "hushkey/settings/options_layout.h"

#include <algorithm>
#include <array>
#include <vector>

#include "hushkey/autolock/countdown.h"
#include "hushkey/settings/entry_gate.h"
#include "hushkey/settings/run_value.h"

namespace hushkey {
namespace {

using C = OptionsControl;
using K = OptionsControlKind;
constexpr C kForm = C::Count;

constexpr std::string_view kIpTip =
    "Don't autolock if IP address matches this. Enter whole or beginning part of IP address  "
    "eg. 192.168.1";

constexpr std::string_view kWordTip =
    "Type the new word in both boxes; leave both empty to keep the word already set";

// The separating lines run a little past the client area's right edge.
constexpr std::int32_t kLineWidth = kOptionsClientWidthTwips + 120;

constexpr std::array<OptionsControlRow, kOptionsControlCount> kRows{{
    {C::Label1,
     "Label1",
     -1,
     K::Label,
     kForm,
     {135, 135, 1155, 855},
     "Block Windows Control Keys Mode",
     "",
     true},
    {C::Label5, "Label5", -1, K::Label, kForm, {135, 1200, 1155, 495}, "Allow Only Mode", "", true},
    {C::Label2, "Label2", -1, K::Label, kForm, {135, 1920, 1095, 615}, "Locked State", "", true},
    {C::Label3, "Label3", -1, K::Label, kForm, {135, 3150, 975, 615}, "Timed Lock", "", true},
    {C::Label4, "Label4", -1, K::Label, kForm, {135, 5370, 975, 615}, "Other", "", true},
    {C::Line1, "Line1", -1, K::Line, kForm, {0, 1020, kLineWidth, 0}, "", ""},
    {C::Line2, "Line2", -1, K::Line, kForm, {0, 1740, kLineWidth, 0}, "", ""},
    {C::Line3, "Line3", -1, K::Line, kForm, {0, 3000, kLineWidth, 0}, "", ""},
    {C::Line4, "Line4", -1, K::Line, kForm, {0, 5160, kLineWidth, 0}, "", ""},
    {C::chkStopAutorepeatKeys,
     "chkStopAutorepeatKeys",
     -1,
     K::CheckBox,
     kForm,
     {1380, 120, 2145, 225},
     "Stop autorepeat Keys",
     "Stop autorepeat keys when in Block Windows Control Keys mode"},
    {C::chkSetMouseSpeed,
     "chkSetMouseSpeed",
     -1,
     K::CheckBox,
     kForm,
     {1380, 360, 1620, 240},
     "Set mouse speed",
     "Set new mouse speed when in Block Windows Control Keys mode"},
    {C::hscMouseSpeed, "hscMouseSpeed", -1, K::ScrollBar, kForm, {1650, 585, 1260, 195}, "", ""},
    {C::chkTestMouseSpeed,
     "chkTestMouseSpeed",
     -1,
     K::CheckBox,
     kForm,
     {2970, 585, 240, 225},
     "",
     "Test the set mouse speed now",
     false,
     "Test mouse speed"},
    {C::chkAOMAllowMouse,
     "chkAOMAllowMouse",
     -1,
     K::CheckBox,
     kForm,
     {1380, 1140, 2145, 225},
     "Allow Mouse",
     "Allow the mouse to operate when in Allow Only mode"},
    {C::chkUseScrnSvr,
     "chkUseScrnSvr",
     -1,
     K::CheckBox,
     kForm,
     {1380, 1860, 1575, 255},
     "Use screensaver",
     "Invoke screensaver when locking"},
    {C::chkStopMouseMove,
     "chkStopMouseMove",
     -1,
     K::CheckBox,
     kForm,
     {1380, 2115, 1875, 255},
     "Disable Mouse Move",
     ""},
    {C::chkBeepWhenLocked,
     "chkBeepWhenLocked",
     -1,
     K::CheckBox,
     kForm,
     {1380, 2370, 900, 255},
     "Beep",
     "If key or mouse button pressed when system locked, beep"},
    {C::chkFlashTrayWhenLocked,
     "chkFlashTrayWhenLocked",
     -1,
     K::CheckBox,
     kForm,
     {1380, 2625, 2640, 255},
     "Flash tray && mouse pointer",
     "If key or mouse button pressed when system locked, flash the tray icon"},
    {C::txtTimeout,
     "txtTimeout",
     -1,
     K::TextBox,
     kForm,
     {1380, 3180, 615, 255},
     "",
     "In Autolock mode, the system will be locked if no activity in this number of mins"},
    {C::txtTimeoutLabel,
     "txtTimeoutLabel",
     -1,
     K::TextBox,
     kForm,
     {2070, 3225, 465, 285},
     "min(s)",
     ""},
    {C::chkDontLockIf,
     "chkDontLockIf",
     -1,
     K::CheckBox,
     kForm,
     {1380, 3540, 2400, 240},
     "Don't Lock If",
     "Don't autolock if the required condition is met"},
    {C::frameDontLockIf, "frameDontLockIf", -1, K::Frame, kForm, {1620, 3780, 1215, 915}, "", ""},
    {C::optDontLockIf0,
     "optDontLockIf",
     0,
     K::OptionButton,
     C::frameDontLockIf,
     {0, 0, 1215, 255},
     "Day/Time",
     "Don't autolock when time is between the selected hours on the selected days"},
    {C::optDontLockIf1,
     "optDontLockIf",
     1,
     K::OptionButton,
     C::frameDontLockIf,
     {0, 300, 1215, 255},
     "IP Address",
     "Don't autolock if IP address matches selected IP. Enter whole or beginning part of IP "
     "address  eg. 192.168.1"},
    {C::optDontLockIf2,
     "optDontLockIf",
     2,
     K::OptionButton,
     C::frameDontLockIf,
     {0, 600, 1215, 255},
     "File Exists",
     "Don't autolock if selected file is found eg. a file on your work network"},
    {C::txtDontLockIfStartTime,
     "txtDontLockIfStartTime",
     -1,
     K::TextBox,
     kForm,
     {2820, 3780, 615, 285},
     "",
     "Start time (enter as HH:MM)"},
    {C::txtDontLockIfEndTime,
     "txtDontLockIfEndTime",
     -1,
     K::TextBox,
     kForm,
     {3480, 3780, 615, 285},
     "",
     "End time (enter as HH:MM)"},
    {C::lblDontLockIfDay0, "lblDontLockIfDay", 0, K::Label, kForm, {4170, 3600, 195, 195}, "M", ""},
    {C::lblDontLockIfDay1, "lblDontLockIfDay", 1, K::Label, kForm, {4410, 3600, 195, 195}, "T", ""},
    {C::lblDontLockIfDay2, "lblDontLockIfDay", 2, K::Label, kForm, {4640, 3600, 195, 195}, "W", ""},
    {C::lblDontLockIfDay3,
     "lblDontLockIfDay",
     3,
     K::Label,
     kForm,
     {4860, 3600, 195, 195},
     "Th",
     ""},
    {C::lblDontLockIfDay4, "lblDontLockIfDay", 4, K::Label, kForm, {5145, 3600, 195, 195}, "F", ""},
    {C::lblDontLockIfDay5, "lblDontLockIfDay", 5, K::Label, kForm, {5370, 3600, 195, 195}, "S", ""},
    {C::lblDontLockIfDay6, "lblDontLockIfDay", 6, K::Label, kForm, {5610, 3600, 195, 195}, "S", ""},
    {C::chkDontLockIfDay0,
     "chkDontLockIfDay",
     0,
     K::CheckBox,
     kForm,
     {4140, 3810, 225, 225},
     "",
     "",
     false,
     "Monday"},
    {C::chkDontLockIfDay1,
     "chkDontLockIfDay",
     1,
     K::CheckBox,
     kForm,
     {4380, 3810, 225, 225},
     "",
     "",
     false,
     "Tuesday"},
    {C::chkDontLockIfDay2,
     "chkDontLockIfDay",
     2,
     K::CheckBox,
     kForm,
     {4620, 3810, 225, 225},
     "",
     "",
     false,
     "Wednesday"},
    {C::chkDontLockIfDay3,
     "chkDontLockIfDay",
     3,
     K::CheckBox,
     kForm,
     {4860, 3810, 225, 225},
     "",
     "",
     false,
     "Thursday"},
    {C::chkDontLockIfDay4,
     "chkDontLockIfDay",
     4,
     K::CheckBox,
     kForm,
     {5100, 3810, 225, 225},
     "",
     "",
     false,
     "Friday"},
    {C::chkDontLockIfDay5,
     "chkDontLockIfDay",
     5,
     K::CheckBox,
     kForm,
     {5340, 3810, 225, 225},
     "",
     "",
     false,
     "Saturday"},
    {C::chkDontLockIfDay6,
     "chkDontLockIfDay",
     6,
     K::CheckBox,
     kForm,
     {5580, 3810, 225, 225},
     "",
     "",
     false,
     "Sunday"},
    {C::txtDontLockIfIP,
     "txtDontLockIfIP",
     -1,
     K::TextBox,
     kForm,
     {2820, 4080, 2565, 285},
     "",
     kIpTip},
    {C::chkDontLockIfIP,
     "chkDontLockIfIP",
     -1,
     K::CheckBox,
     kForm,
     {5460, 4140, 195, 195},
     "",
     "Tick to trigger when IP matches, untick to trigger when IP does not match",
     false,
     "IP address matches"},
    {C::txtDontLockIfFileExists,
     "txtDontLockIfFileExists",
     -1,
     K::TextBox,
     kForm,
     {2820, 4380, 2565, 285},
     "",
     ""},
    {C::cmdDontLockIfFileExistsPick,
     "cmdDontLockIfFileExistsPick",
     -1,
     K::Button,
     kForm,
     {5430, 4405, 375, 250},
     "...",
     ""},
    {C::Label6, "Label6", -1, K::Label, kForm, {180, 3840, 1095, 255}, "Current IP:", ""},
    {C::txtIPaddress, "txtIPaddress", -1, K::TextBox, kForm, {180, 4080, 1425, 285}, "", kIpTip},
    {C::Label7, "Label7", -1, K::Label, kForm, {1380, 4770, 1335, 255}, "Passthru Wnd Cls", ""},
    {C::txtPassthruWCls,
     "txtPassthruWCls",
     -1,
     K::TextBox,
     kForm,
     {2820, 4740, 2565, 285},
     "",
     "If using a remote control program, you may want the unlock key seq to passthrough, not "
     "be handled by this PC. Enter wndclass of such app. Find wndclass using Windowse or "
     "similar."},
    {C::chkStartWithWindows,
     "chkStartWithWindows",
     -1,
     K::CheckBox,
     kForm,
     {1380, 5340, 2400, 240},
     "Start with windows",
     "Start this application when windows starts"},
    {C::frameStartMode, "frameStartMode", -1, K::Frame, kForm, {1620, 5640, 4275, 1275}, "", ""},
    {C::optStartMode0,
     "optStartMode",
     0,
     K::OptionButton,
     C::frameStartMode,
     {0, 0, 3975, 240},
     StartModeRow(0).startCaption,
     ""},
    {C::optStartMode1,
     "optStartMode",
     1,
     K::OptionButton,
     C::frameStartMode,
     {0, 240, 3975, 240},
     StartModeRow(1).startCaption,
     ""},
    {C::optStartMode2,
     "optStartMode",
     2,
     K::OptionButton,
     C::frameStartMode,
     {0, 480, 3975, 240},
     StartModeRow(2).startCaption,
     ""},
    {C::optStartMode3,
     "optStartMode",
     3,
     K::OptionButton,
     C::frameStartMode,
     {0, 720, 3975, 240},
     StartModeRow(3).startCaption,
     ""},
    {C::optStartMode4,
     "optStartMode",
     4,
     K::OptionButton,
     C::frameStartMode,
     {0, 960, 3975, 240},
     StartModeRow(4).startCaption,
     ""},
    {C::chkShowLockUnlockSeq,
     "chkShowLockUnlockSeq",
     -1,
     K::CheckBox,
     kForm,
     {1380, 6960, 3105, 225},
     "Show lock/unlock key seq",
     "When entering Options, the system can remind you what the lock/unlock key sequence is"},
    {C::cmdOk, "cmdOk", -1, K::Button, kForm, {4935, 8940, 1215, 435}, "&Ok", ""},
    {C::cmdCancel, "cmdCancel", -1, K::Button, kForm, {6345, 8940, 1215, 435}, "&Cancel", ""},
    {C::frameEntryReq, "frameEntryReq", -1, K::Frame, kForm, {}, "", ""},
    {C::lblEntryReq, "lblEntryReq", -1, K::Label, C::frameEntryReq, {}, kEntryRequestText, ""},
    // Beside the first rows of the locked state.
    {C::chkBlockTouch,
     "chkBlockTouch",
     -1,
     K::CheckBox,
     kForm,
     {4140, 1860, 3420, 255},
     "Block touch screen and pen while locked",
     "While locked, a cover over every screen takes touches and the pen, so they reach no "
     "program"},
    {C::chkDimWhenLocked,
     "chkDimWhenLocked",
     -1,
     K::CheckBox,
     kForm,
     {4140, 2115, 3420, 255},
     "Dim the screen while locked",
     "While locked, darken the screen a little and say how to unlock"},
    // The key sequences: four rows in two columns of a label and a field each.
    {C::Line5, "Line5", -1, K::Line, kForm, {0, 7320, kLineWidth, 0}, "", ""},
    {C::Label8, "Label8", -1, K::Label, kForm, {135, 7470, 1155, 615}, "Key sequences", "", true},
    {C::lblLockKeySeq, "lblLockKeySeq", -1, K::Label, kForm, {1380, 7440, 1440, 255}, "Lock:", ""},
    {C::hkLockKeySeq,
     "hkLockKeySeq",
     -1,
     K::HotKey,
     kForm,
     {2880, 7410, 1800, 285},
     "",
     "Press the keys that lock: Ctrl, Alt or Shift with one more key"},
    {C::cmdKeySeqDefault,
     "cmdKeySeqDefault",
     -1,
     K::Button,
     kForm,
     {4800, 7395, 1095, 315},
     "Default",
     "Lock with Alt+End and unlock with Alt+Home again"},
    {C::lblUnlockKeySeq,
     "lblUnlockKeySeq",
     -1,
     K::Label,
     kForm,
     {1380, 7785, 1440, 255},
     "Unlock:",
     ""},
    {C::hkUnlockKeySeq,
     "hkUnlockKeySeq",
     -1,
     K::HotKey,
     kForm,
     {2880, 7755, 1800, 285},
     "",
     "Press the keys that unlock: Ctrl, Alt or Shift with one more key"},
    {C::lblUnlockHold,
     "lblUnlockHold",
     -1,
     K::Label,
     kForm,
     {4800, 7785, 690, 255},
     "Hold for",
     ""},
    {C::cboUnlockHold,
     "cboUnlockHold",
     -1,
     K::DropDown,
     kForm,
     {5550, 7755, 705, 285},
     "",
     "The unlock sequence acts only once it has been held down this long"},
    {C::lblUnlockHoldUnit,
     "lblUnlockHoldUnit",
     -1,
     K::Label,
     kForm,
     {6315, 7785, 1245, 255},
     "seconds",
     ""},
    {C::lblUnlockOdds, "lblUnlockOdds", -1, K::Label, kForm, {2880, 8130, 4680, 255}, "", ""},
    {C::chkUnlockWord,
     "chkUnlockWord",
     -1,
     K::CheckBox,
     kForm,
     {1380, 8460, 1440, 255},
     "Unlock word",
     "Unlock also by typing a word of letters and digits (at least 6), then Enter"},
    {C::txtUnlockWord,
     "txtUnlockWord",
     -1,
     K::TextBox,
     kForm,
     {2880, 8445, 1800, 285},
     "",
     kWordTip},
    {C::lblUnlockWordAgain,
     "lblUnlockWordAgain",
     -1,
     K::Label,
     kForm,
     {4800, 8475, 690, 255},
     "Again:",
     ""},
    {C::txtUnlockWordAgain,
     "txtUnlockWordAgain",
     -1,
     K::TextBox,
     kForm,
     {5550, 8445, 2010, 285},
     "",
     kWordTip},
}};

constexpr OptionsControl kTabOrder[] = {
    C::chkStopAutorepeatKeys,
    C::chkSetMouseSpeed,
    C::hscMouseSpeed,
    C::chkAOMAllowMouse,
    C::chkUseScrnSvr,
    C::chkStopMouseMove,
    C::chkBeepWhenLocked,
    C::chkFlashTrayWhenLocked,
    C::chkBlockTouch,
    C::chkDimWhenLocked,
    C::txtTimeout,
    C::chkDontLockIf,
    C::txtDontLockIfStartTime,
    C::txtDontLockIfEndTime,
    C::chkDontLockIfDay0,
    C::chkDontLockIfDay1,
    C::chkDontLockIfDay2,
    C::chkDontLockIfDay3,
    C::chkDontLockIfDay4,
    C::chkDontLockIfDay5,
    C::chkDontLockIfDay6,
    C::txtDontLockIfIP,
    C::chkDontLockIfIP,
    C::txtDontLockIfFileExists,
    C::cmdDontLockIfFileExistsPick,
    C::chkStartWithWindows,
    C::chkShowLockUnlockSeq,
    C::hkLockKeySeq,
    C::cmdKeySeqDefault,
    C::hkUnlockKeySeq,
    C::cboUnlockHold,
    C::chkUnlockWord,
    C::txtUnlockWord,
    C::txtUnlockWordAgain,
    C::cmdOk,
    C::cmdCancel,
    C::chkTestMouseSpeed,
    C::optDontLockIf2,
    C::optDontLockIf1,
    C::optDontLockIf0,
    C::optStartMode0,
    C::optStartMode1,
    C::optStartMode2,
    C::optStartMode3,
    C::optStartMode4,
    C::txtIPaddress,
    C::txtPassthruWCls,
};

constexpr bool RowsInIdOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i) {
    if (static_cast<std::size_t>(kRows[i].id) != i) return false;
  }
  return true;
}
static_assert(RowsInIdOrder(), "kRows must follow OptionsControl order");

std::int32_t RoundTwips(double x) { return static_cast<std::int32_t>(RoundHalfEven(x)); }

// How much wider the control must be to show its text whole.
std::int32_t Growth(const OptionsControlRow& row, const PixelRect& r, OptionsMeasurePort& measure) {
  const std::string text = FitText(row);
  if (text.empty()) return 0;
  const PixelSize line = measure.TextSize(row.id, text, 0);
  if (row.kind != K::Label) return std::max(0, measure.ChromeWidth(row.id) + line.width - r.width);
  // A label wraps its words: the narrowest width from its own on at which they fit its
  // height (at the latest on one line).
  auto fits = [&](std::int32_t width) {
    const PixelSize wrapped = measure.TextSize(row.id, text, width);
    return wrapped.width <= width && wrapped.height <= r.height;
  };
  if (line.width <= r.width || fits(r.width)) return 0;
  std::int32_t tooNarrow = r.width, wide = line.width;
  while (wide - tooNarrow > 1) {
    const std::int32_t mid = tooNarrow + (wide - tooNarrow) / 2;
    (fits(mid) ? wide : tooNarrow) = mid;
  }
  return wide - r.width;
}

}  // namespace

std::span<const OptionsControlRow> OptionsDialogControls() { return kRows; }

std::span<const OptionsControl> OptionsTabOrder() { return kTabOrder; }

const OptionsControlRow& RowOf(OptionsControl id) { return kRows[static_cast<std::size_t>(id)]; }

std::string DisplayedCaption(std::string_view caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

std::string FitText(const OptionsControlRow& row) {
  switch (row.id) {
    case C::txtTimeout: return "9999";
    case C::txtDontLockIfStartTime:
    case C::txtDontLockIfEndTime: return "00:00";
    case C::txtDontLockIfIP:
    case C::txtIPaddress: return "255.255.255.255";
    case C::lblEntryReq:
      return {};  // sized from the window when the dialog loads
    // A sequence of two modifiers and one of the longer key names, the longest hold, and
    // the longest figure (its texts are made elsewhere: this is what the label is sized to).
    case C::hkLockKeySeq:
    case C::hkUnlockKeySeq: return "Ctrl + Alt + Page Down";
    case C::cboUnlockHold: return "0.5";
    case C::lblUnlockOdds: return "a mashing child: less than once in a million hours";
    default: break;
  }
  switch (row.kind) {
    case K::Label:
    case K::CheckBox:
    case K::OptionButton:
    case K::Button: return DisplayedCaption(row.caption);
    case K::TextBox: return std::string(row.caption);  // a text box shows "&" as it is
    default: return {};
  }
}

OptionsPixelLayout FitOptionsLayout(std::uint32_t dpi, OptionsMeasurePort& measure) {
  auto px = [dpi](std::int32_t twips) { return PixelsFromTwips(twips, dpi); };
  OptionsPixelLayout layout;
  layout.clientWidth = px(kOptionsClientWidthTwips);
  layout.clientHeight = px(kOptionsClientHeightTwips);
  std::array<std::int32_t, kOptionsControlCount> growth{};
  auto index = [](C c) { return static_cast<std::size_t>(c); };
  for (const OptionsControlRow& row : kRows) {
    if (row.id == C::frameEntryReq || row.id == C::lblEntryReq) continue;
    TwipsRect r = row.rect;
    if (row.parent != kForm) {
      r.left += RowOf(row.parent).rect.left;
      r.top += RowOf(row.parent).rect.top;
    }
    if (row.kind == K::Line) r.height = kOptionsLineTwips;
    layout.rects[index(row.id)] = {px(r.left), px(r.top), px(r.width), px(r.height)};
    growth[index(row.id)] = Growth(row, layout.rects[index(row.id)], measure);
  }
  for (const OptionsControlRow& row : kRows) {
    if (row.parent == kForm || row.parent == C::frameEntryReq) continue;
    const std::int32_t past =
        layout[row.id].Right() + growth[index(row.id)] - layout[row.parent].Right();
    growth[index(row.parent)] = std::max(growth[index(row.parent)], past);
  }

  // Whatever starts right of a widened control's middle (on any row: columns stay aligned)
  // moves right by as much as that control's left edge moved plus its growth: what stood
  // beside it stays beside it, what overlapped its right end by a little (a text box over a
  // frame's edge) overlaps it no more than before. Taken from left to right by their
  // middles, every control that moves one has been placed itself.
  struct Widened {
    std::int32_t left, right, growth, moved = 0;
  };
  std::vector<Widened> widened;
  for (const OptionsControlRow& row : kRows) {
    const PixelRect& r = layout[row.id];
    if (growth[index(row.id)] > 0) widened.push_back({r.left, r.Right(), growth[index(row.id)]});
  }
  std::sort(widened.begin(), widened.end(),
            [](const Widened& a, const Widened& b) { return a.left + a.right < b.left + b.right; });
  auto shiftAt = [&widened](std::int32_t x) {
    std::int32_t shift = 0;
    for (const Widened& w : widened) {
      if (2 * x > w.left + w.right) shift = std::max(shift, w.moved + w.growth);
    }
    return shift;
  };
  for (Widened& w : widened) w.moved = shiftAt(w.left);
  const std::int32_t widest = shiftAt(layout.clientWidth);
  for (const OptionsControlRow& row : kRows) {
    PixelRect& r = layout.rects[index(row.id)];
    if (row.kind == K::Line) {
      r.width += widest;
    } else {
      r.left += shiftAt(r.left);
      r.width += growth[index(row.id)];
    }
  }
  layout.clientWidth += widest;
  return layout;
}

TwipsRect EntryRequestLabelRect(std::int32_t dialogWidth, std::int32_t dialogHeight) {
  TwipsRect r;
  r.height = RoundTwips(dialogHeight * 0.5);
  r.width = RoundTwips(dialogWidth * 0.8);
  r.left = (dialogWidth - r.width) / 2;
  r.top = (dialogHeight - r.height) / 3;
  return r;
}

}  // namespace hushkey
