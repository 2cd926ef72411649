#include "hushkey/shell/main_commands.h"

namespace hushkey {

bool RunModeCommand(LockMode code, MainWindowCommandsPort& commands) {
  switch (code) {
    case ModeBlockWinCtrl: commands.cmdBlockWinCtrl_Click(); return true;
    case ModeLocked: commands.cmdLockAll_Click(); return true;
    case ModeAutoLock: commands.cmdAutoLock_Click(); return true;
    case ModeAllowOnly: commands.cmdAllowOnly_Click(); return true;
    case ModeLockedAuto: commands.LockReturningToAutolock(); return true;
    default: return false;
  }
}

}  // namespace hushkey
