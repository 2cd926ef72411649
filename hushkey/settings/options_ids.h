// The options dialog as other programs find it: its window class and the control ID of
// each of its controls (shared by the dialog and the end-to-end tests that drive it).
#pragma once

#include "hushkey/settings/options_layout.h"

namespace hushkey {

inline constexpr wchar_t kOptionsWindowClass[] = L"HushkeyOptions";

// Every control's ID is the base plus its OptionsControl value. The base keeps them clear of
// IDOK and IDCANCEL, which the dialog manager sends for Enter and Escape.
inline constexpr int kOptionsControlIdBase = 3000;

constexpr int OptionsControlId(OptionsControl control) {
  return kOptionsControlIdBase + static_cast<int>(control);
}

}  // namespace hushkey
