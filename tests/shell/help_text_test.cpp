#include "hushkey/shell/help_text.h"

#include <gtest/gtest.h>

#include <string>

namespace hushkey {
namespace {

const std::string kHead =
    "Lock the keyboard and mouse to stop those wandering little fingers.\r\n"
    "Can be set to autolock after a period of inactivity - stops little fingers once you have "
    "left the PC.\r\n"
    "Can block out windows control keys - switch out of the current application (provided the "
    "app is running fullscreen such as a game).\r\n"
    "Can slow down the mouse, stop autorepeat - assists young ones just getting used to a mouse "
    "and keyboard.\r\n"
    "\r\n"
    "You can press the required key sequences to enter lock/unlock mode at any time.\r\n"
    "\r\n";

const std::string kReminder =
    "This app currently has a harcoded Lock/Unlock key sequence\r\n"
    "(Alt-End/Alt-Home)\r\n"
    "\r\n"
    "You can press the sequence more than once to toggle in and out of autolock mode.\r\n"
    "\r\n"
    "You can hide this message in Options.";

const std::string kRuler =
    "----------------------------------------------------------------------------------------"
    "------------";

std::string Syntax(const std::string& name) {
  return "Commandline: " + name +
         "  [opt startupmode]\r\n"
         "  where startupmode can be one of the following:\r\n"
         "  /BlockWin  - block window control keys (has associated autorepeat keys and mouse "
         "control opts)\r\n"
         "  /Lock      - system locked (unlocking from this will not take you an autolock "
         "state)\r\n"
         "  /AutoLockL - autolock mode (initially set locked)\r\n"
         "  /AutoLockU - autolock mode (initially set unlocked)\r\n"
         "  /Unlocked  - unlocked, just hide in the system tray\r\n"
         "\r\n"
         "If this app is running in the system tray, you can run it again with a new "
         "startupmode\r\n"
         "and the running app will change modes. This allows you to run a game from a "
         "batchfile,\r\n"
         "changing modes before the game then resetting the mode after.";
}

TEST(HelpText, ByteForByteWithAndWithoutTheReminder) {
  ASSERT_EQ(kRuler.size(), 100u);
  EXPECT_EQ(KeySeqReminderText(), kReminder);
  EXPECT_EQ(HelpText(false, "Hushkey"), kHead + Syntax("Hushkey"));
  EXPECT_EQ(HelpText(true, "kidlock"),
            kHead + kRuler + "\r\n" + kReminder + "\r\n" + kRuler + "\r\n\r\n" + Syntax("kidlock"));
}

TEST(SyntaxWindowCaption, TitleVersionAndTenBlanks) {
  EXPECT_EQ(SyntaxWindowCaption(1, 97, 0), "Hushkey Syntax   v1.97          ");
  EXPECT_EQ(SyntaxWindowCaption(2, 5, 2), "Hushkey Syntax   v2.5b          ");
}

}  // namespace
}  // namespace hushkey
