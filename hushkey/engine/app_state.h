// The program-wide state, owned by the one application object: the current mode, the
// filters' lock state and the in-memory settings. Touched only on the UI thread.
#pragma once

#include <optional>

#include "hushkey/engine/lock_mode.h"
#include "hushkey/engine/settings_record.h"

namespace hushkey {

struct AppState {
  LockMode CurrentMode = StartRequestShow;
  // While a mode command runs, the mode it started from (see FilterMode).
  std::optional<LockMode> ModeBeforeCommand;
  LockState lock;
  Settings settings;
};

}  // namespace hushkey
