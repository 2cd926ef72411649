// Stored settings: the registry holds text that anyone can edit. The conversions, the time
// parser and the whole settings load must take any text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/setting_keys.h"
#include "hushkey/engine/key_sequence.h"
#include "hushkey/engine/text_conversions.h"
#include "hushkey/engine/unlock_word.h"
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
  // A key sequence or word hash read back is one that writes back to an equal value.
  if (auto k = hushkey::ParseKeySequence(text);
      k && hushkey::ParseKeySequence(hushkey::KeySequenceText(*k)) != k)
    std::abort();
  if (auto h = hushkey::ParseWordHash(text);
      h && hushkey::ParseWordHash(hushkey::WordHashText(*h)) != h)
    std::abort();

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
  // Whatever the registry holds, the sequences loaded keep the rules: a parent always has a
  // way to unlock.
  if (!hushkey::KeySequenceRefusal(s.sequences.unlock, s.sequences.lock,
                                   hushkey::SequenceRole::Unlock)
           .empty() ||
      !hushkey::KeySequenceRefusal(s.sequences.lock, s.sequences.unlock,
                                   hushkey::SequenceRole::Lock)
           .empty() ||
      s.UnlockHoldMs > hushkey::kLongestUnlockHoldMs)
    std::abort();
  return 0;
}
