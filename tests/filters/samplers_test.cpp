#include "filters/samplers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/area_scale.h"
#include "core/blend_arith.h"
#include "core/fixed_point.h"
#include "filters/filter_random.h"
#include "test_support/plane_pixels.h"

namespace pg {
namespace {

TEST(Samplers, RoundHalfAway) {
  struct Case {
    double x;
    int32_t expected;
  };
  for (const Case& k : {Case{0.5, 1}, Case{1.49, 1}, Case{2.5, 3}, Case{-0.5, -1}, Case{-2.5, -3}, Case{-2.49, -2},
                        Case{0.0, 0}, Case{1e20, std::numeric_limits<int32_t>::max()},
                        Case{std::nan(""), 0}})
    EXPECT_EQ(roundHalfAway(k.x), k.expected) << k.x;
}

// ----------------------------------------------------------- block average

TEST(Samplers, AverageColourWeightsByAlphaPerRow) {
  TMTC plane(2, 2);
  // Row 0: opaque blue 100 and half-transparent blue 200 -> (100*255 + 200*128) / 383.
  *plane.pixelAt(0, 0) = 0xFF000064u;
  *plane.pixelAt(1, 0) = 0x800000C8u;
  // Row 1: transparent: counts as a row but adds nothing.
  *plane.pixelAt(0, 1) = 0x00FFFFFFu;
  *plane.pixelAt(1, 1) = 0x00FFFFFFu;
  // Blue: trunc(((25500 + 25600) / 383) / 2 rows) = 66; alpha 383 div 4 = 95.
  EXPECT_EQ(averageColour(plane, {0, 0, 2, 2}), 0x5F000042u);
  // Only the first row: 133 and 383 div 2.
  EXPECT_EQ(averageColour(plane, {0, 0, 2, 1}), 0xBF000085u);
  EXPECT_EQ(averageColour(plane, {0, 1, 2, 2}), 0x00000000u);  // all transparent
  EXPECT_EQ(averageColour(plane, {5, 5, 9, 9}), 0x00000000u);  // outside the plane
}

TEST(Samplers, NoiseColoursDrawFromTheSeededGenerator) {
  setFilterRandomState(77);
  uint32_t c = 0xAB000000u;
  randomColour(c, 256);
  setFilterRandomState(77);
  uint32_t expected = 0xAB000000u;
  for (int i = 0; i < 3; ++i) expected |= filterRandom(256) << (8 * i);
  EXPECT_EQ(c, expected);

  setFilterRandomState(5);
  uint32_t g = 0x12000000u;
  randomGrey(g, 10);
  setFilterRandomState(5);
  EXPECT_EQ(g, 0x12000000u | (filterRandom(10) * 0x010101u));
  EXPECT_EQ(filterRandom(0), 0u);  // a bound of 0 answers 0
}

// ------------------------------------------------------------ box samplers

TEST(Samplers, BoxSamplesOutsideTheBoundsUseTheFallback) {
  TMTC plane(4, 4);
  testing::fillWith(plane, [](int32_t, int32_t) { return 0xFF0000C8u; });
  const CScaleImageTMTC resampler(plane, nullptr);
  const TRect bounds{0, 0, 4 << 16, 4 << 16};
  const uint32_t fallback = 0x00000064u;
  uint32_t out = 0;
  // Wholly outside: the fallback.
  sampleBoxFallback(out, fallback, resampler, &mixColours, bounds, {6 << 16, 0, 7 << 16, 1 << 16});
  EXPECT_EQ(out, fallback);
  // Half outside: the average (200) mixed 50/50 with the fallback (100).
  samplePointFallback(out, fallback, resampler, &mixColours, bounds, 0, 2 << 16);
  EXPECT_EQ(out & 0xFFu, 150u);
  EXPECT_EQ(pixelAlpha(out), 255u);  // mixColours keeps alpha
  samplePointFallback(out, fallback, resampler, &scaleAlpha, bounds, 4 << 16, 4 << 16);
  EXPECT_EQ(out, 0x400000C8u);  // a quarter inside: alpha 255 / 4 rounded
  // Inside: the plain average.
  samplePointFallback(out, fallback, resampler, &mixColours, bounds, (1 << 16) + kFixHalf, 1 << 16);
  EXPECT_EQ(out, 0xFF0000C8u);
}

TEST(Samplers, EdgeSamplesKeepHalfAPixelInside) {
  TMTC plane(4, 4);
  testing::fillWith(plane, [](int32_t x, int32_t) { return 0xFF000000u | static_cast<uint32_t>(x * 40); });
  const CScaleImageTMTC resampler(plane, nullptr);
  const TRect bounds{0, 0, 4 << 16, 4 << 16};
  uint32_t out = 0;
  // Far right: clamped to the last half pixel, the colour of column 3; the
  // area shrinks to half, and scaleAlpha halves the alpha.
  samplePointEdge(out, resampler, &scaleAlpha, bounds, 9 << 16, 2 << 16);
  EXPECT_EQ(out & 0xFFu, 120u);
  EXPECT_EQ(pixelAlpha(out), 128u);
  samplePointEdge(out, resampler, &mixColours, bounds, 9 << 16, 2 << 16);
  EXPECT_EQ(out, 0xFF000078u);
}

// -------------------------------------------------------- bilinear samplers

TEST(Samplers, BilinearGoldenValues) {
  TMTC row(3, 1);
  *row.pixelAt(0, 0) = 0xFF000000u;
  *row.pixelAt(1, 0) = 0xFF0000FFu;
  *row.pixelAt(2, 0) = 0xFF00FF00u;
  struct Case {
    int32_t x;
    uint32_t expected;
  };
  // 12-bit fractions: 0x7FF0 is 2047/4096, 0x8000 rounds up to 2049/4096;
  // from 0xFFF0 the fraction is a whole 4096.
  const Case cases[] = {
      {0x0000, 0xFF000000u}, {0x7FF0, 0xFF00007Fu}, {0x8000, 0xFF000080u},
      {0xFFF0, 0xFF0000FFu}, {0x10000, 0xFF0000FFu}, {0x18000, 0xFF00807Fu},
      {0x2FFFF, 0xFF00FF00u},  // the last column: its neighbour is itself
  };
  for (const Case& k : cases) EXPECT_EQ(bilinearClampEdgeSat(row, k.x, 0), k.expected) << std::hex << k.x;
  // The pair: mean of pixel 0 and pixel 1.
  EXPECT_EQ(bilinearPairClampEdgeSat(row, 0, 0, 0x10000, 0), 0xFF000080u);
  // Wrap: between the last column and the first.
  EXPECT_EQ(bilinearWrapSat(row, 0x28000, 0), 0xFF007F00u);
  EXPECT_EQ(bilinearWrapSat(row, 0x38000, 0), bilinearWrapSat(row, 0x08000, 0));
}

TEST(Samplers, BilinearTransparencyAndFaintAlpha) {
  TMTC clear(2, 2);
  testing::fillWith(clear, [](int32_t x, int32_t) { return x ? 0x00000000u : 0x00FFFFFFu; });
  EXPECT_EQ(bilinearClampEdgeSat(clear, 0x8000, 0x8000), 0x00FFFFFFu);  // all taps transparent
  EXPECT_EQ(bilinearWrapPow2(clear, 0x18000, 0x8000), 0x00FFFFFFu);

  // Opaque blue beside a transparent pixel: the colour comes from the opaque tap only.
  TMTC half(2, 1);
  *half.pixelAt(0, 0) = 0xFF0000FFu;
  *half.pixelAt(1, 0) = 0x00000000u;
  EXPECT_EQ(bilinearClampEdgeSat(half, 0x8000, 0), 0x7F0101FFu);

  // Alpha 1: the rounding term outweighs the total, the plain form wraps, Sat clamps.
  TMTC faint(1, 1);
  *faint.pixelAt(0, 0) = 0x010000FFu;
  EXPECT_EQ(bilinearClampEdge(faint, 0, 0), 0x017F7F7Eu);
  EXPECT_EQ(bilinearClampEdgeSat(faint, 0, 0), 0x017F7FFFu);
}

TEST(Samplers, BilinearNeverReadsOutsideThePlane) {
  // Every pixel of the plane alike: whatever mix of its own pixels a sampler
  // takes gives that pixel, so another value means a read outside it (the
  // sanitizer build checks the reads as well).
  constexpr uint32_t kPixel = 0xC0804020u;
  for (const SSize size : {SSize{5, 3}, SSize{4, 2}}) {
    TMTC plane(size.W, size.H);
    for (int32_t y = 0; y < size.H; ++y)
      for (int32_t x = 0; x < size.W; ++x) *plane.pixelAt(x, y) = kPixel;
    const int32_t points[] = {std::numeric_limits<int32_t>::min(), -1, 0, 0x18000, 5 << 16, 0x7FFFFFFF, 1 << 30};
    for (int32_t x : points)
      for (int32_t y : points) {
        EXPECT_EQ(bilinearClampEdge(plane, x, y), kPixel) << x << "," << y;
        EXPECT_EQ(bilinearWrap(plane, x, y), kPixel) << x << "," << y;
        EXPECT_EQ(bilinearPairClampEdgeSat(plane, x, y, y, x), kPixel) << x << "," << y;
        if (size.W == 4) {
          EXPECT_EQ(bilinearWrapPow2Sat(plane, x, y), kPixel) << x << "," << y;
        }
      }
  }
}

}  // namespace
}  // namespace pg
