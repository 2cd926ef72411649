// Loading the fifteen in-memory settings from the store.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/engine/settings_record.h"
#include "hushkey/settings/settings_store.h"

namespace hushkey {

// Reads the in-memory keys in this order, each with its table default:
// UseScrnSvr, StopARKeys, SetMouseSpd; MouseSpd (default origMouseSpeed); Beep, Flash,
// StopMouseMove, AOMAllowMouse, ShowLckUnlSeq, DontLockIf; DontLockIfOpt; PassthruWCls;
// Timeout; BlockTouch, DimWhenLocked. Returns a complete new set; the caller replaces its settings
// with it in one assignment.
//
// A stored value that does not convert strictly (text_conversions.h) does not stop the
// load: that key takes its default, and its name is appended to *unconvertible when given.
Settings LoadSettings(SettingsStore& store, std::int32_t origMouseSpeed,
                      std::vector<std::string>* unconvertible = nullptr);

// Single-key readers with the table default (also used by the options dialog). A missing
// key or text that does not convert gives the default.
bool ReadFlagSetting(SettingsStore& store, SettingId id);
std::int16_t ReadInt16Setting(SettingsStore& store, SettingId id);
std::int32_t ReadInt32Setting(SettingsStore& store, SettingId id);

// The don't-lock-if check's values, read from the store (with the key table's defaults)
// each time they are asked for. The store must outlive the reader.
DontLockIfValueReader DontLockIfValuesIn(SettingsStore& store);

}  // namespace hushkey
