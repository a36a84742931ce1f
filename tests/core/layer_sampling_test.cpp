#include "core/layer_sampling.h"

#include <gtest/gtest.h>

#include <random>

namespace pg {
namespace layer_sampling_test {

constexpr int32_t kOne = 65536;  // 1.0 in 16.16

uint32_t px(uint32_t b, uint32_t g, uint32_t r, uint32_t a) { return b | g << 8 | r << 16 | a << 24; }

// The same pixels in a plane and a tiled image (three tiles wide, so that
// sampling crosses tile edges).
struct Pictures {
  TMTC plane;
  CBlockVMTC block;
  Pictures(int32_t w, int32_t h, uint32_t seed) : plane(w, h), block(w, h) {
    std::mt19937 rng(seed);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const auto v = static_cast<uint32_t>(rng());
        *plane.pixelAt(x, y) = v;
        EXPECT_TRUE(block.setPixel(x, y, v));
      }
  }
};

// ------------------------------------------------------------- work rectangle

TEST(LayerWorkRect, MaskBoundsMovedIntoTheLayerAndClipped) {
  CBlockVMTC layer(100, 80);
  CBlockVCH mask(120, 120);
  TRect r;
  ASSERT_TRUE(getLayerWorkRect(layer, {5, 7}, nullptr, {0, 0}, r));
  EXPECT_EQ(r, (TRect{0, 0, 100, 80}));
  ASSERT_TRUE(getLayerWorkRectLocal(layer, {5, 7}, nullptr, {0, 0}, r));
  EXPECT_EQ(r, (TRect{-5, -7, 95, 73}));

  EXPECT_FALSE(getLayerWorkRect(layer, {0, 0}, &mask, {0, 0}, r));  // an empty selection

  for (int32_t y = 30; y < 40; ++y)
    for (int32_t x = 20; x < 50; ++x) EXPECT_TRUE(mask.setPixel(x, y, 255));
  struct Case {
    TPoint layerOffset, maskOffset;
    bool ok;
    TRect rect, local;
  };
  const Case cases[] = {
      {{0, 0}, {0, 0}, true, {20, 30, 50, 40}, {20, 30, 50, 40}},
      // layer image = document + (10, 4), mask image = document + (2, 1)
      {{10, 4}, {2, 1}, true, {28, 33, 58, 43}, {18, 29, 48, 39}},
      {{0, 0}, {30, 0}, true, {0, 30, 20, 40}, {0, 30, 20, 40}},  // clipped at the left
      {{70, 50}, {0, 0}, true, {90, 80, 100, 80}, {}},             // misses below: false
      {{0, 0}, {60, 0}, false, {}, {}},                             // entirely left of the layer
      {{INT32_MAX, 0}, {INT32_MIN, 0}, false, {}, {}},              // offsets far apart
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.layerOffset.X << "," << c.maskOffset.X);
    const bool ok = c.ok && c.rect.Bottom > c.rect.Top;
    ASSERT_EQ(getLayerWorkRect(layer, c.layerOffset, &mask, c.maskOffset, r), ok);
    if (!ok) continue;
    EXPECT_EQ(r, c.rect);
    ASSERT_TRUE(getLayerWorkRectLocal(layer, c.layerOffset, &mask, c.maskOffset, r));
    EXPECT_EQ(r, c.local);
  }
}

// ------------------------------------------------------------ inside and wrap

TEST(LayerSampling, WrapAndInside) {
  struct Case {
    int32_t v, size, expected;
  };
  const Case cases[] = {{-1, 10, 9},  {-10, 10, 0}, {25, 10, 5},          {0, 10, 0},
                        {-11, 10, 9}, {9, 10, 9},   {INT32_MIN, 10, 2},   {INT32_MAX, 10, 7},
                        {-3, 1, 0},   {5, 0, 0},    {5, -4, 0}};
  for (const Case& c : cases) EXPECT_EQ(wrapCoord(c.v, c.size), c.expected) << c.v << " mod " << c.size;

  EXPECT_TRUE(insideSize(3, 2, 0, 0));
  EXPECT_TRUE(insideSize(3, 2, 2, 1));
  EXPECT_FALSE(insideSize(3, 2, 3, 1));
  EXPECT_FALSE(insideSize(3, 2, 0, -1));
  TMTC plane(4, 4);
  CBlockVMTC block(40, 4);
  EXPECT_TRUE(insidePlane(plane, 3, 3));
  EXPECT_FALSE(insidePlane(plane, 4, 0));
  EXPECT_TRUE(insideBlockImage(block, 39, 0));
  EXPECT_FALSE(insideBlockImage(block, 40, 0));
}

TEST(LayerSampling, AccumulateOnlyInside) {
  Pictures p(40, 3, 5);
  *p.plane.pixelAt(1, 2) = px(10, 20, 30, 40);
  EXPECT_TRUE(p.block.setPixel(1, 2, px(10, 20, 30, 40)));
  for (bool block : {false, true}) {
    int64_t b = 1, g = 2, r = 3, a = 4;
    auto accum = [&](int32_t x, int32_t y, int32_t w) {
      return block ? accumPixelBlock(p.block, x, y, w, b, g, r, a) : accumPixelPlane(p.plane, x, y, w, b, g, r, a);
    };
    EXPECT_TRUE(accum(1, 2, 3));
    EXPECT_EQ(b, 31);
    EXPECT_EQ(g, 62);
    EXPECT_EQ(r, 93);
    EXPECT_EQ(a, 124);
    EXPECT_FALSE(accum(-1, 0, 3));
    EXPECT_FALSE(accum(0, 3, 3));
    EXPECT_EQ(b, 31);
  }
}

// ------------------------------------------------------------------ bilinear

TEST(LayerSampling, ExactPositionsGiveThePixelItself) {
  Pictures p(70, 5, 1);
  for (int32_t y = 0; y < 5; ++y)
    for (int32_t x = 0; x < 70; ++x)
      for (bool wrap : {false, true}) {
        ASSERT_EQ(sampleBilinearPlane(p.plane, x * kOne, y * kOne, wrap), p.plane.getPixel(x, y));
        ASSERT_EQ(sampleBilinearBlock(p.block, x * kOne, y * kOne, wrap), p.plane.getPixel(x, y));
      }
}

TEST(LayerSampling, MixesBetweenPixelsAndLeavesOutWhatIsOutside) {
  TMTC plane(3, 2);
  const uint32_t a = px(0, 100, 200, 255), b = px(255, 0, 100, 0), c = px(10, 10, 10, 10), d = px(50, 60, 70, 80);
  *plane.pixelAt(0, 0) = a;
  *plane.pixelAt(1, 0) = px(0, 0, 0, 0);
  *plane.pixelAt(2, 0) = b;
  *plane.pixelAt(0, 1) = c;
  *plane.pixelAt(1, 1) = px(0, 0, 0, 0);
  *plane.pixelAt(2, 1) = d;
  // Halfway between (0,0) and (1,0): fractions are the top byte, 128 of 255.
  // a: wx = 127, weight 127*255; black: 128*255 -> channel * 127 / 255.
  EXPECT_EQ(sampleBilinearPlane(plane, kOne / 2, 0, false), px(0, 100 * 127 / 255, 200 * 127 / 255, 255 * 127 / 255));
  // Past the right edge without wrap: the missing column is left out.
  EXPECT_EQ(sampleBilinearPlane(plane, 2 * kOne + kOne / 2, 0, false), b);
  EXPECT_EQ(sampleBilinearPlane(plane, 2 * kOne + kOne / 2, kOne + kOne / 3, false), d);
  // With wrap the same position mixes column 2 with column 0.
  EXPECT_EQ(sampleBilinearPlane(plane, 2 * kOne + kOne / 2, 0, true),
            px((255 * 127 + 0 * 128) / 255, (0 * 127 + 100 * 128) / 255, (100 * 127 + 200 * 128) / 255,
               (0 * 127 + 255 * 128) / 255));
  // Far outside without wrap: nothing to mix.
  EXPECT_EQ(sampleBilinearPlane(plane, -5 * kOne, 0, false), 0u);
  EXPECT_EQ(sampleBilinearPlane(plane, 0, INT32_MAX, false), 0u);
  TMTC empty;
  EXPECT_EQ(sampleBilinearPlane(empty, 0, 0, true), 0u);
}

TEST(LayerSampling, PositionsBetweenMinusOneAndZeroUseFloor) {
  // x = -0.25: the neighbours are pixels -1 and 0, with fraction byte 192:
  // pixel -1 weighs 63, pixel 0 weighs 192 (of 255).
  TMTC plane(4, 1);
  const uint32_t first = px(200, 200, 200, 200), last = px(40, 40, 40, 40);
  *plane.pixelAt(0, 0) = first;
  *plane.pixelAt(1, 0) = px(0, 0, 0, 0);
  *plane.pixelAt(2, 0) = px(0, 0, 0, 0);
  *plane.pixelAt(3, 0) = last;
  const int32_t x = -kOne / 4;
  // Without wrap pixel -1 is outside: pixel 0 alone, not a mix with pixel 1.
  EXPECT_EQ(sampleBilinearPlane(plane, x, 0, false), first);
  // With wrap pixel -1 is the last pixel.
  const uint32_t mixed = (40 * 63 + 200 * 192) / 255;
  EXPECT_EQ(sampleBilinearPlane(plane, x, 0, true), px(mixed, mixed, mixed, mixed));
  // The same along y.
  TMTC column(1, 4);
  *column.pixelAt(0, 0) = first;
  *column.pixelAt(0, 3) = last;
  EXPECT_EQ(sampleBilinearPlane(column, 0, x, false), first);
  EXPECT_EQ(sampleBilinearPlane(column, 0, x, true), px(mixed, mixed, mixed, mixed));
}

TEST(LayerSampling, TiledImagesSampleLikePlanes) {
  Pictures p(70, 37, 9);
  std::mt19937 rng(17);
  std::uniform_int_distribution<int32_t> pos(-3 * kOne, 75 * kOne);
  for (int i = 0; i < 5000; ++i) {
    const int32_t x = pos(rng), y = pos(rng) / 2;
    for (bool wrap : {false, true})
      ASSERT_EQ(sampleBilinearBlock(p.block, x, y, wrap), sampleBilinearPlane(p.plane, x, y, wrap))
          << x << "," << y << " wrap " << wrap;
  }
  CBlockVMTC dst(10, 10);
  ASSERT_TRUE(copyPixelBilinear(p.block, dst, 3, 4, -kOne / 4, 5 * kOne));
  EXPECT_EQ(dst.getPixel(3, 4), sampleBilinearBlock(p.block, -kOne / 4, 5 * kOne, true));
  EXPECT_FALSE(copyPixelBilinear(p.block, dst, 10, 0, 0, 0));
}

// ------------------------------------------------------------------- kernels

TEST(Kernel3x3, NormaliseAndApply) {
  SKernel3x3 k;
  clearAccum(k);
  for (double v : k) EXPECT_EQ(v, 0.0);
  normalizeKernel3x3(k, {1, 2, 1, 2, 4, 2, 1, 2, 1});
  EXPECT_DOUBLE_EQ(k[4], 0.25);
  EXPECT_DOUBLE_EQ(k[0], 1.0 / 16);
  normalizeKernel3x3(k, {-1, 0, 1, -2, 0, 2, -1, 0, 1});  // sum 0: divided by 1
  EXPECT_EQ(k[2], 1.0);
  EXPECT_EQ(k[3], -2.0);

  uint32_t pixels[9];
  for (int i = 0; i < 9; ++i) pixels[i] = px(10 * i, 20, 250, 255);
  SKernel3x3 identity{};
  identity[4] = 1.0;
  EXPECT_EQ(applyKernel3x3(identity, pixels), pixels[4]);
  // Sums beyond the range clamp; halves round to even.
  SKernel3x3 k2{};
  k2[0] = 2.0;   // blue 0, green 40, red 500 -> 255, alpha 510 -> 255
  k2[1] = 0.25;  // blue 2.5, green 5, red 62.5, alpha 63.75
  EXPECT_EQ(applyKernel3x3(k2, pixels), px(2, 45, 255, 255));
  SKernel3x3 negative{};
  negative[4] = -1.0;
  EXPECT_EQ(applyKernel3x3(negative, pixels), 0u);
  SKernel3x3 half{};
  half[8] = 0.5;  // blue 40, green 10, red 125, alpha 127.5 -> 128
  EXPECT_EQ(applyKernel3x3(half, pixels), px(40, 10, 125, 128));
}

}  // namespace layer_sampling_test
}  // namespace pg
