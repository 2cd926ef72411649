#include "hushkey/engine/layout_units.h"

#include <gtest/gtest.h>

namespace hushkey {
namespace {

// First the help window at 144 DPI (1419 x 548 client pixels and its frame) on a 1280 x 1024
// screen.
TEST(LayoutUnits, PlaceInsideShrinksThenMovesIntoTheArea) {
  const PixelRect screen{0, 0, 1280, 1024};
  for (auto [window, area, want] :
       {std::tuple{PixelRect{26, 26, 1435, 594}, screen, PixelRect{0, 26, 1280, 594}},
        {{100, 100, 500, 300}, screen, {100, 100, 500, 300}},
        {{1000, 900, 400, 300}, screen, {880, 724, 400, 300}},
        {{0, 0, 800, 2000}, {0, 40, 1280, 984}, {0, 40, 800, 984}},
        {{-1500, -10, 600, 400}, {-1920, 0, 1920, 1040}, {-1500, 0, 600, 400}},
        {{10, 10, 100, 100}, {}, {}}}) {
    EXPECT_EQ(PlaceInside(window, area), want) << window.left << "," << window.top;
  }
}

}  // namespace
}  // namespace hushkey
