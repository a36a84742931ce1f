#include "brush/pen_render.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "brush/pen_shape_obj.h"
#include "brush/plot_merge.h"
#include "brush/stroke_mngr.h"
#include "brush/stroke_settings.h"
#include "pen_test_util.h"
#include "plot_test_util.h"

namespace pg::test {
namespace {

class PenRenderTest : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    recordedCalls().clear();
    EXPECT_TRUE(plane.Resize(48, 40));
    clearPlane(plane, 0xFF808080u);
    render.setStroke(&stroke);
    render.setTarget(&doc);
    stroke.color = 0x000000FF;
    EXPECT_TRUE(render.takeColors());
  }
  void setSize(float px) {
    SPenShapeParam sp;
    sp.init(px);
    render.setShapeParam(sp);
  }
  void setMethod(int32_t m, int32_t effect = 0) {
    SPenRenderParam p;
    p.method = static_cast<uint8_t>(m);
    p.effect = effect;
    p.env = 30;
    p.speed = 5;
    render.setRenderParam(p, 7);
  }
  SPenTarget target() { return SPenTarget{&plane, nullptr, {}, &plot}; }

  TMTC plane;
  FakePenDocument doc;
  TStroke stroke;
  CPenRender render;
};

TEST_F(PenRenderTest, RecordsStoreWithTheirSentinelsAndRoundTrip) {
  EXPECT_EQ(render.getShapeParam().getSize(), 10.0f);
  EXPECT_FALSE(render.getEdgeParam().isHard());
  SPenRenderParam p;
  p.method = 5;
  p.subMode = 1;
  p.shapeFlag = 1;
  p.workPlane = 7;
  p.effect = 40;
  p.env = 0x12345;  // read as 16 bits
  p.speed = 9;
  EXPECT_TRUE(render.setRenderParam(p, 1 | 2));
  SPenRenderParam got = render.getRenderParam();
  EXPECT_EQ(got.method, 5);
  EXPECT_EQ(got.workPlane, 1);
  EXPECT_EQ(got.effect, 40);
  EXPECT_EQ(got.env, 0x2345);
  EXPECT_EQ(got.speed, 0);  // bit 4 not in the mask
  EXPECT_FALSE(render.setRenderParam(got, 7));
  // 255 / negative leave the fields alone.
  EXPECT_FALSE(render.setRenderMethod(255, -1, -1, 255));
  EXPECT_TRUE(render.setRenderMethod(2, -1, 0, 255));
  got = render.getRenderParam();
  EXPECT_EQ(got.method, 2);
  EXPECT_EQ(got.subMode, 1);
  EXPECT_EQ(got.workPlane, 0);
  EXPECT_EQ(got.shapeFlag, 1);
  // Colour pair from the stroke, opaque whatever its alpha byte (a
  // recording carries colours without one); none without a stroke.
  stroke.subColor = 0x00ABCDEF;
  EXPECT_TRUE(render.takeColors());
  uint32_t a = 0, b = 0;
  render.getColorPair(a, b);
  EXPECT_EQ(a, 0xFF0000FFu);
  EXPECT_EQ(b, 0xFFABCDEFu);
  CPenRender bare;
  EXPECT_FALSE(bare.takeColors());
  // Grade map: a change answers true once.
  SGradeMapParam g;
  g.type = 1;
  g.value1 = 300;
  EXPECT_TRUE(render.setGradeMapParam(g));
  EXPECT_FALSE(render.setGradeMapParam(g));
  EXPECT_EQ(render.getGradeMapParam(), g);
}

TEST_F(PenRenderTest, SizeQueriesWithoutNib) {
  SPenShapeParam sp;
  sp.init(12.0f);
  sp.setMinSize(0.25f);
  render.setShapeParam(sp);
  EXPECT_FLOAT_EQ(render.getSize(), 12.0f);
  EXPECT_FLOAT_EQ(render.getMinSize(12.0f), 3.0f);
  EXPECT_FLOAT_EQ(render.scaleSize(0.1f, 30.0f), 3.0f);
  int32_t ex = 0, ey = 0;
  render.getDabExtent(4.2f, ex, ey);
  EXPECT_EQ(ex, 5);
  EXPECT_EQ(ey, 5);
}

TEST_F(PenRenderTest, OpacityZeroAndNonNumbersDrawNothing) {
  const TMTC before(plane.Width, plane.Height);
  TMTC copy(plane.Width, plane.Height);
  clearPlane(copy, 0xFF808080u);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const SPenDab dabs[] = {{0.0f, 5, 20, 20}, {nan, 5, 20, 20}, {1, 5, nan, 20}, {1, 5, 1e9f, 20}, {-1, 5, 20, 20}};
  for (const auto& d : dabs) EXPECT_FALSE(render.drawDab(target(), d));
  EXPECT_EQ(differingPixels(plane, copy), 0);
  // A NaN or huge size is drawn at the limits, never past the plane.
  EXPECT_TRUE(render.drawDab(target(), {1, nan, 20, 20}));
  EXPECT_TRUE(render.drawDab(target(), {1, 1e20f, 20, 20}));
  CPenRender noStroke;
  EXPECT_FALSE(noStroke.drawDab(SPenTarget{}, {1, 5, 20, 20}));
}

TEST_F(PenRenderTest, HardEdgeGivesFullOrNoCoverage) {
  plot.plotProc32 = recordPlot32;
  SEdgeParam e;
  e.setHard(true);
  render.setEdgeParam(e);
  setSize(6.0f);
  ASSERT_TRUE(render.drawDab(target(), {1.0f, 6.0f, 20.3f, 18.7f}));
  std::set<uint32_t> seen;
  for (const auto& c : recordedCalls()) seen.insert(c.coverage);
  EXPECT_EQ(seen, (std::set<uint32_t>{0u, 255u}));
  // Soft: in-between values too.
  recordedCalls().clear();
  render.setEdgeParam(SEdgeParam{});
  EXPECT_TRUE(render.drawDab(target(), {1.0f, 6.0f, 20.3f, 18.7f}));
  seen.clear();
  for (const auto& c : recordedCalls()) seen.insert(c.coverage);
  EXPECT_GT(seen.size(), 2u);
}

TEST_F(PenRenderTest, EraserLowersAlphaOrPaintsTheNeutralColourWithKeepAlpha) {
  SEdgeParam e;
  e.setHard(true);
  render.setEdgeParam(e);
  setSize(4.0f);
  setMethod(prmEraser);
  stroke.layerNeutral = 0x00FFFFFF;
  clearPlane(plane, 0xFF0000FFu);
  plot.pixelBlendOp = blendPixelOpacity;
  ASSERT_TRUE(render.drawDab(target(), {1.0f, 4.0f, 20, 20}));
  EXPECT_EQ(plane.getPixel(20, 20), 0x000000FFu);  // alpha gone, colour kept
  EXPECT_EQ(plot.pixelBlendOp, &blendPixelOpacity);  // the merge is put back
  clearPlane(plane, 0xFF0000FFu);
  stroke.opaque = 1;
  plot.pixelBlendOp = lerpPixelRgb;
  ASSERT_TRUE(render.drawDab(target(), {1.0f, 4.0f, 20, 20}));
  EXPECT_EQ(plane.getPixel(20, 20), 0xFFFFFFFFu);
}

TEST_F(PenRenderTest, BlurOfRadiusZeroStillAveragesThreeByThree) {
  SEdgeParam e;
  e.setHard(true);
  render.setEdgeParam(e);
  setMethod(prmBlur, 0);
  stroke.opaque = 1;  // the plain mean, alpha kept by the merge
  plot.pixelBlendOp = lerpPixelRgb;
  TMTC src(plane.Width, plane.Height);
  clearPlane(src, 0xFF000000u);
  *src.pixelAt(20, 20) = 0xFFFFFFFFu;
  render.setDabOpacity(&src, 8.0f);
  EXPECT_EQ(render.blurRadius(), 0);
  ASSERT_TRUE(render.drawDab(target(), {1.0f, 8.0f, 20.5f, 20.5f}));
  EXPECT_EQ(plane.getPixel(21, 21) & 0xFFFFFFu, 0x1C1C1Cu);  // 255 / 9
  EXPECT_EQ(plane.getPixel(22, 20) & 0xFFFFFFu, 0u);
}

// The sliding column sums give the window means summed from scratch.
TEST_F(PenRenderTest, BlurSlidingSumsEqualDirectMeansOnRandomData) {
  std::mt19937 rng(1234);
  TMTC src(plane.Width, plane.Height);
  fillRandom(src, rng);
  SEdgeParam e;
  e.setHard(true);
  render.setEdgeParam(e);
  setMethod(prmBlur, 25);  // r = round(0.25 * 12) = 3
  setSize(12.0f);
  for (int weighted = 0; weighted < 2; ++weighted) {
    SCOPED_TRACE(weighted);
    stroke.opaque = weighted ? 0 : 1;
    plot.pixelBlendOp = lerpPixelRgb;
    clearPlane(plane, 0xFF808080u);
    render.setDabOpacity(&src, 12.0f);
    ASSERT_EQ(render.blurRadius(), 3);
    ASSERT_TRUE(render.drawDab(target(), {1.0f, 12.0f, 6.5f, 20.5f}));  // touches the left border
    const int r = 3, area = 49;
    int checked = 0;
    for (int y = 0; y < plane.Height; ++y)
      for (int x = 0; x < plane.Width; ++x) {
        if (plane.getPixel(x, y) == 0xFF808080u) continue;
        int64_t s[4] = {0, 0, 0, 0};
        for (int j = -r; j <= r; ++j)
          for (int i = -r; i <= r; ++i) {
            const uint32_t p = src.getPixel(std::clamp(x + i, 0, src.Width - 1), std::clamp(y + j, 0, src.Height - 1));
            const uint32_t a = p >> 24;
            for (int k = 0; k < 3; ++k) s[k] += weighted ? productAt((p >> (8 * k)) & 0xFF, a) : (p >> (8 * k)) & 0xFF;
            s[3] += a;
          }
        uint32_t want = 0;
        for (int k = 0; k < 3; ++k) {
          const int64_t v = weighted ? (s[3] ? std::min<int64_t>(255, s[k] * 255 / s[3]) : 0) : s[k] / area;
          want |= static_cast<uint32_t>(v) << (8 * k);
        }
        const uint32_t got = plane.getPixel(x, y);
        if (weighted) {
          want |= static_cast<uint32_t>(s[3] / area) << 24;
          if ((want >> 24) == 0) continue;
          EXPECT_EQ(got, want) << x << "," << y;
        } else {
          EXPECT_EQ(got & 0xFFFFFFu, want) << x << "," << y;
        }
        ++checked;
      }
    EXPECT_GT(checked, 100);
  }
}

// The dab merges through the burn/dodge merge with the curve of its
// sub-mode, and the merge is put back afterwards.
TEST_F(PenRenderTest, BurnAndDodgeMergeThroughTheirToneCurve) {
  SEdgeParam e;
  e.setHard(true);
  render.setEdgeParam(e);
  setSize(5.0f);
  // Effect 50 burns (sub-mode 0) or dodges (1); without effect neither
  // changes anything.
  for (const int effect : {50, 0})
    for (int sub = 0; sub < 2; ++sub) {
      SCOPED_TRACE(std::to_string(effect) + " " + std::to_string(sub));
      clearPlane(plane, 0xFF604020u);
      SPenRenderParam p;
      p.method = prmBurnDodge;
      p.subMode = static_cast<uint8_t>(sub);
      p.effect = effect;
      render.setRenderParam(p, 7);
      render.beginDab(target(), 1.0f, 20, 20);
      ASSERT_TRUE(render.drawDab(target(), {1.0f, 5.0f, 20.5f, 20.5f}));
      EXPECT_EQ(plot.pixelBlendOp, &lerpPixelRgb);
      if (effect == 0) {
        for (int32_t y = 14; y < 27; ++y)
          for (int32_t x = 14; x < 27; ++x) ASSERT_EQ(plane.getPixel(x, y), 0xFF604020u) << x << "," << y;
        continue;
      }
      CurveTable want{};
      buildPowerCurve(want, sub == 1 ? 1.0 / 1.1 : 1.1);
      uint32_t expected = 0xFF604020u;
      blendPixelFalloff(want, &expected, stroke.color, 255);
      EXPECT_EQ(plane.getPixel(20, 20), expected);
    }
}

// Every method (and a method number beyond the seven) paints a stroke through
// the manager without leaving the plane or the merge changed.
TEST_F(PenRenderTest, EveryMethodPaintsAStroke) {
  for (int m : {0, 1, 2, 3, 4, 5, 6, 9}) {
    SCOPED_TRACE(m);
    clearPlane(plane, 0xFF808080u);
    for (int x = 0; x < 24; ++x)
      for (int y = 0; y < plane.Height; ++y) *plane.pixelAt(x, y) = 0xFF2040C0u;
    plot.pixelBlendOp = blendPixelOpacity;
    setMethod(m, 60);
    setSize(4.0f);
    stroke.color = 0x0000FF00;
    CStrokeMngr mngr(&stroke, &render);
    mngr.setInterpolateMode(0);
    mngr.beginStroke(0, target(), &doc, &stroke);
    EXPECT_TRUE(mngr.firstPoint({10, 20, 1}));
    for (float x = 14; x <= 40; x += 4) {
      EXPECT_TRUE(mngr.addPoint({x, 20, 0.8f}));
      mngr.drawSegment();
    }
    mngr.endStroke();
    TMTC ref(plane.Width, plane.Height);
    clearPlane(ref, 0xFF808080u);
    for (int x = 0; x < 24; ++x)
      for (int y = 0; y < plane.Height; ++y) *ref.pixelAt(x, y) = 0xFF2040C0u;
    EXPECT_GT(differingPixels(plane, ref), 0);
    EXPECT_EQ(plot.pixelBlendOp, &blendPixelOpacity);
  }
}

TEST_F(PenRenderTest, WorkPlaneMethodsDrawCoverageOnly) {
  TChannel work(plane.Width, plane.Height);
  for (int32_t y = 0; y < work.Height; ++y) std::fill_n(work.pixelAt(0, y), work.Width, uint8_t{0});
  SPenRenderParam p;
  p.workPlane = 1;
  render.setRenderParam(p, 0);
  setSize(2.0f);
  const SPenTarget t{&plane, &work, {}};
  ASSERT_TRUE(render.drawDabCoverageSplit(t, {1.0f, 2.0f, 20.25f, 20.25f}, 255));
  EXPECT_EQ(render.getRenderParam().shapeFlag, 0);  // restored
  EXPECT_GT(work.getPixel(20, 20), 0);
  EXPECT_FALSE(render.drawDabCoverage(SPenTarget{&plane, nullptr, {}}, {1.0f, 2.0f, 20, 20}, 255));
}

TEST_F(PenRenderTest, ImageNibSetsSizesAndDraws) {
  TChannel img(20, 10);
  for (int32_t y = 0; y < img.Height; ++y) std::fill_n(img.pixelAt(0, y), img.Width, uint8_t{255});
  CPenShapeObj nib;
  ASSERT_TRUE(nib.setImage(img, true));
  render.setNib(&nib, false, false, false);
  ASSERT_TRUE(render.hasNib());
  EXPECT_FLOAT_EQ(render.getSize(), static_cast<float>(nib.scale()));
  int32_t ex = 0, ey = 0;
  render.getDabExtent(100.0f, ex, ey);
  EXPECT_EQ(ex, 10);
  EXPECT_EQ(ey, 5);
  render.beginDab(target(), 1.0f, 20, 20);
  EXPECT_TRUE(render.drawDab(target(), {1.0f, 100.0f, 20, 20}));
  render.endStroke();
  EXPECT_EQ(nib.scale(), 100);
  render.setNib(nullptr, false, false, false);
  EXPECT_FALSE(render.hasNib());
}

}  // namespace
}  // namespace pg::test
