#include "hushkey/settings/file_picker_win32.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "win32/text_win32.h"

namespace hushkey {

static_assert(kOfnHideReadOnly == OFN_HIDEREADONLY && kOfnFileMustExist == OFN_FILEMUSTEXIST);

namespace {

// Room for the longest path the wide API accepts, its terminating NUL included.
constexpr std::size_t kLongPathCapacity = 32768;

}  // namespace

std::string Win32FilePicker::PickOpenFile(const OpenFileRequest& request) {
  using win32::Utf8ToWide;
  // The filter's pairs each end with a NUL; the string's own terminator ends the list.
  const std::wstring filter = Utf8ToWide(request.filter);
  const std::wstring initialDir = Utf8ToWide(request.initialDir);
  const std::wstring title = Utf8ToWide(request.title);
  const std::wstring defaultExtension = Utf8ToWide(request.defaultExtension);
  const std::wstring initialFile = Utf8ToWide(request.initialFile);

  std::vector<wchar_t> file(kLongPathCapacity, L'\0');
  std::copy_n(initialFile.begin(), std::min(initialFile.size(), file.size() - 1), file.begin());

  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof(ofn);
  ofn.hwndOwner = owner_;
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
  // The program's working directory stays where it was: browsing must not move it (nor hold
  // the browsed folder open).
  ofn.Flags = request.flags | OFN_NOCHANGEDIR;
  if (!GetOpenFileNameW(&ofn)) return {};
  const auto end = std::find(file.begin(), file.end(), L'\0');
  return win32::WideToUtf8(
      std::wstring_view(file.data(), static_cast<std::size_t>(end - file.begin())));
}

}  // namespace hushkey
