#include "longtick/about/about_box_win32.h"

#include <shellapi.h>

#include <string>
#include <utility>
#include <vector>

#include "longtick/about/about_resources.h"
#include "longtick/about/about_text.h"
#include "longtick/control/com_base_win32.h"
#include "longtick/control/control_resource_ids.h"
#include "win32/handles_win32.h"
#include "win32/text_win32.h"

namespace longtick {

namespace {

constexpr wchar_t kProductFallback[] = L"Longtick";

using win32::Utf8ToWide;
using win32::WideToUtf8;

// The library's own version block. Its version is the product version: the file version is
// that of the package the library ships in.
struct VersionBlock {
  unsigned major = 0, minor = 0, revision = 0;
  std::wstring product = kProductFallback;
  std::wstring comments;
};

VersionBlock ReadVersionBlock() {
  VersionBlock block;
  const std::wstring path = ModulePath();
  if (path.empty()) return block;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return block;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return block;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  if (VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) && fixed) {
    block.major = HIWORD(fixed->dwProductVersionMS);
    block.minor = LOWORD(fixed->dwProductVersionMS);
    block.revision = LOWORD(fixed->dwProductVersionLS);
  }
  wchar_t* text = nullptr;
  if (VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                     reinterpret_cast<void**>(&text), &len) &&
      text && len > 0)
    block.product = text;
  if (VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\Comments",
                     reinterpret_cast<void**>(&text), &len) &&
      text && len > 0)
    block.comments = text;
  return block;
}

// GetKeyValue: a text value under HKEY_LOCAL_MACHINE. Only read access is asked for, so
// that users without administrator rights find the tool too.
KeyValue GetKeyValue(std::string_view key, std::string_view value) {
  KeyValue result;
  win32::UniqueKey h;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(key).c_str(), 0, KEY_QUERY_VALUE, h.put()) !=
      ERROR_SUCCESS)
    return result;
  wchar_t buffer[1024];
  DWORD bytes = sizeof buffer, type = 0;
  if (RegQueryValueExW(h.get(), Utf8ToWide(value).c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer), &bytes) == ERROR_SUCCESS) {
    result.found = true;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::wstring text = TrimRegistryText(buffer, bytes / sizeof(wchar_t));
      if (type == REG_EXPAND_SZ) {
        const DWORD need = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
        std::wstring expanded(need, L'\0');
        if (need > 0 && ExpandEnvironmentStringsW(text.c_str(), expanded.data(), need) == need) {
          expanded.resize(need - 1);
          text = std::move(expanded);
        }
      }
      result.text = WideToUtf8(text);
    }
  }
  return result;
}

void LaunchApp(HWND box, const std::wstring& document, int show) {
  auto result =
      reinterpret_cast<intptr_t>(ShellExecuteW(box, L"open", document.c_str(), L"", L"", show));
  if (ShellOpenFailed(result)) {
    std::wstring text = Utf8ToWide(ApiErrorText(GetLastError()));
    MessageBoxW(box, text.c_str(), kProductFallback, MB_OK | MB_ICONWARNING);
  }
}

void StartSysInfo(HWND box) {
  auto program = FindSysInfoProgram(GetKeyValue, [](const std::string& p) {
    DWORD attrs = GetFileAttributesW(Utf8ToWide(p).c_str());
    return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
  });
  if (program && !program->empty()) {
    auto result = reinterpret_cast<intptr_t>(
        ShellExecuteW(box, L"open", Utf8ToWide(*program).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (!ShellOpenFailed(result)) return;
  }
  std::wstring text = Utf8ToWide(kSysInfoUnavailable);
  MessageBoxW(box, text.c_str(), kProductFallback, MB_OK);
}

void OpenWebLink(HWND box, const std::wstring& address) {
  LaunchApp(box, Utf8ToWide(WebLinkTarget(WideToUtf8(address))), SW_SHOWNORMAL);
}

// What the box owns while it is open; released when it is destroyed.
struct BoxState {
  win32::UniqueFont link_font;
  win32::UniqueIcon icon;
};

void InitBox(HWND box, BoxState& state) {
  VersionBlock v = ReadVersionBlock();
  SetWindowTextW(box, Utf8ToWide(AboutCaption(WideToUtf8(v.product))).c_str());
  SetDlgItemTextW(box, IDC_ABOUT_TITLE, v.product.c_str());
  SetDlgItemTextW(box, IDC_ABOUT_VERSION,
                  Utf8ToWide(VersionLine(v.major, v.minor, v.revision)).c_str());
  SetDlgItemTextW(box, IDC_ABOUT_DESCRIPTION, v.comments.c_str());
  SetDlgItemTextW(box, IDC_ABOUT_DISCLAIMER, Utf8ToWide(kDisclaimer).c_str());
  SetDlgItemTextW(box, IDC_ABOUT_URL, Utf8ToWide(kWebAddress).c_str());

  state.icon.reset(static_cast<HICON>(
      LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDI_LONGTICK), IMAGE_ICON, 32, 32, 0)));
  if (state.icon) {
    SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(state.icon.get()), 0);
    SendMessageW(box, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(state.icon.get()));
  }
  LOGFONTW lf{};
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0));
      font && GetObjectW(font, sizeof lf, &lf)) {
    lf.lfUnderline = TRUE;
    state.link_font.reset(CreateFontIndirectW(&lf));
    SendDlgItemMessageW(box, IDC_ABOUT_URL, WM_SETFONT,
                        reinterpret_cast<WPARAM>(state.link_font.get()), FALSE);
  }

  RECT r;
  GetWindowRect(box, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  SetWindowPos(box, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AboutProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
  auto* state = reinterpret_cast<BoxState*>(GetWindowLongPtrW(box, DWLP_USER));
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(box, DWLP_USER, lp);
      InitBox(box, *reinterpret_cast<BoxState*>(lp));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lp) == GetDlgItem(box, IDC_ABOUT_URL)) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return FALSE;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wp) == GetDlgItem(box, IDC_ABOUT_URL)) {
        SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
        SetWindowLongPtrW(box, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case IDOK:
        case IDCANCEL: EndDialog(box, IDOK); return TRUE;
        case IDC_ABOUT_SYSINFO: StartSysInfo(box); return TRUE;
        case IDC_ABOUT_URL:
          if (HIWORD(wp) == STN_CLICKED) {
            wchar_t caption[256] = {};
            GetDlgItemTextW(box, IDC_ABOUT_URL, caption, 256);
            OpenWebLink(box, caption);
          }
          return TRUE;
      }
      return FALSE;
    case WM_DESTROY:
      if (state) {
        state->link_font.reset();
        state->icon.reset();
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

HRESULT ShowControlAboutBox(HWND owner) {
  BoxState state;
  INT_PTR rc = DialogBoxParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_LONGTICK_ABOUT), owner,
                               AboutProc, reinterpret_cast<LPARAM>(&state));
  return rc == -1 ? HRESULT_FROM_WIN32(GetLastError()) : S_OK;
}

}  // namespace longtick
