#include "hushkey/shell/app_win32.h"

#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/resources/resource_ids.h"
#include "hushkey/resources/version_text.h"
#include "hushkey/settings/load_settings.h"
#include "hushkey/shell/help_text.h"
#include "win32/text_win32.h"
#include "hushkey/shell/startup.h"

namespace hushkey {

namespace {

constexpr wchar_t kAppTitle[] = L"Hushkey";

// Per-monitor DPI awareness for systems that do not read it from the manifest; a process
// that already has its awareness keeps it.
void DeclareDpiAwareness() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return;
  using SetContextFn = BOOL(WINAPI*)(HANDLE);
  auto setContext = reinterpret_cast<SetContextFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
  if (setContext && setContext(reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-4)))) return;
  if (setContext && GetLastError() == ERROR_ACCESS_DENIED) return;  // already set
  using SetAwareFn = BOOL(WINAPI*)();
  auto setAware = reinterpret_cast<SetAwareFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware")));
  if (setAware) setAware();
}

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

class Win32InputHooks final : public InputHooksPort {
 public:
  bool InstallKeyboardHook() override { return Record(hushkey::InstallKeyboardHook()); }
  bool InstallMouseHook() override { return Record(hushkey::InstallMouseHook()); }
  void RemoveKeyboardHook() override { hushkey::RemoveKeyboardHook(); }
  void RemoveMouseHook() override { hushkey::RemoveMouseHook(); }
  std::string LastErrorText() override { return SystemErrorText(error_); }

 private:
  bool Record(bool ok) {
    if (!ok) error_ = GetLastError();
    return ok;
  }
  DWORD error_ = 0;
};

}  // namespace

bool HushkeyApp::CheckDontLockIfNow() {
  if (!controller_) return false;
  DontLockIfPorts ports{store_, clock_, addresses_, files_, *controller_};
  return CheckDontLockIf(state_, ports);
}

int HushkeyApp::Run(HINSTANCE instance) {
  DeclareDpiAwareness();
  apartment_.emplace();

  // The inactivity timer comes first: without the control the main window is not created
  // and the program cannot run.
  std::wstring error;
  timer_ = LongtickHost::Create(&error);
  if (!timer_) {
    MessageBoxW(nullptr,
                (error + L"\n\nHushkey needs this control for its autolock and cannot start "
                         L"without it. Reinstall Hushkey, or register the control with "
                         L"regsvr32 longtick.ocx.")
                    .c_str(),
                kAppTitle, MB_OK | MB_ICONERROR);
    ReleaseAll();
    return 3;
  }
  if (!window_.Create(instance)) {
    MessageBoxW(nullptr, L"The main window could not be created.", kAppTitle, MB_OK | MB_ICONERROR);
    ReleaseAll();
    return 2;
  }
  tray_ = std::make_unique<TrayIconWin32>(instance, window_.Handle(), kTrayCallbackMessage);
  controller_ = std::make_unique<MainController>(
      state_, window_, *tray_, *timer_, desktop_, check_,
      [this](std::int32_t origMouseSpeed) { return LoadSettings(store_, origMouseSpeed); });
  window_.SetController(*controller_);
  window_.SetExitHandler([this] { Exit(); });
  window_.SetOptionsHandler([this] { mnuOptions_Click(); });
  controller_->SetEntryGateHook([this] {
    if (options_) options_->OpenEntryGate();
  });
  controller_->SetFlashTimerHook([this] { window_.EnableFlashTimer(); });
  timer_->SetTimerHandler([this] { controller_->Longtick1_Timer(); });
  filters_ =
      std::make_unique<FilterContext>(FilterContext{state_, desktop_, *timer_, *controller_});
  SetFilterContext(filters_.get());

  if (!FormLoad()) {
    ReleaseAll();
    return 4;
  }
  const int code = MessageLoop();
  // Only reached when something other than Exit ended the loop: tidy up the same way.
  controller_->RestoreDesktop();
  controller_->cmdCancel_Click();
  ReleaseAll();
  return code;
}

bool HushkeyApp::FormLoad() {
  state_.CurrentMode = StartRequestShow;
  state_.lock.OrigMouseSpeed = desktop_.GetMouseSpeed();
  window_.Show();
  window_.SetVersionText(VersionLabel(HK_VERSION_MAJOR, HK_VERSION_MINOR, HK_VERSION_REVISION));
  // The title "Hushkey " was given when the window was created and never changes.
  controller_->RefreshSettings();
  controller_->UpdateTrayIcon();
  DispatchPendingMessages();
  Win32InputHooks hooks;
  if (const std::string failure = InstallInputHooks(hooks); !failure.empty()) {
    // A lock program that cannot filter input must not look as if it locked anything.
    MessageBoxW(window_.Handle(), win32::Utf8ToWide(failure).c_str(), kAppTitle,
                MB_OK | MB_ICONERROR);
    return false;
  }
  // Windows drops a hook that overran its time limit without a word: the watchdog notices
  // and installs both again. The dropped hook may have missed an Alt release.
  watchdog_.Start(GetModuleHandleW(nullptr), [this] { ClearAltState(state_.lock); });
  // No start switch yet: the window stays shown, unlocked.
  state_.CurrentMode = ModeUnlocked;
  return true;
}

int HushkeyApp::MessageLoop() {
  MSG msg;
  for (;;) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(msg.wParam);
    if (got == -1) return 1;
    DispatchThreadMessage(msg);
  }
}

void HushkeyApp::mnuOptions_Click() {
  if (options_) {
    options_->Activate();
    return;
  }
  OptionsDialog dialog({state_, store_, addresses_, desktop_},
                       win32::WideToUtf8(win32::ModuleFileName(nullptr)), KeySeqReminderText());
  options_ = &dialog;
  dialog.ShowModal(GetModuleHandleW(nullptr), window_.Handle());
  options_ = nullptr;
  controller_->RefreshSettings();
}

void HushkeyApp::Exit() {
  // The user's pointers and mouse speed come back first, whatever was under way.
  controller_->RestoreDesktop();
  controller_->cmdCancel_Click();
  ReleaseAll();
  // Nothing of the program runs after this, not even a pending nested wait.
  ExitProcess(0);
}

void HushkeyApp::ReleaseAll() {
  watchdog_.Stop();
  RemoveKeyboardHook();
  RemoveMouseHook();
  SetFilterContext(nullptr);
  DiscardDeferredWork();
  if (controller_) controller_->DeleteTrayIcon();
  if (timer_) timer_->Close();
  window_.Destroy();
  // The control goes before the apartment it lives in.
  timer_.reset();
  apartment_.reset();
}

}  // namespace hushkey
