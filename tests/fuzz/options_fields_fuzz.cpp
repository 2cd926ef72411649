// What a parent types into the options dialog's fields: the Timeout field and the
// "Don't Lock If" fields go through the dialog's checks before anything is stored.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hushkey/autolock/countdown.h"
#include "hushkey/settings/options_model.h"
#include "hushkey/engine/text_conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const hushkey::TimeoutField field = hushkey::CheckTimeoutField(text);
  if (field.message.empty()) {
    // What is stored reads back as a number the timer can count.
    const auto value = hushkey::ParseSingle(field.text);
    if (!value || *value < 1) std::abort();
    const hushkey::TimeoutSplit split = hushkey::SplitTimeout(*value);
    if (static_cast<std::int64_t>(split.minutes) * 60 + split.seconds > INT32_MAX) std::abort();
  }
  hushkey::OptionsValues values;
  const std::size_t third = size / 3;
  values.chkDontLockIf = size % 2 == 1;
  values.txtDontLockIfStartTime = std::string(text.substr(0, third));
  values.txtDontLockIfEndTime = std::string(text.substr(third, third));
  values.txtDontLockIfIP = std::string(text.substr(2 * third));
  values.txtDontLockIfFileExists = values.txtDontLockIfIP;
  for (int opt = -1; opt <= 2; ++opt) {
    values.optDontLockIf = opt;
    (void)hushkey::ValidateOptions(values);
  }
  return 0;
}
