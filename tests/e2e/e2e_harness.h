// The end-to-end harness: the real Hushkey.exe started next to the test program, a probe
// window of the test's own that records which keys and clicks reach it, input sent with
// SendInput, the settings written before a start and put back afterwards, and the test
// fixture that starts, drives and ends the program. Used by every end-to-end test program.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "hushkey/resources/diagnostics.h"
#include "hushkey/resources/resource_ids.h"
#include "hushkey/shell/help_text.h"
#include "longtick/control/longtick_ids.h"
#include "tests/support/screenshot_win32.h"
#include "win32/text_win32.h"

namespace hushkey::e2e {

using test::SaveScreenshot;
using test::ScreenPixels;

constexpr wchar_t kSettingsKey[] = L"Software\\Hushkey\\Settings";
constexpr wchar_t kTitle[] = L"Hushkey ";
// The delivered program's file name; the help text and the About box show it.
constexpr wchar_t kProgramFile[] = L"Hushkey.exe";
constexpr UINT kTrayCallback = HK_MSG_TRAY_CALLBACK;

inline const std::wstring kLockText =
    L"All keys and mouse clicks disabled until reqd key seq pressed";
inline const std::wstring kBlockText = L"All window control keys disabled";
inline const std::wstring kAllowOnlyText =
    L"Allow only a few select keys (Space,PageUp,PageDown). This mode starts after a few "
    L"seconds to give you time to select required window.";
inline const std::wstring kAutoLockPrefix = L"System will be locked if no activity ";
inline const std::wstring kHelpCaption = L"Hushkey Syntax   v1.97" + std::wstring(10, L' ');

// Generous: the machine is shared and Wine is slow to start.
constexpr DWORD kStartDeadline = 90000;
constexpr DWORD kDeadline = 30000;

// --- The test's own window: records what reaches it ---------------------------------------

struct Received {
  std::vector<UINT> keyDowns;  // virtual keys of WM_KEYDOWN / WM_SYSKEYDOWN
  std::vector<UINT> keyUps;
  std::wstring chars;  // WM_CHAR
  int clicks = 0;      // WM_LBUTTONDOWN
  int releases = 0;    // WM_LBUTTONUP
  void Clear() { *this = Received{}; }
  bool GotKeyDown(UINT vk) const {
    for (UINT k : keyDowns) {
      if (k == vk) return true;
    }
    return false;
  }
};

inline Received g_received;

inline LRESULT CALLBACK ProbeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  switch (m) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: g_received.keyDowns.push_back(static_cast<UINT>(wp)); return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Handled here so a lone Alt never opens a menu loop on this window.
      g_received.keyUps.push_back(static_cast<UINT>(wp));
      return 0;
    case WM_CHAR: g_received.chars.push_back(static_cast<wchar_t>(wp)); return 0;
    case WM_SYSCHAR: return 0;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_KEYMENU) return 0;
      break;
    // A press takes the capture, as drag code does: the release comes here wherever it is.
    case WM_LBUTTONDOWN: ++g_received.clicks, SetCapture(w); return 0;
    case WM_LBUTTONUP: ++g_received.releases, ReleaseCapture(); return 0;
    case WM_MOUSEACTIVATE: return MA_ACTIVATE;
    default: break;
  }
  return DefWindowProcW(w, m, wp, lp);
}

inline void PumpOnce(DWORD waitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// Pumps this thread's messages until the condition holds or the deadline passes.
inline bool WaitUntil(const std::function<bool()>& cond, DWORD deadlineMs = kDeadline) {
  const DWORD start = GetTickCount();
  for (;;) {
    PumpOnce(0);
    if (cond()) return true;
    if (GetTickCount() - start >= deadlineMs) return false;
    PumpOnce(20);
  }
}

// Pumps for a while: only for pacing input (never to wait for a result).
inline void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) PumpOnce(10);
}
// The main window as the user sees it, drawn afresh (a window shown a moment ago may not have
// painted its buttons yet), saved as <name>.bmp.
inline bool SaveWindowShot(HWND window, const std::wstring& name) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  PumpFor(500);
  return SaveScreenshot(window, name);
}

// --- The screen ------------------------------------------------------------------------------

// The number of dark pixels (text, not the light menu or window background) on the screen
// in a rectangle.
inline int DarkPixelsOnScreen(const RECT& r) {
  int dark = 0;
  for (const std::uint32_t c : ScreenPixels(r)) {
    const unsigned hi = std::max({(c >> 16) & 0xFFu, (c >> 8) & 0xFFu, c & 0xFFu});
    if (hi < 128) ++dark;
  }
  return dark;
}

// The screen as a 32-bit BMP file; false when it could not be written.
inline bool SaveScreenBmp(const std::wstring& path) {
  const RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const std::vector<std::uint32_t> px = ScreenPixels(r);
  const BITMAPINFOHEADER info{sizeof(info), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(info), size = px.size() * 4;
  const BITMAPFILEHEADER file{0x4D42, offset + size, 0, 0, offset};
  FILE* f = px.empty() ? nullptr : _wfopen(path.c_str(), L"wb");
  const bool ok = f && fwrite(&file, sizeof(file), 1, f) && fwrite(&info, sizeof(info), 1, f) &&
                  fwrite(px.data(), size, 1, f);
  return f && fclose(f) == 0 && ok;
}

// --- Input -------------------------------------------------------------------------------

inline INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  if (vk == VK_HOME || vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_RCONTROL ||
      vk == VK_RMENU) {
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  }
  return in;
}

inline void Send(std::vector<INPUT> inputs) {
  for (INPUT& in : inputs) {
    SendInput(1, &in, sizeof(INPUT));
    PumpOnce(0);
  }
}

inline void Tap(WORD vk) { Send({KeyInput(vk, false), KeyInput(vk, true)}); }

inline void Chord(WORD modifier, WORD vk) {
  Send({KeyInput(modifier, false), KeyInput(vk, false), KeyInput(vk, true),
        KeyInput(modifier, true)});
}

// Mouse events at a screen point, one after the other (MOUSEEVENTF_* flags each).
inline void MouseAt(POINT p, std::initializer_list<DWORD> events) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  for (DWORD flags : events) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dx = MulDiv(p.x, 65535, w - 1);
    i.mi.dy = MulDiv(p.y, 65535, h - 1);
    i.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &i, sizeof(INPUT));
    PumpOnce(0);
  }
}

inline void ClickAt(POINT p) {
  MouseAt(p, {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

// --- Registry ----------------------------------------------------------------------------

struct SavedValue {
  std::wstring name;
  DWORD type;
  std::vector<BYTE> data;
};

inline std::vector<SavedValue> SaveSettings() {
  std::vector<SavedValue> saved;
  HKEY key;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return saved;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLen = 256, type = 0, size = 0;
    if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
      break;
    }
    SavedValue v{std::wstring(name, nameLen), type, std::vector<BYTE>(size)};
    nameLen = 256;
    RegEnumValueW(key, i, name, &nameLen, nullptr, &type, v.data.data(), &size);
    saved.push_back(std::move(v));
  }
  RegCloseKey(key);
  return saved;
}

inline void ReplaceSettings(const std::vector<std::pair<std::wstring, std::wstring>>& values) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  for (const auto& [name, text] : values) {
    RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(key);
}

inline void RestoreSettings(const std::vector<SavedValue>& saved) {
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  if (saved.empty()) return;
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  for (const SavedValue& v : saved) {
    RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(),
                   static_cast<DWORD>(v.data.size()));
  }
  RegCloseKey(key);
}

// Settings every test starts from: no screen saver, beep or mouse speed change, mouse moves
// pass while locked, no don't-lock-if condition, no autorepeat filtering; the flash on.
inline std::vector<std::pair<std::wstring, std::wstring>> BaseSettings(const wchar_t* timeout) {
  return {{L"UseScrnSvr", L"0"},    {L"StopARKeys", L"0"}, {L"SetMouseSpd", L"0"},
          {L"Beep", L"0"},          {L"Flash", L"1"},      {L"StopMouseMove", L"0"},
          {L"AOMAllowMouse", L"0"}, {L"DontLockIf", L"0"}, {L"Timeout", timeout}};
}

inline std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1);
}

inline bool ControlClassRegistered() {
  HKEY key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{" LONGTICK_CLSID "}\\InprocServer32", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

inline bool ControlNextToProgram() {
  return GetFileAttributesW((ProgramFolder() + L"longtick.ocx").c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline double FileTimeMs(const FILETIME& t) {
  ULARGE_INTEGER u;
  u.LowPart = t.dwLowDateTime;
  u.HighPart = t.dwHighDateTime;
  return static_cast<double>(u.QuadPart) / 10000.0;
}

// Kernel and user time of one thread, in milliseconds; -1 when the system does not tell.
inline double CpuMsOfThread(HANDLE thread) {
  FILETIME c, e, k, u;
  return thread && GetThreadTimes(thread, &c, &e, &k, &u) ? FileTimeMs(k) + FileTimeMs(u) : -1;
}

// --- The program under test --------------------------------------------------------------

// A thread of the test with low-level hooks that pass everything: the least any hook-based
// filter costs for the same input, as a yardstick for the program's own figure. Started after
// the program's hooks, it is called first.
class PassingHookThread {
 public:
  PassingHookThread() = default;
  PassingHookThread(const PassingHookThread&) = delete;
  PassingHookThread& operator=(const PassingHookThread&) = delete;
  ~PassingHookThread() { Stop(); }
  bool Start() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &Run, this, 0, &id_);
    return thread_ && WaitForSingleObject(ready_, kDeadline) == WAIT_OBJECT_0 && hooked_;
  }
  double CpuMs() const { return CpuMsOfThread(thread_); }
  void Stop() {
    if (thread_) {
      PostThreadMessageW(id_, WM_QUIT, 0, 0);
      WaitForSingleObject(thread_, kDeadline);
      CloseHandle(thread_);
    }
    if (ready_) CloseHandle(ready_);
    thread_ = ready_ = nullptr;
  }

 private:
  static LRESULT CALLBACK Pass(int code, WPARAM wp, LPARAM lp) {
    return CallNextHookEx(nullptr, code, wp, lp);
  }
  static DWORD WINAPI Run(void* self) {
    auto* me = static_cast<PassingHookThread*>(self);
    HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, Pass, GetModuleHandleW(nullptr), 0);
    HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, Pass, GetModuleHandleW(nullptr), 0);
    me->hooked_ = keyboard && mouse;
    SetEvent(me->ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (mouse) UnhookWindowsHookEx(mouse);
    if (keyboard) UnhookWindowsHookEx(keyboard);
    return 0;
  }
  HANDLE thread_ = nullptr, ready_ = nullptr;
  DWORD id_ = 0;
  bool hooked_ = false;
};

class HushkeyProcess {
 public:
  ~HushkeyProcess() { Kill(); }

  // Starts the program; `args` (when not empty) follows the quoted path after one blank, as
  // a shortcut or a batch file passes a switch.
  bool Start(const std::wstring& exe, const std::wstring& args = L"") {
    std::wstring cmd = L"\"" + exe + L"\"";
    if (!args.empty()) cmd += L" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
      return false;
    }
    thread_ = pi.hThread;
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    return true;
  }

  // The program's main window: title "Hushkey ", owned by this process.
  HWND FindMainWindow() const {
    HWND w = nullptr;
    while ((w = FindWindowExW(nullptr, w, nullptr, kTitle)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == pid_) return w;
    }
    return nullptr;
  }

  bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

  // CPU time (kernel + user) of the whole process, and of its user-interface thread, which
  // does all of the program's work. Wine answers GetProcessTimes for another process with
  // the caller's own figures, so under Wine only the thread figure is the program's.
  double ProcessCpuMs() const {
    FILETIME c, e, k, u;
    if (!GetProcessTimes(process_, &c, &e, &k, &u)) return -1;
    return FileTimeMs(k) + FileTimeMs(u);
  }
  double ThreadCpuMs() const { return CpuMsOfThread(thread_); }

  // CPU time of all the program's threads together (under Wine, the only figure that is
  // the program's own; see above).
  double AllThreadsCpuMs() const {
    double total = 0;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snap == INVALID_HANDLE_VALUE) return -1;
    THREADENTRY32 te{};
    te.dwSize = sizeof(te);
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te)) {
      if (te.th32OwnerProcessID != pid_) continue;
      HANDLE t = OpenThread(THREAD_QUERY_INFORMATION, FALSE, te.th32ThreadID);
      if (!t) continue;
      total += std::max(0.0, CpuMsOfThread(t));
      CloseHandle(t);
    }
    CloseHandle(snap);
    return total;
  }

  // GDI objects, USER objects and kernel handles the program holds (0 where the system
  // does not tell).
  struct Resources {
    DWORD gdi = 0, user = 0, handles = 0;
  };
  Resources Held() const {
    Resources r;
    r.gdi = GetGuiResources(process_, GR_GDIOBJECTS);
    r.user = GetGuiResources(process_, GR_USEROBJECTS);
    GetProcessHandleCount(process_, &r.handles);
    return r;
  }

  SIZE_T PrivateBytes() const {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    return GetProcessMemoryInfo(process_, &pmc, sizeof(pmc)) ? pmc.PagefileUsage : 0;
  }

  SIZE_T WorkingSet() const {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof(pmc);
    return GetProcessMemoryInfo(process_, &pmc, sizeof(pmc)) ? pmc.WorkingSetSize : 0;
  }

  // Waits for the end of the process; its exit code, or -1 when it is still running.
  long WaitExit(DWORD deadlineMs) {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      if (GetTickCount() - start >= deadlineMs) return -1;
      PumpOnce(20);
    }
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
  }

  void Kill() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_, 99);
      WaitForSingleObject(process_, 10000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    if (thread_) CloseHandle(thread_);
    thread_ = nullptr;
  }

  HANDLE Handle() const { return process_; }
  HANDLE MainThread() const { return thread_; }
  DWORD Pid() const { return pid_; }

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
};

// A search for a visible top-level window of a class (null: any) in one process: "#32770"
// is a message box, "#32768" a popup menu.
struct BoxSearch {
  DWORD pid;
  HWND box = nullptr;
  const wchar_t* cls = L"#32770";
};

inline BOOL CALLBACK FindWindowOfClass(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<BoxSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  wchar_t cls[32];
  if (pid == s->pid && IsWindowVisible(w) &&
      (!s->cls || (GetClassNameW(w, cls, 32) && std::wstring(cls) == s->cls))) {
    s->box = w;
    return FALSE;
  }
  return TRUE;
}

// Waits for such a window until the deadline, or until `stop` says to give up; nullptr when
// none came.
inline HWND WaitForWindowOfClass(DWORD pid, const wchar_t* cls, DWORD deadlineMs = kDeadline,
                                 const std::function<bool()>& stop = {}) {
  BoxSearch search{pid, nullptr, cls};
  WaitUntil(
      [&] {
        EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&search));
        return search.box != nullptr || (stop && stop());
      },
      deadlineMs);
  return search.box;
}

class HushkeyE2E : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { saved_ = new std::vector<SavedValue>(SaveSettings()); }
  static void TearDownTestSuite() {
    RestoreSettings(*saved_);
    delete saved_;
    saved_ = nullptr;
  }

  void SetUp() override {
    if (!ControlNextToProgram() && !ControlClassRegistered()) {
      GTEST_SKIP() << "longtick.ocx is neither built next to Hushkey.exe nor registered";
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"HushkeyE2EProbe";
    RegisterClassW(&wc);
    // Away from the program's window, which opens at the top left.
    const int sw = GetSystemMetrics(SM_CXSCREEN);
    probe_ = CreateWindowExW(WS_EX_TOPMOST, L"HushkeyE2EProbe", L"probe",
                             WS_POPUP | WS_BORDER | WS_VISIBLE, sw - 420, 300, 360, 240, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe_, nullptr);
    PumpFor(50);
  }

  void TearDown() override {
    if (hushkey_.Running() && main_ && !heldUp_) {
      // The hooks were never dropped in these runs: a reinstall here is a false alarm.
      EXPECT_EQ(Ask(Diagnostic::HookReinstalls), 0u) << "the hook watchdog put the hooks back";
    }
    if (hushkey_.Running()) {
      // Exit through the program's tray menu command (available in every mode), else end it.
      if (main_) PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDM_POPUP_EXIT, 0), 0);
      if (hushkey_.WaitExit(20000) < 0) hushkey_.Kill();
    }
    hushkey_.Kill();
    if (probe_) DestroyWindow(probe_);
    probe_ = nullptr;
    // Leave no key held down.
    Send({KeyInput(VK_LMENU, true), KeyInput(VK_LCONTROL, true)});
  }

  // Starts the program with these settings (the base ones, then `extra`) and waits for its
  // main window.
  void StartHushkey(const wchar_t* timeout,
                    const std::vector<std::pair<std::wstring, std::wstring>>& extra = {},
                    const std::wstring& args = L"") {
    auto settings = BaseSettings(timeout);
    settings.insert(settings.end(), extra.begin(), extra.end());
    ReplaceSettings(settings);
    const std::wstring exe = ProgramFolder() + kProgramFile;
    ASSERT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "no Hushkey.exe";
    ASSERT_TRUE(hushkey_.Start(exe, args));
    // A start switch that locks or hides leaves the window hidden at the end of start-up.
    const bool hiddenAtEnd = !args.empty() && args != L"/show" && args != L"/unload";
    ASSERT_TRUE(WaitUntil(
        [&] {
          main_ = hushkey_.FindMainWindow();
          return (main_ && (hiddenAtEnd || IsWindowVisible(main_))) || !hushkey_.Running();
        },
        kStartDeadline));
    ASSERT_TRUE(hushkey_.Running()) << "Hushkey.exe ended during start-up";
    WaitForInputIdle(hushkey_.Handle(), kDeadline);
    if (hiddenAtEnd) {
      ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }));
    }
  }

  // Starts a second copy with `args` and waits for it to end. It must hand its request to
  // the running program and end with code 0 without ever showing a window of its own.
  void ExpectSecondStartHandsOver(const std::wstring& args) {
    HushkeyProcess second;
    ASSERT_TRUE(second.Start(ProgramFolder() + kProgramFile, args));
    const DWORD start = GetTickCount();
    while (second.Running() && GetTickCount() - start < kDeadline) {
      BoxSearch shown{second.Pid(), nullptr, nullptr};
      EnumWindows(FindWindowOfClass, reinterpret_cast<LPARAM>(&shown));
      ASSERT_EQ(shown.box, nullptr) << "the second start showed a window";
      PumpOnce(5);
    }
    EXPECT_EQ(second.WaitExit(kDeadline), 0)
        << "second start with '" << std::string(args.begin(), args.end()) << "'";
  }

  // Proves the input hooks are live (the lock sequence takes effect), and brings the
  // program back to mode 0 with its window shown: Alt+End locks (20), Alt+Home arms
  // autolock, Alt+Home again unlocks; the tray's left click shows the window again.
  void WaitForHooksAndUnlock() {
    bool locked = false;
    const DWORD start = GetTickCount();
    while (!locked && GetTickCount() - start < kStartDeadline) {
      FocusProbe();
      Chord(VK_LMENU, VK_END);
      locked = WaitUntil([&] { return Message() == kLockText; }, 3000);
    }
    ASSERT_TRUE(locked) << "the lock sequence never took effect";
    Chord(VK_LMENU, VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return Message().rfind(kAutoLockPrefix, 0) == 0; }));
    Chord(VK_LMENU, VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return Message().empty(); }));
    ASSERT_TRUE(WaitUntil([&] { return !Cover(); })) << "the cover stayed after the lock";
    RestoreFromTray();
  }

  void RestoreFromTray() {
    PostMessageW(main_, kTrayCallback, 1, WM_LBUTTONUP);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }));
  }

  void FocusProbe() {
    WaitUntil(
        [&] {
          if (GetForegroundWindow() == probe_) return true;
          SetForegroundWindow(probe_);
          SetFocus(probe_);
          return false;
        },
        5000);
    g_received.Clear();
  }

  HWND Control(int id) const { return GetDlgItem(main_, id); }

  // The program's input cover while it is shown; else null.
  HWND Cover() const { return reinterpret_cast<HWND>(Ask(Diagnostic::InputCoverWindow)); }

  // The cover takes the hits at the centre and the four corners of a monitor (for
  // EnumDisplayMonitors, with the fixture).
  static BOOL CALLBACK ExpectCoverOverMonitor(HMONITOR, HDC, LPRECT m, LPARAM self) {
    const auto* me = reinterpret_cast<const HushkeyE2E*>(self);
    for (POINT p : {POINT{(m->left + m->right) / 2, (m->top + m->bottom) / 2},
                    POINT{m->left, m->top}, POINT{m->right - 1, m->top},
                    POINT{m->left, m->bottom - 1}, POINT{m->right - 1, m->bottom - 1}}) {
      EXPECT_TRUE(WaitUntil([&] { return me->Cover() && WindowFromPoint(p) == me->Cover(); }))
          << "no cover at " << p.x << "," << p.y;
    }
    return TRUE;
  }

  std::wstring Text(int id) const {
    wchar_t buf[1024];
    int n = GetWindowTextW(Control(id), buf, 1024);
    return std::wstring(buf, n > 0 ? n : 0);
  }
  std::wstring Message() const { return Text(IDC_MSG); }
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  bool ModeButtonsEnabled(bool on) const {
    for (int id : {IDC_AUTOLOCK, IDC_LOCKALL, IDC_BLOCKWINCTRL, IDC_ALLOWONLY}) {
      if (Enabled(id) != on) return false;
    }
    return true;
  }

  void Click(int id) { PostMessageW(Control(id), BM_CLICK, 0, 0); }

  // Asks the running program for a figure (HK_MSG_DIAGNOSTIC); 0 when it does not answer.
  DWORD_PTR Ask(Diagnostic what) const {
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(main_, HK_MSG_DIAGNOSTIC, static_cast<WPARAM>(what), 0, SMTO_ABORTIFHUNG,
                        5000, &answer);
    return answer;
  }
  void PrintLongestHookCalls(const char* after) const {
    std::printf(
        "[ measure  ] longest hook call after %s: keyboard %.1f ms, mouse %.1f ms; longest wait "
        "before the hook: keyboard %ld ms, mouse %ld ms\n",
        after, Ask(Diagnostic::LongestKeyboardHookCallMicros) / 1000.0,
        Ask(Diagnostic::LongestMouseHookCallMicros) / 1000.0,
        static_cast<long>(Ask(Diagnostic::LongestKeyboardEventWaitMs)),
        static_cast<long>(Ask(Diagnostic::LongestMouseEventWaitMs)));
  }

  // Holds the program's user-interface thread (and with it its input hooks) while `during`
  // runs, long enough for the system to give up waiting on the hooks.
  // The hook calls missed meanwhile make the watchdog put the hooks back, rightly.
  void WithProgramHeldUp(const std::function<void()>& during) {
    heldUp_ = true;
    ASSERT_NE(SuspendThread(hushkey_.MainThread()), static_cast<DWORD>(-1));
    during();
    PumpFor(3500);
    ResumeThread(hushkey_.MainThread());
    PumpFor(500);
  }

  // Help from the menu; the help window once its text is drawn (null when none came),
  // checked to lie inside its monitor's work area with the whole help text (as the program
  // builds it without the key-sequence reminder) in a read-only box that scrolls.
  HWND ShowHelpThatFits() {
    DWORD_PTR answer = 0;  // sent: once answered, only the drawing may be pending
    SendMessageTimeoutW(main_, WM_COMMAND, IDM_HELP_HELP, 0, SMTO_ABORTIFHUNG, kDeadline, &answer);
    const HWND help = FindWindowW(nullptr, kHelpCaption.c_str());
    const HWND box = GetDlgItem(help, IDC_SYNTAX_TEXT);
    RECT text{}, at{}, inside{};
    GetClientRect(box, &text);
    MapWindowPoints(box, nullptr, reinterpret_cast<POINT*>(&text), 2);
    EXPECT_TRUE(WaitUntil([&] { return DarkPixelsOnScreen(text) > 2000; })) << "no help text";
    MONITORINFO monitor{sizeof(monitor), {}, {}, 0};
    GetMonitorInfoW(MonitorFromWindow(help, MONITOR_DEFAULTTONEAREST), &monitor);
    GetWindowRect(help, &at);
    IntersectRect(&inside, &at, &monitor.rcWork);
    EXPECT_TRUE(EqualRect(&inside, &at)) << "the help window reaches outside the work area";
    wchar_t shown[4096];
    const auto n = static_cast<int>(SendMessageW(box, WM_GETTEXT, 4096, (LPARAM)shown));
    EXPECT_EQ(win32::WideToUtf8({shown, n > 0 ? std::size_t(n) : 0}), HelpText(false, "Hushkey"));
    const LONG kinds = ES_MULTILINE | ES_READONLY | WS_VSCROLL;
    EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & kinds, kinds);
    return help;
  }

  POINT ProbeCentre() const {
    RECT r;
    GetWindowRect(probe_, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }

  // The highlight frame surrounds the button: visible, the button inside it with a
  // margin on every side, left and right margins equal, top and bottom equal.
  void ExpectFrameAround(int buttonId) const {
    HWND frame = Control(IDC_HIGHLIGHT);
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(GetWindowLongW(frame, GWL_STYLE) & WS_VISIBLE);
    RECT f, b;
    GetWindowRect(frame, &f);
    GetWindowRect(Control(buttonId), &b);
    const long left = b.left - f.left, right = f.right - b.right;
    const long top = b.top - f.top, bottom = f.bottom - b.bottom;
    EXPECT_GT(left, 0);
    EXPECT_GT(top, 0);
    EXPECT_LE(std::labs(left - right), 1);
    EXPECT_LE(std::labs(top - bottom), 1);
  }

  static std::vector<SavedValue>* saved_;
  HushkeyProcess hushkey_;
  HWND main_ = nullptr;
  bool heldUp_ = false;
  HWND probe_ = nullptr;
};

inline std::vector<SavedValue>* HushkeyE2E::saved_ = nullptr;

}  // namespace hushkey::e2e
