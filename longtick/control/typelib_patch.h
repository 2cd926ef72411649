// Edits a compiled type library in place. Our IDL compiler refuses a version attribute on a
// dispinterface, so the event interface's version is written into the binary library after
// compilation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace longtick {

using GuidBytes = std::array<uint8_t, 16>;  // in memory order of a GUID structure

// "7E8A0FFB-9D76-4CE3-97B7-D83BF1DA27BA" (braces allowed) in GUID memory order.
std::optional<GuidBytes> ParseGuid(std::string_view text);

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
