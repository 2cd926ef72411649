#include "hushkey/engine/desktop_win32.h"

#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/engine/tick_wait.h"
#include "win32/text_win32.h"

namespace hushkey {
namespace {

class Win32WaitPlatform final : public WaitPlatform {
 public:
  std::uint32_t Now() override { return GetTickCount(); }
  void SleepUntilMessage(std::uint32_t maxMs) override {
    MsgWaitForMultipleObjectsEx(0, nullptr, maxMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  void Sleep(std::uint32_t ms) override { ::Sleep(ms); }
  bool DispatchPending() override { return DispatchPendingMessages(); }
};

}  // namespace

std::string GetWindowClass(HWND window) {
  wchar_t name[100];
  int n = GetClassNameW(window, name, 100);
  if (n <= 0) return {};
  if (n > 99) n = 99;
  // A cut through a surrogate pair leaves half a character: drop it.
  if (name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF) --n;
  return win32::WideToUtf8(std::wstring_view(name, static_cast<std::size_t>(n)));
}

void WaitMilliseconds(std::int32_t ms, bool pump) {
  Win32WaitPlatform platform;
  RunWait(platform, ms, pump);
}

void Win32Desktop::Beep() { MessageBeep(MB_OK); }

std::int32_t Win32Desktop::GetMouseSpeed() {
  int speed = 0;
  if (!SystemParametersInfoW(SPI_GETMOUSESPEED, 0, &speed, 0)) return 0;
  return speed;
}

void Win32Desktop::SetMouseSpeed(std::int32_t speed) {
  // The speed goes in the pointer-sized parameter; Windows ignores the integer parameter for
  // this action, while Wine reads the speed from it, so it carries the speed as well.
  // The last 0: neither written to the user profile nor broadcast.
  SystemParametersInfoW(SPI_SETMOUSESPEED, static_cast<UINT>(speed),
                        reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)), 0);
}

void Win32Desktop::StartScreenSaver() {
  // The desktop window belongs to another process: a sent message would hold the input
  // hooks (this can run inside one) until that process answers.
  SendNotifyMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 1);
}

std::uint32_t Win32Desktop::TickCount() { return GetTickCount(); }

std::string Win32Desktop::ForegroundWindowClass() {
  HWND w = GetForegroundWindow();
  return w != nullptr ? GetWindowClass(w) : std::string();
}

void Win32Desktop::WaitMilliseconds(std::int32_t ms, bool pump) {
  hushkey::WaitMilliseconds(ms, pump);
}

}  // namespace hushkey
