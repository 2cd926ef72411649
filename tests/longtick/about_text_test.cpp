#include "longtick/about/about_text.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace longtick {
namespace {

TEST(AboutText, CaptionAndVersionLine) {
  EXPECT_EQ(AboutCaption("Longtick"), "About Longtick");
  EXPECT_EQ(VersionLine(1, 0, 7), "Version 1.0.7");
  EXPECT_EQ(VersionLine(12, 34, 5600), "Version 12.34.5600");
}

TEST(AboutText, WebLinkTarget) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"www.example.com/longtick", "http://www.example.com/longtick"},
      {"HTTP://Example.COM", "HTTP://Example.COM"},             // the scheme test ignores case ...
      {"Example.com/Path?Q=A", "http://Example.com/Path?Q=A"},  // ... the address keeps it
      {"ftp://files.example.com", "ftp://files.example.com"},
      {"see http://example.com", "see http://example.com"},  // anywhere, not just in front
      {"HTTPS://Example.com/x", "HTTPS://Example.com/x"},    // not "http://https://..."
  };
  for (const auto& c : cases) EXPECT_EQ(WebLinkTarget(c.in), c.out) << c.in;
}

TEST(AboutText, ApiErrorTextAndShellResult) {
  EXPECT_EQ(ApiErrorText(2), "API Error #2 was returned from GetLastError()");
  EXPECT_TRUE(ShellOpenFailed(0));
  EXPECT_TRUE(ShellOpenFailed(32));
  EXPECT_FALSE(ShellOpenFailed(33));
}

TEST(AboutText, RegistryTextIsCutToItsSizeWithoutTheTerminator) {
  const char data[] = "C:\\Tools\\x\0garbage";
  EXPECT_EQ(TrimRegistryText(data, 11), "C:\\Tools\\x");  // size includes the NUL
  EXPECT_EQ(TrimRegistryText(data, 10), "C:\\Tools\\x");  // no NUL returned
  EXPECT_EQ(TrimRegistryText(data, 3), "C:\\");
  EXPECT_EQ(TrimRegistryText(data, 0), "");
  const char16_t wide[] = u"ab\0";
  EXPECT_EQ(TrimRegistryText(wide, 3), u"ab");
}

TEST(AboutText, SysInfoProgramLookup) {
  const std::string tool_key = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH";
  const std::string loc_key = "SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO";
  struct Case {
    std::map<std::string, std::string> registry;
    std::set<std::string> files;  // the files that exist
    std::optional<std::string> want;
  };
  const std::set<std::string> both = {"C:\\T\\msinfo.exe", "C:\\L\\MSINFO32.EXE"};
  const Case cases[] = {
      {{{tool_key, "C:\\T\\msinfo.exe"}, {loc_key, "C:\\L"}}, both, "C:\\T\\msinfo.exe"},
      {{{loc_key, "C:\\L"}}, both, "C:\\L\\MSINFO32.EXE"},
      {{{loc_key, "C:\\L"}}, {}, std::nullopt},
      {{}, both, std::nullopt},
      // The tool's own value names a program that is gone: the tool folder is used.
      {{{tool_key, "C:\\Gone\\msinfo.exe"}, {loc_key, "C:\\L"}}, both, "C:\\L\\MSINFO32.EXE"},
      {{{tool_key, ""}, {loc_key, "C:\\L"}}, both, "C:\\L\\MSINFO32.EXE"},
      {{{tool_key, "C:\\Gone\\msinfo.exe"}}, both, std::nullopt},
  };
  for (const auto& c : cases) {
    auto lookup = [&](std::string_view key, std::string_view value) {
      auto it = c.registry.find(std::string(key) + "|" + std::string(value));
      return it == c.registry.end() ? KeyValue{} : KeyValue{true, it->second};
    };
    auto exists = [&](const std::string& p) { return c.files.contains(p); };
    EXPECT_EQ(FindSysInfoProgram(lookup, exists), c.want);
  }
}

}  // namespace
}  // namespace longtick
