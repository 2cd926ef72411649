// The control's stored properties: a container hands back whatever stream it kept.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "longtick/control/counter.h"
#include "longtick/control/property_store.h"

namespace {

struct Host final : longtick::CounterEvents {
  bool SetTimerRunning(bool) override { return true; }
  void PropertyChanged(int32_t) override {}
  void CountDown(const longtick::TimeLeft&) override {}
  void Timer() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> bytes(data, data + size);
  auto store = longtick::PropertyStore::Parse(bytes);
  if (!store) return 0;
  // What was read writes back to the same stream form and reads again the same.
  const std::vector<std::uint8_t> again = store->Serialize();
  const auto reread = longtick::PropertyStore::Parse(again);
  if (!reread || reread->entries() != store->entries()) std::abort();
  Host host;
  longtick::Counter counter(host);
  (void)counter.Load(longtick::ReadStoredProperties(*store));
  for (int i = 0; i < 3; ++i) (void)counter.Tick();
  return 0;
}
