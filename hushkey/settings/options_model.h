// The options dialog without its window: the values and enabled states of its controls,
// the load from the in-memory settings and the store, the validation and the store of the
// Ok command, the live mouse-speed test, the entry gate and every way of closing. The
// Win32 dialog builds its controls from options_layout.h, forwards each user action and
// timer tick here and then shows the state this model reports (Enabled, Visible, Checked,
// Text, MouseSpeed).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/engine/app_state.h"
#include "hushkey/engine/ports.h"
#include "hushkey/settings/entry_gate.h"
#include "hushkey/settings/file_picker.h"
#include "hushkey/settings/options_layout.h"
#include "hushkey/settings/registry_routines.h"
#include "hushkey/settings/settings_store.h"

namespace hushkey {

// ---- Messages ----------------------------------------------------------------------

enum class MessageIcon { None, Exclamation };
inline constexpr std::string_view kMessageBoxCaption = "Hushkey";

inline constexpr std::string_view kStartTimeInvalid = "'Don't Lock If' start time invalid";
inline constexpr std::string_view kEndTimeInvalid = "'Don't Lock If' end time invalid";
inline constexpr std::string_view kIpAddressInvalid = "'Don't Lock If' IP address invalid";
inline constexpr std::string_view kFilenameInvalid = "'Don't Lock If' filename invalid";
inline constexpr std::string_view kTimeoutInvalid =
    "'Timed Lock' time invalid (enter a number of minutes, e.g. 10 or 1.5)";
inline constexpr std::string_view kTimeoutTooLong =
    "'Timed Lock' time too long (at most 35791394 minutes)";
inline constexpr std::string_view kStoreFailed = "Failed to store the settings";

// What txtIPaddress shows when the address table cannot be read.
inline constexpr std::string_view kIpAddressUnavailable = "(unavailable)";

// ---- Ports -------------------------------------------------------------------------

// What the dialog window does for the model besides showing its state.
class OptionsViewPort : public GateTimerPort {
 public:
  // A modal message box captioned kMessageBoxCaption with only an OK button: validation
  // messages without an icon, failures of system changes with the exclamation icon.
  virtual void ShowMessage(const std::string& text, MessageIcon icon) = 0;
  // Ends the modal dialog; Form_Unload has already run.
  virtual void CloseDialog() = 0;
};

struct OptionsPorts {
  AppState& app;                // CurrentMode, the in-memory settings, OrigMouseSpeed
  SettingsStore& store;         // read at load and by the option switches; written by Ok
  AddressTablePort& addresses;  // the current address shown in txtIPaddress
  DesktopPort& desktop;         // only SetMouseSpeed: the live test and the restore on close
  RegistryPort& registry;       // the Run value
  FilePickerPort& picker;       // the "..." button
  OptionsViewPort& view;
};

// ---- Control state -----------------------------------------------------------------

// The controls' values, named after the controls. Option groups hold the selected index,
// -1 when none is selected.
struct OptionsValues {
  bool chkStopAutorepeatKeys = false;
  bool chkSetMouseSpeed = false;
  std::int32_t hscMouseSpeed = kMouseSpeedMin;
  bool chkTestMouseSpeed = false;
  bool chkAOMAllowMouse = false;
  bool chkUseScrnSvr = false;
  bool chkStopMouseMove = false;
  bool chkBeepWhenLocked = false;
  bool chkFlashTrayWhenLocked = false;
  std::string txtTimeout;
  bool chkDontLockIf = false;
  int optDontLockIf = -1;
  std::string txtDontLockIfStartTime;
  std::string txtDontLockIfEndTime;
  std::array<bool, 7> chkDontLockIfDay{};  // Monday first
  std::string txtDontLockIfIP;
  bool chkDontLockIfIP = false;
  std::string txtDontLockIfFileExists;
  std::string txtIPaddress;
  std::string txtPassthruWCls;
  bool chkStartWithWindows = false;
  int optStartMode = -1;
  bool chkShowLockUnlockSeq = false;
};

// The enabled states that the chosen "Don't Lock If" condition sets. The frame with the three
// optDontLockIf, the mouse-speed controls and the start modes follow their check boxes;
// every other control stays enabled, except cmdOk and cmdCancel, which follow the entry gate.
struct OptionsEnabling {
  bool dayTime = true;  // time boxes, day check boxes and day labels
  bool ip = true;       // txtDontLockIfIP, chkDontLockIfIP
  bool file = true;     // txtDontLockIfFileExists, cmdDontLockIfFileExistsPick
};

enum class OptionsClosedBy { NotClosed, Ok, Cancel, GateTimeout, CloseBox };

// ---- Rules -------------------------------------------------------------------------

// The in-memory timeout as the field shows it: the shortest decimal text that reads back
// as the same value (10 -> "10", 1.5 -> "1.5").
std::string TimeoutText(float timeout);

// What Ok makes of the timeout field. Text whose leading number is below 1 (text without a
// leading number counts as 0) becomes "1". Other text is kept as typed when it reads back
// strictly as a number (text_conversions.h) whose interval the inactivity timer can count
// (minutes * 60 + seconds within 32 bits, i.e. at most 35791394 minutes); otherwise
// `message` says why it is refused ("5 min", "1,5", "1e3"; "99999999").
struct TimeoutField {
  std::string text;          // what is stored
  std::string_view message;  // empty when the text can be stored
};
TimeoutField CheckTimeoutField(std::string_view field);

// The day check boxes from a stored mask ("X" ticks the day; other characters and missing
// ones leave it unticked), and the seven-character mask of "X" and blanks Ok stores.
std::array<bool, 7> DaysFromMask(std::string_view mask);
std::string DayMask(const std::array<bool, 7>& days);

// The Ok command's checks, in order: the selected "Don't Lock If" condition (only when
// chkDontLockIf is ticked; none selected counts as Day/Time), then the timeout field. The
// first failing check's message, or nullopt.
std::optional<std::string_view> ValidateOptions(const OptionsValues& values);

// Stores every field, enabled or not, in the Ok command's order: StopARKeys, SetMouseSpd,
// MouseSpd, UseScrnSvr, StopMouseMove, Beep, Flash, AOMAllowMouse, ShowLckUnlSeq, Timeout
// (the field as it is), DontLockIf, DontLockIfOpt, DontLockIfStartTime, DontLockIfEndTime,
// DontLockIfDay, DontLockIfIP, DontLockIfIPMatch, DontLockIfFileExists, PassthruWCls.
// Flags as "1"/"0". Every write is attempted; false when the store refused any.
bool StoreOptions(SettingsStore& store, const OptionsValues& values);

// ---- The dialog --------------------------------------------------------------------

class OptionsModel {
 public:
  // programPath: the running program's full path (for the Run value); keySeqReminder: the
  // lock/unlock key-sequence reminder shown under the entry request when ShowLckUnlSeq is
  // on. The ports must outlive the model. One model serves one opening of the dialog.
  OptionsModel(const OptionsPorts& ports, std::string programPath, std::string keySeqReminder);

  // The dialog is being shown: covered by the entry gate (mode 99), loaded from the
  // in-memory settings and the store, the gate's five seconds started last.
  void Form_Load();
  // The dialog goes away, whatever the reason: the gate's timers stop, the mode goes back
  // and the mouse speed returns to OrigMouseSpeed. Runs once. The window calls it when it is
  // closed by its close box; the model's own ways of closing call it before CloseDialog.
  void Form_Unload();

  void cmdOk_Click();
  void cmdCancel_Click();
  void cmdDontLockIfFileExistsPick_Click();

  // The keyboard filter's Alt+Home in mode 99, and the two gate timers' ticks.
  void OpenEntryGate();
  void timEntryReqPass_Timer();
  void timEntryReqFail_Timer();

  // User changes, forwarded by the window; ignored while the gate is not open and for
  // disabled controls. A check box or option button that changes runs its Click handler
  // (selecting an option button unselects the others of its group; unselecting one is
  // ignored); a scroll bar change (held within kMouseSpeedMin..kMouseSpeedMax) runs
  // hscMouseSpeed_Change. Text boxes hold what the user typed; txtIPaddress and
  // txtTimeoutLabel are never edited.
  void SetChecked(OptionsControl control, bool on);
  void SetText(OptionsControl control, std::string text);
  void SetMouseSpeed(std::int32_t value);

  // Switches the condition fields to option opt (0 Day/Time, 1 IP Address, 2 File Exists,
  // -1 none) and reloads that option's stored values, discarding unsaved edits; any other
  // value changes nothing.
  void ShowDontLockIfOpt(int opt);

  // State for the window.
  bool Enabled(OptionsControl control) const;
  bool Visible(OptionsControl control) const;  // only the gate's cover comes and goes
  bool Checked(OptionsControl control) const;
  std::string Text(OptionsControl control) const;  // text boxes; captions for the rest
  std::int32_t MouseSpeed() const { return values_.hscMouseSpeed; }
  const OptionsValues& Values() const { return values_; }
  const EntryGate& Gate() const { return gate_; }
  // How the dialog closed; the main window runs RefreshSettings afterwards in every case.
  OptionsClosedBy ClosedBy() const { return closedBy_; }

 private:
  bool Editable(OptionsControl control) const;
  void Check(OptionsControl control, bool on);
  void SelectDontLockIf(int index);
  void SelectStartMode(int index);
  void MoveScroll(std::int32_t value);
  int StoredStartMode();
  void Unload(OptionsClosedBy by);

  void chkDontLockIf_Click();
  void chkTestMouseSpeed_Click();
  void hscMouseSpeed_Change();
  void chkStartWithWindows_Click();

  OptionsPorts ports_;
  std::string programPath_;
  std::string keySeqReminder_;
  EntryGate gate_;
  OptionsValues values_;
  OptionsEnabling enabling_;
  OptionsClosedBy closedBy_ = OptionsClosedBy::NotClosed;
};

}  // namespace hushkey
