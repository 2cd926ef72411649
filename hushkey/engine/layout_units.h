// Window layout units shared by every window of the program: rectangles in twips, and in
// pixels once scaled to a DPI.
#pragma once

#include <algorithm>
#include <cstdint>

namespace hushkey {

// A rectangle in twips (1/1440 inch; 15 twips per pixel at 96 DPI), window client coordinates.
struct TwipsRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const TwipsRect&) const = default;
};

// A rectangle in pixels: client coordinates for a control, screen coordinates for a window.
struct PixelRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  constexpr std::int32_t Right() const { return left + width; }
  constexpr std::int32_t Bottom() const { return top + height; }
  bool operator==(const PixelRect&) const = default;
};

// Twips as pixels at `dpi`, to the nearest pixel with halves away from zero (as the
// platform's MulDiv rounds, so that portable and platform code agree to the pixel).
constexpr std::int32_t PixelsFromTwips(std::int32_t twips, std::uint32_t dpi) {
  const std::int64_t product = std::int64_t{twips} * dpi;
  const std::int64_t magnitude = ((product < 0 ? -product : product) + 720) / 1440;
  return static_cast<std::int32_t>(product < 0 ? -magnitude : magnitude);
}

// A window rectangle made no larger than `area` (a monitor's work area) and then moved, as
// little as it takes, to lie wholly inside it.
constexpr PixelRect PlaceInside(PixelRect window, const PixelRect& area) {
  const std::int32_t areaWidth = std::max(area.width, 0), areaHeight = std::max(area.height, 0);
  window.width = std::clamp(window.width, 0, areaWidth);
  window.height = std::clamp(window.height, 0, areaHeight);
  window.left = std::clamp(window.left, area.left, area.left + areaWidth - window.width);
  window.top = std::clamp(window.top, area.top, area.top + areaHeight - window.height);
  return window;
}

}  // namespace hushkey
