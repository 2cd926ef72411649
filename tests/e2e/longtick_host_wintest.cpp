// The timer control as Hushkey.exe hosts it: created in its design state, properties read
// and written through IDispatch by DISPID, the Timer event delivered to the handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "hushkey/autolock/longtick_host_win32.h"

namespace {

bool WaitUntil(const std::function<bool()>& cond, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  while (!cond()) {
    if (GetTickCount() - start >= deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

class LongtickHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    std::wstring error;
    host_ = hushkey::LongtickHost::Create(&error);
    if (!host_) {
      // Not built in this tree (neither registered nor next to the test).
      wchar_t path[MAX_PATH];
      DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
      std::wstring p(path, n);
      p = p.substr(0, p.find_last_of(L"\\/") + 1) + hushkey::kLongtickFile;
      ASSERT_EQ(GetFileAttributesW(p.c_str()), INVALID_FILE_ATTRIBUTES)
          << "longtick.ocx is there but the host failed: " << error;
      GTEST_SKIP() << "no longtick.ocx";
    }
    std::printf("[ info     ] control from %s\n",
                host_->FromRegisteredClass() ? "the registered class" : "the program folder");
  }
  void TearDown() override {
    host_.reset();
    CoUninitialize();
  }
  std::unique_ptr<hushkey::LongtickHost> host_;
};

TEST_F(LongtickHostTest, StartsInItsDesignStateAndRoundTripsItsProperties) {
  EXPECT_FALSE(host_->Enabled());
  EXPECT_EQ(host_->IntervalMinutes(), 0);
  EXPECT_EQ(host_->IntervalSeconds(), 0);
  host_->SetIntervalMinutes(7);
  host_->SetIntervalSeconds(45);
  EXPECT_EQ(host_->IntervalMinutes(), 7);
  EXPECT_EQ(host_->IntervalSeconds(), 45);
  host_->SetEnabled(true);
  EXPECT_TRUE(host_->Enabled());
  host_->SetEnabled(false);
  EXPECT_FALSE(host_->Enabled());
}

TEST_F(LongtickHostTest, DeliversTheTimerEventUntilClosed) {
  int fired = 0;
  host_->SetTimerHandler([&] { ++fired; });
  host_->SetIntervalSeconds(1);
  host_->SetEnabled(true);
  EXPECT_TRUE(WaitUntil([&] { return fired >= 2; }, 30000));
  // A handler that disables the control stops further events.
  host_->SetTimerHandler([&] {
    ++fired;
    host_->SetEnabled(false);
  });
  const int before = fired;
  EXPECT_TRUE(WaitUntil([&] { return fired > before; }, 30000));
  EXPECT_FALSE(host_->Enabled());
  host_->Close();
  // After Close nothing is called and the properties read as neutral values.
  EXPECT_FALSE(host_->Enabled());
  EXPECT_EQ(host_->IntervalSeconds(), 0);
}

}  // namespace
