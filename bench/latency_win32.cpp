// Input latency under Wine or Windows: how long a key takes from SendInput to the WM_KEYDOWN
// of a window of this program, with no input hook, with a minimal pass-everything hook in
// another process (the floor for any hook-based filter; it also runs alone as
// `latency_bench.exe --hook`), and with Hushkey unlocked, in autolock and locked (where only
// Ctrl and Alt pass: that set types the right Ctrl key, the others F24; the input cover is up
// unless the prefix's settings have BlockTouch "0"). Interleaved rounds, so that a slow
// stretch of the machine hits every set alike.
//   latency_bench.exe [KEYS_PER_ROUND] [ROUNDS]      (default 100 x 10 per set)
// Hushkey.exe is taken from this program's folder. Prints median, 90th and 99th percentile
// per set and their ratios to the minimal hook.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "win32/text_win32.h"

namespace {

LARGE_INTEGER g_freq;
bool g_keyDown = false, g_keyUp = false;

double NowMicros() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(g_freq.QuadPart);
}

LRESULT CALLBACK ProbeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN) {
    g_keyDown = true;
    return 0;
  }
  if (m == WM_KEYUP) {
    g_keyUp = true;
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void PumpFor(DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

void Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_RCONTROL ? KEYEVENTF_EXTENDEDKEY : 0);
  SendInput(1, &in, sizeof(in));
}

// The helper process: low-level keyboard and mouse hooks that pass everything, until its
// parent ends it.
LRESULT CALLBACK PassHook(int code, WPARAM wp, LPARAM lp) {
  return CallNextHookEx(nullptr, code, wp, lp);
}

int RunHookHelper() {
  HHOOK keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, PassHook, GetModuleHandleW(nullptr), 0);
  HHOOK mouse = SetWindowsHookExW(WH_MOUSE_LL, PassHook, GetModuleHandleW(nullptr), 0);
  if (!keyboard || !mouse) return 2;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  UnhookWindowsHookEx(mouse);
  UnhookWindowsHookEx(keyboard);
  return 0;
}

std::wstring Self() { return win32::ModuleFileName(nullptr); }

std::wstring Folder() {
  const std::wstring self = Self();
  return self.substr(0, self.find_last_of(L"\\/") + 1);
}

struct Child {
  PROCESS_INFORMATION pi{};
  bool Start(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    return CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi) != FALSE;
  }
  void End() {
    if (!pi.hProcess) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
      PostThreadMessageW(pi.dwThreadId, WM_QUIT, 0, 0);
      if (WaitForSingleObject(pi.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 1);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pi = {};
  }
};

enum Set { kNone, kMinimalHook, kUnlocked, kAutolock, kLocked, kSets };
const char* const kNames[kSets] = {"no hook", "minimal hook", "Hushkey unlocked",
                                   "Hushkey autolock", "Hushkey locked"};
// A key nothing else cares about; while locked, one that passes.
WORD KeyOf(Set set) { return set == kLocked ? VK_RCONTROL : VK_F24; }

// Hushkey's main window and its hand-off box, once it runs.
HWND HushkeyBox() {
  HWND main = FindWindowW(nullptr, L"Hushkey ");
  return main ? FindWindowExW(main, nullptr, L"ThunderRT6TextBox", nullptr) : nullptr;
}

bool SetUp(Set set, Child& child) {
  if (set == kNone) return true;
  if (set == kMinimalHook) return child.Start(Self(), L"--hook");
  if (!child.Start(Folder() + L"Hushkey.exe", L"/unlocked")) return false;
  const DWORD start = GetTickCount();
  HWND box;
  while (!(box = HushkeyBox()) && GetTickCount() - start < 30000) PumpFor(50);
  if (!box) return false;
  if (set == kAutolock || set == kLocked) {
    DWORD_PTR ignored;
    SendMessageTimeoutW(box, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(set == kAutolock ? L"3" : L"2"), SMTO_ABORTIFHUNG,
                        10000, &ignored);
  }
  return true;
}

void TearDown(Set set, Child& child) {
  if (set >= kUnlocked) {
    DWORD_PTR ignored;
    if (HWND box = HushkeyBox())
      SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"-3"), SMTO_ABORTIFHUNG,
                          10000, &ignored);
    if (child.pi.hProcess) WaitForSingleObject(child.pi.hProcess, 10000);
  }
  child.End();
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const auto i = static_cast<std::size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
  return v[std::min(i, v.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--hook") return RunHookHelper();
  const int perRound = argc > 1 ? std::atoi(argv[1]) : 100;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
  QueryPerformanceFrequency(&g_freq);

  WNDCLASSW wc{};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"HushkeyLatencyProbe";
  RegisterClassW(&wc);
  HWND probe = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"latency", WS_POPUP | WS_VISIBLE,
                               100, 100, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  std::vector<double> samples[kSets];
  for (int round = 0; round < rounds; ++round) {
    for (int k = 0; k < kSets; ++k) {
      // The order turns with the round, so that no set always follows the same one.
      const auto set = static_cast<Set>((k + round) % kSets);
      Child child;
      if (!SetUp(set, child)) {
        std::fprintf(stderr, "latency: cannot set up '%s'\n", kNames[set]);
        return 1;
      }
      // Every set gets the same time to settle: a program just started is still busy with
      // its last start-up steps, which would show as a tail of its own.
      if (child.pi.hProcess) WaitForInputIdle(child.pi.hProcess, 10000);
      PumpFor(1500);
      for (int i = 0; i < perRound; ++i) {
        SetForegroundWindow(probe);
        SetFocus(probe);
        Pump();
        g_keyDown = g_keyUp = false;
        const double t0 = NowMicros();
        Key(KeyOf(set), false);
        while (!g_keyDown) {
          MSG msg;
          if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
          if (NowMicros() - t0 > 2e6) break;
        }
        if (g_keyDown) samples[set].push_back(NowMicros() - t0);
        Key(KeyOf(set), true);
        while (!g_keyUp && NowMicros() - t0 < 2e6) Pump();
        PumpFor(2);
      }
      TearDown(set, child);
    }
  }
  const double floorMedian = Percentile(samples[kMinimalHook], 0.5);
  const double floorP99 = Percentile(samples[kMinimalHook], 0.99);
  std::printf("%-18s %6s %10s %10s %10s %9s %9s\n", "set", "keys", "median us", "p90 us", "p99 us",
              "median/x", "p99/x");
  for (int s = 0; s < kSets; ++s) {
    const double med = Percentile(samples[s], 0.5), p99 = Percentile(samples[s], 0.99);
    std::printf("%-18s %6zu %10.0f %10.0f %10.0f %9.3f %9.3f\n", kNames[s], samples[s].size(), med,
                Percentile(samples[s], 0.9), p99, floorMedian > 0 ? med / floorMedian : 0,
                floorP99 > 0 ? p99 / floorP99 : 0);
  }
  std::printf("(x = the minimal hook in another process, the floor for any hook-based filter)\n");
  DestroyWindow(probe);
  return 0;
}
