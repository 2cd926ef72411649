// Stored settings: the registry holds text that anyone can edit. The conversions, the time
// parser and the whole settings load must take any text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/setting_keys.h"
#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/time_text.h"
#include "tests/support/memory_settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto n = hushkey::ParseNumber(text); n && !std::isfinite(*n)) std::abort();
  (void)hushkey::ParseSingle(text);
  (void)hushkey::ParseInt32(text);
  (void)hushkey::ParseInt16(text);
  (void)hushkey::ParseFlag(text);
  if (auto t = hushkey::ParseTimeOfDay(text); t && (*t < 0 || *t >= 86400)) std::abort();

  // Every key holds a slice of the input: the load never stops and never keeps text that
  // does not convert.
  hushkey::MemorySettingsStore store;
  std::size_t at = 0;
  for (const hushkey::SettingKey& key : hushkey::kSettingKeys) {
    const std::size_t len = at < size ? data[at] % 16 : 0;
    const std::size_t from = std::min(size, at + 1);
    store.Write(key.key, text.substr(from, std::min(len, size - from)));
    at = from + len;
  }
  const hushkey::Settings s = hushkey::LoadSettings(store, 10);
  if (std::isnan(s.Timeout) && hushkey::ParseSingle(*store.Read("Timeout"))) std::abort();
  return 0;
}
