// The command line a shortcut, a batch file or another program starts Hushkey with.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/mode_code.h"
#include "hushkey/shell/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const std::string argument = hushkey::ArgumentText(line);
  // The argument text is a tail of the command line.
  if (argument.size() > line.size() || line.substr(line.size() - argument.size()) != argument)
    std::abort();
  const hushkey::LockMode code = hushkey::StartRequestForSwitch(argument);
  switch (hushkey::Code(code)) {
    case -3:
    case -1:
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 20: break;
    default: std::abort();  // only start requests and start modes come out
  }
  (void)hushkey::ProgramFileTitle(line);
  return 0;
}
