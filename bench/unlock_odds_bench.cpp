// Hours of mashing per accidental unlock, measured: the simulated toddler of
// bench/toddler_mash.h fed through the real filter step in the locked modes, beside the
// analytic model's figure (hushkey/engine/unlock_odds.h), for Alt+Home, the strongest and
// weakest unlock sequences the options dialog accepts, Alt+Home held for a second and two
// six-letter unlock words (and a word of one letter, frequent enough to check the word
// model against).
//
//   unlock_odds_bench [--scale S] [--seed N]
//
// --scale multiplies the simulated hours of every row (1: about five minutes on one core);
// --seed changes every run's seed. The same arguments give the same figures on any platform.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "bench/toddler_mash.h"

namespace hushkey {
namespace {

struct Row {
  std::string what;
  KeySequence sequence;  // or a word
  std::uint32_t holdMs = 0;
  std::string word;
  double hours = 0;
  std::vector<LockMode> modes{ModeLocked};
};

std::string HoursText(double h) {
  char text[32];
  if (h >= 1e6)
    std::snprintf(text, sizeof text, "%.1e h", h);
  else if (h >= 100)
    std::snprintf(text, sizeof text, "%.0f h", h);
  else if (h >= 1)
    std::snprintf(text, sizeof text, "%.1f h", h);
  else if (h >= 1.0 / 60)
    std::snprintf(text, sizeof text, "%.1f min", h * 60);
  else
    std::snprintf(text, sizeof text, "%.0f s", h * 3600);
  return text;
}

std::string PerUnlockText(double hours, double count) {
  return count > 0 ? HoursText(hours / count) : "never";
}

// The unlock sequences the dialog accepts (with the default lock sequence), by the model.
struct Accepted {
  KeySequence strongest, weakest;  // weakest: the weakest but Alt+Home itself
  int count = 0, onNoKeyboard = 0;
};

Accepted AcceptedSequences() {
  Accepted a;
  double low = std::numeric_limits<double>::infinity(), high = -1;
  for (std::uint8_t mods = 1; mods < 8; ++mods) {
    for (std::uint32_t vk = 1; vk < 256; ++vk) {
      const KeySequence s{mods, vk};
      if (!KeySequenceRefusal(s, kDefaultLockSequence, SequenceRole::Unlock).empty()) continue;
      ++a.count;
      const double rate = AccidentalUnlocksPerHour(s, 0);
      if (rate == 0) {
        ++a.onNoKeyboard;
        continue;
      }
      if (rate < low) low = rate, a.strongest = s;
      if (rate > high && s != kDefaultUnlockSequence) high = rate, a.weakest = s;
    }
  }
  return a;
}

// The six-letter word of one character the model rates easiest to type by accident (a held
// key types a run of it).
std::string EasiestRunWord() {
  std::string best;
  double most = -1;
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
    const std::string word(6, c);
    if (const double r = AccidentalWordUnlocksPerHour(word); r > most) most = r, best = word;
  }
  return best;
}

int Main(int argc, char** argv) {
  double scale = 1;
  std::uint64_t seed = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!std::strcmp(argv[i], "--scale"))
      scale = std::atof(argv[i + 1]);
    else if (!std::strcmp(argv[i], "--seed"))
      seed = std::strtoull(argv[i + 1], nullptr, 10);
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // a line at a time: the runs take minutes
  if (!(scale > 0)) {
    std::fprintf(stderr, "usage: unlock_odds_bench [--scale S] [--seed N]\n");
    return 2;
  }

  std::printf(
      "The mash: %.0f key presses a second; palms of 1-%d neighbouring keys, %.0f %% of "
      "strikes both hands;\nkeys %u ms apart, held %u-%u ms; autorepeat after %u ms "
      "every %u ms; %.2f strikes a second.\n\n",
      kMashPressesPerSecond, kPalmKeysMax, kBothHandsShare * 100, kPressSpacingMs, kHoldShortestMs,
      kHoldLongestMs, kRepeatDelayMs, kRepeatPeriodMs, StrikesPerSecond());

  const Accepted accepted = AcceptedSequences();
  std::printf(
      "The dialog accepts %d unlock sequences (with Alt+End to lock); %d of them end in "
      "a key no modelled keyboard has (F13-F24): never in the model.\n\n",
      accepted.count, accepted.onNoKeyboard);

  const KeySequence altHome = kDefaultUnlockSequence;
  const std::string runWord = EasiestRunWord();
  const std::vector<Row> rows = {
      {"Alt+Home (today)", altHome, 0, "", 100, {ModeLocked, ModeLockedAuto, ModeAllowOnly}},
      {"strongest accepted: " + KeySequenceText(accepted.strongest), accepted.strongest, 0, "",
       400},
      {"weakest accepted but Alt+Home: " + KeySequenceText(accepted.weakest), accepted.weakest, 0,
       "", 100},
      {"Alt+Home held 1 s", altHome, 1000, "", 4000},
      {"word " + runWord + " (the easiest run)", {}, 0, runWord, 2000},
      {"word TULIPS", {}, 0, "TULIPS", 2000},
      {"word Q (one letter: a check of the word model)", {}, 0, "Q", 200},
  };

  std::printf("%-48s %-24s %4s %8s %8s  %-30s %-12s %5s\n", "unlock", "layout", "mode", "hours",
              "unlocks", "hours per unlock (95 %)", "model", "disp");
  std::uint64_t events = 0;
  double seconds = 0;
  std::vector<std::string> notes;
  std::uint64_t run = 0;
  for (const Row& row : rows) {
    for (const KeyboardLayout& layout : MashLayouts()) {
      const double model = row.word.empty()
                               ? AccidentalUnlocksPerHour(row.sequence, row.holdMs, layout)
                               : AccidentalWordUnlocksPerHour(row.word, layout);
      for (LockMode mode : row.modes) {
        const double hours = row.hours * scale;
        const std::uint64_t runSeed = seed * 1000003 + ++run;
        const mash::Count c =
            row.word.empty()
                ? mash::CountSequenceUnlocks(layout, row.sequence, row.holdMs, mode, hours, runSeed)
                : mash::CountWordUnlocks(layout, row.word, hours, runSeed);
        events += c.events;
        seconds += c.seconds;
        const double dispersion = c.Dispersion();
        const mash::Bounds b = mash::DispersedBounds(c.unlocks, dispersion);
        std::string bounds;
        if (b.ruleOfThree) {
          bounds = "more than " + HoursText(hours / b.high) + " (rule of 3)";
        } else {
          bounds = PerUnlockText(hours, static_cast<double>(c.unlocks)) + " (" +
                   PerUnlockText(hours, b.high) + " - " + PerUnlockText(hours, b.low) + ")";
        }
        // A word run keeps only the word check: no mode.
        const std::string modeText = row.word.empty() ? std::to_string(Code(mode)) : "-";
        std::printf("%-48s %-24s %4s %8.0f %8llu  %-30s %-12s %5.2f\n", row.what.c_str(),
                    std::string(layout.name).c_str(), modeText.c_str(), hours,
                    static_cast<unsigned long long>(c.unlocks), bounds.c_str(),
                    PerUnlockText(1, model).c_str(), dispersion);
      }
    }
  }
  std::printf(
      "\nhours per unlock: simulated hours / unlocks; the bounds are the exact Poisson 95 %% "
      "interval,\nwidened by the dispersion (variance / mean of the unlocks of each twentieth "
      "of a run) when it\nis above 1; with no unlock at all, the rule of three (one-sided "
      "95 %%). model: the analytic figure\nfor that layout.\n");
  std::printf(
      "\n%.1f million simulated key events a second (%llu events in %.1f s of "
      "processor time)\n",
      static_cast<double>(events) / seconds / 1e6, static_cast<unsigned long long>(events),
      seconds);
  std::printf("reproduce: build/native/bench/unlock_odds_bench --scale %g --seed %llu\n", scale,
              static_cast<unsigned long long>(seed));
  return 0;
}

}  // namespace
}  // namespace hushkey

int main(int argc, char** argv) { return hushkey::Main(argc, argv); }
