#include "hushkey/engine/filter_step.h"

#include "hushkey/engine/inactivity_timer.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/mouse_filter.h"
#include "hushkey/engine/mouse_speed.h"

namespace hushkey {

void SignalSwallowedInput(FilterContext& ctx) {
  if (ctx.app.settings.Beep) ctx.desktop.Beep();
  if (ctx.app.settings.Flash) ctx.actions.EnableFlashTimer();
}

void RunFilterAction(FilterContext& ctx, FilterAction action) {
  switch (action) {
    case FilterAction::None: return;
    case FilterAction::LockAll: ctx.actions.LockAll(); return;
    case FilterAction::AutoLock: ctx.actions.cmdAutoLock_Click(); return;
    case FilterAction::Cancel: ctx.actions.cmdCancel_Click(); return;
    case FilterAction::RestoreSpeedThenLockAll:
      if (ctx.app.settings.SetMouseSpd) RestoreMouseSpeed(ctx.desktop, ctx.app.lock);
      ctx.actions.LockAll();
      return;
    case FilterAction::RestoreSpeedThenAutoLock:
      if (ctx.app.settings.SetMouseSpd) RestoreMouseSpeed(ctx.desktop, ctx.app.lock);
      ctx.actions.cmdAutoLock_Click();
      return;
    case FilterAction::RestartTimer: RestartInactivityTimer(ctx.timer); return;
    case FilterAction::OpenEntryGate: ctx.actions.OpenEntryGate(); return;
  }
}

bool FilterKeyEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message,
                    std::uint32_t vkCode, std::uint32_t flags, std::uint32_t eventTime) {
  if (code != HookCodeAction || !IsKeyboardMessage(message)) return false;
  LockState& lock = ctx.app.lock;
  const bool keyDown = (flags & KeyFlagUp) == 0;
  UpdateAltState(lock, vkCode, keyDown, eventTime);
  // Only a Home or End key-down can complete a sequence: there a remembered Alt key must
  // still be held.
  if (keyDown && (vkCode == VkHome || vkCode == VkEnd)) ExpireAltState(lock, eventTime);

  const KeyOutcome out = DecideKey(
      ctx.app.CurrentMode, vkCode, keyDown, lock.LeftAltDown || lock.RightAltDown, lock.LastKeyDown,
      ctx.app.settings,
      [&ctx] { return ctx.desktop.ForegroundWindowClass() == ctx.app.settings.PassthruWCls; });
  lock.LastKeyDown = out.LastKeyDown;

  if (out.decision.Cue) SignalSwallowedInput(ctx);
  RunFilterAction(ctx, out.decision.Action);
  return out.decision.Swallow;
}

bool FilterMouseEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message) {
  if (code != HookCodeAction) return false;
  const KeyDecision d = DecideMouse(ctx.app.CurrentMode, message, ctx.app.settings, [&ctx] {
    return TicksSince(ctx.app.lock.LastMouseCueTick, ctx.desktop.TickCount());
  });
  if (d.Cue) {
    SignalSwallowedInput(ctx);
    if (ClassifyMouseMessage(message) == MouseClass::Move)
      ctx.app.lock.LastMouseCueTick = ctx.desktop.TickCount();
  }
  RunFilterAction(ctx, d.Action);
  return d.Swallow;
}

}  // namespace hushkey
