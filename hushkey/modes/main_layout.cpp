#include "hushkey/modes/main_layout.h"

#include <array>
#include <cstdlib>

namespace hushkey {

namespace {

constexpr std::array<MainControl, 7> kControls{{
    {"cmdAutoLock",
     MainControlKind::Button,
     MainButton::AutoLock,
     {330, 210, 1215, 435},
     "&Auto Lock",
     ""},
    {"cmdLockAll",
     MainControlKind::Button,
     MainButton::LockAll,
     {3075, 210, 1215, 435},
     "&Lock",
     kLockAllText},
    {"cmdBlockWinCtrl",
     MainControlKind::Button,
     MainButton::BlockWinCtrl,
     {330, 900, 1215, 435},
     "&Block Win Ctrl",
     kBlockWinCtrlText},
    {"cmdAllowOnly",
     MainControlKind::Button,
     MainButton::AllowOnly,
     {3075, 900, 1215, 435},
     "Allo&w Only",
     kAllowOnlyText},
    {"lblMsg", MainControlKind::Label, std::nullopt, {300, 1605, 3975, 1125}, "", ""},
    {"cmdCancel",
     MainControlKind::Button,
     MainButton::Cancel,
     {330, 2955, 1215, 435},
     "&Cancel",
     ""},
    {"cmdExit", MainControlKind::Button, MainButton::Exit, {3075, 2955, 1215, 435}, "E&xit", ""},
}};

}  // namespace

std::span<const MainControl> MainWindowControls() { return kControls; }

const MainControl& ControlFor(MainButton button) {
  for (const MainControl& c : kControls) {
    if (c.button == button) return c;
  }
  std::abort();  // every MainButton has a row in the table
}

TwipsRect HighlightRectFor(MainButton button) {
  const TwipsRect& b = ControlFor(button).rect;
  return {b.left - kHighlightLeftMarginTwips, b.top - kHighlightTopMarginTwips,
          kHighlightWidthTwips, kHighlightHeightTwips};
}

}  // namespace hushkey
