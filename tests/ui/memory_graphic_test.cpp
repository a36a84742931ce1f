#include "ui/memory_graphic.h"

#include <gtest/gtest.h>

#include <vector>

namespace pg {
namespace {

// A graphic whose pixel (x, y) holds x + 16 * y in blue and the given alpha.
void fillIndexed(TMemoryGraphic& g, uint8_t alpha) {
  for (int32_t y = 0; y < g.height(); ++y)
    for (int32_t x = 0; x < g.width(); ++x)
      g.setPixel(x, y, packRgba(static_cast<uint8_t>(x + 16 * y), 0, 0, alpha));
}

TEST(ChannelOps, OperatorTable) {
  struct Case {
    TChannelOp op;
    uint8_t dst, src;
    float factor;
    uint8_t expected;
  };
  const Case cases[] = {
      {keepChannel, 10, 200, 1.0f, 10},   {copyChannel, 10, 200, 0.0f, 200},
      {lerpChannel, 200, 100, 0.5f, 150}, {lerpChannel, 100, 200, 0.999f, 199},
      {lerpChannel, 100, 200, 0.0f, 100}, {lerpChannel, 100, 200, 1.0f, 200},
      {lerpChannel, 0, 255, 128.0f / 255.0f, 128},
      {lerpChannel, 10, 20, 2.0f, 30},  // beyond 1 it passes the source
      {lerpChannel, 10, 20, 30.0f, (10 + 300) % 256},  // modulo 256
      {lerpChannel, 10, 20, std::nanf(""), 10},
  };
  for (const Case& c : cases) EXPECT_EQ(c.op(c.dst, c.src, c.factor), c.expected) << int(c.dst) << " " << int(c.src);
}

TEST(MemoryGraphicSize, ConstructionAndSetSize) {
  TMemoryGraphic none(0x11223344u);
  EXPECT_FALSE(none.isValid());
  EXPECT_FALSE(none.fillRect({0, 0, 5, 5}, uiOpaqueBlack, copyChannel, copyChannel));
  EXPECT_EQ(none.getPixel(0, 0), 0u);

  ASSERT_TRUE(none.setSize(0, -5));
  EXPECT_EQ(none.width(), 1);
  EXPECT_EQ(none.height(), 1);
  EXPECT_EQ(none.getPixel(0, 0), 0x11223344u);

  TMemoryGraphic g(4, 3);
  ASSERT_TRUE(g.isValid());
  EXPECT_EQ(g.getPixel(3, 2), uiClearWhite);
  g.setPixel(1, 1, 0xFF00FF00u);
  ASSERT_TRUE(g.setSize(4, 3));  // same size: pixels kept
  EXPECT_EQ(g.getPixel(1, 1), 0xFF00FF00u);
  ASSERT_TRUE(g.setSize(3, 4));  // new shape: cleared to the background
  EXPECT_EQ(g.getPixel(1, 1), uiClearWhite);
  EXPECT_EQ(g.pixelAddr(2, 3), g.pixels() + 2 + 3 * 3);
}

TEST(MemoryGraphicSize, RefusedSizeLeavesAnInvalidGraphicThatRetries) {
  TMemoryGraphic g(2, 2);
  EXPECT_FALSE(g.setSize(100000, 100000));  // beyond the plane limit
  EXPECT_FALSE(g.isValid());
  EXPECT_EQ(g.width(), 100000);
  EXPECT_FALSE(g.setSize(100000, 100000));  // the same size is no success
  EXPECT_FALSE(g.fillRect({0, 0, 1, 1}, uiOpaqueBlack, copyChannel, copyChannel));
  EXPECT_TRUE(g.setSize(2, 2));
}

TEST(MemoryGraphicPixels, AccessOutsideIsClampedOrIgnored) {
  TMemoryGraphic g(4, 4);
  fillIndexed(g, 255);
  EXPECT_EQ(g.getPixel(-5, 3), g.getPixel(0, 3));
  EXPECT_EQ(g.getPixel(9, 9), g.getPixel(3, 3));
  const std::vector<uint32_t> before(g.pixels(), g.pixels() + 16);
  g.setPixel(-1, 0, 0);
  g.setPixel(4, 0, 0);
  g.setPixel(0, 4, 0);
  EXPECT_EQ(std::vector<uint32_t>(g.pixels(), g.pixels() + 16), before);
  EXPECT_EQ(g.scanLine(2), g.pixels() + 8);
  EXPECT_EQ(g.scanLine(4), nullptr);
  EXPECT_EQ(g.scanLine(-1), nullptr);
}

TEST(MemoryGraphicClip, ClipBoundsCases) {
  TMemoryGraphic g(10, 8);
  struct Case {
    int32_t x, y, w, h;
    bool ok;
    SRectXYWH out;
  };
  const Case cases[] = {
      {0, 0, 10, 8, true, {0, 0, 10, 8}},     {-3, -2, 5, 5, true, {0, 0, 2, 3}},
      {8, 6, 5, 5, true, {8, 6, 2, 2}},       {-5, 0, 5, 5, false, {0, 0, 0, 5}},
      {10, 0, 3, 3, false, {10, 0, 0, 3}},    {2, 2, 0, 4, false, {2, 2, 0, 4}},
      {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, false, {0, 0, -1, -1}},
      {1, 1, INT32_MAX, INT32_MAX, true, {1, 1, 9, 7}},
  };
  for (const Case& c : cases) {
    SRectXYWH out{99, 99, 99, 99};
    EXPECT_EQ(g.clipBounds(c.x, c.y, c.w, c.h, out), c.ok) << c.x << "," << c.y;
    EXPECT_EQ(out, c.out) << c.x << "," << c.y;
  }
  EXPECT_EQ(g.clipToGraphic({-4, 2, 20, 5}), (TRect{0, 2, 10, 5}));
  EXPECT_EQ(g.clipToGraphic({20, 2, 30, 5}), (TRect{20, 2, 30, 5}));  // nothing left: unchanged
  TMemoryGraphic invalid;
  SRectXYWH untouched{7, 7, 7, 7};
  EXPECT_FALSE(invalid.clipBounds(0, 0, 1, 1, untouched));
  EXPECT_EQ(untouched, (SRectXYWH{7, 7, 7, 7}));
}

TEST(MemoryGraphicFill, OperatorPairs) {
  const TUiColor start = 0x80102030u;
  const TUiColor colour = 0x40F0E0D0u;  // alpha 64
  struct Case {
    TChannelOp colourOp, alphaOp;
    TUiColor expected;
  };
  auto lerp = [](uint8_t d, uint8_t s, float f) { return lerpChannel(d, s, f); };
  const float f = 64.0f / 255.0f;
  const TUiColor blended = packRgba(lerp(0x30, 0xD0, f), lerp(0x20, 0xE0, f), lerp(0x10, 0xF0, f), 0);
  const Case cases[] = {
      {lerpChannel, keepChannel, (blended & 0xFFFFFF) | 0x80000000u},
      {lerpChannel, copyChannel, (blended & 0xFFFFFF) | 0x40000000u},
      {copyChannel, copyChannel, colour},
      {copyChannel, lerpChannel, 0x40F0E0D0u},  // alpha factor is 1: the colour's alpha
      {keepChannel, copyChannel, 0x40102030u},
      {keepChannel, keepChannel, start},
  };
  for (const Case& c : cases) {
    TMemoryGraphic g(3, 3, start);
    EXPECT_TRUE(g.fillRect({1, 1, 5, 5}, colour, c.colourOp, c.alphaOp));
    EXPECT_EQ(g.getPixel(0, 0), start);
    EXPECT_EQ(g.getPixel(1, 0), start);
    EXPECT_EQ(g.getPixel(1, 1), c.expected) << std::hex << c.expected;
    EXPECT_EQ(g.getPixel(2, 2), c.expected);
  }
  TMemoryGraphic g(3, 3, start);
  EXPECT_FALSE(g.fillRect({3, 0, 6, 3}, colour, copyChannel, copyChannel));
  EXPECT_FALSE(g.fillRect({2, 2, 1, 1}, colour, copyChannel, copyChannel));
}

TEST(MemoryGraphicBlend, NegativeDestinationClipsTheSource) {
  TMemoryGraphic src(10, 10);
  fillIndexed(src, 255);
  TMemoryGraphic dst(5, 5, 0xFF000000u);
  ASSERT_TRUE(dst.blendFrom(-3, -2, 10, 10, src, 0, 0, lerpChannel, copyChannel));
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(dst.getPixel(x, y), src.getPixel(x + 3, y + 2)) << x << "," << y;
}

TEST(MemoryGraphicBlend, NegativeSourceMovesTheDestination) {
  TMemoryGraphic src(4, 4);
  fillIndexed(src, 255);
  TMemoryGraphic dst(6, 6, 0u);
  ASSERT_TRUE(dst.blendFrom(1, 1, 4, 4, src, -1, -2, copyChannel, copyChannel));
  EXPECT_EQ(dst.getPixel(1, 1), 0u);
  EXPECT_EQ(dst.getPixel(2, 3), src.getPixel(0, 0));
  EXPECT_EQ(dst.getPixel(4, 4), src.getPixel(2, 1));
  EXPECT_EQ(dst.getPixel(5, 5), 0u);  // the width shrank by the source's clip
}

TEST(MemoryGraphicBlend, SourceAlphaIsTheFactor) {
  TMemoryGraphic dst(2, 1, 0xFF204060u);
  const uint32_t src[2] = {0x00FFFFFFu, 0xFF0A0B0Cu};
  ASSERT_TRUE(dst.blendFromPixels(0, 0, 2, 1, src, 0, 0, 2, 1, lerpChannel, keepChannel));
  EXPECT_EQ(dst.getPixel(0, 0), 0xFF204060u);  // alpha 0 leaves the colour
  EXPECT_EQ(dst.getPixel(1, 0), 0xFF0A0B0Cu);  // alpha 255 replaces it
  EXPECT_FALSE(dst.blendFromPixels(2, 0, 1, 1, src, 0, 0, 2, 1, lerpChannel, keepChannel));
  EXPECT_FALSE(dst.blendFromPixels(0, 0, 2, 1, nullptr, 0, 0, 2, 1, lerpChannel, keepChannel));
  EXPECT_FALSE(dst.blendFromPixels(0, 0, 2, 1, src, 2, 0, 2, 1, lerpChannel, keepChannel));
  TMemoryGraphic invalid;
  EXPECT_FALSE(dst.blendFrom(0, 0, 1, 1, invalid, 0, 0, copyChannel, copyChannel));
}

TEST(MemoryGraphicBlend, CopyPixelsCopiesWholePixels) {
  TMemoryGraphic dst(3, 3, 0u);
  const uint32_t src[4] = {0x00000001u, 0x80000002u, 0xFF000003u, 0x01000004u};
  ASSERT_TRUE(dst.copyPixels(2, 2, 2, 2, src, 0, 0, 2, 2));
  EXPECT_EQ(dst.getPixel(2, 2), 0x00000001u);
  EXPECT_EQ(dst.getPixel(1, 2), 0u);
  ASSERT_TRUE(dst.copyPixels(-1, 0, 2, 2, src, 0, 0, 2, 2));
  EXPECT_EQ(dst.getPixel(0, 0), 0x80000002u);
  EXPECT_EQ(dst.getPixel(0, 1), 0x01000004u);
}

}  // namespace
}  // namespace pg
