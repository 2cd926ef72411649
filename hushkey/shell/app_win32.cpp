#include "hushkey/shell/app_win32.h"

#include "hushkey/about/about_window_win32.h"
#include "hushkey/engine/access_shortcuts.h"
#include "hushkey/engine/unlock_odds.h"
#include "hushkey/engine/deferred_work_win32.h"
#include "hushkey/engine/hooks_win32.h"
#include "hushkey/engine/message_dispatch_win32.h"
#include "hushkey/resources/resource_ids.h"
#include "hushkey/resources/version_text.h"
#include "hushkey/settings/load_settings.h"
#include "hushkey/shell/app_title.h"
#include "hushkey/shell/command_line.h"
#include "hushkey/shell/help_text.h"
#include "win32/text_win32.h"

namespace hushkey {

namespace {

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

// The program's own file name without extension, as it runs.
std::string ProgramName() {
  return ProgramFileTitle(win32::WideToUtf8(win32::ModuleFileName(nullptr)));
}

}  // namespace

DontLockIfVerdict HushkeyApp::CheckDontLockIf() {
  return hushkey::CheckDontLockIf(state_, {DontLockIfValuesIn(store_), clock_, addresses_, files_});
}

int HushkeyApp::Run(HINSTANCE instance) {
  instance_ = instance;
  DeclareDpiAwareness();
  state_.CurrentMode = StartRequestForSwitch(ArgumentText(win32::WideToUtf8(GetCommandLineW())));
  // The instance guard is asked before anything is built: a second start shows no window
  // and needs no timer control. It hands its request over and ends; a request no running
  // window took is lost without a word.
  instanceMutex_.emplace(mutex_);
  if (instanceMutex_->InstExists()) {
    HandOffToRunningInstance(handOff_, state_.CurrentMode);
    return 0;
  }
  if (std::optional<int> failed = BuildMainWindow()) {
    ReleaseAll();
    return *failed;
  }
  if (!Form_Load()) {
    ReleaseAll();
    return 4;
  }
  // Windows drops a hook that overran its time limit without a word: the watchdog notices
  // and installs both again. The dropped hook may have missed an Alt release.
  watchdog_.Start(instance_, [this] { ClearAltState(state_.lock); });
  MessageLoop();
  // The loop ended without an unload (a quit request): end the same way.
  shutdown_->Unload(UnloadReason::TaskManager);
  return 0;
}

std::optional<int> HushkeyApp::BuildMainWindow() {
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
                win32::Utf8ToWide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
    return 3;
  }
  if (!window_.Create(instance_)) {
    MessageBoxW(nullptr, L"The main window could not be created.",
                win32::Utf8ToWide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
    return 2;
  }
  tray_ = std::make_unique<TrayIconWin32>(instance_, window_.Handle(), kTrayCallbackMessage);
  cover_ = std::make_unique<InputCoverWin32>(instance_);
  window_.SetInputCover(*cover_);
  controller_ = std::make_unique<MainController>(
      state_, window_, *tray_, *cover_, *timer_, desktop_, static_cast<DontLockIfCheckPort&>(*this),
      [this](std::int32_t origMouseSpeed) { return LoadSettings(store_, origMouseSpeed); });
  shutdown_.emplace(*controller_, hooks_, static_cast<ShutdownPort&>(*this));
  window_.SetEvents(*this);
  controller_->SetHooks({.flashTimer = [this] { window_.EnableFlashTimer(); },
                         .entryGate =
                             [this] {
                               if (options_) options_->OpenEntryGate();
                             },
                         .exit = [this] { shutdown_->cmdExit_Click(); }});
  timer_->SetTimerHandler([this] { controller_->Longtick1_Timer(); });
  filters_ =
      std::make_unique<FilterContext>(FilterContext{state_, desktop_, *timer_, *controller_});
  SetFilterContext(filters_.get());
  return std::nullopt;
}

bool HushkeyApp::Form_Load() {
  // A copy killed in the middle of a flash left the blocked picture on the system pointers;
  // one killed while keys were filtered left the accessibility shortcuts off.
  SystemParametersInfoW(SPI_SETCURSORS, 0, nullptr, 0);
  RestoreAccessShortcuts(desktop_);
  state_.lock.OrigMouseSpeed = desktop_.GetMouseSpeed();
  window_.Show();
  window_.SetVersionText(VersionLabel(HK_VERSION_MAJOR, HK_VERSION_MINOR, HK_VERSION_REVISION));
  controller_->RefreshSettings();
  controller_->UpdateTrayIcon();
  DispatchPendingMessages();
  if (const std::string failure = InstallInputHooks(hooks_); !failure.empty()) {
    MessageBoxW(window_.Handle(), win32::Utf8ToWide(failure).c_str(),
                win32::Utf8ToWide(kAppTitle).c_str(), MB_OK | MB_ICONERROR);
    return false;
  }
  // CurrentMode, not the switch read at the start: a hand-off processed with the pending
  // messages may have entered a mode already, and must not be undone here.
  EnterStartMode(state_.CurrentMode, *controller_);
  return true;
}

void HushkeyApp::OnHandOff(const std::string& text) {
  txtChangeModeHid_Change(text, state_.CurrentMode, *controller_, controller_->AllowOnlyPending());
}

void HushkeyApp::MessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchThreadMessage(msg);
}

void HushkeyApp::ShowHelpText() {
  help_.Show(instance_,
             SyntaxWindowCaption(HK_VERSION_MAJOR, HK_VERSION_MINOR, HK_VERSION_REVISION),
             HelpText(state_.settings.ShowLckUnlSeq, ProgramName(), state_.settings.sequences));
}

void HushkeyApp::mnuHelpAbout_Click() {
  const AboutBoxContent content =
      ProgramAboutBoxContent(ProgramName(), HK_VERSION_MAJOR, HK_VERSION_MINOR);
  ShowAboutBox(instance_, window_.Handle(), content,
               reinterpret_cast<HICON>(GetClassLongPtrW(window_.Handle(), GCLP_HICON)));
}

void HushkeyApp::imgCopyright_Click() {
  OpenLinkTarget(window_.Handle(), CopyrightPictureTarget());
}

void HushkeyApp::mnuOptions_Click() {
  if (options_) {
    options_->Activate();
    return;
  }
  // Beside the unlock choice: how often the model's mashing child would hit it.
  const UnlockOddsText odds = [](const KeySequence& unlock, std::uint32_t holdMs) {
    return MashingChildText(AccidentalUnlocksPerHour(unlock, holdMs));
  };
  OptionsDialog dialog({state_, store_, addresses_, desktop_, odds},
                       win32::WideToUtf8(win32::ModuleFileName(nullptr)),
                       KeySeqReminderText(state_.settings.sequences));
  options_ = &dialog;
  dialog.ShowModal(instance_, window_.Handle());
  options_ = nullptr;
  controller_->RefreshSettings();
}

void HushkeyApp::ReleaseAll() {
  watchdog_.Stop();
  RemoveKeyboardHook();
  RemoveMouseHook();
  SetFilterContext(nullptr);
  DiscardDeferredWork();
  if (cover_) cover_->Destroy();
  if (controller_) controller_->DeleteTrayIcon();
  if (timer_) timer_->Close();
  window_.Destroy();
  // The control goes before the apartment it lives in.
  timer_.reset();
  apartment_.reset();
  if (instanceMutex_) instanceMutex_->Release();
}

}  // namespace hushkey
