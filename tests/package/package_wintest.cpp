// Checks of the two forms Hushkey is handed out in: the portable copy and the per-user
// installer. scripts/test-package runs it in a Wine prefix of its own in which the control
// was never registered:
//
//   package_wintest.exe [gtest options] INSTALLER VERSION UPGRADE_INSTALLER UPGRADE_VERSION
//                       PORTABLE_FOLDER
//
// The tests build on each other and run in the order written: the portable copy (nothing
// registered yet), install, the registration, the installed program, reinstall and upgrade,
// uninstall; the upgrade and the uninstalls run while the installed program does.
#include <windows.h>
#include <msi.h>
#include <oleauto.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "hushkey/resources/resource_ids.h"
#include "longtick/control/longtick_ids_win32.h"

namespace {

struct Arguments {
  std::wstring msi, version, upgradeMsi, upgradeVersion, portable;
} g_args;

// Every key the control's registration writes under the classes root.
const wchar_t* const kClassKeys[] = {
    L"CLSID\\{" LONGTICK_CLSID "}",          longtick::kProgId,
    L"TypeLib\\{" LONGTICK_LIBID "}",        L"Interface\\{" LONGTICK_CONTROL_IID "}",
    L"Interface\\{" LONGTICK_EVENTS_IID "}",
};
constexpr CLSID kClsid = longtick::ToGuid(longtick::kClsid);
constexpr GUID kLibid = longtick::ToGuid(longtick::kLibid);
// The installer's upgrade codes, 64-bit and 32-bit: one Hushkey per user, of either bitness.
const wchar_t* const kUpgradeCodes[] = {L"{4FABE75E-DDC7-4278-9666-79F22EB75F76}",
                                        L"{BDCB1E73-605A-4254-9517-84F18B167AAF}"};
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kInprocServer = kClasses + kClassKeys[0] + L"\\InprocServer32";
constexpr wchar_t kSettingsKey[] = L"Software\\Hushkey\\Settings";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kLockText = L"All keys and mouse clicks disabled until reqd key seq pressed";
const std::wstring kAutoLockPrefix = L"System will be locked if no activity ";
constexpr DWORD kStartDeadline = 90000;  // Wine is slow to start a program
constexpr DWORD kDeadline = 30000;

// Settings every run of the program starts from (no screen saver, beep, flash or mouse speed
// change, no don't-lock-if condition). They are also the user's settings that must outlive
// reinstall, upgrade and uninstall.
const std::pair<const wchar_t*, const wchar_t*> kSettings[] = {
    {L"UseScrnSvr", L"0"},    {L"StopARKeys", L"0"}, {L"SetMouseSpd", L"0"},
    {L"Beep", L"0"},          {L"Flash", L"0"},      {L"StopMouseMove", L"0"},
    {L"AOMAllowMouse", L"0"}, {L"DontLockIf", L"0"}, {L"Timeout", L"10"}};

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring Upper(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towupper(c));
  return s;
}

// --- Files, registry, Windows Installer ---------------------------------------------------

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring result = SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path)) ? path : L"";
  CoTaskMemFree(path);
  return result;
}
std::wstring InstallDir() { return KnownFolder(FOLDERID_LocalAppData) + L"\\Programs\\Hushkey\\"; }
std::wstring InstalledProgram() { return InstallDir() + L"Hushkey.exe"; }
std::wstring InstalledControl() { return InstallDir() + L"longtick.ocx"; }
std::wstring Shortcut() { return KnownFolder(FOLDERID_Programs) + L"\\Hushkey.lnk"; }
bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
// A file's last write time, the quadword of its FILETIME; 0 when it cannot be read.
ULONGLONG WriteTime(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
         data.ftLastWriteTime.dwLowDateTime;
}
void SetWriteTime(const std::wstring& path, ULONGLONG time) {
  const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  const FILETIME t{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
  EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &t)) << path;
  CloseHandle(file);
}

std::wstring ShortcutTarget(const std::wstring& lnk) {
  IShellLinkW* link = nullptr;
  IPersistFile* file = nullptr;
  wchar_t target[MAX_PATH] = L"";
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(lnk.c_str(), STGM_READ))) {
    link->GetPath(target, MAX_PATH, nullptr, 0);
  }
  if (file) file->Release();
  if (link) link->Release();
  return target;
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0) {
  HKEY key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring ReadString(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t buf[1024];
  DWORD size = sizeof(buf);
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
    return L"<none>";
  return buf;
}

void WriteString(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& v) {
  ASSERT_EQ(RegSetKeyValueW(root, key.c_str(), name, REG_SZ, v.c_str(),
                            static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

// A key with everything below it, as "\SUBKEY|value name" -> "type:data" and "\SUBKEY" ->
// "", in upper case (the registry compares names and paths without case). Two spellings of
// the same thing are brought to one: an empty default value and none (both read as empty;
// for a registry row with no value an installer may leave either), a folder with and
// without its final backslash (the installer's folder paths end with one).
using Tree = std::map<std::wstring, std::wstring>;
void ReadTree(HKEY key, const std::wstring& path, Tree& out) {
  wchar_t name[256];
  BYTE data[2048];
  DWORD nameLen = 256, size = sizeof(data), type = 0;
  for (DWORD i = 0; RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data, &size) == 0;
       ++i, nameLen = 256, size = sizeof(data)) {
    std::wstring text(reinterpret_cast<wchar_t*>(data), size / sizeof(wchar_t));
    while (!text.empty() && (text.back() == L'\0' || text.back() == L'\\')) text.pop_back();
    if (nameLen > 0 || type != REG_SZ || !text.empty())
      out[Upper(path + L"|" + name)] = std::to_wstring(type) + L":" + Upper(text);
  }
  for (DWORD i = 0; nameLen = 256,
             RegEnumKeyExW(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) == 0;
       ++i) {
    HKEY sub;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
    const std::wstring subPath = path + L"\\" + name;
    out[Upper(subPath)];
    ReadTree(sub, subPath, out);
    RegCloseKey(sub);
  }
}
Tree ReadTree(HKEY root, const std::wstring& path) {
  Tree out;
  HKEY key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS) {
    ReadTree(key, L"", out);
    RegCloseKey(key);
  }
  return out;
}

bool RegisteredForTheMachine() {
  return KeyExists(HKEY_LOCAL_MACHINE, kClasses + kClassKeys[0], KEY_WOW64_64KEY) ||
         KeyExists(HKEY_LOCAL_MACHINE, kClasses + kClassKeys[0], KEY_WOW64_32KEY);
}
bool RegisteredForTheUser() { return KeyExists(HKEY_CURRENT_USER, kClasses + kClassKeys[0]); }

// Windows reads the user's classes through HKEY_CLASSES_ROOT, over the machine's. Wine 8
// reads only the machine's, so under Wine the installer's entries are copied there as they
// are, for as long as this object lives: the classes root then holds exactly what the
// installer wrote, as on Windows.
class UserClassesInClassesRoot {
 public:
  UserClassesInClassesRoot() {
    for (const wchar_t* key : kClassKeys) {
      HKEY to = nullptr;
      if (!UnderWine() || RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str(), 0, nullptr,
                                          0, KEY_ALL_ACCESS, nullptr, &to, nullptr) != 0)
        continue;
      copied_.push_back(key);
      EXPECT_EQ(RegCopyTreeW(HKEY_CURRENT_USER, (kClasses + key).c_str(), to), 0) << key;
      RegCloseKey(to);
    }
  }
  ~UserClassesInClassesRoot() {
    for (const std::wstring& key : copied_)
      RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kClasses + key).c_str());
  }

 private:
  std::vector<std::wstring> copied_;
};

DWORD Msiexec(const wchar_t* action, const std::wstring& msi) {
  std::wstring cmd = std::wstring(L"msiexec.exe ") + action + L" \"" + msi + L"\" /qn";
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  DWORD code = 0xFFFFFFFF;
  if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return code;
  if (WaitForSingleObject(pi.hProcess, 300000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

// The installed products under Hushkey's upgrade codes, as "name|version|publisher|help
// link|install folder": what the list of installed programs shows for them.
std::vector<std::wstring> InstalledProducts() {
  std::vector<std::wstring> found;
  for (const wchar_t* upgrade : kUpgradeCodes) {
    wchar_t code[39];
    for (DWORD i = 0; MsiEnumRelatedProductsW(upgrade, 0, i, code) == ERROR_SUCCESS; ++i) {
      std::wstring entry;
      for (const wchar_t* property :
           {INSTALLPROPERTY_INSTALLEDPRODUCTNAME, INSTALLPROPERTY_VERSIONSTRING,
            INSTALLPROPERTY_PUBLISHER, INSTALLPROPERTY_HELPLINK, INSTALLPROPERTY_INSTALLLOCATION}) {
        wchar_t buf[256] = L"";
        DWORD n = 256;
        MsiGetProductInfoW(code, property, buf, &n);
        entry += (entry.empty() ? L"" : L"|") + std::wstring(buf);
      }
      found.push_back(entry);
    }
  }
  return found;
}

void ExpectOneInstalled(const std::wstring& version) {
  EXPECT_EQ(InstalledProducts(),
            std::vector<std::wstring>{L"Hushkey|" + version + L"|Hushkey Project|" + InstallDir() +
                                      L"README.txt|" + InstallDir()});
}

std::string ReadAll(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// What a user gets in the program's folder, installed or portable: the program and the
// control without COFF symbols or debug sections (their long names would be in the string
// table; only the debug link's is), the read-me and the licence.
void ExpectShipped(const std::wstring& folder) {
  for (const wchar_t* binary : {L"Hushkey.exe", L"longtick.ocx"}) {
    const std::string pe = ReadAll(folder + binary);
    IMAGE_FILE_HEADER header{};
    ASSERT_GT(pe.size(), 0x400u) << binary;
    std::memcpy(&header, &pe.at(*reinterpret_cast<const DWORD*>(&pe[0x3c]) + 4), sizeof header);
    EXPECT_EQ(header.NumberOfSymbols, 0u) << binary;
    EXPECT_EQ(pe.find(".debug_"), std::string::npos) << binary;
    EXPECT_NE(pe.find(".gnu_debuglink"), std::string::npos) << binary;
  }
  EXPECT_TRUE(Exists(folder + L"README.txt"));
  const std::string licence = ReadAll(folder + L"LICENSE.txt");
  EXPECT_TRUE(licence.starts_with("MIT License\r\n")) << licence;
  EXPECT_NE(licence.find("Copyright (c) 2026 Hushkey Project\r\n"), std::string::npos);
}

// --- The program ---------------------------------------------------------------------------

void Pump(DWORD waitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}
bool WaitUntil(const std::function<bool()>& cond, DWORD deadlineMs = kDeadline) {
  for (const DWORD start = GetTickCount();; Pump(20)) {
    Pump(0);
    if (cond()) return true;
    if (GetTickCount() - start >= deadlineMs) return false;
  }
}

// The test's own window, and the keys and characters that reach it.
HWND g_probe;
std::vector<UINT> g_keyDowns;
std::wstring g_chars;

LRESULT CALLBACK ProbeProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN) g_keyDowns.push_back(static_cast<UINT>(wp));
  if (m == WM_CHAR) g_chars.push_back(static_cast<wchar_t>(wp));
  if (m == WM_KEYDOWN || m == WM_SYSKEYDOWN || m == WM_CHAR || m == WM_KEYUP || m == WM_SYSKEYUP ||
      m == WM_SYSCHAR)
    return 0;  // also keeps a lone Alt from opening a menu loop
  return DefWindowProcW(w, m, wp, lp);
}

void FocusProbe() {
  WaitUntil(
      [] {
        if (GetForegroundWindow() == g_probe) return true;
        SetForegroundWindow(g_probe);
        SetFocus(g_probe);
        return false;
      },
      5000);
  g_keyDowns.clear();
  g_chars.clear();
}
bool GotKeyDown(UINT vk) {
  return std::find(g_keyDowns.begin(), g_keyDowns.end(), vk) != g_keyDowns.end();
}

void Send(std::initializer_list<std::pair<WORD, bool>> keys) {  // virtual key, up
  for (auto [vk, up] : keys) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags =
        (up ? KEYEVENTF_KEYUP : 0) | (vk == VK_HOME || vk == VK_END ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof(in));
    Pump(0);
  }
}
void Tap(WORD vk) { Send({{vk, false}, {vk, true}}); }
void AltChord(WORD vk) { Send({{VK_LMENU, false}, {vk, false}, {vk, true}, {VK_LMENU, true}}); }

class Program {
 public:
  explicit Program(const std::wstring& exe) {
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    if (CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                       &pi_))
      CloseHandle(pi_.hThread);
  }
  ~Program() {
    if (Running()) TerminateProcess(pi_.hProcess, 99);
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
  }
  bool Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
  }
  // The main window ("Hushkey ", of this process) once it shows; null if it never does.
  HWND WaitForMainWindow() {
    WaitUntil(
        [&] {
          for (HWND w = nullptr;
               (w = FindWindowExW(nullptr, w, nullptr, L"Hushkey ")) != nullptr;) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == pi_.dwProcessId && IsWindowVisible(w)) main_ = w;
          }
          return main_ != nullptr || !Running();
        },
        kStartDeadline);
    return main_;
  }
  std::wstring Message() const {
    wchar_t buf[512];
    const int n = GetWindowTextW(GetDlgItem(main_, IDC_MSG), buf, 512);
    return std::wstring(buf, n > 0 ? n : 0);
  }
  // Ends the program as the tray menu's Exit does; its exit code.
  DWORD Exit() {
    PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDM_POPUP_EXIT, 0), 0);
    WaitUntil([&] { return !Running(); });
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Starts the program, locks it with Alt+End (a typed key is then swallowed), unlocks it
// with Alt+Home twice (back through autolock; typing reaches the window again) and ends it.
void ExpectRunsLocksAndUnlocks(const std::wstring& exe) {
  Program program(exe);
  ASSERT_NE(program.WaitForMainWindow(), nullptr) << "no main window from " << exe;
  bool locked = false;
  for (const DWORD start = GetTickCount(); !locked && GetTickCount() - start < kStartDeadline;) {
    FocusProbe();
    AltChord(VK_END);  // again until it takes: the input hooks go in after the window shows
    locked = WaitUntil([&] { return program.Message() == kLockText; }, 3000);
  }
  ASSERT_TRUE(locked) << "Alt+End never locked";
  FocusProbe();
  Tap('A');
  Tap(VK_LCONTROL);  // passes while locked: marks the end of what was sent
  ASSERT_TRUE(WaitUntil([] { return GotKeyDown(VK_CONTROL); }));
  EXPECT_FALSE(GotKeyDown('A')) << "a key got through the lock";
  AltChord(VK_HOME);
  EXPECT_TRUE(WaitUntil([&] { return program.Message().starts_with(kAutoLockPrefix); }));
  AltChord(VK_HOME);
  EXPECT_TRUE(WaitUntil([&] { return program.Message().empty(); }));
  FocusProbe();
  Tap('B');
  EXPECT_TRUE(WaitUntil([] { return g_chars == L"b"; })) << "typing is still swallowed";
  EXPECT_EQ(program.Exit(), 0u);
}

void ExpectSettingsKept() {
  for (auto [name, value] : kSettings)
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kSettingsKey, name), value) << name;
}

// --- The tests, in order -------------------------------------------------------------------

class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitialize(nullptr);
    for (auto [name, value] : kSettings) WriteString(HKEY_CURRENT_USER, kSettingsKey, name, value);
    WNDCLASSW wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HushkeyPackageProbe";
    RegisterClassW(&wc);
    g_probe = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"probe", WS_POPUP | WS_VISIBLE,
                              GetSystemMetrics(SM_CXSCREEN) - 420, 300, 360, 240, nullptr, nullptr,
                              wc.hInstance, nullptr);
  }
};

TEST_F(Package, PortableCopyRunsAndLocksWithNothingRegistered) {
  ASSERT_FALSE(RegisteredForTheMachine() || RegisteredForTheUser()) << "the prefix is not fresh";
  ExpectShipped(g_args.portable + L"\\");
  ExpectRunsLocksAndUnlocks(g_args.portable + L"\\Hushkey.exe");
  EXPECT_FALSE(RegisteredForTheMachine() || RegisteredForTheUser());
}

TEST_F(Package, InstallsForTheUserWithStartMenuAndListEntries) {
  // A portable copy that runs meanwhile is not the installer's to end.
  Program portable(g_args.portable + L"\\Hushkey.exe");
  ASSERT_NE(portable.WaitForMainWindow(), nullptr);
  ASSERT_EQ(Msiexec(L"/i", g_args.msi), 0u);
  EXPECT_TRUE(portable.Running()) << "the install ended the portable copy";
  EXPECT_EQ(portable.Exit(), 0u);
  ExpectOneInstalled(g_args.version);
  EXPECT_TRUE(Exists(InstalledProgram()));
  EXPECT_TRUE(Exists(InstalledControl()));
  ExpectShipped(InstallDir());
  EXPECT_EQ(Upper(ShortcutTarget(Shortcut())), Upper(InstalledProgram()));
  EXPECT_EQ(Upper(ReadString(HKEY_CURRENT_USER, kInprocServer, nullptr)),
            Upper(InstalledControl()));
  EXPECT_FALSE(RegisteredForTheMachine());
}

// The installer writes for the user exactly what the control's own DllRegisterServer writes
// under the classes root, captured here under a scratch key standing in for it.
TEST_F(Package, RegistrationIsTheControlsOwn) {
  const wchar_t* scratch = L"Software\\HushkeyPackageTest";
  HKEY captured = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, scratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &captured, nullptr),
            ERROR_SUCCESS);
  HMODULE ocx = LoadLibraryW(InstalledControl().c_str());
  ASSERT_NE(ocx, nullptr);
  auto registerServer = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
      reinterpret_cast<void*>(GetProcAddress(ocx, "DllRegisterServer")));
  ASSERT_NE(registerServer, nullptr);
  // (Wine's type library registration also writes the interface keys of the other bitness's
  // view into the machine's classes, past the override; the prefix is thrown away after.)
  ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, captured), ERROR_SUCCESS);
  EXPECT_EQ(registerServer(), S_OK);
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  FreeLibrary(ocx);
  for (const wchar_t* key : kClassKeys) {
    const Tree its = ReadTree(captured, key);
    EXPECT_FALSE(its.empty()) << "the control wrote nothing under " << key;
    EXPECT_EQ(ReadTree(HKEY_CURRENT_USER, kClasses + key), its) << "under " << key;
  }
  RegCloseKey(captured);
  RegDeleteTreeW(HKEY_CURRENT_USER, scratch);
  RegDeleteKeyW(HKEY_CURRENT_USER, scratch);
  EXPECT_FALSE(RegisteredForTheMachine());
}

TEST_F(Package, InstalledProgramHostsTheControlThroughTheRegistration) {
  UserClassesInClassesRoot classes;
  // Created by class, the control comes from the install folder; so does its type library.
  IUnknown* control = nullptr;
  ASSERT_EQ(CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&control)),
            S_OK);
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(GetModuleHandleW(L"longtick.ocx"), path, MAX_PATH);
  EXPECT_EQ(Upper(path), Upper(InstalledControl()));
  control->Release();
  CoFreeUnusedLibrariesEx(0, 0);  // else the file stays in use and outlives the uninstall
  EXPECT_EQ(GetModuleHandleW(L"longtick.ocx"), nullptr) << "the control stays loaded";
  BSTR typelib = nullptr;
  ASSERT_EQ(QueryPathOfRegTypeLib(kLibid, 2, 0, 0x409, &typelib), S_OK);
  EXPECT_EQ(Upper(typelib), Upper(InstalledControl()));
  SysFreeString(typelib);
  CLSID byName{};
  EXPECT_EQ(CLSIDFromProgID(longtick::kProgId, &byName), S_OK);
  EXPECT_TRUE(IsEqualCLSID(byName, kClsid));

  // A copy of the program with no control beside it can have it only from the registration.
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring alone = std::wstring(temp) + L"hushkey-registered\\";
  CreateDirectoryW(alone.c_str(), nullptr);
  ASSERT_TRUE(CopyFileW(InstalledProgram().c_str(), (alone + L"Hushkey.exe").c_str(), FALSE));
  {
    Program program(alone + L"Hushkey.exe");
    EXPECT_NE(program.WaitForMainWindow(), nullptr) << "the copy found no control";
    EXPECT_EQ(program.Exit(), 0u);
  }
  DeleteFileW((alone + L"Hushkey.exe").c_str());
  RemoveDirectoryW(alone.c_str());

  // And the installed program itself, from its folder (the Start-menu shortcut's target).
  ExpectRunsLocksAndUnlocks(InstalledProgram());
}

// The upgrade runs while the installed program does: it ends the program first and writes
// every file anew (marked beforehand with a time the new files cannot have).
TEST_F(Package, ReinstallAndUpgradeReplaceInPlaceAndKeepTheSettings) {
  EXPECT_EQ(Msiexec(L"/i", g_args.msi), 0u) << "installing the same package again";
  ExpectOneInstalled(g_args.version);
  const ULONGLONG marked = 126227808000000000;  // 2001-01-01
  for (const std::wstring& file : {InstalledProgram(), InstalledControl()})
    SetWriteTime(file, marked);
  Program running(InstalledProgram());
  ASSERT_NE(running.WaitForMainWindow(), nullptr);
  ASSERT_EQ(Msiexec(L"/i", g_args.upgradeMsi), 0u) << "upgrade";
  EXPECT_FALSE(running.Running()) << "the upgrade left the program running";
  ExpectOneInstalled(g_args.upgradeVersion);
  for (const std::wstring& file : {InstalledProgram(), InstalledControl()})
    EXPECT_NE(WriteTime(file), marked) << file << " was not replaced";
  EXPECT_TRUE(Exists(InstalledProgram()));
  EXPECT_EQ(Upper(ReadString(HKEY_CURRENT_USER, kInprocServer, nullptr)),
            Upper(InstalledControl()));
  ExpectSettingsKept();
  EXPECT_NE(Msiexec(L"/i", g_args.msi), 0u) << "the older package went over the newer one";
  ExpectOneInstalled(g_args.upgradeVersion);
}

// Uninstalled while the installed program runs: the program ends and everything goes but the
// user's settings. The "Start with windows" value goes when it starts the installed copy; one
// that starts a portable copy is not the installer's and stays. (Installed again between.)
TEST_F(Package, UninstallRemovesAllButTheUsersSettings) {
  const std::pair<std::wstring, bool> runValues[] = {
      {L"\"" + g_args.portable + L"\\Hushkey.exe\" /Locked", false},
      {L"\"" + InstalledProgram() + L"\" /AutoLockU", true}};
  for (const auto& [runValue, removed] : runValues) {
    if (InstalledProducts().empty()) {
      ASSERT_EQ(Msiexec(L"/i", g_args.upgradeMsi), 0u);
    }
    WriteString(HKEY_CURRENT_USER, kRunKey, L"Hushkey", runValue);
    WriteString(HKEY_CURRENT_USER, kRunKey, L"HushkeyPackageTestOther", L"other.exe");
    Program running(InstalledProgram());
    ASSERT_NE(running.WaitForMainWindow(), nullptr);
    ASSERT_EQ(Msiexec(L"/x", g_args.upgradeMsi), 0u);
    EXPECT_FALSE(running.Running()) << "the uninstall left the program running";
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_FALSE(Exists(Shortcut()));
    for (const wchar_t* key : kClassKeys)
      EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + key)) << key;
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"Hushkey"), removed ? L"<none>" : runValue);
    EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kRunKey, L"HushkeyPackageTestOther"), L"other.exe");
  }
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"HushkeyPackageTestOther");
  ExpectSettingsKept();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 6) {
    std::fprintf(stderr,
                 "usage: package_wintest [gtest options] INSTALLER VERSION "
                 "UPGRADE_INSTALLER UPGRADE_VERSION PORTABLE_FOLDER\n");
    return 2;
  }
  g_args = {argv[1], argv[2], argv[3], argv[4], argv[5]};
  return RUN_ALL_TESTS();
}
