#include "filters/distort_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <random>

#include "filters/filter_fixture.h"
#include "filters/fixture_fills.h"

namespace pg {
namespace {

using testing::FilterFixture;
using testing::fillCoordinates;

int32_t redOf(uint32_t p) { return static_cast<int32_t>((p >> 16) & 0xFF); }

template <class Record>
bool run(bool (*kernel)(const SFlt4Context*, const void*, int32_t), FilterFixture& f, const Record& r) {
  uint8_t bytes[Record::kSize];
  r.write(bytes);
  const SFlt4Context c = f.context();
  return kernel(&c, bytes, static_cast<int32_t>(Record::kSize));
}

// ---- polar coordinates ---------------------------------------------------------

TEST(Polar, RectangularToPolarAboutTheCentre) {
  FilterFixture f(15, 15);
  fillCoordinates(f);
  SFltPolar r;
  ASSERT_TRUE(run(&polar4Kernel, f, r));
  // The centre comes from the top row's middle, the column below it from the
  // middle column.
  EXPECT_EQ(f.pixel(7, 7), f.original(7, 0));
  for (int32_t y = 8; y < 15; ++y) EXPECT_EQ(redOf(f.pixel(7, y)), 7 * 16) << y;
}

TEST(Polar, PolarToRectangularKeepsTheMiddleColumn) {
  FilterFixture f(15, 15);
  fillCoordinates(f);
  SFltPolar r;
  r.Mode = 1;
  ASSERT_TRUE(run(&polar4Kernel, f, r));
  for (int32_t y = 0; y < 15; ++y) EXPECT_EQ(redOf(f.pixel(7, y)), 7 * 16) << y;
  EXPECT_FALSE(f.unchanged());
}

TEST(Polar, OtherModesAndOtherProtectFlagsChangeNothing) {
  FilterFixture f(9, 6);
  f.fillRandom(3);
  SFltPolar r;
  r.Mode = 255;
  EXPECT_TRUE(run(&polar4Kernel, f, r));
  EXPECT_TRUE(f.unchanged());
  r.Mode = 0;
  r.ProtectAlpha = 1;
  EXPECT_FALSE(run(&polar4Kernel, f, r));
  EXPECT_TRUE(f.unchanged());
  f.protectAlpha = true;
  EXPECT_TRUE(run(&polar4Kernel, f, r));
}

// ---- wave ------------------------------------------------------------------------

TEST(Wave, NoStrengthOrNoCountChangesNothing) {
  for (const SFltWave& r : {SFltWave{1, 1, 0, 0, 0.5f}, SFltWave{0, 0, 10, 10, 0.0f}, SFltWave{0, 3, 10, 0, 0.0f}}) {
    FilterFixture f(12, 8);
    f.fillRandom(4);
    EXPECT_TRUE(run(&wave4Kernel, f, r));
    EXPECT_TRUE(f.unchanged());
  }
}

TEST(Wave, ColumnsMoveAlongASineAndWrapAround) {
  // One horizontal wave of strength 10 over 21 columns: column i moves by
  // (10 sin t, 10 cos t), t = 2 pi i / 20, wrapping around the image.
  FilterFixture f(21, 21);
  fillCoordinates(f);
  const SFltWave r{1, 1, 10, 0, 0.0f};
  ASSERT_TRUE(run(&wave4Kernel, f, r));
  struct Case {
    int32_t x, dx, dy;
  };
  for (const Case& k : {Case{0, 0, 10}, Case{5, 10, 0}, Case{10, 0, -10}, Case{15, -10, 0}, Case{20, 0, 10}})
    for (int32_t y = 0; y < 21; ++y)
      ASSERT_EQ(f.pixel(k.x, y), f.original((k.x + k.dx + 21) % 21, (y + k.dy + 21) % 21)) << k.x << "," << y;
}

TEST(Wave, OneColumnOrRowOfBoundsAndEveryType) {
  using Kernel = bool (*)(const SFlt4Context*, const void*, int32_t);
  for (Kernel k : {&wave4KernelType0, &wave4KernelType1, &wave4Kernel}) {
    FilterFixture f(10, 7);
    fillCoordinates(f);
    const SFltWave r{3, 2, 4, 5, 1.0f};
    SFlt4Context c = f.context();
    c.bounds = c.region = TRect{4, 0, 5, 7};  // one column: no step to divide by
    uint8_t bytes[SFltWave::kSize];
    r.write(bytes);
    EXPECT_TRUE(k(&c, bytes, SFltWave::kSize));
    c.bounds = c.region = TRect{0, 3, 10, 4};  // one row
    EXPECT_TRUE(k(&c, bytes, SFltWave::kSize));
    // A phase that is not a number is no phase.
    FilterFixture g(10, 7), h(10, 7);
    fillCoordinates(g);
    fillCoordinates(h);
    ASSERT_TRUE(run(k, g, SFltWave{1, 1, 3, 3, std::numeric_limits<float>::quiet_NaN()}));
    ASSERT_TRUE(run(k, h, SFltWave{1, 1, 3, 3, 0.0f}));
    EXPECT_TRUE(g.sameLayer(h));
  }
}

// The waves wrap around the layer image, even when the working plane that
// holds it is larger (a larger layer was worked on before): what lies
// beyond the image in the plane never reaches the result.
TEST(Wave, TheWrapIsTheImagesNotTheWorkingPlanes) {
  using Kernel = bool (*)(const SFlt4Context*, const void*, int32_t);
  for (Kernel k : {&wave4KernelType0, &wave4KernelType1, &wave4Kernel}) {
    FilterFixture g(10, 7), h(10, 7);
    fillCoordinates(g);
    fillCoordinates(h);
    h.growWork(14, 9, 0x80FF00FFu);
    const SFltWave r{2, 1, 9, 6, 0.7f};
    ASSERT_TRUE(run(k, g, r));
    ASSERT_TRUE(run(k, h, r));
    EXPECT_TRUE(g.sameLayer(h));
  }
}

// ---- twirl -----------------------------------------------------------------------

TEST(Twirl, InsideTheEllipseButNotItsCentre) {
  for (uint8_t clamp : {uint8_t{0}, uint8_t{1}}) {
    FilterFixture f(15, 11);
    f.fillRandom(9);
    SFltTwirl r;
    r.Angle = 90;
    r.Clamp = clamp;
    ASSERT_TRUE(run(&twirl4Kernel, f, r));
    int changed = 0;
    for (int32_t y = 0; y < 11; ++y)
      for (int32_t x = 0; x < 15; ++x) {
        // Centre (7, 5) in pixel coordinates, half sizes 7.5 and 5.5.
        const double ux = (x - 7) / 7.5, uy = (y - 5) / 5.5;
        const double rr = std::sqrt(ux * ux + uy * uy);
        if (rr >= 1.0 || rr == 0.0)
          ASSERT_EQ(f.pixel(x, y), f.original(x, y)) << x << "," << y;
        else
          changed += f.pixel(x, y) != f.original(x, y);
      }
    EXPECT_GT(changed, 60) << int{clamp};
  }
}

TEST(Twirl, ZeroAngleChangesNothing) {
  FilterFixture f(8, 8);
  f.fillRandom(10);
  SFltTwirl r;
  r.Angle = 0;
  EXPECT_TRUE(run(&twirl4Kernel, f, r));
  EXPECT_TRUE(f.unchanged());
  const SFlt4Context c = f.context();
  EXPECT_FALSE(twirl4Kernel(&c, nullptr, 8));
}

TEST(Twirl, QuarterTurnAtHalfRadius) {
  // With angle 90 a pixel at elliptic radius 0.5 turns by -(0.5)^2 * 90 degrees.
  FilterFixture f(41, 41);
  fillCoordinates(f, 6);
  SFltTwirl r;
  r.Angle = 90;
  ASSERT_TRUE(run(&twirl4Kernel, f, r));
  // Pixel (30, 20): dx = 10 of radius 20.5 about centre 20.
  const double rr = 10.0 / 20.5, phi = -(1.0 - rr) * (1.0 - rr) * std::numbers::pi / 2;
  const double sx = 20 + 10 * std::cos(phi), sy = 20 + 10 * std::sin(phi);
  const uint32_t p = f.pixel(30, 20);
  EXPECT_NEAR(redOf(p) / 6.0, sx, 0.2);
  EXPECT_NEAR(((p >> 8) & 0xFF) / 6.0, sy, 0.2);
}

}  // namespace
}  // namespace pg
