// View painting: the picture in the window's back buffer at whole and other
// zoom ratios, turned, over the paper colour or flattened onto white or the
// check pattern, painted whole and after a change of one rectangle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/fixed_point.h"
#include "document/paper_compose.h"
#include "paper_view_fixture.h"

namespace pg::test {
namespace {

struct PaintCase {
  const char* name;
  SRatio zoom;
  float degrees;
  bool canvasColor;
  bool pattern;
  TPoint scrollOrigin;
  TPoint scrollOffset;
  TPointF centre;
  // Turns that are not quarter turns sample positions that may fall a
  // rounding step either side of a pixel edge.
  bool exact;
};

// A 40 x 30 document with three layers of partly transparent pixels in a
// window of 64 x 48; its right half is transparent.
struct PaintFixture : ViewFixture {
  explicit PaintFixture(const PaintCase& c) : ViewFixture(40, 30, 64, 48) {
    randomLayer(0, 51, lbmNormal, 40, 30);
    randomLayer(1, 52, lbmMultiply, 30, 20, -6, -4);
    randomLayer(2, 53, lbmScreen, 50, 40, 3, 2);
    layer(2)->opacity = 180;
    // The right half of the document is left transparent, so that the
    // background of the transparent display shows there.
    EXPECT_TRUE(layer(0)->image->fillAlphaRect(SRectXYWH{20, 0, 20, 30}, 0));
    EXPECT_TRUE(layer(1)->image->fillAlphaRect(SRectXYWH{26, 0, 4, 20}, 0));
    EXPECT_TRUE(layer(2)->image->fillAlphaRect(SRectXYWH{17, 0, 33, 40}, 0));
    doc->setBackgroundFlags(c.canvasColor, c.pattern);
    doc->setZoom(c.zoom.Num, c.zoom.Den);
    doc->setViewAngle(c.degrees);
    doc->setScrollOrigin(c.scrollOrigin.X, c.scrollOrigin.Y);
    doc->setScrollOffset(c.scrollOffset.X, c.scrollOffset.Y);
    doc->setViewCenter(c.centre.X, c.centre.Y);
    doc->redraw(false);
  }

  void paintAll(TMTC& target) {
    doc->buildViewBuffer();
    doc->paintWindow(target);
  }

  // What window pixel (X, Y) shows, worked out from the view mapping and the
  // per-pixel composite of the blend operators.
  // `slack` moves the sampled position, for turns whose 16.16 steps may
  // land a rounding step beside the exact position.
  uint32_t expected(int32_t X, int32_t Y, uint32_t before, TPointF slack = {}) const {
    const TPaper& d = *doc;
    auto flatten = [&](uint32_t p, uint32_t cell) { return flattenPixel(p, d.showBgPattern() ? cell : 0xFFFFFFu); };
    if (d.viewFitsScale() && d.view().angleRad() == 0.0f) {
      const int64_t k = d.view().zoom().Num / d.view().zoom().Den;
      const int64_t ox = d.view().scrollOrigin().X - int64_t{d.view().scrollOffset().X} * k;
      const int64_t oy = d.view().scrollOrigin().Y - int64_t{d.view().scrollOffset().Y} * k;
      const int64_t dx = X - ox, dy = Y - oy;
      const bool inside = dx >= 0 && dy >= 0 && dx / k < d.width() && dy / k < d.height();
      if (d.showCanvasColor()) return inside ? referencePixel(d, int32_t(dx / k), int32_t(dy / k)) : before;
      if (!inside) return kWorkspaceColor;
      // Window cells of 8, counted from the canvas's top-left corner.
      const uint32_t cell = (((dx >> 3) + (dy >> 3)) & 1) != 0 ? kCheckOddColor : kCheckEvenColor;
      return flatten(referencePixel(d, int32_t(dx / k), int32_t(dy / k)), cell);
    }
    const SSize client = surface.clientSize();
    const TPoint o = d.getViewOrigin(client.W, client.H);
    // Window distance over the zoom, as the exact ratio.
    const double fx = double(int64_t{X - client.W / 2} * d.view().zoom().Den) / d.view().zoom().Num;
    const double fy = double(int64_t{Y - client.H / 2} * d.view().zoom().Den) / d.view().zoom().Num;
    // Over the paper the turned view samples pixel centres; the transparent
    // view samples from the corner.
    const double half = d.showCanvasColor() ? 0.5 : 0.0;
    const double sx = std::floor(d.view().cosA() * fx - d.view().sinA() * fy + o.X + half + slack.X);
    const double sy = std::floor(d.view().sinA() * fx + d.view().cosA() * fy + o.Y + half + slack.Y);
    const bool inside = sx >= 0 && sy >= 0 && sx < d.width() && sy < d.height();
    if (!inside) return d.showCanvasColor() ? 0x00808080u : kCanvasSurroundColor;
    const uint32_t p = referencePixel(d, int32_t(sx), int32_t(sy));
    return d.showCanvasColor() ? p : flatten(p, checkColorAt(int32_t(sx), int32_t(sy)));
  }
};

// Positions where two planes differ.
std::vector<TPoint> differences(const TMTC& a, const TMTC& b) {
  std::vector<TPoint> out;
  for (int32_t y = 0; y < a.Height; ++y)
    for (int32_t x = 0; x < a.Width; ++x)
      if (a.getPixel(x, y) != b.getPixel(x, y)) out.push_back({x, y});
  return out;
}

void expectSame(const TMTC& got, const TMTC& want) {
  const auto diff = differences(got, want);
  ASSERT_TRUE(diff.empty()) << diff.size() << " pixels differ, the first at " << diff[0].X << "," << diff[0].Y << ": "
                            << std::hex << got.getPixel(diff[0].X, diff[0].Y) << " instead of "
                            << want.getPixel(diff[0].X, diff[0].Y);
}

// Every pixel of the view as the fixture expects it; a turn that is not a
// quarter turn may sample the pixel on the other side of an edge that its
// exact position lies within a few 16.16 steps of.
void expectView(const PaintFixture& f, const TMTC& got, const TMTC& before, bool exact) {
  const float e = exact ? 0.0f : 1.0f / 512.0f;
  int32_t edges = 0;
  for (int32_t y = 0; y < got.Height; ++y)
    for (int32_t x = 0; x < got.Width; ++x) {
      const uint32_t p = got.getPixel(x, y);
      if (p == f.expected(x, y, before.getPixel(x, y))) continue;
      bool near = false;
      for (const float sx : {-e, e})
        for (const float sy : {-e, 0.0f, e}) near = near || p == f.expected(x, y, before.getPixel(x, y), {sx, sy});
      for (const float sy : {-e, e}) near = near || p == f.expected(x, y, before.getPixel(x, y), {0.0f, sy});
      ASSERT_TRUE(near) << x << "," << y << ": " << std::hex << p << " instead of "
                        << f.expected(x, y, before.getPixel(x, y));
      ++edges;
    }
  EXPECT_LT(edges, got.Width * got.Height / 50);
}

class PaintTable : public ::testing::TestWithParam<PaintCase> {};

TEST_P(PaintTable, TheWholeViewIsTheCompositeResampled) {
  PaintFixture f(GetParam());
  TMTC before(64, 48);
  ASSERT_TRUE(before.copyPixelsFrom(f.surface.buffer));
  f.paintAll(f.surface.buffer);
  expectView(f, f.surface.buffer, before, GetParam().exact);
}

TEST_P(PaintTable, ARepaintedRectangleMatchesAWholeRepaint) {
  PaintFixture f(GetParam());
  f.paintAll(f.surface.buffer);
  TMTC before(64, 48);
  ASSERT_TRUE(before.copyPixelsFrom(f.surface.buffer));
  // Paint into the bottom layer, recompose that rectangle and paint it only.
  const TRect dirty{5, 4, 17, 13};
  for (int32_t y = dirty.Top; y < dirty.Bottom; ++y)
    for (int32_t x = dirty.Left; x < dirty.Right; ++x) EXPECT_TRUE(f.layer(0)->image->setPixel(x, y, 0x80FF00FFu ^ uint32_t(x * y)));
  f.doc->repaintRect(0, dirty);
  ASSERT_EQ(f.window.repainted.back(), dirty);
  ASSERT_TRUE(f.doc->paintWindowRect(&f.surface, dirty));
  ASSERT_FALSE(f.surface.presented.empty());
  if (GetParam().exact) {
    TMTC whole(64, 48);
    ASSERT_TRUE(whole.copyPixelsFrom(before));
    f.paintAll(whole);
    expectSame(f.surface.buffer, whole);
  } else {
    expectView(f, f.surface.buffer, before, false);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paper, PaintTable,
    ::testing::Values(
        PaintCase{"OneToOne", {1, 1}, 0, true, false, {5, 3}, {0, 0}, {}, true},
        PaintCase{"OneToOneScrolled", {1, 1}, 0, true, false, {0, 0}, {7, 2}, {}, true},
        PaintCase{"ThreeToOne", {3, 1}, 0, true, false, {0, 0}, {4, 3}, {}, true},
        PaintCase{"OneToThree", {1, 3}, 0, true, false, {0, 0}, {6, 0}, {}, true},
        PaintCase{"ThreeToTwo", {3, 2}, 0, true, false, {2, 1}, {0, 0}, {}, true},
        PaintCase{"QuarterTurn", {2, 1}, 90, true, false, {}, {}, {20, 15}, true},
        PaintCase{"ThirtyDegrees", {1, 1}, 30, true, false, {}, {}, {19, 14}, false},
        PaintCase{"CheckedOneToOne", {1, 1}, 0, false, true, {9, 6}, {0, 0}, {}, true},
        PaintCase{"WhiteTwoToOne", {2, 1}, 0, false, false, {0, 0}, {3, 5}, {}, true},
        PaintCase{"CheckedTwoToOne", {2, 1}, 0, false, true, {1, 0}, {0, 4}, {}, true},
        PaintCase{"CheckedQuarterTurn", {1, 1}, 90, false, true, {}, {}, {20, 15}, true},
        PaintCase{"CheckedOneToThree", {1, 3}, 0, false, true, {0, 0}, {2, 1}, {}, true},
        PaintCase{"WhiteThirtyDegrees", {3, 2}, 30, false, false, {}, {}, {20, 15}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PaperPaint, TheViewFitsTheScaleAtWholeRatiosBelowTheCoordinateLimit) {
  struct Case {
    SRatio zoom;
    int32_t side;
    bool fits;
  } cases[] = {{{3, 2}, 100, false},   {{2, 1}, 100, true},     {{2, 1}, 16383, true},
               {{2, 1}, 16384, false}, {{4, 2}, 16383, true},   {{4, 2}, 16384, false},
               {{1, 1}, 10000, true},  {{1, 2}, 100, false},    {{16, 1}, 2047, true},
               {{16, 1}, 2048, false}, {{0, 1}, 100, false},    {{1, 0}, 100, false}};
  for (const Case& c : cases) {
    EXPECT_EQ(zoomFitsScale(c.zoom, c.side), c.fits) << c.zoom.Num << "/" << c.zoom.Den << " " << c.side;
  }
  // The document asks with its larger side.
  DocFixture f;
  f.doc->setSizeValue(2048, 10);
  (void)f.doc->setZoom(16, 1);
  EXPECT_FALSE(f.doc->viewFitsScale());
  f.doc->setSizeValue(10, 2048);
  EXPECT_FALSE(f.doc->viewFitsScale());
  f.doc->setSizeValue(10, 2047);
  EXPECT_TRUE(f.doc->viewFitsScale());
}

TEST(PaperPaint, OnlyTheAttachedWindowIsPainted) {
  PaintFixture f(PaintCase{"", {1, 1}, 0, true, false, {}, {}, {}, true});
  FakeSurface other(64, 48);
  EXPECT_FALSE(f.doc->paintWindowRect(&other, TRect{0, 0, 10, 10}));
  EXPECT_FALSE(f.doc->paintWindowRect(nullptr, TRect{0, 0, 10, 10}));
  EXPECT_TRUE(other.presented.empty());
  EXPECT_EQ(other.buffer.getPixel(0, 0), kUnpainted);
  // A rectangle outside the document paints nothing either.
  EXPECT_FALSE(f.doc->paintWindowRect(&f.surface, TRect{40, 0, 50, 10}));
  EXPECT_TRUE(f.surface.presented.empty());
}

TEST(PaperPaint, TheScaledPaintDoesNothingAtOtherRatios) {
  PaintFixture f(PaintCase{"", {3, 2}, 0, true, false, {}, {}, {}, true});
  TRect painted{};
  EXPECT_FALSE(f.doc->paintViewScaled(f.surface.buffer, f.doc->composite(), SRectXYWH{0, 0, 40, 30}, painted));
  EXPECT_EQ(f.surface.buffer.getPixel(0, 0), kUnpainted);
  // 3/2 takes the view buffer, 2/1 the composite itself.
  ASSERT_TRUE(f.doc->paintWindowRect(&f.surface, TRect{0, 0, 40, 30}));
  EXPECT_EQ(f.doc->view().viewBuffer().size(), (SSize{64, 48}));
  PaintFixture g(PaintCase{"", {2, 1}, 0, true, false, {}, {}, {}, true});
  ASSERT_TRUE(g.doc->paintWindowRect(&g.surface, TRect{0, 0, 40, 30}));
  EXPECT_FALSE(g.doc->view().viewBuffer().IsAllocated());
}

TEST(PaperPaint, TheStretchKeepsLargeDocumentsInPlaceAtSixteenToOne) {
  // 5,000 x 16 x 65,536 does not fit 32 bits: the stretch must still find
  // document column 5,000 at the window's left edge.
  ViewFixture f(6000, 2, 64, 32);
  f.randomLayer(0, 61, lbmNormal, 6000, 2);
  EXPECT_TRUE(f.layer(0)->image->setPixel(5000, 0, 0xFF0000FFu));
  EXPECT_TRUE(f.layer(0)->image->setPixel(5001, 1, 0xFF00FF00u));
  f.doc->redraw(false);
  f.doc->setZoom(16, 1);
  f.doc->setScrollOffset(5000, 0);
  TMTC target(64, 32);
  TRect painted{};
  ASSERT_TRUE(f.doc->stretchViewRect(nullptr, target, SRectXYWH{5000, 0, 4, 2}, f.doc->composite(), &painted));
  EXPECT_EQ(painted, (TRect{0, 0, 64, 32}));
  EXPECT_EQ(target.getPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(target.getPixel(15, 15), 0xFF0000FFu);
  EXPECT_EQ(target.getPixel(16, 16), 0xFF00FF00u);
  EXPECT_EQ(target.getPixel(31, 31), 0xFF00FF00u);
}

TEST(PaperPaint, DuringReplayTheWindowIsUpdatedAtOnce) {
  PaintFixture f(PaintCase{"", {1, 1}, 0, true, false, {}, {}, {}, true});
  f.window.replaying = true;
  f.doc->refreshView();
  EXPECT_EQ(f.surface.updates, 1);
  f.window.replaying = false;
  const int32_t before = f.window.invalidations;
  f.doc->refreshWindow(false);
  EXPECT_EQ(f.window.invalidations, before + 1);
  EXPECT_EQ(f.surface.updates, 1);
}

}  // namespace
}  // namespace pg::test
