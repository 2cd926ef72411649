// Custom action of the Hushkey installer (embedded in the MSI, never installed).
//
// RemoveRunValue runs when the product is removed for good (not when an upgrade replaces
// it): it deletes the value "Hushkey" from the user's Run key, which the options dialog's
// "Start with windows" writes and which would otherwise start a program that is gone.
// Windows Installer removes only registry values that the package itself wrote, so this
// one needs code. A value that is not there counts as removed.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <cwchar>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Hushkey";

void Log(MSIHANDLE install, const wchar_t* text) {
  PMSIHANDLE record = MsiCreateRecord(1);
  MsiRecordSetStringW(record, 0, text);
  MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

}  // namespace

extern "C" UINT __stdcall RemoveRunValue(MSIHANDLE install) {
  const LSTATUS rc = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
  if (rc == ERROR_SUCCESS) {
    Log(install, L"RemoveRunValue: removed the user's Run value \"Hushkey\".");
  } else if (rc == ERROR_FILE_NOT_FOUND) {
    Log(install, L"RemoveRunValue: no Run value \"Hushkey\".");
  } else {
    wchar_t text[128];
    std::swprintf(text, 128,
                  L"RemoveRunValue: the user's Run value \"Hushkey\" could not be "
                  L"removed (error %ld).",
                  static_cast<long>(rc));
    Log(install, text);
    return ERROR_INSTALL_FAILURE;
  }
  return ERROR_SUCCESS;
}
