#include "core/resample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "test_support/plane_pixels.h"

namespace pg {
namespace resample_test {

using testing::fillRandom;
using testing::fillWith;
using testing::pixels;

TEST(Downsample4x4, FourByFourIntoOneAveragesAllSixteen) {
  TMTC src(4, 4), dst(1, 1);
  // Byte k of pixel i is i + 16k: the sums are 120 + 256k, >> 4 gives 7 + 16k.
  fillWith(src, [](int32_t x, int32_t y) {
    const uint32_t i = uint32_t(y * 4 + x);
    return i | (i + 16) << 8 | (i + 32) << 16 | (i + 48) << 24;
  });
  ASSERT_TRUE(downsample4x4(src, dst));
  EXPECT_EQ(dst.getPixel(0, 0), 7u | 23u << 8 | 39u << 16 | 55u << 24);
}

TEST(Downsample4x4, ConstantStaysConstantAtAnyRatio) {
  for (auto [sw, sh, dw, dh] : std::vector<std::array<int32_t, 4>>{{7, 5, 3, 2}, {3, 3, 8, 8}, {100, 1, 9, 1}}) {
    TMTC src(sw, sh), dst(dw, dh);
    fillWith(src, [](int32_t, int32_t) { return 0xFE80017Fu; });
    ASSERT_TRUE(downsample4x4(src, dst));
    for (uint32_t p : pixels(dst)) EXPECT_EQ(p, 0xFE80017Fu);
  }
}

TEST(DownsampleRect4x4, BoxOfWholeSourcePixels) {
  // 10 x 10 into 4 x 4: kx = ky = 2, so each pixel is the mean of 3 x 3 pixels.
  TMTC src(10, 10), dst(4, 4);
  fillWith(src, [](int32_t x, int32_t y) { return uint32_t(x + 10 * y); });
  ASSERT_TRUE(downsampleRect4x4(src, dst, 0, 0, 4, 4));
  EXPECT_EQ(dst.getPixel(0, 0), 11u);        // x 0..2, y 0..2
  EXPECT_EQ(dst.getPixel(1, 1), 3u + 30u);   // footprint starts at 2
  EXPECT_EQ(dst.getPixel(3, 3), 8u + 80u);   // starts at 7

  // 10 into 5: the last box runs one past the source and repeats its edge.
  TMTC row(10, 1), half(5, 1);
  fillWith(row, [](int32_t x, int32_t) { return uint32_t(10 * x); });
  ASSERT_TRUE(downsampleRect4x4(row, half, 0, 0, 5, 1));
  EXPECT_EQ(half.getPixel(0, 0), 10u);  // 0, 10, 20
  EXPECT_EQ(half.getPixel(4, 0), 86u);  // 80, 90, 90: 260 / 3
}

TEST(DownsampleRect4x4, ClipsToTheDestination) {
  TMTC src(8, 8), dst(4, 4);
  fillWith(src, [](int32_t, int32_t) { return 0x11223344u; });
  fillWith(dst, [](int32_t, int32_t) { return 0u; });
  EXPECT_FALSE(downsampleRect4x4(src, dst, 4, 0, 3, 3));   // right of the plane
  EXPECT_FALSE(downsampleRect4x4(src, dst, 0, 0, 0, 4));   // no width
  EXPECT_FALSE(downsampleRect4x4(src, dst, INT32_MAX, INT32_MAX, INT32_MAX, 1));
  ASSERT_TRUE(downsampleRect4x4(src, dst, 2, -5, 100, 7));  // columns 2, 3 of rows 0, 1
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(dst.getPixel(x, y), (x >= 2 && y <= 1) ? 0x11223344u : 0u) << x << "," << y;
}

TEST(Stretch, TwoRowsOntoFive) {
  // Step 0.4: destination rows come from source rows 0, 0, 0, 1, 1.
  TMTC src(1, 2), dst(1, 5);
  fillWith(src, [](int32_t, int32_t y) { return uint32_t(100 + y); });
  ASSERT_TRUE(stretchCopyRect(dst, src, {0, 0, 1, 5}, {0, 0, 1, 2}));
  EXPECT_EQ(pixels(dst), (std::vector<uint32_t>{100, 100, 100, 101, 101}));
}

TEST(Stretch, ColumnsAndClipping) {
  struct Case {
    SRectXYWH dstRect, srcRect;
    std::vector<uint32_t> row0;  // destination row 0 afterwards (0 = untouched)
  };
  const Case cases[] = {
      {{0, 0, 6, 1}, {0, 0, 3, 1}, {1, 1, 2, 2, 3, 3}},     // enlarge by 2
      {{0, 0, 3, 1}, {0, 0, 6, 1}, {1, 3, 5, 0, 0, 0}},     // reduce by 2
      {{2, 0, 3, 1}, {3, 0, 3, 1}, {0, 0, 4, 5, 6, 0}},     // offsets on both sides
      {{-2, 0, 8, 1}, {-3, 0, 9, 1}, {1, 2, 3, 4, 5, 6}},   // both clipped first
  };
  for (const Case& c : cases) {
    TMTC src(6, 1), dst(6, 1);
    fillWith(src, [](int32_t x, int32_t) { return uint32_t(x + 1); });
    fillWith(dst, [](int32_t, int32_t) { return 0u; });
    ASSERT_TRUE(stretchCopyRect(dst, src, c.dstRect, c.srcRect));
    EXPECT_EQ(pixels(dst), c.row0) << c.dstRect.X << " " << c.dstRect.Width;
  }
}

TEST(Stretch, RowsPastTheSourceCopyTheLastRow) {
  // 1 row onto 1000: the rounded step (66/65536) runs out after 993 rows; the
  // rest are copies of the last one written.
  TMTC src(2, 1), dst(2, 1000);
  fillWith(src, [](int32_t x, int32_t) { return uint32_t(7 + x); });
  fillWith(dst, [](int32_t, int32_t) { return 0u; });
  ASSERT_TRUE(stretchCopyRect(dst, src, {0, 0, 2, 1000}, {0, 0, 2, 1}));
  ASSERT_TRUE(reference::stretchCopyRect(dst, src, {0, 0, 2, 1000}, {0, 0, 2, 1}));
  for (int32_t y = 0; y < 1000; ++y) {
    EXPECT_EQ(dst.getPixel(0, y), 7u);
    EXPECT_EQ(dst.getPixel(1, y), 8u);
  }
}

TEST(Rotate, IdentityPutsTheCentreInTheMiddle) {
  // Angle 0, scale 1: destination (x, y) shows source (x - 1, y - 1), the
  // centre point (1, 1) landing on the destination centre (2, 2).
  TMTC src(3, 3), dst(5, 5);
  fillWith(src, [](int32_t x, int32_t y) { return uint32_t(0xFF000000u + 10 * y + x); });
  ASSERT_TRUE(rotateScaleAll(src, dst, {1, 1}, 1.0f, 0.0f));
  for (int32_t y = 0; y < 5; ++y) {
    for (int32_t x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x <= 3 && y >= 1 && y <= 3;
      EXPECT_EQ(dst.getPixel(x, y), inside ? src.getPixel(x - 1, y - 1) : kRotateBackground) << x << "," << y;
    }
  }
  EXPECT_EQ(kRotateBackground, 8421504u);
}

TEST(Rotate, QuarterTurnAndHalfScale) {
  TMTC src(3, 3), dst(3, 3);
  fillWith(src, [](int32_t x, int32_t y) { return uint32_t(10 * y + x); });
  // A quarter turn: destination (x, y) shows source (2 - y, x).
  ASSERT_TRUE(rotateScaleAll(src, dst, {1, 1}, 1.0f, float(std::numbers::pi / 2)));
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(dst.getPixel(x, y), src.getPixel(2 - y, x)) << x << "," << y;

  // Scale 0.5 (magnify twice) of a 2 x 2 source around (1, 1) into 4 x 4.
  TMTC small(2, 2), big(4, 4);
  fillWith(small, [](int32_t x, int32_t y) { return uint32_t(1 + 10 * y + x); });
  ASSERT_TRUE(rotateScaleAll(small, big, {1, 1}, 0.5f, 0.0f));
  // x source = 0.5 * (x - 2) + 1.5: 0.5, 1.0, 1.5, 2.0 (outside).
  EXPECT_EQ(pixels(big), (std::vector<uint32_t>{1, 2, 2, kRotateBackground, 11, 12, 12, kRotateBackground, 11,
                                                12, 12, kRotateBackground, kRotateBackground, kRotateBackground,
                                                kRotateBackground, kRotateBackground}));
}

TEST(Rotate, RectangleIsClippedAndOnlyItIsWritten) {
  TMTC src(4, 4), dst(4, 4);
  fillWith(src, [](int32_t, int32_t) { return 5u; });
  fillWith(dst, [](int32_t, int32_t) { return 0u; });
  EXPECT_FALSE(rotateScaleInto(src, dst, {2, 2}, 1.0f, 0.0f, {4, 0, 8, 4}));
  ASSERT_TRUE(rotateScaleInto(src, dst, {2, 2}, 1.0f, 0.0f, {-3, 1, 2, 2}));
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(dst.getPixel(x, y), (y == 1 && x < 2) ? 5u : 0u);
}

// Planes without pixels, empty rectangles and absurd factors are refused or
// drawn as background; nothing divides by zero or reads outside a plane.
TEST(Resample, EmptyAndDegenerateInputs) {
  TMTC empty, one(1, 1), four(4, 4);
  fillWith(one, [](int32_t, int32_t) { return 9u; });
  EXPECT_FALSE(downsample4x4(empty, one));
  EXPECT_FALSE(downsample4x4(one, empty));
  EXPECT_FALSE(downsampleRect4x4(empty, one, 0, 0, 1, 1));
  EXPECT_FALSE(downsampleRect4x4(one, empty, 0, 0, 1, 1));
  EXPECT_FALSE(stretchCopyRect(one, empty, {0, 0, 1, 1}, {0, 0, 1, 1}));
  EXPECT_FALSE(stretchCopyRect(one, four, {0, 0, 0, 1}, {0, 0, 4, 4}));
  EXPECT_FALSE(stretchCopyRect(one, four, {0, 0, 1, 1}, {0, 0, 4, 0}));
  EXPECT_FALSE(stretchCopyRect(one, four, {0, 0, 1, 1}, {INT32_MAX, 0, INT32_MAX, 1}));
  EXPECT_FALSE(rotateScaleAll(four, empty, {0, 0}, 1.0f, 0.0f));

  // An empty source rotates to background everywhere.
  ASSERT_TRUE(rotateScaleAll(empty, four, {0, 0}, 1.0f, 0.0f));
  for (uint32_t p : pixels(four)) EXPECT_EQ(p, kRotateBackground);

  // Huge, zero and non-finite factors stay within the source.
  for (float scale : {0.0f, 1e9f, -1e9f, std::nanf(""), INFINITY}) {
    for (float angle : {0.0f, 1.0f, std::nanf("")}) {
      EXPECT_TRUE(rotateScaleAll(one, four, {0, 0}, scale, angle));
      TMTC ref(4, 4);
      ASSERT_TRUE(reference::rotateScaleInto(one, ref, {0, 0}, scale, angle, {0, 0, 4, 4}));
      EXPECT_EQ(pixels(four), pixels(ref)) << scale << " " << angle;
    }
  }
}

// The fast forms against the literal ones on seeded random planes, sizes,
// rectangles, angles and scales.
TEST(Resample, FastFormsMatchTheReference) {
  std::mt19937 rng(20240601);
  auto size = [&](int lo, int hi) { return int32_t(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  for (int round = 0; round < 200; ++round) {
    TMTC src(size(1, 60), size(1, 60));
    TMTC fast(size(1, 60), size(1, 60));
    fillRandom(src, rng);
    fillRandom(fast, rng);
    TMTC ref(fast.Width, fast.Height);
    ASSERT_TRUE(ref.copyPixelsFrom(fast));

    ASSERT_TRUE(downsample4x4(src, fast));
    ASSERT_TRUE(reference::downsample4x4(src, ref));
    ASSERT_EQ(pixels(fast), pixels(ref)) << "downsample4x4 round " << round;

    const int32_t rx = size(-10, fast.Width), ry = size(-10, fast.Height);
    const int32_t rw = size(0, 70), rh = size(0, 70);
    ASSERT_EQ(downsampleRect4x4(src, fast, rx, ry, rw, rh), reference::downsampleRect4x4(src, ref, rx, ry, rw, rh));
    ASSERT_EQ(pixels(fast), pixels(ref)) << "downsampleRect4x4 round " << round;

    const SRectXYWH dr{size(-5, 20), size(-5, 20), size(0, 80), size(0, 80)};
    const SRectXYWH sr{size(-5, 20), size(-5, 20), size(0, 80), size(0, 80)};
    ASSERT_EQ(stretchCopyRect(fast, src, dr, sr), reference::stretchCopyRect(ref, src, dr, sr));
    ASSERT_EQ(pixels(fast), pixels(ref)) << "stretchCopyRect round " << round;

    const TPoint centre{size(-10, 70), size(-10, 70)};
    const float scale = std::uniform_real_distribution<float>(-3.0f, 3.0f)(rng);
    const float angle = std::uniform_real_distribution<float>(-7.0f, 7.0f)(rng);
    const TRect rr{size(-10, 30), size(-10, 30), size(0, 70), size(0, 70)};
    ASSERT_EQ(rotateScaleInto(src, fast, centre, scale, angle, rr),
              reference::rotateScaleInto(src, ref, centre, scale, angle, rr));
    ASSERT_EQ(pixels(fast), pixels(ref)) << "rotateScaleInto round " << round;
  }
}

}  // namespace resample_test
}  // namespace pg
