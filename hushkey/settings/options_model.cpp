#include "hushkey/settings/options_model.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "hushkey/autolock/countdown.h"
#include "hushkey/engine/mouse_speed.h"
#include "hushkey/engine/text_chars.h"
#include "hushkey/engine/unlock_word.h"
#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/run_value.h"
#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/time_text.h"

namespace hushkey {
namespace {

using C = OptionsControl;

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Whether the number at the start of the text ([blanks] [sign] digits [. digits]) is at
// least 1. Decided on the digits themselves, so no length of text can overflow it: a
// negative number or one whose whole part is all zeros is below 1, and so is text that
// starts with no number at all.
bool LeadingNumberAtLeastOne(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  bool nonZeroWhole = false;
  for (; !s.empty() && IsDigit(s.front()); s.remove_prefix(1)) nonZeroWhole |= s.front() != '0';
  return nonZeroWhole && !negative;
}

const char* FlagText(bool on) { return on ? "1" : "0"; }

}  // namespace

// ---- Rules -------------------------------------------------------------------------

std::string TimeoutText(float timeout) {
  char buf[64];
  const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, timeout, std::chars_format::fixed);
  return ec == std::errc() ? std::string(buf, end) : std::string();
}

TimeoutField CheckTimeoutField(std::string_view field) {
  if (!LeadingNumberAtLeastOne(field)) return {"1", {}};
  const std::optional<double> number = ParseNumber(field);
  if (!number) return {std::string(field), kTimeoutInvalid};
  // Judged on the value the settings load will see: the single-precision number, split
  // into the timer's minutes and seconds.
  const std::optional<float> single = ParseSingle(field);
  if (!single) return {std::string(field), kTimeoutTooLong};
  const TimeoutSplit split = SplitTimeout(*single);
  const std::int64_t total = std::int64_t{split.minutes} * 60 + split.seconds;
  if (total > std::numeric_limits<std::int32_t>::max())
    return {std::string(field), kTimeoutTooLong};
  return {std::string(field), {}};
}

std::array<bool, 7> DaysFromMask(std::string_view mask) {
  std::array<bool, 7> days{};
  for (std::size_t k = 0; k < days.size() && k < mask.size(); ++k) days[k] = mask[k] == 'X';
  return days;
}

std::string DayMask(const std::array<bool, 7>& days) {
  std::string mask;
  for (bool day : days) mask += day ? 'X' : ' ';
  return mask;
}

std::optional<std::string_view> ValidateOptions(const OptionsValues& v) {
  if (v.chkDontLockIf) {
    switch (v.optDontLockIf < 0 ? 0 : v.optDontLockIf) {
      case 0:
        if (!v.txtDontLockIfStartTime.empty() && !ParseTimeOfDay(v.txtDontLockIfStartTime)) {
          return kStartTimeInvalid;
        }
        if (!v.txtDontLockIfEndTime.empty() && !ParseTimeOfDay(v.txtDontLockIfEndTime)) {
          return kEndTimeInvalid;
        }
        break;
      case 1:
        if (TrimSpaces(v.txtDontLockIfIP).empty()) return kIpAddressInvalid;
        break;
      case 2:
        if (TrimSpaces(v.txtDontLockIfFileExists).empty()) return kFilenameInvalid;
        break;
    }
  }
  const std::string_view timeout = CheckTimeoutField(v.txtTimeout).message;
  if (!timeout.empty()) return timeout;
  return std::nullopt;
}

int NearestUnlockHoldChoice(std::uint32_t holdMs) {
  const auto distance = [holdMs](std::uint32_t choice) {
    return holdMs > choice ? holdMs - choice : choice - holdMs;
  };
  int nearest = 0;
  for (int k = 1; k < static_cast<int>(kUnlockHoldChoicesMs.size()); ++k) {
    if (distance(kUnlockHoldChoicesMs[k]) <= distance(kUnlockHoldChoicesMs[nearest])) nearest = k;
  }
  return nearest;
}

std::optional<std::string> ValidateKeySequences(const OptionsValues& v, bool wordSet) {
  if (std::string why = KeySequenceRefusal(v.hkLockKeySeq, v.hkUnlockKeySeq, SequenceRole::Lock);
      !why.empty()) {
    return std::string(kLockSequenceRefused) + why;
  }
  if (std::string why = KeySequenceRefusal(v.hkUnlockKeySeq, v.hkLockKeySeq, SequenceRole::Unlock);
      !why.empty()) {
    return std::string(kUnlockSequenceRefused) + why;
  }
  if (!v.chkUnlockWord) return std::nullopt;
  if (v.txtUnlockWord.empty() && v.txtUnlockWordAgain.empty()) {
    if (wordSet) return std::nullopt;
    return std::string(kUnlockWordMissing);
  }
  if (std::string why = UnlockWordRefusal(v.txtUnlockWord); !why.empty()) {
    return std::string(kUnlockWordRefused) + why;
  }
  // The word is typed on a locked desktop without regard to case.
  if (NormalizedWord(v.txtUnlockWord) != NormalizedWord(v.txtUnlockWordAgain)) {
    return std::string(kUnlockWordsDiffer);
  }
  return std::nullopt;
}

bool StoreAllOrNothing(SettingsStore& store,
                       const std::vector<std::pair<SettingId, std::string>>& values) {
  std::vector<std::string> before;
  for (const auto& value : values) before.push_back(store.Get(value.first));
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (store.Set(values[i].first, values[i].second)) continue;
    for (std::size_t k = i; k-- > 0;) store.Set(values[k].first, before[k]);
    return false;
  }
  return true;
}

bool StoreOptions(SettingsStore& store, const OptionsValues& v) {
  bool ok = true;
  auto put = [&](SettingId id, std::string_view text) { ok = store.Set(id, text) && ok; };
  put(SettingId::StopARKeys, FlagText(v.chkStopAutorepeatKeys));
  put(SettingId::SetMouseSpd, FlagText(v.chkSetMouseSpeed));
  put(SettingId::MouseSpd, std::to_string(v.hscMouseSpeed));
  put(SettingId::UseScrnSvr, FlagText(v.chkUseScrnSvr));
  put(SettingId::StopMouseMove, FlagText(v.chkStopMouseMove));
  put(SettingId::Beep, FlagText(v.chkBeepWhenLocked));
  put(SettingId::Flash, FlagText(v.chkFlashTrayWhenLocked));
  put(SettingId::AOMAllowMouse, FlagText(v.chkAOMAllowMouse));
  put(SettingId::ShowLckUnlSeq, FlagText(v.chkShowLockUnlockSeq));
  put(SettingId::Timeout, v.txtTimeout);
  put(SettingId::DontLockIf, FlagText(v.chkDontLockIf));
  put(SettingId::DontLockIfOpt, std::to_string(v.optDontLockIf < 0 ? 0 : v.optDontLockIf));
  put(SettingId::DontLockIfStartTime, v.txtDontLockIfStartTime);
  put(SettingId::DontLockIfEndTime, v.txtDontLockIfEndTime);
  put(SettingId::DontLockIfDay, DayMask(v.chkDontLockIfDay));
  put(SettingId::DontLockIfIP, v.txtDontLockIfIP);
  put(SettingId::DontLockIfIPMatch, FlagText(v.chkDontLockIfIP));
  put(SettingId::DontLockIfFileExists, v.txtDontLockIfFileExists);
  put(SettingId::PassthruWCls, v.txtPassthruWCls);
  put(SettingId::BlockTouch, FlagText(v.chkBlockTouch));
  put(SettingId::DimWhenLocked, FlagText(v.chkDimWhenLocked));
  return ok;
}

// ---- The dialog --------------------------------------------------------------------

namespace {

// The value field behind a check box, or nullptr.
template <typename Values>
auto CheckField(Values& v, OptionsControl c) -> decltype(&v.chkDontLockIf) {
  if (c >= C::chkDontLockIfDay0 && c <= C::chkDontLockIfDay6) {
    return &v.chkDontLockIfDay[static_cast<std::size_t>(c) -
                               static_cast<std::size_t>(C::chkDontLockIfDay0)];
  }
  switch (c) {
    case C::chkStopAutorepeatKeys: return &v.chkStopAutorepeatKeys;
    case C::chkSetMouseSpeed: return &v.chkSetMouseSpeed;
    case C::chkTestMouseSpeed: return &v.chkTestMouseSpeed;
    case C::chkAOMAllowMouse: return &v.chkAOMAllowMouse;
    case C::chkUseScrnSvr: return &v.chkUseScrnSvr;
    case C::chkStopMouseMove: return &v.chkStopMouseMove;
    case C::chkBeepWhenLocked: return &v.chkBeepWhenLocked;
    case C::chkFlashTrayWhenLocked: return &v.chkFlashTrayWhenLocked;
    case C::chkDontLockIf: return &v.chkDontLockIf;
    case C::chkDontLockIfIP: return &v.chkDontLockIfIP;
    case C::chkStartWithWindows: return &v.chkStartWithWindows;
    case C::chkShowLockUnlockSeq: return &v.chkShowLockUnlockSeq;
    case C::chkBlockTouch: return &v.chkBlockTouch;
    case C::chkDimWhenLocked: return &v.chkDimWhenLocked;
    case C::chkUnlockWord: return &v.chkUnlockWord;
    default: return nullptr;
  }
}

// The value field behind an editable text box, or nullptr.
template <typename Values>
auto TextField(Values& v, OptionsControl c) -> decltype(&v.txtTimeout) {
  switch (c) {
    case C::txtTimeout: return &v.txtTimeout;
    case C::txtDontLockIfStartTime: return &v.txtDontLockIfStartTime;
    case C::txtDontLockIfEndTime: return &v.txtDontLockIfEndTime;
    case C::txtDontLockIfIP: return &v.txtDontLockIfIP;
    case C::txtDontLockIfFileExists: return &v.txtDontLockIfFileExists;
    case C::txtPassthruWCls: return &v.txtPassthruWCls;
    case C::txtUnlockWord: return &v.txtUnlockWord;
    case C::txtUnlockWordAgain: return &v.txtUnlockWordAgain;
    default: return nullptr;
  }
}

// An option button's group and index: {&selected, index}, or {nullptr, -1}.
template <typename Values>
auto OptionOf(Values& v, OptionsControl c) -> std::pair<decltype(&v.optStartMode), int> {
  if (c >= C::optDontLockIf0 && c <= C::optDontLockIf2) {
    return {&v.optDontLockIf, static_cast<int>(c) - static_cast<int>(C::optDontLockIf0)};
  }
  if (c >= C::optStartMode0 && c <= C::optStartMode4) {
    return {&v.optStartMode, static_cast<int>(c) - static_cast<int>(C::optStartMode0)};
  }
  return {nullptr, -1};
}

bool Between(OptionsControl c, OptionsControl first, OptionsControl last) {
  return c >= first && c <= last;
}

}  // namespace

OptionsModel::OptionsModel(const OptionsPorts& ports, std::string programPath,
                           std::string keySeqReminder)
    : ports_(ports),
      programPath_(std::move(programPath)),
      keySeqReminder_(std::move(keySeqReminder)),
      gate_(ports.app.CurrentMode, ports.view) {}

void OptionsModel::Form_Load() {
  const Settings& s = ports_.app.settings;
  SettingsStore& store = ports_.store;
  gate_.CloseGate(s.ShowLckUnlSeq, keySeqReminder_);

  values_.txtTimeout = TimeoutText(s.Timeout);
  Check(C::chkUseScrnSvr, s.UseScrnSvr);
  Check(C::chkStopAutorepeatKeys, s.StopARKeys);
  Check(C::chkSetMouseSpeed, s.SetMouseSpd);
  // A speed outside the scroll bar's range (the start-up query failed) shows the nearest end.
  MoveScroll(std::clamp(s.MouseSpd, kMouseSpeedMin, kMouseSpeedMax));
  Check(C::chkBeepWhenLocked, s.Beep);
  Check(C::chkFlashTrayWhenLocked, s.Flash);
  Check(C::chkStopMouseMove, s.StopMouseMove);
  Check(C::chkAOMAllowMouse, s.AOMAllowMouse);
  Check(C::chkShowLockUnlockSeq, s.ShowLckUnlSeq);

  const std::int16_t opt = ReadInt16Setting(store, SettingId::DontLockIfOpt);
  if (opt >= 0 && opt <= 2) SelectDontLockIf(opt);
  for (int k : {2, 1, 0, -1}) ShowDontLockIfOpt(k);

  Check(C::chkDontLockIf, ReadFlagSetting(store, SettingId::DontLockIf));
  chkDontLockIf_Click();

  const LocalIPAddressResult ip = LocalIPAddress(ports_.addresses);
  values_.txtIPaddress = ip.ok ? ip.address : std::string(kIpAddressUnavailable);
  values_.txtPassthruWCls = store.Get(SettingId::PassthruWCls);

  Check(C::chkStartWithWindows, ReadInt32Setting(store, SettingId::StartWithWin) >= 0);
  if (values_.chkStartWithWindows) SelectStartMode(StoredStartMode());

  Check(C::chkBlockTouch, ReadFlagSetting(store, SettingId::BlockTouch));
  Check(C::chkDimWhenLocked, ReadFlagSetting(store, SettingId::DimWhenLocked));
  // The sequences, hold and word in effect (the load has already refused any that break
  // the rules); the word itself is never shown, only whether one is set.
  values_.hkLockKeySeq = s.sequences.lock;
  values_.hkUnlockKeySeq = s.sequences.unlock;
  values_.cboUnlockHold = NearestUnlockHoldChoice(s.UnlockHoldMs);
  wordSet_ = !s.UnlockWordHash.empty();
  Check(C::chkUnlockWord, wordSet_);
  ShowUnlockOdds();

  gate_.StartFailTimer();
}

void OptionsModel::Form_Unload() {
  if (gate_.State() == GateState::Closed) return;
  if (closedBy_ == OptionsClosedBy::NotClosed) closedBy_ = OptionsClosedBy::CloseBox;
  gate_.OnUnload();
  RestoreMouseSpeed(ports_.desktop, ports_.app.lock);
}

void OptionsModel::Unload(OptionsClosedBy by) {
  if (gate_.State() == GateState::Closed) return;
  closedBy_ = by;
  Form_Unload();
  ports_.view.CloseDialog();
}

void OptionsModel::cmdOk_Click() {
  if (!gate_.OkCancelEnabled()) return;
  if (std::optional<std::string_view> message = ValidateOptions(values_)) {
    ports_.view.ShowMessage(std::string(*message), MessageIcon::None);
    return;
  }
  if (std::optional<std::string> message = ValidateKeySequences(values_, wordSet_)) {
    ports_.view.ShowMessage(*message, MessageIcon::None);
    return;
  }
  const auto keySequences = KeySequenceValues();
  if (!keySequences) {
    ports_.view.ShowMessage(std::string(kUnlockWordNotHashed), MessageIcon::Exclamation);
    return;
  }
  values_.txtTimeout = CheckTimeoutField(values_.txtTimeout).text;
  if (!StoreOptions(ports_.store, values_) || !StoreAllOrNothing(ports_.store, *keySequences)) {
    ports_.view.ShowMessage(std::string(kStoreFailed), MessageIcon::Exclamation);
    return;
  }
  const int mode = ValidStartMode(values_.optStartMode);
  if (std::optional<std::string_view> failure =
          ApplyStartWithWindows(ports_.registry, values_.chkStartWithWindows, mode, programPath_)) {
    ports_.view.ShowMessage(std::string(*failure), MessageIcon::Exclamation);
    return;
  }
  if (!ports_.store.Set(SettingId::StartWithWin,
                        values_.chkStartWithWindows ? std::to_string(mode) : "-1")) {
    ports_.view.ShowMessage(std::string(kStoreFailed), MessageIcon::Exclamation);
    return;
  }
  Unload(OptionsClosedBy::Ok);
}

void OptionsModel::cmdCancel_Click() { Unload(OptionsClosedBy::Cancel); }

void OptionsModel::cmdKeySeqDefault_Click() {
  if (!Editable(C::cmdKeySeqDefault)) return;
  values_.hkLockKeySeq = kDefaultLockSequence;
  values_.hkUnlockKeySeq = kDefaultUnlockSequence;
  ShowUnlockOdds();
}

std::optional<std::vector<std::pair<SettingId, std::string>>> OptionsModel::KeySequenceValues() {
  std::vector<std::pair<SettingId, std::string>> group{
      {SettingId::LockKeySeq, KeySequenceText(values_.hkLockKeySeq)},
      {SettingId::UnlockKeySeq, KeySequenceText(values_.hkUnlockKeySeq)},
      {SettingId::UnlockHoldMs,
       std::to_string(kUnlockHoldChoicesMs[static_cast<std::size_t>(values_.cboUnlockHold)])}};
  if (!values_.chkUnlockWord) {
    group.emplace_back(SettingId::UnlockWordHash, "");
  } else if (!values_.txtUnlockWord.empty()) {
    std::optional<std::string> hash;
    if (ports_.hashWord) hash = ports_.hashWord(values_.txtUnlockWord);
    if (!hash) return std::nullopt;
    group.emplace_back(SettingId::UnlockWordHash, std::move(*hash));
  }
  return group;
}

void OptionsModel::cmdDontLockIfFileExistsPick_Click() {
  if (!Editable(C::cmdDontLockIfFileExistsPick)) return;
  values_.txtDontLockIfFileExists =
      FieldAfterPick(std::move(values_.txtDontLockIfFileExists),
                     ports_.picker.PickOpenFile(FileExistsPickRequest()));
}

void OptionsModel::OpenEntryGate() { gate_.OnUnlockSequence(); }

void OptionsModel::timEntryReqPass_Timer() { gate_.timEntryReqPass_Timer(); }

void OptionsModel::timEntryReqFail_Timer() {
  if (gate_.timEntryReqFail_Timer()) Unload(OptionsClosedBy::GateTimeout);
}

// ---- User changes --------------------------------------------------------------------

bool OptionsModel::Editable(OptionsControl control) const {
  return gate_.State() == GateState::Open && Enabled(control);
}

void OptionsModel::SetChecked(OptionsControl control, bool on) {
  if (!Editable(control)) return;
  if (CheckField(values_, control)) {
    Check(control, on);
  } else if (auto [group, index] = OptionOf(values_, control); group && on) {
    if (group == &values_.optDontLockIf) {
      SelectDontLockIf(index);
    } else {
      SelectStartMode(index);
    }
  }
}

void OptionsModel::SetText(OptionsControl control, std::string text) {
  if (!Editable(control)) return;
  if (std::string* field = TextField(values_, control)) *field = std::move(text);
}

void OptionsModel::SetMouseSpeed(std::int32_t value) {
  if (!Editable(C::hscMouseSpeed)) return;
  MoveScroll(std::clamp(value, kMouseSpeedMin, kMouseSpeedMax));
}

void OptionsModel::SetKeySequence(OptionsControl control, const KeySequence& sequence) {
  if (!Editable(control)) return;
  if (control == C::hkLockKeySeq) {
    values_.hkLockKeySeq = sequence;
  } else if (control == C::hkUnlockKeySeq) {
    values_.hkUnlockKeySeq = sequence;
    ShowUnlockOdds();
  }
}

void OptionsModel::SetUnlockHold(int choice) {
  if (!Editable(C::cboUnlockHold) || choice < 0 ||
      choice >= static_cast<int>(kUnlockHoldChoicesMs.size())) {
    return;
  }
  values_.cboUnlockHold = choice;
  ShowUnlockOdds();
}

// ---- Changes made in code run the same handlers as the user's ----------------------------

void OptionsModel::Check(OptionsControl control, bool on) {
  bool* field = CheckField(values_, control);
  if (!field || *field == on) return;
  *field = on;
  switch (control) {
    case C::chkDontLockIf: chkDontLockIf_Click(); break;
    case C::chkTestMouseSpeed: chkTestMouseSpeed_Click(); break;
    case C::chkStartWithWindows: chkStartWithWindows_Click(); break;
    case C::chkUnlockWord: chkUnlockWord_Click(); break;
    default: break;
  }
}

void OptionsModel::SelectDontLockIf(int index) {
  if (values_.optDontLockIf == index) return;
  values_.optDontLockIf = index;
  ShowDontLockIfOpt(index);  // optDontLockIf_Click
}

void OptionsModel::SelectStartMode(int index) { values_.optStartMode = index; }

void OptionsModel::MoveScroll(std::int32_t value) {
  if (values_.hscMouseSpeed == value) return;
  values_.hscMouseSpeed = value;
  hscMouseSpeed_Change();
}

// The start mode to select: the stored one, option 3 when none is recorded (-1, missing,
// unreadable or out of range).
int OptionsModel::StoredStartMode() {
  const std::optional<std::string> text = ports_.store.Read(KeyOf(SettingId::StartWithWin).key);
  const std::optional<std::int32_t> stored = text ? ParseInt32(*text) : std::nullopt;
  return ValidStartMode(stored ? *stored : kDefaultStartMode);
}

void OptionsModel::ShowDontLockIfOpt(int opt) {
  SettingsStore& store = ports_.store;
  if (opt < -1 || opt > 2) return;
  enabling_.dayTime = opt == 0;
  enabling_.ip = opt == 1;
  enabling_.file = opt == 2;
  switch (opt) {
    case 0:
      values_.txtDontLockIfStartTime = store.Get(SettingId::DontLockIfStartTime);
      values_.txtDontLockIfEndTime = store.Get(SettingId::DontLockIfEndTime);
      values_.chkDontLockIfDay = DaysFromMask(store.Get(SettingId::DontLockIfDay));
      break;
    case 1: {
      values_.txtDontLockIfIP = store.Get(SettingId::DontLockIfIP);
      // Ticked for the number 1 only, the one value for which the check tests for a match.
      const std::optional<double> match = ParseNumber(store.Get(SettingId::DontLockIfIPMatch));
      values_.chkDontLockIfIP = match && *match == 1.0;
      break;
    }
    case 2: values_.txtDontLockIfFileExists = store.Get(SettingId::DontLockIfFileExists); break;
    default: break;
  }
}

void OptionsModel::chkDontLockIf_Click() {
  ShowDontLockIfOpt(-1);
  if (values_.chkDontLockIf && values_.optDontLockIf >= 0) ShowDontLockIfOpt(values_.optDontLockIf);
}

void OptionsModel::chkTestMouseSpeed_Click() {
  if (values_.chkTestMouseSpeed) {
    ChangeMouseSpeed(ports_.desktop, ports_.app.lock, values_.hscMouseSpeed);
  } else {
    RestoreMouseSpeed(ports_.desktop, ports_.app.lock);
  }
}

void OptionsModel::hscMouseSpeed_Change() {
  if (values_.chkTestMouseSpeed) {
    ChangeMouseSpeed(ports_.desktop, ports_.app.lock, values_.hscMouseSpeed);
  }
}

void OptionsModel::chkStartWithWindows_Click() {
  if (values_.chkStartWithWindows) SelectStartMode(StoredStartMode());
}

// Unticked, the word boxes are emptied: a word typed there is not kept around.
void OptionsModel::chkUnlockWord_Click() {
  if (values_.chkUnlockWord) return;
  values_.txtUnlockWord.clear();
  values_.txtUnlockWordAgain.clear();
}

// The figure for the unlock sequence in its field with the chosen hold; none while the
// field holds no key.
void OptionsModel::ShowUnlockOdds() {
  const KeySequence& unlock = values_.hkUnlockKeySeq;
  values_.lblUnlockOdds.clear();
  if (ports_.unlockOdds && !KeyName(unlock.vk).empty()) {
    values_.lblUnlockOdds = ports_.unlockOdds(
        unlock, kUnlockHoldChoicesMs[static_cast<std::size_t>(values_.cboUnlockHold)]);
  }
}

// ---- State for the window --------------------------------------------------------------

bool OptionsModel::Enabled(OptionsControl c) const {
  if (c == C::cmdOk || c == C::cmdCancel) return gate_.OkCancelEnabled();
  if (Between(c, C::frameDontLockIf, C::optDontLockIf2)) return values_.chkDontLockIf;
  if (Between(c, C::txtDontLockIfStartTime, C::chkDontLockIfDay6)) return enabling_.dayTime;
  if (c == C::txtDontLockIfIP || c == C::chkDontLockIfIP) return enabling_.ip;
  if (c == C::txtDontLockIfFileExists || c == C::cmdDontLockIfFileExistsPick) {
    return enabling_.file;
  }
  if (c == C::hscMouseSpeed || c == C::chkTestMouseSpeed) return values_.chkSetMouseSpeed;
  if (Between(c, C::optStartMode0, C::optStartMode4)) return values_.chkStartWithWindows;
  if (Between(c, C::txtUnlockWord, C::txtUnlockWordAgain)) return values_.chkUnlockWord;
  return true;
}

bool OptionsModel::Visible(OptionsControl c) const {
  if (c == C::frameEntryReq || c == C::lblEntryReq) return gate_.Covered();
  return true;
}

bool OptionsModel::Checked(OptionsControl c) const {
  if (const bool* field = CheckField(values_, c)) return *field;
  const auto [group, index] = OptionOf(values_, c);
  return group && *group == index;
}

std::string OptionsModel::Text(OptionsControl c) const {
  if (const std::string* field = TextField(values_, c)) return *field;
  if (c == C::txtIPaddress) return values_.txtIPaddress;
  if (c == C::lblEntryReq) return gate_.RequestText();
  if (c == C::lblUnlockOdds) return values_.lblUnlockOdds;
  return std::string(RowOf(c).caption);
}

KeySequence OptionsModel::KeySequenceOf(OptionsControl c) const {
  if (c == C::hkLockKeySeq) return values_.hkLockKeySeq;
  if (c == C::hkUnlockKeySeq) return values_.hkUnlockKeySeq;
  return {};
}

}  // namespace hushkey
