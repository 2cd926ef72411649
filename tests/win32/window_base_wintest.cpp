// The window base: an object gets its window's messages from WM_NCCREATE to WM_NCDESTROY,
// and a window never keeps pointing at an object that has gone.
#include "win32/window_base_win32.h"

#include <gtest/gtest.h>

#include "win32/window_win32.h"

namespace {

class Recorder final : public win32::WindowBase {
 public:
  HWND Create() {
    WNDCLASSEXW wc{};
    wc.lpfnWndProc = &WindowProc;
    wc.lpszClassName = L"HushkeyWindowBaseTest";
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!win32::EnsureWindowClass(wc, instance)) return nullptr;
    return CreateHandle(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                        nullptr, instance);
  }
  UINT first = 0, last = 0;  // the first and last message, with Handle() as each came
  HWND handleAtFirst = nullptr, handleAtLast = nullptr;

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override {
    if (!first) first = msg, handleAtFirst = Handle();
    last = msg, handleAtLast = Handle();
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
};

TEST(WindowBase, ServesItsWindowFromNcCreateToNcDestroyAndNoLonger) {
  Recorder served;
  const HWND window = served.Create();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(served.first, static_cast<UINT>(WM_NCCREATE));
  EXPECT_EQ(served.handleAtFirst, window);
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(served.last, static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(served.handleAtLast, nullptr);

  HWND orphan;
  {
    Recorder gone;
    orphan = gone.Create();
    ASSERT_NE(orphan, nullptr);
    EXPECT_NE(GetWindowLongPtrW(orphan, GWLP_USERDATA), 0);
  }
  EXPECT_EQ(GetWindowLongPtrW(orphan, GWLP_USERDATA), 0);
  EXPECT_TRUE(DestroyWindow(orphan));
}

}  // namespace
