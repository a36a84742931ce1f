#include "brush/screen_tone.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>
#include <vector>

namespace pg {
namespace {

TEST(ScreenTone, RepeatAndTileTable) {
  struct Case {
    int32_t Angle;
    float Cell;
    int32_t K, A, B, TileW, TileH;
  };
  // k, a, b and the tile of a few screens; -1 where only k is fixed.
  const Case cases[] = {
      {0, 8.0f, 1, 0, 8, 8, 8},
      {45, 8.0f, 32, 181, 181, 362, 181},
      {30, 8.0f, 14, -1, -1, -1, -1},
      {15, 8.0f, 44, -1, -1, -1, -1},
      {0, 7.5f, 2, 0, 15, 15, 15},
      {90, 8.0f, 1, 8, 0, 8, 8},
  };
  for (const Case& c : cases) {
    CToneMaker m;
    ASSERT_TRUE(m.setup(0, 0, 50.0f, c.Cell, c.Angle)) << c.Angle << " " << c.Cell;
    EXPECT_EQ(m.repeat(), c.K) << c.Angle;
    if (c.A < 0) continue;
    EXPECT_EQ(m.stepA(), c.A) << c.Angle;
    EXPECT_EQ(m.stepB(), c.B) << c.Angle;
    EXPECT_EQ(m.tile().Width, c.TileW) << c.Angle;
    EXPECT_EQ(m.tile().Height, c.TileH) << c.Angle;
  }
  // The 15-degree screen finds nothing below the limit and takes the best k.
  const double a = 8.0 * std::cos(15.0 * std::numbers::pi / 180.0);
  const double b = 8.0 * std::sin(15.0 * std::numbers::pi / 180.0);
  EXPECT_EQ(findToneRepeat(a, b), 44);
  EXPECT_GT(std::fabs(44 * a - std::nearbyint(44 * a)) + std::fabs(44 * b - std::nearbyint(44 * b)), 0.05);
  EXPECT_EQ(findToneRepeat(0.5, 0.2), 1);  // no search below 1
}

TEST(ScreenTone, RefusedSetupsKeepThePreviousTile) {
  CToneMaker m;
  ASSERT_TRUE(m.setup(0, 0, 50.0f, 8.0f, 0));
  const TChannel* before = &m.tile();
  std::vector<uint8_t> bytes;
  for (int32_t y = 0; y < m.tile().Height; ++y)
    for (int32_t x = 0; x < m.tile().Width; ++x) bytes.push_back(m.tile().getPixel(x, y));
  struct Bad {
    const char* Name;
    float Cell;
    int32_t Angle;
  };
  const Bad bad[] = {{"cell below 3", 2.9f, 0},      {"cell above 128", 128.5f, 0}, {"no cell", NAN, 0},
                     {"infinite cell", INFINITY, 0}, {"negative angle", 8.0f, -15}, {"angle past 90", 8.0f, 91},
                     {"angle 180", 8.0f, 180}};
  for (const Bad& b : bad) {
    EXPECT_FALSE(m.setup(0, 0, 50.0f, b.Cell, b.Angle)) << b.Name;
    ASSERT_EQ(&m.tile(), before) << b.Name;
    size_t i = 0;
    for (int32_t y = 0; y < m.tile().Height; ++y)
      for (int32_t x = 0; x < m.tile().Width; ++x) ASSERT_EQ(m.tile().getPixel(x, y), bytes[i++]) << b.Name;
  }
  EXPECT_TRUE(m.ready());
}

TEST(ScreenTone, SpotShapeTable) {
  struct Case {
    uint32_t Shape;
    double X, Y, Expected;
  };
  const double pi = std::numbers::pi;
  const Case cases[] = {
      {0, 0.0, 0.0, 1.0},          {0, 0.5, 0.25, 1.0 - 0.25 - 0.0625},
      {0, 1.0, 1.0, -1.0},         {1, 0.5, 0.5, 0.5},
      {2, 0.0, 0.0, 1.0},          {2, 0.5, 1.0, (std::cos(pi * 0.5) + std::cos(pi)) / 2.0},
      {3, -0.5, 0.9, -0.5},        {4, 0.3, -0.2, -0.2},
      {5, 0.3, -0.2, 0.3},         {6, -0.3, 0.6, -0.6},
      {7, -0.3, 0.6, -0.3},        {8, 0.25, 0.25, 1.0 - 0.125},
      {8, 0.5, 0.5, 1.0 - (0.85 * 0.5 + 0.5)}, {8, 1.0, 1.0, -1.0},
      {9, -0.5, 1.0, (0.5 + 0.9) / 2.0},       {12, -0.5, 1.0, (0.5 + 0.9) / 2.0},
  };
  for (const Case& c : cases) EXPECT_NEAR(toneSpot(c.Shape, c.X, c.Y), c.Expected, 1e-12) << c.Shape;
  EXPECT_STREQ(toneShapeName(0), "Round");
  EXPECT_STREQ(toneShapeName(8), "Diamond");
  EXPECT_STREQ(toneShapeName(12), "Rhomboid");
}

TEST(ScreenTone, ShapeAbove9BehavesAs9) {
  CToneMaker a;
  CToneMaker b;
  ASSERT_TRUE(a.setup(12, 3, 40.0f, 9.0f, 30));
  ASSERT_TRUE(b.setup(9, 3, 40.0f, 9.0f, 30));
  for (int32_t y = -20; y < 20; ++y)
    for (int32_t x = -20; x < 20; ++x) ASSERT_EQ(a.valueAt(x, y), b.valueAt(x, y));
}

// Threshold rules: a spot value at or below the low threshold gives tile 0,
// at or above the high one 255, between them a ramp; low = high gives a
// plain cut.
TEST(ScreenTone, ThresholdsCutTheTile) {
  struct Case {
    int32_t Smoothing;
    float Density;
  };
  const Case cases[] = {{0, 50.0f}, {10, 50.0f}, {30, 5.0f}, {30, 95.0f}, {-4, 20.0f}};
  for (const Case& c : cases) {
    CToneMaker m;
    ASSERT_TRUE(m.setup(0, c.Smoothing, c.Density, 12.0f, 20));
    const float low = m.lowThreshold();
    const float high = m.highThreshold();
    EXPECT_LE(low, high);
    const int32_t w = m.tile().Width;
    int ramp = 0;
    for (int32_t y = 0; y < m.tile().Height; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const float v = m.spotValues()[static_cast<size_t>(y) * w + x];
        const uint8_t t = m.tile().getPixel(x, y);
        if (v <= low) {
          ASSERT_EQ(t, 0);
        } else if (v >= high) {
          ASSERT_EQ(t, 255);
        } else {
          ++ramp;
        }
      }
    if (c.Smoothing <= 0) {
      EXPECT_EQ(ramp, 0) << "smoothing 0 cuts without a ramp";
    }
    if (c.Smoothing >= 10) {
      EXPECT_GT(ramp, 0);
    }
  }
}

// The density is the share of the screen that takes paint: closely on a
// rotated screen whose tile holds many distinct spot values; on the small
// tile of a 0-degree screen, equal values go together, so the share only
// grows with the density.
TEST(ScreenTone, DensityIsInkCoverage) {
  auto inkShare = [](int32_t angle, int32_t d) {
    CToneMaker m;
    EXPECT_TRUE(m.setup(0, 0, static_cast<float>(d), 10.0f, angle));
    int64_t ink = 0;
    for (int32_t y = 0; y < 200; ++y)
      for (int32_t x = 0; x < 200; ++x) ink += m.valueAt(x, y) == 255 ? 1 : 0;
    return 100.0 * static_cast<double>(ink) / 40000.0;
  };
  for (int32_t d : {0, 10, 50, 90, 100}) EXPECT_NEAR(inkShare(45, d), d, d == 0 || d == 100 ? 1.0 : 4.0) << d;
  double prev = -1.0;
  for (int32_t d = 0; d <= 100; d += 5) {
    const double share = inkShare(0, d);
    EXPECT_GE(share, prev) << d;
    EXPECT_GE(share + 1e-9, d) << d;
    prev = share;
  }
  EXPECT_EQ(prev, 100.0);
  CToneMaker clamped;
  ASSERT_TRUE(clamped.setup(0, 0, 250.0f, 10.0f, 0));
  EXPECT_EQ(clamped.density(), 100.0f);
  ASSERT_TRUE(clamped.setup(0, 0, -3.0f, 10.0f, 0));
  EXPECT_EQ(clamped.density(), 0.0f);
}

// One period of the screen away the value is the same, at any angle.
TEST(ScreenTone, SeamlessAtAnyAngle) {
  std::mt19937 rng(77);
  const int32_t angles[] = {0, 15, 30, 45, 60, 75, 90};
  for (int32_t angle : angles) {
    for (uint32_t shape : {0u, 3u, 8u}) {
      CToneMaker m;
      ASSERT_TRUE(m.setup(shape, 5, 45.0f, 7.3f, angle));
      const int32_t a = m.stepA();
      const int32_t b = m.stepB();
      for (int k = 0; k < 400; ++k) {
        const int32_t x = static_cast<int32_t>(rng() % 4000) - 2000;
        const int32_t y = static_cast<int32_t>(rng() % 4000) - 2000;
        const uint8_t v = m.valueAt(x, y);
        ASSERT_EQ(m.valueAt(x + b, y - a), v) << angle << " at " << x << "," << y;
        ASSERT_EQ(m.valueAt(x + a, y + b), v) << angle << " at " << x << "," << y;
      }
    }
  }
}

// The row-hoisted plane filler against per-pixel lookups.
TEST(ScreenTone, FillPlaneMatchesValueAt) {
  std::mt19937 rng(4242);
  for (int round = 0; round < 12; ++round) {
    CToneMaker m;
    ASSERT_TRUE(m.setup(rng() % 10, static_cast<int32_t>(rng() % 8), static_cast<float>(rng() % 101),
                        3.0f + static_cast<float>(rng() % 1000) / 10.0f, static_cast<int32_t>(rng() % 91)));
    TChannel plane(37 + static_cast<int32_t>(rng() % 40), 23 + static_cast<int32_t>(rng() % 40));
    const int32_t x0 = static_cast<int32_t>(rng() % 20000) - 10000;
    const int32_t y0 = static_cast<int32_t>(rng() % 20000) - 10000;
    m.fillPlane(plane, x0, y0);
    for (int32_t y = 0; y < plane.Height; ++y)
      for (int32_t x = 0; x < plane.Width; ++x) ASSERT_EQ(plane.getPixel(x, y), m.valueAt(x0 + x, y0 + y)) << round;
  }
}

TEST(ScreenTone, ExtremeCoordinatesAndUnsetMaker) {
  CToneMaker unset;
  EXPECT_EQ(unset.valueAt(5, 5), 0);
  TChannel plane(4, 4);
  unset.fillPlane(plane, 0, 0);
  EXPECT_EQ(plane.getPixel(3, 3), 0);

  CToneMaker m;
  ASSERT_TRUE(m.setup(0, 0, 50.0f, 8.0f, 30));
  const int32_t pts[][2] = {{INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {0, INT32_MIN}};
  for (const auto& p : pts) (void)m.valueAt(p[0], p[1]);
  m.fillPlane(plane, INT32_MAX - 1, INT32_MIN);
}

TEST(ScreenTone, AttributesAndSetupCache) {
  SToneAttr a;
  a.Shape = 3;
  a.Name = "x";
  a.init();
  EXPECT_EQ(a, SToneAttr{});
  EXPECT_EQ(a.Flag, 1u);
  a.Resolution = 350.0f;
  a.Ruling = 50.0f;
  a.Density = 30;
  a.Angle = 45;
  EXPECT_FLOAT_EQ(a.cellSize(), 7.0f);
  CToneMaker m;
  EXPECT_FALSE(m.isSetFor(a));
  ASSERT_TRUE(m.setupFor(a));
  EXPECT_TRUE(m.isSetFor(a));
  a.Density = 31;
  EXPECT_FALSE(m.isSetFor(a));
}

}  // namespace
}  // namespace pg
