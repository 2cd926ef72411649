#include "hushkey/about/about_box.h"

#include <algorithm>

#include "hushkey/engine/text_chars.h"

namespace hushkey {

namespace {

// True when `text` starts with `prefix` (lower-case), ASCII letters compared in any case.
bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char p, char t) { return p == AsciiLower(t); });
}

}  // namespace

std::string AboutVersionText(int major, int minor) {
  std::string text = std::to_string(major) + ".";
  if (minor >= 0 && minor < 10) text += '0';
  return text + std::to_string(minor);
}

std::string WebLinkTarget(std::string_view webAddress) {
  std::string target(webAddress);
  if (!StartsWithNoCase(webAddress, "http://") && !StartsWithNoCase(webAddress, "https://"))
    target.insert(0, "http://");
  return target;
}

std::string EmailLinkCaption(std::string_view emailAddress) {
  std::string caption(emailAddress);
  std::replace(caption.begin(), caption.end(), ' ', '_');
  return caption;
}

std::string EmailLinkTarget(std::string_view emailAddress, std::string_view mailSubject) {
  std::string target = EmailLinkCaption(emailAddress);
  if (!StartsWithNoCase(target, "mailto:")) target.insert(0, "mailto:");
  if (!mailSubject.empty()) {
    target += "?Subject=";
    target += mailSubject;
  }
  return target;
}

AboutBoxContent MakeAboutBoxContent(std::string_view name, std::string_view version,
                                    std::string_view webAddress, std::string_view emailAddress,
                                    std::string_view mailSubject) {
  AboutBoxContent box;
  box.caption = "About " + std::string(name);
  box.versionLine = std::string(name) + "  v" + std::string(version);
  box.webCaption = webAddress;
  box.webTarget = WebLinkTarget(webAddress);
  box.emailCaption = EmailLinkCaption(emailAddress);
  box.emailTarget = EmailLinkTarget(emailAddress, mailSubject);
  return box;
}

AboutBoxContent ProgramAboutBoxContent(std::string_view programName, int major, int minor) {
  return MakeAboutBoxContent(programName, AboutVersionText(major, minor), kProductWebAddress,
                             kSupportEmailAddress, "");
}

std::string CopyrightPictureTarget() { return WebLinkTarget(kProductWebAddress); }

}  // namespace hushkey
