// The options dialog's Win32 ports against the real system: the registry routines over the
// wide registry API (under a test key of their own, removed before and after each test) and
// the system open-file dialog, answered from this test; the dialog's window at four DPIs.
#include <windows.h>
#include <dlgs.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <optional>

#include "hushkey/settings/file_picker_win32.h"
#include "hushkey/settings/registry_routines_win32.h"
#include "tests/settings/options_fakes.h"
#include "tests/settings/options_fit_check_win32.h"
#include "win32/com_win32.h"
#include "win32/text_win32.h"

namespace hushkey {
namespace {

constexpr wchar_t kTestRoot[] = L"Software\\HushkeyOptionsTest";

std::optional<std::wstring> ReadText(const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024];
  DWORD size = sizeof(buf);
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::wstring(buf);
}

bool KeyExists(const std::wstring& path) {
  HKEY k = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(k);
  return true;
}

class RegistryRoutines : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot); }
  void TearDown() override {
    EXPECT_EQ(registry_.OpenKeys(), 0u) << "a key opened through the port was not closed";
    RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
  }
  Win32Registry registry_;
};

TEST(RegistryRoots, AreThePlatformsPredefinedKeys) {
  EXPECT_EQ(ToHkey(kHkeyCurrentUser), HKEY_CURRENT_USER);
  EXPECT_EQ(ToHkey(kHkeyLocalMachine), HKEY_LOCAL_MACHINE);
}

TEST_F(RegistryRoutines, SetWritesTextAsItIsAndEmptyTextAsOneBlank) {
  const std::string key = "Software\\HushkeyOptionsTest\\R\xC3\xBCn";
  const std::string data = "\"C:\\Program Files\\Z\xC3\xBC\xE6\x97\xA5\\hushkey.exe\" /Locked";
  ASSERT_TRUE(SetRegValue(registry_, data, kHkeyCurrentUser, "  " + key + "\\", "Hushkey"));
  ASSERT_TRUE(SetRegValue(registry_, "", kHkeyCurrentUser, key, "Empty"));
  ASSERT_TRUE(SetRegValue(registry_, "7", kHkeyCurrentUser, key, "Number", false));
  const std::wstring path = std::wstring(kTestRoot) + L"\\R\u00FCn";
  EXPECT_EQ(ReadText(path, L"Hushkey"), win32::Utf8ToWide(data));
  EXPECT_EQ(ReadText(path, L"Empty"), L" ");
  DWORD number = 0, size = sizeof(number);
  EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"Number", RRF_RT_REG_DWORD, nullptr,
                         &number, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(number, 7u);
}

TEST_F(RegistryRoutines, KeyDeletionTakesEverySubkeyWithIt) {
  for (const char* leaf : {"\\a\\b\\c", "\\a\\d", "\\e"}) {
    ASSERT_TRUE(SetRegValue(registry_, "1", kHkeyCurrentUser,
                            std::string("Software\\HushkeyOptionsTest\\Tree") + leaf, "v"));
  }
  EXPECT_TRUE(
      DeleteRegEntry(registry_, kHkeyCurrentUser, "Software\\HushkeyOptionsTest\\Tree", ""));
  EXPECT_FALSE(KeyExists(std::wstring(kTestRoot) + L"\\Tree"));
  EXPECT_TRUE(KeyExists(kTestRoot));
}

// --- The open-file dialog ------------------------------------------------------------------

struct DialogSearch {
  DWORD thread;
  HWND found = nullptr;
};

BOOL CALLBACK FindThreadDialog(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<DialogSearch*>(lp);
  wchar_t cls[16];
  if (IsWindowVisible(w) && GetClassNameW(w, cls, 16) && std::wstring(cls) == L"#32770") {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// Runs the picker on a thread of its own and answers its dialog from here: with a file name
// typed into the name box and Open, or with Cancel.
std::string PickAnswering(const std::wstring* typed) {
  Win32FilePicker picker;
  std::atomic<DWORD> pickerThread = 0;
  auto result = std::async(std::launch::async, [&] {
    pickerThread = GetCurrentThreadId();
    return picker.PickOpenFile(FileExistsPickRequest());
  });
  HWND dialog = nullptr;
  for (int i = 0; i < 1500 && !dialog; ++i) {
    Sleep(20);
    if (!pickerThread) continue;
    DialogSearch search{pickerThread};
    EnumThreadWindows(pickerThread, FindThreadDialog, reinterpret_cast<LPARAM>(&search));
    dialog = search.found;
  }
  EXPECT_NE(dialog, nullptr) << "no open-file dialog";
  if (dialog) {
    wchar_t title[32];
    GetWindowTextW(dialog, title, 32);
    EXPECT_EQ(std::wstring(title), L"Open");
    wchar_t filter[64] = L"";
    GetWindowTextW(GetDlgItem(dialog, cmb1), filter, 64);  // the file type box
    EXPECT_EQ(std::wstring(filter), L" (*.*)");
    if (typed) {
      // The name box: a combo box on newer systems, an edit box on older ones.
      HWND name = GetDlgItem(dialog, cmb13);
      if (!name) name = GetDlgItem(dialog, edt1);
      SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed->c_str()));
    }
    PostMessageW(dialog, WM_COMMAND, typed ? IDOK : IDCANCEL, 0);
  }
  return result.wait_for(std::chrono::seconds(60)) == std::future_status::ready ? result.get()
                                                                                : "(hung)";
}

TEST(FilePicker, AnswersTheChosenPathWholeAndNothingOnCancel) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"Hushkey picker \u00E9t\u00E9";
  const std::wstring file = folder + L"\\work flag.txt";
  CreateDirectoryW(folder.c_str(), nullptr);
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);

  EXPECT_EQ(PickAnswering(&file), win32::WideToUtf8(file));
  EXPECT_EQ(PickAnswering(nullptr), "");

  DeleteFileW(file.c_str());
  RemoveDirectoryW(folder.c_str());
}

// --- The dialog's window ------------------------------------------------------------------

int g_dpisChecked = 0;

// Inside the dialog's modal loop: the dialog moved to a monitor of each DPI in turn, as the
// system tells it, then closed.
void CALLBACK CheckEveryDpi(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const HWND dialog = FindWindowW(kOptionsWindowClass, nullptr);
  for (UINT dpi : {96u, 120u, 144u, 192u}) {
    RECT at{};
    GetWindowRect(dialog, &at);
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&at));
    test::ExpectNoTextClipped(dialog, dpi);
    ++g_dpisChecked;
  }
  // What a screen reader announces for the check boxes without caption.
  for (const OptionsControlRow& row : OptionsDialogControls()) {
    if (row.kind != OptionsControlKind::CheckBox || !row.caption.empty()) continue;
    win32::ComPtr<IAccessible> acc;
    ASSERT_EQ(AccessibleObjectFromWindow(GetDlgItem(dialog, OptionsControlId(row.id)),
                                         static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         acc.put_void()),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;  // lVal CHILDID_SELF (0): the control itself
    win32::ScopedBstr name;
    acc->get_accName(self, name.put());
    EXPECT_EQ(win32::WideToUtf8(name.get() ? name.get() : L""), row.accessibleName)
        << row.name << row.index;
    EXPECT_FALSE(row.accessibleName.empty());
  }
  PostMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST(OptionsDialogWindow, ShowsEveryTextWholeAtFourDpisAndNamesTheBoxesWithoutCaption) {
  test::OptionsRig rig;
  // The figure beside the unlock choice at its longest.
  const auto longestOdds = [](const KeySequence&, std::uint32_t) {
    return FitText(RowOf(OptionsControl::lblUnlockOdds));
  };
  OptionsDialog dialog({rig.app, rig.store, rig.addresses, rig.desktop, longestOdds},
                       "C:\\Hushkey.exe", "REMINDER");
  SetTimer(nullptr, 0, 10, CheckEveryDpi);
  dialog.ShowModal(GetModuleHandleW(nullptr), nullptr);
  EXPECT_EQ(g_dpisChecked, 4);
}

}  // namespace
}  // namespace hushkey
