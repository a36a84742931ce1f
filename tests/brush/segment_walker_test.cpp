#include "brush/segment_walker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "brush/dab_blur.h"
#include "core/aa_draw.h"
#include "core/blend_modes.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::PlotFixture;

bool sameBytes(const TChannel& a, const TChannel& b) {
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      if (a.getPixel(x, y) != b.getPixel(x, y)) return false;
  return true;
}

int countNonZero(const TChannel& c) {
  int n = 0;
  for (int32_t y = 0; y < c.Height; ++y)
    for (int32_t x = 0; x < c.Width; ++x) n += c.getPixel(x, y) != 0;
  return n;
}

class SegmentWalker : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    fill(coverage, uint8_t{0});
    fill(colour, 0xFF808080u);
    stroke.prepare(0, 10, 10);
    stroke.ifSIZE = 0;
    stroke.ifTRANSPARENCY = 0;
  }
  TStroke stroke;
  TChannel coverage{40, 40};
  TMTC colour{40, 40};
  SSegmentLayer layer;
};

TEST_F(SegmentWalker, DabIntervalByKind) {
  struct Case {
    uint8_t kind;
    float width;
    int64_t want;
  };
  const Case cases[] = {
      {skPen, 20.0f, 3},        {skWatercolor, 24.0f, 3}, {skWatercolor, 11.0f, 1}, {skBlur, 12.0f, 4},
      {skBlur2, 3.9f, 1},       {skEraser, 12.0f, 4},     {skAirbrush, 100.0f, 1},  {skLighten, 100.0f, 1},
      {200, 100.0f, 1},
  };
  for (const Case& c : cases) {
    stroke.kind = c.kind;
    stroke.WIDTH = c.width;
    EXPECT_EQ(segmentDabInterval(stroke, 1.0f, 1.0f), c.want) << int(c.kind) << " " << c.width;
  }
  // With pressure to size the smaller end decides (WIDTH 40, MIN 50: 20 and 40).
  stroke.kind = skPen;
  stroke.WIDTH = 40.0f;
  stroke.MIN = 50.0f;
  stroke.ifSIZE = 1;
  EXPECT_EQ(segmentDabInterval(stroke, 0.0f, 1.0f), 3);
  stroke.WIDTH = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(segmentDabInterval(stroke, 0.0f, 1.0f), 1);
}

TEST_F(SegmentWalker, PenDrawsDiscSpanOrBoth) {
  // A zero-length segment at (10, 20): one step (no half steps above width
  // 2), one dab at (10.5, 20.5), major axis x.
  struct Case {
    const char* what;
    float width;
    bool disc, span;
  };
  const Case cases[] = {
      {"radius 2.5: disc and span", 2.5f, true, true},
      {"radius 9: disc only", 9.0f, true, false},
  };
  for (const Case& c : cases) {
    stroke.kind = skPen;
    stroke.WIDTH = c.width;
    stroke.stepCount = 0;
    fill(coverage, uint8_t{0});
    drawSegment(stroke, coverage, colour, {10, 20, 1}, {10, 20, 1}, layer);
    TChannel want(40, 40);
    fill(want, uint8_t{0});
    if (c.disc) fillDiscSoftAA(want, 255, true, 10.5f, 20.5f, c.width, 1.0f, false);
    if (c.span) spanAAV(want, 10, 255, 20.5f - c.width, 20.5f + c.width, 1.0f, true);
    EXPECT_TRUE(sameBytes(coverage, want)) << c.what;
    EXPECT_EQ(stroke.stepCount, 1u) << c.what;
  }
  // Radius 0.9 (half steps: two dabs half a pixel apart): spans only.
  stroke.WIDTH = 0.9f;
  stroke.stepCount = 0;
  fill(coverage, uint8_t{0});
  drawSegment(stroke, coverage, colour, {10, 20, 1}, {10, 20, 1}, layer);
  TChannel want(40, 40);
  fill(want, uint8_t{0});
  spanAAV(want, 10, 255, 20.5f - 0.9f, 20.5f + 0.9f, 1.0f, true);
  spanAAV(want, 11, 255, 20.5f - 0.9f, 20.5f + 0.9f, 1.0f, true);
  EXPECT_TRUE(sameBytes(coverage, want));
  EXPECT_EQ(stroke.stepCount, 2u);
}

TEST_F(SegmentWalker, PenRadiusOnePointFiveDrawsDiscAndSpan) {
  // Below width 2 the pen takes half steps; on a zero-length segment both
  // dabs fall at 10.5 and 11.0 on the major axis.
  stroke.kind = skPen;
  stroke.WIDTH = 1.5f;
  drawSegment(stroke, coverage, colour, {10, 20, 1}, {10, 20, 1}, layer);
  TChannel want(40, 40);
  fill(want, uint8_t{0});
  fillDiscSoftAA(want, 255, true, 10.5f, 20.5f, 1.5f, 1.0f, false);
  spanAAV(want, 10, 255, 20.5f - 1.5f, 20.5f + 1.5f, 1.0f, true);
  fillDiscSoftAA(want, 255, true, 11.0f, 20.5f, 1.5f, 1.0f, false);
  spanAAV(want, 11, 255, 20.5f - 1.5f, 20.5f + 1.5f, 1.0f, true);
  EXPECT_TRUE(sameBytes(coverage, want));
}

TEST_F(SegmentWalker, StepsTravelAndIntervalRunOnAcrossSegments) {
  stroke.kind = skWatercolor;
  stroke.WIDTH = 24.0f;  // interval 3
  stroke.SPEED = 0.0f;
  // x major, D = 9.5: ten steps.
  drawSegment(stroke, coverage, colour, {2, 5, 0.5f}, {11.5f, 8, 0.5f}, layer);
  EXPECT_EQ(stroke.stepCount, 10u);
  const float L = std::hypot(9.5f, 3.0f);
  EXPECT_NEAR(stroke.travel, 10 * (L / 10.0f * 4.0f * 0.5f), 1e-3);
  drawSegment(stroke, coverage, colour, {11.5f, 8, 0.5f}, {11.5f, 10, 0.5f}, layer);
  EXPECT_EQ(stroke.stepCount, 13u);  // y major, D = 2: three steps
}

TEST_F(SegmentWalker, CountingKindsDrawNothing) {
  for (uint8_t kind : {uint8_t(skAirbrush), uint8_t(skRubpen), uint8_t(skDarken), uint8_t(skLighten), uint8_t(9), uint8_t(255)}) {
    stroke.kind = kind;
    stroke.stepCount = 0;
    stroke.travel = 0;
    fill(coverage, uint8_t{0});
    fill(colour, 0xFF808080u);
    drawSegment(stroke, coverage, colour, {3, 3, 1}, {9, 4, 1}, layer);
    EXPECT_EQ(stroke.stepCount, 7u) << int(kind);
    EXPECT_GT(stroke.travel, 0.0f) << int(kind);
    EXPECT_EQ(countNonZero(coverage), 0) << int(kind);
    for (int32_t y = 0; y < 40; ++y)
      for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(colour.getPixel(x, y), 0xFF808080u) << int(kind);
  }
}

TEST_F(SegmentWalker, PressureIsClampedForTheDabOnly) {
  stroke.kind = skEraser;
  stroke.WIDTH = 4.0f;  // interval 2
  stroke.ifTRANSPARENCY = 1;
  // A zero-length segment at pressure 3: the dab at opacity 1.0, travel with 3.
  drawSegment(stroke, coverage, colour, {20, 20, 3.0f}, {20, 20, 3.0f}, layer);
  EXPECT_NEAR(stroke.travel, 0.0f, 1e-6);  // L = 0
  TMTC want(40, 40);
  fill(want, 0xFF808080u);
  fillDiscAA(want, layerBlendNeutral(3), true, 20.5f, 20.5f, 4.0f, 1.0f, false);
  EXPECT_TRUE(test::samePixels(colour, want));
  stroke.travel = 0;
  drawSegment(stroke, coverage, colour, {20, 20, 3.0f}, {21, 20, 3.0f}, layer);
  EXPECT_NEAR(stroke.travel, 2 * (1.0f / 2.0f * 4.0f * 3.0f), 1e-4);
}

TEST_F(SegmentWalker, ThinStrokesTakeHalfStepsAndTwiceTheTravel) {
  struct Case {
    const char* what;
    uint8_t kind;
    float width;
    uint8_t ifSize;
    float pressure;
    uint32_t steps;
  };
  const Case cases[] = {
      {"thin pen", skPen, 1.5f, 0, 1.0f, 10},
      {"pen of width 2", skPen, 2.0f, 0, 1.0f, 5},
      {"pen sized by pressure, below 2 at the ends", skPen, 3.0f, 1, 0.1f, 10},
      {"pen sized by pressure, 3 at the ends", skPen, 3.0f, 1, 1.0f, 5},
      {"thin eraser", skEraser, 2.5f, 0, 1.0f, 10},
      {"eraser of width 3", skEraser, 3.0f, 0, 1.0f, 5},
      {"thin watercolour: whole steps", skWatercolor, 1.0f, 0, 1.0f, 5},
  };
  for (const Case& c : cases) {
    stroke.kind = c.kind;
    stroke.WIDTH = c.width;
    stroke.ifSIZE = c.ifSize;
    stroke.MIN = 10.0f;
    stroke.stepCount = 0;
    stroke.travel = 0;
    drawSegment(stroke, coverage, colour, {5, 5, c.pressure}, {9, 5, c.pressure}, layer);  // D = 4: five steps
    EXPECT_EQ(stroke.stepCount, c.steps) << c.what;
    EXPECT_NEAR(stroke.travel, c.steps * (4.0f / 5.0f * 4.0f * c.pressure), 1e-3) << c.what;
  }
}

TEST_F(SegmentWalker, WatercolourWithoutSpeedStartsFromTheStrokeColour) {
  stroke.kind = skWatercolor;
  stroke.WIDTH = 4.0f;
  stroke.SPEED = 0.0f;
  stroke.ENV = 0.0f;
  stroke.color = 0x00102030;
  stroke.watercolor.startColor = 0x00FFFFFF;
  drawSegment(stroke, coverage, colour, {20, 20, 1}, {20, 20, 1}, layer);
  EXPECT_EQ(stroke.watercolor.paintColor & 0xFFFFFF, 0x102030u);
  // With speed the pick-up fades in along the travel: no travel yet, the start colour.
  stroke.SPEED = 30.0f;
  stroke.travel = 0.0f;
  mixWatercolor(stroke, 0);
  EXPECT_EQ(stroke.watercolor.paintColor & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(SegmentWalker, WatercolourCarriesTheCanvasColourByEnvSteps) {
  stroke.ENV = 50.0f;  // steps of 5, paint toward carried by 127
  stroke.SPEED = 0.0f;
  stroke.color = 0;
  stroke.watercolor.carried[0] = 100.0f;  // red
  stroke.watercolor.carried[1] = 100.0f;  // green
  stroke.watercolor.carried[2] = 100.0f;  // blue
  mixWatercolor(stroke, 0x00C86462);       // canvas red 200, green 100, blue 98
  EXPECT_EQ(stroke.watercolor.carried[0], 105.0f);
  EXPECT_EQ(stroke.watercolor.carried[1], 100.0f);
  EXPECT_EQ(stroke.watercolor.carried[2], 98.0f);
  uint32_t want = 0;
  lerpPixelRgbTab(&want, 0x00696462, 127);
  EXPECT_EQ(stroke.watercolor.paintColor, want);
}

TEST_F(SegmentWalker, BlurAndBlur2Dabs) {
  CBlockVMTC image(40, 40);
  image.fill(0xFF204060);
  layer.image = &image;
  stroke.kind = skBlur;
  stroke.WIDTH = 3.0f;
  stroke.EFFECT = 100.0f;
  drawSegment(stroke, coverage, colour, {20, 20, 1}, {20, 20, 1}, layer);
  TMTC want(40, 40);
  fill(want, 0xFF808080u);
  paintStrokeDab(want, image, 3, 3.0f, 20.5f, 20.5f);
  EXPECT_TRUE(test::samePixels(colour, want));
  layer.image = nullptr;
  drawSegment(stroke, coverage, colour, {20, 20, 1}, {20, 20, 1}, layer);  // no source: nothing
  EXPECT_TRUE(test::samePixels(colour, want));

  stroke.kind = skBlur2;
  stroke.stepCount = 0;
  drawSegment(stroke, coverage, colour, {20, 20, 0.5f}, {20, 20, 0.5f}, layer);
  TChannel want8(40, 40);
  fill(want8, uint8_t{0});
  fillDiscSoftAA(want8, 16, true, 20.5f, 20.5f, 3.0f, 1.0f, true);
  EXPECT_TRUE(sameBytes(coverage, want8));
}

TEST_F(SegmentWalker, BrokenOrHugeSegmentsAreBounded) {
  stroke.kind = skPen;
  stroke.WIDTH = 3.0f;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  drawSegment(stroke, coverage, colour, {nan, 5, 1}, {9, 5, 1}, layer);
  drawSegment(stroke, coverage, colour, {5, 5, 1}, {9, 5, nan}, layer);
  EXPECT_EQ(stroke.stepCount, 0u);
  drawSegment(stroke, coverage, colour, {5, 5, 1}, {1e30f, 5, 1}, layer);
  EXPECT_EQ(stroke.stepCount, static_cast<uint32_t>(kMaxSegmentSteps + 1));
}

}  // namespace
}  // namespace pg
