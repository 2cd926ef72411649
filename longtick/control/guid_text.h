// A GUID read from its registry text (32 hex digits grouped 8-4-4-4-12, braces allowed), at
// compile time or at run time, and the 16 bytes of a GUID structure in memory.
// Portable: Win32 code turns a Guid into its GUID field by field.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace longtick {

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};
  constexpr bool operator==(const Guid&) const = default;
};

using GuidBytes = std::array<uint8_t, 16>;  // in memory order of a GUID structure

namespace guid_detail {

constexpr int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace guid_detail

// Nothing for anything but 32 hex digits grouped 8-4-4-4-12.
constexpr std::optional<Guid> ParseGuidText(std::string_view text) {
  if (text.size() == 38 && text.front() == '{' && text.back() == '}') text = text.substr(1, 36);
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
    return std::nullopt;
  std::array<uint8_t, 16> b{};  // bytes in written order
  size_t k = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '-') continue;
    int hi = guid_detail::HexDigit(text[i]);
    int lo = i + 1 < text.size() ? guid_detail::HexDigit(text[i + 1]) : -1;
    if (hi < 0 || lo < 0 || k >= 16) return std::nullopt;
    b[k++] = static_cast<uint8_t>(hi << 4 | lo);
    ++i;
  }
  if (k != 16) return std::nullopt;
  Guid g;
  g.data1 = uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
  g.data2 = static_cast<uint16_t>(b[4] << 8 | b[5]);
  g.data3 = static_cast<uint16_t>(b[6] << 8 | b[7]);
  for (size_t i = 0; i < 8; ++i) g.data4[i] = b[8 + i];
  return g;
}

// For identities written in the source: text that is no GUID stops the build.
consteval Guid GuidFromText(std::string_view text) {
  const std::optional<Guid> g = ParseGuidText(text);
  if (!g) throw "not a GUID";
  return *g;
}

// Data1, Data2 and Data3 are little-endian in memory, Data4 is a byte array.
constexpr GuidBytes MemoryBytes(const Guid& g) {
  GuidBytes m{static_cast<uint8_t>(g.data1),       static_cast<uint8_t>(g.data1 >> 8),
              static_cast<uint8_t>(g.data1 >> 16), static_cast<uint8_t>(g.data1 >> 24),
              static_cast<uint8_t>(g.data2),       static_cast<uint8_t>(g.data2 >> 8),
              static_cast<uint8_t>(g.data3),       static_cast<uint8_t>(g.data3 >> 8)};
  for (size_t i = 0; i < 8; ++i) m[8 + i] = g.data4[i];
  return m;
}

}  // namespace longtick
