// The options dialog: a modal top-level window "Options" of its own class, owned by the main
// window (disabled while it is up), with every control of the layout table scaled to the
// monitor's DPI, tool tips, and keyboard navigation in the table's tab order through the
// dialog manager. The window keeps no settings of its own: each click, edit, scroll and timer
// tick goes to the OptionsModel, and the controls then show the model's state again.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "hushkey/settings/file_picker_win32.h"
#include "hushkey/settings/options_ids.h"
#include "hushkey/settings/options_model.h"
#include "hushkey/settings/registry_routines_win32.h"
#include "win32/handles_win32.h"
#include "win32/window_base_win32.h"

namespace hushkey {

// The dialog's fonts at a DPI (owned by the caller): the one every control is drawn in, and
// the section headings' one.
HFONT CreateOptionsFont(UINT dpi);
HFONT CreateOptionsHeadingFont(UINT dpi);

// The dialog laid out at `dpi`, every text measured in the font it is drawn in (the two
// fonts above, made for that DPI).
OptionsPixelLayout FitOptionsLayoutWin32(UINT dpi, HFONT font, HFONT headingFont);

// A sequence field's value (a hot-key control's: the key in the low byte, HOTKEYF_* flags in
// the high byte) as a key sequence, and a key sequence as that value.
KeySequence KeySequenceFromHotKey(WORD value);
WORD HotKeyFromKeySequence(const KeySequence& sequence);

// What the dialog reads and changes that the program owns. The Run value's registry port and
// the file picker belong to the dialog, and so does the unlock word's hashing (the system's
// PBKDF2).
struct OptionsDialogSources {
  AppState& app;
  SettingsStore& store;
  AddressTablePort& addresses;
  DesktopPort& desktop;
  UnlockOddsText unlockOdds;  // the figure beside the unlock choice; empty: none shown
};

class OptionsDialog final : private OptionsViewPort, private win32::WindowBase {
 public:
  // programPath: the running program (UTF-8), for the Run value; keySeqReminder: the text
  // shown under the entry request when ShowLckUnlSeq is on. One object serves one opening.
  OptionsDialog(const OptionsDialogSources& sources, std::string programPath,
                std::string keySeqReminder);
  ~OptionsDialog() override;
  OptionsDialog(const OptionsDialog&) = delete;
  OptionsDialog& operator=(const OptionsDialog&) = delete;

  // Loads and shows the dialog over `owner`, which stays disabled until it has closed, and
  // runs the thread's messages meanwhile. Returns how it closed (NotClosed when the window
  // could not be created; nothing has changed then).
  OptionsClosedBy ShowModal(HINSTANCE instance, HWND owner);

  // The keyboard filter saw the unlock sequence in the entry gate's mode.
  void OpenEntryGate() { model_.OpenEntryGate(); }

  // Brings the dialog to the front (another attempt to open the options while it is up).
  void Activate();

 private:
  // OptionsViewPort
  void SetGateTimer(GateTimer timer, bool on) override;
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void CloseDialog() override { closed_ = true; }

  LRESULT HandleMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;
  void OnCommand(OptionsControl control, int code, HWND window);
  void hscMouseSpeed_Scroll(int request, int thumb);

  // Window and controls (options_dialog_view_win32.cpp).
  bool Create(HINSTANCE instance, HWND owner);
  bool CreateControls(HINSTANCE instance);
  void AddToolTip(HWND control, std::string_view text);
  void ApplyDpi(UINT dpi);
  void FitWindowToClient(const RECT* suggested);
  void Layout();
  void PlaceCover();
  // Shows the model's state: enabled states, ticks, texts, the scroll bar, the cover.
  void Refresh();
  void RefreshTabStops();
  void KeepFocusUsable();
  HWND Control(OptionsControl control) const {
    return controls_[static_cast<std::size_t>(control)];
  }
  int Px(int twips) const;

  Win32Registry registry_;
  Win32FilePicker picker_;
  OptionsModel model_;
  std::array<HWND, kOptionsControlCount> controls_{};
  HWND toolTip_ = nullptr;  // owned by the window
  HWND lastFocus_ = nullptr;
  UINT dpi_ = 96;
  OptionsPixelLayout layout_;  // at dpi_, for the fonts below
  bool closed_ = false;
  bool refreshing_ = false;  // the view is being set from the model: its notices are not edits
  bool covered_ = true;
  win32::UniqueFont font_;
  win32::UniqueFont headingFont_;
  win32::UniqueWindow window_;  // last: destroyed before the fonts its controls use
};

}  // namespace hushkey
