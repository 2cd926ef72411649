#include "hushkey/autolock/file_exists_win32.h"

#include <windows.h>

#include "hushkey/settings/wide_text_win32.h"

namespace hushkey {
namespace {

// Owns a search handle; only a valid handle is closed.
class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (Valid()) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool Valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE Get() const { return h_; }

 private:
  HANDLE h_;
};

}  // namespace

bool Win32FileSearch::AnyFileMatches(const std::string& pattern) {
  const std::wstring wide = Utf8ToWide(pattern);
  if (wide.empty()) return false;
  WIN32_FIND_DATAW data{};
  FindHandle find(FindFirstFileW(wide.c_str(), &data));
  if (!find.Valid()) return false;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
  } while (FindNextFileW(find.Get(), &data));
  return false;
}

bool FileExists(std::string_view path) {
  Win32FileSearch files;
  return FileExists(files, path);
}

}  // namespace hushkey
