#include "hushkey/autolock/file_exists_win32.h"

#include <windows.h>

#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace hushkey {

bool Win32FileSearch::AnyFileMatches(const std::string& pattern) {
  const std::wstring wide = win32::Utf8ToWide(pattern);
  if (wide.empty()) return false;
  WIN32_FIND_DATAW data{};
  const win32::UniqueFind find(FindFirstFileW(wide.c_str(), &data));
  if (!find) return false;
  do {
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return true;
  } while (FindNextFileW(find.get(), &data));
  return false;
}

bool FileExists(std::string_view path) {
  Win32FileSearch files;
  return FileExists(files, path);
}

}  // namespace hushkey
