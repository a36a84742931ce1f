#include "brush/shape_fillers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "brush/plot_merge.h"
#include "brush/stroke_settings.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::FakePlotDocument;
using test::PlotFixture;

class ShapeFill : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    doc.layerSize = {40, 30};
    clear();
  }
  void clear() {
    fill(plane, uint8_t{0});
  }
  // The coverage written by a flat fill of 255 (plotMax keeps the largest).
  template <class Filler>
  Filler& flat(Filler& f) {
    f.useFlatValue(255);
    return f;
  }
  double sum() const {
    double s = 0;
    for (int32_t y = 0; y < plane.Height; ++y)
      for (int32_t x = 0; x < plane.Width; ++x) s += plane.getPixel(x, y) / 255.0;
    return s;
  }
  FakePlotDocument doc;
  TStroke stroke;
  TChannel plane{40, 30};
};

TEST_F(ShapeFill, RectangleOnWholeCoordinatesFillsWholeRows) {
  CFillMngr f(&doc, stroke);
  ASSERT_TRUE(f.setRect({12, 9}, {3, 4}));
  TRect b;
  ASSERT_TRUE(f.getBounds(b));
  EXPECT_EQ(b, (TRect{3, 4, 12, 9}));
  EXPECT_EQ(flat(f).fillBox(plane), 5);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x)
      ASSERT_EQ(plane.getPixel(x, y), (x >= 3 && x < 12 && y >= 4 && y < 9) ? 255 : 0) << x << " " << y;
}

TEST_F(ShapeFill, RectangleEdgesGetTheirShare) {
  CFillMngr f(&doc, stroke);
  ASSERT_TRUE(f.setRect({2.25f, 3.5f}, {5.75f, 5.25f}));
  flat(f).fillBox(plane);
  struct Case {
    int32_t x, y;
    uint32_t want;
  };
  const Case cases[] = {
      {2, 3, static_cast<uint32_t>(0.5f * 0.75f * 255.0f)},  // top row half, left column three quarters
      {3, 3, 127},
      {3, 4, 255},
      {5, 4, 191},
      {3, 5, 63},
      {6, 4, 0},
      {3, 6, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(plane.getPixel(c.x, c.y), c.want) << c.x << " " << c.y;
}

TEST_F(ShapeFill, EmptyOrOutsideRectanglesAreRefused) {
  CFillMngr f(&doc, stroke);
  EXPECT_FALSE(f.setRect({5, 5}, {5, 5}));
  EXPECT_FALSE(f.setRect({50, 5}, {60, 9}));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(f.setRect({nan, 5}, {6, 9}));
  EXPECT_EQ(f.fillBox(plane), 0);
  EXPECT_EQ(sum(), 0.0);
}

TEST_F(ShapeFill, SpanCoverageRampsAlongShallowEdges) {
  CFillMngr f(&doc, stroke);
  f.spanCoverage({0, 10.0f, 20.0f, 2.0f, 0.0f, 1.0f});  // left edge rises half a column per column
  ASSERT_GE(f.coverage().size(), 4u);
  EXPECT_FLOAT_EQ(f.coverage()[0], 0.25f);
  EXPECT_FLOAT_EQ(f.coverage()[1], 0.75f);
  EXPECT_FLOAT_EQ(f.coverage()[2], 1.0f);
  EXPECT_FLOAT_EQ(f.coverage().back(), 1.0f);  // the right edge is vertical
  f.spanCoverage({0, 10.0f, 20.0f, 0.0f, -4.0f, 1.0f});  // right edge: a quarter a column
  EXPECT_FLOAT_EQ(f.coverage()[9], 0.125f);  // the span's last pixel, column 19
  EXPECT_FLOAT_EQ(f.coverage()[8], 0.375f);
  EXPECT_FLOAT_EQ(f.coverage()[0], 1.0f);
}

TEST_F(ShapeFill, SpanPlotValuesUseOpacityAndEndShares) {
  stroke.setOpacity(0.5f);
  stroke.color = 0x00FF0000;
  CFillMngr f(&doc, stroke);
  f.plotter().plotProc32 = &test::recordPlot32;
  TMTC target(40, 30);
  test::recordedCalls().clear();
  f.spanPlotColor(target, {3, 2.25f, 5.75f, 0.0f, 0.0f, 1.0f});
  f.spanPlotColor(target, {4, 7.2f, 7.7f, 0.0f, 0.0f, 1.0f});   // within one pixel
  f.spanPlotColor(target, {5, -3.5f, 2.5f, 0.0f, 0.0f, 0.5f});  // cut by the clip
  f.spanPlotColor(target, {30, 1.0f, 5.0f, 0.0f, 0.0f, 1.0f});  // below the layer
  f.spanPlotColor(target, {6, 1.0f, 5.0f, 0.0f, 0.0f, 0.0f});   // no row coverage
  struct Want {
    int32_t x, y;
    uint32_t v;
  };
  const Want want[] = {{2, 3, 95}, {3, 3, 127}, {4, 3, 127}, {5, 3, 95}, {7, 4, 63},
                       {0, 5, 63}, {1, 5, 63},  {2, 5, 31}};
  ASSERT_EQ(test::recordedCalls().size(), std::size(want));
  for (size_t i = 0; i < std::size(want); ++i) {
    EXPECT_EQ(test::recordedCalls()[i].x, want[i].x) << i;
    EXPECT_EQ(test::recordedCalls()[i].y, want[i].y) << i;
    EXPECT_EQ(test::recordedCalls()[i].coverage, want[i].v) << i;
    EXPECT_EQ(test::recordedCalls()[i].colour, 0x00FF0000u) << i;
  }
}

TEST_F(ShapeFill, PolygonNeedsThreeFinitePoints) {
  CPolygonFiller f(&doc, stroke);
  const TPointF two[] = {{1, 1}, {9, 9}};
  EXPECT_FALSE(f.setPolygon(two, 2));
  const TPointF bad[] = {{1, 1}, {9, 9}, {std::numeric_limits<float>::infinity(), 3}};
  EXPECT_FALSE(f.setPolygon(bad, 3));
  EXPECT_EQ(f.fill(plane), 0);
  EXPECT_FALSE(f.setPoints(-1, two));
}

TEST_F(ShapeFill, PolygonSquareOnWholeCoordinates) {
  CPolygonFiller f(&doc, stroke);
  const TPointF square[] = {{2, 3}, {8, 3}, {8, 7}, {2, 7}};
  ASSERT_TRUE(f.setPolygon(square, 4));
  EXPECT_EQ(flat(f).fill(plane), 4);
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x)
      ASSERT_EQ(plane.getPixel(x, y), (x >= 2 && x < 8 && y >= 3 && y < 7) ? 255 : 0) << x << " " << y;
}

TEST_F(ShapeFill, SelfIntersectingPolygonFillsEvenOdd) {
  // A pentagram: its centre is crossed twice on every row, so stays empty.
  TPointF star[5];
  for (int i = 0; i < 5; ++i) {
    const double t = -3.141592653589793 / 2 + i * 4 * 3.141592653589793 / 5;
    star[i] = {static_cast<float>(20 + 13 * std::cos(t)), static_cast<float>(15 + 13 * std::sin(t))};
  }
  CPolygonFiller f(&doc, stroke);
  ASSERT_TRUE(f.setPolygon(star, 5));
  EXPECT_GT(flat(f).fill(plane), 0);
  EXPECT_EQ(plane.getPixel(20, 15), 0);  // the centre
  EXPECT_EQ(plane.getPixel(20, 5), 255);  // inside the top point
}

TEST_F(ShapeFill, PolygonsReachingPastTheLayerAreClipped) {
  TChannel big(60, 50);  // a target larger than the layer
  fill(big, uint8_t{0});
  CPolygonFiller f(&doc, stroke);
  const TPointF tri[] = {{-1e6f, -1e6f}, {1e6f, 20}, {-30, 1e5f}};
  ASSERT_TRUE(f.setPolygon(tri, 3));
  flat(f).fill(big);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 60; ++x)
      if (x >= 40 || y >= 30) {
        ASSERT_EQ(big.getPixel(x, y), 0) << x << " " << y;
      }
  // A target smaller than the layer is not written past either.
  TChannel small(10, 10);
  fill(small, uint8_t{0});
  f.fill(small);
  EXPECT_EQ(small.getPixel(0, 0), 255);
}

TEST_F(ShapeFill, EllipseGeometry) {
  SEllipse e;
  ASSERT_TRUE(ellipseSetup(e, {14, 10}, {6, 10}, {10, 13}));  // half axes 4 and 3 at (10, 10)
  EXPECT_FLOAT_EQ(e.halfHeight, 3.0f);
  EXPECT_EQ(e.topRow, 7);
  EXPECT_EQ(e.bottomRow, 13);
  TPointF p[2];
  ASSERT_EQ(ellipseRow(e, 10.0f, p), 2);
  EXPECT_FLOAT_EQ(p[0].X, 6.0f);
  EXPECT_FLOAT_EQ(p[1].X, 14.0f);
  ASSERT_EQ(ellipseRow(e, 13.0f, p), 1);  // the tangent at the bottom
  EXPECT_FLOAT_EQ(p[0].X, 10.0f);
  EXPECT_EQ(ellipseRow(e, 13.5f, p), 0);
  struct Case {
    const char* what;
    TPointF p1, p2, p3;
  };
  const Case invalid[] = {
      {"zero width", {10, 10}, {10, 10}, {10, 13}},
      {"zero height", {14, 10}, {6, 10}, {10, 10}},
      {"parallel axes", {14, 10}, {6, 10}, {12, 10}},
      {"not a number", {14, 10}, {6, 10}, {std::numeric_limits<float>::quiet_NaN(), 13}},
  };
  for (const Case& c : invalid) EXPECT_FALSE(ellipseSetup(e, c.p1, c.p2, c.p3)) << c.what;
  EXPECT_EQ(ellipseRow(e, 10.0f, p), 0);
}

TEST_F(ShapeFill, EllipseSlopeLimits) {
  EXPECT_FLOAT_EQ(ellipseSlope(4.0f, 3.0f, 0.0f), 0.0f);
  EXPECT_FLOAT_EQ(ellipseSlope(4.0f, 3.0f, 3.0f), 0.1f);  // the root is 0
  EXPECT_FLOAT_EQ(ellipseSlope(std::numeric_limits<float>::infinity(), 3.0f, 1.0f), 10.0f);
  EXPECT_NEAR(ellipseSlope(4.0f, 3.0f, 1.5f), 4.0 * 1.5 / (3.0 * std::sqrt(9.0 - 2.25)), 1e-6);
}

TEST_F(ShapeFill, OutlineIsClosedAndOnTheEllipse) {
  std::vector<TPointF> pts;
  const int32_t n = rasterEllipse({5, 5, 35, 25}, 0.5, pts);
  ASSERT_GT(n, 16);
  EXPECT_EQ(pts.front(), pts.back());
  // On the ellipse of half axes 15 and 10 turned by 0.5 about (20, 15).
  for (const TPointF& p : pts) {
    const double dx = p.X - 20.0, dy = p.Y - 15.0;
    const double u = dx * std::cos(0.5) + dy * std::sin(0.5), v = -dx * std::sin(0.5) + dy * std::cos(0.5);
    EXPECT_NEAR(u * u / 225.0 + v * v / 100.0, 1.0, 1e-4);
  }
  // Neighbours no further apart than the chord rule allows.
  for (size_t i = 1; i < pts.size(); ++i) EXPECT_LT(std::hypot(pts[i].X - pts[i - 1].X, pts[i].Y - pts[i - 1].Y), 6.0);
  EXPECT_EQ(rasterEllipse({5, 5, 5, 25}, 0.5, pts), 0);
  float lo = 0, hi = 0;
  EXPECT_FALSE(xRange(nullptr, 0, lo, hi));
}

TEST_F(ShapeFill, RotatedEllipseCoversItsArea) {
  // Edge ramps run inward from each span's ends, so shallow edges (flat
  // ellipses) lose part of their edge pixels: those are held to a looser bound.
  struct Case {
    const char* what;
    TPointF p0, p1;
    double angle;
    double low, high;  // the covered area as a share of pi a b
  };
  const Case cases[] = {
      {"upright", {5, 5}, {35, 25}, 0.0, 0.95, 1.05},
      {"turned", {8, 6}, {32, 24}, 0.7, 0.95, 1.05},
      {"wide and flat", {1, 14}, {39, 17}, 0.0, 0.7, 1.05},  // far wider than tall
      {"wide, flat and turned", {0, 13}, {40, 17}, 0.2, 0.7, 1.05},
  };
  for (const Case& c : cases) {
    clear();
    CEllipseFiller f(&doc, c.angle, stroke);
    ASSERT_TRUE(f.setEllipse(c.p0, c.p1)) << c.what;
    EXPECT_GT(flat(f).fill(plane), 0) << c.what;
    const double area = 3.141592653589793 * std::fabs(c.p1.X - c.p0.X) / 2 * std::fabs(c.p1.Y - c.p0.Y) / 2;
    EXPECT_GE(sum(), area * c.low) << c.what;
    EXPECT_LE(sum(), area * c.high) << c.what;
    TRect b;
    ASSERT_TRUE(f.getBounds(b));
    for (int32_t y = 0; y < plane.Height; ++y)
      for (int32_t x = 0; x < plane.Width; ++x) {
        if (plane.getPixel(x, y) != 0) {
          ASSERT_TRUE(ptInRect(b, {x, y})) << c.what << " " << x << " " << y;
        }
      }
  }
}

TEST_F(ShapeFill, DegenerateEllipseDrawsNothing) {
  CEllipseFiller f(&doc, 0.3, stroke);
  EXPECT_FALSE(f.setEllipse({5, 5}, {5, 20}));
  EXPECT_FALSE(f.setEllipse({5, 5}, {20, 5}));
  EXPECT_EQ(flat(f).fill(plane), 0);
  CEllipseFiller far(&doc, 0.0, stroke);
  EXPECT_FALSE(far.setEllipse({100, 100}, {120, 130}));  // wholly outside the layer
  EXPECT_EQ(sum(), 0.0);
}

TEST_F(ShapeFill, FillsPlotThroughTheStrokesCallBacks) {
  stroke.color = 0x00123456;
  stroke.opaque = 0;
  CFillMngr f(&doc, stroke);  // selects blendPixelOpacity
  TMTC target(40, 30);
  fill(target, 0u);
  ASSERT_TRUE(f.setRect({1, 1}, {3, 2}));
  EXPECT_EQ(f.fillBox(target), 1);
  EXPECT_EQ(target.getPixel(1, 1), 0xFF123456u);
  EXPECT_EQ(target.getPixel(3, 1), 0u);
  // A span procedure of the caller's takes over.
  int spans = 0;
  f.setSpanProc([](void* data, CFillMngr&, CDibCore&, const CFillMngr::SSpan&) { ++*static_cast<int*>(data); },
                &spans);
  f.fillBox(target);
  EXPECT_EQ(spans, 1);
  f.setPlot(7);
  EXPECT_EQ(f.extraPlotValue(), 7u);
  f.fillBox(plane);  // the colour plot refuses an 8-bit target
  EXPECT_EQ(sum(), 0.0);
}

}  // namespace
}  // namespace pg
