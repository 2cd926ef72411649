#include "hushkey/engine/access_shortcuts.h"

#include <array>
#include <string>

namespace hushkey {

namespace {

struct Feature {
  AccessFeature feature;
  char letter;  // its letter in the note
};
constexpr std::array<Feature, 3> kFeatures{{{AccessFeature::StickyKeys, 'S'},
                                            {AccessFeature::FilterKeys, 'F'},
                                            {AccessFeature::ToggleKeys, 'T'}}};

}  // namespace

void SuppressAccessShortcuts(DesktopPort& desktop) {
  if (!desktop.AccessNote().empty()) return;
  std::string note;
  for (const Feature& f : kFeatures) {
    const std::optional<std::uint32_t> flags = desktop.AccessFlags(f.feature);
    if (flags && !(*flags & AccessFeatureOn) && (*flags & AccessHotkeyActive)) note += f.letter;
  }
  if (note.empty()) return;
  desktop.SetAccessNote(note);
  for (const Feature& f : kFeatures) {
    if (note.find(f.letter) == std::string::npos) continue;
    if (const std::optional<std::uint32_t> flags = desktop.AccessFlags(f.feature))
      desktop.SetAccessFlags(f.feature, *flags & ~AccessHotkeyActive);
  }
}

void RestoreAccessShortcuts(DesktopPort& desktop) {
  const std::string note = desktop.AccessNote();
  if (note.empty()) return;
  for (const Feature& f : kFeatures) {
    if (note.find(f.letter) == std::string::npos) continue;
    if (const std::optional<std::uint32_t> flags = desktop.AccessFlags(f.feature))
      desktop.SetAccessFlags(f.feature, *flags | AccessHotkeyActive);
  }
  desktop.SetAccessNote("");
}

}  // namespace hushkey
