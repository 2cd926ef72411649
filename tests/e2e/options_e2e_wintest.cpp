// End-to-end tests of the options dialog in the real Hushkey.exe: opened by the Options
// menu command, covered until the unlock sequence, driven by keys and button clicks, and
// judged from outside (its controls, message boxes, the stored settings, the Run value, the
// main window's status text). Leaves the settings and both Run keys as it found them; saves
// pictures of the open dialog (and of the help window) for a reviewer.
#include "e2e_harness.h"

#include <map>
#include <optional>

#include "hushkey/settings/options_ids.h"
#include "tests/settings/options_fit_check_win32.h"

namespace hushkey::e2e {
namespace {

using C = OptionsControl;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Hushkey";
const std::wstring kRequest = L"Press current key sequence for unlock";

std::optional<std::wstring> ReadText(HKEY root, const wchar_t* key, const wchar_t* name) {
  wchar_t buf[2048];
  DWORD size = sizeof(buf);
  if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buf);
}

std::wstring Setting(const wchar_t* name) {
  return ReadText(HKEY_CURRENT_USER, kSettingsKey, name).value_or(L"(missing)");
}

std::map<std::wstring, std::vector<BYTE>> StoredSettings() {
  std::map<std::wstring, std::vector<BYTE>> values;
  for (SavedValue& v : SaveSettings()) values[v.name] = std::move(v.data);
  return values;
}

// One Run value as it was before the tests, put back afterwards (or removed again, with
// the Run key when the tests made it).
struct SavedRunValue {
  HKEY root;
  bool keyExisted;
  std::optional<SavedValue> value;

  static SavedRunValue Save(HKEY root) {
    HKEY key;
    const bool existed = RegOpenKeyExW(root, kRunKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (existed) RegCloseKey(key);
    SavedRunValue saved{root, existed, std::nullopt};
    DWORD type = 0, size = 0;
    if (RegGetValueW(root, kRunKey, kRunValue, RRF_RT_ANY, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
      SavedValue v{kRunValue, type, std::vector<BYTE>(size)};
      RegGetValueW(root, kRunKey, kRunValue, RRF_RT_ANY, &type, v.data.data(), &size);
      saved.value = std::move(v);
    }
    return saved;
  }
  void Restore() const {
    if (!value) {
      RegDeleteKeyValueW(root, kRunKey, kRunValue);
      HKEY key;
      DWORD subkeys = 1, values = 1;
      if (!keyExisted && RegOpenKeyExW(root, kRunKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key);
        if (subkeys == 0 && values == 0) RegDeleteKeyW(root, kRunKey);
      }
      return;
    }
    RegSetKeyValueW(root, kRunKey, kRunValue, value->type, value->data.data(),
                    static_cast<DWORD>(value->data.size()));
  }
};

class OptionsE2E : public HushkeyE2E {
 protected:
  static void SetUpTestSuite() {
    HushkeyE2E::SetUpTestSuite();
    runValues_ = new std::vector<SavedRunValue>{SavedRunValue::Save(HKEY_CURRENT_USER),
                                                SavedRunValue::Save(HKEY_LOCAL_MACHINE)};
  }
  static void TearDownTestSuite() {
    for (const SavedRunValue& v : *runValues_) v.Restore();
    delete runValues_;
    runValues_ = nullptr;
    HushkeyE2E::TearDownTestSuite();
  }

  // The Options menu command, and the dialog it opens (covered, in front).
  void OpenOptions() {
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDM_OPTIONS, 0), 0);
    dialog_ = WaitForWindowOfClass(hushkey_.Pid(), kOptionsWindowClass);
    ASSERT_NE(dialog_, nullptr) << "no options dialog";
    shownAt_ = GetTickCount();
  }

  // The unlock sequence opens the gate: the cover goes, Ok is enabled.
  void OpenGate() {
    Chord(VK_LMENU, VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return Enabled(C::cmdOk) && !Covered(); }, 4000))
        << "the unlock sequence did not open the gate";
  }

  HWND Item(C c) const { return GetDlgItem(dialog_, OptionsControlId(c)); }
  bool Enabled(C c) const { return IsWindowEnabled(Item(c)) != FALSE; }
  bool Checked(C c) const { return SendMessageW(Item(c), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  bool Covered() const { return IsWindowVisible(Item(C::frameEntryReq)) != FALSE; }
  bool DialogOpen() const { return IsWindow(dialog_) != FALSE; }
  // Asked of the control itself: GetWindowText answers only captions across processes.
  std::wstring ItemText(C c) const {
    wchar_t buf[1024];
    const auto n =
        static_cast<int>(SendMessageW(Item(c), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buf)));
    return std::wstring(buf, n > 0 ? n : 0);
  }
  void Press(C c) { PostMessageW(Item(c), BM_CLICK, 0, 0); }

  HWND Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog_, nullptr), &info);
    return info.hwndFocus;
  }
  // Tab until the control has the keyboard; the controls passed on the way, in order.
  std::vector<HWND> TabTo(C c) {
    std::vector<HWND> passed;
    SetForegroundWindow(dialog_);
    for (int i = 0; i < 40 && Focus() != Item(c); ++i) {
      const HWND before = Focus();
      passed.push_back(before);
      Tap(VK_TAB);
      WaitUntil([&] { return Focus() != before; }, 3000);
    }
    return passed;
  }

  POINT CentreOf(C c) const {
    RECT r;
    GetWindowRect(Item(c), &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  // A picture for the reviewer, once the controls have been drawn.
  void SaveDialogPicture(const std::wstring& name) {
    WaitUntil([&] {
      RECT r;
      GetWindowRect(Item(C::cmdOk), &r);
      return DarkPixelsOnScreen(r) > 10;
    });
    PumpFor(300);
    EXPECT_TRUE(SaveScreenshot(dialog_, name));
  }

  static std::vector<SavedRunValue>* runValues_;
  HWND dialog_ = nullptr;
  DWORD shownAt_ = 0;
};

std::vector<SavedRunValue>* OptionsE2E::runValues_ = nullptr;

// Covered and in mode 99 until Alt+Home; then open for good, laid out from the table,
// keyboard-navigable in the tab order; Cancel by its access key stores nothing.
TEST_F(OptionsE2E, OpensCoveredUntilTheUnlockSequenceThenStaysOpen) {
  ASSERT_NO_FATAL_FAILURE(StartHushkey(L"10", {{L"ShowLckUnlSeq", L"0"}}));
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  const auto before = StoredSettings();
  ASSERT_NO_FATAL_FAILURE(OpenOptions());

  wchar_t caption[64];
  GetWindowTextW(dialog_, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"Options");
  EXPECT_FALSE(IsWindowEnabled(main_));
  EXPECT_TRUE(Covered());
  EXPECT_EQ(ItemText(C::lblEntryReq), kRequest);
  EXPECT_FALSE(Enabled(C::cmdOk));
  EXPECT_FALSE(Enabled(C::cmdCancel));
  const HWND atOk = WindowFromPoint(CentreOf(C::cmdOk));
  EXPECT_TRUE(atOk == Item(C::frameEntryReq) || atOk == Item(C::lblEntryReq))
      << "the cover is not above the Ok button";

  // Clicks on the disabled buttons do nothing. Mode 99: Alt+End is not the lock sequence;
  // Alt+Home (seen after it, in order) opens the gate, which would not happen had Alt+End
  // locked.
  Press(C::cmdCancel);
  Press(C::cmdOk);
  SetForegroundWindow(dialog_);
  Chord(VK_LMENU, VK_END);
  ASSERT_NO_FATAL_FAILURE(OpenGate());
  EXPECT_EQ(Message(), L"");
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_TRUE(Enabled(C::cmdCancel));
  EXPECT_EQ(WindowFromPoint(CentreOf(C::cmdOk)), Item(C::cmdOk));

  {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    auto clientRect = [&](C c) {
      RECT r;
      GetWindowRect(Item(c), &r);
      MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
      return r;
    };
    RECT client;
    GetClientRect(dialog_, &client);
    EXPECT_GE(client.right, px(7695));  // wider where a text needs it
    EXPECT_EQ(client.bottom, px(9435));
    const RECT ok = clientRect(C::cmdOk);
    EXPECT_GE(ok.left, px(4935));
    EXPECT_EQ(ok.top, px(8940));
    EXPECT_EQ(ok.right - ok.left, px(1215));
    const RECT mode3 = clientRect(C::optStartMode3);  // inside frameStartMode
    EXPECT_GE(mode3.left, px(1620));
    EXPECT_EQ(mode3.top, px(5640 + 720));
    test::ExpectNoTextClipped(dialog_, dpi);
    EXPECT_EQ(ItemText(C::chkFlashTrayWhenLocked), L"Flash tray && mouse pointer");
    EXPECT_EQ(ItemText(C::txtTimeout), L"10");
  }

  // Tab from the first control round the enabled ones (the mouse speed, the conditions and
  // the start modes are disabled by these settings).
  ASSERT_TRUE(WaitUntil([&] { return Focus() == Item(C::chkStopAutorepeatKeys); }, 3000));
  const std::vector<HWND> order = TabTo(C::txtPassthruWCls);
  std::vector<HWND> expected;
  for (C c :
       {C::chkStopAutorepeatKeys, C::chkSetMouseSpeed, C::chkAOMAllowMouse, C::chkUseScrnSvr,
        C::chkStopMouseMove, C::chkBeepWhenLocked, C::chkFlashTrayWhenLocked, C::chkBlockTouch,
        C::chkDimWhenLocked, C::txtTimeout, C::chkDontLockIf, C::chkStartWithWindows,
        C::chkShowLockUnlockSeq, C::hkLockKeySeq, C::cmdKeySeqDefault, C::hkUnlockKeySeq}) {
    expected.push_back(Item(c));
  }
  for (C c : {C::cboUnlockHold, C::chkUnlockWord, C::cmdOk, C::cmdCancel, C::txtIPaddress}) {
    expected.push_back(Item(c));
  }
  EXPECT_EQ(order, expected);

  SaveDialogPicture(L"options-96");

  // Still open well after the gate's five seconds.
  ASSERT_TRUE(WaitUntil([&] { return GetTickCount() - shownAt_ > 6500 || !DialogOpen(); }));
  ASSERT_TRUE(DialogOpen()) << "the dialog closed although the gate was open";
  SetForegroundWindow(dialog_);
  Chord(VK_LMENU, 'C');
  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); })) << "Alt+C did not press Cancel";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
  EXPECT_EQ(StoredSettings(), before);
}

// At 144 DPI on a 1280 x 1024 screen the help window keeps inside the work area with its
// whole text, and the dialog shows every text whole. Pictures of both, as at 96 DPI.
TEST_F(OptionsE2E, HelpAndOptionsFitAt144Dpi) {
  // The system reads the DPI when a program starts: 144 for this start only.
  constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
  DWORD was = 0, size = sizeof(was), dpi = 144;
  const bool had = RegGetValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", RRF_RT_REG_DWORD,
                                nullptr, &was, &size) == ERROR_SUCCESS;
  RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  StartHushkey(L"10", {{L"ShowLckUnlSeq", L"0"}});
  had ? RegSetKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels", REG_DWORD, &was, sizeof(was))
      : RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktop, L"LogPixels");
  ASSERT_FALSE(HasFatalFailure());
  RECT main{};
  GetClientRect(main_, &main);
  ASSERT_EQ(main.right, MulDiv(4650, 144, 1440)) << "the program does not run at 144 DPI";
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  EXPECT_TRUE(SaveWindowShot(main_, L"main-144"));
  PostMessageW(main_, kTrayCallback, MAKEWPARAM(200, 200), MAKELPARAM(WM_RBUTTONUP, 1));
  PostMessageW(main_, kTrayCallback, MAKEWPARAM(200, 200), MAKELPARAM(WM_CONTEXTMENU, 1));
  if (const HWND menu = WaitForWindowOfClass(hushkey_.Pid(), L"#32768")) {
    PumpFor(300);
    EXPECT_TRUE(SaveScreenshot(menu, L"traymenu-144"));
    Tap(VK_ESCAPE);
  } else {
    ADD_FAILURE() << "no tray menu";
  }
  const HWND help = ShowHelpThatFits();
  EXPECT_TRUE(SaveScreenshot(help, L"help-144"));
  PostMessageW(help, WM_CLOSE, 0, 0);

  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  ASSERT_NO_FATAL_FAILURE(OpenGate());
  test::ExpectNoTextClipped(dialog_, 144);
  SaveDialogPicture(L"options-144");
  Press(C::cmdCancel);
  EXPECT_TRUE(WaitUntil([&] { return !DialogOpen(); }));
}

// Five seconds without the unlock sequence close the dialog as Cancel; the mode is back.
TEST_F(OptionsE2E, WithoutTheSequenceItClosesAndStoresNothing) {
  ASSERT_NO_FATAL_FAILURE(StartHushkey(L"10", {{L"ShowLckUnlSeq", L"1"}}));
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  const auto before = StoredSettings();
  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  EXPECT_EQ(ItemText(C::lblEntryReq).rfind(kRequest + L"\r\n\r\n\r\n\r\nThis app", 0), 0u)
      << "no key-sequence reminder under the request";

  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); }, 20000));
  const DWORD open = GetTickCount() - shownAt_;
  EXPECT_GE(open, 4000u) << "closed before its five seconds";
  EXPECT_EQ(StoredSettings(), before);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
  // Unlocked again: the lock sequence locks.
  FocusProbe();
  Chord(VK_LMENU, VK_END);
  EXPECT_TRUE(WaitUntil([&] { return Message() == kLockText; }));
}

TEST_F(OptionsE2E, OkStoresTheTimeoutAndTheAutoLockTextFollows) {
  ASSERT_NO_FATAL_FAILURE(StartHushkey(L"10"));
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  ASSERT_NO_FATAL_FAILURE(OpenGate());

  const auto ctrlAltU = [] {
    Send({KeyInput(VK_LCONTROL, false), KeyInput(VK_LMENU, false), KeyInput('U', false),
          KeyInput('U', true), KeyInput(VK_LMENU, true), KeyInput(VK_LCONTROL, true)});
  };
  TabTo(C::hkUnlockKeySeq);  // Ctrl+Alt+U pressed in the unlock sequence's field
  ASSERT_EQ(Focus(), Item(C::hkUnlockKeySeq));
  ctrlAltU();

  TabTo(C::txtTimeout);  // entering a text box by Tab selects its text
  ASSERT_EQ(Focus(), Item(C::txtTimeout));
  Tap('7');
  ASSERT_TRUE(WaitUntil([&] { return ItemText(C::txtTimeout) == L"7"; }));
  Chord(VK_LMENU, 'O');
  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); })) << "Alt+O did not press Ok";

  EXPECT_EQ(Setting(L"Timeout"), L"7");
  EXPECT_EQ(Setting(L"DontLockIfDay"), L"XXXXX  ");
  EXPECT_EQ(Setting(L"StartWithWin"), L"-1");
  EXPECT_EQ(Setting(L"LockKeySeq") + L" " + Setting(L"UnlockKeySeq"), L"Alt+End Ctrl+Alt+U");
  EXPECT_EQ(Setting(L"UnlockHoldMs") + Setting(L"BlockTouch") + Setting(L"DimWhenLocked"), L"010");
  EXPECT_EQ(Setting(L"UnlockWordHash"), L"");
  Click(IDC_AUTOLOCK);
  EXPECT_TRUE(
      WaitUntil([&] { return Message() == kAutoLockPrefix + L"(excl mouse move) in 7 mins "; }));
  // The stored sequence is the one in effect: Ctrl+Alt+U ends the autolock, Alt+Home does not.
  FocusProbe();
  Chord(VK_LMENU, VK_HOME);
  PumpFor(300);
  EXPECT_NE(Message(), L"");
  ctrlAltU();
  EXPECT_TRUE(WaitUntil([&] { return Message().empty(); })) << "Ctrl+Alt+U did not unlock";
}

TEST_F(OptionsE2E, StartWithWindowsWritesTheRunValueAndUntickingRemovesIt) {
  ASSERT_NO_FATAL_FAILURE(StartHushkey(L"10"));
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  ASSERT_NO_FATAL_FAILURE(OpenGate());
  EXPECT_FALSE(Enabled(C::optStartMode1));
  Press(C::chkStartWithWindows);
  ASSERT_TRUE(WaitUntil([&] { return Checked(C::optStartMode3) && Enabled(C::optStartMode1); }));
  Press(C::optStartMode1);
  ASSERT_TRUE(WaitUntil([&] { return Checked(C::optStartMode1) && !Checked(C::optStartMode3); }));
  Press(C::cmdOk);
  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); }));
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, kRunValue),
            L"\"" + ProgramFolder() + kProgramFile + L"\" /Locked");
  EXPECT_EQ(Setting(L"StartWithWin"), L"1");

  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  ASSERT_NO_FATAL_FAILURE(OpenGate());
  EXPECT_TRUE(Checked(C::chkStartWithWindows));
  EXPECT_TRUE(Checked(C::optStartMode1));
  Press(C::chkStartWithWindows);
  ASSERT_TRUE(WaitUntil([&] { return !Enabled(C::optStartMode1); }));
  Press(C::cmdOk);
  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); }));
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kRunKey, kRunValue), std::nullopt);
  EXPECT_EQ(Setting(L"StartWithWin"), L"-1");
}

TEST_F(OptionsE2E, DontLockIfOnAnEmptyAddressIsRefusedWithItsMessage) {
  ASSERT_NO_FATAL_FAILURE(StartHushkey(L"10"));
  ASSERT_NO_FATAL_FAILURE(WaitForHooksAndUnlock());
  const auto before = StoredSettings();
  ASSERT_NO_FATAL_FAILURE(OpenOptions());
  ASSERT_NO_FATAL_FAILURE(OpenGate());
  Press(C::chkDontLockIf);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(C::optDontLockIf1); }));
  Press(C::optDontLockIf1);
  ASSERT_TRUE(WaitUntil([&] { return Enabled(C::txtDontLockIfIP); }));
  EXPECT_EQ(ItemText(C::txtDontLockIfIP), L"192.168.0.");
  TabTo(C::txtDontLockIfIP);
  ASSERT_EQ(Focus(), Item(C::txtDontLockIfIP));
  Tap(VK_DELETE);
  ASSERT_TRUE(WaitUntil([&] { return ItemText(C::txtDontLockIfIP).empty(); }));
  Press(C::cmdOk);

  const HWND box = WaitForWindowOfClass(hushkey_.Pid(), L"#32770");
  ASSERT_NE(box, nullptr) << "no message box";
  wchar_t text[256] = L"", title[64] = L"";
  GetDlgItemTextW(box, 0xFFFF, text, 256);  // the message box's text
  GetWindowTextW(box, title, 64);
  EXPECT_EQ(std::wstring(text), L"'Don't Lock If' IP address invalid");
  EXPECT_EQ(std::wstring(title), L"Hushkey");
  EXPECT_EQ(StoredSettings(), before);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(DialogOpen());
  Press(C::cmdCancel);
  ASSERT_TRUE(WaitUntil([&] { return !DialogOpen(); }));
  EXPECT_EQ(StoredSettings(), before);
}

}  // namespace
}  // namespace hushkey::e2e
