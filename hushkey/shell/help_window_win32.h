// The help window: the help text in a read-only box of its own that scrolls and lets the
// text be selected and copied, in a fixed-pitch font so that the switch lines line up. The
// window is sizable (the box follows its size) and opens at its designed size or at the
// work area of its monitor, whichever is smaller, never reaching outside the work area.
// One window: a second Help gives it the new text and brings it to the front. Its close
// box closes it.
#pragma once

#include <windows.h>

#include <string>

#include "win32/handles_win32.h"
#include "win32/window_base_win32.h"

namespace hushkey {

class HelpWindow final : public win32::WindowBase {
 public:
  HelpWindow() = default;
  ~HelpWindow() { window_.reset(); }
  HelpWindow(const HelpWindow&) = delete;
  HelpWindow& operator=(const HelpWindow&) = delete;

  // Shows `text` (UTF-8, CR LF between lines) under `caption`, creating the window when it
  // is not open. The main window stays usable.
  void Show(HINSTANCE instance, const std::string& caption, const std::string& text);

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  bool Create(HINSTANCE instance, const std::string& caption);
  void SetTextFont(UINT dpi);

  win32::UniqueWindow window_;
  win32::UniqueFont font_;
  HWND box_ = nullptr;  // the text box, a child of window_
};

}  // namespace hushkey
