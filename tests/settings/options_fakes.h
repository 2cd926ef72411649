// Fakes of the options dialog's ports, recording what the logic asked for.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tests/support/mode_code.h"
#include "hushkey/settings/options_model.h"
#include "tests/support/memory_settings_store.h"

namespace hushkey::test {

// A registry of keys named "HKCU\\path" / "HKLM\\path" (case-sensitive) with text values.
class FakeRegistry : public RegistryPort {
 public:
  std::map<std::string, std::map<std::string, std::string>> keys;
  std::set<std::string> noDeleteAccess;  // keys that do not open with deletion rights
  RegStatus createStatus = kRegSuccess, setStatus = kRegSuccess;
  RegStatus deleteValueStatus = kRegSuccess;  // used when the value exists
  std::vector<std::string> calls;
  std::map<RegKey, std::string> open;

  std::string Name(RegKey parent, const std::string& path) const {
    if (parent == kHkeyCurrentUser || parent == kHkeyLocalMachine) {
      return (parent == kHkeyCurrentUser ? "HKCU\\" : "HKLM\\") + path;
    }
    return open.at(parent) + "\\" + path;
  }
  std::vector<std::string> Subkeys(const std::string& name) const {
    std::vector<std::string> out;
    for (const auto& entry : keys) {
      const std::string& k = entry.first;
      if (k.rfind(name + "\\", 0) == 0 && k.find('\\', name.size() + 1) == std::string::npos) {
        out.push_back(k.substr(name.size() + 1));
      }
    }
    return out;
  }
  RegStatus CreateKeyForWrite(RegKey parent, const std::string& path, RegKey& key) override {
    calls.push_back("create " + Name(parent, path));
    if (createStatus == kRegSuccess) keys[Name(parent, path)];
    return createStatus == kRegSuccess ? Opened(Name(parent, path), key) : createStatus;
  }
  RegStatus OpenKeyForDelete(RegKey parent, const std::string& path, RegKey& key) override {
    const std::string name = Name(parent, path);
    calls.push_back("open " + name);
    if (!keys.count(name)) return kRegNotFound;
    return noDeleteAccess.count(name) ? 5 : Opened(name, key);
  }
  RegStatus SetStringValue(RegKey key, const std::string& name, const std::string& data) override {
    calls.push_back("set " + name + "=" + data);
    if (setStatus == kRegSuccess) keys[open.at(key)][name] = data;
    return setStatus;
  }
  RegStatus SetDwordValue(RegKey key, const std::string& name, std::uint32_t data) override {
    return SetStringValue(key, name, "dword:" + std::to_string(data));
  }
  RegStatus DeleteValue(RegKey key, const std::string& name) override {
    calls.push_back("delete value " + open.at(key) + " " + name);
    auto& values = keys[open.at(key)];
    if (!values.count(name)) return kRegNotFound;
    if (deleteValueStatus == kRegSuccess) values.erase(name);
    return deleteValueStatus;
  }
  std::optional<std::string> EnumSubkey(RegKey key, std::uint32_t index) override {
    const std::vector<std::string> names = Subkeys(open.at(key));
    if (index >= names.size()) return std::nullopt;
    return names[index];
  }
  RegStatus DeleteKey(RegKey parent, const std::string& path) override {
    const std::string name = Name(parent, path);
    calls.push_back("delete key " + name);
    if (!Subkeys(name).empty()) return 5;
    return keys.erase(name) ? kRegSuccess : kRegNotFound;
  }
  void CloseKey(RegKey key) override {
    calls.push_back("close " + open.at(key));
    open.erase(key);
  }

 private:
  RegStatus Opened(const std::string& name, RegKey& key) {
    key = nextHandle_++;
    open[key] = name;
    return kRegSuccess;
  }
  RegKey nextHandle_ = 100;
};

// A store that logs its writes ("Key=value") and can refuse chosen keys.
class LoggingStore : public MemorySettingsStore {
 public:
  std::vector<std::string> writes;
  std::set<std::string> refuse;
  bool Write(std::string_view key, std::string_view value) override {
    writes.push_back(std::string(key) + "=" + std::string(value));
    if (refuse.count(std::string(key))) return false;
    return MemorySettingsStore::Write(key, value);
  }
};

struct FakeDesktop : DesktopPort {
  std::vector<std::int32_t> speeds;  // every SetMouseSpeed, in order
  void Beep() override {}
  std::int32_t GetMouseSpeed() override { return 0; }
  void SetMouseSpeed(std::int32_t speed) override { speeds.push_back(speed); }
  void StartScreenSaver() override {}
  std::uint32_t TickCount() override { return 0; }
  std::string ForegroundWindowClass() override { return {}; }
  void WaitMilliseconds(std::int32_t, bool) override {}
  std::optional<std::uint32_t> AccessFlags(AccessFeature) override { return std::nullopt; }
  bool SetAccessFlags(AccessFeature, std::uint32_t) override { return false; }
  std::string AccessNote() override { return {}; }
  void SetAccessNote(const std::string&) override {}
  void CheckUnlockWord(const std::string&, const std::string&, std::function<void()>) override {}
};

struct FakeAddresses : AddressTablePort {
  AddressTableRead table{true, 0, {{10, 1, 2, 3}}};
  AddressTableRead ReadAddressTable() override { return table; }
};

struct FakePicker : FilePickerPort {
  std::string answer;
  std::vector<OpenFileRequest> requests;
  std::string PickOpenFile(const OpenFileRequest& request) override {
    requests.push_back(request);
    return answer;
  }
};

// Timers as "Fail on", "Pass off"; messages with "!" for the exclamation icon.
struct FakeOptionsView : OptionsViewPort {
  std::vector<std::string> events;
  void SetGateTimer(GateTimer timer, bool on) override {
    events.push_back(std::string(timer == GateTimer::Fail ? "Fail" : "Pass") +
                     (on ? " on" : " off"));
  }
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    events.push_back((icon == MessageIcon::Exclamation ? "! " : "msg ") + text);
  }
  void CloseDialog() override { events.push_back("close"); }
};

// Everything a dialog needs, with the program unlocked (mode 0), original mouse speed 10
// and the settings an empty store loads.
struct OptionsRig {
  AppState app;
  LoggingStore store;
  FakeAddresses addresses;
  FakeDesktop desktop;
  FakeRegistry registry;
  FakePicker picker;
  FakeOptionsView view;
  bool hashFails = false;
  // The figure as "odds Ctrl+Alt+U 500"; a word's hash as "hash:" and the word.
  OptionsModel model{OptionsPorts{app, store, addresses, desktop, registry, picker, view,
                                  [](const KeySequence& s, std::uint32_t ms) {
                                    return "odds " + KeySequenceText(s) + " " + std::to_string(ms);
                                  },
                                  [this](std::string_view word) {
                                    return hashFails ? std::nullopt
                                                     : std::optional("hash:" + std::string(word));
                                  }},
                     "C:\\Program Files\\Hushkey\\hushkey.exe", "REMINDER"};

  OptionsRig() {
    app.CurrentMode = ModeUnlocked;
    app.lock.OrigMouseSpeed = 10;
    app.settings = {
        false, true,  true, 10, true, true, false, false, true, false, DontLockIfCondition{-1},
        "",    10.0f, {},   0,  {}};
  }
  // Loads the dialog and opens its gate as Alt+Home does.
  OptionsModel& Open() {
    model.Form_Load();
    model.OpenEntryGate();
    model.timEntryReqPass_Timer();
    view.events.clear();
    return model;
  }
};

}  // namespace hushkey::test
