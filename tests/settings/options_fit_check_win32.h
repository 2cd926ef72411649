// The check that no text of an open options dialog is clipped: each control's text measured
// in the font the dialog makes for the DPI, against the control's client area. Used
// in-process and on the running program.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include "hushkey/settings/options_dialog_win32.h"
#include "hushkey/settings/options_ids.h"

namespace hushkey::test {

inline void ExpectNoTextClipped(HWND dialog, UINT dpi) {
  using K = OptionsControlKind;
  win32::UniqueFont font(CreateOptionsFont(dpi)), heading(CreateOptionsHeadingFont(dpi));
  HDC dc = CreateCompatibleDC(nullptr);
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    const HWND w = GetDlgItem(dialog, OptionsControlId(row.id));
    wchar_t text[1024];
    const auto n = static_cast<int>(SendMessageW(w, WM_GETTEXT, 1024, (LPARAM)text));
    // Not measured: boxes for a path or a class name (they scroll), and the name of a check
    // box without caption (it shows an image, none, in place of its text).
    if (n <= 0 || (row.kind == K::TextBox && FitText(row).empty()) ||
        (row.kind == K::CheckBox && (GetWindowLongW(w, GWL_STYLE) & BS_BITMAP))) {
      continue;
    }
    RECT client{}, need{};
    GetClientRect(w, &client);
    need.right = client.right;
    SelectObject(dc, row.bold ? heading.get() : font.get());
    DrawTextW(dc, text, n, &need,
              DT_CALCRECT | (row.kind == K::Label ? DT_WORDBREAK : DT_SINGLELINE) |
                  (row.kind == K::TextBox ? DT_NOPREFIX : 0));
    SIZE digit{};  // a check box's or option button's glyph and the gap after it
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    const auto margins = static_cast<DWORD>(SendMessageW(w, EM_GETMARGINS, 0, 0));
    const int beside = row.kind == K::TextBox ? LOWORD(margins) + HIWORD(margins)
                       : row.kind == K::CheckBox || row.kind == K::OptionButton
                           ? MulDiv(13, static_cast<int>(dpi), 96) + digit.cx / 2
                           : 0;
    EXPECT_LE(need.right + beside, client.right) << row.name << row.index << " at " << dpi;
    EXPECT_LE(need.bottom, client.bottom) << row.name << row.index << " at " << dpi;
  }
  DeleteDC(dc);
}

}  // namespace hushkey::test
