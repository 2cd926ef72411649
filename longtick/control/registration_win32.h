// Registry entries of the control library: class, ProgID, type library and interfaces.
#pragma once

#include <windows.h>

namespace longtick {

HRESULT RegisterServer();
// Removes everything RegisterServer wrote; missing entries are not an error.
HRESULT UnregisterServer();

}  // namespace longtick
