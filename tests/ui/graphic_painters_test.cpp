#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "brush/falloff_curve.h"
#include "ui/memory_graphic.h"

namespace pg {
namespace {

// An operator that counts how often a byte was written.
uint8_t countChannel(uint8_t dst, uint8_t, float) { return static_cast<uint8_t>(dst + 1); }

// The picture of write counts in the blue byte: '.' for 0, digits otherwise.
std::vector<std::string> countPicture(const TMemoryGraphic& g) {
  std::vector<std::string> rows;
  for (int32_t y = 0; y < g.height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < g.width(); ++x) {
      const uint8_t n = uiBlue(g.getPixel(x, y));
      row += n == 0 ? '.' : static_cast<char>('0' + n);
    }
    rows.push_back(row);
  }
  return rows;
}

using Picture = std::vector<std::string>;

TEST(Painters, CheckerStartsAFreshCellAtTheClippedEdge) {
  TMemoryGraphic g(8, 2, 0u);
  const TUiColor a = 0xFF000001u, b = 0xFF000002u;
  ASSERT_TRUE(g.fillChecker({-2, 0, 6, 2}, 4, 1, a, b, copyChannel, copyChannel));
  EXPECT_EQ(countPicture(g), (Picture{"111122..", "222211.."}));
  ASSERT_TRUE(g.fillChecker({0, 0, 8, 2}, 0, 0, a, b, copyChannel, copyChannel));  // cells of at least 1
  EXPECT_EQ(countPicture(g), (Picture{"12121212", "21212121"}));
}

TEST(Painters, FramePictures) {
  struct Case {
    const char* name;
    int32_t n;
    bool rounded;
    Picture expected;
  };
  const Case cases[] = {
      {"one-pixel frame paints every outline pixel once", 1, false,
       {"111111", "1....1", "1....1", "1....1", "1....1", "111111"}},
      {"two-pixel frame paints the corner squares twice", 2, false,
       {"111121", "221121", "11..11", "11..11", "121122", "121111"}},
      {"rounded frame", 1, true, {".1111.", "11..11", "1....1", "1....1", "11..11", ".1111."}},
  };
  for (const Case& c : cases) {
    TMemoryGraphic g(6, 6, 0u);
    const bool ok = c.rounded ? g.frameRounded({0, 0, 6, 6}, c.n, 0xFF000000u, countChannel, keepChannel)
                              : g.frameRect({0, 0, 6, 6}, c.n, 0xFF000000u, countChannel, keepChannel);
    EXPECT_TRUE(ok) << c.name;
    EXPECT_EQ(countPicture(g), c.expected) << c.name;
  }
}

TEST(Painters, FrameSizeRules) {
  TMemoryGraphic g(8, 8, 0u);
  EXPECT_FALSE(g.frameRect({0, 0, 1, 5}, 2, uiOpaqueBlack, copyChannel, copyChannel));
  EXPECT_FALSE(g.frameSides({0, 0, 3, 8}, 2, 0, 0, 0, 0, copyChannel, copyChannel));
  EXPECT_FALSE(g.frameRect({0, 0, 5, 5}, 0, uiOpaqueBlack, copyChannel, copyChannel));
  EXPECT_FALSE(g.frameRect({8, 8, 12, 12}, 1, uiOpaqueBlack, copyChannel, copyChannel));
  EXPECT_TRUE(g.frameRect({0, 0, 2, 2}, 2, uiOpaqueBlack, copyChannel, copyChannel));
}

TEST(Painters, FrameSidesAndBevelColours) {
  TMemoryGraphic g(4, 4, 0u);
  ASSERT_TRUE(g.frameSides({0, 0, 4, 4}, 1, 0xFF000001u, 0xFF000002u, 0xFF000003u, 0xFF000004u, copyChannel,
                           copyChannel));
  EXPECT_EQ(countPicture(g), (Picture{"2223", "1..3", "1..3", "1444"}));
  ASSERT_TRUE(g.frameBevel({0, 0, 4, 4}, 1, 0xFF000005u, 0xFF000006u, copyChannel, copyChannel));
  EXPECT_EQ(countPicture(g), (Picture{"5556", "5..6", "5..6", "5666"}));
}

TEST(Painters, RoundedCornersBlendAtHalfWhateverTheAlpha) {
  TMemoryGraphic g(6, 6, 0xFFFFFFFFu);
  ASSERT_TRUE(g.frameRounded({0, 0, 6, 6}, 1, 0x10000000u, lerpChannel, keepChannel));
  EXPECT_EQ(g.getPixel(1, 1), 0xFF808080u);  // 255 + trunc(-127.5)
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(uiRed(g.getPixel(2, 0)), 255 - 16);  // the band uses the colour's alpha 16
}

TEST(Painters, LinearGradientDirectionsAndClippedRamp) {
  const TUiColor c1 = 0xFF000000u, c2 = 0xFF0000FFu;
  TMemoryGraphic g(5, 5, 0u);
  ASSERT_TRUE(g.gradientLinear({0, 0, 5, 5}, c1, c2, kGradLeft, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(0, 2), c2);
  EXPECT_EQ(g.getPixel(4, 2), c1);
  EXPECT_EQ(g.getPixel(2, 2), 0xFF000080u);  // 255 + trunc(-127.5)
  ASSERT_TRUE(g.gradientLinear({0, 0, 5, 5}, c1, c2, kGradDown, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(3, 0), c1);
  EXPECT_EQ(g.getPixel(3, 4), c2);
  ASSERT_TRUE(g.gradientLinear({0, 0, 5, 5}, c1, c2, kGradUp, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(3, 0), c2);
  ASSERT_TRUE(g.gradientLinear({2, 0, 3, 5}, c1, c2, kGradRight, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(2, 0), c1);  // a one-pixel ramp takes its start
  ASSERT_TRUE(g.gradientLinear({-5, 0, 5, 1}, c1, c2, kGradRight, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(0, 0), c1);  // the ramp spans the clipped box
  EXPECT_EQ(g.getPixel(4, 0), c2);
  EXPECT_FALSE(g.gradientLinear({5, 0, 9, 5}, c1, c2, kGradRight, copyChannel, copyChannel));
}

TEST(Painters, CornerGradientHitsEveryCorner) {
  TMemoryGraphic g(4, 3, 0u);
  ASSERT_TRUE(g.gradientCorners({0, 0, 4, 3}, 0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0x80FFFFFFu, copyChannel,
                                copyChannel));
  EXPECT_EQ(g.getPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(g.getPixel(3, 0), 0xFF00FF00u);
  EXPECT_EQ(g.getPixel(3, 2), 0xFFFF0000u);
  EXPECT_EQ(g.getPixel(0, 2), 0x80FFFFFFu);
  EXPECT_EQ(g.getPixel(0, 1), lerpColor(0xFF0000FFu, 0x80FFFFFFu, 0.5f));
}

TEST(Painters, HueRampOfOneTurnAdvancesOneStepAPixel) {
  TMemoryGraphic g(1536, 1, 0u);
  ASSERT_TRUE(g.gradientHue({0, 0, 1536, 1}, kGradRight, 0.0f, 1.0f, 1.0f, 1.0f, copyChannel, copyChannel, true));
  // In the red-to-yellow sector green is the hue step itself. Pixel i shows
  // step i; a float hue may fall a hair short and show the step before, but
  // the ramp never skips a step or turns back.
  for (int32_t x = 1; x < 256; ++x) {
    const uint32_t p = g.getPixel(x, 0);
    EXPECT_EQ(p & 0xFFFF00FFu, 0xFFFF0000u) << x;
    EXPECT_TRUE(uiGreen(p) == x || uiGreen(p) == x - 1) << x;
    EXPECT_GE(uiGreen(p), uiGreen(g.getPixel(x - 1, 0))) << x;
  }
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(g.getPixel(256, 0), 0xFFFFFF00u);
  EXPECT_EQ(g.getPixel(512, 0), 0xFF00FF00u);
  EXPECT_EQ(g.getPixel(1024, 0), 0xFF0000FFu);
  ASSERT_TRUE(g.gradientHue({0, 0, 1536, 1}, kGradLeft, 0.0f, 1.0f, 1.0f, 1.0f, copyChannel, copyChannel, true));
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFF0000u);  // the start hue sits at position 0 in both senses
  EXPECT_EQ(g.getPixel(512, 0), 0xFF0000FFu);
}

TEST(Painters, HsvAndHslRampsAndAreas) {
  TMemoryGraphic g(3, 3, 0u);
  ASSERT_TRUE(g.gradientValue({0, 0, 3, 3}, kGradDown, 0.0f, 1.0f, 0.5f, copyChannel, copyChannel, true));
  EXPECT_EQ(g.getPixel(0, 0), 0x80000000u);  // value 0; alpha byte trunc(0.5 * 255 + 0.5)
  EXPECT_EQ(g.getPixel(0, 2), 0x80FF0000u);
  ASSERT_TRUE(g.gradientSaturation({0, 0, 1, 1}, kGradUp, 0.0f, 1.0f, 1.0f, copyChannel, copyChannel, true));
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFF0000u);  // one reversed pixel: saturation 1
  ASSERT_TRUE(g.gradientSaturation({0, 0, 3, 1}, kGradRight, 0.0f, 0.5f, 1.0f, copyChannel, copyChannel, false));
  EXPECT_EQ(g.getPixel(0, 0), 0xFF808080u);  // HSL: grey at saturation 0
  EXPECT_EQ(g.getPixel(2, 0), 0xFFFF0000u);
  ASSERT_TRUE(g.gradientSaturationValue({0, 0, 3, 3}, kGradRight, 0.0f, 1.0f, kGradUp, copyChannel, copyChannel,
                                        true));
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFFFFFFu);  // saturation 0, value 1
  EXPECT_EQ(g.getPixel(2, 0), 0xFFFF0000u);
  EXPECT_EQ(g.getPixel(2, 2), 0xFF000000u);
  ASSERT_TRUE(g.gradientHueValue({0, 0, 3, 3}, kGradDown, 0.0f, 1.0f, 1.0f, kGradDown, copyChannel, copyChannel,
                                 true));
  EXPECT_EQ(g.getPixel(1, 0), 0xFF000000u);  // both along rows: row 0 has value 0
  EXPECT_EQ(g.getPixel(1, 2), 0xFF0000FFu);  // hue 2 * 2pi / 3 at value 1
  ASSERT_TRUE(g.gradientHueSaturation({0, 0, 3, 3}, kGradRight, 0.0f, 1.0f, 1.0f, kGradDown, copyChannel,
                                      copyChannel, true));
  EXPECT_EQ(g.getPixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(g.getPixel(1, 2), 0xFF00FF00u);
  // The colour operator's factor is the alpha argument.
  TMemoryGraphic w(1, 1, 0xFF000000u);
  ASSERT_TRUE(w.gradientValue({0, 0, 1, 1}, kGradUp, 0.0f, 0.0f, 0.5f, lerpChannel, keepChannel, true));
  EXPECT_EQ(w.getPixel(0, 0), 0xFF7F7F7Fu);
  // An alpha beyond 1 counts as 1 instead of overshooting the colour.
  ASSERT_TRUE(w.gradientValue({0, 0, 1, 1}, kGradUp, 0.0f, 0.0f, 3.0f, lerpChannel, copyChannel, true));
  EXPECT_EQ(w.getPixel(0, 0), 0xFFFFFFFFu);
}

TEST(Painters, DiscCoverage) {
  TMemoryGraphic g(11, 11, 0u);
  ASSERT_TRUE(g.fillDisc({0, 0}, 11, 0xFFFFFFFFu, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(g.getPixel(5, 0)), 255);
  EXPECT_EQ(uiAlpha(g.getPixel(0, 0)), 0);
  EXPECT_EQ(uiAlpha(g.getPixel(5, 5)), 255);
  const uint8_t edge = uiAlpha(g.getPixel(1, 2));  // d = 5, c = 1: covered
  EXPECT_EQ(edge, 255);
  const uint8_t soft = uiAlpha(g.getPixel(1, 1));  // d = 5.657, c = 0.343
  EXPECT_EQ(soft, 87);

  // A square across the edge gives a smaller disc fitted to its visible part.
  TMemoryGraphic e(20, 20, 0u);
  ASSERT_TRUE(e.fillDisc({-3, 0}, 11, 0xFFFFFFFFu, copyChannel, lerpChannel));
  TMemoryGraphic ref(20, 20, 0u);
  ASSERT_TRUE(ref.fillDiscF({3.5f, 3.5f}, 0xFFFFFFFFu, 3.5f, copyChannel, lerpChannel));
  EXPECT_EQ(std::vector<uint32_t>(e.pixels(), e.pixels() + 400), std::vector<uint32_t>(ref.pixels(), ref.pixels() + 400));
}

TEST(Painters, RingFallsBackToDiscAndHasAHole) {
  TMemoryGraphic disc(11, 11, 0u), ring(11, 11, 0u);
  ASSERT_TRUE(disc.fillDisc({0, 0}, 11, uiOpaqueBlack, copyChannel, lerpChannel));
  ASSERT_TRUE(ring.drawRing({0, 0}, 11, 5, uiOpaqueBlack, copyChannel, lerpChannel));
  EXPECT_EQ(std::vector<uint32_t>(disc.pixels(), disc.pixels() + 121),
            std::vector<uint32_t>(ring.pixels(), ring.pixels() + 121));
  TMemoryGraphic thin(11, 11, 0u);
  ASSERT_TRUE(thin.drawRing({0, 0}, 11, 2, uiOpaqueBlack, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(thin.getPixel(5, 5)), 0);    // inside the hole
  EXPECT_EQ(uiAlpha(thin.getPixel(5, 0)), 255);  // on the ring
  EXPECT_EQ(uiAlpha(thin.getPixel(5, 3)), 0);    // d = 2 < hole 3
  EXPECT_EQ(uiAlpha(thin.getPixel(5, 2)), 0);    // d = 3: on the hole's edge
  EXPECT_EQ(uiAlpha(thin.getPixel(2, 3)), 154);  // d = 3.606: (d - hole) * 1
}

TEST(Painters, CircularEllipseMatchesTheDisc) {
  for (float angle : {0.0f, 0.7f, 2.0f}) {
    TMemoryGraphic e(16, 16, 0u), d(16, 16, 0u);
    ASSERT_TRUE(e.fillEllipse({7.3f, 8.1f}, 4.6f, 4.6f, angle, 0xFFFFFFFFu, copyChannel, lerpChannel));
    ASSERT_TRUE(d.fillDiscF({7.3f, 8.1f}, 0xFFFFFFFFu, 4.6f, copyChannel, lerpChannel));
    EXPECT_EQ(std::vector<uint32_t>(e.pixels(), e.pixels() + 256), std::vector<uint32_t>(d.pixels(), d.pixels() + 256))
        << angle;
  }
  TMemoryGraphic g(8, 8, 0u);
  EXPECT_FALSE(g.fillEllipse({4, 4}, 3.0f, 0.0f, 0.0f, uiOpaqueBlack, copyChannel, copyChannel));
}

TEST(Painters, RotatedEllipseFollowsItsAngle) {
  TMemoryGraphic flat(21, 21, 0u), turned(21, 21, 0u);
  ASSERT_TRUE(flat.fillEllipse({10, 10}, 8.0f, 2.0f, 0.0f, uiOpaqueWhite, copyChannel, lerpChannel));
  ASSERT_TRUE(turned.fillEllipse({10, 10}, 8.0f, 2.0f, 1.5707964f, uiOpaqueWhite, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(flat.getPixel(17, 10)), 255);
  EXPECT_EQ(uiAlpha(flat.getPixel(10, 17)), 0);
  EXPECT_EQ(uiAlpha(turned.getPixel(10, 17)), 255);
  EXPECT_EQ(uiAlpha(turned.getPixel(17, 10)), 0);
}

TEST(Painters, EllipseCoreAndFalloff) {
  const TUiColor core = 0xFFFF0000u, rim = 0xFF0000FFu;
  TMemoryGraphic g(21, 21, 0u);
  ASSERT_TRUE(g.fillEllipseCore({10, 10}, 8.0f, 8.0f, 0.5f, 0.0f, core, rim, copyChannel, copyChannel));
  EXPECT_EQ(g.getPixel(10, 10), core);
  EXPECT_EQ(g.getPixel(17, 10), rim);
  const uint32_t between = g.getPixel(15, 10);  // d = 5: core coverage 4 - 5 + 1 = 0
  EXPECT_EQ(between, rim);
  TMemoryGraphic whole(21, 21, 0u), plain(21, 21, 0u);
  ASSERT_TRUE(whole.fillEllipseCore({10, 10}, 8.0f, 5.0f, 1.0f, 0.3f, core, rim, copyChannel, lerpChannel));
  ASSERT_TRUE(plain.fillEllipse({10, 10}, 8.0f, 5.0f, 0.3f, core, copyChannel, lerpChannel));
  EXPECT_EQ(std::vector<uint32_t>(whole.pixels(), whole.pixels() + 441),
            std::vector<uint32_t>(plain.pixels(), plain.pixels() + 441));

  TMemoryGraphic soft(21, 21, 0u);
  ASSERT_TRUE(
      soft.fillEllipseFalloff({10, 10}, 8.0f, 8.0f, 0.0f, uiOpaqueWhite, curveLinear, 0.0f, 0.0f, copyChannel,
                              lerpChannel));
  EXPECT_EQ(uiAlpha(soft.getPixel(10, 10)), 255);
  EXPECT_EQ(uiAlpha(soft.getPixel(15, 10)), 127);  // linear: 1 - 5 / 10
  TMemoryGraphic flatCurve(21, 21, 0u);
  ASSERT_TRUE(flatCurve.fillEllipseFalloff({10, 10}, 8.0f, 8.0f, 0.0f, uiOpaqueWhite, curveLinear, 1.0f, 0.0f,
                                           copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(flatCurve.getPixel(15, 10)), 255);  // inner ratio 1: no falloff
}

TEST(Painters, ShapeFalloffCases) {
  struct Case {
    float d, inner, floor, expected;
  };
  const Case cases[] = {{0.0f, 0.0f, 0.0f, 1.0f},  {0.5f, 1.0f, 0.0f, 1.0f},   {0.5f, 0.0f, 1.0f, 1.0f},
                        {0.5f, 0.0f, 0.0f, 0.5f},  {0.5f, 0.5f, 0.0f, 1.0f},   {0.75f, 0.5f, 0.0f, 0.5f},
                        {1.0f, 0.0f, 0.2f, 0.2f},  {0.5f, 0.0f, 0.2f, 0.6f},   {2.0f, 0.0f, 0.0f, 0.0f}};
  for (const Case& c : cases)
    EXPECT_FLOAT_EQ(shapeFalloff(curveLinear, c.d, c.inner, c.floor), c.expected) << c.d << " " << c.inner;
}

TEST(Painters, LineWeightsAndJoins) {
  TMemoryGraphic g(6, 3, 0u);
  ASSERT_TRUE(g.drawLineAA({0.0f, 0.0f}, {4.0f, 0.0f}, uiOpaqueWhite, copyChannel, lerpChannel));
  for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(uiAlpha(g.getPixel(x, 0)), 255) << x;
  EXPECT_EQ(uiAlpha(g.getPixel(4, 0)), 63);  // the end pixel at a quarter
  EXPECT_EQ(uiAlpha(g.getPixel(5, 0)), 0);
  EXPECT_EQ(uiAlpha(g.getPixel(2, 1)), 0);

  TMemoryGraphic half(4, 4, 0u);
  ASSERT_TRUE(half.drawLineAA({0.0f, 1.5f}, {3.0f, 1.5f}, uiOpaqueWhite, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(half.getPixel(1, 1)), 127);  // split between rows 1 and 2
  EXPECT_EQ(uiAlpha(half.getPixel(1, 2)), 127);

  TMemoryGraphic steep(3, 6, 0u);
  ASSERT_TRUE(steep.drawLineAA({1.0f, 5.0f}, {1.0f, 0.0f}, uiOpaqueWhite, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(steep.getPixel(1, 0)), 255);  // drawn from the smaller y
  EXPECT_EQ(uiAlpha(steep.getPixel(1, 5)), 63);

  TMemoryGraphic far(4, 4, 0u);
  EXPECT_FALSE(far.drawLineAA({5.0f, 5.0f}, {9.0f, 6.0f}, uiOpaqueWhite, copyChannel, lerpChannel));
  EXPECT_FALSE(far.drawLineAA({0.0f, 0.0f}, {NAN, 1.0f}, uiOpaqueWhite, copyChannel, lerpChannel));
}

TEST(Painters, PolylineGoesOnPastARepeatedPoint) {
  TMemoryGraphic g(8, 8, 0u);
  const TPointF pts[] = {{0, 0}, {3, 0}, {3, 0}, {3, 4}};
  ASSERT_TRUE(g.drawPolylineAA(pts, 4, uiOpaqueWhite, copyChannel, lerpChannel));
  EXPECT_EQ(uiAlpha(g.getPixel(3, 3)), 255);  // the segment after the repeated point is drawn
  EXPECT_FALSE(g.drawPolylineAA(pts, 1, uiOpaqueWhite, copyChannel, lerpChannel));
  const TPointF away[] = {{0, 0}, {20, 20}, {30, 30}, {0, 5}};
  EXPECT_FALSE(g.drawPolylineAA(away, 4, uiOpaqueWhite, copyChannel, lerpChannel));
}

TEST(Painters, ShapesFarOutsideOrHugeNeverWriteOutside) {
  // The graphic sits inside a guarded block: any write outside it shows.
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> coord(-1e6f, 1e6f), near(-20.0f, 30.0f);
  for (int round = 0; round < 300; ++round) {
    TMemoryGraphic g(9, 7, 0x11111111u);
    const bool big = round % 2 == 0;
    auto pick = [&] { return big ? coord(rng) : near(rng); };
    const TRect r{static_cast<int32_t>(pick()), static_cast<int32_t>(pick()), static_cast<int32_t>(pick()),
                  static_cast<int32_t>(pick())};
    const TPointF c{pick(), pick()};
    g.fillRect(r, uiOpaqueBlack, lerpChannel, copyChannel);
    g.fillChecker(r, 3, 2, uiOpaqueBlack, uiOpaqueWhite, copyChannel, copyChannel);
    g.frameRect(r, 2, uiOpaqueBlack, copyChannel, copyChannel);
    g.frameRounded(r, 1, uiOpaqueBlack, copyChannel, copyChannel);
    g.gradientLinear(r, uiOpaqueBlack, uiOpaqueWhite, static_cast<uint8_t>(round % 4), copyChannel, copyChannel);
    g.gradientCorners(r, 1, 2, 3, 4, copyChannel, copyChannel);
    g.gradientHueValue(r, 2, 0.3f, 1, 1, 1, copyChannel, copyChannel, round % 3 == 0);
    g.fillDisc({r.Left, r.Top}, r.Right, uiOpaqueBlack, copyChannel, lerpChannel);
    g.drawRing({r.Left, r.Top}, r.Right, 2, uiOpaqueBlack, copyChannel, lerpChannel);
    g.fillDiscF(c, uiOpaqueBlack, std::fabs(near(rng)), copyChannel, lerpChannel);
    g.fillEllipseCore(c, std::fabs(near(rng)), std::fabs(near(rng)), 0.4f, 0.5f, uiOpaqueBlack, uiOpaqueWhite,
                      copyChannel, lerpChannel);
    g.drawLineAA(c, {pick(), pick()}, uiOpaqueBlack, copyChannel, lerpChannel);
    EXPECT_EQ(g.width(), 9);
  }
}

}  // namespace
}  // namespace pg
