// "Start with windows": the start modes a parent can choose, the command line written as
// the per-user Run value, and the Ok command's registry step that sets or clears it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "hushkey/engine/mode_table.h"
#include "hushkey/settings/registry_routines.h"

namespace hushkey {

inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Hushkey";

// The option selected when "Start with windows" is first ticked.
inline constexpr int kDefaultStartMode = 3;

// startMode when it is a valid option index, kDefaultStartMode otherwise.
int ValidStartMode(int startMode);

// The Run value's data for the running program at `programPath` (its full path, UTF-8):
// the program's folder, "\", its file name without extension and ".exe", all in double
// quotes, then one blank and the switch of `startMode` (ValidStartMode applied). Blanks
// and any other characters in the path are kept as they are.
std::string RunValueData(std::string_view programPath, int startMode);

inline constexpr std::string_view kSetStartWithWindowsFailed = "Failed to set 'start with windows'";
inline constexpr std::string_view kClearStartWithWindowsFailed =
    "Failed to clear 'start with windows'";

// The registry step of the Ok command. Ticked: writes the Run value under the current
// user's Run key. Not ticked: deletes the value from the machine's and then from the
// user's Run key, always both. Answers nullopt on success, otherwise the failure message.
std::optional<std::string_view> ApplyStartWithWindows(RegistryPort& registry, bool startWithWindows,
                                                      int startMode, std::string_view programPath);

}  // namespace hushkey
