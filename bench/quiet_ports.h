// A desktop and an inactivity timer that do nothing, for running the filter step outside a
// program: the benchmarks and the simulated toddler. The unlock word's stored "hash" is the
// word itself here; the real check hashes, with the same outcome.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "hushkey/engine/ports.h"

namespace hushkey {

class QuietDesktop final : public DesktopPort {
 public:
  void Beep() override {}
  std::int32_t GetMouseSpeed() override { return 10; }
  void SetMouseSpeed(std::int32_t) override {}
  void StartScreenSaver() override {}
  std::uint32_t TickCount() override { return ++tick; }
  std::string ForegroundWindowClass() override { return {}; }
  void WaitMilliseconds(std::int32_t, bool) override {}
  std::optional<std::uint32_t> AccessFlags(AccessFeature) override { return std::nullopt; }
  bool SetAccessFlags(AccessFeature, std::uint32_t) override { return false; }
  std::string AccessNote() override { return {}; }
  void SetAccessNote(const std::string&) override {}
  void CheckUnlockWord(const std::string& stored, const std::string& typed,
                       std::function<void()> onMatch) override {
    if (typed == stored) onMatch();
  }
  std::uint32_t tick = 0;
};

class QuietTimer final : public InactivityTimerPort {
 public:
  bool Enabled() override { return false; }
  void SetEnabled(bool) override {}
  std::int32_t IntervalMinutes() override { return 10; }
  void SetIntervalMinutes(std::int32_t) override {}
  std::int32_t IntervalSeconds() override { return 0; }
  void SetIntervalSeconds(std::int32_t) override {}
};

}  // namespace hushkey
