// The program's command line: the one start-mode switch it takes, and the program's own
// file name as the help text and the About box show it.
#pragma once

#include <string>
#include <string_view>

#include "hushkey/engine/lock_mode.h"

namespace hushkey {

// The argument text of a full command line: what follows the program's own name, without
// the one blank (or tab) that separates them. The name may be quoted ("C:\Program
// Files\...\Hushkey.exe"); it ends at the first blank or tab outside quotes. Further
// blanks belong to the argument text, so "Hushkey.exe  /lock" gives " /lock".
std::string ArgumentText(std::string_view commandLine);

// The start request for an argument text: the text is lower-cased (ASCII letters only) and
// compared as a whole with the switches; nothing is trimmed or split, so a trailing blank
// or a second switch makes the text unknown.
//   "/blockwin" 1, "/lock" and "/locked" 2, "/autolockl" 20, "/autolocku" 3,
//   "/allowonly" 4, "/unlock" and "/unlocked" 0, "/unload" -3,
//   "/show", empty and anything else -1.
LockMode StartRequestForSwitch(std::string_view argumentText);

// The file name of a program path without its folder and without its extension:
// "C:\Tools\Hushkey.exe" gives "Hushkey". A dot in a folder name is not an extension.
std::string ProgramFileTitle(std::string_view programPath);

}  // namespace hushkey
