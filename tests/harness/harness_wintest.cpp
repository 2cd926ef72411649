// Checks the ground every other Windows-side test stands on: a desktop with a screen, a
// window that can be created and shown, and a message queue that delivers posted messages.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_APP) {
    *reinterpret_cast<int*>(GetWindowLongPtrW(w, GWLP_USERDATA)) += static_cast<int>(wp);
    return 0;
  }
  return DefWindowProcW(w, m, wp, lp);
}

TEST(Harness, DesktopHasAScreen) {
  EXPECT_GT(GetSystemMetrics(SM_CXSCREEN), 0);
  EXPECT_GT(GetSystemMetrics(SM_CYSCREEN), 0);
  EXPECT_NE(GetDesktopWindow(), nullptr);
}

TEST(Harness, WindowReceivesPostedMessages) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"HarnessProbe";
  ASSERT_NE(RegisterClassW(&wc), 0);
  HWND w = CreateWindowW(L"HarnessProbe", L"probe", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                         nullptr, wc.hInstance, nullptr);
  ASSERT_NE(w, nullptr);
  int received = 0;
  SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  ShowWindow(w, SW_SHOW);
  PostMessageW(w, WM_APP, 7, 0);
  MSG msg;
  DWORD start = GetTickCount();
  while (received == 0 && GetTickCount() - start < 10000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  EXPECT_EQ(received, 7);
  DestroyWindow(w);
  UnregisterClassW(L"HarnessProbe", wc.hInstance);
}

}  // namespace
