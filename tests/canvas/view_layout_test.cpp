// The view arithmetic: scroll layout, margins, fitting, deltas, auto-scroll
// steps, and the window's zoom, scroll and rotation built on them.
#include "canvas/view_layout.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "brush/stroke_settings.h"
#include "canvas_fixture.h"

namespace pg::test {
namespace {

TEST(ScrollLayout, AxisFollowsImageZoomAndMargins) {
  constexpr int32_t m = 400;
  const SScrollAxis a = scrollAxisLayout(100, 1.0f, m, 500);
  EXPECT_EQ(a.maximum, 100 + 2 * m);
  EXPECT_EQ(a.page, 500);
  EXPECT_EQ(a.smallChange, 10);
  EXPECT_EQ(a.largeChange, 484);
  EXPECT_EQ(a.maxPosition(), 100 + 2 * m - 500);
  const SScrollAxis half = scrollAxisLayout(1000, 0.5f, m, 500);
  EXPECT_EQ(half.maximum, 500 + 2 * m);
  EXPECT_EQ(half.smallChange, 5);
  EXPECT_EQ(half.largeChange, 968);
  // Positions before the margin leave a band of workspace on the left.
  const SAxisPlacement before = axisPlacement(150, m, 1.0f);
  EXPECT_EQ(before.origin, 250);
  EXPECT_EQ(before.offset, 0);
  const SAxisPlacement past = axisPlacement(m + 30, m, 0.5f);
  EXPECT_EQ(past.origin, 0);
  EXPECT_EQ(past.offset, 60);
}

TEST(ScrollLayout, PositionsAndHugeValuesAreClamped) {
  const SScrollAxis a = scrollAxisLayout(10000, 16.0f, 400, 300);
  EXPECT_GT(a.maximum, 0);
  EXPECT_EQ(clampScrollPosition(a, INT64_MAX), a.maxPosition());
  EXPECT_EQ(clampScrollPosition(a, INT64_MIN), 0);
  const SScrollAxis small = scrollAxisLayout(10, 1.0f, 0, 500);
  EXPECT_EQ(small.maxPosition(), 0);
  EXPECT_EQ(clampScrollPosition(small, 7), 0);
}

TEST(FitRatio, FitsTheTurnedImageIntoTheClientLessTheBorder) {
  struct Case {
    SSize image;
    SSize client;
    float degrees;
    bool enlarge;
    SRatio expected;
  };
  const Case cases[] = {
      {{2000, 1000}, {580, 480}, 0.0f, true, {500, 2000}},   // limited by the width
      {{1000, 2000}, {580, 480}, 0.0f, true, {400, 2000}},   // limited by the height
      {{100, 100}, {580, 480}, 0.0f, true, {400, 100}},      // enlarged
      {{100, 100}, {580, 480}, 0.0f, false, {1, 1}},         // never enlarged
      {{2000, 1000}, {580, 480}, 90.0f, true, {400, 2000}},  // turned a quarter
      {{2000, 1000}, {60, 50}, 0.0f, true, {1, 16}},         // no room at all
  };
  for (const Case& c : cases) {
    const float r = c.degrees * 3.14159265f / 180.0f;
    const float s = c.degrees == 90.0f ? 1.0f : std::sin(r);
    const float co = c.degrees == 90.0f ? 0.0f : std::cos(r);
    EXPECT_EQ(fitRatio(c.image, c.client, s, co, c.enlarge), c.expected)
        << c.image.W << "x" << c.image.H << " in " << c.client.W << "x" << c.client.H << " at " << c.degrees;
  }
}

TEST(ViewDeltas, WindowDeltaTurnsWithTheView) {
  EXPECT_EQ(windowDeltaToImage(30, -20, 2.0f, 0.0f, 1.0f, false), (TPoint{15, -10}));
  EXPECT_EQ(windowDeltaToImage(30, 0, 1.0f, 1.0f, 0.0f, true), (TPoint{0, 30}));
  EXPECT_EQ(windowDeltaToImage(INT32_MAX, INT32_MIN, 1.0f / 16.0f, 0.0f, 1.0f, false), (TPoint{INT32_MAX, INT32_MIN}));
}

TEST(AutoScroll, StepGrowsWithTheDistanceOutsideUpToSixtyFour) {
  const SSize client{500, 400};
  EXPECT_EQ(autoScrollStep({200, 200}, client, 0, 0), (TPoint{0, 0}));
  EXPECT_EQ(autoScrollStep({-100, 200}, client, 0, 0), (TPoint{64, 0}));
  EXPECT_EQ(autoScrollStep({10, 200}, client, 0, 0), (TPoint{24, 0}));
  EXPECT_EQ(autoScrollStep({600, 1000}, client, 0, 0), (TPoint{-64, -64}));
  EXPECT_EQ(autoScrollStep({INT32_MIN, INT32_MAX}, client, 0, 0), (TPoint{64, -64}));
}

// ---- the window's view ----

// How far (in window pixels) the image point now under a window point lies
// from the one that should be there.
float errorAt(CanvasFixture& f, TPointF image, TPointF window) {
  const TPointF now = f.window->clientToImage(window);
  const float z = f.doc().zoomValue();
  return std::max(std::fabs(now.X - image.X), std::fabs(now.Y - image.Y)) * z;
}

TEST(WindowView, ZoomAboutAPointKeepsThatPointWhereItWas) {
  struct Case {
    TPoint at;
    bool in;
    int steps;
  };
  const Case cases[] = {{{250, 200}, true, 3}, {{100, 80}, true, 2}, {{420, 350}, false, 2}, {{300, 120}, true, 1}};
  for (const Case& c : cases) {
    CanvasFixture f(800, 600);
    const TPointF w = pointToFloat(c.at);
    for (int i = 0; i < c.steps; ++i) {
      const TPointF image = f.window->clientToImage(w);
      f.window->zoomAt(c.at, c.in);
      // Past the margin the view moves by whole image pixels: half of one
      // is the error bound.
      const float bound = std::max(0.5f, f.doc().zoomValue() / 2.0f) + 0.01f;
      EXPECT_LE(errorAt(f, image, w), bound) << c.at.X << "," << c.at.Y << " zoom " << f.doc().zoomValue();
    }
  }
}

TEST(WindowView, ZoomStopsAtTheTableEndsAndWheelDeltasAreClamped) {
  CanvasFixture f;
  for (int i = 0; i < 40; ++i) f.window->zoomAtClientCentre(true);
  EXPECT_EQ(f.doc().zoomValue(), 16.0f);
  f.window->wheel(INT32_MAX, {250, 200});
  f.window->wheel(INT32_MIN, {250, 200});
  EXPECT_GE(f.doc().zoomValue(), 1.0f / 16.0f);
  EXPECT_LE(f.doc().zoomValue(), 16.0f);
  for (int i = 0; i < 40; ++i) f.window->wheel(120, {250, 200});
  EXPECT_EQ(f.doc().zoomValue(), 1.0f / 16.0f);
  // A wheel turned toward the user zooms in.
  f.window->wheel(-120, {250, 200});
  EXPECT_GT(f.doc().zoomValue(), 1.0f / 16.0f);
  // Far outside the window the point stays finite.
  f.window->zoomAt({INT32_MAX, INT32_MIN}, true);
  const TPointF p = f.window->clientToImage({3.0e38f, -3.0e38f});
  EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
}

TEST(WindowView, ScrollBarsFollowTheLayoutAndScrollingMovesTheImage) {
  CanvasFixture f(2000, 1500);
  const SScrollBars& bars = f.host.bars;
  EXPECT_TRUE(bars.visible);
  EXPECT_EQ(bars.h.maximum, 2000 + 2 * f.window->marginX());
  EXPECT_EQ(bars.h.page, 500);
  const TPointF before = f.shown({1000, 750});
  f.window->scrollBy(-40, 25);
  const TPointF after = f.shown({1000, 750});
  EXPECT_NEAR(after.X - before.X, -40.0f, 0.01f);
  EXPECT_NEAR(after.Y - before.Y, 25.0f, 0.01f);
  // The bars' positions stay inside their range whatever the scroll.
  f.window->scrollBy(INT32_MIN / 2, INT32_MAX / 2);
  EXPECT_EQ(bars.h.position, bars.h.maxPosition());
  EXPECT_EQ(bars.v.position, 0);
  // The visible rectangle is clipped to the image.
  const TRect v = f.window->visibleRect();
  EXPECT_GE(v.Left, 0);
  EXPECT_LE(v.Right, 2000);
}

TEST(WindowView, RotationHidesTheBarsAndAFullTurnResetsIt) {
  CanvasFixture f(800, 600);
  const TPointF centre = f.window->clientToImage({250, 200});
  f.window->setViewRotation(true, 30.0f);
  EXPECT_TRUE(f.window->isRotated());
  EXPECT_FALSE(f.host.bars.visible);
  // The image point at the centre stays at the centre.
  EXPECT_LE(errorAt(f, centre, {250, 200}), 1.0f);
  f.window->setViewRotation(false, 360.0f);
  EXPECT_FALSE(f.window->isRotated());
  EXPECT_TRUE(f.host.bars.visible);
  EXPECT_LE(errorAt(f, centre, {250, 200}), 1.5f);
  // Scrolling a turned view moves it along the window's axes.
  f.window->setViewRotation(true, -90.0f);
  const TPointF before = f.shown({400, 300});
  f.window->scrollBy(10, 0);
  const TPointF after = f.shown({400, 300});
  EXPECT_NEAR(after.X - before.X, 10.0f, 1.0f);
  EXPECT_NEAR(after.Y - before.Y, 0.0f, 1.0f);
}

TEST(WindowView, FitToWindowUsesTheRotatedExtent) {
  CanvasFixture f(2000, 1000, {580, 480});
  f.window->zoomToFit(true);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 500.0f / 2000.0f);
  f.window->setViewRotation(true, -90.0f);
  f.window->zoomToFit(true);
  EXPECT_FLOAT_EQ(f.doc().zoomValue(), 400.0f / 2000.0f);
}

TEST(WindowView, BackBufferShowsWorkspaceAroundTheImage) {
  CanvasFixture f(100, 100);
  f.window->paintAll();
  const TMTC& b = f.window->backBufferPlane();
  EXPECT_EQ(b.getPixel(2, 2) & 0xFFFFFFu, 0xCCCCCCu);
  const TPointF c = f.shown({50, 50});
  EXPECT_EQ(b.getPixel(static_cast<int32_t>(c.X), static_cast<int32_t>(c.Y)) & 0xFFFFFFu, 0xFFFFFFu);
}

}  // namespace
}  // namespace pg::test

namespace pg::test {
namespace {

// What a stroke paints into the back buffer rectangle by rectangle is what
// a full repaint then shows, at every kind of view.
TEST(WindowView, StrokeRectanglesMatchAFullRepaint) {
  struct View {
    int32_t num, den;
    float degrees;
  };
  const View views[] = {{1, 1, 0.0f}, {2, 1, 0.0f}, {1, 3, 0.0f}, {1, 3, -30.0f}, {3, 2, 0.0f}};
  for (const View& v : views) {
    CanvasFixture f(600, 400);
    f.window->setZoomCentred(v.num, v.den);
    if (v.degrees != 0.0f) f.window->setViewRotation(true, v.degrees);
    f.window->paintAll();
    f.shared.toolStroke().setWidth(9.0f);
    TStroke& s = f.shared.toolStroke();
    for (int i = 0; i <= 60; ++i) {
      const TPointF p = f.shown({150.0f + i * 5.0f, 200.0f + 60.0f * std::sin(i * 0.15f)});
      f.window->strokePoint(s, false, p.X, p.Y, 1.0f);
    }
    // The open stroke shows in the view before it reaches the layer.
    const TMTC& b = f.window->backBufferPlane();
    const TPointF mid = f.shown({150.0f + 30 * 5.0f, 200.0f + 60.0f * std::sin(30 * 0.15f)});
    EXPECT_LT(b.getPixel(static_cast<int32_t>(mid.X), static_cast<int32_t>(mid.Y)) & 0xFF, 100u) << v.num << "/" << v.den;
    f.window->finishOpenStroke();
    std::vector<uint32_t> incremental;
    for (int32_t y = 0; y < b.Height; ++y)
      for (int32_t x = 0; x < b.Width; ++x) incremental.push_back(b.getPixel(x, y) & 0xFFFFFFu);
    f.window->paintAll();
    int32_t differ = 0;
    size_t i = 0;
    for (int32_t y = 0; y < b.Height; ++y)
      for (int32_t x = 0; x < b.Width; ++x) differ += (b.getPixel(x, y) & 0xFFFFFFu) != incremental[i++];
    EXPECT_EQ(differ, 0) << v.num << "/" << v.den << " at " << v.degrees;
  }
}

}  // namespace
}  // namespace pg::test
