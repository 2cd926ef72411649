#include "hushkey/modes/tray_logic.h"

#include "hushkey/engine/text_chars.h"

namespace hushkey {

TrayIcon IconForMode(LockMode mode) {
  const ModeRow* row = RowOf(mode);
  return row ? row->icon : TrayIcon::Blank;
}

namespace {

// Length in bytes and in UTF-16 units of the character starting at text[i]. Invalid or
// truncated sequences are taken one byte at a time.
void NextChar(std::string_view text, std::size_t i, std::size_t& bytes, std::size_t& units) {
  const auto c = static_cast<unsigned char>(text[i]);
  std::size_t len = 1;
  if (c >= 0xC2 && c <= 0xDF)
    len = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    len = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    len = 4;
  if (len > 1) {
    if (i + len > text.size()) {
      len = 1;
    } else {
      for (std::size_t k = 1; k < len; ++k) {
        if (!IsUtf8Continuation(text[i + k])) {
          len = 1;
          break;
        }
      }
    }
  }
  bytes = len;
  units = len == 4 ? 2 : 1;
}

}  // namespace

std::string CutTrayTip(std::string_view text, std::size_t maxUnits) {
  std::size_t i = 0, used = 0;
  while (i < text.size()) {
    std::size_t bytes = 0, units = 0;
    NextChar(text, i, bytes, units);
    if (used + units > maxUnits) break;
    used += units;
    i += bytes;
  }
  return std::string(text.substr(0, i));
}

std::string TrayTip(LockMode mode, std::string_view status) {
  constexpr std::string_view kName = "Hushkey";
  constexpr std::string_view kDash = " \xE2\x80\x93 ";  // an en dash between blanks
  if (status.empty() && mode != ModeUnlocked) return std::string(kName);
  std::string tip(kName);
  tip += kDash;
  tip += status.empty() ? std::string_view("unlocked") : status;
  return CutTrayTip(tip);
}

std::string LockNotice(LockMode mode, std::string_view unlockKeys) {
  if (Strictness(mode) < Strictness(ModeLocked)) return {};
  std::string text = "Hushkey locked the keyboard and mouse. Press ";
  text += unlockKeys;
  text += " to unlock.";
  if (mode == ModeLockedAuto) text += " Hushkey then returns to autolock.";
  return text;
}

std::string CoverText(std::string_view unlockKeys) {
  std::string text = "Locked \xE2\x80\x94 press ";  // an em dash
  text += unlockKeys;
  text += " to unlock";
  return text;
}

}  // namespace hushkey
