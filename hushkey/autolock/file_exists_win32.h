// File search with FindFirstFileW / FindNextFileW.
#pragma once

#include <string>
#include <string_view>

#include "hushkey/autolock/dont_lock_if.h"

namespace hushkey {

class Win32FileSearch : public FileSearchPort {
 public:
  // True when the pattern (UTF-8, wildcards allowed) matches an entry that is not a
  // directory.
  bool AnyFileMatches(const std::string& pattern) override;
};

// The path with double quotes removed names a file, or the pattern matches one.
bool FileExists(std::string_view path);

}  // namespace hushkey
