// The clock, address table and file search adapters against the real system.
// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <vector>

#include "hushkey/autolock/clock_win32.h"
#include "hushkey/autolock/file_exists_win32.h"
#include "hushkey/autolock/local_ip_win32.h"
#include "hushkey/engine/lock_mode.h"
#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/registry_store_win32.h"
#include "tests/support/fakes.h"
#include "win32/text_win32.h"

namespace hushkey {
namespace {

// A temporary folder with a few files and folders, removed afterwards.
class TempTree : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t tmp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH, tmp), 0u);
    root_ = std::wstring(tmp) + L"hk_fileexists_" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    Made(L"\\dir", true);
    Made(L"\\dir\\inner.on", false);
    Made(L"\\only_dirs", true);
    Made(L"\\only_dirs\\a.on", true);
    Made(L"\\only_dirs\\b.on", true);
    Made(L"\\mixed", true);
    Made(L"\\mixed\\a.on", true);  // a folder listed before the file
    Made(L"\\mixed\\b.on", false);
    Made(L"\\with space.txt", false);
    Made(L"\\\u65E5\u672C\u00EB.flag", false);
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      if (it->second) {
        RemoveDirectoryW(it->first.c_str());
      } else {
        DeleteFileW(it->first.c_str());
      }
    }
    RemoveDirectoryW(root_.c_str());
    EXPECT_EQ(GetFileAttributesW(root_.c_str()), INVALID_FILE_ATTRIBUTES);
  }
  void Made(const std::wstring& rel, bool folder) {
    const std::wstring p = root_ + rel;
    if (folder) {
      ASSERT_TRUE(CreateDirectoryW(p.c_str(), nullptr));
    } else {
      HANDLE h = CreateFileW(p.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      ASSERT_NE(h, INVALID_HANDLE_VALUE);
      CloseHandle(h);
    }
    made_.emplace_back(p, folder);
  }
  std::string Root() const { return win32::WideToUtf8(root_); }

  std::wstring root_;
  std::vector<std::pair<std::wstring, bool>> made_;
};

TEST_F(TempTree, FileExistsOnRealFilesFoldersAndPatterns) {
  const std::string r = Root();
  struct Case {
    std::string path;
    bool want;
  };
  const Case cases[] = {
      {r + "\\with space.txt", true},
      {"\"" + r + "\\with space.txt\"", true},
      {"\"" + r + "\"\\\"with space.txt\"", true},  // quotes anywhere are removed
      {r + "\\\xE6\x97\xA5\xE6\x9C\xAC\xC3\xAB.flag", true},
      {r + "\\*.flag", true},
      {r + "\\dir\\*.on", true},
      {r + "\\dir\\inner.?n", true},
      {r + "\\dir", false},  // a folder does not count
      {"\"" + r + "\\dir\"", false},
      {r, false},
      {r + "\\only_dirs\\*.on", false},  // matches only folders
      {r + "\\mixed\\*.on", true},       // a file after a folder still counts
      {r + "\\missing.txt", false},
      {r + "\\nofolder\\*.on", false},
      {"", false},
      {"\"\"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(FileExists(c.path), c.want);
  }
}

TEST_F(TempTree, FileConditionEndToEndWithRealPorts) {
  const wchar_t kPath[] = L"Software\\HushkeyDontLockIfTest\\Settings";
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\HushkeyDontLockIfTest");
  RegistrySettingsStore store(kPath);
  Win32Clock clock;
  Win32AddressTable addresses;
  Win32FileSearch files;
  DontLockIfPorts ports{DontLockIfValuesIn(store), clock, addresses, files};
  AppState app;
  app.CurrentMode = ModeAutoLock;
  app.settings.DontLockIf = true;
  app.settings.DontLockIfOpt = DontLockIfCondition::FileExists;

  ASSERT_TRUE(store.Set(SettingId::DontLockIfFileExists, "\"" + Root() + "\\mixed\\*.on\""));
  EXPECT_EQ(CheckDontLockIf(app, ports).outcome, DontLockIfOutcome::Suspend);
  ASSERT_TRUE(store.Set(SettingId::DontLockIfFileExists, Root() + "\\dir"));
  EXPECT_EQ(CheckDontLockIf(app, ports).outcome, DontLockIfOutcome::Lock);
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\HushkeyDontLockIfTest");
}

TEST(LocalIp, DottedAddressOrEmptyWithoutThrowing) {
  std::string address;
  EXPECT_NO_THROW(address = LocalIPAddress());
  if (!address.empty()) {
    static const std::regex dotted(
        R"((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)(\.(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)){3})");
    EXPECT_TRUE(std::regex_match(address, dotted)) << address;
    EXPECT_NE(address.rfind("127.", 0), 0u) << address;
    EXPECT_NE(address.rfind("0.", 0), 0u) << address;
  }
}

TEST(LocalIp, RowsDecodedInTableOrderFirstOctetFirst) {
  Win32AddressTable table;
  AddressTableRead read = table.ReadAddressTable();
  ASSERT_TRUE(read.ok) << read.error;

  // The same table read independently, decoded through in_addr's byte fields.
  ULONG size = 0;
  ASSERT_EQ(GetIpAddrTable(nullptr, &size, TRUE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<BYTE> buf(size + 1024);
  size = static_cast<ULONG>(buf.size());
  ASSERT_EQ(GetIpAddrTable(reinterpret_cast<PMIB_IPADDRTABLE>(buf.data()), &size, TRUE),
            static_cast<DWORD>(NO_ERROR));
  const auto* t = reinterpret_cast<const MIB_IPADDRTABLE*>(buf.data());
  ASSERT_EQ(read.rows.size(), t->dwNumEntries);
  for (DWORD i = 0; i < t->dwNumEntries; ++i) {
    in_addr a;
    a.S_un.S_addr = t->table[i].dwAddr;
    const Ipv4Address want{a.S_un.S_un_b.s_b1, a.S_un.S_un_b.s_b2, a.S_un.S_un_b.s_b3,
                           a.S_un.S_un_b.s_b4};
    EXPECT_EQ(read.rows[i], want) << i;
  }
  EXPECT_EQ(LocalIPAddress(), SelectLocalIPAddress(read.rows));
}

TEST(Clock, WeekdayMondayFirstAndTimeOfDay) {
  Win32Clock clock;
  for (int attempt = 0; attempt < 5; ++attempt) {
    const LocalTime before = clock.Now();
    const std::time_t now = std::time(nullptr);
    const std::tm* tm = std::localtime(&now);
    ASSERT_NE(tm, nullptr);
    const LocalTime after = clock.Now();
    ASSERT_GE(before.weekday, 1);
    ASSERT_LE(before.weekday, 7);
    ASSERT_GE(before.secondOfDay, 0);
    ASSERT_LT(before.secondOfDay, 86400);
    if (before.weekday != after.weekday) continue;  // crossed midnight: look again
    EXPECT_EQ(before.weekday, tm->tm_wday == 0 ? 7 : tm->tm_wday);
    const int crt = tm->tm_hour * 3600 + tm->tm_min * 60 + tm->tm_sec;
    EXPECT_LE(before.secondOfDay, crt);
    EXPECT_LE(crt, after.secondOfDay);
    return;
  }
  FAIL() << "clock kept crossing midnight";
}

}  // namespace
}  // namespace hushkey
