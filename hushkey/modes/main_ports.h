// The main window and the tray as the mode logic sees them. The Win32 main window and tray
// adapters implement these; tests use fakes.
#pragma once

#include <cstdint>
#include <string>

#include "hushkey/autolock/dont_lock_if.h"
#include "hushkey/engine/layout_units.h"
#include "hushkey/engine/mode_table.h"

namespace hushkey {

class MainViewPort {
 public:
  virtual ~MainViewPort() = default;
  // Enabled states: the four mode buttons always together, the Options menu command, Exit,
  // Cancel. CancelEnabled reads back what the window shows.
  virtual void SetModeButtonsEnabled(bool on) = 0;
  virtual void SetOptionsEnabled(bool on) = 0;
  virtual void SetExitEnabled(bool on) = 0;
  virtual void SetCancelEnabled(bool on) = 0;
  virtual bool CancelEnabled() = 0;
  // The status message bar (lblMsg); its caption is also the tray tooltip.
  virtual void SetMessage(const std::string& text) = 0;
  virtual std::string Message() = 0;
  // The coloured highlight frame (shpMsg) drawn behind the buttons.
  virtual void ShowHighlight(const TwipsRect& where, Colour colour) = 0;
  virtual void HideHighlight() = 0;
  // The Auto Lock button's tool tip, which holds the countdown description.
  virtual void SetAutoLockToolTip(const std::string& text) = 0;
  virtual std::string AutoLockToolTip() = 0;
  // Window visibility: Hide hides it (the tray icon stays); Restore shows it normal and
  // brings it to the front; MinimiseToTray minimises and hides it.
  virtual void Hide() = 0;
  virtual void Restore() = 0;
  virtual void MinimiseToTray() = 0;
  // The tray's right-button menu: bring the window to the front, then pop up the tray menu
  // ("Restore", "Exit") at the pointer.
  virtual void ShowTrayMenu() = 0;
  // The one-shot timer that ends the tray and pointer flash: (re)armed for ms milliseconds;
  // its tick calls the controller's timFlashEnd_Timer.
  virtual void ArmFlashEndTimer(std::int32_t ms) = 0;
};

class TrayPort {
 public:
  virtual ~TrayPort() = default;
  // Adds the icon with no picture and no tip (first refresh), then lets pending window
  // messages be processed once.
  virtual void Add() = 0;
  // Shows the icon and tooltip (already cut to what the tray record holds).
  virtual void Modify(TrayIcon icon, const std::string& tip) = 0;
  virtual void Delete() = 0;
  // The flash: every system pointer shape shows the blocked picture, then the user's own.
  virtual void SetBlockedCursors() = 0;
  virtual void RestoreCursors() = 0;
};

// The don't-lock-if check as the main window calls it: what it found, changing nothing.
class DontLockIfCheckPort {
 public:
  virtual ~DontLockIfCheckPort() = default;
  virtual DontLockIfVerdict CheckDontLockIf() = 0;
};

}  // namespace hushkey
