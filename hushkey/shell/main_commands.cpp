#include "hushkey/shell/main_commands.h"

#include "hushkey/engine/mode_table.h"

namespace hushkey {

bool RunModeCommand(LockMode code, MainWindowCommandsPort& commands) {
  const ModeRow* row = RowOf(code);
  switch (row ? row->command : ModeCommand::None) {
    case ModeCommand::None: return false;
    case ModeCommand::BlockWinCtrl: commands.cmdBlockWinCtrl_Click(); return true;
    case ModeCommand::LockAll: commands.cmdLockAll_Click(); return true;
    case ModeCommand::LockReturningToAutolock: commands.LockReturningToAutolock(); return true;
    case ModeCommand::AutoLock: commands.cmdAutoLock_Click(); return true;
    case ModeCommand::AllowOnly: commands.cmdAllowOnly_Click(); return true;
  }
  return false;
}

}  // namespace hushkey
