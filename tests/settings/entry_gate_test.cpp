#include <gtest/gtest.h>

#include "tests/support/mode_code.h"
#include "hushkey/settings/entry_gate.h"
#include "hushkey/settings/options_layout.h"
#include "options_fakes.h"

#include <map>

namespace hushkey {
namespace {

using test::OptionsRig;
using C = OptionsControl;
using Events = std::vector<std::string>;

TEST(EntryGate, CoveredUntilAltHomeThenOpen) {
  OptionsRig rig;
  rig.model.Form_Load();
  EXPECT_EQ(rig.app.CurrentMode, ModeEntryReq);
  EXPECT_TRUE(rig.model.Visible(C::frameEntryReq) && rig.model.Visible(C::lblEntryReq));
  EXPECT_FALSE(rig.model.Enabled(C::cmdOk) || rig.model.Enabled(C::cmdCancel));
  EXPECT_EQ(rig.view.events, (Events{"Fail on"}))
      << "the five seconds start at the end of the load";

  rig.model.OpenEntryGate();
  EXPECT_EQ(rig.app.CurrentMode, ModeEntryReq);
  rig.model.timEntryReqFail_Timer();  // queued before the sequence stopped it: dropped
  rig.model.timEntryReqPass_Timer();
  EXPECT_EQ(rig.view.events, (Events{"Fail on", "Fail off", "Pass on", "Pass off"}));
  EXPECT_EQ(rig.app.CurrentMode, ModeUnlocked);
  EXPECT_FALSE(rig.model.Visible(C::frameEntryReq) || rig.model.Visible(C::lblEntryReq));
  EXPECT_TRUE(rig.model.Enabled(C::cmdOk) && rig.model.Enabled(C::cmdCancel));

  rig.model.OpenEntryGate();  // once open, a later sequence does nothing here
  rig.model.timEntryReqPass_Timer();
  EXPECT_EQ(rig.view.events.size(), 4u);
  EXPECT_EQ(rig.model.ClosedBy(), OptionsClosedBy::NotClosed);
}

TEST(EntryGate, EveryClosingGivesBackTheMode) {
  struct Row {
    void (*act)(OptionsModel&);
    OptionsClosedBy by;
    Events events;
  };
  for (const Row& r : std::vector<Row>{{[](OptionsModel& m) { m.timEntryReqFail_Timer(); },
                                        OptionsClosedBy::GateTimeout,
                                        {"Fail on", "Fail off", "close"}},
                                       {[](OptionsModel& m) { m.Form_Unload(); },
                                        OptionsClosedBy::CloseBox,
                                        {"Fail on", "Fail off"}},
                                       {[](OptionsModel& m) { m.OpenEntryGate(), m.Form_Unload(); },
                                        OptionsClosedBy::CloseBox,
                                        {"Fail on", "Fail off", "Pass on", "Pass off"}}}) {
    OptionsRig rig;
    rig.app.CurrentMode = LockMode{5};
    rig.model.Form_Load();
    r.act(rig.model);
    rig.model.timEntryReqFail_Timer();
    rig.model.cmdCancel_Click();
    rig.model.Form_Unload();
    EXPECT_EQ(rig.view.events, r.events);
    EXPECT_EQ(rig.model.ClosedBy(), r.by);
    EXPECT_EQ(rig.app.CurrentMode, LockMode{5});
    EXPECT_EQ(rig.desktop.speeds, (std::vector<std::int32_t>{10}));
    EXPECT_TRUE(rig.store.writes.empty());
  }
}

TEST(EntryGate, AModeSetByAnotherStartWhileCoveredStands) {
  OptionsRig rig;
  rig.model.Form_Load();
  rig.app.CurrentMode = ModeLocked;  // hand-off "/lock" from a second start
  rig.model.timEntryReqFail_Timer();
  EXPECT_EQ(rig.app.CurrentMode, ModeLocked);
}

TEST(EntryGate, RequestTextAndLayout) {
  EXPECT_EQ(EntryRequestText(false, "R"), "Press current key sequence for unlock");
  OptionsRig rig;
  rig.model.Form_Load();
  EXPECT_EQ(rig.model.Text(C::lblEntryReq),
            "Press current key sequence for unlock\r\n\r\n\r\n\r\nREMINDER");
  for (auto [w, h, want] : {std::tuple{6060, 8610, TwipsRect{606, 1435, 4848, 4305}},
                            {6061, 8611, TwipsRect{606, 1435, 4849, 4306}},
                            {6075, 8613, TwipsRect{607, 1435, 4860, 4306}}}) {
    EXPECT_EQ(EntryRequestLabelRect(w, h), want) << w << "x" << h;
  }
}

TEST(OptionsLayout, TabOrderNamesEachControlOnce) {
  std::set<C> seen;
  for (C c : OptionsTabOrder()) {
    EXPECT_TRUE(seen.insert(c).second) << RowOf(c).name;
    EXPECT_NE(RowOf(c).kind, OptionsControlKind::Label);
  }
  EXPECT_EQ(seen.size(), 47u);
  EXPECT_EQ(RowOf(DayCheckBox(6)).rect, (TwipsRect{5580, 3810, 225, 225}));
  EXPECT_EQ(RowOf(DontLockIfOption(1)).parent, C::frameDontLockIf);
}

// Texts as wide as a case says (1 pixel otherwise); a label's text wraps evenly over as
// many lines of 10 pixels as its width needs.
struct FakeMeasure : OptionsMeasurePort {
  std::map<C, std::int32_t> widths, chrome;
  PixelSize TextSize(C c, std::string_view, std::int32_t wrap) override {
    const std::int32_t w = widths.count(c) ? widths[c] : 1;
    return wrap <= 0 || wrap >= w ? PixelSize{w, 10}
                                  : PixelSize{wrap, 10 * ((w + wrap - 1) / wrap)};
  }
  std::int32_t ChromeWidth(C c) override { return chrome.count(c) ? chrome[c] : 0; }
};

TEST(OptionsLayout, FittingWidensWhatClipsAndMovesWhatStandsRightOfIt) {
  struct Case {
    std::uint32_t dpi;
    std::map<C, std::int32_t> widths, chrome;
    std::int32_t clientWidth;
    std::vector<std::pair<C, PixelRect>> want;
  } cases[] = {
      {144, {}, {}, 770, {{C::cmdOk, {494, 894, 122, 44}}, {C::Line1, {0, 102, 782, 3}}}},
      // A label wider by 5 moves a check box whose text and glyph need 20 more, which moves
      // what starts right of its middle on every row (not the scroll bar under it).
      {96,
       {{C::Label6, 78}, {C::chkSetMouseSpeed, 118}},
       {{C::chkSetMouseSpeed, 10}},
       538,
       {{C::Label6, {12, 256, 78, 17}},
        {C::chkSetMouseSpeed, {97, 24, 128, 16}},
        {C::hscMouseSpeed, {115, 39, 84, 13}},
        {C::chkTestMouseSpeed, {223, 39, 16, 15}},
        {C::txtPassthruWCls, {213, 316, 171, 19}},
        {C::Line1, {0, 68, 546, 2}}}},
      // An option button widens its frame, and the box over the frame's edge moves.
      {96,
       {{C::optDontLockIf1, 111}},
       {},
       543,
       {{C::optDontLockIf1, {108, 272, 111, 17}},
        {C::optDontLockIf0, {108, 252, 81, 17}},
        {C::frameDontLockIf, {108, 252, 111, 61}},
        {C::txtDontLockIfIP, {218, 272, 171, 19}}}},
      // A heading only as wide as its wrapped lines then fit its height.
      {96,
       {{C::Label1, 400}},
       {},
       516,
       {{C::Label1, {9, 9, 80, 57}}, {C::chkStopAutorepeatKeys, {95, 8, 143, 15}}}},
  };
  for (const Case& c : cases) {
    FakeMeasure measure;
    measure.widths = c.widths;
    measure.chrome = c.chrome;
    const OptionsPixelLayout layout = FitOptionsLayout(c.dpi, measure);
    EXPECT_EQ(layout.clientWidth, c.clientWidth);
    for (const auto& [control, rect] : c.want)
      EXPECT_EQ(layout[control], rect) << RowOf(control).name;
  }
}

}  // namespace
}  // namespace hushkey
