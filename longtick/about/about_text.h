// Texts and decisions of the control's About box, apart from the dialog itself.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace longtick {

inline constexpr std::string_view kWebAddress = "www.example.com/longtick";
inline constexpr std::string_view kDisclaimer =
    "This software is provided as is, without warranty of any kind.";
inline constexpr std::string_view kSysInfoUnavailable =
    "System Information Is Unavailable At This Time";

std::string AboutCaption(std::string_view product);  // "About Longtick"
// "Version 1.0.7" for a library at version 1.0.0.7 (major, minor, revision).
std::string VersionLine(unsigned major, unsigned minor, unsigned revision);
// The address with "http://" in front unless it contains "http://", "https://" or "ftp://"
// in any letter case. The address itself keeps its case: paths and queries may need it.
std::string WebLinkTarget(std::string_view address);
// "API Error #<code> was returned from GetLastError()".
std::string ApiErrorText(uint32_t code);
// The shell's "open" answer: values up to 32 are error codes.
inline bool ShellOpenFailed(intptr_t result) { return result <= 32; }

// Registry data as returned: cut to the returned number of characters and without the
// terminating NUL when there is one.
template <class Char>
std::basic_string<Char> TrimRegistryText(const Char* data, size_t returned_chars) {
  std::basic_string<Char> text(data, returned_chars);
  if (!text.empty() && text.back() == Char{0}) text.pop_back();
  return text;
}

struct KeyValue {
  bool found = false;
  std::string text;
};

// The system information program named by the registry, or nothing: first the PATH value
// of the tool's own key when that file exists, else the tool folder's location plus
// "\MSINFO32.EXE" when that file exists. The lookup expands environment references in
// values stored as expandable text.
std::optional<std::string> FindSysInfoProgram(
    const std::function<KeyValue(std::string_view key, std::string_view value)>& lookup,
    const std::function<bool(const std::string& path)>& file_exists);

}  // namespace longtick
