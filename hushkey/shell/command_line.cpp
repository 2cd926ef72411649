#include "hushkey/shell/command_line.h"

#include <algorithm>

#include "hushkey/engine/mode_table.h"
#include "hushkey/engine/text_chars.h"

namespace hushkey {

std::string ArgumentText(std::string_view commandLine) {
  std::size_t i = 0;
  bool quoted = false;
  for (; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(c)) {
      break;
    }
  }
  if (i < commandLine.size()) ++i;  // the one separating blank
  return std::string(commandLine.substr(i));
}

LockMode StartRequestForSwitch(std::string_view argumentText) {
  // No switch is longer than this; a longer text is unknown without being copied.
  constexpr std::size_t kLongest = 10;
  if (argumentText.empty() || argumentText.size() > kLongest) return StartRequestShow;
  std::string lower(argumentText);
  std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
  for (const ModeRow& row : kModeTable)
    for (std::string_view text : row.switches)
      if (!text.empty() && lower == text) return row.mode;
  return StartRequestShow;
}

std::string ProgramFileTitle(std::string_view programPath) {
  const std::size_t slash = programPath.find_last_of("\\/:");
  std::string_view name =
      slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return std::string(name);
}

}  // namespace hushkey
