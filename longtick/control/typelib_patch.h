// Edits a compiled type library in place. Our IDL compiler refuses a version attribute on a
// dispinterface, so the event interface's version is written into the binary library after
// compilation.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "longtick/control/guid_text.h"

namespace longtick {

struct TypeInfoVersion {
  uint16_t major = 0;
  uint16_t minor = 0;
};

// Version of the type description with this GUID in a binary ("MSFT") type library;
// nothing when the library is malformed or has no such type.
std::optional<TypeInfoVersion> GetTypeInfoVersion(const std::vector<uint8_t>& tlb,
                                                  const GuidBytes& guid);
// Sets that version; false (library unchanged) when it cannot be found.
bool SetTypeInfoVersion(std::vector<uint8_t>& tlb, const GuidBytes& guid, TypeInfoVersion version);

}  // namespace longtick
