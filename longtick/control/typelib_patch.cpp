#include "longtick/control/typelib_patch.h"

#include <algorithm>
#include <cstring>

namespace longtick {

namespace {

// Layout of the binary type library format: a fixed header, an optional help DLL entry,
// one offset per type description, then a directory of 15 segments (offset, length and two
// reserved words each). Segment 0 holds the type descriptions (100 bytes each), segment 5
// the GUID table (GUID, href, hash link).
constexpr uint32_t kMagic = 0x5446534D;  // "MSFT"
constexpr size_t kHeaderSize = 0x54;
constexpr size_t kVarFlagsAt = 0x14;
constexpr size_t kTypeInfoCountAt = 0x20;
constexpr uint32_t kHasHelpDll = 0x100;
constexpr size_t kSegmentEntry = 16;
constexpr int kTypeInfoSegment = 0;
constexpr int kGuidSegment = 5;
constexpr size_t kTypeInfoSize = 0x64;
constexpr size_t kTypeInfoGuidAt = 0x2C;
constexpr size_t kTypeInfoVersionAt = 0x38;

bool Read32(const std::vector<uint8_t>& b, size_t at, uint32_t& v) {
  if (at > b.size() || b.size() - at < 4) return false;
  v = static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
      static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
  return true;
}

// Offset of the version word of the type description with this GUID.
std::optional<size_t> FindVersionField(const std::vector<uint8_t>& b, const GuidBytes& guid) {
  uint32_t magic = 0, varflags = 0, count = 0;
  if (!Read32(b, 0, magic) || magic != kMagic || !Read32(b, kVarFlagsAt, varflags) ||
      !Read32(b, kTypeInfoCountAt, count))
    return std::nullopt;
  size_t segdir = kHeaderSize + ((varflags & kHasHelpDll) ? 4 : 0) + 4 * size_t{count};
  uint32_t ti_seg = 0, ti_len = 0, guid_seg = 0, guid_len = 0;
  if (!Read32(b, segdir + kTypeInfoSegment * kSegmentEntry, ti_seg) ||
      !Read32(b, segdir + kTypeInfoSegment * kSegmentEntry + 4, ti_len) ||
      !Read32(b, segdir + kGuidSegment * kSegmentEntry, guid_seg) ||
      !Read32(b, segdir + kGuidSegment * kSegmentEntry + 4, guid_len))
    return std::nullopt;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t ti_offset = 0, posguid = 0;
    if (!Read32(b, kHeaderSize + ((varflags & kHasHelpDll) ? 4 : 0) + 4 * size_t{i}, ti_offset) ||
        size_t{ti_offset} + kTypeInfoSize > ti_len)
      return std::nullopt;
    size_t base = size_t{ti_seg} + ti_offset;
    if (!Read32(b, base + kTypeInfoGuidAt, posguid)) return std::nullopt;
    if (posguid == 0xFFFFFFFF || size_t{posguid} + 16 > guid_len) continue;
    size_t g = size_t{guid_seg} + posguid;
    if (g + 16 > b.size()) return std::nullopt;
    if (std::equal(guid.begin(), guid.end(), b.begin() + static_cast<std::ptrdiff_t>(g)))
      return base + kTypeInfoVersionAt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<TypeInfoVersion> GetTypeInfoVersion(const std::vector<uint8_t>& tlb,
                                                  const GuidBytes& guid) {
  auto at = FindVersionField(tlb, guid);
  uint32_t v = 0;
  if (!at || !Read32(tlb, *at, v)) return std::nullopt;
  return TypeInfoVersion{static_cast<uint16_t>(v & 0xFFFF), static_cast<uint16_t>(v >> 16)};
}

bool SetTypeInfoVersion(std::vector<uint8_t>& tlb, const GuidBytes& guid, TypeInfoVersion version) {
  auto at = FindVersionField(tlb, guid);
  if (!at) return false;
  uint32_t v = version.major | static_cast<uint32_t>(version.minor) << 16;
  for (int i = 0; i < 4; ++i) tlb[*at + i] = static_cast<uint8_t>(v >> (8 * i));
  return true;
}

}  // namespace longtick
