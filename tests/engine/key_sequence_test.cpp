#include "hushkey/engine/key_sequence.h"
#include "hushkey/engine/unlock_word.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

// The stored text and the sequence, both ways; anything not in the one fixed form is no
// sequence.
TEST(KeySequenceText, ReadsBackWhatItWritesAndNothingElse) {
  const struct {
    const char* text;
    KeySequence seq;
  } written[] = {
      {"Alt+End", {kModAlt, 35}},
      {"Ctrl+Alt+U", {kModCtrl | kModAlt, 'U'}},
      {"Ctrl+Shift+F12", {kModCtrl | kModShift, 123}},
      {"Ctrl+Alt+Shift+7", {kModCtrl | kModAlt | kModShift, '7'}},
      {"Alt+NumPad3", {kModAlt, 99}},
      {"Ctrl+F24", {kModCtrl, 135}},
      {"Alt+Semicolon", {kModAlt, 186}},
      {"Ctrl+Quote", {kModCtrl, 222}},
      {"Shift+ScrollLock", {kModShift, 145}},
      {"Ctrl+Pause", {kModCtrl, 19}},
  };
  for (const auto& w : written) {
    EXPECT_EQ(KeySequenceText(w.seq), w.text);
    EXPECT_EQ(ParseKeySequence(w.text), w.seq) << w.text;
  }
  EXPECT_EQ(ParseKeySequence("ctrl+alt+u"), (KeySequence{kModCtrl | kModAlt, 'U'}));
  for (const char* bad : {"", "Alt+", "+End", "Alt+Alt+End", "Alt+Ctrl+U", "Win+L", "Alt+Tab",
                          "Alt+Space", "Ctrl+Alt+Escape", "Alt + End", "Alt+F25", "Alt+Home "})
    EXPECT_FALSE(ParseKeySequence(bad)) << bad;
  EXPECT_EQ(ReminderName({kModCtrl | kModAlt, 'L'}), "Ctrl-Alt-L");
}

TEST(KeySequenceRefusal, RefusesWhatCouldLockAParentOut) {
  const KeySequence other{kModCtrl | kModAlt, 'L'};
  const struct {
    KeySequence seq;
    bool refused;
    SequenceRole role = SequenceRole::Lock;
  } cases[] = {
      {{kModCtrl | kModAlt, 'U'}, false},
      {{kModAlt, 36}, false},
      {{0, 'U'}, true},                  // no modifier
      {{0, 112}, true},                  // F1 alone
      {other, true},                     // the same as the other sequence
      {{kModCtrl | kModAlt, 46}, true},  // Ctrl+Alt+Delete
      {{kModCtrl | kModAlt | kModShift, 46}, true},
      {{kModAlt, 115}, true},    // Alt+F4
      {{kModCtrl, 33}, true},    // PageUp passes in allow-only mode
      {{kModShift, 'A'}, true},  // typing
      {{kModCtrl, 9}, true},     // Tab has no name: not offered
      {{kModCtrl, 44}, true},    // Print Screen
      {{kModCtrl, 173}, true},   // a media key
      // An unlock sequence a mashing child would press more often than Alt+Home; as the lock
      // sequence it may serve.
      {{kModAlt, 36}, false, SequenceRole::Unlock},
      {{kModAlt, 35}, false, SequenceRole::Unlock},
      {{kModCtrl | kModAlt, 'U'}, false, SequenceRole::Unlock},
      {{kModCtrl | kModAlt | kModShift, 135}, false, SequenceRole::Unlock},  // on no keyboard
      {{kModAlt, 'X'}, true, SequenceRole::Unlock},
      {{kModAlt, 'X'}, false},
      {{kModAlt, 'Z'}, true, SequenceRole::Unlock},
      {{kModCtrl, 191}, true, SequenceRole::Unlock},  // Ctrl+Slash
  };
  for (const auto& c : cases)
    EXPECT_EQ(!KeySequenceRefusal(c.seq, other, c.role).empty(), c.refused)
        << KeySequenceText(c.seq);
}

// What the filters get from the stored texts: a refused or unreadable value is replaced by
// its default, and a pair that clashes falls back to the defaults.
TEST(SequencesFromText, BadStoredValuesFallBackToTheDefaults) {
  const KeySequence ctrlAltL{kModCtrl | kModAlt, 'L'}, ctrlAltU{kModCtrl | kModAlt, 'U'};
  const struct {
    const char* lock;
    const char* unlock;
    KeySequences want;
  } cases[] = {
      {"Alt+End", "Alt+Home", {}},
      {"Ctrl+Alt+L", "Ctrl+Alt+U", {ctrlAltL, ctrlAltU}},
      {"Ctrl+Alt+L", "garbage", {ctrlAltL, kDefaultUnlockSequence}},
      {"U", "Ctrl+Alt+U", {kDefaultLockSequence, ctrlAltU}},
      {"Ctrl+Alt+U", "Ctrl+Alt+U", {kDefaultLockSequence, ctrlAltU}},
      {"Alt+Home", "Alt+End", {kDefaultUnlockSequence, kDefaultLockSequence}},
      {"Alt+Home", "Ctrl+Alt+U", {kDefaultUnlockSequence, ctrlAltU}},
      {"Ctrl+Alt+Delete", "Alt+F4", {}},
      {"Alt+End", "Alt+X", {}},
      {"Alt+X", "Ctrl+Alt+U", {{kModAlt, 'X'}, ctrlAltU}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SequencesFromText(c.lock, c.unlock), c.want) << c.lock << " / " << c.unlock;
}

TEST(UnlockWord, StoredHashTextAndTheWordsAccepted) {
  const WordHash h{20000, {0, 1, 2, 3, 4, 5, 6, 0xff}, std::vector<std::uint8_t>(16, 0xab)};
  const std::string text = WordHashText(h);
  std::string hex;
  for (int i = 0; i < 16; ++i) hex += "ab";
  EXPECT_EQ(text, "PBKDF2-SHA256$20000$00010203040506ff$" + hex);
  EXPECT_EQ(ParseWordHash(text), h);
  const std::string a32(32, 'a'), salt = "$0001020304050607$";
  const std::string bad[] = {"",
                             "letmein",
                             "PBKDF2-SHA256$20000$0001020304050607",
                             "SHA1$20000" + salt + a32,
                             text + "$",
                             "PBKDF2-SHA256$999" + salt + a32,
                             "PBKDF2-SHA256$20000$00010203040506$" + a32,
                             "PBKDF2-SHA256$20000" + salt + a32.substr(1)};
  for (const std::string& b : bad) EXPECT_FALSE(ParseWordHash(b)) << b;
  const std::pair<const char*, bool> words[] = {{"secret7", true},
                                                {"ABC123", true},
                                                {"abc12", false},
                                                {"pass word", false},
                                                {"pässword", false},
                                                {"", false},
                                                {"a234567890123456789012345678901234", false}};
  for (const auto& [word, ok] : words) EXPECT_EQ(UnlockWordRefusal(word).empty(), ok) << word;
  EXPECT_EQ(NormalizedWord("SeCrEt7"), "secret7");
}

}  // namespace
}  // namespace hushkey
