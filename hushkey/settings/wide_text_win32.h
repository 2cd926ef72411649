// UTF-8 (portable code) <-> UTF-16 (wide Win32 API) conversions.
#pragma once

#include <string>
#include <string_view>

namespace hushkey {

// Invalid UTF-8 sequences become U+FFFD; invalid UTF-16 likewise.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace hushkey
