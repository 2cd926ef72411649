#include "hushkey/shell/instance_win32.h"

#include "hushkey/engine/desktop_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

namespace {

HWND Window(WindowRef w) { return reinterpret_cast<HWND>(w); }
WindowRef Ref(HWND w) { return reinterpret_cast<WindowRef>(w); }

// A running instance that handles the hand-off runs a mode command meanwhile (allow-only
// waits five seconds in it); one that does not answer at all is not waited for forever.
constexpr UINT kHandOffTimeoutMs = 60000;

}  // namespace

bool Win32NamedMutex::Create(const std::string& name) {
  mutex_.reset(CreateMutexW(nullptr, FALSE, win32::Utf8ToWide(name).c_str()));
  return static_cast<bool>(mutex_);
}

MutexWait Win32NamedMutex::Wait(std::uint32_t ms) {
  switch (WaitForSingleObject(mutex_.get(), ms)) {
    case WAIT_OBJECT_0: return MutexWait::Acquired;
    case WAIT_ABANDONED: return MutexWait::Abandoned;
    case WAIT_TIMEOUT: return MutexWait::TimedOut;
    default: return MutexWait::Failed;
  }
}

void Win32NamedMutex::ReleaseAndClose() {
  if (mutex_) ReleaseMutex(mutex_.get());
  mutex_.reset();
}

WindowRef Win32HandOffSender::FirstChild(WindowRef window) {
  return Ref(GetWindow(Window(window), GW_CHILD));
}

WindowRef Win32HandOffSender::NextSibling(WindowRef window) {
  return Ref(GetWindow(Window(window), GW_HWNDNEXT));
}

std::string Win32HandOffSender::ClassName(WindowRef window) {
  return GetWindowClass(Window(window));
}

WindowRef Win32HandOffSender::FindTopLevelWindow(const std::string& title, WindowRef after) {
  return Ref(FindWindowExW(nullptr, Window(after), nullptr, win32::Utf8ToWide(title).c_str()));
}

bool Win32HandOffSender::IsOwnWindow(WindowRef window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(Window(window), &pid);
  return pid == GetCurrentProcessId();
}

void Win32HandOffSender::SendText(WindowRef window, const std::string& text) {
  // The running instance may bring its window to the front ("-1"): let it.
  DWORD pid = 0;
  GetWindowThreadProcessId(Window(window), &pid);
  if (pid) AllowSetForegroundWindow(pid);
  const std::wstring wide = win32::Utf8ToWide(text);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(Window(window), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()),
                      SMTO_ABORTIFHUNG, kHandOffTimeoutMs, &ignored);
}

void Win32HandOffSender::Pause(std::uint32_t ms) { Sleep(ms); }

}  // namespace hushkey
