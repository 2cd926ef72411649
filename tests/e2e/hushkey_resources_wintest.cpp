// Hushkey.exe's resources as the system sees them: the tray and program icons in every size
// in 32-bit colour, the tray pictures all different; the version blocks (and longtick.ocx's);
// the manifest asking for visual styles and per-monitor DPI awareness; the two menus.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "hushkey/resources/resource_ids.h"

namespace {

std::wstring BesideTest(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}
std::wstring ProgramPath() { return BesideTest(L"Hushkey.exe"); }

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

TEST_F(HushkeyResources, IconsHaveEverySizeIn32BitColourAndTrayPicturesDiffer) {
  const wchar_t* names[] = {L"AMBER", L"BLANK", L"BLOCKED", L"BLUE", L"GREEN", L"RED", L"#1"};
  std::map<int, std::vector<std::vector<BYTE>>> tray;  // the tray pictures by size
  for (const wchar_t* name : names) {
    SCOPED_TRACE(testing::Message() << "icon " << std::wstring(name));
    std::vector<BYTE> group = Resource(name, RT_GROUP_ICON);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader));
    const auto* header = reinterpret_cast<const GroupIconHeader*>(group.data());
    ASSERT_EQ(header->count, 8);
    ASSERT_GE(group.size(), sizeof(GroupIconHeader) + 8 * sizeof(GroupIconEntry));
    const auto* entries =
        reinterpret_cast<const GroupIconEntry*>(group.data() + sizeof(GroupIconHeader));
    std::set<int> sizes;
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(entries[i].bitCount, 32);
      std::vector<BYTE> image = Resource(MAKEINTRESOURCEW(entries[i].id), RT_ICON);
      ASSERT_FALSE(image.empty());
      const int size = entries[i].width == 0 ? 256 : entries[i].width;
      sizes.insert(size);
      if (name[0] != L'#') tray[size].push_back(image);
      // The image decodes at its own size (the 256 px one is a PNG).
      ICONINFO info{};
      BITMAP bm{};
      HICON icon = CreateIconFromResourceEx(image.data(), static_cast<DWORD>(image.size()), TRUE,
                                            0x00030000, 0, 0, LR_DEFAULTCOLOR);
      ASSERT_TRUE(icon && GetIconInfo(icon, &info)) << size;
      GetObjectW(info.hbmColor, sizeof bm, &bm);
      EXPECT_EQ(bm.bmWidth, size);
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
    // Loadable by name at the small-icon size, as the tray loads them.
    HICON icon = static_cast<HICON>(LoadImageW(module_, name, IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
  }
  for (const auto& [size, pictures] : tray) {
    ASSERT_EQ(pictures.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
      for (std::size_t j = i + 1; j < 6; ++j)
        EXPECT_NE(pictures[i], pictures[j]) << size << " px pictures " << i << ", " << j;
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

// Both binaries carry the package's version as their file version, the maker and the
// copyright; the control's product version is its own.
TEST(HushkeyVersion, VersionBlocksSay197) {
  const std::pair<const wchar_t*, std::wstring> rows[] = {
      {L"Hushkey.exe", L"Hushkey|1.97.0.0|1.97.0.0|"},
      {L"longtick.ocx", L"Longtick|1.97.0.0|1.0.0.7|"}};
  for (const auto& [file, expected] : rows) {
    const std::wstring path = BesideTest(file);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u) << file;
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &len));
    EXPECT_EQ(info->dwFileVersionMS, MAKELONG(97, 1)) << file;  // 1.97.0.0
    EXPECT_EQ(info->dwFileVersionLS, 0u) << file;
    std::wstring texts;
    wchar_t* text = nullptr;
    for (std::wstring key :
         {L"ProductName", L"FileVersion", L"ProductVersion", L"CompanyName", L"LegalCopyright"})
      if (VerQueryValueW(data.data(), (L"\\StringFileInfo\\040904B0\\" + key).c_str(),
                         reinterpret_cast<void**>(&text), &len))
        texts += std::wstring(text) + L"|";
    EXPECT_EQ(texts, expected + L"Hushkey Project|Copyright (C) 2026 Hushkey Project|");
  }
}

}  // namespace
