// Window layout units shared by every window of the program: rectangles in twips.
#pragma once

#include <cstdint>

namespace hushkey {

// A rectangle in twips (1/1440 inch; 15 twips per pixel at 96 DPI), window client coordinates.
struct TwipsRect {
  std::int32_t left = 0, top = 0, width = 0, height = 0;
  bool operator==(const TwipsRect&) const = default;
};

}  // namespace hushkey
