#include "hushkey/about/about_window_win32.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "hushkey/resources/resource_ids.h"
#include "win32/text_win32.h"

namespace hushkey {

namespace {

struct AboutState {
  const AboutBoxContent* content;
  HICON icon;
};

// A link control's markup: the caption, linked to the target (the markup's own quote
// characters cannot appear in either).
std::wstring LinkMarkup(const std::string& caption, const std::string& target) {
  auto clean = [](std::wstring s) {
    for (wchar_t& c : s)
      if (c == L'"' || c == L'<' || c == L'>') c = L'_';
    return s;
  };
  return L"<a href=\"" + clean(win32::Utf8ToWide(target)) + L"\">" +
         clean(win32::Utf8ToWide(caption)) + L"</a>";
}

INT_PTR CALLBACK AboutProc(HWND box, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* state = reinterpret_cast<const AboutState*>(lp);
      const AboutBoxContent& c = *state->content;
      SetWindowTextW(box, win32::Utf8ToWide(c.caption).c_str());
      SetDlgItemTextW(box, IDC_ABOUT_VERSION, win32::Utf8ToWide(c.versionLine).c_str());
      SetDlgItemTextW(box, IDC_ABOUT_WEB, LinkMarkup(c.webCaption, c.webTarget).c_str());
      SetDlgItemTextW(box, IDC_ABOUT_EMAIL, LinkMarkup(c.emailCaption, c.emailTarget).c_str());
      if (state->icon)
        SendDlgItemMessageW(box, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(state->icon),
                            0);
      return TRUE;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lp);
      if ((hdr->idFrom == IDC_ABOUT_WEB || hdr->idFrom == IDC_ABOUT_EMAIL) &&
          (hdr->code == NM_CLICK || hdr->code == NM_RETURN)) {
        const auto* link = reinterpret_cast<const NMLINK*>(lp);
        OpenLinkTarget(box, win32::WideToUtf8(link->item.szUrl));
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
        EndDialog(box, IDOK);
        return TRUE;
      }
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace

void ShowAboutBox(HINSTANCE instance, HWND owner, const AboutBoxContent& content, HICON icon) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LINK_CLASS};
  InitCommonControlsEx(&icc);
  AboutState state{&content, icon};
  DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc,
                  reinterpret_cast<LPARAM>(&state));
}

void OpenLinkTarget(HWND owner, const std::string& target) {
  ShellExecuteW(owner, L"open", win32::Utf8ToWide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace hushkey
