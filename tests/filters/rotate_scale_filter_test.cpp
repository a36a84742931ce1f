#include "filters/rotate_scale_filter.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "filters/filter_fixture.h"
#include "filters/fixture_fills.h"
#include "filters/flip_filters.h"

namespace pg {
namespace {

using testing::FilterFixture;
using testing::fillOpaque;

bool rotate(FilterFixture& f, float angle, uint8_t method = 1, uint8_t protect = 0, uint8_t blendMode = 0) {
  SFltRotate r;
  r.Angle = angle;
  r.Method = method;
  r.ProtectAlpha = protect;
  uint8_t bytes[SFltRotate::kSize];
  r.write(bytes);
  SFlt4Context c = f.context();
  c.blendMode = blendMode;
  return rotate4Kernel(&c, bytes, SFltRotate::kSize);
}

bool scale(FilterFixture& f, int32_t w, int32_t h, uint8_t method = 1, const TRect* bounds = nullptr,
           uint8_t blendMode = 0) {
  SFltScale r;
  r.NewWidth = w;
  r.NewHeight = h;
  r.Method = method;
  r.ProtectAlpha = f.protectAlpha ? 1 : 0;
  uint8_t bytes[SFltScale::kSize];
  r.write(bytes);
  SFlt4Context c = f.context();
  c.blendMode = blendMode;
  if (bounds != nullptr) c.bounds = c.region = *bounds;
  return scale4Kernel(&c, bytes, SFltScale::kSize);
}

std::unique_ptr<FilterFixture> rotated180(uint32_t seed) {
  auto f = std::make_unique<FilterFixture>(14, 9);
  fillOpaque(*f, seed);
  f->randomSelection(seed + 1);
  const SFlt4Context c = f->context();
  EXPECT_TRUE(rotate1804Kernel(&c, nullptr, 0));
  return f;
}

TEST(Rotate, WholeTurnsAndHalfTurns) {
  for (float a : {0.0f, 360.0f, -360.0f, 720.0f, std::numeric_limits<float>::quiet_NaN()}) {
    FilterFixture f(14, 9);
    fillOpaque(f, 5);
    f.randomSelection(6);
    ASSERT_TRUE(rotate(f, a)) << a;
    EXPECT_TRUE(f.unchanged()) << a;
  }
  const auto expected = rotated180(5);
  for (float a : {180.0f, -180.0f, 540.0f}) {
    FilterFixture f(14, 9);
    fillOpaque(f, 5);
    f.randomSelection(6);
    ASSERT_TRUE(rotate(f, a)) << a;
    EXPECT_TRUE(f.sameLayer(*expected)) << a;
  }
}

TEST(Rotate, RefusesARecordOfAnotherProtectFlag) {
  FilterFixture f(8, 8);
  fillOpaque(f, 7);
  EXPECT_FALSE(rotate(f, 30.0f, 1, 1));
  EXPECT_TRUE(f.unchanged());
  f.protectAlpha = true;
  EXPECT_FALSE(rotate(f, 30.0f, 0, 0));
  EXPECT_TRUE(f.unchanged());
  uint8_t bytes[8] = {};
  const SFlt4Context c = f.context();
  EXPECT_FALSE(rotate4Kernel(&c, bytes, 16));
}

TEST(Rotate, QuarterTurnMovesPixelCentresExactly) {
  // An even square turns about its middle: each pixel centre lands on one.
  for (uint8_t method : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture f(10, 10);
    fillOpaque(f, 9);
    ASSERT_TRUE(rotate(f, 90.0f, method));
    for (int32_t y = 0; y < 10; ++y)
      for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(f.pixel(x, y), f.original(y, 9 - x)) << x << "," << y << " m" << int{method};
  }
}

TEST(Rotate, CornersTurnedInFromOutsideTakeTheBackground) {
  struct Case {
    bool protect;
    uint8_t method;
    uint32_t corner;
  };
  // Blend mode 1 (add): neutral black. Unprotected the corner turns
  // transparent (its colour bytes stay where the alpha reaches 0).
  const Case cases[] = {{false, 1, 0x00C08040u}, {true, 1, 0xFF000000u}, {false, 0, 0x00C08040u}, {true, 0, 0xFF000000u}};
  for (const Case& k : cases) {
    FilterFixture f(20, 20);
    f.fill(0xFFC08040u);
    f.protectAlpha = k.protect;
    ASSERT_TRUE(rotate(f, 45.0f, k.method, k.protect ? 1 : 0, 1));
    EXPECT_EQ(f.pixel(0, 0), k.corner) << k.protect << " m" << int{k.method};
    EXPECT_EQ(f.pixel(10, 10), 0xFFC08040u) << k.protect << " m" << int{k.method};
  }
}

TEST(Scale, SizesThatMirrorOrKeep) {
  FilterFixture f(14, 9);
  fillOpaque(f, 5);
  f.randomSelection(6);
  ASSERT_TRUE(scale(f, 14, 9));
  EXPECT_TRUE(f.unchanged());
  ASSERT_TRUE(scale(f, -14, -9));  // 100 % with both mirrors
  EXPECT_TRUE(f.sameLayer(*rotated180(5)));

  FilterFixture h(14, 9), v(14, 9);
  fillOpaque(h, 1);
  fillOpaque(v, 1);
  ASSERT_TRUE(scale(h, -14, 9));
  ASSERT_TRUE(scale(v, 14, -9));
  EXPECT_EQ(h.pixel(0, 3), h.original(13, 3));
  EXPECT_EQ(v.pixel(2, 0), v.original(2, 8));
}

TEST(Scale, ZeroSizeErasesTheSelection) {
  for (bool protect : {false, true}) {
    FilterFixture f(6, 4);
    fillOpaque(f, 2);
    f.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x < 3 ? 255 : 0); });
    f.protectAlpha = protect;
    ASSERT_TRUE(scale(f, 0, 4));
    for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(f.pixel(x, 1) >> 24, x < 3 ? 0u : 255u) << x << " " << protect;
  }
}

TEST(Scale, ReduceAveragesTwoByTwoAndEnlargeBlendsNeighbours) {
  FilterFixture f(8, 8);
  fillOpaque(f, 3);
  ASSERT_TRUE(scale(f, 4, 4));
  // Destination 3..6 hold the reduced picture, pixel 3 the average of 2..3.
  for (int32_t ch = 0; ch < 24; ch += 8) {
    uint32_t sum = 0;
    for (int32_t y = 2; y < 4; ++y)
      for (int32_t x = 2; x < 4; ++x) sum += (f.original(x, y) >> ch) & 0xFF;
    EXPECT_EQ((f.pixel(3, 3) >> ch) & 0xFF, sum / 4) << ch;
  }
  EXPECT_EQ(f.pixel(3, 3) >> 24, 255u);
  EXPECT_EQ(f.pixel(1, 1) >> 24, 0u);  // outside the scaled rectangle: transparent

  // Doubled: a box one source pixel wide around the point each centre maps to.
  FilterFixture g(8, 8);
  g.setPixels([](int32_t x, int32_t) { return 0xFF000000u | uint32_t(x * 32) << 16; });
  ASSERT_TRUE(scale(g, 16, 16));
  for (int32_t x = 0; x < 8; ++x) {
    // Centre x + 0.5 maps to (x + 0.5 - 4) / 2 + 4: the box starts 0.5 before it.
    const double start = (x + 0.5 - 4.0) / 2.0 + 4.0 - 0.5;
    const int32_t i = static_cast<int32_t>(std::floor(start));
    const double frac = start - i;
    const double expected = ((1.0 - frac) * i + frac * (i + 1)) * 32.0;
    EXPECT_NEAR(static_cast<double>((g.pixel(x, 4) >> 16) & 0xFF), expected, 1.0) << x;
  }
}

TEST(Scale, OutsideTheScaledRectangleTakesTheBackground) {
  struct Case {
    bool protect;
    uint32_t outside;
  };
  for (const Case& k : {Case{false, 0x00C08040u}, Case{true, 0xFF7F7F7Fu}}) {
    FilterFixture f(10, 10);
    f.fill(0xFFC08040u);
    f.protectAlpha = k.protect;
    ASSERT_TRUE(scale(f, 4, 4, 1, nullptr, 5));  // overlay: neutral grey
    EXPECT_EQ(f.pixel(0, 0), k.outside) << k.protect;
    EXPECT_EQ(f.pixel(5, 5), 0xFFC08040u) << k.protect;
  }
}

TEST(Scale, EarlierMethodComparesWithTheWholeImage) {
  // Bounds smaller than the image: the earlier method keeps the pixels only
  // when the new size is the image's.
  const TRect b{2, 2, 8, 6};
  FilterFixture f(12, 9);
  fillOpaque(f, 4);
  ASSERT_TRUE(scale(f, 12, 9, 0, &b));
  EXPECT_TRUE(f.unchanged());
  ASSERT_TRUE(scale(f, -12, 9, 0, &b));
  EXPECT_EQ(f.pixel(2, 3), f.original(7, 3));  // mirrored within the bounds

  // Over the whole image both methods average the same boxes inside it.
  FilterFixture a(16, 12), c(16, 12);
  fillOpaque(a, 8);
  fillOpaque(c, 8);
  ASSERT_TRUE(scale(a, 8, 6, 0));
  ASSERT_TRUE(scale(c, 8, 6, 1));
  for (int32_t y = 4; y < 8; ++y)
    for (int32_t x = 5; x < 11; ++x) ASSERT_EQ(a.pixel(x, y), c.pixel(x, y)) << x << "," << y;
}

TEST(Scale, RecordedSizesOfAnyValueStayDefined) {
  struct Case {
    int32_t w, h;
  };
  for (const Case& k : {Case{INT_MIN, 5}, Case{INT_MAX, INT_MAX}, Case{1, -1}, Case{100000, 3}}) {
    for (uint8_t method : {uint8_t{0}, uint8_t{1}}) {
      FilterFixture f(9, 7);
      fillOpaque(f, 6);
      EXPECT_TRUE(scale(f, k.w, k.h, method)) << k.w << "x" << k.h;
    }
  }
  FilterFixture f(4, 4);
  fillOpaque(f, 1);
  f.protectAlpha = true;
  SFltScale r;
  r.NewWidth = 2;
  r.NewHeight = 2;
  uint8_t bytes[16];
  r.write(bytes);
  const SFlt4Context c = f.context();
  EXPECT_FALSE(scale4Kernel(&c, bytes, 16));  // record made on an unprotected layer
  EXPECT_TRUE(f.unchanged());
}

}  // namespace
}  // namespace pg
