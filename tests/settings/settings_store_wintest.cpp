// The registry-backed store against the real registry, under a key of its own that is
// removed before and after each test.
#include <windows.h>

#include <gtest/gtest.h>

#include "hushkey/settings/load_settings.h"
#include "hushkey/settings/registry_store_win32.h"
#include "win32/text_win32.h"

namespace hushkey {
namespace {

const wchar_t kTestRoot[] = L"Software\\HushkeyStoreTest";
const wchar_t kTestPath[] = L"Software\\HushkeyStoreTest\\Settings";

bool KeyExists(const wchar_t* path) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

class RegistryStore : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    EXPECT_FALSE(KeyExists(kTestRoot));
  }
  RegistrySettingsStore store_{kTestPath};
};

TEST(RegistryStorePath, IsPerUserUnderProgramTitle) {
  EXPECT_EQ(DefaultSettingsKeyPath(), L"Software\\Hushkey\\Settings");
}

TEST_F(RegistryStore, ReadingNeverCreatesTheKey) {
  EXPECT_EQ(store_.Read("Beep"), std::nullopt);
  EXPECT_EQ(store_.Get(SettingId::DontLockIfDay), "XXXXX  ");
  const Settings s = LoadSettings(store_, 9);
  EXPECT_EQ(s.MouseSpd, 9);
  EXPECT_FLOAT_EQ(s.Timeout, 10.0f);
  EXPECT_FALSE(KeyExists(kTestRoot));
}

TEST_F(RegistryStore, RoundTripKeepsMissingEmptyAndUnicodeApart) {
  ASSERT_TRUE(store_.Write("DontLockIfStartTime", ""));
  ASSERT_TRUE(store_.Write("Timeout", "1.5"));
  const std::string path = "C:\\Users\\Zo\xC3\xAB\\\xE6\x97\xA5\xE6\x9C\xAC\\flag on.txt";
  ASSERT_TRUE(store_.Write("DontLockIfFileExists", path));
  const std::string longText(5000, 'w');
  ASSERT_TRUE(store_.Write("PassthruWCls", longText));

  EXPECT_EQ(store_.Read("DontLockIfStartTime"), std::string());
  EXPECT_EQ(store_.Get(SettingId::DontLockIfStartTime), "");  // empty, not "08:00"
  EXPECT_EQ(store_.Read("DontLockIfEndTime"), std::nullopt);
  EXPECT_EQ(store_.Get(SettingId::DontLockIfEndTime), "17:00");
  EXPECT_EQ(store_.Read("DontLockIfFileExists"), path);
  EXPECT_EQ(store_.Read("PassthruWCls"), longText);
  EXPECT_FLOAT_EQ(LoadSettings(store_, 10).Timeout, 1.5f);

  // A fresh store object sees the same values: they are in the registry, not in memory.
  RegistrySettingsStore again(kTestPath);
  EXPECT_EQ(again.Read("DontLockIfFileExists"), path);

  // Stored as REG_SZ text, readable by any registry tool.
  wchar_t buf[16] = {};
  DWORD size = sizeof(buf);
  DWORD type = 0;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, kTestPath, L"Timeout", RRF_RT_ANY, &type, buf, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(buf, L"1.5");
}

TEST_F(RegistryStore, NonTextValueReadsAsMissing) {
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k,
                            nullptr),
            ERROR_SUCCESS);
  const DWORD one = 1;
  RegSetValueExW(k, L"Beep", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
  RegCloseKey(k);
  EXPECT_EQ(store_.Read("Beep"), std::nullopt);
  EXPECT_TRUE(LoadSettings(store_, 10).Beep);  // default applies, no failure
}

TEST(WideText, RoundTrip) {
  const std::string s = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
  EXPECT_EQ(win32::Utf8ToWide(s), std::wstring(L"a\u00E9\u20AC\U0001F600"));
  EXPECT_EQ(win32::WideToUtf8(win32::Utf8ToWide(s)), s);
  EXPECT_EQ(win32::Utf8ToWide(""), L"");
}

}  // namespace
}  // namespace hushkey
