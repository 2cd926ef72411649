// The program's main window: the top-level window "Hushkey " with the mode buttons, the
// message bar, the highlight frame, tool tips and menus, laid out from the twips table and
// scaled to the monitor's DPI. It shows what the controller asks through MainViewPort and
// hands every click, menu command, tray callback and flash-timer tick to the controller.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "hushkey/modes/main_ports.h"
#include "hushkey/resources/resource_ids.h"
#include "win32/handles_win32.h"
#include "win32/window_base_win32.h"
#include "win32/window_win32.h"

namespace hushkey {

class MainController;

// The tray's callback message.
inline constexpr UINT kTrayCallbackMessage = HK_MSG_TRAY_CALLBACK;

// The frame drawn behind the active mode's button: a child window filled with its colour
// that lets clicks through to what is under it.
class HighlightFrame final : public win32::WindowBase {
 public:
  HighlightFrame() = default;
  // Creates the frame, hidden, as the child IDC_HIGHLIGHT of `parent`.
  bool Create(HWND parent, HINSTANCE instance);
  void SetColour(Colour colour) { colour_ = colour; }

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

  Colour colour_ = 0;
};

// What the main window's events reach besides the controller's handlers: the program's own
// commands.
class MainWindowEvents {
 public:
  virtual ~MainWindowEvents() = default;
  virtual MainController& Controller() = 0;
  // The program's exit (Exit button and both Exit menu commands).
  virtual void OnExit() = 0;
  // The close box and the control menu's Close.
  virtual void OnClose() = 0;
  // Windows shuts down or the user logs off (the session really ends).
  virtual void OnEndSession() = 0;
  // The hidden hand-off text box changed; its text (UTF-8).
  virtual void OnHandOff(const std::string& text) = 0;
  // The Help menu's Help and About, a click on the copyright picture, and the Options menu
  // command (mnuOptions_Click, run only while the command is enabled).
  virtual void OnHelp() = 0;
  virtual void OnAbout() = 0;
  virtual void OnCopyright() = 0;
  virtual void OnOptions() = 0;
};

class MainWindow final : public MainViewPort, public win32::WindowBase {
 public:
  MainWindow() = default;
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls, hidden. False (with nothing left behind) when
  // the window cannot be created.
  bool Create(HINSTANCE instance);

  // Where the window's events go; set before the window is shown.
  void SetEvents(MainWindowEvents& events) {
    events_ = &events;
    controller_ = &events.Controller();
  }

  // The version label's text.
  void SetVersionText(const std::string& text);

  // The input cover, named to a program that asks (HK_MSG_DIAGNOSTIC).
  void SetInputCover(const win32::WindowBase& cover) { cover_ = &cover; }

  // Shows the window normally (start-up).
  void Show();

  // The one-shot flash timer timFlashTray: armed by the controller's flash request; its
  // tick disarms it before running the flash.
  void EnableFlashTimer();

  // Destroys the window (after the tray icon has been deleted).
  void Destroy();

  // MainViewPort
  void SetModeButtonsEnabled(bool on) override;
  void SetOptionsEnabled(bool on) override;
  void SetExitEnabled(bool on) override;
  void SetCancelEnabled(bool on) override;
  bool CancelEnabled() override;
  void SetMessage(const std::string& text) override;
  std::string Message() override;
  void ShowHighlight(const TwipsRect& where, Colour colour) override;
  void HideHighlight() override;
  void SetAutoLockToolTip(const std::string& text) override;
  std::string AutoLockToolTip() override;
  void Hide() override;
  void Restore() override;
  void MinimiseToTray() override;
  void ShowTrayMenu() override;
  // Its change handler then sees an empty text.
  void ClearHandOffBox() override;
  void ArmFlashEndTimer(std::int32_t ms) override;

 private:
  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  // A diagnostic question (HK_MSG_DIAGNOSTIC): the figure asked for.
  LRESULT AnswerDiagnostic(WPARAM what) const;
  void OnCommand(int id);
  bool CreateControls();
  void ApplyDpi(UINT dpi);
  void LayoutControls();
  void FitWindowToClient(const RECT* suggested);
  int Px(int twips) const { return win32::TwipsToPixels(twips, dpi_); }
  void AddToolTip(HWND control, const std::wstring& text);
  void DrawCopyrightPicture(const DRAWITEMSTRUCT& item);
  HWND Control(int id) const { return GetDlgItem(Handle(), id); }

  HINSTANCE instance_ = nullptr;
  HighlightFrame highlight_;
  HWND toolTip_ = nullptr;
  HMENU mainMenu_ = nullptr;             // owned by the window once attached
  win32::UniqueMenu trayMenu_;           // loaded resource, destroyed with the window
  std::optional<POINT> trayMenuAnchor_;  // where the tray asked for its menu, if it said
  bool hidePending_ = false;             // a Hide asked for inside an input hook call, not done yet
  bool sessionNotices_ = false;          // registered for session lock/unlock/switch notices
  UINT taskbarCreated_ = 0;              // the shell's "TaskbarCreated" message
  win32::UniqueFont font_;
  UINT dpi_ = 96;
  TwipsRect highlightRect_{};
  std::string autoLockToolTip_;
  MainWindowEvents* events_ = nullptr;
  MainController* controller_ = nullptr;  // the events' controller
  const win32::WindowBase* cover_ = nullptr;
};

}  // namespace hushkey
