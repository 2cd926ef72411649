#include "hushkey/shell/help_text.h"

#include "hushkey/engine/mode_table.h"
#include "hushkey/resources/version_text.h"
#include "hushkey/shell/app_title.h"

namespace hushkey {

namespace {

constexpr char kCrLf[] = "\r\n";

constexpr char kAbout[] =
    "Lock the keyboard and mouse to stop those wandering little fingers.\r\n"
    "Can be set to autolock after a period of inactivity - stops little fingers once you have "
    "left the PC.\r\n"
    "Can block out windows control keys - switch out of the current application (provided the "
    "app is running fullscreen such as a game).\r\n"
    "Can slow down the mouse, stop autorepeat - assists young ones just getting used to a mouse "
    "and keyboard.\r\n"
    "\r\n"
    "You can press the required key sequences to enter lock/unlock mode at any time.";

constexpr char kSwitchesHead[] =
    "  [opt startupmode]\r\n"
    "  where startupmode can be one of the following:\r\n";

constexpr char kSwitchesTail[] =
    "\r\n"
    "If this app is running in the system tray, you can run it again with a new startupmode\r\n"
    "and the running app will change modes. This allows you to run a game from a batchfile,\r\n"
    "changing modes before the game then resetting the mode after.";

}  // namespace

std::string KeySeqReminderText(const KeySequences& sequences) {
  const std::string which =
      sequences == KeySequences{}
          ? "This app currently has a harcoded Lock/Unlock key sequence\r\n(Alt-End/Alt-Home)\r\n"
          : "This app's Lock/Unlock key sequence is " + ReminderName(sequences.lock) + "/" +
                ReminderName(sequences.unlock) + "\r\n";
  return which +
         "\r\n"
         "You can press the sequence more than once to toggle in and out of autolock mode.\r\n"
         "\r\n"
         "You can hide this message in Options.";
}

std::string HelpText(bool showLckUnlSeq, std::string_view programName,
                     const KeySequences& sequences) {
  const std::string ruler(100, '-');
  std::string text = kAbout;
  if (showLckUnlSeq) {
    text += kCrLf;
    text += kCrLf + ruler + kCrLf;
    text += KeySeqReminderText(sequences);
    text += kCrLf + ruler;
  }
  text += kCrLf;
  text += kCrLf;
  text += "Commandline: ";
  text += programName;
  text += kSwitchesHead;
  for (const ModeRow& row : kModeTable) {
    if (row.helpLine.empty()) continue;
    text += "  ";
    text += row.helpLine;
    text += kCrLf;
  }
  text += kSwitchesTail;
  return text;
}

std::string SyntaxWindowCaption(int major, int minor, int revision) {
  return std::string(kAppTitle) + " Syntax   " + VersionLabel(major, minor, revision) +
         std::string(10, ' ');
}

}  // namespace hushkey
