// The control's About box: a modal dialog centred on the screen.
#pragma once

#include <windows.h>

namespace longtick {

// Shows the box and returns when it has been closed.
HRESULT ShowControlAboutBox(HWND owner);

}  // namespace longtick
