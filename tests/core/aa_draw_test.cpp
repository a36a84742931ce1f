#include "core/aa_draw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/blend_arith.h"
#include "test_support/plane_pixels.h"

namespace pg {
namespace {

using testing::pixels;

// The plot call-backs are process-wide: every test starts and ends with the
// initial ones.
class AaDraw : public ::testing::Test {
 protected:
};

template <class Plane, class V>
void fill(Plane& p, V v) {
  for (int32_t y = 0; y < p.Height; ++y)
    for (int32_t x = 0; x < p.Width; ++x) *p.pixelAt(x, y) = v;
}

std::vector<uint8_t> row(const TChannel& p, int32_t y) {
  std::vector<uint8_t> v;
  for (int32_t x = 0; x < p.Width; ++x) v.push_back(p.getPixel(x, y));
  return v;
}

std::vector<uint8_t> column(const TChannel& p, int32_t x) {
  std::vector<uint8_t> v;
  for (int32_t y = 0; y < p.Height; ++y) v.push_back(p.getPixel(x, y));
  return v;
}

// The calls a plane plot received: (x, y, value, alpha), kept in the
// vector its context names.
using Calls = std::vector<std::array<uint32_t, 4>>;
Calls gCalls;
bool recordPlot8(const void* calls, TChannel&, int32_t x, int32_t y, uint32_t v, uint32_t a) {
  const_cast<Calls*>(static_cast<const Calls*>(calls))->push_back({uint32_t(x), uint32_t(y), v, a});
  return true;
}
bool recordPlot32(const void* calls, TMTC&, int32_t x, int32_t y, uint32_t v, uint32_t a) {
  const_cast<Calls*>(static_cast<const Calls*>(calls))->push_back({uint32_t(x), uint32_t(y), v, a});
  return true;
}
uint32_t alphaAt(int32_t x, int32_t y) {
  for (const auto& c : gCalls)
    if (c[0] == uint32_t(x) && c[1] == uint32_t(y)) return c[3];
  return 999;  // not plotted
}

TEST_F(AaDraw, NoRadiusDrawsNothing) {
  TChannel ch(8, 8);
  TMTC px(8, 8);
  for (float r : {0.0f, -3.0f, std::nanf("")}) {
    fill(ch, uint8_t(7));
    fill(px, 0x11223344u);
    fillDiscAA(ch, 255, true, 4, 4, r, 1.0f, false);
    fillDiscAA(ch, 255, true, 4, 4, r, 1.0f, true);
    fillDiscSoftAA(ch, 255, false, 4, 4, r, 1.0f, true);
    plotDiscAA(px, 0xFFFFFFFFu, true, 4, 4, r, 1.0f, false);
    fillDiscAA(px, 0xFFFFFFFFu, true, 4, 4, r, 1.0f, true);
    EXPECT_EQ(pixels(ch), std::vector<uint8_t>(64, 7)) << r;
    EXPECT_EQ(pixels(px), std::vector<uint32_t>(64, 0x11223344u)) << r;
  }
}

// Radius 2.5 at (5, 5): 5 x 5 sub-samples from each pixel's top-left corner,
// R5 = 12. In max mode an edge pixel takes its coverage (not the value), so
// with value 100 the small disc, all of whose pixels are edge pixels, reads
// 255 in the middle, while a larger disc has inside pixels of value 100.
TEST_F(AaDraw, ChannelDiscCoverage) {
  TChannel ch(10, 10);
  fill(ch, uint8_t(0));
  fillDiscAA(ch, 100, true, 5, 5, 2.5f, 1.0f, true);
  EXPECT_EQ(row(ch, 5), (std::vector<uint8_t>{0, 0, 51, 255, 255, 255, 255, 102, 0, 0}));
  fill(ch, uint8_t(0));
  fillDiscAA(ch, 100, true, 5, 5, 3.5f, 1.0f, true);
  EXPECT_EQ(ch.getPixel(5, 5), 100);

  // Not in max mode: blended through the 8-bit call-back with the coverage as
  // alpha; the call-back sees every plot.
  const SPlanePlot8 record{&recordPlot8, &gCalls};
  gCalls.clear();
  fillDiscAA(ch, 200, true, 5, 5, 2.5f, 1.0f, false, record);
  EXPECT_EQ(gCalls.size(), 36u);  // the whole 6 x 6 box, all edge pixels
  EXPECT_EQ(alphaAt(2, 5), 51u);
  EXPECT_EQ(alphaAt(7, 5), 102u);
  EXPECT_EQ(alphaAt(5, 5), 255u);
  gCalls.clear();
  fillDiscAA(ch, 200, true, 5, 5, 2.5f, 0.5f, false, record);  // opacity scales the full alpha: 127
  EXPECT_EQ(alphaAt(2, 5), 25u);
  EXPECT_EQ(alphaAt(5, 5), 127u);
}

TEST_F(AaDraw, PixelDiscCoverage) {
  // Radius 2 at (5, 5), 4 x 4 sub-samples (R4 = 8): (3, 5) has 12 of 16 inside.
  TMTC px(10, 10);
  const SPlanePlot32 record{&recordPlot32, &gCalls};
  gCalls.clear();
  plotDiscAA(px, 0x00ABCDEFu, true, 5, 5, 2.0f, 1.0f, true, record);  // soft is off below radius 3
  EXPECT_EQ(alphaAt(5, 5), 255u);
  EXPECT_EQ(alphaAt(3, 5), 191u);
  EXPECT_EQ(alphaAt(2, 5), 999u);  // all corners outside
  EXPECT_EQ(gCalls[0][2], 0x00ABCDEFu);
  gCalls.clear();
  plotDiscAA(px, 0x00ABCDEFu, false, 5, 5, 2.0f, 1.0f, false, record);
  EXPECT_EQ(alphaAt(3, 5), 255u);  // without anti-aliasing an edge pixel is full

  // Soft, radius 4 (R4 = 16): the centre pixel 255*255 >> 8, two pixels
  // right of it the factor 255 - 64*255/256 = 192.
  gCalls.clear();
  plotDiscAA(px, 0, true, 5, 5, 4.0f, 1.0f, true, record);
  EXPECT_EQ(alphaAt(5, 5), 254u);
  EXPECT_EQ(alphaAt(7, 5), 191u);

  // fillDiscAA writes through blendPixelTab instead of the call-back.
  gCalls.clear();
  fill(px, 0xFF000000u);
  fillDiscAA(px, 0x00FFFFFFu, true, 5, 5, 2.0f, 1.0f, false);
  EXPECT_TRUE(gCalls.empty());
  EXPECT_EQ(px.getPixel(5, 5), 0xFFFFFFFFu);
  EXPECT_EQ(px.getPixel(0, 0), 0xFF000000u);
}

TEST_F(AaDraw, SpanCoverage) {
  // From 2.0 to 5.0: x = 1..6 visited; 63/64 at 2, full at 3 and 4, 0 at 1, 5, 6.
  TChannel ch(8, 3);
  fill(ch, uint8_t(77));
  spanAAH(ch, 1, 200, 2.0f, 5.0f, 1.0f, false);
  EXPECT_EQ(row(ch, 1), (std::vector<uint8_t>{77, 0, 196, 200, 200, 0, 0, 77}));
  fill(ch, uint8_t(77));
  spanAAH(ch, 1, 200, 2.0f, 5.0f, 1.0f, true);  // max mode: the zeros change nothing
  EXPECT_EQ(row(ch, 1), (std::vector<uint8_t>{77, 77, 196, 200, 200, 77, 77, 77}));
  EXPECT_EQ(row(ch, 0), std::vector<uint8_t>(8, 77));

  TChannel col(3, 8);
  fill(col, uint8_t(0));
  spanAAV(col, 2, 255, 2.0f, 5.0f, 0.5f, false);  // v = Trunc(255 * 0.5) = 127
  EXPECT_EQ(column(col, 2), (std::vector<uint8_t>{0, 0, 125, 127, 127, 0, 0, 0}));
  EXPECT_EQ(column(col, 1), std::vector<uint8_t>(8, 0));

  // Half-pixel ends: 2.5 to 4.5 covers half of 2 and of 4 (31 and 32 of 64).
  fill(ch, uint8_t(0));
  spanAAH(ch, 0, 64, 2.5f, 4.5f, 1.0f, false);
  EXPECT_EQ(row(ch, 0), (std::vector<uint8_t>{0, 0, 31, 64, 32, 0, 0, 0}));

  // Lines outside the plane, far ends and non-numbers are harmless.
  spanAAH(ch, -1, 255, 0, 8, 1, false);
  spanAAH(ch, 3, 255, 0, 8, 1, false);
  spanAAV(col, 3, 255, 0, 8, 1, false);
  spanAAH(ch, 0, 255, -1e30f, 1e30f, 1, true);
  EXPECT_EQ(row(ch, 0), std::vector<uint8_t>(8, 255));
  spanAAH(ch, 1, 255, std::nanf(""), 3, 1, false);
  EXPECT_EQ(row(ch, 1), std::vector<uint8_t>(8, 0));
}

TEST_F(AaDraw, SquareAndTrianglePolygons) {
  TChannel ch(12, 12);
  fill(ch, uint8_t(0));
  const TPoint square[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}};
  rasterPolygonAA(ch, square, 5);
  for (int32_t y = 0; y < 12; ++y) {
    for (int32_t x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x < 8 && y >= 2 && y < 8;
      const uint8_t want = !inside ? 0 : (x == 2 && y == 2) ? 251 : 255;  // 63/64 on both passes
      EXPECT_EQ(ch.getPixel(x, y), want) << x << "," << y;
    }
  }

  // fillPolygonAA closes the list itself; repeated points are dropped.
  TChannel open(12, 12);
  fill(open, uint8_t(0));
  const TPoint corners[] = {{2, 2}, {8, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 8}};
  fillPolygonAA(open, corners, 6);
  EXPECT_EQ(pixels(open), pixels(ch));

  // Three distinct points (count 4) are drawn; two (count 3) are not, nor are
  // two with repeats.
  TChannel tri(24, 24);
  fill(tri, uint8_t(0));
  const TPoint triangle[] = {{2, 2}, {20, 2}, {2, 20}, {2, 2}};
  rasterPolygonAA(tri, triangle, 4);
  EXPECT_EQ(tri.getPixel(5, 5), 255);
  EXPECT_EQ(tri.getPixel(18, 18), 0);
  const int diagonal = tri.getPixel(11, 10);  // on the hypotenuse: partly covered
  EXPECT_GT(diagonal, 0);
  EXPECT_LT(diagonal, 255);
  fill(tri, uint8_t(0));
  const TPoint line[] = {{2, 2}, {20, 20}, {2, 2}};
  rasterPolygonAA(tri, line, 3);
  const TPoint lineRepeated[] = {{2, 2}, {2, 2}, {20, 20}, {20, 20}, {2, 2}};
  rasterPolygonAA(tri, lineRepeated, 5);
  fillPolygonAA(tri, line, 2);
  rasterPolygonAA(tri, nullptr, 4);
  fillPolygonAA(tri, triangle, 0);
  EXPECT_EQ(pixels(tri), std::vector<uint8_t>(24 * 24, 0));
}

// Thousands of points and of crossings on one scan line: a comb of 2000 teeth
// hanging from a spine, every row through the teeth crossing 4000 edges. The
// point lists have no spare room behind them.
TEST_F(AaDraw, PolygonWithThousandsOfCrossings) {
  std::vector<TPoint> comb{{0, 0}};
  for (int32_t t = 0; t < 2000; ++t) {
    comb.push_back({4 * t, 10});
    comb.push_back({4 * t + 1, 100});
    comb.push_back({4 * t + 2, 100});
    comb.push_back({4 * t + 3, 10});
  }
  comb.push_back({8000, 10});
  comb.push_back({8000, 0});
  TChannel ch(8001, 101);
  fill(ch, uint8_t(0));
  std::vector<TPoint> exact(comb.begin(), comb.end());
  exact.shrink_to_fit();
  fillPolygonAA(ch, exact.data(), exact.size());
  for (int32_t t : {0, 1, 999, 1998, 1999}) {
    EXPECT_EQ(ch.getPixel(4 * t + 1, 50), 255) << t;  // inside a tooth
    EXPECT_EQ(ch.getPixel(4 * t + 3, 50), 0) << t;    // between two teeth
    EXPECT_EQ(ch.getPixel(4 * t + 3, 5), 255) << t;   // the spine
  }
  comb.push_back(comb.front());
  TChannel again(8001, 101);
  fill(again, uint8_t(0));
  rasterPolygonAA(again, comb.data(), comb.size());
  EXPECT_EQ(pixels(again), pixels(ch));
}

TEST_F(AaDraw, LineStepsTheMinorAxisByTenElevenths) {
  TMTC px(14, 14);
  fill(px, 0xFF000000u);
  drawLineAA(px, 0x00FFFFFFu, true, 0, 0, 10, 10);
  // Point k is at minor position k * round(10/11 * 65536) = k * 59578.
  for (int32_t k = 0; k <= 10; ++k) {
    const int32_t pos = k * 59578, x = pos >> 16;
    const uint32_t f = uint32_t(pos & 0xFFFF) >> 8;
    EXPECT_EQ(px.getPixel(x, k) & 0xFF, 255 - f) << k;
    if (f > 0) {
      EXPECT_EQ(px.getPixel(x + 1, k) & 0xFF, f) << k;
    }
  }
  EXPECT_EQ(px.getPixel(9, 10), 0xFFE8E8E8u);  // 9.09: alpha 232
  for (int32_t x = 0; x < 14; ++x) EXPECT_EQ(px.getPixel(x, 11), 0xFF000000u);  // 11 points only

  // Major axis x, walked from the smaller end; without anti-aliasing one full
  // pixel per step.
  fill(px, 0u);
  drawLineAA(px, 0x00FFFFFFu, false, 10, 2, 0, 0);
  for (int32_t x = 0; x <= 10; ++x) {
    const int32_t y = (x * 11915) >> 16;  // 2/11 of a pixel a step
    EXPECT_EQ(px.getPixel(x, y), 0x00FFFFFFu) << x;
  }
  EXPECT_EQ(px.getPixel(11, 1), 0u);

  // Far-away and non-numeric ends neither hang nor write outside.
  drawLineAA(px, 0x00FFFFFFu, true, -1e30f, 5, 1e30f, 6);
  drawLineAA(px, 0x00FFFFFFu, true, 0, std::nanf(""), 5, 5);
  drawLineAA(px, 0x00FFFFFFu, true, 3, 3, 3, 3);  // one point
  EXPECT_EQ(px.getPixel(3, 3), 0x00FFFFFFu);
}

// Max mode only raises: random backgrounds, random discs, spans and polygons.
TEST_F(AaDraw, MaxModeNeverLowersAPixel) {
  std::mt19937 rng(808);
  std::uniform_real_distribution<float> pos(-5.0f, 45.0f), rad(0.0f, 12.0f), op(0.0f, 1.0f);
  std::uniform_int_distribution<int> byte(0, 255), coord(-5, 45);
  for (int round = 0; round < 200; ++round) {
    TChannel ch(40, 40);
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 40; ++x) *ch.pixelAt(x, y) = uint8_t(byte(rng));
    const std::vector<uint8_t> before = pixels(ch);
    switch (round % 5) {
      case 0: fillDiscAA(ch, uint32_t(byte(rng)), true, pos(rng), pos(rng), rad(rng), op(rng), true); break;
      case 1: fillDiscSoftAA(ch, uint32_t(byte(rng)), true, pos(rng), pos(rng), rad(rng), op(rng), round % 2); break;
      case 2: spanAAH(ch, coord(rng), uint32_t(byte(rng)), pos(rng), pos(rng), op(rng), true); break;
      case 3: spanAAV(ch, coord(rng), uint32_t(byte(rng)), pos(rng), pos(rng), op(rng), true); break;
      default: {
        std::vector<TPoint> poly(size_t(3 + round % 7));
        for (TPoint& p : poly) p = {coord(rng), coord(rng)};
        fillPolygonAA(ch, poly.data(), poly.size());
      }
    }
    const std::vector<uint8_t> after = pixels(ch);
    for (size_t i = 0; i < after.size(); ++i) ASSERT_GE(after[i], before[i]) << "round " << round << " pixel " << i;
  }
}

// The counted and divided forms against the literal ones on seeded random
// shapes and planes.
TEST_F(AaDraw, FastFormsMatchTheLiteralOnes) {
  std::mt19937 rng(4242);
  std::uniform_real_distribution<float> pos(-10.0f, 70.0f), rad(0.0f, 40.0f), op(0.0f, 1.2f);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    TChannel a(60, 60), b(60, 60);
    TMTC e(60, 60), f(60, 60);
    for (int32_t y = 0; y < 60; ++y) {
      for (int32_t x = 0; x < 60; ++x) {
        *a.pixelAt(x, y) = *b.pixelAt(x, y) = uint8_t(byte(rng));
        *e.pixelAt(x, y) = *f.pixelAt(x, y) = uint32_t(rng());
      }
    }
    const float cx = pos(rng), cy = pos(rng), r = rad(rng), o = op(rng);
    const uint32_t v = uint32_t(byte(rng));
    const bool flag = round % 2, soft = round % 3 != 0;
    fillDiscSoftAA(a, v, flag, cx, cy, r, o, soft);
    reference::fillDiscSoftAA(b, v, flag, cx, cy, r, o, soft);
    ASSERT_EQ(pixels(a), pixels(b)) << "soft disc round " << round;
    const uint32_t colour = uint32_t(rng());
    fillDiscAA(e, colour, flag, cx, cy, r, o, soft);
    reference::fillDiscAA(f, colour, flag, cx, cy, r, o, soft);
    ASSERT_EQ(pixels(e), pixels(f)) << "32-bit disc round " << round;

    const int32_t y = int32_t(rng() % 64) - 2;
    const float x0 = pos(rng), x1 = pos(rng);
    spanAAH(a, y, v, x0, x1, o, flag);
    reference::spanAAH(b, y, v, x0, x1, o, flag);
    ASSERT_EQ(pixels(a), pixels(b)) << "span round " << round;

    // Polygons of 4..40 random points, some of them repeated.
    std::vector<TPoint> poly(size_t(4 + round % 37));
    for (TPoint& p : poly) p = {int32_t(rng() % 80) - 10, int32_t(rng() % 80) - 10};
    if (round % 4 == 0) poly[1] = poly[0];
    poly.push_back(poly.front());
    rasterPolygonAA(a, poly.data(), poly.size());
    reference::rasterPolygonAA(b, poly.data(), poly.size());
    ASSERT_EQ(pixels(a), pixels(b)) << "polygon round " << round;
  }
}

}  // namespace
}  // namespace pg
