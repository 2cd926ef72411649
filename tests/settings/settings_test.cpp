#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/setting_keys.h"
#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/time_text.h"
#include "tests/support/memory_settings_store.h"

namespace hushkey {
namespace {

TEST(LoadSettings, EmptyStoreLoadsDocumentedDefaults) {
  MemorySettingsStore store;
  std::vector<std::string> bad;
  const Settings s = LoadSettings(store, 7, &bad);

  Settings want;
  want.UseScrnSvr = false;
  want.StopARKeys = true;
  want.SetMouseSpd = true;
  want.MouseSpd = 7;
  want.Beep = true;
  want.Flash = true;
  want.StopMouseMove = false;
  want.AOMAllowMouse = false;
  want.ShowLckUnlSeq = true;
  want.DontLockIf = false;
  want.DontLockIfOpt = DontLockIfCondition{-1};
  want.PassthruWCls = "";
  want.Timeout = 10.0f;
  want.BlockTouch = true;
  EXPECT_EQ(s, want);
  EXPECT_TRUE(bad.empty());
  EXPECT_EQ(store.Size(), 0u) << "loading must not create keys";
}

TEST(LoadSettings, ReadsKeysInDocumentedOrder) {
  MemorySettingsStore store;
  LoadSettings(store, 10);
  const std::vector<std::string> want = {
      "UseScrnSvr",    "StopARKeys",     "SetMouseSpd",   "MouseSpd",      "Beep",
      "Flash",         "StopMouseMove",  "AOMAllowMouse", "ShowLckUnlSeq", "DontLockIf",
      "DontLockIfOpt", "PassthruWCls",   "Timeout",       "LockKeySeq",    "UnlockKeySeq",
      "UnlockHoldMs",  "UnlockWordHash", "BlockTouch",    "DimWhenLocked"};
  EXPECT_EQ(store.Reads(), want);
}

TEST(LoadSettings, StoredValuesReplaceDefaults) {
  MemorySettingsStore store;
  store.Write("UseScrnSvr", "1");
  store.Write("StopARKeys", "0");
  store.Write("SetMouseSpd", "2");  // any number other than 0 is on
  store.Write("MouseSpd", "15");
  store.Write("Beep", "0");
  store.Write("Flash", "-1");
  store.Write("StopMouseMove", "1");
  store.Write("AOMAllowMouse", "1");
  store.Write("ShowLckUnlSeq", "0");
  store.Write("DontLockIf", "1");
  store.Write("DontLockIfOpt", "2");
  store.Write("PassthruWCls", " TSSHELLWND ");  // text as stored, blanks kept
  store.Write("Timeout", "1.5");
  store.Write("LockKeySeq", "Ctrl+Alt+L");
  store.Write("UnlockKeySeq", "ctrl+alt+u");
  store.Write("UnlockHoldMs", "1000");
  const std::string hash =
      "PBKDF2-SHA256$20000$00112233445566778899aabbccddeeff$" + std::string(64, 'a');
  store.Write("UnlockWordHash", hash);
  const Settings s = LoadSettings(store, 10);
  EXPECT_EQ(s.sequences, (KeySequences{{kModCtrl | kModAlt, 'L'}, {kModCtrl | kModAlt, 'U'}}));
  EXPECT_EQ(s.UnlockHoldMs, 1000u);
  EXPECT_EQ(s.UnlockWordHash, hash);
  EXPECT_TRUE(s.UseScrnSvr);
  EXPECT_FALSE(s.StopARKeys);
  EXPECT_TRUE(s.SetMouseSpd);
  EXPECT_EQ(s.MouseSpd, 15);
  EXPECT_FALSE(s.Beep);
  EXPECT_TRUE(s.Flash);
  EXPECT_TRUE(s.StopMouseMove);
  EXPECT_TRUE(s.AOMAllowMouse);
  EXPECT_FALSE(s.ShowLckUnlSeq);
  EXPECT_TRUE(s.DontLockIf);
  EXPECT_EQ(s.DontLockIfOpt, DontLockIfCondition::FileExists);
  EXPECT_EQ(s.PassthruWCls, " TSSHELLWND ");
  EXPECT_FLOAT_EQ(s.Timeout, 1.5f);
}

TEST(LoadSettings, UnconvertibleValueFallsBackToItsDefaultOnly) {
  struct Case {
    const char* key;
    const char* text;
  };
  const Case cases[] = {
      {"Beep", "True"},           {"StopARKeys", "on"},   {"UseScrnSvr", ""},
      {"MouseSpd", "fast"},       {"MouseSpd", "1.5"},    {"MouseSpd", "99999999999"},
      {"DontLockIfOpt", "40000"}, {"DontLockIfOpt", "x"}, {"Timeout", "5 min"},
      {"Timeout", "1,5"},         {"Timeout", ""},        {"Timeout", "1e3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "=\"" + c.text + "\"");
    MemorySettingsStore store;
    store.Write(c.key, c.text);
    store.Write("Flash", "0");  // a good neighbour still loads
    std::vector<std::string> bad;
    const Settings s = LoadSettings(store, 4, &bad);
    Settings defaults = LoadSettings(*std::make_unique<MemorySettingsStore>(), 4);
    defaults.Flash = false;
    EXPECT_EQ(s, defaults);
    EXPECT_EQ(bad, std::vector<std::string>{c.key});
  }
}

// A hand-edited value that could lock the parent out (or is no value at all) is ignored:
// the defaults hold, and Alt+Home still unlocks.
TEST(LoadSettings, HandEditedUnlockValuesThatBreakTheRulesAreIgnored) {
  const std::pair<const char*, const char*> cases[] = {
      {"UnlockHoldMs", "99999999"},
      {"UnlockHoldMs", "-5"},
      {"UnlockHoldMs", "x"},
      {"LockKeySeq", "Ctrl+Alt+Delete"},
      {"UnlockKeySeq", "Alt+Tab"},
      {"UnlockKeySeq", "Alt+End"},
      {"UnlockKeySeq", "U"},
      {"UnlockWordHash", "letmein"},
      {"UnlockWordHash", "PBKDF2-SHA256$1$00$00"},
  };
  const Settings defaults = LoadSettings(*std::make_unique<MemorySettingsStore>(), 4);
  for (const auto& [key, text] : cases) {
    MemorySettingsStore store;
    store.Write(key, text);
    EXPECT_EQ(LoadSettings(store, 4), defaults) << key << "=" << text;
  }
}

TEST(SettingsStore, MissingDiffersFromEmptyText) {
  MemorySettingsStore store;
  EXPECT_EQ(store.Get(SettingId::DontLockIfStartTime), "08:00");
  store.Set(SettingId::DontLockIfStartTime, "");
  EXPECT_EQ(store.Get(SettingId::DontLockIfStartTime), "");
  EXPECT_EQ(store.Get("Nothing", "dflt"), "dflt");
  EXPECT_FALSE(store.Contains("Nothing"));
}

TEST(KeyTable, NamesUniqueAndDefaultsReadable) {
  std::set<std::string_view> names;
  for (const SettingKey& k : kSettingKeys) EXPECT_TRUE(names.insert(k.key).second) << k.key;
  MemorySettingsStore empty;
  std::vector<std::string> unconvertible;
  LoadSettings(empty, 10, &unconvertible);
  EXPECT_TRUE(unconvertible.empty()) << "every default of the in-memory settings converts";
  for (SettingId id : {SettingId::DontLockIfStartTime, SettingId::DontLockIfEndTime})
    EXPECT_TRUE(ParseTimeOfDay(KeyOf(id).defaultText));
  EXPECT_TRUE(ParseFlag(KeyOf(SettingId::DontLockIfIPMatch).defaultText));
  EXPECT_TRUE(ParseInt32(KeyOf(SettingId::StartWithWin).defaultText));
  EXPECT_EQ(KeyOf(SettingId::DontLockIfDay).defaultText, "XXXXX  ");
}

TEST(TextConversions, Numbers) {
  struct Case {
    const char* text;
    std::optional<double> want;
  };
  const Case cases[] = {
      {"10", 10},  {"1.5", 1.5},    {"-1", -1},    {"+2", 2},     {" 15\t", 15}, {".5", 0.5},
      {"2.", 2},   {"-.25", -0.25}, {"007", 7},    {"", {}},      {" ", {}},     {".", {}},
      {"-", {}},   {"1.2.3", {}},   {"1,5", {}},   {"1e3", {}},   {"0x10", {}},  {"&H10", {}},
      {"inf", {}}, {"nan", {}},     {"5 min", {}}, {"1 000", {}}, {"--1", {}},   {"True", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.text + "\"");
    EXPECT_EQ(ParseNumber(c.text), c.want);
  }
}

TEST(TextConversions, WholeNumbersAndRanges) {
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt32("2147483648"), std::nullopt);
  EXPECT_EQ(ParseInt32("99999999999999999999999"), std::nullopt);
  EXPECT_EQ(ParseInt32("1.5"), std::nullopt);
  EXPECT_EQ(ParseInt32("20"), 20);
  EXPECT_EQ(ParseInt16("-1"), -1);
  EXPECT_EQ(ParseInt16("32767"), 32767);
  EXPECT_EQ(ParseInt16("32768"), std::nullopt);
  EXPECT_EQ(ParseInt16("-32769"), std::nullopt);
  EXPECT_EQ(ParseSingle("1.5"), 1.5f);
  EXPECT_EQ(ParseSingle("1" + std::string(40, '0')), std::nullopt);  // beyond float range
}

TEST(TextConversions, FlagsAreNumbers) {
  EXPECT_EQ(ParseFlag("1"), true);
  EXPECT_EQ(ParseFlag("0"), false);
  EXPECT_EQ(ParseFlag("2"), true);
  EXPECT_EQ(ParseFlag("-1"), true);
  EXPECT_EQ(ParseFlag("0.0"), false);
  EXPECT_EQ(ParseFlag("True"), std::nullopt);
  EXPECT_EQ(ParseFlag("yes"), std::nullopt);
  EXPECT_EQ(ParseFlag(""), std::nullopt);
}

TEST(TimeText, AcceptedForms) {
  struct Case {
    const char* text;
    int h, m, s;
  };
  const Case cases[] = {
      {"08:00", 8, 0, 0},          {"8:00", 8, 0, 0},        {"17:00", 17, 0, 0},
      {"0:00", 0, 0, 0},           {"23:59:59", 23, 59, 59}, {"06:00:01", 6, 0, 1},
      {" 22:00 ", 22, 0, 0},       {"8:00 PM", 20, 0, 0},    {"08:00:00 am", 8, 0, 0},
      {"12:00 AM", 0, 0, 0},       {"12:30 am", 0, 30, 0},   {"12:00 PM", 12, 0, 0},
      {"11:59:59 PM", 23, 59, 59}, {"8:00PM", 20, 0, 0},     {"8 pm", 20, 0, 0},
      {"1 AM", 1, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseTimeOfDay(c.text), c.h * 3600 + c.m * 60 + c.s);
  }
}

TEST(TimeText, RejectedForms) {
  const char* cases[] = {"",      " ",     "8",        "800",     "24:00",      "23:60",
                         "8:5",   "8:005", "08:00:60", "8:00:0",  "13:00 PM",   "0:30 AM",
                         "00 AM", "AM",    "noon",     "8.00",    "8:00 XM",    "-1:00",
                         "8:00:", ":30",   "08:00x",   "1:2:3:4", "2024-01-01", "8:00 P M"};
  for (const char* c : cases) {
    SCOPED_TRACE(std::string("\"") + c + "\"");
    EXPECT_EQ(ParseTimeOfDay(c), std::nullopt);
  }
}

}  // namespace
}  // namespace hushkey
