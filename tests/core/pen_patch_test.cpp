#include "core/pen_patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace pg {
namespace {

// A source whose pixel (x, y) is 0xFF000000 | (y << 8) | x.
struct Source : TMTC {
  Source(int32_t w, int32_t h) : TMTC(w, h) {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) *pixelAt(x, y) = 0xFF000000u | (static_cast<uint32_t>(y) << 8) | x;
  }
};
uint32_t at(int32_t x, int32_t y) { return 0xFF000000u | (static_cast<uint32_t>(y) << 8) | x; }

TEST(PenPatch, GeometryOfADab) {
  Source src(40, 30);
  CPenTC patch;
  ASSERT_TRUE(patch.setDab(src, 2.0f, 10.25f, 4.5f));
  EXPECT_EQ(patch.radiusX, 5);
  EXPECT_EQ(patch.radiusY, 5);
  EXPECT_EQ(patch.originX, 5);
  EXPECT_EQ(patch.originY, -1);
  EXPECT_EQ(patch.extentW, 11);
  EXPECT_EQ(patch.extentH, 11);
  EXPECT_EQ(patch.Width, 11);
  EXPECT_FLOAT_EQ(patch.fractionX, 0.25f);
  EXPECT_FLOAT_EQ(patch.fractionY, 0.5f);
  // Row 0 lies above the source and repeats source row 0; row 1 is row 0.
  for (int x = 0; x < 11; ++x) {
    EXPECT_EQ(patch.getPixel(x, 0), at(5 + x, 0));
    EXPECT_EQ(patch.getPixel(x, 1), at(5 + x, 0));
    EXPECT_EQ(patch.getPixel(x, 10), at(5 + x, 9));
  }
}

TEST(PenPatch, NegativeCentreTruncatesTheOriginButFloorsTheFraction) {
  Source src(20, 20);
  CPenTC patch;
  ASSERT_TRUE(patch.setDab(src, 1.0f, -1.5f, 3.0f));
  EXPECT_EQ(patch.radiusX, 4);
  EXPECT_EQ(patch.originX, -1 - 4);
  EXPECT_FLOAT_EQ(patch.fractionX, 0.5f);
  EXPECT_FLOAT_EQ(patch.fractionY, 0.0f);
}

TEST(PenPatch, EdgesAndCornersRepeatTheNearestSourcePixel) {
  Source src(8, 6);
  CPenTC patch;
  // Entirely left of the source: each row holds its row's first pixel.
  ASSERT_TRUE(patch.setDab(src, 1.0f, -30.0f, 2.0f));
  for (int y = 0; y < patch.Height; ++y) {
    const int32_t sy = std::clamp(patch.originY + y, 0, 5);
    for (int x = 0; x < patch.Width; ++x) ASSERT_EQ(patch.getPixel(x, y), at(0, sy));
  }
  // Larger than the source on every side: corners take the corner pixels.
  ASSERT_TRUE(patch.setDab(src, 6.0f, 4.0f, 3.0f));
  EXPECT_EQ(patch.getPixel(0, 0), at(0, 0));
  EXPECT_EQ(patch.getPixel(patch.Width - 1, 0), at(7, 0));
  EXPECT_EQ(patch.getPixel(0, patch.Height - 1), at(0, 5));
  EXPECT_EQ(patch.getPixel(patch.Width - 1, patch.Height - 1), at(7, 5));
  for (int y = 0; y < patch.Height; ++y)
    for (int x = 0; x < patch.Width; ++x)
      ASSERT_EQ(patch.getPixel(x, y),
                at(std::clamp(patch.originX + x, 0, 7), std::clamp(patch.originY + y, 0, 5)));
}

TEST(PenPatch, OffsetsOfADabInsideThePatch) {
  Source src(40, 40);
  CPenTC patch;
  ASSERT_TRUE(patch.setDab(src, 4.0f, 20.25f, 20.75f));  // radius 7
  TPoint p{};
  ASSERT_TRUE(patch.offsetForRadius(p, 3.0f));
  EXPECT_EQ(p.X, 7 - 3);  // ceil(3 - 0.25) = 3
  EXPECT_EQ(p.Y, 7 - 3);  // ceil(3 - 0.75) = 3
  ASSERT_TRUE(patch.offsetForRadius(p, 3.5f));
  EXPECT_EQ(p.X, 7 - 4);  // ceil(3.25)
  EXPECT_EQ(p.Y, 7 - 3);  // ceil(2.75): each axis with its own fraction
  EXPECT_FALSE(patch.offsetForRadius(p, 7.5f));
  ASSERT_TRUE(patch.offsetForRadius(p, 7.0f));
  EXPECT_EQ(p.X, 0);

  ASSERT_TRUE(patch.offsetForSize(p, SFixPoint{3 * 65536 + 32768, 2 * 65536}));
  EXPECT_EQ(p.X, 7 - 4);
  EXPECT_EQ(p.Y, 7 - 2);  // ceil(2 - 0.75) = 2
  EXPECT_FALSE(patch.offsetForSize(p, SFixPoint{8 * 65536, 0}));
  EXPECT_FALSE(patch.offsetForSize(p, SFixPoint{0, 7 * 65536 + 1}));
}

TEST(PenPatch, RefusesWhatCannotBeAPatch) {
  Source src(10, 10);
  CPenTC patch;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_FALSE(patch.setDab(src, nan, 1, 1));
  EXPECT_FALSE(patch.setDab(src, 1e9f, 1, 1));
  EXPECT_FALSE(patch.setDab(src, 2, inf, 1));
  EXPECT_FALSE(patch.setDab(src, 2, 1, -3e9f));
  TMTC empty;
  EXPECT_FALSE(patch.setDab(empty, 2, 1, 1));
  TPoint p{};
  EXPECT_FALSE(patch.offsetForRadius(p, nan));
}

}  // namespace
}  // namespace pg
