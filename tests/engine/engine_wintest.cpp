// The real hooks and desktop operations under Windows (Wine here). The test host installs
// the low-level hooks with fake mode commands and starts a second copy of this program as
// the "typist": it shows a window, brings it to the front, types into it with SendInput and
// writes down what its window received. Every run ends with a sentinel key that passes in
// the mode under test; since input reaches the hook in order, once the window has the
// sentinel, every earlier event has been decided.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/mode_code.h"
#include "hushkey/engine/desktop_win32.h"
#include "hushkey/engine/hook_watchdog_win32.h"
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/engine/word_hash_win32.h"
#include "tests/support/fakes.h"

namespace hushkey {
namespace {

using fakes::Events;

// ---------------------------------------------------------------- the typist (child) side

const wchar_t kTypistClass[] = L"HushkeyTypistWindow";
std::vector<std::string>* g_received = nullptr;

std::uint32_t GenericVk(std::uint32_t vk) {
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) return VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) return VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) return VK_MENU;
  return vk;
}

LRESULT CALLBACK TypistProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  auto note = [&](const char* what, std::uint32_t v) {
    g_received->push_back(std::string(what) + " " + std::to_string(GenericVk(v)));
  };
  switch (m) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      note("down", static_cast<std::uint32_t>(wp));
      // The key state this thread sees with the key: what shortcuts are made from.
      if (GetKeyState(VK_CONTROL) < 0) g_received->push_back("ctrl held");
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP: note("up", static_cast<std::uint32_t>(wp)); return 0;
    case WM_CHAR:
    case WM_SYSCHAR: g_received->push_back("char " + std::to_string(wp)); return 0;
    case WM_LBUTTONDOWN: g_received->push_back("ldown"); return 0;
    case WM_LBUTTONUP: g_received->push_back("lup"); return 0;
    case WM_RBUTTONDOWN: g_received->push_back("rdown"); return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_KEYMENU) return 0;  // no menu mode on a lone Alt
      break;
  }
  return DefWindowProcW(w, m, wp, lp);
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg;
  do {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

bool Received(const std::string& what) {
  return std::find(g_received->begin(), g_received->end(), what) != g_received->end();
}

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_HOME || vk == VK_END || vk == VK_RMENU || vk == VK_RCONTROL)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  SendInput(1, &in, sizeof in);
}

void SendClick(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpFor(20);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &in[0], sizeof(INPUT));
  SendInput(1, &in[1], sizeof(INPUT));
}

// Script: space-separated steps "d<vk>" (key down), "u<vk>" (key up), "w<ms>" (pause), "click";
// the last step "s<vk>" sends that key down and up and waits for its key-down to arrive.
int RunTypist(const std::wstring& reportPath, const std::string& script) {
  std::vector<std::string> received;
  g_received = &received;
  WNDCLASSW wc{};
  wc.lpfnWndProc = TypistProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kTypistClass;
  RegisterClassW(&wc);
  HWND w = CreateWindowExW(WS_EX_TOPMOST, kTypistClass, L"typist", WS_POPUP | WS_VISIBLE, 100, 100,
                           300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  if (w == nullptr) return 10;
  int rc = 0;
  const DWORD start = GetTickCount();
  while (GetForegroundWindow() != w || GetFocus() != w) {
    SetForegroundWindow(w);
    SetFocus(w);
    PumpFor(50);
    if (GetTickCount() - start > 20000) {
      rc = 11;
      break;
    }
  }
  if (rc == 0) {
    std::istringstream steps(script);
    std::string step;
    while (steps >> step) {
      const WORD vk = step == "click" ? 0 : static_cast<WORD>(std::stoul(step.substr(1)));
      if (step == "click") {
        SendClick(w);
      } else if (step[0] == 'w') {
        PumpFor(vk);  // a pause of that many milliseconds
      } else if (step[0] == 'd' || step[0] == 'u') {
        SendKey(vk, step[0] == 'u');
      } else if (step[0] == 's') {
        SendKey(vk, false);
        SendKey(vk, true);
        const std::string want = "down " + std::to_string(GenericVk(vk));
        const DWORD t0 = GetTickCount();
        while (!Received(want) && GetTickCount() - t0 < 30000) PumpFor(20);
        if (!Received(want)) rc = 12;
        PumpFor(100);  // let the sentinel's own key-up and char messages in
      }
      PumpFor(10);
    }
  }
  std::ofstream out{std::filesystem::path(reportPath)};
  for (const std::string& line : received) out << line << "\n";
  DestroyWindow(w);
  return rc;
}

// ---------------------------------------------------------------- the host side

struct TypistResult {
  int exitCode = -1;
  std::vector<std::string> received;
  bool Has(const std::string& what) const {
    return std::find(received.begin(), received.end(), what) != received.end();
  }
  std::string Dump() const {
    std::string s;
    for (const auto& r : received) s += r + "; ";
    return s;
  }
};

// Starts the typist and keeps this thread's messages (and so the hooks) flowing through
// WaitMilliseconds until it has finished.
TypistResult Type(const std::string& script) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring report =
      std::wstring(dir) + L"hk_typist_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  DeleteFileW(report.c_str());
  std::wstring cmd = L"\"" + std::wstring(exe) + L"\" --typist \"" + report + L"\" \"" +
                     std::wstring(script.begin(), script.end()) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  TypistResult result;
  if (!CreateProcessW(exe, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ADD_FAILURE() << "cannot start the typist: " << GetLastError();
    return result;
  }
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT && GetTickCount() - start < 90000)
    WaitMilliseconds(50, true);
  if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  }
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  result.exitCode = static_cast<int>(code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::ifstream in(std::filesystem::path{report});
  std::string line;
  while (std::getline(in, line)) result.received.push_back(line);
  in.close();
  DeleteFileW(report.c_str());
  return result;
}

// The program side: state, fake mode commands and timer, the real desktop, and both hooks
// installed for the lifetime of the object.
struct HookHost {
  fakes::EventLog log;
  AppState app;
  Win32Desktop desktop;
  fakes::FakeTimer timer{log};
  fakes::FakeActions actions{log, app};
  FilterContext ctx{app, desktop, timer, actions};

  explicit HookHost(LockMode mode) {
    app.CurrentMode = mode;
    SetFilterContext(&ctx);
    InstallKeyboardHook();
    InstallMouseHook();
  }
  ~HookHost() {
    RemoveKeyboardHook();
    RemoveMouseHook();
    SetFilterContext(nullptr);
  }
};

TEST(Hooks, UnlockedTypingAndClicksArrive) {
  HookHost host(ModeUnlocked);
  ASSERT_NE(KeyboardHookHandle(), nullptr);
  ASSERT_NE(MouseHookHandle(), nullptr);
  const TypistResult r = Type("d65 u65 click s32");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_TRUE(r.Has("down 65")) << r.Dump();
  EXPECT_TRUE(r.Has("char 97")) << r.Dump();
  EXPECT_TRUE(r.Has("ldown")) << r.Dump();
  EXPECT_TRUE(host.log.events.empty());
}

TEST(Hooks, LockedSwallowsLettersAndLetsAltPass) {
  HookHost host(ModeLocked);
  host.app.settings.Flash = true;
  const TypistResult r = Type("d65 u65 d164 u164 s162");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_FALSE(r.Has("down 65")) << r.Dump();
  EXPECT_FALSE(r.Has("up 65")) << r.Dump();
  EXPECT_FALSE(r.Has("char 97")) << r.Dump();
  EXPECT_TRUE(r.Has("down 18")) << r.Dump();
  EXPECT_TRUE(r.Has("up 18")) << r.Dump();
  EXPECT_EQ(host.log.events, (Events{"flash timer"})) << "one cue, for the A key-down";
  EXPECT_FALSE(host.app.lock.LeftAltDown);
}

TEST(Hooks, BlockWinCtrlTurnsCtrlCIntoAPlainC) {
  HookHost host(ModeBlockWinCtrl);
  const TypistResult r = Type("d162 d67 u67 u162 s32");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_FALSE(r.Has("down 17")) << r.Dump();
  EXPECT_TRUE(r.Has("down 67")) << r.Dump();
  EXPECT_TRUE(r.Has("char 99")) << r.Dump();
  EXPECT_FALSE(r.Has("char 3")) << r.Dump();
  EXPECT_FALSE(r.Has("ctrl held")) << r.Dump();
}

TEST(Hooks, AllowOnlyLetsSpaceThroughButNotTab) {
  HookHost host(ModeAllowOnly);
  const TypistResult r = Type("d9 u9 d32 u32 s34");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_FALSE(r.Has("down 9")) << r.Dump();
  EXPECT_FALSE(r.Has("char 9")) << r.Dump();
  EXPECT_TRUE(r.Has("down 32")) << r.Dump();
  EXPECT_TRUE(r.Has("char 32")) << r.Dump();
}

TEST(Hooks, LockedClickNeverReachesTheWindow) {
  HookHost host(ModeLocked);
  host.app.settings.Flash = true;
  const TypistResult r = Type("click s162");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_FALSE(r.Has("ldown")) << r.Dump();
  EXPECT_FALSE(r.Has("lup")) << r.Dump();
  EXPECT_EQ(host.log.events, (Events{"flash timer"})) << "the press cues, the release does not";
}

TEST(Hooks, LockedAltHomeCancelsAndTheHomeKeyUpPasses) {
  HookHost host(ModeLocked);
  const TypistResult r = Type("d164 d36 u36 u164 s65");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_EQ(host.log.events, (Events{"cancel click"}));
  EXPECT_EQ(host.app.CurrentMode, ModeUnlocked);
  EXPECT_TRUE(r.Has("down 18")) << r.Dump();
  EXPECT_FALSE(r.Has("down 36")) << r.Dump();
  EXPECT_TRUE(r.Has("up 36")) << r.Dump();
  EXPECT_TRUE(r.Has("up 18")) << r.Dump();
}

TEST(Hooks, PassthroughWindowClassKeepsTheSequencesFromTheFilter) {
  {
    HookHost host(ModeUnlocked);
    host.app.settings.PassthruWCls = "HushkeyTypistWindow";
    const TypistResult r = Type("d164 d35 u35 u164 s65");
    ASSERT_EQ(r.exitCode, 0) << r.Dump();
    EXPECT_TRUE(r.Has("down 35")) << r.Dump();
    EXPECT_TRUE(host.log.events.empty());
    EXPECT_EQ(host.app.CurrentMode, ModeUnlocked);
  }
  {
    HookHost host(ModeUnlocked);
    host.app.settings.PassthruWCls = "hushkeytypistwindow";
    const TypistResult r = Type("d164 d35 u35 u164 s162");
    ASSERT_EQ(r.exitCode, 0) << r.Dump();
    EXPECT_FALSE(r.Has("down 35")) << r.Dump();
    EXPECT_EQ(host.log.events, (Events{"lock all"}));
  }
}

TEST(Hooks, InstallingTwiceInstallsOneHook) {
  HookHost host(ModeAutoLock);
  const HHOOK keyboard = KeyboardHookHandle();
  const HHOOK mouse = MouseHookHandle();
  InstallKeyboardHook();
  InstallMouseHook();
  EXPECT_EQ(KeyboardHookHandle(), keyboard);
  EXPECT_EQ(MouseHookHandle(), mouse);
  // Two key-ups (A and the sentinel) and one click: three restarts, not six.
  const TypistResult r = Type("d65 u65 click s66");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_EQ(host.log.Count("timer enabled T"), 3u) << ::testing::PrintToString(host.log.events);
}

// The system drops the keyboard hook (done here behind the program's back, as Windows does
// after a hook overran its time limit). Keys typed right afterwards get through; the raw
// input they make wakes the watchdog, which installs the hooks again: within its grace
// period the lock is back, the mode unchanged and the Alt keys forgotten.
TEST(Hooks, WatchdogPutsADroppedHookBackWithinItsGracePeriod) {
  HookHost host(ModeLocked);
  HookWatchdogWin32 watchdog;
  int reinstalled = 0;
  ASSERT_TRUE(watchdog.Start(GetModuleHandleW(nullptr), [&] {
    ++reinstalled;
    ClearAltState(host.app.lock);
  }));
  host.app.lock.LeftAltDown = true;
  ASSERT_TRUE(UnhookWindowsHookEx(KeyboardHookHandle()));
  std::string script;
  for (int i = 0; i < 8; ++i) script += "d65 u65 w400 ";  // 'A' for about three seconds
  const TypistResult r = Type(script + "d66 u66 s162");
  ASSERT_EQ(r.exitCode, 0) << r.Dump();
  EXPECT_TRUE(r.Has("down 65")) << "the hook was not dropped: " << r.Dump();
  EXPECT_FALSE(r.Has("down 66")) << "still unlocked after three seconds: " << r.Dump();
  EXPECT_GE(reinstalled, 1);
  EXPECT_EQ(host.app.CurrentMode, ModeLocked);
  EXPECT_FALSE(host.app.lock.LeftAltDown);
  watchdog.Stop();
}

TEST(Hooks, RemovingWhatIsNotInstalledDoesNothing) {
  RemoveKeyboardHook();
  RemoveMouseHook();
  RemoveMouseHook();
  EXPECT_EQ(KeyboardHookHandle(), nullptr);
  EXPECT_EQ(MouseHookHandle(), nullptr);
  InstallMouseHook();
  EXPECT_NE(MouseHookHandle(), nullptr);
  RemoveMouseHook();
  EXPECT_EQ(MouseHookHandle(), nullptr);
}

// ---------------------------------------------------------------- waits and class names

struct Counters {
  int posted = 0;
  int timer = 0;
  int timerDuringInnerWait = 0;
};

LRESULT CALLBACK CounterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  auto* c = reinterpret_cast<Counters*>(GetWindowLongPtrW(w, GWLP_USERDATA));
  if (c != nullptr && m == WM_APP) {
    ++c->posted;
    return 0;
  }
  if (c != nullptr && m == WM_APP + 1) {
    // A handler that waits, as the allow-only delay does inside a button click.
    const int before = c->timer;
    WaitMilliseconds(300, true);
    c->timerDuringInnerWait = c->timer - before;
    return 0;
  }
  if (c != nullptr && m == WM_TIMER) {
    ++c->timer;
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

class Wait : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW wc{};
    wc.lpfnWndProc = CounterProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HushkeyWaitProbe";
    RegisterClassW(&wc);
    window = CreateWindowW(L"HushkeyWaitProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&counters));
  }
  void TearDown() override {
    KillTimer(window, 1);
    DestroyWindow(window);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND window = nullptr;
  Counters counters;
};

TEST_F(Wait, PumpingWaitHandlesMessagesAndTimersMeanwhile) {
  PostMessageW(window, WM_APP, 0, 0);
  SetTimer(window, 1, 50, nullptr);
  const DWORD start = GetTickCount();
  WaitMilliseconds(500, true);
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 500u);
  EXPECT_EQ(counters.posted, 1);
  EXPECT_GE(counters.timer, 1);
}

TEST_F(Wait, WaitInsideAHandlerKeepsTimersRunning) {
  SetTimer(window, 1, 20, nullptr);
  PostMessageW(window, WM_APP + 1, 0, 0);
  WaitMilliseconds(100, true);
  EXPECT_GE(counters.timerDuringInnerWait, 1);
}

TEST_F(Wait, PlainWaitLeavesMessagesQueued) {
  PostMessageW(window, WM_APP, 0, 0);
  const DWORD start = GetTickCount();
  WaitMilliseconds(200, false);
  EXPECT_GE(GetTickCount() - start, 200u);
  EXPECT_EQ(counters.posted, 0);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, window, WM_APP, WM_APP, PM_REMOVE));
}

TEST_F(Wait, QuitRequestEndsTheWaitAndStaysForTheMainLoop) {
  PostMessageW(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  const DWORD start = GetTickCount();
  WaitMilliseconds(60000, true);
  EXPECT_LT(GetTickCount() - start, 30000u);
  EXPECT_EQ(counters.posted, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

std::string ClassOfNewWindow(const std::wstring& name) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  if (RegisterClassW(&wc) == 0) return "<register failed>";
  HWND w =
      CreateWindowW(name.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  const std::string got = w != nullptr ? GetWindowClass(w) : "<create failed>";
  if (w != nullptr) DestroyWindow(w);
  UnregisterClassW(name.c_str(), wc.hInstance);
  return got;
}

TEST(WindowClass, LongNamesAreCutTo99Characters) {
  std::wstring name;
  std::string expected;
  for (int i = 0; i < 120; ++i) {
    name += static_cast<wchar_t>(L'A' + i % 26);
    if (i < 99) expected += static_cast<char>('A' + i % 26);
  }
  EXPECT_EQ(ClassOfNewWindow(name), expected);
}

TEST(WindowClass, NamesComeBackAsUtf8) {
  EXPECT_EQ(ClassOfNewWindow(L"Fen\u00eatre-\u00c4\u2713"), "Fen\xc3\xaatre-\xc3\x84\xe2\x9c\x93");
}

TEST(WindowClass, CutNeverSplitsACharacter) {
  // 98 letters, then a character outside the basic plane (two UTF-16 units), then more.
  const std::wstring name = std::wstring(98, L'x') + L"\U0001F600" + L"tail";
  EXPECT_EQ(ClassOfNewWindow(name), std::string(98, 'x'));
}

TEST(WindowClass, NoWindowGivesEmptyText) { EXPECT_EQ(GetWindowClass(nullptr), ""); }

TEST(Desktop, MouseSpeedIsSetAndReadBack) {
  Win32Desktop desktop;
  const std::int32_t original = desktop.GetMouseSpeed();
  ASSERT_GE(original, 1);
  ASSERT_LE(original, 20);
  const std::int32_t other = original == 3 ? 17 : 3;
  desktop.SetMouseSpeed(other);
  EXPECT_EQ(desktop.GetMouseSpeed(), other);
  desktop.SetMouseSpeed(original);
  EXPECT_EQ(desktop.GetMouseSpeed(), original);
}

}  // namespace
}  // namespace hushkey

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--typist") {
    int n = 0;
    wchar_t** wargv = CommandLineToArgvW(GetCommandLineW(), &n);
    const int rc = hushkey::RunTypist(wargv[2], argv[3]);
    LocalFree(wargv);
    return rc;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

namespace hushkey {
namespace {

// The unlock word's hash through the system's cryptography: salted (two hashes of one word
// differ), letters in any case, nothing for another word or for text that is no hash.
TEST(UnlockWordHash, SaltedAndCheckedByTheSystem) {
  const std::optional<std::string> a = NewWordHashText("Secret7"), b = NewWordHashText("secret7");
  ASSERT_TRUE(a && b);
  EXPECT_NE(*a, *b);
  EXPECT_TRUE(ParseWordHash(*a));
  for (const auto& [typed, match] : {std::pair{"secret7", true},
                                     {"SECRET7", true},
                                     {"secret8", false},
                                     {"secret", false},
                                     {"", false}})
    EXPECT_EQ(WordMatchesHash(*a, typed), match) << typed;
  EXPECT_FALSE(WordMatchesHash("secret7", "secret7"));
}

}  // namespace
}  // namespace hushkey
