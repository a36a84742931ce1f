#include "brush/plot_callbacks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "brush/dab_plane.h"
#include "brush/gradient.h"
#include "brush/plot_merge.h"
#include "brush/tone_list.h"
#include "brush/stroke_settings.h"
#include "core/blend_modes.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::FakePlotDocument;
using test::PlotFixture;

constexpr uint32_t px(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }

// ---- merges ---------------------------------------------------------------------

TEST(PlotMerge, CoverageZeroLeavesEveryPixelAlone) {
  struct Op {
    const char* name;
    PixelOp32 op;
  };
  const Op ops[] = {
      {"lerpPixelRgb", &lerpPixelRgb},         {"blendPixelOpacity", &blendPixelOpacity},
      {"blendPixelTable", &blendPixelTable},   {"erasePixel", &erasePixel},
      {"blendPixelOver", &blendPixelOver},
      {"blendNormalOpacity", &blendNormalOpacity},
      {"blendPixelMultiplyUnion", &blendPixelMultiplyUnion},
      {"blendPixelAddUnion", &blendPixelAddUnion},
  };
  const uint32_t pixels[] = {px(0, 10, 20, 30), px(128, 200, 100, 50), px(255, 1, 2, 3)};
  for (const Op& o : ops)
    for (uint32_t p : pixels) {
      uint32_t q = p;
      o.op(&q, px(200, 90, 80, 70), 0);
      EXPECT_EQ(q, p) << o.name;
      const CurveTable curve{};
      blendPixelFalloff(curve, &q, px(200, 90, 80, 70), 0);
      EXPECT_EQ(q, p) << "blendPixelFalloff";
    }
  uint8_t b = 99;
  plotMax(&b, 255, 0);
  EXPECT_EQ(b, 99);
}

TEST(PlotMerge, GivenValues) {
  auto run = [](PixelOp32 op, uint32_t p, uint32_t s, uint32_t c) {
    op(&p, s, c);
    return p;
  };
  auto max8 = [](uint8_t b, uint32_t v, uint32_t c) {
    plotMax(&b, v, c);
    return uint32_t(b);
  };
  struct Case {
    const char* what;
    uint32_t got, want;
  };
  const uint32_t s = px(0, 90, 80, 70);
  const Case cases[] = {
      {"opacity, full coverage: colour, alpha 255", run(&blendPixelOpacity, px(10, 1, 2, 3), s, 255), px(255, 90, 80, 70)},
      {"opacity on transparent: alpha c, colour exact", run(&blendPixelOpacity, px(0, 1, 2, 3), s, 77), px(77, 90, 80, 70)},
      {"opacity on opaque: colour moves, alpha kept", run(&blendPixelOpacity, px(255, 0, 0, 0), s, 128),
       px(255, 90 * 128 / 255, 80 * 128 / 255, 70 * 128 / 255)},
      {"erase: a - P[a][c]", run(&erasePixel, px(200, 1, 2, 3), s, 128), px(100, 1, 2, 3)},
      {"erase at full coverage clears alpha", run(&erasePixel, px(200, 1, 2, 3), s, 255), px(0, 1, 2, 3)},
      {"over: alpha toward the colour's, colour moves", run(&blendPixelOver, px(0, 0, 0, 0), px(255, 255, 0, 0), 255),
       px(255, 255, 0, 0)},
      {"over: both transparent, colour stays", run(&blendPixelOver, px(0, 1, 2, 3), px(0, 255, 255, 255), 200),
       px(0, 1, 2, 3)},
      {"over: half", run(&blendPixelOver, px(100, 0, 0, 0), px(200, 255, 255, 255), 51),
       px(lerp255(200, 100, 51), 51, 51, 51)},
      {"plotMax raises", max8(10, 200, 255), 200},
      {"plotMax P[c][v]", max8(10, 200, 128), 100},
      {"plotMax never lowers", max8(150, 200, 128), 150},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

// The reciprocal form of the opacity merge against core's, for every pixel
// alpha and coverage, with seeded random colours.
TEST(PlotMerge, ReciprocalOpacityEqualsTheDividingOne) {
  std::mt19937 rng(2);
  for (uint32_t a = 0; a < 256; ++a)
    for (uint32_t c = 0; c < 256; ++c) {
      const uint32_t p = (a << 24) | (rng() & 0xFFFFFFu), s = static_cast<uint32_t>(rng());
      uint32_t want = p, got = p;
      blendPixelOpacity(&want, s, c);
      blendPixelOpacityRecip(&got, s, c);
      ASSERT_EQ(got, want) << a << " " << c;
    }
}

TEST(PlotMerge, MultiplyUnionGivesTheProductWhereBothAreOpaque) {
  uint32_t p = px(255, 200, 100, 50);
  blendPixelMultiplyUnion(&p, px(255, 128, 255, 0), 255);
  EXPECT_EQ(p, px(255, 200 * 128 / 255, 100, 0));
}

TEST(PlotMerge, FalloffMovesTowardTheCurvesLightness) {
  // A curve of 0.5 everywhere maps every lightness to 127.5; one of 2.0
  // reaches past full lightness and is held at 255.
  CurveTable curve{};
  curve.fill(32768);
  uint32_t p = px(40, 255, 255, 255);
  blendPixelFalloff(curve, &p, 0, 255);
  EXPECT_EQ(p, px(40, 127, 127, 127));
  curve.fill(131072);
  p = px(40, 10, 10, 10);
  blendPixelFalloff(curve, &p, 0, 255);
  EXPECT_EQ(p, px(40, 255, 255, 255));
}

// ---- selection of the call-backs ------------------------------------------------

class PlotSelect : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    mask = std::make_unique<CBlockVCH>(16, 16);
    doc.mask = mask.get();
  }
  // The state reads its sources from d (none for nullptr).
  void use(IPlotDocument* d) {
    state.plotDocument = d;
    refreshPlotSources(state);
  }
  std::unique_ptr<CBlockVCH> mask;
  FakePlotDocument doc;
  TStroke stroke;
};

TEST_F(PlotSelect, SwitchesAndSelectionChooseTheCallBacks) {
  struct Case {
    bool tone, gradation, selection;
    PlotProc8 p8;
    PlotProc32 p32;
    const char* name;
  };
  const Case cases[] = {
      {false, false, false, &plotDirect, &plotColorDirect, "plotColorDirect"},
      {false, false, true, &plotThroughSelection, &plotColorThroughSelection, "plotColorThroughSelection"},
      {false, true, false, &plotDirect, &plotColorGradation, "plotColorGradation"},
      {false, true, true, &plotThroughSelection, &plotColorGradationThroughSelection,
       "plotColorGradationThroughSelection"},
      {true, false, false, &plotThroughTone, &plotColorThroughTone, "plotColorThroughTone"},
      {true, false, true, &plotThroughSelectionAndTone, &plotColorThroughSelectionAndTone,
       "plotColorThroughSelectionAndTone"},
      {true, true, false, &plotThroughTone, &plotColorGradationThroughTone, "plotColorGradationThroughTone"},
      {true, true, true, &plotThroughSelectionAndTone, &plotColorGradationThroughSelectionAndTone,
       "plotColorGradationThroughSelectionAndTone"},
  };
  use(&doc);
  for (const Case& c : cases) {
    doc.selectionOn = c.selection;
    stroke.useTone = c.tone;
    stroke.useGradation = c.gradation;
    selectPlotCallbacks(state, stroke);
    EXPECT_EQ(plot.plotProc8, c.p8) << c.name;
    EXPECT_EQ(plot.plotProc32, c.p32) << c.name;
  }
}

TEST_F(PlotSelect, NoSelectionWithoutDocumentOrImageOrSwitch) {
  struct Case {
    const char* what;
    bool withDocument, switchOn, withImage;
  };
  const Case cases[] = {
      {"no plot document", false, true, true},
      {"selection switched off", true, false, true},
      {"mask without image", true, true, false},
  };
  for (const Case& c : cases) {
    doc.selectionOn = c.switchOn;
    doc.mask = c.withImage ? mask.get() : nullptr;
    doc.maskOff = {5, 5};
    use(c.withDocument ? &doc : nullptr);
    selectPlotCallbacks(state, stroke);
    EXPECT_EQ(plot.plotProc32, &plotColorDirect) << c.what;
    EXPECT_EQ(plot.plotSelectionMask, nullptr) << c.what;
    EXPECT_EQ(plot.plotMaskOffsetX, 0) << c.what;
  }
}

TEST_F(PlotSelect, MaskOffsetIsMaskOffsetLessLayerOffset) {
  doc.maskOff = {7, -3};
  doc.layerOff = {2, 4};
  use(&doc);
  EXPECT_EQ(plot.plotSelectionMask, mask.get());
  EXPECT_EQ(plot.plotMaskOffsetX, 5);
  EXPECT_EQ(plot.plotMaskOffsetY, -7);
}

TEST_F(PlotSelect, KeepAlphaSwitchChoosesTheMerge) {
  stroke.opaque = 1;
  selectPlotCallbacks(state, stroke);
  EXPECT_EQ(plot.pixelBlendOp, &lerpPixelRgb);
  stroke.opaque = 0;
  selectPlotCallbacks(state, stroke);
  EXPECT_EQ(plot.pixelBlendOp, &blendPixelOpacity);
}

TEST_F(PlotSelect, UpdateTakesTheLayersLockAndTheReplayRule) {
  struct Case {
    const char* what;
    bool layers, protect, replaying, standard;
    PixelOp32 want;
    uint8_t opaque;
  };
  const Case cases[] = {
      {"free layer", true, false, false, true, &blendPixelOpacity, 0},
      {"protected layer", true, true, false, true, &lerpPixelRgb, 1},
      {"no layers: switch untouched", false, true, false, true, &blendPixelOpacity, 0},
      {"older-format replay keeps alpha", true, false, true, false, &lerpPixelRgb, 0},
      {"standard replay", true, false, true, true, &blendPixelOpacity, 0},
  };
  for (const Case& c : cases) {
    stroke.opaque = 0;
    doc.layers = c.layers;
    doc.protectAlpha = c.protect;
    doc.replaying = c.replaying;
    doc.standard = c.standard;
    updatePlotCallbacks(state, stroke, &doc);
    EXPECT_EQ(plot.pixelBlendOp, c.want) << c.what;
    EXPECT_EQ(stroke.opaque, c.opaque) << c.what;
  }
}

TEST_F(PlotSelect, LockKeepsEveryCallBackWhileTheSwitchesChange) {
  selectPlotCallbacks(state, stroke);
  state.plotLocked = true;
  const PlotProc32 special = [](const SPlotter&, uint32_t*, int32_t, int32_t, uint32_t, uint32_t) {};
  plot.plotProc32 = special;
  const SPlotter before = plot;
  stroke.useTone = 1;
  stroke.useGradation = 1;
  stroke.opaque = 1;
  selectPlotCallbacks(state, stroke);
  EXPECT_EQ(plot.plotProc32, special);
  EXPECT_EQ(plot.plotProc8, before.plotProc8);
  EXPECT_EQ(plot.pixelBlendOp, before.pixelBlendOp);
  EXPECT_EQ(plot.plotBaseOp8, before.plotBaseOp8);
}

TEST_F(PlotSelect, FalloffCurveIsRebuiltOnlyWhenItsTypeChanges) {
  stroke.falloffCurveType = fcLinear;
  state.falloffTable[0] = 1;  // marks the table
  selectPlotCallbacks(state, stroke);
  EXPECT_EQ(state.falloffTable[0], 1u);
  setFalloffCurve(state, &stroke, stroke.falloffCurveType, true);  // forces
  EXPECT_EQ(state.falloffTable[0], kFullWeight);
  setFalloffCurve(state, &stroke, fcFlatRamp, false);
  EXPECT_EQ(stroke.falloffCurveType, fcFlatRamp);
  EXPECT_EQ(state.falloffTable[1900], kFullWeight - static_cast<uint32_t>(mulDivRound(0xFF0000, 56, 203)));
  setFalloffCurve(state, nullptr, 255, false);  // a code from a recording
  EXPECT_EQ(state.falloffCurveType, 255);
  EXPECT_EQ(state.falloffTable[2047], 0u);
}

TEST_F(PlotSelect, StartState) {
  EXPECT_EQ(plot.plotProc8, &plotDirect);
  EXPECT_EQ(plot.plotProc32, &plotColorDirect);
  EXPECT_EQ(plot.plotBaseOp8, &plotMax);
  EXPECT_EQ(plot.pixelBlendOp, &lerpPixelRgb);
  EXPECT_FALSE(state.plotLocked);
  EXPECT_EQ(state.plotDocument, nullptr);
  EXPECT_EQ(state.falloffCurveType, fcLinear);
  EXPECT_EQ(state.falloffTable[0], kFullWeight);
  EXPECT_EQ(state.falloffTable[2047], 0u);
}

TEST_F(PlotSelect, WalkerSelectorsRouteTheDocumentsPoints) {
  setStrokeSinkSegment(doc);
  setStrokeSinkDabTable(doc);
  setStrokeSinkPenRender(doc);
  const std::vector<TStrokeSink> want = {TStrokeSink::Segment, TStrokeSink::DabTable, TStrokeSink::PenRender};
  EXPECT_EQ(doc.sinks, want);
}

TEST_F(PlotSelect, OlderFormatDocumentPaintsAtFullOpacity) {
  stroke.setOpacity(0.5f);
  doc.standard = false;
  updatePlotCallbacks(state, stroke, &doc);
  EXPECT_EQ(stroke.getOpacity(), 1.0f);
  EXPECT_EQ(stroke.getOpacity255(), 255u);
  doc.standard = true;
  updatePlotCallbacks(state, stroke, &doc);
  EXPECT_EQ(stroke.getOpacity(), 0.5f);
}

TEST_F(PlotSelect, BurnCurveOfTheStrokeFillsTheToneTable) {
  stroke.EFFECT = 50;
  stroke.kind = skDarken;
  selectPlotCallbacks(state, stroke);
  CurveTable want{};
  buildPowerCurve(want, 1.1);
  EXPECT_EQ(state.toneCurveTable, want);
  EXPECT_LT(state.toneCurveTable[1024], 32768u);  // darker at mid lightness
}

// ---- weighting and plane plotters -------------------------------------------------

TEST_F(PlotSelect, SelectionWeightsCoverageAndZeroWritesNothing) {
  EXPECT_TRUE(mask->setPixel(1, 1, 0));
  EXPECT_TRUE(mask->setPixel(2, 1, 128));
  EXPECT_TRUE(mask->setPixel(3, 1, 255));
  doc.maskOff = {1, 1};  // mask pixel = layer pixel + (1, 1)
  use(&doc);
  selectPlotCallbacks(state, stroke);  // blendPixelOpacity through the selection
  TMTC plane(4, 4);
  for (int32_t x = 0; x < 4; ++x) *plane.pixelAt(x, 0) = px(0, 0, 0, 0);
  for (int32_t x = 0; x < 4; ++x) EXPECT_TRUE(plotPlane32(&plot, plane, x, 0, px(0, 255, 255, 255), 255));
  EXPECT_EQ(plane.getPixel(0, 0), px(0, 0, 0, 0));              // mask 0
  EXPECT_EQ(plane.getPixel(1, 0), px(128, 255, 255, 255));      // mask 128
  EXPECT_EQ(plane.getPixel(2, 0), px(255, 255, 255, 255));      // mask 255
  EXPECT_EQ(plane.getPixel(3, 0), px(0, 0, 0, 0));              // mask 0 (never set)
  EXPECT_EQ(selectionCoverage(plot, -5, 0, 255), 0u);
}

TEST_F(PlotSelect, EightBitCallBacksWeighAndMerge) {
  EXPECT_TRUE(mask->setPixel(0, 0, 128));
  use(&doc);
  selectPlotCallbacks(state, stroke);
  TChannel plane(2, 1);
  *plane.pixelAt(0, 0) = 0;
  *plane.pixelAt(1, 0) = 0;
  EXPECT_TRUE(plotPlane8(&plot, plane, 0, 0, 255, 255));
  EXPECT_TRUE(plotPlane8(&plot, plane, 1, 0, 255, 255));
  EXPECT_EQ(plane.getPixel(0, 0), 128);  // P[255][128] through plotMax
  EXPECT_EQ(plane.getPixel(1, 0), 0);    // mask 0
}

TEST_F(PlotSelect, PlanePlottersSkipPointsOutside) {
  TMTC plane(3, 3);
  TChannel channel(3, 3);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) {
      *plane.pixelAt(x, y) = 0x11223344;
      *channel.pixelAt(x, y) = 9;
    }
  selectPlotCallbacks(state, stroke);
  const TPoint outside[] = {{-1, 0}, {0, -1}, {3, 0}, {0, 3}, {-2147483647 - 1, 1}};
  for (TPoint p : outside) {
    EXPECT_FALSE(plotPlane32(&plot, plane, p.X, p.Y, 0xFF000000, 255));
    EXPECT_FALSE(plotPlane8(&plot, channel, p.X, p.Y, 255, 255));
  }
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 3; ++x) {
      EXPECT_EQ(plane.getPixel(x, y), 0x11223344u);
      EXPECT_EQ(channel.getPixel(x, y), 9);
    }
  TMTC empty;
  EXPECT_FALSE(plotPlane32(&plot, empty, 0, 0, 0, 255));
}

// ---- tone and gradient sources ----------------------------------------------------

// A document with a checker tone (255 where x + y is even, 0 elsewhere), a
// one-stop gradient of red at opacity 128 and a mask of 255.
class PlotSources : public PlotSelect {
 protected:
  void SetUp() override {
    PlotSelect::SetUp();
    TChannel tile(8, 8);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) *tile.pixelAt(x, y) = (x + y) % 2 == 0 ? 255 : 0;
    ASSERT_EQ(tone.addTone(tile, 100, false, 0, 0), 0);
    ASSERT_EQ(tone.setCurrentIndex(0), 0);
    EXPECT_TRUE(stops.putColor(0, 0x000000FF, 128, 1));  // red (colour order), opacity 128
    ASSERT_TRUE(stops.normalize());
    EXPECT_TRUE(mask->fillRect({0, 0, 16, 16}, 255));
    doc.tone = &tone;
    doc.grad = &gradient;
    use(&doc);
  }
  // The pixel (x, 0) of a transparent plane after one plot at full coverage
  // through the opacity merge.
  uint32_t plotAt(PlotProc32 proc, int32_t x) {
    uint32_t p = 0;
    plot.pixelBlendOp = &blendPixelOpacity;
    proc(plot, &p, x, 0, 255, 0x00123456);
    return p;
  }
  CToneMngr tone;
  CColorSlotGroup stops;
  CGradation gradient{&stops};
};

TEST_F(PlotSources, ToneAndGradientPaths) {
  struct Case {
    const char* what;
    PlotProc32 proc;
    int32_t x;
    uint32_t want;
  };
  const Case cases[] = {
      {"tone, open cell", &plotColorThroughTone, 0, 0xFF123456},
      {"tone, closed cell", &plotColorThroughTone, 1, 0},
      {"selection and tone", &plotColorThroughSelectionAndTone, 2, 0xFF123456},
      {"gradient: its colour, coverage times its opacity", &plotColorGradation, 1, 0x80FF0000},
      {"gradient through the selection", &plotColorGradationThroughSelection, 1, 0x80FF0000},
      {"gradient through tone: opacity not applied", &plotColorGradationThroughTone, 0, 0xFFFF0000},
      {"gradient through tone, closed cell", &plotColorGradationThroughTone, 1, 0},
      {"gradient through selection and tone", &plotColorGradationThroughSelectionAndTone, 2, 0xFFFF0000},
  };
  for (const Case& c : cases) EXPECT_EQ(plotAt(c.proc, c.x), c.want) << c.what;
  uint8_t b = 0;
  plotThroughTone(plot, &b, 1, 0, 255, 255);
  EXPECT_EQ(b, 0);
  plotThroughSelectionAndTone(plot, &b, 0, 0, 255, 200);
  EXPECT_EQ(b, 200);
}

TEST_F(PlotSources, GradationWithoutAGradientPaintsTheGivenColour) {
  doc.grad = nullptr;
  doc.tone = nullptr;
  use(&doc);
  EXPECT_EQ(plotAt(&plotColorGradation, 0), 0xFF123456u);
  EXPECT_EQ(plotAt(&plotColorThroughTone, 1), 0xFF123456u);  // no tone: coverage unchanged
}

TEST_F(PlotSources, GradientMaskWeighsByCoverageOpacityAndGradientAlpha) {
  TChannel coverage(4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) *coverage.pixelAt(x, y) = x == 0 ? 0 : 200;
  TMTC target(6, 6);
  fill(target, 0xFF000000u);
  plot.pixelBlendOp = &lerpPixelRgb;
  plotGradientMask(plot, target, coverage, gradient, 255, {0, 0, 4, 4}, {3, 3});
  EXPECT_EQ(target.getPixel(3, 3), 0xFF000000u);  // zero coverage skipped
  uint32_t want = 0xFF000000;
  lerpPixelRgb(&want, 0x80FF0000, mulDiv255(200, 128));
  EXPECT_EQ(target.getPixel(4, 3), want);
  EXPECT_EQ(target.getPixel(5, 5), want);  // the rest lies outside the target
}

}  // namespace
}  // namespace pg
