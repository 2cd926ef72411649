#include "hushkey/shell/startup.h"

#include <gtest/gtest.h>

#include "tests/shell/shell_fakes.h"
#include "tests/support/mode_code.h"

namespace hushkey {
namespace {

// A refused hook is said plainly, with the system's reason, and nothing stays installed:
// the program must not look as if it locked anything.
TEST(InstallInputHooks, KeyboardThenMouseAndAPlainMessageWhenRefused) {
  // Left out: the hook is installed; no message.
  struct Case {
    bool keyboardOk = true, mouseOk = true;
    Log calls;
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
    Log calls;
    FakeHooks hooks(calls);
    hooks.keyboardOk = c.keyboardOk;
    hooks.mouseOk = c.mouseOk;
    const std::string message = InstallInputHooks(hooks);
    EXPECT_EQ(calls, c.calls);
    if (!c.names) {
      EXPECT_EQ(message, "");
      continue;
    }
    EXPECT_EQ(message, std::string("Hushkey could not install its ") + c.names +
                           " filter, so it cannot lock the keyboard and mouse.\r\n\r\n"
                           "System error 5: Access is denied.\r\n\r\nHushkey will now close.");
  }
}

// The start request enters its mode by exactly one command; a hand-off taken while start-up
// let pending messages through (mode 2 here) is what is entered, not undone.
TEST(EnterStartMode, ExactlyOneCommandForTheRequest) {
  const struct {
    ModeCode request;
    Log log;
    ModeCode mode;
  } cases[] = {
      {-1, {}, 0},           {0, {"minimise"}, 0}, {2, {"lock"}, 2},     {20, {"lock"}, 20},
      {4, {"allowonly"}, 4}, {1, {"blockwin"}, 1}, {3, {"autolock"}, 3}, {-3, {}, 0},
  };
  for (const auto& c : cases) {
    Log log;
    LockMode mode = c.request;
    FakeCommands commands(log, mode);
    EnterStartMode(mode, commands);
    EXPECT_EQ(log, c.log) << c.request;
    EXPECT_EQ(mode, c.mode) << c.request;
  }
}

}  // namespace
}  // namespace hushkey
