// Cost of one input decision on the paths every key press and mouse move takes, and of
// the whole filter step around it (with ports that do nothing).
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "bench/quiet_ports.h"
#include "hushkey/engine/filter_step.h"
#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/mouse_filter.h"

namespace hushkey {
namespace {

// A run of ordinary typing: letters, digits, Space, Shift, as down/up pairs.
constexpr std::array<std::uint32_t, 16> kTyping{65, 66, 67, 68, 49, 50, 32, 160,
                                                69, 70, 71, 72, 51, 52, 32, 81};

void KeyDecisions(benchmark::State& state, LockMode mode, bool stopAR) {
  Settings s;
  s.StopARKeys = stopAR;
  std::uint32_t last = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::uint32_t vk = kTyping[i & 15];
    const bool down = (i & 16) == 0;
    ++i;
    benchmark::DoNotOptimize(mode);
    const KeyOutcome out = DecideKey(mode, vk, down, false, last, s, false);
    last = out.LastKeyDown;
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

void BM_Key_Unlocked_Pass(benchmark::State& st) { KeyDecisions(st, ModeUnlocked, false); }
void BM_Key_Locked_Swallow(benchmark::State& st) { KeyDecisions(st, ModeLocked, false); }
void BM_Key_BlockWinCtrl_Allowed(benchmark::State& st) { KeyDecisions(st, ModeBlockWinCtrl, true); }
BENCHMARK(BM_Key_Unlocked_Pass);
BENCHMARK(BM_Key_Locked_Swallow);
BENCHMARK(BM_Key_BlockWinCtrl_Allowed);

// The pass-through setting is set, yet plain typing never asks for the foreground class.
void BM_Key_Unlocked_PassthruSet(benchmark::State& state) {
  Settings s;
  s.PassthruWCls = "RemoteDesktopWindowClass";
  int asked = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    const KeyOutcome out =
        DecideKey(ModeUnlocked, kTyping[i++ & 15], true, false, 0, s, [&] { return ++asked > 0; });
    benchmark::DoNotOptimize(out);
  }
  if (asked != 0) state.SkipWithError("foreground class was asked for");
}
BENCHMARK(BM_Key_Unlocked_PassthruSet);

void BM_Mouse_Locked_ThrottledMove(benchmark::State& state) {
  Settings s;
  s.StopMouseMove = true;
  std::uint32_t tick = 1000, lastCue = 0;
  LockMode mode = ModeLocked;
  for (auto _ : state) {
    ++tick;
    benchmark::DoNotOptimize(mode);
    const KeyDecision d =
        DecideMouse(mode, MsgMouseMove, s, [&] { return TicksSince(lastCue, tick); });
    if (d.Cue) lastCue = tick;
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Mouse_Locked_ThrottledMove);

void BM_Mouse_Unlocked_Pass(benchmark::State& state) {
  Settings s;
  std::uint32_t msg = MsgMouseMove;
  LockMode mode = ModeUnlocked;
  for (auto _ : state) {
    benchmark::DoNotOptimize(msg);
    benchmark::DoNotOptimize(mode);
    const KeyDecision d = DecideMouse(mode, msg, s, [] { return 0u; });
    benchmark::DoNotOptimize(d);
  }
}
BENCHMARK(BM_Mouse_Unlocked_Pass);

// The filter step as the hooks run it, with ports that do nothing.
class NullActions final : public FilterActionPort {
 public:
  void LockAll() override {}
  void cmdAutoLock_Click() override {}
  void cmdCancel_Click() override {}
  void OpenEntryGate() override {}
  void EnableFlashTimer() override {}
  bool CommandRunning() const override { return false; }
  void RunWhenIdle(std::function<void()> work) override { work(); }
};

struct StepRig {
  AppState app;
  QuietDesktop desktop;
  QuietTimer timer;
  NullActions actions;
  FilterContext ctx{app, desktop, timer, actions};
};

void KeySteps(benchmark::State& state, LockMode mode) {
  StepRig r;
  r.app.CurrentMode = mode;
  r.app.settings.StopARKeys = true;
  std::size_t i = 0;
  for (auto _ : state) {
    const std::uint32_t flags = (i & 16) ? 0x80 : 0;
    benchmark::DoNotOptimize(FilterKeyEvent(r.ctx, 0, flags ? 257 : 256, kTyping[i & 15], flags));
    ++i;
  }
}
void BM_KeyStep_Unlocked(benchmark::State& st) { KeySteps(st, ModeUnlocked); }
void BM_KeyStep_Locked(benchmark::State& st) { KeySteps(st, ModeLocked); }
void BM_KeyStep_BlockWinCtrl(benchmark::State& st) { KeySteps(st, ModeBlockWinCtrl); }
BENCHMARK(BM_KeyStep_Unlocked);
BENCHMARK(BM_KeyStep_Locked);
BENCHMARK(BM_KeyStep_BlockWinCtrl);

void BM_MouseStep_Locked_ThrottledMove(benchmark::State& state) {
  StepRig r;
  r.app.CurrentMode = ModeLocked;
  r.app.settings.StopMouseMove = true;
  for (auto _ : state) benchmark::DoNotOptimize(FilterMouseEvent(r.ctx, 0, MsgMouseMove));
}
BENCHMARK(BM_MouseStep_Locked_ThrottledMove);

}  // namespace
}  // namespace hushkey
