// The program's About box: a modal dialog with the program's icon, its name and
// version, and two clickable links (web page, support e-mail) that open their targets with
// the system's default handler.
#pragma once

#include <windows.h>

#include "hushkey/about/about_box.h"

namespace hushkey {

// ShowAboutBox: fills the box from `content` and shows it; returns when it has closed.
void ShowAboutBox(HINSTANCE instance, HWND owner, const AboutBoxContent& content, HICON icon);

// Opens a link target (a web address, a mail address) with the system's default handler,
// in a normal window. The result is not examined.
void OpenLinkTarget(HWND owner, const std::string& target);

}  // namespace hushkey
