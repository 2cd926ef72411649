#include "hushkey/modes/tray_logic.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "hushkey/modes/main_layout.h"

#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

TEST(IconForMode, EachModeHasItsColour) {
  const struct {
    ModeCode mode;
    TrayIcon icon;
  } cases[] = {{0, TrayIcon::Blank},  {1, TrayIcon::Amber},  {2, TrayIcon::Red},
               {20, TrayIcon::Red},   {3, TrayIcon::Green},  {30, TrayIcon::Blue},
               {4, TrayIcon::Amber},  {99, TrayIcon::Blank}, {-1, TrayIcon::Blank},
               {-3, TrayIcon::Blank}, {5, TrayIcon::Blank},  {21, TrayIcon::Blank}};
  for (const auto& c : cases) EXPECT_EQ(IconForMode(c.mode), c.icon) << c.mode;
}

// The tooltip says whose icon it is in every mode; the notice names the unlock keys only
// when the desktop is locked.
TEST(TrayTexts, TipAndLockNoticePerMode) {
  const std::string dash = " \xE2\x80\x93 ";
  const struct {
    ModeCode mode;
    const char* status;
    std::string tip, notice;
  } cases[] = {
      {0, "", "Hushkey" + dash + "unlocked", ""},
      {-1, "", "Hushkey", ""},
      {1, "All window control keys disabled", "Hushkey" + dash + "All window control keys disabled",
       ""},
      {2, "x", "Hushkey" + dash + "x",
       "Hushkey locked the keyboard and mouse. Press Alt+Home to unlock."},
      {20, "x", "Hushkey" + dash + "x",
       "Hushkey locked the keyboard and mouse. Press Alt+Home to unlock. Hushkey then returns "
       "to autolock."},
      {3, "y", "Hushkey" + dash + "y", ""},
      {4, "", "Hushkey", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrayTip(c.mode, c.status), c.tip) << c.mode;
    EXPECT_EQ(LockNotice(c.mode), c.notice) << c.mode;
  }
  EXPECT_EQ(TrayTip(ModeLocked, std::string(200, 'z')), "Hushkey" + dash + std::string(117, 'z'));
}

struct TipCase {
  const char* name;
  std::string text;
  std::string expected;
};

std::string Rep(const std::string& s, int n) {
  std::string r;
  for (int i = 0; i < n; ++i) r += s;
  return r;
}

const std::string kE = "\xC3\xA9";             // U+00E9, 2 bytes, 1 unit
const std::string kEuro = "\xE2\x82\xAC";      // U+20AC, 3 bytes, 1 unit
const std::string kFace = "\xF0\x9F\x98\x80";  // U+1F600, 4 bytes, 2 units

class CutTrayTipTest : public ::testing::TestWithParam<TipCase> {};

TEST_P(CutTrayTipTest, CutsAt127UnitsOnACharacterBoundary) {
  EXPECT_EQ(CutTrayTip(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tips, CutTrayTipTest,
    ::testing::Values(TipCase{"Empty", "", ""}, TipCase{"ShortAscii", "abc", "abc"},
                      TipCase{"Exactly127", std::string(127, 'a'), std::string(127, 'a')},
                      TipCase{"Ascii128", std::string(128, 'a'), std::string(127, 'a')},
                      TipCase{"Ascii200", std::string(200, 'b'), std::string(127, 'b')},
                      TipCase{"TwoByte", Rep(kE, 200), Rep(kE, 127)},
                      TipCase{"ThreeByte", Rep(kEuro, 130), Rep(kEuro, 127)},
                      TipCase{"SurrogatePairs", Rep(kFace, 100), Rep(kFace, 63)},
                      TipCase{"PairWouldStraddleTheEnd", std::string(126, 'a') + kFace,
                              std::string(126, 'a')},
                      TipCase{"PairFitsExactly", std::string(125, 'a') + kFace + "z",
                              std::string(125, 'a') + kFace},
                      TipCase{"InvalidBytesCountOne", std::string(126, 'a') + "\xFF\xFE",
                              std::string(126, 'a') + "\xFF"},
                      TipCase{"TruncatedSequenceByteWise", std::string(125, 'a') + "\xE2\x82",
                              std::string(125, 'a') + "\xE2\x82"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainLayout, HighlightSurroundsEachModeButton) {
  for (MainButton b : {MainButton::AutoLock, MainButton::LockAll, MainButton::BlockWinCtrl,
                       MainButton::AllowOnly}) {
    const TwipsRect button = ControlFor(b).rect;
    const TwipsRect frame = HighlightRectFor(b);
    EXPECT_EQ(frame.left + 90, button.left);
    EXPECT_EQ(frame.top + 85, button.top);
    EXPECT_EQ(frame.left + frame.width - 90, button.left + button.width);
    EXPECT_EQ(frame.top + frame.height - 85, button.top + button.height);
  }
}

TEST(MainLayout, ControlsFitTheClientAreaAndAccessKeysAreUnique) {
  std::set<char> keys{'f', 'o', 'h'};  // the menu bar's File, Options and Help
  for (const MainControl& c : MainWindowControls()) {
    EXPECT_GE(c.rect.left, 0) << c.name;
    EXPECT_LE(c.rect.left + c.rect.width, kMainClientWidthTwips) << c.name;
    EXPECT_LE(c.rect.top + c.rect.height, kMainClientHeightTwips) << c.name;
    const auto amp = c.caption.find('&');
    if (c.kind == MainControlKind::Button) {
      ASSERT_NE(amp, std::string_view::npos) << c.name;
      EXPECT_TRUE(keys.insert(static_cast<char>(std::tolower(c.caption[amp + 1]))).second)
          << c.name;
    }
  }
  EXPECT_EQ(keys.size(), 9u);
}

}  // namespace
}  // namespace hushkey
