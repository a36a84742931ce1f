#include "filters/table_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "brush/plot_merge.h"
#include "core/blend_arith.h"
#include "core/colour.h"
#include "filters/filter_fixture.h"
#include "filters/filter_params.h"
#include "filters/legacy_kernels.h"

namespace pg {
namespace table_filters_test {

using testing::FilterFixture;
using Table = std::array<uint32_t, 256>;

uint32_t level(const Table& t, size_t i) { return t[i] & 0xFFu; }

TEST(Posterize, LevelsAndRecordedCounts) {
  Table t{};
  buildPosterizeTable(4, t);
  const std::array<uint32_t, 4> outputs{0, 85, 170, 255};
  for (size_t i = 0; i < 256; ++i) {
    ASSERT_EQ(level(t, i), outputs[i * 4 / 255 > 3 ? 3 : i * 4 / 255]) << i;
    ASSERT_EQ(t[i] >> 24, i);
  }
  buildPosterizeTable(2, t);
  EXPECT_EQ(level(t, 127), 0u);
  EXPECT_EQ(level(t, 128), 255u);
  // Counts the dialog cannot give behave as the nearest it can.
  Table two{}, max{};
  buildPosterizeTable(2, two);
  buildPosterizeTable(255, max);
  for (int32_t n : {1, 0, -5, INT_MIN}) {
    buildPosterizeTable(n, t);
    EXPECT_EQ(t, two) << n;
  }
  for (int32_t n : {300, INT_MAX}) {
    buildPosterizeTable(n, t);
    EXPECT_EQ(t, max) << n;
  }
  // 255 levels: i * 255 div 254, so the top two levels both give white.
  EXPECT_EQ(level(max, 1), 1u);
  EXPECT_EQ(level(max, 200), 200u);
  EXPECT_EQ(level(max, 254), 255u);
}

TEST(Threshold, WhiteFromTheThresholdOn) {
  struct Case {
    uint32_t threshold, lastBlack;
  };
  // lastBlack: the highest grey that turns black (-1 as 256 for none).
  for (const Case& k : {Case{1, 0}, Case{128, 127}, Case{255, 254}, Case{0, 0}}) {
    Table t{};
    buildThresholdTable(k.threshold, t);
    for (uint32_t i = 0; i < 256; ++i) ASSERT_EQ(level(t, i), i <= k.lastBlack ? 0u : 255u) << k.threshold << " " << i;
  }
  // Both loops give the same pixels; the grey decides and alpha stays.
  for (uint8_t flag : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture f(9, 9);
    f.setPixels([](int32_t x, int32_t y) { return (uint32_t(x * 28) << 24) | (uint32_t(y * 31) << 16) | uint32_t(x * 30); });
    SFltThreshold r;
    r.Threshold = 40;
    r.DialogFlag = flag;
    uint8_t bytes[8];
    r.write(bytes);
    const SFlt4Context c = f.context();
    ASSERT_TRUE(threshold4Kernel(&c, bytes, 8));
    for (int32_t y = 0; y < 9; ++y)
      for (int32_t x = 0; x < 9; ++x) {
        const uint32_t src = f.original(x, y);
        const uint32_t expected = (src & 0xFF000000u) | (pixelGrey(src) >= 40 ? 0xFFFFFFu : 0u);
        ASSERT_EQ(f.pixel(x, y), expected) << x << "," << y << " flag " << int{flag};
      }
  }
}

TEST(InvertSolarize, Tables) {
  Table inv{}, sol{};
  buildInvertTable(inv);
  buildSolarizeTable(sol);
  struct Case {
    size_t i;
    uint32_t invert, solarize;
  };
  for (const Case& k : {Case{0, 255, 0}, Case{127, 128, 127}, Case{128, 127, 127}, Case{255, 0, 0}}) {
    EXPECT_EQ(level(inv, k.i), k.invert) << k.i;
    EXPECT_EQ(level(sol, k.i), k.solarize) << k.i;
  }
  for (size_t i = 0; i < 256; ++i) ASSERT_LE(level(sol, i), 127u);
}

TEST(InvertSolarize, InvertTwiceRestoresAndAlphaStays) {
  FilterFixture f(40, 6);
  f.fillRandom(50);
  const SFlt4Context c = f.context();
  ASSERT_TRUE(invert4Kernel(&c, nullptr, 0));
  for (int32_t x = 0; x < f.width(); ++x) ASSERT_EQ(f.pixel(x, 3), f.original(x, 3) ^ 0x00FFFFFFu);
  // The second run reads the layer as it now is (the work plane follows it).
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x) *f.work.pixelAt(x, y) = f.pixel(x, y);
  ASSERT_TRUE(invert4Kernel(&c, nullptr, 0));
  EXPECT_TRUE(f.unchanged());

  FilterFixture g(20, 5);
  g.fillRandom(51);
  g.randomSelection(52);
  const SFlt4Context d = g.context();
  ASSERT_TRUE(solarize4Kernel(&d, nullptr, 0));
  for (int32_t y = 0; y < g.height(); ++y)
    for (int32_t x = 0; x < g.width(); ++x) ASSERT_EQ(g.pixel(x, y) >> 24, g.original(x, y) >> 24);
  EXPECT_FALSE(solarize4Kernel(&d, nullptr, 8));
  EXPECT_FALSE(invert4Kernel(&d, nullptr, 4));
}

TEST(LumaToAlpha, ColourAndAlpha) {
  const uint32_t colour = 0xFF3060C0u;
  struct Case {
    uint32_t src;
    bool tint;
    uint32_t m;
    uint32_t expected;
  };
  const Case cases[] = {
      {0xFFFFFFFFu, true, 255, 0x00FFFFFFu},  // white: transparent, its colour kept
      {0xFF000000u, false, 255, 0xFF3060C0u},  // black keeps its alpha, takes the colour
      {0x80000000u, true, 255, 0x803060C0u},   // alpha scales with the source's
      // half-covered black, tinted: (C * 128 + 0 * 127) / 255 per channel
      {0xFF000000u, true, 128, 0xFF000000u | (lerp255(0x30, 0, 128) << 16) | (lerp255(0x60, 0, 128) << 8) |
                                   lerp255(0xC0, 0, 128)},
  };
  for (const Case& k : cases) EXPECT_EQ(lumaToAlphaColour(k.src, colour, k.tint, k.m), k.expected) << std::hex << k.src;
  // Grey 128 untinted: alpha (255 - 128) * 255 / 255.
  EXPECT_EQ(lumaToAlphaColour(0xFF808080u, colour, false, 255) >> 24, 127u);
}

TEST(LumaToAlpha, RecordHasItsBytesAndReadsBackWhole) {
  using Bytes = std::vector<uint8_t>;
  uint8_t b[SFltLumaToAlpha::kSize + 2];
  std::fill(std::begin(b), std::end(b), uint8_t{0xEE});
  SFltLumaToAlpha{0x11223344u, 0x05060708u}.write(b);
  EXPECT_EQ(Bytes(b, b + 10), (Bytes{0x44, 0x33, 0x22, 0x11, 8, 7, 6, 5, 0xEE, 0xEE}));
  const SFltLumaToAlpha back = SFltLumaToAlpha::read(b);
  EXPECT_EQ(back.Colour, 0x11223344u);
  EXPECT_EQ(back.Tint, 0x05060708u);
  SFltLumaToAlpha r;
  EXPECT_FALSE(readFltRecord(b, 4, r));
}

TEST(LumaToAlpha, KernelBlendsOverByTheCoverage) {
  FilterFixture f(11, 4);
  f.fillRandom(60);
  f.randomSelection(61);
  const SFltLumaToAlpha r{0xFF204080u, 1};
  uint8_t bytes[8];
  r.write(bytes);
  EXPECT_EQ(SFltLumaToAlpha::read(bytes).Colour, r.Colour);
  const SFlt4Context c = f.context();
  ASSERT_TRUE(lumaToAlpha4Kernel(&c, bytes, 8));
  for (int32_t y = 0; y < f.height(); ++y)
    for (int32_t x = 0; x < f.width(); ++x) {
      uint32_t p = f.original(x, y);
      const uint32_t m = c.maskValue(c, x, y);
      if (m != 0) blendPixelOver(&p, lumaToAlphaColour(p, r.Colour, true, m), m);
      ASSERT_EQ(f.pixel(x, y), p) << x << "," << y;
    }

  // A pure white pixel at full coverage becomes transparent.
  FilterFixture w(2, 2);
  w.fill(0xFFFFFFFFu);
  const SFlt4Context cw = w.context();
  ASSERT_TRUE(lumaToAlpha4Kernel(&cw, bytes, 8));
  EXPECT_EQ(w.pixel(1, 1) >> 24, 0u);

  // A layer that protects alpha is left alone, and that is success.
  FilterFixture p(5, 5);
  p.fillRandom(62);
  p.protectAlpha = true;
  const SFlt4Context cp = p.context();
  EXPECT_TRUE(lumaToAlpha4Kernel(&cp, bytes, 8));
  EXPECT_TRUE(p.unchanged());
  EXPECT_FALSE(lumaToAlpha4Kernel(&cp, bytes, 16));
}

// Greyscale: each selected pixel with alpha takes its grey by the weight;
// transparent pixels and alpha stay.
TEST(Grayscale, GreyByTheWeightAlphaKept) {
  struct Case {
    uint32_t pixel;
    uint8_t weight;
    uint32_t expected;
  };
  const uint32_t grey = pixelGrey(0x80FF4010u);
  const Case cases[] = {
      {0x80FF4010u, 255, 0x80000000u | grey * 0x010101u},
      {0x80FF4010u, 0, 0x80FF4010u},
      {0x00FF4010u, 255, 0x00FF4010u},  // nothing to see: unchanged
      {0xFF123456u, 255, 0xFF000000u | pixelGrey(0xFF123456u) * 0x010101u},
  };
  for (const Case& c : cases) {
    FilterFixture f(2, 1);
    f.fill(c.pixel);
    f.setSelection([&](int32_t, int32_t) { return c.weight; });
    const SFlt4Context ctx = f.context();
    ASSERT_TRUE(legacyGrayscale4Kernel(&ctx, nullptr, 0));
    EXPECT_EQ(f.pixel(0, 0), c.expected) << std::hex << c.pixel << " weight " << std::dec << int(c.weight);
  }
  FilterFixture f(2, 1);
  const SFlt4Context ctx = f.context();
  EXPECT_FALSE(legacyGrayscale4Kernel(&ctx, nullptr, 8));
  // Half a weight lands between the colour and its grey.
  FilterFixture h(1, 1);
  h.fill(0xFFFF0000u);
  h.setSelection([](int32_t, int32_t) { return uint8_t(128); });
  const SFlt4Context hc = h.context();
  ASSERT_TRUE(legacyGrayscale4Kernel(&hc, nullptr, 0));
  const uint32_t red = (h.pixel(0, 0) >> 16) & 0xFF;
  EXPECT_GT(red, pixelGrey(0xFFFF0000u));
  EXPECT_LT(red, 255u);
}

}  // namespace table_filters_test
}  // namespace pg
