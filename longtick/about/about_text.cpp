#include "longtick/about/about_text.h"

#include <algorithm>

namespace longtick {

std::string AboutCaption(std::string_view product) { return "About " + std::string(product); }

std::string VersionLine(unsigned major, unsigned minor, unsigned revision) {
  return "Version " + std::to_string(major) + "." + std::to_string(minor) + "." +
         std::to_string(revision);
}

std::string WebLinkTarget(std::string_view address) {
  std::string lower(address);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
  // An address that already names its scheme keeps it; "https://" counts as one too, so that
  // a secure address does not become "http://https://...".
  bool has_scheme = false;
  for (const char* scheme : {"http://", "https://", "ftp://"})
    has_scheme = has_scheme || lower.find(scheme) != std::string::npos;
  std::string target(address);
  if (!has_scheme) target.insert(0, "http://");
  return target;
}

std::string ApiErrorText(uint32_t code) {
  return "API Error #" + std::to_string(code) + " was returned from GetLastError()";
}

std::optional<std::string> FindSysInfoProgram(
    const std::function<KeyValue(std::string_view key, std::string_view value)>& lookup,
    const std::function<bool(const std::string& path)>& file_exists) {
  KeyValue path = lookup("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH");
  // A value that names a program no longer there falls back to the tool folder.
  if (path.found && !path.text.empty() && file_exists(path.text)) return path.text;
  KeyValue folder = lookup("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO");
  if (folder.found) {
    std::string program = folder.text + "\\MSINFO32.EXE";
    if (file_exists(program)) return program;
  }
  return std::nullopt;
}

}  // namespace longtick
