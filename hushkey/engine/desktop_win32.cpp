#include "hushkey/engine/desktop_win32.h"

#include "hushkey/engine/access_shortcuts.h"
#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/engine/tick_wait.h"
#include "hushkey/engine/word_hash_win32.h"
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

namespace {

static_assert(AccessFeatureOn == SKF_STICKYKEYSON && AccessFeatureOn == FKF_FILTERKEYSON &&
              AccessFeatureOn == TKF_TOGGLEKEYSON);
static_assert(AccessHotkeyActive == SKF_HOTKEYACTIVE && AccessHotkeyActive == FKF_HOTKEYACTIVE &&
              AccessHotkeyActive == TKF_HOTKEYACTIVE);

// Each feature's record starts with its size and then its flags.
template <class Record>
std::optional<std::uint32_t> ReadFlags(UINT action) {
  Record r{};
  r.cbSize = sizeof(r);
  if (!SystemParametersInfoW(action, sizeof(r), &r, 0)) return std::nullopt;
  return r.dwFlags;
}

template <class Record>
bool WriteFlags(UINT getAction, UINT setAction, std::uint32_t flags) {
  Record r{};
  r.cbSize = sizeof(r);
  if (!SystemParametersInfoW(getAction, sizeof(r), &r, 0)) return false;
  r.dwFlags = flags;
  // Not written to the profile: the next sign-in has the user's own settings whatever happens.
  return SystemParametersInfoW(setAction, sizeof(r), &r, 0) != FALSE;
}

// The note lives beside the settings, in a key of its own.
constexpr wchar_t kNoteKey[] = L"Software\\Hushkey\\State";
constexpr wchar_t kNoteValue[] = L"ShortcutsOff";

}  // namespace

std::optional<std::uint32_t> Win32Desktop::AccessFlags(AccessFeature feature) {
  switch (feature) {
    case AccessFeature::StickyKeys: return ReadFlags<STICKYKEYS>(SPI_GETSTICKYKEYS);
    case AccessFeature::FilterKeys: return ReadFlags<FILTERKEYS>(SPI_GETFILTERKEYS);
    case AccessFeature::ToggleKeys: return ReadFlags<TOGGLEKEYS>(SPI_GETTOGGLEKEYS);
  }
  return std::nullopt;
}

bool Win32Desktop::SetAccessFlags(AccessFeature feature, std::uint32_t flags) {
  switch (feature) {
    case AccessFeature::StickyKeys:
      return WriteFlags<STICKYKEYS>(SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, flags);
    case AccessFeature::FilterKeys:
      return WriteFlags<FILTERKEYS>(SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, flags);
    case AccessFeature::ToggleKeys:
      return WriteFlags<TOGGLEKEYS>(SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, flags);
  }
  return false;
}

std::string Win32Desktop::AccessNote() {
  wchar_t text[16] = {};
  DWORD size = sizeof(text) - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, kNoteKey, kNoteValue, RRF_RT_REG_SZ, nullptr, text, &size) !=
      ERROR_SUCCESS)
    return {};
  return win32::WideToUtf8(text);
}

void Win32Desktop::SetAccessNote(const std::string& note) {
  if (note.empty()) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kNoteKey, kNoteValue);
    return;
  }
  const std::wstring wide = win32::Utf8ToWide(note);
  RegSetKeyValueW(HKEY_CURRENT_USER, kNoteKey, kNoteValue, REG_SZ, wide.c_str(),
                  static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void Win32Desktop::CheckUnlockWord(const std::string& storedHash, const std::string& typed,
                                   std::function<void()> onMatch) {
  RunOutsideInputHook([storedHash, typed, onMatch = std::move(onMatch)] {
    if (WordMatchesHash(storedHash, typed)) onMatch();
  });
}

}  // namespace hushkey
