#include "hushkey/settings/load_settings.h"

#include <optional>

#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/unlock_word.h"

namespace hushkey {
namespace {

// Reads one key; a missing key yields the default value, a present one is converted and
// falls back to the default (noted) when it does not convert.
template <typename T, typename Parse>
T ReadConverted(SettingsStore& store, SettingId id, T defaultValue, Parse parse,
                std::vector<std::string>* unconvertible) {
  const SettingKey& k = KeyOf(id);
  std::optional<std::string> text = store.Read(k.key);
  if (!text) return defaultValue;
  std::optional<T> v = parse(*text);
  if (v) return *v;
  if (unconvertible) unconvertible->emplace_back(k.key);
  return defaultValue;
}

template <typename T, typename Parse>
T TableDefault(SettingId id, Parse parse) {
  // The table's defaults are constants that always convert; value-initialised otherwise.
  return parse(KeyOf(id).defaultText).value_or(T{});
}

bool Flag(SettingsStore& store, SettingId id, std::vector<std::string>* bad) {
  return ReadConverted<bool>(store, id, TableDefault<bool>(id, ParseFlag), ParseFlag, bad);
}

}  // namespace

Settings LoadSettings(SettingsStore& store, std::int32_t origMouseSpeed,
                      std::vector<std::string>* unconvertible) {
  Settings s;
  s.UseScrnSvr = Flag(store, SettingId::UseScrnSvr, unconvertible);
  s.StopARKeys = Flag(store, SettingId::StopARKeys, unconvertible);
  s.SetMouseSpd = Flag(store, SettingId::SetMouseSpd, unconvertible);
  s.MouseSpd = ReadConverted<std::int32_t>(store, SettingId::MouseSpd, origMouseSpeed, ParseInt32,
                                           unconvertible);
  s.Beep = Flag(store, SettingId::Beep, unconvertible);
  s.Flash = Flag(store, SettingId::Flash, unconvertible);
  s.StopMouseMove = Flag(store, SettingId::StopMouseMove, unconvertible);
  s.AOMAllowMouse = Flag(store, SettingId::AOMAllowMouse, unconvertible);
  s.ShowLckUnlSeq = Flag(store, SettingId::ShowLckUnlSeq, unconvertible);
  s.DontLockIf = Flag(store, SettingId::DontLockIf, unconvertible);
  s.DontLockIfOpt = static_cast<DontLockIfCondition>(ReadConverted<std::int16_t>(
      store, SettingId::DontLockIfOpt,
      TableDefault<std::int16_t>(SettingId::DontLockIfOpt, ParseInt16), ParseInt16, unconvertible));
  s.PassthruWCls = store.Get(SettingId::PassthruWCls);
  s.Timeout = ReadConverted<float>(store, SettingId::Timeout,
                                   TableDefault<float>(SettingId::Timeout, ParseSingle),
                                   ParseSingle, unconvertible);
  // Sequences and a hold that break the rules fall back to the defaults: a hand-edited value
  // must never leave the parent without a way to unlock.
  const std::string lockText = store.Get(SettingId::LockKeySeq);
  s.sequences = SequencesFromText(lockText, store.Get(SettingId::UnlockKeySeq));
  const std::int32_t hold = ReadInt32Setting(store, SettingId::UnlockHoldMs);
  s.UnlockHoldMs = hold >= 0 && hold <= static_cast<std::int32_t>(kLongestUnlockHoldMs)
                       ? static_cast<std::uint32_t>(hold)
                       : 0;
  // A hash that is not in the stored form turns the word off; the sequence still unlocks.
  const std::string word = store.Get(SettingId::UnlockWordHash);
  if (ParseWordHash(word)) s.UnlockWordHash = word;
  s.BlockTouch = Flag(store, SettingId::BlockTouch, unconvertible);
  s.DimWhenLocked = Flag(store, SettingId::DimWhenLocked, unconvertible);
  return s;
}

bool ReadFlagSetting(SettingsStore& store, SettingId id) { return Flag(store, id, nullptr); }

std::int16_t ReadInt16Setting(SettingsStore& store, SettingId id) {
  return ReadConverted<std::int16_t>(store, id, TableDefault<std::int16_t>(id, ParseInt16),
                                     ParseInt16, nullptr);
}

std::int32_t ReadInt32Setting(SettingsStore& store, SettingId id) {
  return ReadConverted<std::int32_t>(store, id, TableDefault<std::int32_t>(id, ParseInt32),
                                     ParseInt32, nullptr);
}

DontLockIfValueReader DontLockIfValuesIn(SettingsStore& store) {
  return [&store](DontLockIfValue value) {
    switch (value) {
      case DontLockIfValue::Day: return store.Get(SettingId::DontLockIfDay);
      case DontLockIfValue::StartTime: return store.Get(SettingId::DontLockIfStartTime);
      case DontLockIfValue::EndTime: return store.Get(SettingId::DontLockIfEndTime);
      case DontLockIfValue::Ip: return store.Get(SettingId::DontLockIfIP);
      case DontLockIfValue::IpMatch: return store.Get(SettingId::DontLockIfIPMatch);
      case DontLockIfValue::FileExists: return store.Get(SettingId::DontLockIfFileExists);
    }
    return std::string();
  };
}

}  // namespace hushkey
