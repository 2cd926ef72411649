#include "hushkey/about/about_box.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

TEST(AboutBox, ProgramBoxTexts) {
  const AboutBoxContent expected{"About Hushkey",           "Hushkey  v1.97",
                                 "www.example.com/hushkey", "http://www.example.com/hushkey",
                                 "support@example.com",     "mailto:support@example.com"};
  EXPECT_EQ(ProgramAboutBoxContent("Hushkey", 1, 97), expected);
  EXPECT_EQ(ProgramAboutBoxContent("kidlock", 1, 5).versionLine, "kidlock  v1.05");
  EXPECT_EQ(CopyrightPictureTarget(), expected.webTarget);
}

TEST(AboutBox, LinkTargets) {
  const char* web[][2] = {
      {"www.example.com", "http://www.example.com"},
      {"HTTP://Example.com", "HTTP://Example.com"},
      {"HtTpS://example.com", "HtTpS://example.com"},
      {"http:/x.com", "http://http:/x.com"},
  };
  for (const auto& c : web) EXPECT_EQ(WebLinkTarget(c[0]), c[1]) << c[0];
  const char* mail[][4] = {
      {"help desk @example.org", "", "help_desk_@example.org", "mailto:help_desk_@example.org"},
      {"MailTo:a@example.org", "", "MailTo:a@example.org", "MailTo:a@example.org"},
      {"a@example.org", "Hushkey 1.97", "a@example.org",
       "mailto:a@example.org?Subject=Hushkey 1.97"},
  };
  for (const auto& c : mail) {
    EXPECT_EQ(EmailLinkCaption(c[0]), c[2]) << c[0];
    EXPECT_EQ(EmailLinkTarget(c[0], c[1]), c[3]) << c[0];
  }
}

}  // namespace
}  // namespace hushkey
