#include <gtest/gtest.h>

#include "hushkey/settings/file_picker.h"
#include "hushkey/settings/registry_routines.h"
#include "hushkey/settings/run_value.h"
#include "options_fakes.h"

namespace hushkey {
namespace {

using test::FakeRegistry;
using Calls = std::vector<std::string>;
const std::string kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

TEST(SetRegValue, CleansThePathAndWritesABlankForEmpty) {
  for (auto [path, key] : {std::pair{"  Software\\T\\ ", "HKCU\\Software\\T"},
                           {"Software\\T\\\\", "HKCU\\Software\\T\\"},
                           {" \\ ", ""},
                           {"", ""}}) {
    FakeRegistry reg;
    EXPECT_EQ(SetRegValue(reg, "", kHkeyCurrentUser, path, "V"), *key != 0) << path;
    const std::string k = key;
    EXPECT_EQ(reg.calls, k.empty() ? Calls{} : (Calls{"create " + k, "set V= ", "close " + k}))
        << path;
  }
  FakeRegistry reg;
  reg.setStatus = 5;
  EXPECT_FALSE(SetRegValue(reg, "x", kHkeyCurrentUser, "S\\T", "V"));
  EXPECT_EQ(reg.calls.back(), "close HKCU\\S\\T") << "the key is closed after a failed write";
  reg.setStatus = kRegSuccess;
  EXPECT_TRUE(SetRegValue(reg, "7", kHkeyCurrentUser, "S\\T", "N", false));
  EXPECT_FALSE(SetRegValue(reg, "seven", kHkeyCurrentUser, "S\\T", "N", false));
  reg.createStatus = 5;
  EXPECT_FALSE(SetRegValue(reg, "x", kHkeyCurrentUser, "S\\T", "V"));
}

TEST(DeleteRegEntry, ValueResults) {
  struct Row {
    bool keyExists, valueExists, denied;
    RegStatus deleteStatus;
    bool result;
  };
  for (Row r : {Row{false, false, false, 0, true},
                {true, false, false, 0, true},
                {true, true, false, 0, true},
                {true, true, true, 0, true},
                {true, true, false, 5, false}}) {
    FakeRegistry reg;
    const std::string key = "HKLM\\" + kRun;
    if (r.keyExists) reg.keys[key];
    if (r.valueExists) reg.keys[key]["Hushkey"] = "x";
    if (r.denied) reg.noDeleteAccess.insert(key);
    reg.deleteValueStatus = r.deleteStatus;
    EXPECT_EQ(DeleteRegEntry(reg, kHkeyLocalMachine, kRun + "\\", "Hushkey"), r.result);
    EXPECT_EQ(reg.open.size(), 0u) << "every opened key is closed";
  }
  FakeRegistry reg;
  EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, "  ", "Hushkey"));
  EXPECT_TRUE(reg.calls.empty());
}

TEST(DeleteRegEntry, KeyTreeSkipsWhatCannotBeDeleted) {
  FakeRegistry reg;
  for (const char* k : {"HKCU\\Software\\T", "HKCU\\Software\\T\\A", "HKCU\\Software\\T\\A\\B",
                        "HKCU\\Software\\T\\ x ", "HKCU\\Software\\T\\C", "HKCU\\Software\\T\\D"}) {
    reg.keys[k];
  }
  reg.noDeleteAccess.insert("HKCU\\Software\\T\\C");
  EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, "Software\\T", ""));
  EXPECT_EQ(reg.keys.size(), 2u);
  EXPECT_TRUE(reg.keys.count("HKCU\\Software\\T\\C"));
  reg.noDeleteAccess.clear();
  EXPECT_TRUE(DeleteRegEntry(reg, kHkeyCurrentUser, "Software\\T\\", ""));
  EXPECT_TRUE(reg.keys.empty());
  EXPECT_TRUE(reg.open.empty());
}

TEST(DeleteRegEntry, GuardRefusesSharedKeys) {
  for (const char* path :
       {"", "Software", "SOFTWARE\\", "Control Panel", "SOFTWARE\\Microsoft",
        "software\\microsoft\\windows", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\",
        "SOFTWARE\\\\Microsoft\\Windows\\CurrentVersion\\Run", "SOFTWARE\\Classes",
        "Software\\Classes\\CLSID", "Software\\Wow6432Node", "Software\\Acme\\TypeLib",
        "SYSTEM\\CurrentControlSet"}) {
    EXPECT_TRUE(IsProtectedKeyPath(path)) << path;
    FakeRegistry reg;
    reg.keys[std::string("HKCU\\") + path];
    EXPECT_FALSE(DeleteRegEntry(reg, kHkeyCurrentUser, path, "")) << path;
    EXPECT_TRUE(reg.calls.empty()) << path;
  }
  for (const char* path : {"Software\\Hushkey", "Software\\Hushkey\\Settings",
                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\Sub",
                           "SYSTEM\\CurrentControlSet\\Services\\HushkeySvc"}) {
    EXPECT_FALSE(IsProtectedKeyPath(path)) << path;
  }
}

TEST(RunValue, QuotedPathOneBlankAndTheSwitch) {
  struct Row {
    const char* path;
    int mode;
    const char* data;
  };
  for (Row r : {Row{"C:\\Tools\\hushkey.exe", 3, "\"C:\\Tools\\hushkey.exe\" /AutoLockU"},
                {"C:\\Program Files\\Hush key\\HUSHKEY.EXE", 0,
                 "\"C:\\Program Files\\Hush key\\HUSHKEY.exe\" /BlockWin"},
                {"D:\\Z\xC3\xBC\xE6\x97\xA5\\my.app.exe", 4,
                 "\"D:\\Z\xC3\xBC\xE6\x97\xA5\\my.app.exe\" /Unlocked"},
                {"C:\\hushkey.exe", 2, "\"C:\\hushkey.exe\" /AutoLockL"},
                {"C:\\Tools\\hushkey.exe", 9, "\"C:\\Tools\\hushkey.exe\" /AutoLockU"}}) {
    EXPECT_EQ(RunValueData(r.path, r.mode), r.data);
  }
}

TEST(RunValue, SetReplacesAndClearAlwaysTriesBothRoots) {
  FakeRegistry reg;
  EXPECT_EQ(ApplyStartWithWindows(reg, true, 1, "C:\\A B\\hushkey.exe"), std::nullopt);
  EXPECT_EQ(ApplyStartWithWindows(reg, true, 4, "C:\\A B\\hushkey.exe"), std::nullopt);
  EXPECT_EQ(
      reg.keys["HKCU\\" + kRun],
      (std::map<std::string, std::string>{{"Hushkey", "\"C:\\A B\\hushkey.exe\" /Unlocked"}}));

  reg.calls.clear();
  reg.keys["HKLM\\" + kRun]["Hushkey"] = "x";
  reg.deleteValueStatus = 5;  // the machine's value cannot be deleted
  EXPECT_EQ(ApplyStartWithWindows(reg, false, 1, ""), kClearStartWithWindowsFailed);
  EXPECT_EQ(reg.calls, (Calls{"open HKLM\\" + kRun, "delete value HKLM\\" + kRun + " Hushkey",
                              "close HKLM\\" + kRun, "open HKCU\\" + kRun,
                              "delete value HKCU\\" + kRun + " Hushkey", "close HKCU\\" + kRun}));
  reg.deleteValueStatus = kRegSuccess;
  EXPECT_EQ(ApplyStartWithWindows(reg, false, 1, ""), std::nullopt);
  EXPECT_TRUE(reg.keys["HKCU\\" + kRun].empty());
  reg.createStatus = 5;
  EXPECT_EQ(ApplyStartWithWindows(reg, true, 1, "C:\\h.exe"), kSetStartWithWindowsFailed);
}

TEST(FilePicker, RequestForEveryExistingFile) {
  const OpenFileRequest r = FileExistsPickRequest();
  EXPECT_EQ(r.filter, std::string(" (*.*)\0*.*\0", 11));
  EXPECT_EQ(r.flags, 0x1004u);
  EXPECT_EQ(r.title + r.initialDir + r.initialFile, "Open");
  const std::string longName = std::string(254, 'a') + "\xC3\xA9\xC3\xA9";  // 256 characters
  const OpenFileRequest named = MakeOpenFileRequest("C:\\", "Text", "txt", longName, "Pick");
  EXPECT_EQ(named.filter, std::string("Text (*.txt)\0*.txt\0", 19));
  EXPECT_EQ(named.initialFile, std::string(254, 'a') + "\xC3\xA9");
  EXPECT_EQ(FieldAfterPick("old", ""), "old");
  EXPECT_EQ(FieldAfterPick("old", "C:\\a b.txt"), "C:\\a b.txt");
}

}  // namespace
}  // namespace hushkey
