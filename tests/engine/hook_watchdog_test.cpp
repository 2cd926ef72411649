#include "hushkey/engine/hook_watchdog.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

// Raw input of a kind whose hook has been quiet for longer than the grace period means the
// system dropped that hook; each kind is judged by its own hook, across the tick wrap, and a
// raw input older than the hook's last call proves nothing.
TEST(HookWatchdog, RawInputOfAKindWhoseHookWentQuietMeansItWasDropped) {
  constexpr std::uint32_t kGrace = HookWatchdog::kGraceMs;
  struct Case {
    const char* what;
    std::uint32_t keyboardSeen, mouseSeen;
    InputKind raw;
    std::uint32_t rawAt;
    bool missed;
  };
  const Case cases[] = {
      {.what = "just called",
       .keyboardSeen = 5000,
       .mouseSeen = 5000,
       .raw = InputKind::Keyboard,
       .rawAt = 5002,
       .missed = false},
      {.what = "grace itself",
       .keyboardSeen = 5000,
       .mouseSeen = 5000,
       .raw = InputKind::Keyboard,
       .rawAt = 5000 + kGrace,
       .missed = false},
      {.what = "beyond grace",
       .keyboardSeen = 5000,
       .mouseSeen = 9000,
       .raw = InputKind::Keyboard,
       .rawAt = 5001 + kGrace,
       .missed = true},
      {.what = "the other kind's hook is alive",
       .keyboardSeen = 5000,
       .mouseSeen = 9000,
       .raw = InputKind::Mouse,
       .rawAt = 9001,
       .missed = false},
      {.what = "mouse hook dropped",
       .keyboardSeen = 9000,
       .mouseSeen = 1000,
       .raw = InputKind::Mouse,
       .rawAt = 9001,
       .missed = true},
      {.what = "across the wrap",
       .keyboardSeen = 0xFFFFFF00u,
       .mouseSeen = 0,
       .raw = InputKind::Keyboard,
       .rawAt = 0xFFFFFF00u + kGrace + 1,
       .missed = true},
      {.what = "raw input older than the last call",
       .keyboardSeen = 5000,
       .mouseSeen = 0,
       .raw = InputKind::Keyboard,
       .rawAt = 4000,
       .missed = false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HookWatchdog w;
    w.HookSaw(InputKind::Keyboard, c.keyboardSeen);
    w.HookSaw(InputKind::Mouse, c.mouseSeen);
    EXPECT_EQ(w.HookMissed(c.raw, c.rawAt), c.missed);
    w.Reinstalled(c.rawAt);
    EXPECT_FALSE(w.HookMissed(c.raw, c.rawAt + 1)) << "installed afresh";
  }
  EXPECT_FALSE(HookWatchdog().HookMissed(InputKind::Keyboard, 123456)) << "nothing to judge by";
}

// At the end of a rest of the raw input, the system's last-input time stands in for the
// events that came meanwhile: input a clear while after the later of the two hooks' last
// calls, with both hooks quiet beyond the grace period, means they are gone.
TEST(HookWatchdog, InputDuringARestThatNoHookSawMeansTheyWereDropped) {
  constexpr std::uint32_t kGrace = HookWatchdog::kGraceMs, kSlack = HookWatchdog::kStampSlackMs;
  struct Case {
    const char* what;
    std::uint32_t keyboardSeen, mouseSeen, lastInput, now;
    bool missed;
  };
  const Case cases[] = {
      {"the hooks saw the last input", 5000, 4000, 5000, 9000, false},
      {"stamped a moment after the hook's call", 5000, 4000, 5000 + kSlack, 9000, false},
      {"input after both hooks, both quiet", 5000, 4000, 5300, 5001 + kGrace, true},
      {"input after both, but a hook called within grace", 5000, 4000, 5300, 5000 + kGrace, false},
      {"the mouse hook saw it", 2000, 5300, 5300, 9000, false},
      {"across the wrap", 0xFFFFFF00u, 0xFFFFFE00u, 0x100, 0x200 + kGrace, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    HookWatchdog w;
    w.HookSaw(InputKind::Keyboard, c.keyboardSeen);
    w.HookSaw(InputKind::Mouse, c.mouseSeen);
    EXPECT_EQ(w.MissedWhileResting(c.lastInput, c.now), c.missed);
  }
  EXPECT_FALSE(HookWatchdog().MissedWhileResting(5000, 9000)) << "nothing to judge by";
}

}  // namespace
}  // namespace hushkey
