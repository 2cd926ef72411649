// The local clock from GetLocalTime.
#pragma once

#include "hushkey/autolock/dont_lock_if.h"

namespace hushkey {

class Win32Clock : public ClockPort {
 public:
  LocalTime Now() override;
};

}  // namespace hushkey
