// The options dialog's controls as the dialog window is built from them: one table of
// kinds, positions (twips, relative to the client area or to the frame holding the
// control), captions with their access keys, tool tips and the keyboard order.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hushkey/engine/layout_units.h"

namespace hushkey {

inline constexpr std::string_view kOptionsCaption = "Options";
inline constexpr std::int32_t kOptionsClientWidthTwips = 7695;
inline constexpr std::int32_t kOptionsClientHeightTwips = 9435;
// A separating line's thickness.
inline constexpr std::int32_t kOptionsLineTwips = 30;

// The section headings' font.
inline constexpr std::string_view kHeadingFontName = "MS Sans Serif";
inline constexpr double kHeadingFontPoints = 8.25;

inline constexpr std::int32_t kMouseSpeedMin = 1;
inline constexpr std::int32_t kMouseSpeedMax = 20;

// Every control of the dialog. Control arrays have one enumerator per element, in index
// order (use the helpers below to reach element k).
enum class OptionsControl : std::uint8_t {
  Label1,
  Label5,
  Label2,
  Label3,
  Label4,
  Line1,
  Line2,
  Line3,
  Line4,
  chkStopAutorepeatKeys,
  chkSetMouseSpeed,
  hscMouseSpeed,
  chkTestMouseSpeed,
  chkAOMAllowMouse,
  chkUseScrnSvr,
  chkStopMouseMove,
  chkBeepWhenLocked,
  chkFlashTrayWhenLocked,
  txtTimeout,
  txtTimeoutLabel,
  chkDontLockIf,
  frameDontLockIf,
  optDontLockIf0,
  optDontLockIf1,
  optDontLockIf2,
  txtDontLockIfStartTime,
  txtDontLockIfEndTime,
  lblDontLockIfDay0,
  lblDontLockIfDay1,
  lblDontLockIfDay2,
  lblDontLockIfDay3,
  lblDontLockIfDay4,
  lblDontLockIfDay5,
  lblDontLockIfDay6,
  chkDontLockIfDay0,
  chkDontLockIfDay1,
  chkDontLockIfDay2,
  chkDontLockIfDay3,
  chkDontLockIfDay4,
  chkDontLockIfDay5,
  chkDontLockIfDay6,
  txtDontLockIfIP,
  chkDontLockIfIP,
  txtDontLockIfFileExists,
  cmdDontLockIfFileExistsPick,
  Label6,
  txtIPaddress,
  Label7,
  txtPassthruWCls,
  chkStartWithWindows,
  frameStartMode,
  optStartMode0,
  optStartMode1,
  optStartMode2,
  optStartMode3,
  optStartMode4,
  chkShowLockUnlockSeq,
  cmdOk,
  cmdCancel,
  frameEntryReq,
  lblEntryReq,
  chkBlockTouch,
  chkDimWhenLocked,
  Line5,
  Label8,
  lblLockKeySeq,
  hkLockKeySeq,
  cmdKeySeqDefault,
  lblUnlockKeySeq,
  hkUnlockKeySeq,
  lblUnlockHold,
  cboUnlockHold,
  lblUnlockHoldUnit,
  lblUnlockOdds,
  chkUnlockWord,
  txtUnlockWord,
  lblUnlockWordAgain,
  txtUnlockWordAgain,
  Count
};

inline constexpr std::size_t kOptionsControlCount = static_cast<std::size_t>(OptionsControl::Count);

constexpr OptionsControl Nth(OptionsControl first, int k) {
  return static_cast<OptionsControl>(static_cast<int>(first) + k);
}
constexpr OptionsControl DontLockIfOption(int k) { return Nth(OptionsControl::optDontLockIf0, k); }
constexpr OptionsControl DayCheckBox(int k) { return Nth(OptionsControl::chkDontLockIfDay0, k); }

enum class OptionsControlKind {
  Label,
  Line,  // a horizontal line: rect.top is its height on the form, rect.height is 0
  CheckBox,
  ScrollBar,  // horizontal, kMouseSpeedMin..kMouseSpeedMax
  TextBox,
  Frame,  // a frame without caption that holds other controls
  OptionButton,
  Button,
  HotKey,    // a key-sequence field: shows the keys pressed in it
  DropDown,  // a list that drops down, of fixed choices
};

struct OptionsControlRow {
  OptionsControl id;
  std::string_view name;  // e.g. "optDontLockIf"; shared by the elements of a control array
  int index;              // the element's index in its control array, -1 when none
  OptionsControlKind kind;
  OptionsControl parent;     // the frame holding the control, OptionsControl::Count for the form
  TwipsRect rect;            // relative to the parent
  std::string_view caption;  // "&" marks the access key, "&&" shows one ampersand
  std::string_view toolTip;  // empty when none
  bool bold = false;         // section headings: kHeadingFontName, bold
  // For a check box without a caption: the name it is known by to screen readers (its
  // window text, never drawn).
  std::string_view accessibleName = {};
};

// Every control, in OptionsControl order. frameEntryReq and lblEntryReq have an empty rect:
// they are placed when the dialog loads (the frame covers the whole window, the label by
// EntryRequestLabelRect); frameEntryReq is drawn above every other control.
std::span<const OptionsControlRow> OptionsDialogControls();
// The keyboard (tab) order; controls not listed take no tab stop.
std::span<const OptionsControl> OptionsTabOrder();
const OptionsControlRow& RowOf(OptionsControl id);

// lblEntryReq inside the covering frame of a dialog window of the given outer size: half
// the height, four fifths of the width, centred across and a third of the free height
// down.
TwipsRect EntryRequestLabelRect(std::int32_t dialogWidth, std::int32_t dialogHeight);

// A caption as the control shows it: "&&" is one ampersand, any other "&" only marks the
// access key.
std::string DisplayedCaption(std::string_view caption);

// The text a control must show whole: its caption, or for a text box, a key-sequence field
// or a list the widest text it is meant to hold (a time, an address, the minutes, a
// sequence, a hold), or for the figure beside the unlock choice the longest it says. Empty
// when there is none to fit: the boxes for a path, a class name or the unlock word scroll,
// and the check boxes without caption draw none.
std::string FitText(const OptionsControlRow& row);

struct PixelSize {
  std::int32_t width = 0, height = 0;
};

// What fitting the layout asks of the platform, in pixels at the DPI being fitted.
class OptionsMeasurePort {
 public:
  virtual ~OptionsMeasurePort() = default;
  // `text` (as shown) in the font the control draws it in: on one line when `wrapWidth` is
  // 0, else with its words wrapped as a label wraps them at that width (a word wider than
  // that makes the answer wider).
  virtual PixelSize TextSize(OptionsControl control, std::string_view text,
                             std::int32_t wrapWidth) = 0;
  // The width the control takes beside its text: a check box's or option button's glyph and
  // the gap after it, a text box's borders and margins, a button's edges.
  virtual std::int32_t ChromeWidth(OptionsControl control) = 0;
};

// The dialog laid out at a DPI: every control in client coordinates (a frame's controls
// too), and the client area. frameEntryReq and lblEntryReq are left empty.
struct OptionsPixelLayout {
  std::int32_t clientWidth = 0, clientHeight = 0;
  std::array<PixelRect, kOptionsControlCount> rects{};
  const PixelRect& operator[](OptionsControl c) const { return rects[static_cast<std::size_t>(c)]; }
};

// The table scaled to `dpi`, then every control whose FitText does not fit widened until it
// does; a label that wraps is widened only as far as its lines then fit its height. The
// arrangement stays: whatever starts right of a widened control's middle moves right by as
// much (on every row, so columns move together), a frame widens with its controls, the
// lines and the client area widen by the most anything moved. Heights and tops stay as the
// table has them.
OptionsPixelLayout FitOptionsLayout(std::uint32_t dpi, OptionsMeasurePort& measure);

}  // namespace hushkey
