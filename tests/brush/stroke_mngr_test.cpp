#include "brush/stroke_mngr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "brush/plot_merge.h"
#include "pen_test_util.h"
#include "plot_test_util.h"

namespace pg::test {
namespace {

// ---- the ring ----------------------------------------------------------------------

TEST(CInterpolateTest, FirstPointFillsTheRingWithPressureZeroAndModesPickTheirEnds) {
  CInterpolate ip;
  EXPECT_EQ(ip.mode(), 1);
  EXPECT_FALSE(ip.addPoint({1, 2, 1}));  // not ready before reset
  ASSERT_TRUE(ip.reset());
  ASSERT_TRUE(ip.addPoint({4, 6, 0.8f}));
  for (int i = 0; i < 3; ++i) {
    SStrokePoint p;
    ASSERT_TRUE(ip.getPoint(i, p));
    EXPECT_EQ(p, (SStrokePoint{4, 6, 0}));
  }
  EXPECT_TRUE(ip.addPoint({8, 10, 1.0f}));
  // Mode 1: entry 1 is the mean of entries 0 and 2; the walk runs 2 -> 1.
  EXPECT_EQ(ip.getSegmentEnd(), (SStrokePoint{4, 6, 0}));
  EXPECT_EQ(ip.getSegmentStart(), (SStrokePoint{6, 8, 0.5f}));
  SStrokePoint p;
  EXPECT_FALSE(ip.getPoint(3, p));

  ip.setMode(0);
  EXPECT_TRUE(ip.reset());
  EXPECT_TRUE(ip.addPoint({0, 0, 1}));
  EXPECT_TRUE(ip.addPoint({5, 0, 1}));
  EXPECT_EQ(ip.getSegmentEnd(), (SStrokePoint{0, 0, 0}));
  EXPECT_EQ(ip.getSegmentStart(), (SStrokePoint{5, 0, 1}));
  EXPECT_EQ(ip.added(), 2);

  ip.setMode(7);
  EXPECT_FALSE(ip.reset());
}

// ---- the walk ------------------------------------------------------------------------

class StrokeMngrTest : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    EXPECT_TRUE(plane.Resize(120, 80));
    clearPlane(plane, 0);
    plot.pixelBlendOp = blendPixelOpacity;
    stroke.color = 0x00204080;
    mngr.setInterpolateMode(0);
  }
  void setSize(float px, float minFraction = 1.0f) {
    SPenShapeParam sp;
    sp.init(px);
    sp.setMinSize(minFraction);
    render.setShapeParam(sp);
  }
  // A two-point stroke; answers the dabs of the segment.
  int32_t stroke2(SStrokePoint a, SStrokePoint b) {
    mngr.beginStroke(0, SPenTarget{&plane, nullptr, origin, &plot}, &doc, &stroke);
    EXPECT_TRUE(mngr.firstPoint(a));
    EXPECT_TRUE(mngr.addPoint(b));
    return mngr.drawSegment();
  }

  TMTC plane;
  TPoint origin{};
  FakePenDocument doc;
  TStroke stroke;
  CPenRender render;
  CStrokeMngr mngr{&stroke, &render};
};

struct SIntervalCase {
  const char* name;
  int32_t spacing;  // thousandths
  float size;
  int32_t everyStep, splitStep;
  float length;
  int32_t dabs;
};

TEST_F(StrokeMngrTest, DabIntervalFollowsSpacingSizeAndTheStepThresholds) {
  const SIntervalCase cases[] = {
      {"spacing 0.1, size 30: every 3rd step", 100, 30.0f, 0, 0, 30.0f, 10},
      {"size 5: ceil(0.5) = 1, every step", 100, 5.0f, 0, 0, 30.0f, 30},
      {"below the dab-every-step size", 100, 30.0f, 31, 0, 30.0f, 30},
      {"split-step 3, end size 0.5: thirds", 100, 0.5f, 0, 3, 30.0f, 90},
      {"split-step 3, end size 2: halves", 100, 2.0f, 0, 3, 30.0f, 60},
      {"sub-pixel segment: one step", 100, 5.0f, 0, 0, 0.5f, 1},
      {"zero length: nothing", 100, 5.0f, 0, 0, 0.0f, 0},
      {"spacing 0 still steps", 0, 30.0f, 0, 0, 30.0f, 30},
      {"negative spacing from a recording", -5000, 30.0f, 0, 0, 30.0f, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SStrokeParam p;
    p.spacing = c.spacing;
    p.dabEveryStep = c.everyStep;
    p.splitStep = c.splitStep;
    mngr.setParam(p);
    setSize(c.size);
    EXPECT_EQ(stroke2({10, 40, 1}, {10 + c.length, 40, 1}), c.dabs);
    EXPECT_EQ(mngr.dabCount(), c.dabs);
  }
}

// The stroke painted by the manager equals the dabs painted one by one at the
// positions, sizes and opacities the walk gives.
struct SShapingCase {
  const char* name;
  bool pressureSize, pressureOpacity;
  int32_t gamma;
  SStrokePoint a, b;
};

TEST_F(StrokeMngrTest, StrokeEqualsItsDabsPaintedOneByOne) {
  const SShapingCase cases[] = {
      {"plain", false, false, 100, {10, 20, 1}, {70, 35, 1}},
      {"pressure to size from the first point's 0", true, false, 100, {10, 40, 1}, {100, 40, 1}},
      {"pressure to opacity", false, true, 100, {10, 40, 1}, {100, 60, 1}},
      {"gamma 2 on both", true, true, 200, {100, 10, 1}, {20, 70, 1}},
  };
  const float size = 6.0f, minFraction = 0.25f;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SStrokeParam p;
    p.pressureSize = c.pressureSize;
    p.pressureOpacity = c.pressureOpacity;
    p.gamma = c.gamma;
    p.spacing = 250;  // every 2nd step at size 6
    mngr.setParam(p);
    setSize(size, minFraction);
    clearPlane(plane, 0);
    const int32_t dabs = stroke2(c.a, c.b);

    TMTC ref(plane.Width, plane.Height);
    clearPlane(ref, 0);
    // The walk: from a + 0.25, L = the longer axis, the first point's pressure 0.
    const float dx = c.b.x - c.a.x, dy = c.b.y - c.a.y;
    const float L = std::max(std::fabs(dx), std::fabs(dy));
    const float pE = std::pow(1.0f, c.gamma / 100.0f);
    const int N = static_cast<int>(std::ceil(0.25f * size));
    const float m = minFraction * size;
    float x = c.a.x + 0.25f, y = c.a.y + 0.25f, pr = 0.0f;
    int expected = 0;
    for (int i = 0; i < static_cast<int>(std::ceil(L)); ++i) {
      if (i % N == 0) {
        const float s = c.pressureSize ? (size - m) * pr + m : size;
        referenceDab(plot, ref, origin, s, x, y, c.pressureOpacity ? pr : 1.0f, stroke.color);
        ++expected;
      }
      x += dx / L;
      y += dy / L;
      pr = std::clamp(pr + pE / L, 0.0f, 1.0f);
    }
    EXPECT_EQ(dabs, expected);
    EXPECT_EQ(differingPixels(plane, ref), 0);
  }
}

TEST_F(StrokeMngrTest, PressureToSizeGrowsFromTheMinimumAndTravelAccumulates) {
  SStrokeParam p;
  p.pressureSize = 1;
  p.spacing = 100;
  mngr.setParam(p);
  setSize(10.0f, 0.2f);
  stroke2({10, 40, 1}, {110, 40, 1});
  // Painted height near the start (size 2) is far below that near the end (10).
  auto height = [&](int32_t x) {
    int32_t n = 0;
    for (int32_t y = 0; y < plane.Height; ++y) n += (plane.getPixel(x, y) >> 24) != 0;
    return n;
  };
  EXPECT_LE(height(11), 6);
  EXPECT_GE(height(105), 18);
  // Travel: unit 4 per step, weighted by the pressure after each step.
  EXPECT_GT(stroke.travel, 100.0f);
  EXPECT_LT(stroke.travel, 4.0f * 100.0f);
}

TEST_F(StrokeMngrTest, DirtyRectanglesAreEvenAndCoverTheDabs) {
  setSize(4.0f);
  stroke2({11, 21, 1}, {31, 21, 1});
  const SRectXYWH r = mngr.getDirtyRect();
  EXPECT_EQ(r.X % 2, 0);
  EXPECT_EQ(r.Y % 2, 0);
  EXPECT_EQ(r.Width % 2, 0);
  EXPECT_EQ(r.Height % 2, 0);
  EXPECT_LE(r.X, 11 - 6);
  EXPECT_GE(r.X + r.Width, 30 + 6);  // the last step stops one short of the end
  // addDirty: the first dab sets both rectangles.
  CStrokeMngr fresh(&stroke, &render);
  fresh.addDirty(10, 20, false, 3, 5);
  EXPECT_EQ(fresh.dirtyWhole(), (SDirtyBox{3, 15, 17, 25}));
  EXPECT_EQ(fresh.dirtySinceLast(), fresh.dirtyWhole());
}

TEST_F(StrokeMngrTest, LayerOffsetAndOriginMapThePointsIntoThePlane) {
  doc.offset = {5, -3};
  origin = {10, 10};
  setSize(3.0f);
  stroke2({40, 40, 1}, {40.2f, 40, 1});  // one dab at 40 + 5 - 10 + 0.25
  TMTC ref(plane.Width, plane.Height);
  clearPlane(ref, 0);
  referenceDab(plot, ref, origin, 3.0f, 35.25f, 27.25f, 1.0f, stroke.color);
  EXPECT_EQ(differingPixels(plane, ref), 0);
}

TEST_F(StrokeMngrTest, DegenerateInputNeverCrashesAndIsBounded) {
  setSize(5.0f);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  // One point only: the ring holds it three times; no segment to draw.
  mngr.beginStroke(0, SPenTarget{&plane, nullptr, origin, &plot}, &doc, &stroke);
  ASSERT_TRUE(mngr.firstPoint({30, 30, 1}));
  EXPECT_EQ(mngr.drawSegment(), 0);
  // Repeated points draw nothing.
  EXPECT_TRUE(mngr.addPoint({30, 30, 1}));
  EXPECT_EQ(mngr.drawSegment(), 0);
  // Coordinates that are not numbers are refused.
  EXPECT_FALSE(mngr.addPoint({nan, 3, 1}));
  EXPECT_FALSE(mngr.firstPoint({inf, 3, 1}));
  // A NaN pressure counts as 0: with pressure to opacity nothing is painted.
  SStrokeParam p;
  p.pressureOpacity = 1;
  mngr.setParam(p);
  clearPlane(plane, 0);
  EXPECT_GT(stroke2({10, 10, nan}, {40, 10, nan}), 0);
  EXPECT_EQ(differingPixels(plane, TMTC(plane.Width, plane.Height)), 0);
  // Huge coordinates are clamped; the walk stays bounded.
  p.pressureOpacity = 0;
  p.spacing = 1000000000;  // an unbounded interval from a recording
  mngr.setParam(p);
  const int32_t dabs = stroke2({-1e30f, 0, 1}, {1e30f, 0, 1});
  EXPECT_GE(dabs, 1);
  EXPECT_LE(mngr.stepCount(), kMaxStrokeSegmentSteps);
  // Gamma and opacity out of range.
  p.gamma = -7;
  p.opacity = 99999;
  p.spacing = 100;
  mngr.setParam(p);
  EXPECT_GT(stroke2({10, 10, 0.5f}, {50, 50, 2.0f}), 0);
  // No renderer, no plane: nothing, no crash.
  CStrokeMngr bare(&stroke, nullptr);
  EXPECT_FALSE(bare.firstPoint({1, 1, 1}));
  EXPECT_EQ(bare.drawSegment(), 0);
  CPenRender r2;
  CStrokeMngr noPlane(&stroke, &r2);
  EXPECT_TRUE(noPlane.firstPoint({1, 1, 1}));
  EXPECT_TRUE(noPlane.addPoint({20, 1, 1}));
  EXPECT_GT(noPlane.drawSegment(), 0);
}

TEST_F(StrokeMngrTest, WatercolourBorrowsThePressureOpacitySwitchAndPutsItBack) {
  SPenRenderParam rp;
  rp.method = prmWatercolor;
  rp.speed = 10;
  rp.env = 50;
  render.setRenderParam(rp, 7);
  SStrokeParam p;
  p.pressureOpacity = 1;
  mngr.setParam(p);
  stroke.ifTRANSPARENCY = 0;
  setSize(4.0f);
  EXPECT_GT(stroke2({10, 10, 1}, {40, 10, 1}), 0);
  EXPECT_EQ(stroke.ifTRANSPARENCY, 0);
}

TEST_F(StrokeMngrTest, ResetStrokeTakesTheLayerIndexWithinRange) {
  doc.layers = 3;
  doc.current = 2;
  mngr.beginStroke(-1, SPenTarget{&plane, nullptr, origin, &plot}, &doc, &stroke);
  EXPECT_EQ(mngr.layerIndex(), 2);
  mngr.resetStroke(1);
  EXPECT_EQ(mngr.layerIndex(), 1);
  mngr.resetStroke(9);
  EXPECT_EQ(mngr.layerIndex(), 1);
}

TEST_F(StrokeMngrTest, ClearWorkZeroesTheWorkPlaneWhenForcedOrUsed) {
  TChannel work(16, 16);
  for (int32_t y = 0; y < 16; ++y) std::fill_n(work.pixelAt(0, y), 16, uint8_t{9});
  mngr.setTarget(SPenTarget{&plane, &work, origin, &plot}, &doc);
  mngr.clearWork(nullptr, false);
  EXPECT_EQ(work.getPixel(3, 3), 9);
  TRect r{2, 2, 40, 4};
  mngr.clearWork(&r, true);
  EXPECT_EQ(work.getPixel(3, 3), 0);
  EXPECT_EQ(work.getPixel(3, 5), 9);
  EXPECT_EQ(work.getPixel(15, 2), 0);
}

}  // namespace
}  // namespace pg::test
