// What the portable hand-off and ending ask of the program, carried out on its
// main window, controller, tray icon, hooks and instance mutex.
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/shell/app_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

namespace {

// The system's text for an error code, as one line.
std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message(text ? text : L"", n);
  if (text) LocalFree(text);
  while (!message.empty() &&
         (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  std::string line = "System error " + std::to_string(code);
  if (!message.empty()) line += ": " + win32::WideToUtf8(message);
  return line;
}

}  // namespace

// --- Win32InputHooks -------------------------------------------------------------------

bool Win32InputHooks::Record(bool ok) {
  if (!ok) error_ = GetLastError();
  return ok;
}

bool Win32InputHooks::InstallKeyboardHook() { return Record(hushkey::InstallKeyboardHook()); }
bool Win32InputHooks::InstallMouseHook() { return Record(hushkey::InstallMouseHook()); }

void Win32InputHooks::RemoveKeyboardHook() {
  watchdog_.Stop();
  hushkey::RemoveKeyboardHook();
}

void Win32InputHooks::RemoveMouseHook() {
  watchdog_.Stop();
  hushkey::RemoveMouseHook();
}

std::string Win32InputHooks::LastErrorText() { return SystemErrorText(error_); }

// --- ShutdownPort ----------------------------------------------------------------------

void HushkeyApp::RestoreDesktop() {
  if (controller_) controller_->RestoreDesktop();
}
bool HushkeyApp::TrayIconAdded() { return controller_ && controller_->TrayIconAdded(); }
void HushkeyApp::DeleteTrayIcon() { controller_->DeleteTrayIcon(); }
void HushkeyApp::ReleaseInstanceMutex() { instanceMutex_->Release(); }

void HushkeyApp::EndProgram() {
  ReleaseAll();
  // Nothing of the program runs after this, not even a pending nested wait.
  ExitProcess(0);
}

}  // namespace hushkey
