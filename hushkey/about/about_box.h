// The About box: the program's name and version, and links to the product's web page and
// its support e-mail address.
#pragma once

#include <string>
#include <string_view>

namespace hushkey {

// The product's web page and support e-mail address; everything that links to either
// takes it from here.
inline constexpr char kProductWebAddress[] = "www.example.com/hushkey";
inline constexpr char kSupportEmailAddress[] = "support@example.com";

// What the About box shows: its caption, the title line, and each link's caption and the
// target a click opens with the system's default handler.
struct AboutBoxContent {
  std::string caption;       // "About Hushkey"
  std::string versionLine;   // "Hushkey  v1.97"
  std::string webCaption;    // the web address as given
  std::string webTarget;     // with "http://" in front unless it names its scheme
  std::string emailCaption;  // the address with every blank turned into "_"
  std::string emailTarget;   // "mailto:" + that, and "?Subject=" + the subject if any
  bool operator==(const AboutBoxContent&) const = default;
};

// The box's texts for a program name (its file name without extension), a version text,
// a web address, an e-mail address and a mail subject (may be empty).
AboutBoxContent MakeAboutBoxContent(std::string_view name, std::string_view version,
                                    std::string_view webAddress, std::string_view emailAddress,
                                    std::string_view mailSubject);

// The version as the About box writes it: the minor number has at least two digits ("1.97",
// "1.05").
std::string AboutVersionText(int major, int minor);

// The program's own About box (the Help menu's About): the product's addresses, no subject.
AboutBoxContent ProgramAboutBoxContent(std::string_view programName, int major, int minor);

// A web address as a link target: kept as it is when it starts with "http://" or
// "https://" in any letter case, else "http://" goes in front.
std::string WebLinkTarget(std::string_view webAddress);

// The e-mail link's caption: the address with every blank replaced by "_".
std::string EmailLinkCaption(std::string_view emailAddress);

// The e-mail link's target: the caption, with "mailto:" in front unless it starts with it
// in any letter case, and "?Subject=" + the subject when the subject is not empty.
std::string EmailLinkTarget(std::string_view emailAddress, std::string_view mailSubject);

// What the main window's copyright picture opens: the product's web page.
std::string CopyrightPictureTarget();

}  // namespace hushkey
