#include "hushkey/shell/command_line.h"

#include "tests/support/mode_code.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

TEST(CommandLine, ArgumentTextIsWhatFollowsTheNameAndOneBlank) {
  const char* cases[][2] = {
      {R"("C:\Program Files\Hushkey\hushkey.exe" /Lock)", "/Lock"},
      {"hushkey.exe\t/lock", "/lock"},
      {"hushkey.exe  /lock ", " /lock "},
      {R"("C:\a b\hushkey.exe")", ""},
      {R"("C:\a b\hushkey.exe)", ""},  // unclosed quote: all of it is the name
  };
  for (const auto& c : cases) EXPECT_EQ(ArgumentText(c[0]), c[1]) << c[0];
  EXPECT_EQ(ProgramFileTitle(R"(C:\tools.v2\Kid.Lock.exe)"), "Kid.Lock");
  EXPECT_EQ(ProgramFileTitle(R"(C:\tools.v2\kidlock)"), "kidlock");
}

TEST(CommandLine, SwitchIsLowerCasedAndComparedWhole) {
  const struct {
    const char* text;
    ModeCode code;
  } cases[] = {
      {"/BlockWin", 1},        {"/LOCK", 2},      {"/Locked", 2}, {"/autolockl", 20},
      {"/AutoLockU", 3},       {"/allowonly", 4}, {"/unlock", 0}, {"/Unlocked", 0},
      {"/show", -1},           {"/unload", -3},   {"", -1},       {"/lock ", -1},
      {"/lock /blockwin", -1}, {"\"/lock\"", -1}, {"/locke", -1},
  };
  for (const auto& c : cases) EXPECT_EQ(StartRequestForSwitch(c.text), c.code) << c.text;
}

}  // namespace
}  // namespace hushkey
