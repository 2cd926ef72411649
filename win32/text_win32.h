// UTF-8 (portable code) <-> UTF-16 (the wide Win32 API), and the texts the adapters read
// from the system as UTF-8 or in full length.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// Invalid UTF-8 sequences become U+FFFD; invalid UTF-16 likewise.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

// The text of a window (a control's caption, a label), as UTF-8.
std::string WindowTextUtf8(HWND window);

// The full path of a module, however long (installs deeper than MAX_PATH included); empty
// when the system cannot tell.
std::wstring ModuleFileName(HMODULE module);

}  // namespace win32
