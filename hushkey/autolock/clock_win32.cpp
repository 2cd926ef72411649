#include "hushkey/autolock/clock_win32.h"

#include <windows.h>

namespace hushkey {

LocalTime Win32Clock::Now() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  LocalTime t;
  t.weekday = st.wDayOfWeek == 0 ? 7 : st.wDayOfWeek;  // the system counts Sunday as 0
  t.secondOfDay = st.wHour * 3600 + st.wMinute * 60 + st.wSecond;
  return t;
}

}  // namespace hushkey
