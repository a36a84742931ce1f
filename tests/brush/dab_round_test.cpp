#include "brush/dab_round.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "brush/plot_merge.h"
#include "brush/plot_rows.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::PlotFixture;
using test::recordedCalls;

class RoundDab : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    recordedCalls().clear();
  }
};

TEST_F(RoundDab, BoxIsFloorAndCeilClippedWithItsOffset) {
  TMTC plane(10, 8);
  struct Case {
    float r, cy, cx;
    bool ok;
    TRect box;
    TPoint offset;
  };
  const Case cases[] = {
      {2.0f, 4.0f, 5.0f, true, {3, 2, 7, 6}, {0, 0}},
      {1.5f, 4.5f, 5.25f, true, {3, 3, 7, 6}, {0, 0}},
      {3.0f, 1.0f, -1.5f, true, {0, 0, 2, 4}, {5, 2}},
      {3.0f, 20.0f, 5.0f, false, {}, {}},
      {std::numeric_limits<float>::quiet_NaN(), 4.0f, 4.0f, false, {}, {}},
      {1e30f, 4.0f, 4.0f, true, {0, 0, 10, 8}, {}},
  };
  for (const Case& c : cases) {
    TRect box{};
    TPoint offset{};
    const bool ok = dabBox(plane, box, offset, c.r, c.cy, c.cx);
    EXPECT_EQ(ok, c.ok) << c.r << " " << c.cy << " " << c.cx;
    if (!ok || !c.ok) continue;
    EXPECT_EQ(box, c.box) << c.r << " " << c.cy << " " << c.cx;
    if (c.r < 1e29f) {
      EXPECT_EQ(offset, c.offset) << c.r << " " << c.cy << " " << c.cx;
    }
  }
}

TEST_F(RoundDab, TinyDabCoversOnlyNearPixelsButCallsEveryBoxPixel) {
  TMTC plane(10, 10);
  plot.plotProc32 = &test::recordPlot32;
  paintRoundDab(plot, plane, 0x123456, 1.0f, 0.4f, 5.7f, 5.5f);  // box: x 5, y 5..6
  ASSERT_EQ(recordedCalls().size(), 2u);
  EXPECT_EQ(recordedCalls()[0].x, 5);
  EXPECT_EQ(recordedCalls()[0].y, 5);
  EXPECT_GT(recordedCalls()[0].coverage, 0u);  // centre 0.2 away
  EXPECT_EQ(recordedCalls()[1].y, 6);
  EXPECT_EQ(recordedCalls()[1].coverage, 0u);  // centre 0.8 away
  EXPECT_EQ(recordedCalls()[1].colour, 0x123456u);
}

TEST_F(RoundDab, CoverageFollowsTheFalloffTableAndOpacity) {
  // Linear curve (the start state): weight at index i is about 255 (1 - i/2047).
  struct Case {
    float opacity;
    float dx;  // the pixel centre's distance from the dab centre along x
    uint32_t want;
  };
  const Case cases[] = {
      {1.0f, 0.0f, 255},   // the centre
      {0.5f, 0.0f, 127},   // (0xFF0000 * 32768) >> 32
      {1.0f, 5.0f, 127},   // half the radius: index 1023
      {1.0f, 10.0f, 0},    // at the rim
      {3.0f, 0.0f, 255},   // opacity above 1 counts as 1
  };
  for (const Case& c : cases) {
    const int32_t op16 = dabOpacity16(c.opacity);
    EXPECT_EQ(roundDabCoverage(*plot.falloffTable, 20, 20, 20.5f - c.dx, 20.5f, 10.0f, op16), c.want) << c.opacity << " " << c.dx;
  }
  EXPECT_EQ(dabOpacity16(std::numeric_limits<float>::quiet_NaN()), 0);
}

TEST_F(RoundDab, NothingForNoOpacityOrABadDab) {
  TMTC plane(8, 8);
  plot.plotProc32 = &test::recordPlot32;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    float opacity, r, cy, cx;
  };
  const Case cases[] = {{0.0f, 3, 4, 4}, {-1.0f, 3, 4, 4}, {nan, 3, 4, 4}, {1.0f, nan, 4, 4},
                        {1.0f, 3, nan, 4}, {1.0f, 3, 4, nan}, {1.0f, 3, 100, 100}};
  for (const Case& c : cases) {
    paintRoundDab(plot, plane, 0, c.opacity, c.r, c.cy, c.cx);
    reference::paintRoundDab(plot, plane, 0, c.opacity, c.r, c.cy, c.cx);
  }
  EXPECT_TRUE(recordedCalls().empty());
}

// Dabs anywhere, of any size, partly or wholly outside: every call lies in
// the dab's box and in the plane, and the fast form writes nothing the
// reference form would not.
TEST_F(RoundDab, CoverageNeverLeavesTheDabOrThePlane) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<float> pos(-40.0f, 80.0f), rad(0.0f, 30.0f);
  const float radii[] = {0.0f, -3.0f, 1e9f, std::numeric_limits<float>::infinity()};
  TMTC plane(40, 30);
  for (int i = 0; i < 300; ++i) {
    const float cx = pos(rng), cy = pos(rng);
    const float r = i < 4 ? radii[i] : rad(rng);
    recordedCalls().clear();
    plot.plotProc32 = &test::recordPlot32;
    paintRoundDab(plot, plane, 0, 1.0f, r, cy, cx);
    TRect box;
    TPoint offset;
    const bool any = dabBox(plane, box, offset, r, cy, cx);
    for (const test::SPlotCall& call : recordedCalls()) {
      ASSERT_TRUE(any);
      ASSERT_TRUE(ptInRect(box, {call.x, call.y})) << cx << " " << cy << " " << r;
      ASSERT_TRUE(insideGrid(call.x, call.y, plane.Width, plane.Height));
      if (call.coverage > 0) {
        const float dx = call.x + 0.5f - cx, dy = call.y + 0.5f - cy;
        ASSERT_LT(std::sqrt(dx * dx + dy * dy), r);
      }
    }
    // The fast form (direct call-back, a known merge) on real pixels.
    plot.plotProc32 = &plotColorDirect;
    plot.pixelBlendOp = &blendPixelOpacity;
    fill(plane, 0u);
    paintRoundDab(plot, plane, 0x00FFFFFF, 1.0f, r, cy, cx);
    for (int32_t y = 0; y < plane.Height; ++y)
      for (int32_t x = 0; x < plane.Width; ++x) {
        if (plane.getPixel(x, y) != 0) {
          ASSERT_TRUE(any && ptInRect(box, {x, y})) << cx << " " << cy << " " << r;
        }
      }
  }
}

// The fast form against the reference on seeded random dabs, for each slot
// setting the row plotters specialise and one they do not.
TEST_F(RoundDab, FastFormEqualsReference) {
  std::mt19937 rng(5);
  auto mask = test::randomMask(200, 150, rng);
  buildPowerCurve(state.toneCurveTable, 0.8);
  std::uniform_real_distribution<float> pos(-30.0f, 230.0f), rad(0.0f, 40.0f), op(0.0f, 1.2f);
  std::uniform_int_distribution<int> curve(0, 5);
  test::forEachKernelLevel([&] {
    for (const test::SSlotSetting& s : test::kSlotSettings) {
      test::useSlotSetting(plot, s, mask.get());
      plot.plotMaskOffsetX = 7;
      plot.plotMaskOffsetY = -9;
      TMTC fast(200, 150), ref(200, 150);
      test::fillRandom(fast, rng);
      ASSERT_TRUE(ref.copyPixelsFrom(fast));
      for (int i = 0; i < 60; ++i) {
        const float cx = pos(rng), cy = pos(rng), r = rad(rng), o = op(rng);
        const uint32_t colour = static_cast<uint32_t>(rng());
        setFalloffCurve(state, nullptr, static_cast<uint8_t>(curve(rng)), false);
        paintRoundDab(plot, fast, colour, o, r, cy, cx);
        reference::paintRoundDab(plot, ref, colour, o, r, cy, cx);
      }
      EXPECT_TRUE(test::samePixels(fast, ref)) << s.what;
    }
  });
}

TEST_F(RoundDab, TileDabTakesTileColoursAndTheFallback) {
  TMTC source(20, 20);
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) *source.pixelAt(x, y) = x < 10 ? 0xFF00FF00u : 0x000000FFu;
  CPenTC tile;
  ASSERT_TRUE(tile.setDab(source, 3.0f, 10.5f, 10.5f));
  TMTC plane(20, 20);
  plot.plotProc32 = &test::recordPlot32;
  paintTileDab(plot, plane, 0x00ABCDEF, tile, 1.0f, 3.0f, 10.5f, 10.5f);
  ASSERT_FALSE(recordedCalls().empty());
  for (const test::SPlotCall& c : recordedCalls()) {
    // Where the tile has alpha the tile's pixel, elsewhere the fallback.
    EXPECT_EQ(c.colour, c.x < 10 ? 0xFF00FF00u : 0x00ABCDEFu) << c.x << " " << c.y;
    EXPECT_EQ(c.coverage, roundDabCoverage(*plot.falloffTable, c.x, c.y, 10.5f, 10.5f, 3.0f, 65536));
  }
  recordedCalls().clear();
  paintTileDab(plot, plane, 0, tile, 1.0f, 50.0f, 10.5f, 10.5f);  // does not fit the tile
  EXPECT_TRUE(recordedCalls().empty());
}

}  // namespace
}  // namespace pg
