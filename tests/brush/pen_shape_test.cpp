#include "brush/pen_shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "brush/grade_map.h"
#include "brush/grade_map_raster.h"
#include "brush/pen_shape_grid.h"
#include "brush/pen_shape_obj.h"
#include "brush/pen_shape_param.h"

namespace pg {
namespace pen_shape_test {

constexpr int32_t kOne = 0x10000;
constexpr double kPi = 3.14159265358979323846;

int32_t fx(double v) { return static_cast<int32_t>(std::lround(v * 65536.0)); }

// ---- shape records ------------------------------------------------------------

TEST(PenShapeParam, Setters) {
  struct AngleCase {
    float deg;
    int32_t stored;
  };
  const AngleCase angles[] = {{-0.04f, 0}, {359.96f, 0}, {-10.0f, 3501}, {45.5f, 455}, {720.0f, 0}};
  for (const AngleCase& c : angles) {
    SCOPED_TRACE(c.deg);
    SPenShapeParam p;
    p.setAngle(c.deg);
    EXPECT_EQ(p.angle, c.stored);
  }
  // Angles beyond the integer range saturate before the wrap: still 0..3599.
  for (float wild : {1e12f, -1e12f, std::numeric_limits<float>::quiet_NaN()}) {
    SPenShapeParam w;
    w.setAngle(wild);
    EXPECT_TRUE(w.angle >= 0 && w.angle < 3600) << wild;
  }
  SPenShapeParam p;
  p.init(10.0f);
  EXPECT_EQ(p, (SPenShapeParam{1000, 1000, 0, 1000}));
  EXPECT_EQ(p.setAspect(1.5f), 1.0f);  // answers the previous value
  EXPECT_EQ(p.aspect, 1000);
  p.setAspect(-0.2f);
  EXPECT_EQ(p.aspect, 0);
  p.setAspect(0.4567f);
  EXPECT_EQ(p.aspect, 457);
  EXPECT_EQ(p.getAspectPercent(), 45);
  EXPECT_EQ(p.setMinSize(1.5f), 1.0f);
  EXPECT_EQ(p.minSize, 1500);
  EXPECT_EQ(p.getMinSizePercent(), 150);
  EXPECT_EQ(p.setSize(12.345f), 10.0f);
  EXPECT_EQ(p.size, 1235);
  EXPECT_EQ(p.getSizeInt(), 12);
  EXPECT_FLOAT_EQ(p.getSize(), 12.35f);
  EXPECT_EQ(p.setSizeRaw(77), 1235);
  EXPECT_EQ(p.size, 77);
  p.setAngle(123.4f);
  EXPECT_EQ(p.getAngleDegrees(), 123);
  EXPECT_FLOAT_EQ(p.getAngle(), 123.4f);

  SEdgeParam e;
  EXPECT_FALSE(e.isHard());
  EXPECT_FALSE(e.setHard(true));
  EXPECT_EQ(e.hard, 1);
  EXPECT_TRUE(e.setHard(false));
  e.hard = 5;  // any non-zero value from a file is hard
  EXPECT_TRUE(e.isHard());
  e.clear();
  EXPECT_EQ(e, SEdgeParam{});
}

// ---- cell rules -----------------------------------------------------------------

TEST(PenShapeRules, RadiusQuantisation) {
  struct Case {
    double in, out;
  };
  const Case cases[] = {{10.3, 10.0}, {10.75, 10.5}, {4.3, 4.25}, {3.0, 3.0}, {2.99, 2.875},
                        {1.3, 1.25},  {0.01, 0.0625}, {0.0, 0.0625}, {512.0, 512.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(quantizePenRadius(fx(c.in)), fx(c.out));
  }
  EXPECT_EQ(quantizePenRadius(fx(512.0) + 1), -1);
  EXPECT_EQ(quantizePenRadius(-100), 0x1000);
}

TEST(PenShapeRules, SupersamplingFactor) {
  const int32_t cases[][2] = {{20, 2}, {5, 5}, {60, 1}, {3, 3}, {1, 2}, {0, 2}, {4, 5},
                              {7, 4},  {8, 2}, {25, 2}, {26, 1}, {49, 1}, {50, 1}};
  for (const auto& c : cases) EXPECT_EQ(supersampleFactor(c[0]), c[1]) << c[0];
}

TEST(PenShapeRules, EdgeValuesOfTheSpec) {
  const double r = 5.0;
  const double d = r / std::sqrt(2.0);
  EXPECT_EQ(edgeCoverageFix(d, d, r), 0x8000);    // on the outline at 45 degrees
  EXPECT_EQ(edgeCoverageFix(-d, d, r), 0x8000);
  EXPECT_EQ(edgeCoverageFix(r + 0.7, 0.0, r), 0);  // axis-parallel ramp
  EXPECT_EQ(edgeCoverageFix(r - 0.7, 0.0, r), kOne);
  EXPECT_EQ(edgeCoverageFix(0.0, r, r), 0x8000);
  EXPECT_EQ(edgeCoverageFix(0.0, 0.0, 0.0625), fx(0.5625));  // the centre of the smallest dab
  EXPECT_EQ(edgeCoverageFix(1.0, 1.0, 20.0), kOne);
  EXPECT_EQ(edgeCoverageFix(30.0, 31.0, 20.0), 0);
}

// The part of the unit square around (x, y) inside the line p . (x, y) / d = r,
// counted on a fine grid.
double squareInsideLine(double x, double y, double r) {
  const double d = std::sqrt(x * x + y * y);
  const int n = 400;
  int inside = 0;
  for (int j = 0; j < n; ++j)
    for (int i = 0; i < n; ++i) {
      const double px = x - 0.5 + (i + 0.5) / n, py = y - 0.5 + (j + 0.5) / n;
      if ((px * x + py * y) / d <= r) ++inside;
    }
  return static_cast<double>(inside) / (n * n);
}

TEST(PenShapeRules, EdgeAreaMatchesTheCutSquare) {
  std::mt19937 rng(3);
  std::uniform_real_distribution<double> rad(1.0, 40.0), ang(0.0, 2 * kPi), off(-1.2, 1.2);
  for (int n = 0; n < 60; ++n) {
    const double r = rad(rng), a = ang(rng), d = r + off(rng);
    const double x = d * std::cos(a), y = d * std::sin(a);
    const double small = std::min(std::fabs(x), std::fabs(y)), large = std::max(std::fabs(x), std::fabs(y));
    if (small < 1.0 / 16.0 || large > 200.0 * small) continue;  // the ramp's cases
    SCOPED_TRACE(::testing::Message() << "x " << x << " y " << y << " r " << r);
    EXPECT_NEAR(edgeCoverage(x, y, r), squareInsideLine(x, y, r), 0.01);
  }
}

TEST(PenShapeRules, FastGridsEqualTheReference) {
  std::mt19937 rng(99);
  std::uniform_int_distribution<int32_t> half(0, 40), fac(1, 5), asp(1, 100), flip(0, 1);
  std::uniform_real_distribution<double> rad(0.06, 45.0), ang(-3.5, 3.5);
  for (int n = 0; n < 200; ++n) {
    SShapeGridSpec s;
    s.factor = fac(rng);
    s.gridW = (2 * half(rng) + 1) * s.factor;
    s.gridH = (2 * half(rng) + 1) * s.factor;
    s.centre2X = s.gridW;
    s.centre2Y = s.gridH;
    s.radius = rad(rng);
    s.ellipse = flip(rng) != 0;
    const double a = ang(rng);
    s.cosA = std::cos(a);
    s.sinA = std::sin(a);
    s.stretch = 100.0 / asp(rng);
    s.useEdge = n % 7 != 0;
    SCOPED_TRACE(::testing::Message() << "case " << n << " " << s.gridW << "x" << s.gridH << " ellipse " << s.ellipse);
    const size_t cells = static_cast<size_t>(s.gridW) * s.gridH;
    std::vector<int32_t> fd(cells, -1), fe(cells, -1), rd(cells, -2), re(cells, -2);
    fillShapeGrids(s, fd.data(), fe.data());
    fillShapeGridsRef(s, rd.data(), re.data());
    ASSERT_EQ(fd, rd);
    ASSERT_EQ(fe, re);
  }
  // An off-centre grid is filled by the reference.
  SShapeGridSpec s;
  s.gridW = 6;
  s.gridH = 5;
  s.centre2X = 3;
  s.centre2Y = 5;
  s.radius = 2.0;
  std::vector<int32_t> fd(30), fe(30), rd(30), re(30);
  fillShapeGrids(s, fd.data(), fe.data());
  fillShapeGridsRef(s, rd.data(), re.data());
  EXPECT_EQ(fd, rd);
  EXPECT_EQ(fe, re);
}

// ---- CPenShape -------------------------------------------------------------------

double edgeArea(const CPenShape& s) {
  double sum = 0;
  for (int32_t j = 0; j < s.gridHeight(); ++j)
    for (int32_t i = 0; i < s.gridWidth(); ++i) sum += s.edgeCell(i, j);
  return sum / 65536.0 / (s.factor() * s.factor());
}

TEST(PenShape, CreateBuildsTheSmallestRoundDab) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  EXPECT_TRUE(s.valid());
  EXPECT_EQ(s.radius(), 0x1000);
  EXPECT_TRUE(s.useFalloff());
  EXPECT_FALSE(s.useEdge());
  EXPECT_TRUE(s.useTable());
  EXPECT_EQ(s.buildCount(), 1u);
  EXPECT_EQ(s.boxWidth(), 1);
  EXPECT_EQ(s.factor(), 2);
  EXPECT_EQ(s.centreX(), 0x8000);
}

TEST(PenShape, RoundDabCells) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  s.setUseEdge(true);
  s.setUseFalloff(false);
  ASSERT_TRUE(s.prepareSize(fx(10.3)));
  EXPECT_EQ(s.radius(), fx(10.0));
  EXPECT_EQ(s.boxWidth(), 21);
  EXPECT_EQ(s.factor(), 2);
  EXPECT_EQ(s.gridWidth(), 42);
  EXPECT_EQ(s.centreX(), fx(10.5));
  EXPECT_NEAR(edgeArea(s), kPi * 100.0, 1.0);
  // Without falloff the dab is the edge x 255.
  EXPECT_EQ(s.dabAt(0, 0), 0xFF0000);
  EXPECT_EQ(s.dabAt(fx(-10.4), fx(-10.4)), 0);  // outside the outline, inside the box
  EXPECT_EQ(s.dabAt(fx(11.0), 0), 0);      // outside the box
  EXPECT_EQ(s.dabAt(INT32_MAX, INT32_MIN), 0);
  // With the linear falloff the dab falls from the centre.
  s.setUseFalloff(true);
  ASSERT_TRUE(s.prepareSize(fx(10.0)));
  const int32_t centre = s.dabAt(0, 0);
  EXPECT_GT(centre, 0xF00000);
  EXPECT_GT(s.dabAt(fx(3.0), 0), s.dabAt(fx(6.0), 0));
  EXPECT_GT(s.dabAt(fx(6.0), 0), s.dabAt(fx(9.0), 0));
  // A cell's dab value is its edge times the table weight at its distance.
  const int32_t i = 30, j = 21;
  EXPECT_EQ(s.dabCell(i, j),
            static_cast<int32_t>((static_cast<int64_t>(map.weightAt(s.distanceCell(i, j))) * s.edgeCell(i, j)) >> 16));
}

TEST(PenShape, RebuildsOnlyWhenTheQuantisedShapeChanges) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  const uint32_t b0 = s.buildCount();
  ASSERT_TRUE(s.prepareSize(fx(10.3)));
  ASSERT_TRUE(s.prepareSize(fx(10.4)));  // the same 10.0
  EXPECT_EQ(s.buildCount(), b0 + 1);
  ASSERT_TRUE(s.prepareSize(fx(10.5)));
  EXPECT_EQ(s.buildCount(), b0 + 2);
  ASSERT_TRUE(s.prepareShape(fx(20.1), 50, 30));
  ASSERT_TRUE(s.prepareShape(fx(20.2), 50, 30));
  EXPECT_EQ(s.buildCount(), b0 + 3);
  ASSERT_TRUE(s.prepareShape(fx(20.2), 50, 31));
  ASSERT_TRUE(s.prepareShape(fx(20.2), 51, 31));
  EXPECT_EQ(s.buildCount(), b0 + 5);
  ASSERT_TRUE(s.prepareSize(fx(20.0)));  // round after an ellipse: rebuilt
  EXPECT_EQ(s.buildCount(), b0 + 6);
  s.setUseEdge(true);  // a switch makes the dab invalid
  EXPECT_FALSE(s.valid());
  ASSERT_TRUE(s.prepareSize(fx(20.0)));
  EXPECT_EQ(s.buildCount(), b0 + 7);
}

TEST(PenShape, RefusedRadius) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  EXPECT_FALSE(s.prepareSize(fx(513.0)));
  EXPECT_FALSE(s.valid());
  EXPECT_EQ(s.dabAt(0, 0), 0);
  EXPECT_FALSE(s.prepareShape(fx(600.0), 50, 0));
  EXPECT_FALSE(s.prepareDisc(0, 0, fx(600.0), false));
  ASSERT_TRUE(s.prepareSize(fx(512.0)));
  EXPECT_EQ(s.factor(), 1);
  EXPECT_EQ(s.boxWidth(), 1025);
}

TEST(PenShape, EllipseBoxAndArea) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  s.setUseEdge(true);
  s.setUseFalloff(false);
  for (int32_t angle : {0, 30, 90, -45, 400}) {
    SCOPED_TRACE(angle);
    ASSERT_TRUE(s.prepareShape(fx(16.0), 40, angle));
    const double th = angle * kPi / 180.0;
    const double hx = std::sqrt(256.0 * std::cos(th) * std::cos(th) + 6.4 * 6.4 * std::sin(th) * std::sin(th));
    EXPECT_GE(s.boxWidth(), 2.0 * (hx + 2.0));
    EXPECT_LE(s.boxWidth(), 2.0 * (hx + 2.0) + 2.0);
    EXPECT_NEAR(edgeArea(s), kPi * 16.0 * 6.4, 2.0);
    // Along the major axis the dab reaches 15 pixels, across it 6.
    const int32_t cx = fx(15.0 * std::cos(th)), cy = fx(15.0 * std::sin(th));
    EXPECT_GT(s.dabAt(cx, cy), 0);
    EXPECT_EQ(s.dabAt(fx(-8.0 * std::sin(th)), fx(8.0 * std::cos(th))), 0);
  }
  // An aspect of 0 (a flat record) is taken as 1 percent, not divided by.
  ASSERT_TRUE(s.prepareShape(fx(16.0), 0, 0));
  EXPECT_EQ(s.aspect(), 1);
}

TEST(PenShape, GradeMapChangesReachTheDabAfterFinish) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  s.setUseEdge(true);
  ASSERT_TRUE(s.prepareSize(fx(8.0)));
  const int32_t before = s.dabAt(fx(6.0), 0);
  map.setParam(SGradeMapParam{3, 1000, 0});  // flat
  s.finish();
  EXPECT_GT(s.dabAt(fx(6.0), 0), before);
  EXPECT_EQ(s.dabAt(fx(6.0), 0), static_cast<int32_t>((0xFF0000LL * s.edgeCell(s.gridWidth() / 2 + 12, s.gridHeight() / 2)) >> 16));
  s.setUseTable(false);  // without the table the weight is full
  ASSERT_TRUE(s.prepareSize(fx(8.0)));
  EXPECT_EQ(s.dabAt(0, 0), 0xFF0000);
}

TEST(PenShape, DirectPathDiscIsTheRasterisedDisc) {
  CGradeMapObj map(2048);
  CPenShape s(&map);
  const int32_t cx = fx(100.3), cy = fx(50.8), r = fx(6.0);
  for (bool columns : {false, true}) {
    SCOPED_TRACE(columns);
    ASSERT_TRUE(s.prepareDisc(cx, cy, r, columns));
    SDiscBox box;
    ASSERT_TRUE(discGridBox(cx, cy, r, columns, box));
    EXPECT_EQ(s.factor(), 1);
    EXPECT_EQ(s.boxLeft(), box.col0);
    EXPECT_EQ(s.boxTop(), box.row0);
    EXPECT_EQ(s.gridWidth(), box.cols);
    EXPECT_EQ(s.centreX(), (box.originX << 16) + 0x8000);
    std::vector<int32_t> cov(static_cast<size_t>(box.cols) * box.rows, 0);
    const SCellView v{cov.data(), box.cols, box.rows};
    columns ? discColumnsCoverage(v, box, cx, cy, r) : discRowsCoverage(v, box, cx, cy, r);
    for (int32_t j = 0; j < box.rows; ++j)
      for (int32_t i = 0; i < box.cols; ++i)
        ASSERT_EQ(s.edgeCell(i, j), cov[static_cast<size_t>(j) * box.cols + i]) << i << "," << j;
  }
  ASSERT_TRUE(s.prepareEllipse(cx, cy, fx(12.0), 50, 20, false));
  EXPECT_EQ(s.factor(), 1);
  EXPECT_GT(s.dabAt(0, 0), 0);
}

// ---- image nibs --------------------------------------------------------------------

TEST(PenShape, ImageNib) {
  resetPenShapeIds();
  CGradeMapObj map(2048);
  CPenShape s(&map);
  s.setUseFalloff(false);
  TChannel img(16, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 16; ++x) *img.pixelAt(x, y) = 255;
  CPenShapeObj nib;
  ASSERT_TRUE(nib.setImage(img, true));
  ASSERT_TRUE(s.prepareImageNib(&nib, false));
  // A full 16 x 4 image at 100 %: its area, in a box around it.
  EXPECT_NEAR(edgeArea(s), 64.0, 0.5);
  EXPECT_GE(s.boxWidth(), 16);
  EXPECT_LE(s.boxHeight(), 8);
  EXPECT_EQ(s.dabAt(0, 0), 0xFF0000);
  EXPECT_EQ(s.dabAt(fx(7.0), 0), 0xFF0000);
  EXPECT_EQ(s.dabAt(fx(9.5), 0), 0);
  const uint32_t builds = s.buildCount();
  ASSERT_TRUE(s.prepareImageNib(&nib, false));
  EXPECT_EQ(s.buildCount(), builds);
  ASSERT_TRUE(s.prepareImageNib(&nib, true));
  EXPECT_EQ(s.buildCount(), builds + 1);
  // Scaled to 200 % and turned a quarter: 8 x 32.
  ASSERT_TRUE(nib.setScale(200));
  SPenShapeParam shape = nib.params().shape;
  shape.setAngle(90.0f);
  nib.setParams(nullptr, &shape, nullptr);
  ASSERT_TRUE(s.prepareImageNib(&nib, false));
  EXPECT_EQ(s.buildCount(), builds + 2);
  EXPECT_NEAR(edgeArea(s), 256.0, 1.0);
  EXPECT_EQ(s.dabAt(0, fx(14.0)), 0xFF0000);
  EXPECT_EQ(s.dabAt(fx(14.0), 0), 0);

  CPenShapeObj parametric;
  EXPECT_FALSE(s.prepareImageNib(&parametric, false));
  EXPECT_FALSE(s.valid());
  EXPECT_FALSE(s.prepareImageNib(nullptr, false));
}

}  // namespace pen_shape_test
}  // namespace pg
