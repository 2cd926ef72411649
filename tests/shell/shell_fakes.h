// Fakes of the shell's ports that write one event log.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/support/mode_code.h"
#include "hushkey/shell/main_commands.h"
#include "hushkey/shell/single_instance.h"
#include "hushkey/shell/startup.h"

namespace hushkey {

using Log = std::vector<std::string>;

// The main window: each mode command moves the mode as the real one does.
struct FakeCommands : MainWindowCommandsPort {
  FakeCommands(Log& log, LockMode& mode) : log(log), mode(mode) {}
  void cmdLockAll_Click() override { Enter("lock", ModeLocked); }
  void cmdAutoLock_Click() override { Enter("autolock", ModeAutoLock); }
  void cmdBlockWinCtrl_Click() override { Enter("blockwin", ModeBlockWinCtrl); }
  void cmdAllowOnly_Click() override { Enter("allowonly", ModeAllowOnly); }
  void cmdCancel_Click() override { Enter("cancel", ModeUnlocked); }
  void cmdExit_Click() override { log.push_back("exit"); }
  void mnuPopupRestore_Click() override { log.push_back("restore"); }
  void MinimiseToTray() override { log.push_back("minimise"); }
  void ClearHandOffBox() override { log.push_back("clear"); }
  void LockReturningToAutolock() override { Enter("lock", ModeLockedAuto); }
  void AsOneCommand(const std::function<void()>& steps) override { steps(); }
  void Enter(const char* event, LockMode to) {
    log.push_back(event);
    mode = to;
  }
  Log& log;
  LockMode& mode;
};

struct FakeHooks : InputHooksPort {
  explicit FakeHooks(Log& log) : log(log) {}
  bool InstallKeyboardHook() override { return log.push_back("install keyboard"), keyboardOk; }
  bool InstallMouseHook() override { return log.push_back("install mouse"), mouseOk; }
  void RemoveKeyboardHook() override { log.push_back("remove keyboard"); }
  void RemoveMouseHook() override { log.push_back("remove mouse"); }
  std::string LastErrorText() override { return "System error 5: Access is denied."; }
  Log& log;
  bool keyboardOk = true, mouseOk = true;
};

// A window tree; `topLevel` lists the windows titled "Hushkey " in Z-order.
struct FakeWindows : HandOffSenderPort {
  explicit FakeWindows(Log& log) : log(log) {}
  void Add(WindowRef p, WindowRef w, std::string cls) {
    children[p].push_back(w);
    parent[w] = p;
    classes[w] = std::move(cls);
  }
  WindowRef FirstChild(WindowRef w) override {
    return children[w].empty() ? 0 : children[w].front();
  }
  WindowRef NextSibling(WindowRef w) override { return After(children[parent[w]], w); }
  std::string ClassName(WindowRef w) override { return classes[w]; }
  WindowRef FindTopLevelWindow(const std::string& title, WindowRef after) override {
    if (title != "Hushkey ") return 0;
    return after == 0 ? (topLevel.empty() ? 0 : topLevel.front()) : After(topLevel, after);
  }
  bool IsOwnWindow(WindowRef w) override { return w == own; }
  void SendText(WindowRef w, const std::string& text) override {
    log.push_back("send " + text + " to " + std::to_string(w));
  }
  void Pause(std::uint32_t) override {
    ++pauses;
    if (onPause) onPause(pauses);
  }
  int pauses = 0;
  std::function<void(int)> onPause;
  static WindowRef After(const std::vector<WindowRef>& list, WindowRef w) {
    for (std::size_t i = 0; i + 1 < list.size(); ++i)
      if (list[i] == w) return list[i + 1];
    return 0;
  }
  Log& log;
  std::map<WindowRef, std::vector<WindowRef>> children;
  std::map<WindowRef, WindowRef> parent;
  std::map<WindowRef, std::string> classes;
  std::vector<WindowRef> topLevel;
  WindowRef own = 0;
};

}  // namespace hushkey
