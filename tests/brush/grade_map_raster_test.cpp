#include "brush/grade_map_raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace pg {
namespace grade_map_raster_test {

constexpr int32_t kOne = 0x10000;
constexpr double kPi = 3.14159265358979323846;

int32_t fx(double v) { return static_cast<int32_t>(std::lround(v * 65536.0)); }

// A cleared grid the size of a box.
struct Grid {
  std::vector<int32_t> cells;
  SCellView view;
  explicit Grid(const SDiscBox& box, int32_t fillValue = 0)
      : cells(static_cast<size_t>(box.cols) * static_cast<size_t>(box.rows), fillValue),
        view{cells.data(), box.cols, box.rows} {}
  double sum() const {
    double s = 0;
    for (int32_t v : cells) s += v;
    return s / 65536.0;
  }
};

TEST(SpanCoverage, CellsOfASpan) {
  struct Case {
    const char* what;
    double a, b, value;
    int32_t limit, stride;
    std::vector<int32_t> cells;  // the strided cells, in order
  };
  const Case cases[] = {
      {"three pixels", 1.25, 3.5, 1.0, 8, 1, {0xC000, kOne, 0x8000}},
      {"whole ends", 1.0, 3.0, 1.0, 8, 1, {kOne, kOne}},
      {"inside one pixel", 2.25, 2.75, 1.0, 8, 1, {0x8000}},
      {"weighted", 0.5, 2.5, 0.5, 8, 1, {0x4000, 0x8000, 0x4000}},
      {"cut at the limit", 0.5, 5.5, 1.0, 2, 1, {0x8000, kOne}},
      {"down a column", 0.5, 2.25, 1.0, 8, 3, {0x8000, kOne, 0x4000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<int32_t> grid(32, -1);
    const int32_t n = spanCoverage1D(fx(c.a), fx(c.b), fx(c.value), grid.data(), c.limit, c.stride);
    ASSERT_EQ(n, static_cast<int32_t>(c.cells.size()));
    for (int32_t k = 0; k < n; ++k) EXPECT_EQ(grid[static_cast<size_t>(k) * c.stride], c.cells[k]) << k;
    EXPECT_EQ(grid[static_cast<size_t>(n) * c.stride], -1);  // nothing past the span
  }
  std::vector<int32_t> grid(4, -1);
  EXPECT_EQ(spanCoverage1D(fx(3.0), fx(2.0), kOne, grid.data(), 4, 1), 0);
  EXPECT_EQ(spanCoverage1D(fx(1.0), fx(2.0), kOne, grid.data(), 0, 1), 0);
  EXPECT_EQ(spanCoverage1D(fx(1.0), fx(2.0), kOne, nullptr, 4, 1), 0);
  EXPECT_EQ(grid[0], -1);
}

TEST(DiscBox, BoxesAndRefusals) {
  SDiscBox box;
  ASSERT_TRUE(discBox(fx(5.5), fx(5.5), fx(2.0), fx(2.0), box));
  EXPECT_EQ(box.col0, 3);
  EXPECT_EQ(box.row0, 3);
  EXPECT_EQ(box.cols, 5);
  EXPECT_EQ(box.rows, 5);
  EXPECT_EQ(box.originX, 2);
  EXPECT_EQ(box.left, fx(3.5));
  EXPECT_EQ(box.bottom, fx(7.5));
  ASSERT_TRUE(discBox(fx(-1.25), fx(0.0), fx(1.0), fx(0.5), box));
  EXPECT_EQ(box.col0, -3);
  EXPECT_EQ(box.cols, 3);
  EXPECT_EQ(box.row0, -1);
  EXPECT_EQ(box.rows, 2);
  EXPECT_EQ(box.originX, 1);
  EXPECT_EQ(box.originY, 1);

  EXPECT_FALSE(discBox(0, 0, -1, 0, box));
  EXPECT_FALSE(discBox(0, 0, (kMaxDiscExtent + 1) << 16, 0, box));
  EXPECT_FALSE(discBox(INT32_MAX - 10, 0, fx(2.0), fx(2.0), box));
  EXPECT_FALSE(discBox(INT32_MIN + 10, 0, fx(2.0), fx(2.0), box));
}

TEST(DistanceValue, HypotenuseOverRadius) {
  EXPECT_EQ(distanceValue(fx(3.0), 16.0, 0.2), kOne);
  EXPECT_EQ(distanceValue(0, 0.0, 1.0), 0);
  EXPECT_EQ(distanceValue(fx(-1.5), 2.0, 0.5), fx(std::sqrt(4.25) * 0.5));
}

TEST(DiscCoverage, SmallDiscIsOneHalfValueSpan) {
  for (bool columns : {false, true}) {
    SCOPED_TRACE(columns);
    SDiscBox box;
    ASSERT_TRUE(discGridBox(fx(3.5), fx(7.0), fx(0.25), columns, box));
    EXPECT_EQ(columns ? box.cols : box.rows, 1);
    EXPECT_EQ(columns ? box.originX : box.originY, 0);
    Grid g(box);
    ASSERT_TRUE(columns ? discColumnsCoverage(g.view, box, fx(3.5), fx(7.0), fx(0.25))
                        : discRowsCoverage(g.view, box, fx(3.5), fx(7.0), fx(0.25)));
    EXPECT_NEAR(g.sum(), 0.5 * 0.5, 1e-4);  // a span of 2r with value 0.5
  }
}

TEST(DiscCoverage, AreaOfDiscs) {
  std::mt19937 rng(20240611);
  std::uniform_real_distribution<double> pos(-20.0, 20.0), rad(0.5, 60.0);
  for (int n = 0; n < 60; ++n) {
    const int32_t cx = fx(pos(rng)), cy = fx(pos(rng)), r = fx(rad(rng));
    SCOPED_TRACE(::testing::Message() << "cx " << cx << " cy " << cy << " r " << r);
    SDiscBox box;
    ASSERT_TRUE(discGridBox(cx, cy, r, false, box));
    Grid rows(box), cols(box);
    ASSERT_TRUE(discRowsCoverage(rows.view, box, cx, cy, r));
    ASSERT_TRUE(discColumnsCoverage(cols.view, box, cx, cy, r));
    const double rr = r / 65536.0;
    // Chords through the row centres approximate each row's area; the error
    // is a fraction of the rim.
    EXPECT_NEAR(rows.sum(), kPi * rr * rr, 0.5 + 0.3 * rr);
    EXPECT_NEAR(cols.sum(), kPi * rr * rr, 0.5 + 0.3 * rr);
    for (int32_t v : rows.cells) ASSERT_TRUE(v >= 0 && v <= kOne) << v;
  }
}

TEST(DiscCoverage, SpansEqualTheCellByCellReference) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int32_t> pos(-40 << 16, 40 << 16), rad(1, 70 << 16);
  for (int n = 0; n < 300; ++n) {
    const int32_t cx = pos(rng), cy = pos(rng), r = n < 30 ? rad(rng) % 0x8000 + 1 : rad(rng);
    for (bool columns : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "cx " << cx << " cy " << cy << " r " << r << " columns " << columns);
      SDiscBox box;
      ASSERT_TRUE(discGridBox(cx, cy, r, columns, box));
      Grid fast(box, -7), ref(box, -7), fastD(box, -7), refD(box, -7);
      ASSERT_TRUE(columns ? discColumnsCoverage(fast.view, box, cx, cy, r)
                          : discRowsCoverage(fast.view, box, cx, cy, r));
      ASSERT_TRUE(discCoverageRef(ref.view, box, cx, cy, r, columns));
      ASSERT_EQ(fast.cells, ref.cells);
      ASSERT_TRUE(discDistanceRows(fastD.view, box, cx, cy, r, columns));
      ASSERT_TRUE(discDistanceRef(refD.view, box, cx, cy, r, columns));
      ASSERT_EQ(fastD.cells, refD.cells);
    }
  }
}

TEST(DiscDistance, CellsOfAChord) {
  // A disc of radius 2 centred on (5, 5): the chord of row 5 (centre offset
  // 0.5) runs from 5 - sqrt(3.75) to 5 + sqrt(3.75).
  const int32_t c = fx(5.0), r = fx(2.0);
  SDiscBox box;
  ASSERT_TRUE(discGridBox(c, c, r, false, box));
  Grid g(box);
  ASSERT_TRUE(discDistanceRows(g.view, box, c, c, r, false));
  const int32_t row = 5 - box.row0;
  // The inner pixel 5: middle 5.5, offset (0.5, 0.5).
  EXPECT_EQ(g.cells[static_cast<size_t>(row) * box.cols + (5 - box.col0)], fx(std::sqrt(0.5) / 2.0));
  // The first cell, pixel 3: covered from 5 - sqrt(3.75) to 4.
  const double a = 5.0 - std::sqrt(3.75);
  const double mid = (fx(a) / 65536.0 + 4.0) / 2.0 - 5.0;
  EXPECT_NEAR(g.cells[static_cast<size_t>(row) * box.cols + (3 - box.col0)] / 65536.0,
              std::sqrt(mid * mid + 0.25) / 2.0, 1e-4);
  // Every written distance lies inside the disc.
  for (int32_t v : g.cells) ASSERT_LE(v, kOne);
}

TEST(EllipseCoverage, RoundEllipsesAreDiscs) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int32_t> pos(-30 << 16, 30 << 16), rad(1, 40 << 16), ang(-720, 720);
  for (int n = 0; n < 100; ++n) {
    SEllipseShape e;
    e.cx = pos(rng);
    e.cy = pos(rng);
    e.r = rad(rng);
    e.aspect = 100;
    e.angle = static_cast<float>(ang(rng));
    for (bool columns : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "r " << e.r << " angle " << e.angle << " columns " << columns);
      SDiscBox ebox, dbox;
      ASSERT_TRUE(ellipseGridBox(e, ebox));
      ASSERT_TRUE(discGridBox(e.cx, e.cy, e.r, columns, dbox));
      if (e.r >= 0x8000) {
        EXPECT_EQ(ebox.cols, dbox.cols);
        EXPECT_EQ(ebox.rows, dbox.rows);
        EXPECT_EQ(ebox.col0, dbox.col0);
      }
      Grid eg(dbox), dg(dbox), ed(dbox), dd(dbox);
      ASSERT_TRUE(columns ? ellipseColumnsCoverage(eg.view, dbox, e) : ellipseRowsCoverage(eg.view, dbox, e));
      ASSERT_TRUE(columns ? discColumnsCoverage(dg.view, dbox, e.cx, e.cy, e.r)
                          : discRowsCoverage(dg.view, dbox, e.cx, e.cy, e.r));
      ASSERT_EQ(eg.cells, dg.cells);
      ASSERT_TRUE(ellipseDistance(ed.view, dbox, e, columns));
      ASSERT_TRUE(discDistanceRows(dd.view, dbox, e.cx, e.cy, e.r, columns));
      for (size_t k = 0; k < dd.cells.size(); ++k) ASSERT_EQ(ed.cells[k], dd.cells[k] > kOne ? kOne : dd.cells[k]);
    }
  }
}

TEST(EllipseCoverage, AreaAndDistanceOfRotatedEllipses) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> pos(-10.0, 10.0), rad(3.0, 50.0), ang(0.0, 360.0);
  std::uniform_int_distribution<int32_t> asp(10, 99);
  for (int n = 0; n < 40; ++n) {
    SEllipseShape e;
    e.cx = fx(pos(rng));
    e.cy = fx(pos(rng));
    e.r = fx(rad(rng));
    e.aspect = asp(rng);
    e.angle = static_cast<float>(ang(rng));
    const double a = e.r / 65536.0, b = a * e.aspect / 100.0;
    for (bool columns : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "a " << a << " aspect " << e.aspect << " angle " << e.angle);
      SDiscBox box;
      ASSERT_TRUE(ellipseGridBox(e, box));
      Grid g(box), d(box);
      ASSERT_TRUE(columns ? ellipseColumnsCoverage(g.view, box, e) : ellipseRowsCoverage(g.view, box, e));
      EXPECT_NEAR(g.sum(), kPi * a * b, 1.0 + 0.4 * (a + b));
      ASSERT_TRUE(ellipseDistance(d.view, box, e, columns));
      for (int32_t v : d.cells) ASSERT_TRUE(v >= 0 && v <= kOne);
    }
  }
}

TEST(DiscCoverage, GridTooSmallIsRefused) {
  SDiscBox box;
  ASSERT_TRUE(discGridBox(fx(4.0), fx(4.0), fx(3.0), false, box));
  std::vector<int32_t> cells(4);
  const SCellView small{cells.data(), 2, 2};
  EXPECT_FALSE(discRowsCoverage(small, box, fx(4.0), fx(4.0), fx(3.0)));
  EXPECT_FALSE(discCoverageRef(small, box, fx(4.0), fx(4.0), fx(3.0), false));
  EXPECT_FALSE(discDistanceRows(SCellView{}, box, fx(4.0), fx(4.0), fx(3.0), false));
}

}  // namespace grade_map_raster_test
}  // namespace pg
