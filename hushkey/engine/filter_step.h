// One input event through a filter, in the order the hooks keep: Alt state update,
// decision, cue, action, result. The Win32 hook procedures only read the event record and
// turn the result into a return value.
#pragma once

#include <cstdint>

#include "hushkey/engine/app_state.h"
#include "hushkey/engine/key_decision.h"
#include "hushkey/engine/ports.h"

namespace hushkey {

// Everything a filter reaches: the program state and the ports its side effects go through.
struct FilterContext {
  AppState& app;
  DesktopPort& desktop;
  InactivityTimerPort& timer;
  FilterActionPort& actions;
};

// The hook code that carries an input event; any other code passes untouched.
inline constexpr std::int32_t HookCodeAction = 0;

// The swallowed-input cue: the beep if Beep is on, then the flash timer if Flash is on.
void SignalSwallowedInput(FilterContext& ctx);

// Runs a filter action to completion (a mode command may pump messages and re-enter).
void RunFilterAction(FilterContext& ctx, FilterAction action);

// A keyboard event (message, virtual-key code, low-level flags, the event's time stamp in
// milliseconds). Returns true when the event is to be swallowed; false when it is to be
// handed to the next hook.
bool FilterKeyEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message,
                    std::uint32_t vkCode, std::uint32_t flags, std::uint32_t eventTime = 0);

// A mouse event (message, and the event's mouse data, whose high word tells the extra
// buttons apart). Returns true when the event is to be swallowed.
bool FilterMouseEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message,
                      std::uint32_t mouseData = 0);

// The mode the filters decide with: CurrentMode, or while a mode command is under way the
// stricter of it and the mode the command started from.
LockMode FilterMode(const AppState& app);

}  // namespace hushkey
