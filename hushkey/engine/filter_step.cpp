#include "hushkey/engine/filter_step.h"

#include "hushkey/engine/inactivity_timer.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/mode_table.h"
#include "hushkey/engine/mouse_filter.h"
#include "hushkey/engine/mouse_speed.h"
#include "hushkey/engine/unlock_word.h"

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

LockMode FilterMode(const AppState& app) {
  if (!app.ModeBeforeCommand) return app.CurrentMode;
  const LockMode before = *app.ModeBeforeCommand;
  return Strictness(before) > Strictness(app.CurrentMode) ? before : app.CurrentMode;
}

namespace {

bool ForegroundIsPassthru(FilterContext& ctx) {
  return ctx.desktop.ForegroundWindowClass() == ctx.app.settings.PassthruWCls;
}

bool IsSequenceAction(FilterAction a) {
  return a != FilterAction::None && a != FilterAction::RestartTimer;
}

// A sequence completed: its command runs now, or, while a mode command is under way, once
// that has finished, decided again against the mode it left (Alt+Home during a hand-off's
// lock returning to autolock returns to autolock).
void RunSequence(FilterContext& ctx, FilterAction action, std::uint32_t vk, std::uint8_t mods) {
  if (!ctx.actions.CommandRunning()) {
    RunFilterAction(ctx, action);
    return;
  }
  ctx.actions.RunWhenIdle([&ctx, vk, mods] {
    const KeyOutcome again = DecideKey(ctx.app.CurrentMode, vk, true, mods, 0, ctx.app.settings,
                                       [&ctx] { return ForegroundIsPassthru(ctx); });
    if (IsSequenceAction(again.decision.Action)) RunFilterAction(ctx, again.decision.Action);
  });
}

// Keeps which passed presses still wait for their release, and lets that release pass.
// A swallowed key-down of a key held since before (its autorepeat) keeps it; one that
// comes after a pause longer than any repeat is a new press whose release was missed.
bool KeepReleasesOfPassedKeys(LockState& lock, std::uint32_t vk, bool keyDown,
                              std::uint32_t eventTime, bool swallow) {
  if (vk > 255) return swallow;
  if (keyDown) {
    if (!swallow ||
        (lock.KeysPassedDown.test(vk) && eventTime - lock.KeyDownTime[vk] <= AltHeldFreshMs)) {
      lock.KeysPassedDown.set(vk);
      lock.KeyDownTime[vk] = eventTime;
    } else {
      lock.KeysPassedDown.reset(vk);
    }
    return swallow;
  }
  if (!lock.KeysPassedDown.test(vk)) return swallow;
  lock.KeysPassedDown.reset(vk);
  return false;
}

// The unlock word: letters and digits typed where keys are swallowed (allow-only and the
// locked modes), then Enter; it does what the unlock sequence would do in the mode.
void TypeUnlockWord(FilterContext& ctx, std::uint32_t vk, bool keyDown, std::uint8_t mods) {
  constexpr std::uint32_t kVkBack = 8, kVkReturn = 13;
  std::string& typed = ctx.app.lock.WordTyped;
  if (ctx.app.settings.UnlockWordHash.empty() ||
      Strictness(FilterMode(ctx.app)) < Strictness(ModeAllowOnly)) {
    typed.clear();
    return;
  }
  if (!keyDown) return;
  if (vk == kVkReturn) {
    if (typed.size() >= kShortestUnlockWord) {
      ctx.desktop.CheckUnlockWord(ctx.app.settings.UnlockWordHash, typed, [&ctx] {
        const KeySequence& unlock = ctx.app.settings.sequences.unlock;
        const KeyOutcome as = DecideKey(ctx.app.CurrentMode, unlock.vk, true, unlock.modifiers, 0,
                                        ctx.app.settings, false);
        if (IsSequenceAction(as.decision.Action))
          RunSequence(ctx, as.decision.Action, unlock.vk, unlock.modifiers);
      });
    }
    typed.clear();
  } else if (vk == kVkBack) {
    if (!typed.empty()) typed.pop_back();
  } else if (const char c = WordCharOfKey(vk);
             c != 0 && !(mods & (kModCtrl | kModAlt)) && typed.size() < kLongestUnlockWord) {
    typed += c;
  }
}

// One physical key: its code, and the extended flag that tells the two Home keys (and the
// like) apart.
std::uint32_t HoldKey(std::uint32_t vk, std::uint32_t flags) {
  return vk | (flags & KeyFlagExtended) << 8;
}

// An unlock sequence that must be held acts at the key-down (its autorepeat) that comes once
// it has been held long enough; released earlier it did nothing. A keyboard repeats only the
// key pressed last, so any other key going down ends the hold, as does a pause longer than
// any repeat (a release that went by unseen).
void HoldUnlockSequence(FilterContext& ctx, std::uint32_t vk, bool keyDown, bool extended,
                        std::uint8_t mods, std::uint32_t eventTime, FilterAction& action) {
  LockState& lock = ctx.app.lock;
  const Settings& s = ctx.app.settings;
  if (s.UnlockHoldMs == 0) return;
  const std::uint32_t key = HoldKey(vk, extended ? KeyFlagExtended : 0);
  const bool unlockDown =
      keyDown && IsSequenceAction(action) && IsSequence(s.sequences.unlock, vk, keyDown, mods);
  if (lock.UnlockHolding &&
      (key != lock.UnlockHoldKey ? keyDown
                                 : !unlockDown || eventTime - lock.UnlockHoldLast > AltHeldFreshMs))
    lock.UnlockHolding = false;
  if (!unlockDown) return;
  if (!lock.UnlockHolding) {
    lock.UnlockHolding = true;
    lock.UnlockHoldKey = key;
    lock.UnlockHoldStart = eventTime;
  }
  lock.UnlockHoldLast = eventTime;
  if (eventTime - lock.UnlockHoldStart < s.UnlockHoldMs)
    action = FilterAction::None;
  else
    lock.UnlockHolding = false;
}

}  // namespace

bool FilterKeyEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message,
                    std::uint32_t vkCode, std::uint32_t flags, std::uint32_t eventTime) {
  if (code != HookCodeAction || !IsKeyboardMessage(message)) return false;
  LockState& lock = ctx.app.lock;
  const bool keyDown = (flags & KeyFlagUp) == 0;
  UpdateAltState(lock, vkCode, keyDown, eventTime);
  // A remembered Alt key must still be held: one that stopped repeating long ago went up
  // unseen.
  if (keyDown) {
    // The unlock key held for its hold time repeats: what was held with it still is.
    if (lock.UnlockHolding && HoldKey(vkCode, flags) == lock.UnlockHoldKey &&
        eventTime - lock.UnlockHoldLast <= AltHeldFreshMs)
      RefreshHeldModifiers(lock, eventTime);
    ExpireAltState(lock, eventTime);
  }

  // The autorepeat of a key that completed a sequence is the same press: swallowed as its
  // first key-down was, and acting no more.
  if (vkCode == lock.SequenceKey && lock.SequenceKey != 0) {
    if (keyDown && eventTime - lock.SequenceKeyTime <= AltHeldFreshMs) {
      lock.SequenceKeyTime = eventTime;
      return true;
    }
    lock.SequenceKey = 0;
  }

  const std::uint8_t mods = HeldModifiers(lock);
  KeyOutcome out = DecideKey(FilterMode(ctx.app), vkCode, keyDown, mods, lock.LastKeyDown,
                             ctx.app.settings, [&ctx] { return ForegroundIsPassthru(ctx); });
  lock.LastKeyDown = out.LastKeyDown;
  HoldUnlockSequence(ctx, vkCode, keyDown, (flags & KeyFlagExtended) != 0, mods, eventTime,
                     out.decision.Action);
  const bool swallow =
      KeepReleasesOfPassedKeys(lock, vkCode, keyDown, eventTime, out.decision.Swallow);

  TypeUnlockWord(ctx, vkCode, keyDown, mods);
  if (out.decision.Cue) SignalSwallowedInput(ctx);
  if (keyDown && IsSequenceAction(out.decision.Action)) {
    lock.SequenceKey = vkCode;
    lock.SequenceKeyTime = eventTime;
    RunSequence(ctx, out.decision.Action, vkCode, mods);
  } else {
    RunFilterAction(ctx, out.decision.Action);
  }
  return swallow;
}

bool FilterMouseEvent(FilterContext& ctx, std::int32_t code, std::uint32_t message,
                      std::uint32_t mouseData) {
  if (code != HookCodeAction) return false;
  LockState& lock = ctx.app.lock;
  const KeyDecision d = DecideMouse(FilterMode(ctx.app), message, ctx.app.settings, [&] {
    return TicksSince(lock.LastMouseCueTick, ctx.desktop.TickCount());
  });
  bool swallow = d.Swallow;
  // A button pressed before the lock gets its release through; one pressed while locked
  // does not. A button cannot go down twice, so a swallowed press forgets a missed release.
  if (const MouseButtonEvent button = ButtonEventOf(message, mouseData); button.bit != 0) {
    if (button.down) {
      lock.ButtonsPassedDown = static_cast<std::uint8_t>(
          swallow ? lock.ButtonsPassedDown & ~button.bit : lock.ButtonsPassedDown | button.bit);
    } else if (lock.ButtonsPassedDown & button.bit) {
      lock.ButtonsPassedDown = static_cast<std::uint8_t>(lock.ButtonsPassedDown & ~button.bit);
      swallow = false;
    }
  }
  if (d.Cue) {
    SignalSwallowedInput(ctx);
    if (ClassifyMouseMessage(message) == MouseClass::Move)
      lock.LastMouseCueTick = ctx.desktop.TickCount();
  }
  RunFilterAction(ctx, d.Action);
  return swallow;
}

}  // namespace hushkey
