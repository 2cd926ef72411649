// The Longtick identities for Win32 code: a Guid as the GUID structure COM takes.
#pragma once

#include <windows.h>

#include "longtick/control/longtick_ids.h"

namespace longtick {

constexpr GUID ToGuid(const Guid& g) {
  return {g.data1,
          g.data2,
          g.data3,
          {g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6],
           g.data4[7]}};
}

}  // namespace longtick
