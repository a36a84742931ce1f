// The bytes of records whose layout is read and written through one field
// list, fixed here byte for byte, so that files written earlier still read
// the same.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/chunk_head.h"
#include "core/streams.h"
#include "document/layer_data.h"
#include "document/mask_data.h"
#include "io/native_header.h"
#include "io/native_layer_chunk.h"
#include "io/native_mask_chunk.h"
#include "io/thumbnail_chunk.h"

namespace pg {
namespace {

TEST(RecordLayouts, NativeHeader) {
  SNativeHeader h;
  h.width = 0x01020304;
  h.height = 0x05060708;
  h.version = 1;
  h.flags = 0x11223344;
  h.paperColor = 0x00C0B0A0;
  h.currentLayer = 0x0102;
  h.currentMask = 0x0304;
  h.resolution = 350;
  h.layerCount = 0x0506;
  h.layerNameCounter = 0x0708;
  h.maskCount = 0x090A;
  h.maskNameCounter = 0x0B0C;
  std::array<uint8_t, 56> bytes;
  bytes.fill(0xEE);
  storeNativeHeader(bytes.data(), h);
  const std::array<uint8_t, 56> want = {
      'K', 'P', 'I', 'M', 48, 0, 0, 0,     //
      0x04, 0x03, 0x02, 0x01,              // width
      0x08, 0x07, 0x06, 0x05,              // height
      1, 0, 0, 0,                          // version
      4, 0, 58, 0,                         // writer 4.58
      0x44, 0x33, 0x22, 0x11,              // flags
      0xA0, 0xB0, 0xC0, 0x00,              // paper colour
      0x02, 0x01, 0x04, 0x03, 0x5E, 0x01,  // current layer, current mask, resolution
      0, 0,                                //
      0x06, 0x05, 0x08, 0x07, 0x0A, 0x09, 0x0C, 0x0B,
      0, 0, 0, 0, 0, 0, 0, 0,
  };
  EXPECT_EQ(bytes, want);
  const SNativeHeader back = parseNativeHeader(bytes.data());
  EXPECT_EQ(back.width, h.width);
  EXPECT_EQ(back.paperColor, h.paperColor);
  EXPECT_EQ(back.maskNameCounter, h.maskNameCounter);
}

TEST(RecordLayouts, ThumbnailDescription) {
  SThumbnailDesc d;
  d.format = 0x0102;
  d.kind = 0x0304;
  d.group = 5;
  d.key = 6;
  d.step = 7;
  d.tail = 8;
  d.sourceWidth = 0x11121314;
  d.sourceHeight = 0x21222324;
  d.width = 0x31323334;
  d.height = 0x41424344;
  d.stored = 0x51525354;
  d.raw = 0x61626364;
  std::array<uint8_t, 40> bytes;
  bytes.fill(0xEE);
  storeThumbnailDesc(bytes.data(), d);
  const std::array<uint8_t, 40> want = {
      0x02, 0x01, 0x04, 0x03, 5, 6, 7, 8,                     //
      0x14, 0x13, 0x12, 0x11, 0x24, 0x23, 0x22, 0x21,          // source size
      0x34, 0x33, 0x32, 0x31, 0x44, 0x43, 0x42, 0x41,          // size
      0x54, 0x53, 0x52, 0x51, 0x64, 0x63, 0x62, 0x61,          // stored, raw
      0, 0, 0, 0, 0, 0, 0, 0,
  };
  EXPECT_EQ(bytes, want);
  const SThumbnailDesc back = parseThumbnailDesc(bytes.data());
  EXPECT_EQ(back.format, d.format);
  EXPECT_EQ(back.tail, d.tail);
  EXPECT_EQ(back.raw, d.raw);
}

TEST(RecordLayouts, LayerRecord) {
  CLayerData layer(0x0102);
  ASSERT_TRUE(layer.createImage(70, 33, 5));
  layer.opacity = 0x7F;
  layer.visible = true;
  layer.dissolve = true;
  layer.dissolveAmount = 0x55;
  layer.offsetX = -3;
  layer.offsetY = 0x0A0B;
  layer.width = 60;
  layer.height = 30;
  layer.seedRandom(0xA1B2C3D4);
  layer.name = "ab";
  CMemoryStream out;
  ASSERT_EQ(writeLayerRecord(out, layer, 0x0100), kRcOk);
  const std::vector<uint8_t> want = {
      'K', 'L', 'Y', 'R', 76, 0, 0, 0,  //
      0x02, 0x01, 0, 0,                 // index
      0x31, 0x01, 5, 0x7F,              // flags, mode, opacity
      32, 0, 0, 0, 32, 0, 0, 0,         // tile size
      3, 0, 0, 0, 2, 0, 0, 0,           // grid
      70, 0, 0, 0, 33, 0, 0, 0,         // image size
      0xFD, 0xFF, 0xFF, 0xFF, 0x0B, 0x0A, 0, 0,
      60, 0, 0, 0, 30, 0, 0, 0,         // nominal size
      0xFF, 0xFF, 0xFF, 0x00,           // background
      3, 0, 1, 0,                       // name bytes, version
      0x55, 0, 0, 0, 0xD4, 0xC3, 0xB2, 0xA1,
      0, 0, 0, 0, 0, 0, 0, 0,
      'a', 'b', 0, 0,
  };
  EXPECT_EQ(out.bytes(), want);
}

TEST(RecordLayouts, MaskRecord) {
  auto mask = CMaskData::createSized(0x0203, 130, 64);
  ASSERT_TRUE(mask && mask->hasImage());
  mask->offsetX = -2;
  mask->offsetY = 5;
  mask->name = "m";
  CMemoryStream out;
  ASSERT_EQ(writeMaskChunks(out, *mask, 0x0102, 0x0304), kRcOk);
  const std::vector<uint8_t> want = {
      'K', 'M', 'S', 'K', 76, 0, 0, 0,  //
      0x03, 0x02, 0, 0, 1, 0, 0, 0,     // index, has an image
      64, 0, 0, 0, 64, 0, 0, 0,         // tile size
      3, 0, 0, 0, 1, 0, 0, 0,           // grid
      130, 0, 0, 0, 64, 0, 0, 0,        // image size
      0xFE, 0xFF, 0xFF, 0xFF, 5, 0, 0, 0,
      0x02, 0x01, 0, 0, 0x04, 0x03, 0, 0,  // document size
      0, 0, 0, 0, 2, 0, 0, 0,              // name bytes, version
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      'm', 0, 0, 0,
  };
  // Its three tiles, all uniform, as one block of values.
  const std::vector<uint8_t> tiles = {
      'K', 'B', 'M', 'K', 44, 0, 0, 0, 64, 0, 0, 0, 64, 0, 0, 0,  //
      2, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0,            // encoding, tiles, packed, raw
      0, 0, 0, 0, 0, 0, 0, 0,                                     //
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
  };
  std::vector<uint8_t> whole = want;
  whole.insert(whole.end(), tiles.begin(), tiles.end());
  EXPECT_EQ(out.bytes(), whole);
  // Without an image the image fields stay zero.
  auto bare = CMaskData::createSized(1, 0, 0);
  ASSERT_TRUE(bare && !bare->hasImage());
  CMemoryStream plain;
  ASSERT_EQ(writeMaskChunks(plain, *bare, 10, 20), kRcOk);
  const std::vector<uint8_t> b = plain.bytes();
  ASSERT_EQ(b.size(), 84u);
  for (size_t i = 12; i < 40; ++i) EXPECT_EQ(b[i], 0) << i;
  EXPECT_EQ(b[48], 10);
  EXPECT_EQ(b[52], 20);
}

}  // namespace
}  // namespace pg
