// The help window's texts: what the program does, the lock and unlock key sequences, and
// the command-line syntax with the start-up switches.
#pragma once

#include <string>
#include <string_view>

#include "hushkey/engine/key_sequence.h"

namespace hushkey {

// The reminder of the key sequences: lines separated by CR LF, none after the last; six
// for the default sequences, which it calls fixed, five naming sequences the parent chose.
// The options dialog's entry prompt shows it too.
std::string KeySeqReminderText(const KeySequences& sequences = {});

// The help window's text, lines separated by CR LF, none after the last. With
// `showLckUnlSeq` the key-sequence reminder stands between two rulers of 100 hyphens.
// `programName` is the program's file name without extension, as it runs.
std::string HelpText(bool showLckUnlSeq, std::string_view programName,
                     const KeySequences& sequences = {});

// The help window's caption: "Hushkey Syntax   v1.97" and 10 blanks for version 1.97, the
// version written as the main window's version label writes it.
std::string SyntaxWindowCaption(int major, int minor, int revision);

}  // namespace hushkey
