// The options dialog's entry gate: the dialog opens covered, with the program parked in
// mode 99 where the keyboard filter watches for the unlock sequence (Alt+Home). The
// sequence opens the gate through a short timer; five seconds without it close the dialog
// as if Cancel had been pressed. The gate never refreshes the status display or the tray:
// both keep showing the mode from before the dialog opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "hushkey/engine/lock_mode.h"

namespace hushkey {

enum class GateTimer {
  Fail,  // timEntryReqFail: closes the dialog when the sequence does not come in time
  Pass,  // timEntryReqPass: opens the gate shortly after the sequence was seen
};
inline constexpr std::int32_t kEntryReqFailMs = 5000;
inline constexpr std::int32_t kEntryReqPassMs = 5;

inline constexpr std::string_view kEntryRequestText = "Press current key sequence for unlock";

// The two gate timers of the dialog window. Both are one-shot in use: the gate switches
// each off again in its tick.
class GateTimerPort {
 public:
  virtual ~GateTimerPort() = default;
  // On: (re)starts the timer with its interval (kEntryReqFailMs / kEntryReqPassMs); its
  // tick calls the gate's timEntryReqFail_Timer / timEntryReqPass_Timer. Off: stops it.
  virtual void SetGateTimer(GateTimer timer, bool on) = 0;
};

// The request shown on the covering frame: the fixed text, and when showReminder is on,
// four line breaks (CR LF) and the key-sequence reminder.
std::string EntryRequestText(bool showReminder, std::string_view reminder);

enum class GateState {
  Idle,      // the dialog has not been loaded yet
  Covered,   // mode 99, waiting for the sequence
  Granting,  // the sequence was seen; the pass timer runs
  Open,      // the settings can be used
  Closed,    // the dialog has gone
};

class EntryGate {
 public:
  // currentMode is the program's CurrentMode; both references must outlive the gate.
  EntryGate(LockMode& currentMode, GateTimerPort& timers);

  // First steps of the dialog's load: covered, with the request text; the current mode is
  // saved in ModeBeforeOptions and the mode becomes 99.
  void CloseGate(bool showLckUnlSeq, std::string_view reminder);
  // Last step of the dialog's load: the five seconds start now.
  void StartFailTimer();

  // The keyboard filter saw Alt+Home in mode 99: the fail timer stops, the pass timer
  // starts. Ignored unless the gate is covered or granting.
  void OnUnlockSequence();

  // Pass timer tick: the mode goes back, the cover goes away, Ok and Cancel are enabled.
  // "The mode goes back" here and at unload means: ModeBeforeOptions replaces 99. A mode
  // that something else set meanwhile (a start-mode hand-off from a second start) stands.
  // Ticks of a timer that is off (already queued when it was stopped) are ignored.
  void timEntryReqPass_Timer();
  // Fail timer tick: true when the dialog is now to close as Cancel.
  bool timEntryReqFail_Timer();

  // The dialog's unload: both timers stop, the mode goes back. Runs once; later calls do
  // nothing.
  void OnUnload();

  GateState State() const { return state_; }
  bool Covered() const { return state_ == GateState::Covered || state_ == GateState::Granting; }
  // cmdOk and cmdCancel are enabled only once the gate is open.
  bool OkCancelEnabled() const { return state_ == GateState::Open; }
  const std::string& RequestText() const { return requestText_; }
  LockMode ModeBeforeOptions() const { return modeBeforeOptions_; }

 private:
  void SetTimer(GateTimer timer, bool on);
  void GiveBackMode();

  LockMode& currentMode_;
  GateTimerPort& timers_;
  GateState state_ = GateState::Idle;
  LockMode modeBeforeOptions_ = ModeUnlocked;
  std::string requestText_{kEntryRequestText};
  bool failOn_ = false;
  bool passOn_ = false;
};

}  // namespace hushkey
