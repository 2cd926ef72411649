// Hushkey.exe's resources as the system sees them: the six tray icons by name with a 32x32
// and a 16x16 image in 16 colours, all different; the program icon; the version block;
// the manifest asking for visual styles and per-monitor DPI awareness; the two menus.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hushkey/resources/resource_ids.h"

namespace {

std::wstring ProgramPath() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + L"Hushkey.exe";
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

class HushkeyResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(ProgramPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "Hushkey.exe not found next to the test";
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  std::vector<BYTE> Resource(LPCWSTR name, LPCWSTR type) const {
    HRSRC r = FindResourceW(module_, name, type);
    if (!r) return {};
    HGLOBAL g = LoadResource(module_, r);
    const BYTE* p = static_cast<const BYTE*>(LockResource(g));
    return p ? std::vector<BYTE>(p, p + SizeofResource(module_, r)) : std::vector<BYTE>{};
  }

  HMODULE module_ = nullptr;
};

TEST_F(HushkeyResources, TrayIconsHaveBothSizesInSixteenColoursAndDifferentPictures) {
  const wchar_t* names[] = {L"AMBER", L"BLANK", L"BLOCKED", L"BLUE", L"GREEN", L"RED"};
  std::vector<std::vector<BYTE>> small, large;
  for (const wchar_t* name : names) {
    SCOPED_TRACE(testing::Message() << "icon " << std::wstring(name));
    std::vector<BYTE> group = Resource(name, RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader));
    const auto* header = reinterpret_cast<const GroupIconHeader*>(group.data());
    ASSERT_EQ(header->count, 2);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader) + 2 * sizeof(GroupIconEntry));
    const auto* entries =
        reinterpret_cast<const GroupIconEntry*>(group.data() + sizeof(GroupIconHeader));
    bool has16 = false, has32 = false;
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(entries[i].bitCount, 4);
      EXPECT_EQ(entries[i].colours, 16);
      std::vector<BYTE> image = Resource(MAKEINTRESOURCEW(entries[i].id), RT_ICON);
      ASSERT_FALSE(image.empty());
      if (entries[i].width == 16 && entries[i].height == 16) {
        has16 = true;
        small.push_back(image);
      }
      if (entries[i].width == 32 && entries[i].height == 32) {
        has32 = true;
        large.push_back(image);
      }
    }
    EXPECT_TRUE(has16);
    EXPECT_TRUE(has32);
    // Loadable by name at the small-icon size, as the tray loads them.
    HICON icon = static_cast<HICON>(LoadImageW(module_, name, IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
  }
  ASSERT_EQ(small.size(), 6u);
  ASSERT_EQ(large.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    for (std::size_t j = i + 1; j < 6; ++j) {
      EXPECT_NE(small[i], small[j]) << "16x16 pictures " << i << " and " << j << " are equal";
      EXPECT_NE(large[i], large[j]) << "32x32 pictures " << i << " and " << j << " are equal";
    }
  }
}

TEST_F(HushkeyResources, ProgramIconMenusAndManifest) {
  EXPECT_FALSE(Resource(MAKEINTRESOURCEW(IDI_HUSHKEY), RT_GROUP_ICON).empty());
  EXPECT_FALSE(Resource(MAKEINTRESOURCEW(IDR_MAINMENU), RT_MENU).empty());
  EXPECT_FALSE(Resource(MAKEINTRESOURCEW(IDR_TRAYMENU), RT_MENU).empty());
  std::vector<BYTE> manifest = Resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_FALSE(manifest.empty());
  const std::string text(manifest.begin(), manifest.end());
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(text.find("true/pm"), std::string::npos);

  // The menus as the window gets them: File, Options, Help; the tray menu from Restore to Exit.
  HMENU main = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_MAINMENU));
  ASSERT_NE(main, nullptr);
  wchar_t buf[64];
  const wchar_t* bar[] = {L"&File", L"&Options", L"&Help"};
  ASSERT_EQ(GetMenuItemCount(main), 3);
  for (int i = 0; i < 3; ++i) {
    GetMenuStringW(main, i, buf, 64, MF_BYPOSITION);
    EXPECT_STREQ(buf, bar[i]);
  }
  EXPECT_EQ(GetSubMenu(main, 1), nullptr);  // Options is a command on the bar itself
  GetMenuStringW(main, IDM_FILE_MINTOTRAY, buf, 64, MF_BYCOMMAND);
  EXPECT_STREQ(buf, L"&Minimise to system tray");
  GetMenuStringW(main, IDM_FILE_EXIT, buf, 64, MF_BYCOMMAND);
  EXPECT_STREQ(buf, L"E&xit");
  GetMenuStringW(main, IDM_HELP_ABOUT, buf, 64, MF_BYCOMMAND);
  EXPECT_STREQ(buf, L"&About");
  DestroyMenu(main);

  HMENU tray = LoadMenuW(module_, MAKEINTRESOURCEW(IDR_TRAYMENU));
  ASSERT_NE(tray, nullptr);
  GetMenuStringW(tray, 0, buf, 64, MF_BYPOSITION);
  EXPECT_STREQ(buf, L"&SysTray");
  HMENU popup = GetSubMenu(tray, 0);
  ASSERT_NE(popup, nullptr);
  const std::pair<UINT, const wchar_t*> items[] = {
      {IDM_POPUP_RESTORE, L"Restore"},    {IDM_POPUP_LOCKALL, L"Lock now"},
      {IDM_POPUP_AUTOLOCK, L"Auto lock"}, {IDM_POPUP_OPTIONS, L"Options\u2026"},
      {IDM_POPUP_HELP, L"Help"},          {0, nullptr},
      {IDM_POPUP_EXIT, L"Exit"}};
  ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(std::size(items)));
  for (int i = 0; i < GetMenuItemCount(popup); ++i) {
    if (!items[i].second) {
      EXPECT_TRUE(GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR);
      continue;
    }
    EXPECT_EQ(GetMenuItemID(popup, i), items[i].first);
    GetMenuStringW(popup, i, buf, 64, MF_BYPOSITION);
    EXPECT_STREQ(buf, items[i].second);
  }
  DestroyMenu(tray);
}

TEST(HushkeyVersion, VersionBlockSays197) {
  const std::wstring path = ProgramPath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len));
  EXPECT_EQ(HIWORD(info->dwFileVersionMS), 1);
  EXPECT_EQ(LOWORD(info->dwFileVersionMS), 97);
  EXPECT_EQ(HIWORD(info->dwFileVersionLS), 0);
  wchar_t* product = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\ProductName",
                             reinterpret_cast<void**>(&product), &len));
  EXPECT_STREQ(product, L"Hushkey");
}

}  // namespace
