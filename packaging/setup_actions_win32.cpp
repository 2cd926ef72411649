// Custom actions of the Hushkey installer (embedded in the MSI, never installed).
//
// EndRunningCopy runs on install, upgrade, repair and uninstall alike, before the installer
// looks for files in use and before an older build is removed. A Hushkey that runs from the
// install folder is asked to end through its own hand-off (the code "/unload" stands for,
// written into the hidden text box of its main window, as a second start does), and waited
// for, so that its files can be replaced or removed at once. A copy that runs from anywhere
// else (a portable copy) is left alone: its files are not the installer's. If the copy has
// not ended in time the installation goes on; a file still in use is then replaced at the
// next restart, which the package never forces.
//
// RemoveRunValue runs when the product is removed for good (not when an upgrade replaces
// it): it deletes the value "Hushkey" from the user's Run key, which the options dialog's
// "Start with windows" writes and which would otherwise start a program that is gone, but
// only when that value starts the installed program. A value that starts a portable copy
// belongs to that copy and stays. Windows Installer removes only registry values that the
// package itself wrote, so this one needs code. A value that is not there counts as removed.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>
#include <utility>
#include <vector>

#include "hushkey/engine/lock_mode.h"
#include "hushkey/settings/run_value.h"
#include "hushkey/shell/app_title.h"
#include "hushkey/shell/single_instance.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace {

// How long a running copy may take to take the hand-off, and then to end.
constexpr UINT kHandOffTimeoutMs = 10000;
constexpr DWORD kEndTimeoutMs = 20000;

void Log(MSIHANDLE install, const std::wstring& text) {
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, text.c_str());
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

std::wstring Property(MSIHANDLE install, const wchar_t* name) {
  wchar_t none[1] = L"";
  DWORD size = 0;
  if (MsiGetPropertyW(install, name, none, &size) != ERROR_MORE_DATA) return L"";
  std::wstring value(size + 1, L'\0');
  size = static_cast<DWORD>(value.size());
  if (MsiGetPropertyW(install, name, value.data(), &size) != ERROR_SUCCESS) return L"";
  value.resize(size);
  return value;
}

// The result of a path function that answers the length it needs (with the final NUL) when
// the buffer is too small and the length it wrote otherwise; empty when it fails.
template <class PathFunction>
std::wstring FromPathFunction(PathFunction call) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = call(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return L"";
    if (n < buffer.size()) {
      buffer.resize(n);
      return buffer;
    }
    buffer.resize(n);
  }
}

// One spelling of a path for comparisons: full, with long names where it exists.
std::wstring Canonical(const std::wstring& path) {
  if (path.empty()) return path;
  std::wstring full = FromPathFunction(
      [&](wchar_t* b, DWORD n) { return GetFullPathNameW(path.c_str(), n, b, nullptr); });
  if (full.empty()) full = path;
  std::wstring longer =
      FromPathFunction([&](wchar_t* b, DWORD n) { return GetLongPathNameW(full.c_str(), b, n); });
  return longer.empty() ? full : longer;
}

// Paths name the same file or folder when their canonical spellings are equal without case.
bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && !b.empty() &&
         CompareStringOrdinal(Canonical(a).c_str(), -1, Canonical(b).c_str(), -1, TRUE) ==
             CSTR_EQUAL;
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"" : path.substr(0, slash + 1);
}

std::wstring ImagePath(HANDLE process) {
  std::wstring path(32768, L'\0');
  DWORD size = static_cast<DWORD>(path.size());
  if (!QueryFullProcessImageNameW(process, 0, path.data(), &size)) return L"";
  path.resize(size);
  return path;
}

// The program a command line starts: the quoted text at its start, else its first word.
std::wstring ProgramOf(const std::wstring& commandLine) {
  const size_t start = commandLine.find_first_not_of(L" \t");
  if (start == std::wstring::npos) return L"";
  if (commandLine[start] == L'"') {
    const size_t end = commandLine.find(L'"', start + 1);
    return commandLine.substr(start + 1, end == std::wstring::npos ? end : end - start - 1);
  }
  const size_t end = commandLine.find_first_of(L" \t", start);
  return commandLine.substr(start, end == std::wstring::npos ? end : end - start);
}

// Reads a text value; ERROR_FILE_NOT_FOUND when the key or the value is missing.
LSTATUS ReadText(HKEY root, const std::wstring& key, const std::wstring& name, std::wstring& text) {
  for (;;) {
    DWORD bytes = 0;
    LSTATUS rc =
        RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    if (rc != ERROR_SUCCESS) return rc;
    text.assign(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    rc = RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
    if (rc == ERROR_MORE_DATA) continue;  // it grew in between
    if (rc != ERROR_SUCCESS) return rc;
    text.resize(bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return ERROR_SUCCESS;
  }
}

}  // namespace

extern "C" UINT __stdcall EndRunningCopy(MSIHANDLE install) {
  const std::wstring installDir = Property(install, L"INSTALLDIR");
  const std::wstring title = win32::Utf8ToWide(hushkey::kMainWindowTitle);
  const std::wstring boxClass = win32::Utf8ToWide(hushkey::kHandOffBoxClass);
  const std::wstring unload = win32::Utf8ToWide(hushkey::HandOffText(hushkey::StartRequestUnload));

  // Every main window first: a window of a copy that ends is gone from the list.
  std::vector<HWND> mainWindows;
  for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, title.c_str())) != nullptr;)
    mainWindows.push_back(w);

  std::vector<std::pair<win32::UniqueKernelObject, std::wstring>> ending;
  for (HWND mainWindow : mainWindows) {
    DWORD pid = 0;
    GetWindowThreadProcessId(mainWindow, &pid);
    win32::UniqueKernelObject process(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) continue;
    const std::wstring image = ImagePath(process.get());
    if (!SamePath(FolderOf(image), installDir)) {
      Log(install, L"EndRunningCopy: Hushkey runs from " + image + L", not from " + installDir +
                       L": left running.");
      continue;
    }
    const HWND box = FindWindowExW(mainWindow, nullptr, boxClass.c_str(), nullptr);
    DWORD_PTR ignored = 0;
    if (!box || !SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(unload.c_str()),
                                     SMTO_ABORTIFHUNG, kHandOffTimeoutMs, &ignored)) {
      // A copy that ends while it handles the text does not answer either: the wait tells.
      Log(install, L"EndRunningCopy: " + image + L" did not take the request to end.");
    }
    ending.emplace_back(std::move(process), image);
  }

  const DWORD start = GetTickCount();
  for (const auto& [process, image] : ending) {
    const DWORD spent = GetTickCount() - start;
    const DWORD left = spent < kEndTimeoutMs ? kEndTimeoutMs - spent : 0;
    if (WaitForSingleObject(process.get(), left) == WAIT_OBJECT_0) {
      Log(install, L"EndRunningCopy: " + image + L" has ended.");
    } else {
      Log(install, L"EndRunningCopy: " + image +
                       L" still runs; files in use are replaced at the next restart.");
    }
  }
  return ERROR_SUCCESS;
}

extern "C" UINT __stdcall RemoveRunValue(MSIHANDLE install) {
  // The installed program's full path, handed to this deferred action by the installer.
  const std::wstring installed = Property(install, L"CustomActionData");
  const std::wstring key = win32::Utf8ToWide(hushkey::kRunKeyPath);
  const std::wstring name = win32::Utf8ToWide(hushkey::kRunValueName);
  std::wstring data;
  LSTATUS rc = ReadText(HKEY_CURRENT_USER, key, name, data);
  if (rc == ERROR_SUCCESS && !SamePath(ProgramOf(data), installed)) {
    Log(install, L"RemoveRunValue: the user's Run value \"Hushkey\" starts " + ProgramOf(data) +
                     L", not " + installed + L": left alone.");
    return ERROR_SUCCESS;
  }
  if (rc == ERROR_SUCCESS) rc = RegDeleteKeyValueW(HKEY_CURRENT_USER, key.c_str(), name.c_str());
  if (rc == ERROR_SUCCESS) {
    Log(install, L"RemoveRunValue: removed the user's Run value \"Hushkey\".");
  } else if (rc == ERROR_FILE_NOT_FOUND) {
    Log(install, L"RemoveRunValue: no Run value \"Hushkey\".");
  } else {
    Log(install, L"RemoveRunValue: the user's Run value \"Hushkey\" could not be removed (error " +
                     std::to_wstring(rc) + L").");
    return ERROR_INSTALL_FAILURE;
  }
  return ERROR_SUCCESS;
}
