#include "hushkey/settings/entry_gate.h"

namespace hushkey {

std::string EntryRequestText(bool showReminder, std::string_view reminder) {
  std::string text(kEntryRequestText);
  if (showReminder) {
    text += "\r\n\r\n\r\n\r\n";
    text += reminder;
  }
  return text;
}

EntryGate::EntryGate(LockMode& currentMode, GateTimerPort& timers)
    : currentMode_(currentMode), timers_(timers) {}

void EntryGate::CloseGate(bool showLckUnlSeq, std::string_view reminder) {
  if (state_ != GateState::Idle) return;  // a gate closes once per opening of the dialog
  state_ = GateState::Covered;
  requestText_ = EntryRequestText(showLckUnlSeq, reminder);
  modeBeforeOptions_ = currentMode_;
  currentMode_ = ModeEntryReq;
}

void EntryGate::StartFailTimer() {
  if (state_ == GateState::Covered) SetTimer(GateTimer::Fail, true);
}

void EntryGate::OnUnlockSequence() {
  if (!Covered()) return;
  SetTimer(GateTimer::Fail, false);
  SetTimer(GateTimer::Pass, true);
  state_ = GateState::Granting;
}

void EntryGate::timEntryReqPass_Timer() {
  // A tick that was already queued when its timer was stopped is dropped.
  if (!passOn_) return;
  SetTimer(GateTimer::Pass, false);
  GiveBackMode();
  state_ = GateState::Open;
}

bool EntryGate::timEntryReqFail_Timer() {
  if (!failOn_) return false;
  SetTimer(GateTimer::Fail, false);
  return true;
}

void EntryGate::OnUnload() {
  if (state_ == GateState::Closed) return;
  if (failOn_) SetTimer(GateTimer::Fail, false);
  if (passOn_) SetTimer(GateTimer::Pass, false);
  if (state_ != GateState::Idle) GiveBackMode();
  state_ = GateState::Closed;
}

void EntryGate::SetTimer(GateTimer timer, bool on) {
  (timer == GateTimer::Fail ? failOn_ : passOn_) = on;
  timers_.SetGateTimer(timer, on);
}

// The dialog gives back only the mode it took: when something else changed the mode while
// the dialog was up (a start-mode hand-off from a second start), that change stands.
void EntryGate::GiveBackMode() {
  if (currentMode_ == ModeEntryReq) currentMode_ = modeBeforeOptions_;
}

}  // namespace hushkey
