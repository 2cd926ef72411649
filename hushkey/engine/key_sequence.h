// The lock and unlock key sequences: one or more of Ctrl, Alt and Shift plus one key, as the
// parent chooses them, their stored text ("Alt+End", "Ctrl+Alt+U", "Ctrl+Shift+F12") and the
// rules a sequence must keep so that it works in every mode and cannot lock a parent out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hushkey {

// Modifier bits of a sequence, in the order they are written.
inline constexpr std::uint8_t kModCtrl = 1;
inline constexpr std::uint8_t kModAlt = 2;
inline constexpr std::uint8_t kModShift = 4;

struct KeySequence {
  std::uint8_t modifiers = 0;  // kMod* bits
  std::uint32_t vk = 0;        // the key's virtual-key code

  bool operator==(const KeySequence&) const = default;
};

// The longest the unlock sequence may have to be held (a stored hold beyond it is ignored).
inline constexpr std::uint32_t kLongestUnlockHoldMs = 5000;

inline constexpr KeySequence kDefaultLockSequence{kModAlt, 35};    // Alt+End
inline constexpr KeySequence kDefaultUnlockSequence{kModAlt, 36};  // Alt+Home

// The fixed English name of a key a sequence may end in ("U", "7", "F12", "PageUp",
// "NumPad3", "Semicolon"); empty for any other key.
std::string_view KeyName(std::uint32_t vk);

// "Ctrl+Alt+U": the modifiers in the order Ctrl, Alt, Shift, then the key's name.
std::string KeySequenceText(const KeySequence& sequence);

// The stored text read back: exactly the form KeySequenceText writes (letters in any case);
// nothing for anything else.
std::optional<KeySequence> ParseKeySequence(std::string_view text);

// Which of the pair a sequence is: the unlock sequence must also be one a mashing child
// presses no more often than Alt+Home (unlock_odds.h).
enum class SequenceRole { Lock, Unlock };

// Why a sequence cannot serve (a sentence for the options dialog), or empty when it can.
// `other` is the other sequence of the pair.
std::string KeySequenceRefusal(const KeySequence& sequence, const KeySequence& other,
                               SequenceRole role);

// The pair as the filters use it: sequences read from the store, each replaced by its default
// when it is missing, unreadable or refused, and both defaults when the two clash.
struct KeySequences {
  KeySequence lock = kDefaultLockSequence;
  KeySequence unlock = kDefaultUnlockSequence;

  bool operator==(const KeySequences&) const = default;
};
KeySequences SequencesFromText(std::string_view lockText, std::string_view unlockText);

// How the reminder and the notice name a sequence: "Alt+Home"; the reminder's own older form
// joins the keys with "-" ("Ctrl-Alt-U").
std::string ReminderName(const KeySequence& sequence);

}  // namespace hushkey
