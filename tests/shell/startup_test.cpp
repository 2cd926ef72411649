#include "hushkey/shell/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace hushkey {
namespace {

struct FakeHooks final : InputHooksPort {
  bool keyboardOk = true, mouseOk = true;
  std::vector<std::string> calls;
  bool InstallKeyboardHook() override {
    calls.push_back("install keyboard");
    return keyboardOk;
  }
  bool InstallMouseHook() override {
    calls.push_back("install mouse");
    return mouseOk;
  }
  void RemoveKeyboardHook() override { calls.push_back("remove keyboard"); }
  void RemoveMouseHook() override { calls.push_back("remove mouse"); }
  std::string LastErrorText() override { return "System error 5: Access is denied."; }
};

// A refused hook is said plainly, with the system's reason, and nothing stays installed:
// the program must not look as if it locked anything.
TEST(InstallInputHooks, KeyboardThenMouseAndAPlainMessageWhenRefused) {
  // Left out: the hook is installed; no message.
  struct Case {
    bool keyboardOk = true, mouseOk = true;
    std::vector<std::string> calls;
    const char* names = nullptr;  // the hook the message names
  };
  const Case cases[] = {
      {.calls = {"install keyboard", "install mouse"}},
      {.keyboardOk = false, .calls = {"install keyboard"}, .names = "keyboard"},
      {.mouseOk = false,
       .calls = {"install keyboard", "install mouse", "remove keyboard"},
       .names = "mouse"},
  };
  for (const Case& c : cases) {
    FakeHooks hooks;
    hooks.keyboardOk = c.keyboardOk;
    hooks.mouseOk = c.mouseOk;
    const std::string message = InstallInputHooks(hooks);
    EXPECT_EQ(hooks.calls, c.calls);
    if (!c.names) {
      EXPECT_EQ(message, "");
      continue;
    }
    EXPECT_EQ(message, std::string("Hushkey could not install its ") + c.names +
                           " filter, so it cannot lock the keyboard and mouse.\r\n\r\n"
                           "System error 5: Access is denied.\r\n\r\nHushkey will now close.");
  }
}

}  // namespace
}  // namespace hushkey
