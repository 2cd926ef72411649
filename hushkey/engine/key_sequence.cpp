#include "hushkey/engine/key_sequence.h"

#include <array>

#include "hushkey/engine/keyboard_filter.h"
#include "hushkey/engine/text_chars.h"
#include "hushkey/engine/unlock_odds.h"

namespace hushkey {

namespace {

struct NamedKey {
  std::uint32_t vk;
  std::string_view name;
};

// The keys with a name of their own; letters, digits, F1-F24 and NumPad0-9 are made up.
constexpr std::array<NamedKey, 19> kNamedKeys{{
    {33, "PageUp"},     {34, "PageDown"},      {35, "End"},        {36, "Home"},
    {45, "Insert"},     {46, "Delete"},        {19, "Pause"},      {145, "ScrollLock"},
    {186, "Semicolon"}, {187, "Equals"},       {188, "Comma"},     {189, "Minus"},
    {190, "Period"},    {191, "Slash"},        {192, "Backquote"}, {219, "LeftBracket"},
    {220, "Backslash"}, {221, "RightBracket"}, {222, "Quote"},
}};

constexpr std::array<std::string_view, 3> kModifierNames{"Ctrl", "Alt", "Shift"};

constexpr std::uint32_t kVkDelete = 46, kVkF4 = 115;

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// Every virtual-key code that has a name, in ascending order.
template <class F>
void ForEachNamedKey(F&& f) {
  for (std::uint32_t vk = 1; vk < 256; ++vk)
    if (!KeyName(vk).empty()) f(vk);
}

std::string Joined(const KeySequence& s, std::string_view joiner) {
  std::string text;
  for (std::size_t i = 0; i < kModifierNames.size(); ++i) {
    if (!(s.modifiers & (1u << i))) continue;
    text += kModifierNames[i];
    text += joiner;
  }
  text += KeyName(s.vk);
  return text;
}

}  // namespace

std::string_view KeyName(std::uint32_t vk) {
  static const auto names = [] {
    std::array<std::string, 256> n{};
    for (std::uint32_t c = 'A'; c <= 'Z'; ++c) n[c] = std::string(1, static_cast<char>(c));
    for (std::uint32_t c = '0'; c <= '9'; ++c) n[c] = std::string(1, static_cast<char>(c));
    for (std::uint32_t k = 0; k < 24; ++k) n[112 + k].append("F").append(std::to_string(k + 1));
    for (std::uint32_t k = 0; k < 10; ++k) n[96 + k].append("NumPad").append(std::to_string(k));
    for (const NamedKey& key : kNamedKeys) n[key.vk] = std::string(key.name);
    return n;
  }();
  return vk < names.size() ? std::string_view(names[vk]) : std::string_view();
}

std::string KeySequenceText(const KeySequence& sequence) { return Joined(sequence, "+"); }

std::string ReminderName(const KeySequence& sequence) { return Joined(sequence, "-"); }

std::optional<KeySequence> ParseKeySequence(std::string_view text) {
  KeySequence s;
  std::size_t next = 0;  // the first modifier still allowed: they come in order, once each
  while (true) {
    const std::size_t plus = text.find('+');
    if (plus == std::string_view::npos) break;
    const std::string_view part = text.substr(0, plus);
    std::size_t i = next;
    while (i < kModifierNames.size() && !SameText(part, kModifierNames[i])) ++i;
    if (i == kModifierNames.size()) return std::nullopt;
    s.modifiers |= static_cast<std::uint8_t>(1u << i);
    next = i + 1;
    text.remove_prefix(plus + 1);
  }
  std::optional<KeySequence> found;
  ForEachNamedKey([&](std::uint32_t vk) {
    if (!found && SameText(text, KeyName(vk))) found = KeySequence{s.modifiers, vk};
  });
  return found;
}

std::string KeySequenceRefusal(const KeySequence& s, const KeySequence& other, SequenceRole role) {
  if (KeyName(s.vk).empty()) return "Choose a letter, digit, function or editing key.";
  if (s.modifiers == 0) return "Hold Ctrl, Alt or Shift with the key.";
  if (s == other) return "The lock and unlock sequences must differ.";
  if ((s.modifiers & (kModCtrl | kModAlt)) == (kModCtrl | kModAlt) && s.vk == kVkDelete)
    return "Windows keeps Ctrl+Alt+Delete for itself.";
  if (s.modifiers == kModAlt && s.vk == kVkF4) return "Alt+F4 closes windows.";
  if (AllowOnlyAllowed.Contains(s.vk))
    return std::string(KeyName(s.vk)) + " passes in allow-only mode; choose another key.";
  if (s.modifiers == kModShift && BlockWinCtrlAllowed.Contains(s.vk))
    return "Shift and this key is ordinary typing; add Ctrl or Alt.";
  if (role == SequenceRole::Unlock && WeakerThanDefaultUnlock(s))
    return "A child mashing the keyboard would press this more often than Alt+Home; choose "
           "keys further apart or add a modifier.";
  return {};
}

KeySequences SequencesFromText(std::string_view lockText, std::string_view unlockText) {
  KeySequences pair{ParseKeySequence(lockText).value_or(kDefaultLockSequence),
                    ParseKeySequence(unlockText).value_or(kDefaultUnlockSequence)};
  using enum SequenceRole;
  if (!KeySequenceRefusal(pair.lock, pair.unlock, Lock).empty()) pair.lock = kDefaultLockSequence;
  if (!KeySequenceRefusal(pair.unlock, pair.lock, Unlock).empty())
    pair.unlock = kDefaultUnlockSequence;
  // What is left may still clash (a stored lock sequence that is the default unlock one).
  if (!KeySequenceRefusal(pair.lock, pair.unlock, Lock).empty()) pair = {};
  return pair;
}

}  // namespace hushkey
