#include "hushkey/modes/main_controller.h"

#include <utility>

#include "hushkey/autolock/countdown.h"
#include "hushkey/engine/access_shortcuts.h"
#include "hushkey/engine/inactivity_timer.h"
#include "hushkey/engine/tick_wait.h"
#include "hushkey/engine/mouse_filter.h"
#include "hushkey/engine/mouse_speed.h"
#include "hushkey/modes/main_layout.h"
#include "hushkey/modes/tray_logic.h"

namespace hushkey {

namespace {

constexpr std::int32_t kAllowOnlyDelayMs = 5000;
constexpr std::int32_t kFlashMs = 150;

}  // namespace

MainController::MainController(AppState& state, MainViewPort& view, TrayPort& tray,
                               InputCoverPort& cover, InactivityTimerPort& timer,
                               DesktopPort& desktop, DontLockIfCheckPort& check,
                               SettingsLoader loadSettings)
    : state_(state),
      view_(view),
      tray_(tray),
      cover_(cover),
      timer_(timer),
      desktop_(desktop),
      check_(check),
      loadSettings_(std::move(loadSettings)) {}

void MainController::SetEnabledStates(bool modeButtons, bool options, bool exit, bool cancel) {
  view_.SetModeButtonsEnabled(modeButtons);
  view_.SetOptionsEnabled(options);
  view_.SetExitEnabled(exit);
  view_.SetCancelEnabled(cancel);
}

// --- Mode commands ---------------------------------------------------------------------

// A mode command can be asked for while another one runs: its steps talk to other
// processes (the tray icon), and the thread serves input hooks, a second start's hand-off
// and window messages while it waits for them. Such a command waits until the running one
// has finished, so that no command ever sees another half done (the lock from autolock is
// mode 2 between two of its steps, for example). Meanwhile the filters decide with the
// stricter of the mode the running command started from and the mode now, so a move from
// one mode that swallows input to another lets nothing through in between. The allow-only
// delay lets commands in on purpose.
bool MainController::MayRunNow() const {
  return commandDepth_ == 0 || (composing_ && commandDepth_ == 1);
}

bool MainController::Queued(void (MainController::*command)()) {
  if (MayRunNow()) return false;
  queued_.push_back([this, command] { (this->*command)(); });
  return true;
}

void MainController::RunWhenIdle(std::function<void()> work) {
  if (commandDepth_ == 0) {
    work();
    return;
  }
  queued_.push_back(std::move(work));
}

void MainController::AsOneCommand(const std::function<void()>& steps) {
  if (!MayRunNow()) {
    queued_.push_back([this, steps] { AsOneCommand(steps); });
    return;
  }
  const CommandScope scope(*this);
  const bool composing = std::exchange(composing_, true);
  steps();
  composing_ = composing;
}

MainController::CommandScope::CommandScope(MainController& c) : c_(c) {
  if (c_.commandDepth_++ == 0) c_.state_.ModeBeforeCommand = c_.state_.CurrentMode;
}

MainController::CommandScope::~CommandScope() {
  if (--c_.commandDepth_ > 0) return;
  c_.state_.ModeBeforeCommand.reset();
  while (!c_.queued_.empty()) {
    const std::function<void()> work = std::move(c_.queued_.front());
    c_.queued_.erase(c_.queued_.begin());
    work();
  }
  c_.SyncAccessShortcuts();
  c_.SyncInputCover();
  c_.SyncLockNotice();
}

void MainController::SyncAccessShortcuts() {
  // The shortcut prompts take the focus from the game or video in front while keys are
  // swallowed or filtered; in the other modes the user's shortcuts are back.
  const bool filtering = FiltersKeys(state_.CurrentMode);
  if (filtering == shortcutsOff_) return;
  shortcutsOff_ = filtering;
  if (filtering)
    SuppressAccessShortcuts(desktop_);
  else
    RestoreAccessShortcuts(desktop_);
}

void MainController::SyncInputCover() {
  // Clicks are what the mouse filter swallows; touches and pen strokes never pass it, so
  // the cover takes them in exactly the modes whose clicks are swallowed.
  std::optional<bool> look;
  if (state_.settings.BlockTouch && SwallowsClicks(state_.CurrentMode, state_.settings))
    look = state_.settings.DimWhenLocked;
  if (look == coverLook_) return;
  coverLook_ = look;
  if (look)
    cover_.Show(*look, CoverText(KeySequenceText(state_.settings.sequences.unlock)));
  else
    cover_.Hide();
}

void MainController::cmdLockAll_Click() {
  if (Queued(&MainController::cmdLockAll_Click)) return;
  const CommandScope scope(*this);
  LockSteps(ModeLocked);
}

void MainController::LockReturningToAutolock() {
  if (Queued(&MainController::LockReturningToAutolock)) return;
  const CommandScope scope(*this);
  LockSteps(ModeLocked);
  state_.CurrentMode = ModeLockedAuto;
}

void MainController::SyncLockNotice() {
  // Out of a lock, the next one is announced again; a change between two locks is one lock.
  if (Strictness(state_.CurrentMode) < Strictness(ModeLocked)) {
    lockAnnounced_ = false;
    return;
  }
  if (lockAnnounced_ || !trayAdded_ || !state_.settings.ShowLckUnlSeq) return;
  const std::string notice =
      LockNotice(state_.CurrentMode, KeySequenceText(state_.settings.sequences.unlock));
  if (notice.empty()) return;
  lockAnnounced_ = true;
  tray_.Notify(notice);
}

void MainController::LockSteps(LockMode mode) {
  state_.CurrentMode = mode;
  SetEnabledStates(false, false, false, false);
  UserMsg();
  UpdateTrayIcon();
  view_.Hide();
  if (state_.settings.UseScrnSvr) desktop_.StartScreenSaver();
}

void MainController::LockAll() {
  if (Queued(&MainController::LockAll)) return;
  const CommandScope scope(*this);
  ResetInactivityTimer(timer_);
  // In 20 from the start: Alt+Home while the lock is under way returns to autolock.
  LockSteps(ModeLockedAuto);
  state_.CurrentMode = ModeLockedAuto;
  UpdateTrayIcon();
}

void MainController::cmdAutoLock_Click() {
  if (Queued(&MainController::cmdAutoLock_Click)) return;
  const CommandScope scope(*this);
  // Evaluated before the mode changes: it can only hold when autolock was already armed.
  const bool suspended = CheckDontLockIf();
  state_.CurrentMode = suspended ? ModeAutoLockSuspended : ModeAutoLock;
  SetEnabledStates(false, false, true, true);
  UserMsg();  // in mode 3 this checks again and may move to 30
  timer_.SetEnabled(true);
  UpdateTrayIcon();
  view_.Hide();
}

void MainController::cmdBlockWinCtrl_Click() {
  if (Queued(&MainController::cmdBlockWinCtrl_Click)) return;
  const CommandScope scope(*this);
  // A key remembered from an earlier spell in this mode (or in allow-only) is no autorepeat.
  state_.lock.LastKeyDown = 0;
  state_.CurrentMode = ModeBlockWinCtrl;
  SetEnabledStates(false, false, true, true);
  UserMsg();
  if (state_.settings.SetMouseSpd)
    ChangeMouseSpeed(desktop_, state_.lock, state_.settings.MouseSpd);
  UpdateTrayIcon();
  view_.Hide();
}

void MainController::cmdAllowOnly_Click() {
  if (Queued(&MainController::cmdAllowOnly_Click)) return;
  const CommandScope scope(*this);
  state_.CurrentMode = ModeAllowOnly;
  SetEnabledStates(false, false, true, true);
  UserMsg();
  // Everything passes during the delay so the wanted window can be brought to the front.
  state_.CurrentMode = ModeUnlocked;
  SyncInputCover();  // a hand-off from a lock: the touch screen works during the delay too
  {
    // Commands run during the delay as they come (the checks below see what they did), and
    // everything passes.
    const int depth = std::exchange(commandDepth_, 0);
    const bool composing = std::exchange(composing_, false);
    const std::optional<LockMode> before = std::exchange(state_.ModeBeforeCommand, std::nullopt);
    const bool pending = std::exchange(allowOnlyPending_, true);
    desktop_.WaitMilliseconds(kAllowOnlyDelayMs, true);
    allowOnlyPending_ = pending;
    state_.ModeBeforeCommand = before;
    composing_ = composing;
    commandDepth_ = depth;
  }
  // Cancel pressed meanwhile disables Cancel; a lock disables it too. Another command run
  // meanwhile (autolock by Alt+Home, a handed-over mode) leaves Cancel enabled but has
  // moved the mode away from 0: that mode stays, rather than being overwritten by allow-only
  // with its inactivity timer still running.
  if (!view_.CancelEnabled() || state_.CurrentMode != ModeUnlocked) return;
  state_.lock.LastKeyDown = 0;
  state_.CurrentMode = ModeAllowOnly;
  UpdateTrayIcon();
  view_.Hide();
}

void MainController::cmdCancel_Click() {
  if (Queued(&MainController::cmdCancel_Click)) return;
  const CommandScope scope(*this);
  switch (state_.CurrentMode) {
    case ModeUnlocked:
    case ModeAutoLock:
    case ModeAutoLockSuspended: ResetInactivityTimer(timer_); break;
    case ModeBlockWinCtrl:
      if (state_.settings.SetMouseSpd) RestoreMouseSpeed(desktop_, state_.lock);
      break;
    default: break;
  }
  SetEnabledStates(true, true, true, false);
  state_.CurrentMode = ModeUnlocked;
  UserMsg();
  UpdateTrayIcon();
}

// --- Status display --------------------------------------------------------------------

void MainController::Highlight(MainButton button, Colour colour) {
  view_.ShowHighlight(HighlightRectFor(button), colour);
}

void MainController::UserMsg() {
  const ModeRow* row = RowOf(state_.CurrentMode);
  if (!row) return;  // codes outside the table: the display stays as it is
  switch (row->status) {
    case StatusShown::Unchanged: return;
    case StatusShown::Text: view_.SetMessage(std::string(row->statusText)); break;
    case StatusShown::Autolock:
      if (CheckDontLockIf()) {
        // No condition selected: the caption stays.
        if (const std::string_view text = SuspendedText(state_.settings.DontLockIfOpt);
            !text.empty())
          view_.SetMessage(std::string(text));
      } else {
        view_.SetMessage(view_.AutoLockToolTip());
      }
      break;
  }
  if (row->highlight)
    Highlight(*row->highlight, row->highlightColour);
  else
    view_.HideHighlight();
}

// --- Tray ------------------------------------------------------------------------------

void MainController::UpdateTrayIcon() {
  if (!trayAdded_) {
    AddTrayIcon();
    trayAdded_ = true;
  }
  trayTip_ = TrayTip(state_.CurrentMode, view_.Message());
  tray_.Modify(IconForMode(state_.CurrentMode), trayTip_);
}

void MainController::AddTrayIcon() {
  trayKeyboard_ = tray_.Add();
  ++trayAdds_;
}

void MainController::DeleteTrayIcon() {
  if (!trayAdded_) return;
  EndFlash();
  tray_.Delete();
  trayAdded_ = false;
  trayTip_.clear();
}

void MainController::timFlashTray_Timer() {
  if (!trayAdded_) return;
  flashLastCueTick_ = desktop_.TickCount();
  if (flashShowing_) return;
  flashShowing_ = true;
  ++flashesShown_;
  tray_.Modify(TrayIcon::Blocked, trayTip_);
  tray_.SetBlockedCursors();
  view_.ArmFlashEndTimer(kFlashMs);
}

void MainController::timFlashEnd_Timer() {
  // Input swallowed meanwhile put the end off: wait out the rest.
  const std::uint32_t left =
      TickDeadline(flashLastCueTick_, kFlashMs).Remaining(desktop_.TickCount());
  if (flashShowing_ && left > 0) {
    view_.ArmFlashEndTimer(static_cast<std::int32_t>(left));
    return;
  }
  EndFlash();
}

void MainController::EndFlash() {
  if (!flashShowing_) return;
  flashShowing_ = false;
  // Read at the end: a mode change made meanwhile (an unlock, say) is what shows.
  tray_.Modify(IconForMode(state_.CurrentMode), trayTip_);
  tray_.RestoreCursors();
}

void MainController::RestoreDesktop() {
  EndFlash();
  if (state_.lock.MouseSpeedChanged) RestoreMouseSpeed(desktop_, state_.lock);
  shortcutsOff_ = false;
  RestoreAccessShortcuts(desktop_);
  if (coverLook_) {
    coverLook_.reset();
    cover_.Hide();
  }
}

void MainController::OnSessionChange() { ClearAltState(state_.lock); }

void MainController::OnTaskbarCreated() {
  if (!trayAdded_) return;
  AddTrayIcon();
  tray_.Modify(flashShowing_ ? TrayIcon::Blocked : IconForMode(state_.CurrentMode), trayTip_);
}

void MainController::OnTrayCallback(std::uint32_t code) {
  switch (code) {
    case kTrayLeftButtonUp:
    case kTrayLeftButtonDoubleClick:
    case kTrayKeySelect: mnuPopupRestore_Click(); break;
    // A tray that reports the keyboard sends both for a right click: one menu.
    case kTrayRightButtonUp:
      if (!trayKeyboard_) view_.ShowTrayMenu();
      break;
    case kTrayContextMenu:
      if (trayKeyboard_) view_.ShowTrayMenu();
      break;
    default: break;
  }
}

// --- Autolock --------------------------------------------------------------------------

void MainController::RefreshSettings() {
  state_.settings = loadSettings_(state_.lock.OrigMouseSpeed);
  const TimeoutSplit interval = TimerIntervalForTimeout(state_.settings.Timeout);
  timer_.SetIntervalMinutes(interval.minutes);
  timer_.SetIntervalSeconds(interval.seconds);
  // Described from what the timer holds, so the text never promises another interval.
  view_.SetAutoLockToolTip(CountdownText(timer_.IntervalMinutes(), timer_.IntervalSeconds(),
                                         state_.settings.StopMouseMove));
  // The options dialog puts the user's speed back when it closes; a mode entered meanwhile
  // (a hand-off) keeps the speed it asks for.
  if (state_.CurrentMode == ModeBlockWinCtrl && state_.settings.SetMouseSpd)
    ChangeMouseSpeed(desktop_, state_.lock, state_.settings.MouseSpd);
  // New cover settings apply at once, also to a cover put up by a hand-off that locked the
  // desktop while the options dialog was open.
  SyncInputCover();
}

bool MainController::CheckDontLockIf() {
  switch (check_.CheckDontLockIf().outcome) {
    case DontLockIfOutcome::NotChecked: return false;
    case DontLockIfOutcome::Lock: state_.CurrentMode = ModeAutoLock; return false;
    case DontLockIfOutcome::Suspend: break;
  }
  if (state_.CurrentMode == ModeAutoLock) {
    state_.CurrentMode = ModeAutoLockSuspended;
    UserMsg();
    UpdateTrayIcon();
  }
  return true;
}

void MainController::Longtick1_Timer() {
  if (!CheckDontLockIf()) LockAll();
}

// --- Requests from the input filters ---------------------------------------------------

void MainController::EnableFlashTimer() {
  // While the blocked picture is up, more swallowed input only puts its end off. A held key
  // or a mashing child sends dozens of events a second: noting the time is all each one
  // costs, and the end timer looks at it when it comes due.
  if (flashShowing_) {
    flashLastCueTick_ = desktop_.TickCount();
    return;
  }
  if (hooks_.flashTimer) hooks_.flashTimer();
}

void MainController::OpenEntryGate() {
  if (hooks_.entryGate) hooks_.entryGate();
}

void MainController::cmdExit_Click() {
  if (hooks_.exit) hooks_.exit();
}

}  // namespace hushkey
