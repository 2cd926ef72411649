#include <gtest/gtest.h>

#include "hushkey/settings/options_model.h"
#include "hushkey/settings/run_value.h"
#include "hushkey/engine/text_conversions.h"
#include "options_fakes.h"

namespace hushkey {
namespace {

using test::OptionsRig;
using C = OptionsControl;
using Events = std::vector<std::string>;

void Put(test::LoggingStore& store, std::initializer_list<std::pair<const char*, const char*>> kv) {
  for (auto [k, v] : kv) store.Write(k, v);
  store.writes.clear();
}

TEST(OptionsLoad, FromMemoryAndStoreDefaults) {
  OptionsRig rig;
  rig.app.settings.Timeout = 1.5f;
  rig.app.settings.Beep = rig.app.settings.SetMouseSpd = false;
  rig.model.Form_Load();
  const OptionsValues& v = rig.model.Values();
  EXPECT_EQ(v.txtTimeout, "1.5");
  EXPECT_TRUE(v.chkStopAutorepeatKeys && v.chkFlashTrayWhenLocked && v.chkShowLockUnlockSeq);
  EXPECT_FALSE(v.chkBeepWhenLocked || v.chkSetMouseSpeed || v.chkUseScrnSvr || v.chkDontLockIf);
  // Every condition's stored values (defaults here) are loaded, and every field disabled.
  EXPECT_EQ(v.optDontLockIf, -1);
  EXPECT_EQ(v.txtDontLockIfStartTime + v.txtDontLockIfEndTime, "08:0017:00");
  EXPECT_EQ(DayMask(v.chkDontLockIfDay), "XXXXX  ");
  EXPECT_EQ(v.txtDontLockIfIP, "192.168.0.");
  EXPECT_EQ(v.txtIPaddress, "10.1.2.3");
  for (C c : {C::optDontLockIf0, C::txtDontLockIfStartTime, C::chkDontLockIfDay3,
              C::txtDontLockIfIP, C::cmdDontLockIfFileExistsPick, C::optStartMode3,
              C::hscMouseSpeed, C::chkTestMouseSpeed, C::cmdOk, C::cmdCancel}) {
    EXPECT_FALSE(rig.model.Enabled(c)) << RowOf(c).name;
  }
  EXPECT_TRUE(rig.desktop.speeds.empty() && rig.store.writes.empty());
}

TEST(OptionsLoad, StoredCondition) {
  OptionsRig rig;
  Put(rig.store, {{"DontLockIf", "1"},
                  {"DontLockIfOpt", "1"},
                  {"DontLockIfIP", "10.0."},
                  {"DontLockIfIPMatch", "1"},
                  {"DontLockIfDay", "X X"},
                  {"PassthruWCls", "Vnc"}});
  rig.model.Form_Load();
  EXPECT_TRUE(rig.model.Checked(C::optDontLockIf1) && rig.model.Checked(C::chkDontLockIfIP));
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfIP), "10.0.");
  EXPECT_EQ(DayMask(rig.model.Values().chkDontLockIfDay), "X X    ");
  EXPECT_TRUE(rig.model.Enabled(C::txtDontLockIfIP) && rig.model.Enabled(C::optDontLockIf0));
  EXPECT_FALSE(rig.model.Enabled(C::txtDontLockIfStartTime));
  EXPECT_EQ(rig.model.Text(C::txtPassthruWCls), "Vnc");
}

TEST(OptionsLoad, SequencesHoldWordAndTouchInEffect) {
  // A hold not in the list shows the nearest choice (the longer of two as near).
  for (auto [hold, shown] :
       {std::pair{700u, 500u}, {750u, 1000u}, {1000u, 1000u}, {5000u, 2000u}}) {
    OptionsRig rig;
    rig.app.settings.sequences = {{kModCtrl | kModAlt, 'L'}, {kModCtrl | kModAlt, 'U'}};
    rig.app.settings.UnlockHoldMs = hold;
    rig.app.settings.UnlockWordHash = "h";
    Put(rig.store, {{"BlockTouch", "0"}, {"DimWhenLocked", "1"}});
    rig.Open();
    EXPECT_EQ(rig.model.Text(C::lblUnlockOdds), "odds Ctrl+Alt+U " + std::to_string(shown)) << hold;
    EXPECT_EQ(KeySequenceText(rig.model.KeySequenceOf(C::hkLockKeySeq)), "Ctrl+Alt+L");
    EXPECT_TRUE(rig.model.Checked(C::chkUnlockWord) && rig.model.Enabled(C::txtUnlockWord) &&
                rig.model.Checked(C::chkDimWhenLocked) && !rig.model.Checked(C::chkBlockTouch));
  }
}

TEST(OptionsLoad, OutOfRangeValuesStillOpen) {
  for (auto [memory, shown] : {std::pair{0, 1}, {-5, 1}, {25, 20}, {20, 20}, {13, 13}}) {
    OptionsRig rig;
    rig.app.settings.MouseSpd = memory;
    rig.addresses.table = {false, 122, {}};
    rig.model.Form_Load();
    EXPECT_EQ(rig.model.MouseSpeed(), shown) << memory;
    EXPECT_EQ(rig.model.Text(C::txtIPaddress), kIpAddressUnavailable);
    EXPECT_TRUE(rig.model.Gate().Covered());
  }
}

TEST(OptionsLoad, StartWithWindowsRecord) {
  struct Row {
    const char* stored;  // "": missing
    bool ticked;
    int mode;  // selected after load, or after ticking when unticked
  };
  for (Row r : {Row{"", false, 3},
                {"-1", false, 3},
                {"0", true, 0},
                {"4", true, 4},
                {"9", true, 3},
                {"x", false, 3}}) {
    OptionsRig rig;
    if (*r.stored) Put(rig.store, {{"StartWithWin", r.stored}});
    rig.Open();
    EXPECT_EQ(rig.model.Checked(C::chkStartWithWindows), r.ticked) << r.stored;
    if (!r.ticked) rig.model.SetChecked(C::chkStartWithWindows, true);
    EXPECT_EQ(rig.model.Values().optStartMode, r.mode) << r.stored;
    EXPECT_TRUE(rig.model.Enabled(C::optStartMode4));
    rig.model.SetChecked(C::chkStartWithWindows, false);
    EXPECT_FALSE(rig.model.Enabled(C::optStartMode4));
  }
}

TEST(ShowDontLockIfOpt, EnablesOneConditionAndReloadsIt) {
  struct Row {
    int opt;
    bool dayTime, ip, file;
    const char *start, *ipText, *fileText;  // field contents afterwards
  };
  for (Row r : {Row{0, true, false, false, "09:00", "edited", "edited"},
                {1, false, true, false, "edited", "10.", "edited"},
                {2, false, false, true, "edited", "edited", "C:\\f"},
                {-1, false, false, false, "edited", "edited", "edited"},
                {3, false, false, true, "edited", "edited", "edited"}}) {  // no such option
    OptionsRig rig;
    Put(rig.store, {{"DontLockIfStartTime", "09:00"},
                    {"DontLockIfIP", "10."},
                    {"DontLockIfFileExists", "C:\\f"}});
    rig.Open();
    const C field[] = {C::txtDontLockIfStartTime, C::txtDontLockIfIP, C::txtDontLockIfFileExists};
    for (int k = 0; k < 3; ++k) {
      rig.model.ShowDontLockIfOpt(k);
      rig.model.SetText(field[k], "edited");
    }
    rig.model.ShowDontLockIfOpt(r.opt);
    EXPECT_EQ(rig.model.Enabled(C::txtDontLockIfEndTime), r.dayTime) << r.opt;
    EXPECT_EQ(rig.model.Enabled(C::lblDontLockIfDay5), r.dayTime) << r.opt;
    EXPECT_EQ(rig.model.Enabled(C::chkDontLockIfIP), r.ip) << r.opt;
    EXPECT_EQ(rig.model.Enabled(C::cmdDontLockIfFileExistsPick), r.file) << r.opt;
    EXPECT_EQ(rig.model.Text(field[0]), r.start) << r.opt;
    EXPECT_EQ(rig.model.Text(field[1]), r.ipText) << r.opt;
    EXPECT_EQ(rig.model.Text(field[2]), r.fileText) << r.opt;
  }
}

TEST(OptionsEdit, SwitchingOptionsDiscardsUnsavedEdits) {
  OptionsRig rig;
  Put(rig.store, {{"DontLockIf", "1"}, {"DontLockIfOpt", "1"}});
  rig.Open();
  rig.model.SetText(C::txtDontLockIfIP, "172.16.");
  rig.model.SetChecked(C::optDontLockIf1, true);  // already selected: no reload
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfIP), "172.16.");
  rig.model.SetChecked(C::optDontLockIf0, true);
  rig.model.SetChecked(C::optDontLockIf1, true);
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfIP), "192.168.0.");
  // Unticking "Don't Lock If" disables the frame and every field; ticking again reloads.
  rig.model.SetText(C::txtDontLockIfIP, "172.16.");
  rig.model.SetChecked(C::chkDontLockIf, false);
  EXPECT_FALSE(rig.model.Enabled(C::optDontLockIf2) || rig.model.Enabled(C::txtDontLockIfIP));
  rig.model.SetChecked(C::optDontLockIf2, true);  // inside the disabled frame: ignored
  rig.model.SetChecked(C::chkDontLockIf, true);
  EXPECT_TRUE(rig.model.Checked(C::optDontLockIf1));
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfIP), "192.168.0.");
}

TEST(OptionsEdit, MouseSpeedTestAndRestoreOnClose) {
  OptionsRig rig;
  rig.app.settings.MouseSpd = 4;
  rig.Open();
  rig.model.SetChecked(C::chkTestMouseSpeed, true);  // applies the bar's value at once
  rig.model.SetMouseSpeed(15);
  rig.model.SetMouseSpeed(99);  // held at the bar's end
  rig.model.SetChecked(C::chkTestMouseSpeed, false);
  rig.model.SetChecked(C::chkTestMouseSpeed, true);
  rig.model.SetChecked(C::chkSetMouseSpeed, false);  // disables the bar; the test stays on
  EXPECT_FALSE(rig.model.Enabled(C::hscMouseSpeed) || rig.model.Enabled(C::chkTestMouseSpeed));
  rig.model.SetMouseSpeed(3);  // disabled: ignored
  EXPECT_TRUE(rig.app.lock.MouseSpeedChanged);
  rig.model.cmdCancel_Click();
  EXPECT_EQ(rig.desktop.speeds, (std::vector<std::int32_t>{4, 15, 20, 10, 20, 10}));
  EXPECT_FALSE(rig.app.lock.MouseSpeedChanged);
}

TEST(OptionsEdit, FigureFollowsTheUnlockChoiceAndDefaultPutsBothBack) {
  OptionsRig rig;
  rig.Open();
  rig.model.SetKeySequence(C::hkUnlockKeySeq, {kModCtrl | kModAlt, 'U'});
  rig.model.SetUnlockHold(2);
  EXPECT_EQ(rig.model.Text(C::lblUnlockOdds), "odds Ctrl+Alt+U 1000");
  rig.model.SetKeySequence(C::hkUnlockKeySeq, {});  // the field emptied: no figure
  EXPECT_EQ(rig.model.Text(C::lblUnlockOdds), "");
  rig.model.SetKeySequence(C::hkLockKeySeq, {kModCtrl | kModAlt, 'L'});
  rig.model.cmdKeySeqDefault_Click();
  EXPECT_EQ(rig.model.KeySequenceOf(C::hkLockKeySeq), kDefaultLockSequence);
  EXPECT_EQ(rig.model.Text(C::lblUnlockOdds), "odds Alt+Home 1000");
  rig.model.SetChecked(C::chkUnlockWord, true);
  rig.model.SetText(C::txtUnlockWord, "secret7");
  rig.model.SetChecked(C::chkUnlockWord, false);
  EXPECT_EQ(rig.model.Text(C::txtUnlockWord), "");
}

TEST(OptionsEdit, NothingChangesWhileCovered) {
  OptionsRig rig;
  rig.model.Form_Load();
  rig.model.SetChecked(C::chkTestMouseSpeed, true);
  rig.model.SetText(C::txtTimeout, "99");
  rig.model.cmdOk_Click();
  rig.model.cmdDontLockIfFileExistsPick_Click();
  EXPECT_EQ(rig.model.Text(C::txtTimeout), "10");
  EXPECT_TRUE(rig.desktop.speeds.empty() && rig.store.writes.empty() &&
              rig.picker.requests.empty());
}

TEST(OptionsEdit, FilePickReplacesOrKeepsTheField) {
  OptionsRig rig;
  Put(rig.store, {{"DontLockIf", "1"}, {"DontLockIfOpt", "2"}, {"DontLockIfFileExists", "C:\\o"}});
  rig.Open();
  rig.model.cmdDontLockIfFileExistsPick_Click();  // cancelled
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfFileExists), "C:\\o");
  rig.picker.answer = "\\\\work server\\share\\flag file.txt";
  rig.model.cmdDontLockIfFileExistsPick_Click();
  EXPECT_EQ(rig.model.Text(C::txtDontLockIfFileExists), rig.picker.answer);
}

TEST(TimeoutField, StoredTextReadsBackAsATimerInterval) {
  struct Row {
    const char *typed, *stored;
    std::string_view message = {};
  };
  for (Row r : {Row{"0", "1"},
                {"0.5", "1"},
                {"abc", "1"},
                {"", "1"},
                {"-3", "1"},
                {"0.9 min", "1"},
                {"000.99", "1"},
                {"1.5", "1.5"},
                {" 5 ", " 5 "},
                {"35791394", "35791394"},
                {"5 min", "", kTimeoutInvalid},
                {"1,5", "", kTimeoutInvalid},
                {"1e3", "", kTimeoutInvalid},
                {"35791395", "", kTimeoutTooLong},
                {"1000000000000000000000000000000000000000", "", kTimeoutTooLong}}) {
    const TimeoutField f = CheckTimeoutField(r.typed);
    EXPECT_EQ(f.message, r.message) << r.typed;
    if (!f.message.empty()) continue;
    EXPECT_EQ(f.text, r.stored) << r.typed;
    EXPECT_TRUE(ParseSingle(f.text)) << r.typed;
  }
  for (auto [value, text] : {std::pair{10.0f, "10"}, {1.5f, "1.5"}, {0.1f, "0.1"}}) {
    EXPECT_EQ(TimeoutText(value), text);
  }
}

TEST(OptionsValidation, MessagesInOrder) {
  struct Row {
    bool dontLockIf;
    int opt;
    const char *start, *end, *text, *timeout;  // text: the IP or file field of opt
    std::string_view message = {};
  };
  for (Row r : {Row{true, 0, "", "", "", "10"},
                {true, 0, "8:30", "17:00:05", "", "10"},
                {true, 0, "25:00", "x", "", "x y", kStartTimeInvalid},
                {true, -1, "  ", "", "", "10", kStartTimeInvalid},
                {true, 0, "08:00", "noon", "", "10", kEndTimeInvalid},
                {true, 1, "x", "x", "   ", "10", kIpAddressInvalid},
                {true, 1, "", "", " 10. ", "10"},
                {true, 2, "", "", " ", "10", kFilenameInvalid},
                {false, 1, "x", "x", "", "10"},
                {false, 2, "", "", "", "7 mins", kTimeoutInvalid},
                {true, 2, "", "", "f", "7 mins", kTimeoutInvalid}}) {
    OptionsValues v;
    v.chkDontLockIf = r.dontLockIf;
    v.optDontLockIf = r.opt;
    v.txtDontLockIfStartTime = r.start;
    v.txtDontLockIfEndTime = r.end;
    v.txtDontLockIfIP = v.txtDontLockIfFileExists = r.text;
    v.txtTimeout = r.timeout;
    EXPECT_EQ(ValidateOptions(v).value_or(""), r.message) << r.opt << r.start << r.timeout;
  }
}

TEST(OptionsValidation, KeySequenceRefusalsSayWhy) {
  struct Row {
    const char *lock, *unlock, *word, *again;  // word nullptr: the box unticked
    bool wordSet;
    std::string field;  // the message: the field's part, then the rule's sentence
    const char* why;
  };
  const std::string L(kLockSequenceRefused), U(kUnlockSequenceRefused), W(kUnlockWordRefused);
  for (const Row& r :
       {Row{"L", "Alt+Home", nullptr, "", 0, L, "Hold Ctrl, Alt or Shift with the key."},
        {"Alt+Home", "Alt+Home", nullptr, "", 0, L, "The lock and unlock sequences must differ."},
        {"Alt+End", "", nullptr, "", 0, U, "Choose a letter, digit, function or editing key."},
        {"Alt+End", "Alt+Home", nullptr, "a", 0, "", ""},
        {"Alt+End", "Alt+Home", "", "", 1, "", ""},
        {"Alt+End", "Alt+Home", "", "", 0, std::string(kUnlockWordMissing), ""},
        {"Alt+End", "Alt+Home", "", "secret7", 1, W, "Use at least six letters or digits."},
        {"Alt+End", "Alt+Home", "Secret7", "sECRET7", 0, "", ""},
        {"Alt+End", "Alt+Home", "secret7", "secret8", 1, std::string(kUnlockWordsDiffer), ""}}) {
    OptionsValues v;
    v.hkLockKeySeq = ParseKeySequence(r.lock).value_or(KeySequence{});
    v.hkUnlockKeySeq = ParseKeySequence(r.unlock).value_or(KeySequence{});
    v.chkUnlockWord = r.word != nullptr;
    v.txtUnlockWord = r.word ? r.word : "";
    v.txtUnlockWordAgain = r.again;
    EXPECT_EQ(ValidateKeySequences(v, r.wordSet).value_or(""), r.field + r.why) << r.again;
  }
}

TEST(OptionsStore, OrderAndTexts) {
  test::LoggingStore store;
  OptionsValues v;
  v.chkStopAutorepeatKeys = v.chkUseScrnSvr = v.chkFlashTrayWhenLocked = v.chkDontLockIfIP = true;
  v.hscMouseSpeed = 17;
  v.txtTimeout = "1.5";
  v.chkDontLockIf = true;
  v.txtDontLockIfEndTime = "6:00 PM";
  v.chkDontLockIfDay = {true, false, false, true, false, false, true};
  v.txtDontLockIfIP = " 10. ";
  v.txtDontLockIfFileExists = "C:\\Zo\xC3\xAB\\a b.txt";
  v.txtPassthruWCls = "Cls";
  v.optDontLockIf = -1;  // none selected is stored as 0
  store.refuse = {"Beep"};
  EXPECT_FALSE(StoreOptions(store, v));
  EXPECT_EQ(Events(store.writes.end() - 2, store.writes.end()),
            (Events{"BlockTouch=0", "DimWhenLocked=0"}));
  store.writes.resize(store.writes.size() - 2);
  EXPECT_EQ(store.writes,
            (Events{"StopARKeys=1", "SetMouseSpd=0", "MouseSpd=17", "UseScrnSvr=1",
                    "StopMouseMove=0", "Beep=0", "Flash=1", "AOMAllowMouse=0", "ShowLckUnlSeq=0",
                    "Timeout=1.5", "DontLockIf=1", "DontLockIfOpt=0",
                    "DontLockIfStartTime=", "DontLockIfEndTime=6:00 PM", "DontLockIfDay=X  X  X",
                    "DontLockIfIP= 10. ", "DontLockIfIPMatch=1",
                    "DontLockIfFileExists=C:\\Zo\xC3\xAB\\a b.txt", "PassthruWCls=Cls"}));
  EXPECT_EQ(DayMask(DaysFromMask("XXx")), "XX     ");
}

TEST(OptionsOk, StoresSetsRunValueThenRecordsAndCloses) {
  OptionsRig rig;
  rig.Open();
  rig.model.SetText(C::txtTimeout, "0");
  rig.model.SetChecked(C::chkStartWithWindows, true);
  rig.model.SetChecked(C::optStartMode1, true);
  rig.model.cmdOk_Click();
  EXPECT_EQ(rig.store.writes.size(), 26u);
  EXPECT_EQ(rig.store.writes[9], "Timeout=1");
  EXPECT_EQ(rig.store.writes.back(), "StartWithWin=1");
  EXPECT_EQ(rig.registry.keys["HKCU\\" + std::string(kRunKeyPath)]["Hushkey"],
            "\"C:\\Program Files\\Hushkey\\hushkey.exe\" /Locked");
  EXPECT_EQ(rig.view.events, (Events{"close"}));
  EXPECT_EQ(rig.model.ClosedBy(), OptionsClosedBy::Ok);
  EXPECT_EQ(rig.desktop.speeds, (std::vector<std::int32_t>{10}));
}

TEST(OptionsOk, StoresTheKeySequencesGroupWithTheWordsHashOnly) {
  // Word set before, box ticked, typed in both boxes; the hash stored (nullptr: kept as it was).
  for (auto [wordSet, tick, typed, hash] : {std::tuple{false, false, "", ""},
                                            {true, false, "", ""},
                                            {true, true, "", nullptr},
                                            {true, true, "NewWord9", "hash:NewWord9"}}) {
    OptionsRig rig;
    rig.app.settings.UnlockWordHash = wordSet ? "old" : "";
    rig.Open();
    rig.model.SetKeySequence(C::hkLockKeySeq, {kModCtrl | kModAlt, 'L'});
    rig.model.SetKeySequence(C::hkUnlockKeySeq, {kModCtrl | kModShift, 123});
    rig.model.SetUnlockHold(1);
    rig.model.SetChecked(C::chkUnlockWord, tick);
    for (C box : {C::txtUnlockWord, C::txtUnlockWordAgain}) rig.model.SetText(box, typed);
    rig.model.cmdOk_Click();
    EXPECT_EQ(rig.model.ClosedBy(), OptionsClosedBy::Ok) << typed;
    EXPECT_EQ(rig.store.Get("LockKeySeq", "") + rig.store.Get("UnlockKeySeq", "") +
                  rig.store.Get("UnlockHoldMs", "") + rig.store.Get("UnlockWordHash", "(none)"),
              std::string("Ctrl+Alt+LCtrl+Shift+F12500") + (hash ? hash : "(none)"));
  }
}

TEST(OptionsOk, FailuresKeepTheDialogOpen) {
  struct Row {
    bool tick;
    void (*arrange)(OptionsRig&);
    std::string event;
    std::size_t writes;                   // store writes made
    const char* unlockSeq = "(missing)";  // stored afterwards
  };
  const std::string run = "HKCU\\" + std::string(kRunKeyPath);
  for (const Row& r : std::vector<Row>{
           {false, [](OptionsRig& g) { g.model.SetText(C::txtTimeout, "5 min"); },
            "msg " + std::string(kTimeoutInvalid), 0},
           {true, [](OptionsRig& g) { g.registry.createStatus = 5; },
            "! Failed to set 'start with windows'", 25, "Ctrl+Alt+U"},
           {false, [](OptionsRig& g) { g.registry.deleteValueStatus = 5; },
            "! Failed to clear 'start with windows'", 25, "Ctrl+Alt+U"},
           {false, [](OptionsRig& g) { g.store.refuse = {"Flash"}; },
            "! " + std::string(kStoreFailed), 21},
           {false, [](OptionsRig& g) { g.model.SetKeySequence(C::hkUnlockKeySeq, {}); },
            "msg 'Key sequences' unlock: Choose a letter, digit, function or editing key.", 0},
           {false, [](OptionsRig& g) { g.hashFails = true; },
            "! " + std::string(kUnlockWordNotHashed), 0},
           // All or nothing: the sequences written before the refused hold are put back.
           {false, [](OptionsRig& g) { g.store.refuse = {"UnlockHoldMs"}; },
            "! " + std::string(kStoreFailed), 21 + 3 + 2, "Alt+Home"}}) {
    OptionsRig rig;
    Put(rig.store, {{"StartWithWin", "2"}});
    rig.registry.keys[run]["Hushkey"] = "old";
    rig.Open();
    if (!r.tick) rig.model.SetChecked(C::chkStartWithWindows, false);
    rig.model.SetKeySequence(C::hkUnlockKeySeq, {kModCtrl | kModAlt, 'U'});
    rig.model.SetChecked(C::chkUnlockWord, true);
    for (C box : {C::txtUnlockWord, C::txtUnlockWordAgain}) rig.model.SetText(box, "secret7");
    r.arrange(rig);
    rig.model.cmdOk_Click();
    EXPECT_EQ(rig.view.events, (Events{r.event}));
    EXPECT_EQ(rig.store.writes.size(), r.writes);
    EXPECT_EQ(rig.store.Get("StartWithWin", ""), "2") << "record kept after a failure";
    EXPECT_EQ(rig.store.Get("UnlockKeySeq", "(missing)"), r.unlockSeq);
    EXPECT_EQ(rig.model.ClosedBy(), OptionsClosedBy::NotClosed);
    EXPECT_TRUE(rig.model.Enabled(C::cmdOk));
  }
}

}  // namespace
}  // namespace hushkey
