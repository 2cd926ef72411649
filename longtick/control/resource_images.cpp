#include "longtick/control/resource_images.h"

#include <cmath>

namespace longtick {

namespace {

// The 16 standard colours as BMP palette entries (blue, green, red, 0).
constexpr uint8_t kPalette[16][4] = {
    {0x00, 0x00, 0x00, 0}, {0x00, 0x00, 0x80, 0}, {0x00, 0x80, 0x00, 0}, {0x00, 0x80, 0x80, 0},
    {0x80, 0x00, 0x00, 0}, {0x80, 0x00, 0x80, 0}, {0x80, 0x80, 0x00, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0x80, 0x80, 0x80, 0}, {0x00, 0x00, 0xFF, 0}, {0x00, 0xFF, 0x00, 0}, {0x00, 0xFF, 0xFF, 0},
    {0xFF, 0x00, 0x00, 0}, {0xFF, 0x00, 0xFF, 0}, {0xFF, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0xFF, 0}};
constexpr int kBlack = 0, kNavy = 4, kSilver = 7, kRed = 9, kWhite = 15;
constexpr int kTransparent = -1;

// Colour index of pixel (x, y), y counted from the top, of an n x n clock face.
int ClockPixel(int n, int x, int y) {
  double c = (n - 1) / 2.0, r = n / 2.0 - 0.5;
  double dx = x - c, dy = y - c, d = std::sqrt(dx * dx + dy * dy);
  if (d > r) return kTransparent;
  if (d > r - n / 10.0 - 0.5) return kNavy;  // rim
  if (d < n / 16.0 + 0.5) return kRed;       // hub
  // Minute hand to twelve, hour hand to three, both one pixel wide.
  bool minute_hand = std::fabs(dx) < 0.6 && dy < 0 && -dy < r * 0.8;
  bool hour_hand = std::fabs(dy) < 0.6 && dx > 0 && dx < r * 0.55;
  if (minute_hand || hour_hand) return kBlack;
  return kWhite;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint32_t RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// BITMAPINFOHEADER, palette, 4-bit colour rows bottom-up, and for icons the 1-bit mask.
std::vector<uint8_t> Dib(int n, bool icon, int background) {
  std::vector<uint8_t> out;
  uint32_t colour_size = RowBytes(n, 4) * n, mask_size = icon ? RowBytes(n, 1) * n : 0;
  Put32(out, 40);
  Put32(out, n);
  Put32(out, icon ? 2 * n : n);
  Put16(out, 1);
  Put16(out, 4);
  Put32(out, 0);
  Put32(out, colour_size + mask_size);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);
  Put32(out, 0);
  for (const auto& p : kPalette) out.insert(out.end(), p, p + 4);
  for (int y = n - 1; y >= 0; --y) {
    std::vector<uint8_t> row(RowBytes(n, 4), 0);
    for (int x = 0; x < n; ++x) {
      int c = ClockPixel(n, x, y);
      if (c == kTransparent) c = background;
      row[x / 2] |= static_cast<uint8_t>(x % 2 ? c : c << 4);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  if (icon) {
    for (int y = n - 1; y >= 0; --y) {
      std::vector<uint8_t> row(RowBytes(n, 1), 0);
      for (int x = 0; x < n; ++x)
        if (ClockPixel(n, x, y) == kTransparent)
          row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      out.insert(out.end(), row.begin(), row.end());
    }
  }
  return out;
}

}  // namespace

std::vector<uint8_t> ToolboxBitmapFile() {
  std::vector<uint8_t> dib = Dib(16, false, kSilver);
  std::vector<uint8_t> out = {'B', 'M'};
  uint32_t offset = 14 + 40 + 16 * 4;
  Put32(out, 14 + static_cast<uint32_t>(dib.size()));
  Put32(out, 0);
  Put32(out, offset);
  out.insert(out.end(), dib.begin(), dib.end());
  return out;
}

std::vector<uint8_t> ControlIconFile() {
  const int sizes[] = {32, 16};
  std::vector<std::vector<uint8_t>> images;
  for (int n : sizes) images.push_back(Dib(n, true, kBlack));
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 2);
  uint32_t offset = 6 + 16 * 2;
  for (size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(16);
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, static_cast<uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
  return out;
}

}  // namespace longtick
