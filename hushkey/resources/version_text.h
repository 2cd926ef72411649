// The version as the program shows it: "v" + major + "." + minor + a revision letter
// ("a" for revision 1, "b" for 2, ...; none for revision 0).
#pragma once

#include <string>

namespace hushkey {

inline std::string VersionLabel(int major, int minor, int revision) {
  std::string text("v");
  text += std::to_string(major);
  text += '.';
  text += std::to_string(minor);
  if (revision > 0) text += static_cast<char>(revision + 96);
  return text;
}

}  // namespace hushkey
