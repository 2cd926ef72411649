// The hand-off text: any program on the desktop can write into the hidden text box.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/mode_code.h"
#include "hushkey/shell/single_instance.h"

namespace {

// Counts the commands the text makes the program run.
struct Commands final : hushkey::MainWindowCommandsPort {
  int run = 0;
  void cmdLockAll_Click() override { ++run; }
  void LockReturningToAutolock() override { ++run; }
  void cmdAutoLock_Click() override { ++run; }
  void cmdBlockWinCtrl_Click() override { ++run; }
  void cmdAllowOnly_Click() override { ++run; }
  void cmdCancel_Click() override { ++run; }
  void cmdExit_Click() override { ++run; }
  void mnuPopupRestore_Click() override { ++run; }
  void MinimiseToTray() override { ++run; }
  void ClearHandOffBox() override {}
  void AsOneCommand(const std::function<void()>& steps) override { steps(); }
};

bool IsCode(std::string_view text) {
  for (std::string_view code : {"-1", "-3", "0", "1", "2", "20", "3", "4"})
    if (text == code) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte picks the mode the program is in.
  using namespace hushkey;
  const LockMode modes[] = {ModeUnlocked, ModeBlockWinCtrl,      ModeLocked,    ModeLockedAuto,
                            ModeAutoLock, ModeAutoLockSuspended, ModeAllowOnly, ModeEntryReq};
  hushkey::LockMode mode = modes[data[0] % 8];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  const hushkey::HandOffDecision decision = hushkey::DecideHandOff(text, mode);
  Commands commands;
  hushkey::txtChangeModeHid_Change(text, mode, commands);
  // A text that is not exactly one of the codes changes nothing.
  if (!IsCode(text) && (decision.action != hushkey::HandOffAction::Ignore || commands.run != 0))
    std::abort();
  return 0;
}
