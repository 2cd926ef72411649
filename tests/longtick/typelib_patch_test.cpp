// The build's own type library, as widl wrote it and after the version edit.
#include "longtick/control/typelib_patch.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "longtick/control/longtick_ids.h"
#include "longtick/control/resource_images.h"

namespace longtick {
namespace {

std::vector<uint8_t> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

const GuidBytes kEvents = MemoryBytes(kEventsIid);
const GuidBytes kControl = MemoryBytes(kControlIid);

TEST(ParseGuid, MemoryOrderAndRejects) {
  const GuidBytes want{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                       0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  for (const char* text :
       {"00112233-4455-6677-8899-AABBCCDDEEFF", "{00112233-4455-6677-8899-aabbccddeeff}"}) {
    ASSERT_TRUE(ParseGuidText(text)) << text;
    EXPECT_EQ(MemoryBytes(*ParseGuidText(text)), want) << text;
  }
  for (const char* bad :
       {"00112233-4455-6677-8899-AABBCCDDEEF", "00112233-4455-6677-8899-AABBCCDDEEFX",
        "00112233+4455-6677-8899-AABBCCDDEEFF", "{00112233-4455-6677-8899-AABBCCDDEEFF"})
    EXPECT_FALSE(ParseGuidText(bad)) << bad;
}

TEST(TypelibPatch, EventInterfaceGetsVersionOneZero) {
  std::vector<uint8_t> raw = ReadFile(LT_RAW_TLB);
  ASSERT_GT(raw.size(), 100u);
  auto before = GetTypeInfoVersion(raw, kEvents);
  ASSERT_TRUE(before);
  EXPECT_EQ(before->major, 0);  // what widl writes for a dispinterface
  auto control = GetTypeInfoVersion(raw, kControl);
  ASSERT_TRUE(control);
  EXPECT_EQ(control->major, 1);
  EXPECT_EQ(control->minor, 0);

  std::vector<uint8_t> patched = raw;
  ASSERT_TRUE(SetTypeInfoVersion(patched, kEvents, {1, 0}));
  EXPECT_EQ(GetTypeInfoVersion(patched, kEvents)->major, 1);
  size_t differing = 0;
  for (size_t i = 0; i < raw.size(); ++i) differing += raw[i] != patched[i];
  EXPECT_EQ(differing, 1u);              // one byte of one version word
  EXPECT_EQ(ReadFile(LT_TLB), patched);  // what the build embeds
}

TEST(TypelibPatch, UnknownGuidOrDamagedLibraryIsRefused) {
  std::vector<uint8_t> raw = ReadFile(LT_RAW_TLB);
  GuidBytes other = kEvents;  // one bit off
  other[15] ^= 1;
  EXPECT_FALSE(SetTypeInfoVersion(raw, other, {1, 0}));
  std::vector<uint8_t> cut(raw.begin(), raw.begin() + 0x60);
  EXPECT_FALSE(SetTypeInfoVersion(cut, kEvents, {1, 0}));
  std::vector<uint8_t> junk(raw.size(), 0xFF);
  EXPECT_FALSE(GetTypeInfoVersion(junk, kEvents));
}

TEST(ResourceImages, BitmapAndIconHeaders) {
  auto bmp = ToolboxBitmapFile();
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(bmp[2] | bmp[3] << 8, static_cast<int>(bmp.size()));
  EXPECT_EQ(bmp[18], 16);  // width
  EXPECT_EQ(bmp[28], 4);   // bits per pixel
  EXPECT_EQ(bmp.size(), 14u + 40 + 64 + 8 * 16);

  auto ico = ControlIconFile();
  ASSERT_GE(ico.size(), 38u);
  EXPECT_EQ(ico[2], 1);  // icon
  EXPECT_EQ(ico[4], 2);  // two images
  EXPECT_EQ(ico[6], 32);
  EXPECT_EQ(ico[6 + 16], 16);
  // Each image: header, palette, 4-bit colours and a 1-bit mask with 32-bit rows.
  EXPECT_EQ(ico.size(), 6u + 32 + (40 + 64 + 16 * 32 + 4 * 32) + (40 + 64 + 8 * 16 + 4 * 16));
  EXPECT_EQ(ToolboxBitmapFile(), bmp);  // reproducible
}

}  // namespace
}  // namespace longtick
