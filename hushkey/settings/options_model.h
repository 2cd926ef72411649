// The options dialog without its window: the values and enabled states of its controls,
// the load from the in-memory settings and the store, the validation and the store of the
// Ok command (the key sequences group stored all or nothing), the live mouse-speed test, the
// figure beside the unlock choice, the entry gate and every way of closing. The Win32
// dialog builds its controls from options_layout.h, forwards each user action and timer
// tick here and then shows the state this model reports (Enabled, Visible, Checked, Text,
// MouseSpeed, KeySequenceOf).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/engine/app_state.h"
#include "hushkey/engine/key_sequence.h"
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
// The key sequences group: each refusal is the rule's own sentence after the field it is
// about.
inline constexpr std::string_view kLockSequenceRefused = "'Key sequences' lock: ";
inline constexpr std::string_view kUnlockSequenceRefused = "'Key sequences' unlock: ";
inline constexpr std::string_view kUnlockWordRefused = "'Key sequences' unlock word: ";
inline constexpr std::string_view kUnlockWordsDiffer =
    "'Key sequences' unlock word: the two words differ; type the same word in both boxes.";
inline constexpr std::string_view kUnlockWordMissing =
    "'Key sequences' unlock word: type the word in both boxes.";
inline constexpr std::string_view kUnlockWordNotHashed = "Failed to store the unlock word";

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

// The figure shown beside the unlock choice: how often a mashing child would unlock by
// accident with this sequence held this long ("a mashing child: about once in 40 hours").
using UnlockOddsText = std::function<std::string(const KeySequence& unlock, std::uint32_t holdMs)>;
// The stored text for a new unlock word (its salted hash, never the word); nothing when it
// cannot be made.
using WordHasher = std::function<std::optional<std::string>(std::string_view word)>;

struct OptionsPorts {
  AppState& app;                // CurrentMode, the in-memory settings, OrigMouseSpeed
  SettingsStore& store;         // read at load and by the option switches; written by Ok
  AddressTablePort& addresses;  // the current address shown in txtIPaddress
  DesktopPort& desktop;         // only SetMouseSpeed: the live test and the restore on close
  RegistryPort& registry;       // the Run value
  FilePickerPort& picker;       // the "..." button
  OptionsViewPort& view;
  UnlockOddsText unlockOdds;  // empty: no figure is shown
  WordHasher hashWord;        // empty: a new word cannot be stored
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
  bool chkBlockTouch = false;
  bool chkDimWhenLocked = false;
  // The key sequences group. A field that holds no key has vk 0. The hold is an index into
  // kUnlockHoldChoicesMs; the two word boxes hold what was typed (empty with the box ticked:
  // the word already set stays); the figure is what lblUnlockOdds shows.
  KeySequence hkLockKeySeq = kDefaultLockSequence;
  KeySequence hkUnlockKeySeq = kDefaultUnlockSequence;
  int cboUnlockHold = 0;
  bool chkUnlockWord = false;
  std::string txtUnlockWord;
  std::string txtUnlockWordAgain;
  std::string lblUnlockOdds;
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

// The holds cboUnlockHold offers, and how it shows them (seconds).
inline constexpr std::array<std::uint32_t, 4> kUnlockHoldChoicesMs{0, 500, 1000, 2000};
inline constexpr std::array<std::string_view, 4> kUnlockHoldChoiceTexts{"0", "0.5", "1", "2"};
// The choice nearest a hold (the longer of two as near).
int NearestUnlockHoldChoice(std::uint32_t holdMs);

// The key sequences group's checks, in order: the lock sequence against the unlock one, the
// unlock sequence against the lock one, then with chkUnlockWord ticked the word: either both
// boxes empty (only when a word is set already: `wordSet`), or a word the rules accept typed
// the same in both (letters in either case). The first failing check's message, or nullopt.
std::optional<std::string> ValidateKeySequences(const OptionsValues& values, bool wordSet);

// Writes the values in order. When the store refuses one, the values written before it get
// back what they held (a missing value its default text) and the answer is false: the group
// is stored whole or not at all.
bool StoreAllOrNothing(SettingsStore& store,
                       const std::vector<std::pair<SettingId, std::string>>& values);

// Stores every field, enabled or not, in the Ok command's order: StopARKeys, SetMouseSpd,
// MouseSpd, UseScrnSvr, StopMouseMove, Beep, Flash, AOMAllowMouse, ShowLckUnlSeq, Timeout
// (the field as it is), DontLockIf, DontLockIfOpt, DontLockIfStartTime, DontLockIfEndTime,
// DontLockIfDay, DontLockIfIP, DontLockIfIPMatch, DontLockIfFileExists, PassthruWCls,
// BlockTouch, DimWhenLocked. Flags as "1"/"0". Every write is attempted; false when the
// store refused any. The key sequences group is stored apart (StoreAllOrNothing).
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
  // Alt+End and Alt+Home back in the sequence fields.
  void cmdKeySeqDefault_Click();

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
  // The keys pressed in a sequence field (hkLockKeySeq, hkUnlockKeySeq), and the choice
  // made in cboUnlockHold (an index into kUnlockHoldChoicesMs; others are ignored). A change
  // of the unlock sequence or the hold updates the figure beside them.
  void SetKeySequence(OptionsControl control, const KeySequence& sequence);
  void SetUnlockHold(int choice);

  // Switches the condition fields to option opt (0 Day/Time, 1 IP Address, 2 File Exists,
  // -1 none) and reloads that option's stored values, discarding unsaved edits; any other
  // value changes nothing.
  void ShowDontLockIfOpt(int opt);

  // State for the window.
  bool Enabled(OptionsControl control) const;
  bool Visible(OptionsControl control) const;  // only the gate's cover comes and goes
  bool Checked(OptionsControl control) const;
  // Text boxes and the figure; captions for the rest.
  std::string Text(OptionsControl control) const;
  KeySequence KeySequenceOf(OptionsControl control) const;  // the two sequence fields
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
  void chkUnlockWord_Click();
  void ShowUnlockOdds();
  // The key sequences group as Ok stores it; nothing when the word cannot be hashed.
  std::optional<std::vector<std::pair<SettingId, std::string>>> KeySequenceValues();

  OptionsPorts ports_;
  std::string programPath_;
  std::string keySeqReminder_;
  EntryGate gate_;
  OptionsValues values_;
  OptionsEnabling enabling_;
  OptionsClosedBy closedBy_ = OptionsClosedBy::NotClosed;
  bool wordSet_ = false;  // an unlock word was set when the dialog loaded
};

}  // namespace hushkey
