#include "hushkey/settings/run_value.h"

namespace hushkey {

int ValidStartMode(int startMode) {
  return startMode >= 0 && startMode < kStartModeCount ? startMode : kDefaultStartMode;
}

std::string RunValueData(std::string_view programPath, int startMode) {
  const std::size_t slash = programPath.find_last_of("\\/");
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view() : programPath.substr(0, slash);
  std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);

  std::string data = "\"";
  if (slash != std::string_view::npos) {
    data += folder;
    data += '\\';
  }
  data += name;
  data += ".exe\" ";
  data += StartModeRow(ValidStartMode(startMode)).runSwitch;
  return data;
}

std::optional<std::string_view> ApplyStartWithWindows(RegistryPort& registry, bool startWithWindows,
                                                      int startMode, std::string_view programPath) {
  if (startWithWindows) {
    if (SetRegValue(registry, RunValueData(programPath, startMode), kHkeyCurrentUser, kRunKeyPath,
                    kRunValueName, true)) {
      return std::nullopt;
    }
    return kSetStartWithWindowsFailed;
  }
  const bool machine = DeleteRegEntry(registry, kHkeyLocalMachine, kRunKeyPath, kRunValueName);
  const bool user = DeleteRegEntry(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName);
  if (machine && user) return std::nullopt;
  return kClearStartWithWindowsFailed;
}

}  // namespace hushkey
