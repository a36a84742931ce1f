#include "brush/dab_span.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::PlotFixture;
using test::recordedCalls;

class SpanDab : public PlotFixture {
 protected:
  void SetUp() override {
    PlotFixture::SetUp();
    recordedCalls().clear();
    plot.plotProc8 = &test::recordPlot8;
  }
  // (position along, coverage) of the recorded calls.
  std::vector<std::pair<int32_t, uint32_t>> along(bool rows) const {
    std::vector<std::pair<int32_t, uint32_t>> out;
    for (const test::SPlotCall& c : recordedCalls()) out.push_back({rows ? c.x : c.y, c.coverage});
    return out;
  }
  TChannel plane{12, 10};
};

TEST_F(SpanDab, OneSpanGivenValues) {
  using V = std::vector<std::pair<int32_t, uint32_t>>;
  struct Case {
    const char* what;
    float opacity, r, across, centre;
    V want;
  };
  const Case cases[] = {
      // 1.75 .. 4.75: a quarter of pixel 1, three quarters of pixel 4.
      {"inside", 1.0f, 1.5f, 2.0f, 3.25f, {{1, 63}, {2, 255}, {3, 255}, {4, 191}}},
      {"half opacity", 0.5f, 1.5f, 2.0f, 3.25f, {{1, 31}, {2, 127}, {3, 127}, {4, 95}}},
      // -1.25 .. 1.75: starts at column 0 with the full inner alpha.
      {"cut at the left edge", 1.0f, 1.5f, 2.0f, 0.25f, {{0, 255}, {1, 191}}},
      {"runs past the right edge", 1.0f, 3.0f, 2.0f, 10.5f, {{7, 127}, {8, 255}, {9, 255}, {10, 255}, {11, 255}}},
      {"within one pixel: 2r", 1.0f, 0.25f, 2.7f, 5.5f, {{5, 127}}},
      {"row outside", 1.0f, 2.0f, -0.5f, 5.0f, {}},
      {"row below", 1.0f, 2.0f, 10.0f, 5.0f, {}},
      {"no opacity", 0.0f, 2.0f, 2.0f, 5.0f, {}},
      {"not a number", std::numeric_limits<float>::quiet_NaN(), 2.0f, 2.0f, 5.0f, {}},
      {"far left", 1.0f, 2.0f, 2.0f, -1e12f, {}},
  };
  for (const Case& c : cases) {
    for (bool rows : {true, false}) {
      recordedCalls().clear();
      TChannel p(rows ? 12 : 10, rows ? 10 : 12);
      if (rows)
        spanRowAA(plot, p, 255, c.opacity, c.r, c.across, c.centre);
      else
        spanColumnAA(plot, p, 255, c.opacity, c.r, c.across, c.centre);
      EXPECT_EQ(along(rows), c.want) << c.what << (rows ? " (row)" : " (column)");
      for (const test::SPlotCall& call : recordedCalls()) EXPECT_EQ(rows ? call.y : call.x, 2) << c.what;
    }
  }
}

TEST_F(SpanDab, SmallPenDabIsOneSpanAtHalfOpacity) {
  paintPenDabRows(plot, plane, 255, 1.0f, 0.4f, 3.5f, 5.5f);
  ASSERT_EQ(recordedCalls().size(), 1u);
  EXPECT_EQ(recordedCalls()[0].y, 3);
  EXPECT_EQ(recordedCalls()[0].coverage, static_cast<uint32_t>(0.8f * 0.5f * 255.0f));
}

TEST_F(SpanDab, PenDabRowsWeighTheirLastRow) {
  // r = 2 at cy = 4.5: rows 2..6. Row 2 lies 2.5 from the centre (h^2 < 0)
  // and is skipped; row 6, the last, holds 0.5 of a row ((4.5 + 2) - 6).
  paintPenDabRows(plot, plane, 255, 1.0f, 2.0f, 4.5f, 5.0f);
  std::vector<int32_t> rows;
  uint32_t maxRow3 = 0, maxRow6 = 0;
  for (const test::SPlotCall& c : recordedCalls()) {
    if (rows.empty() || rows.back() != c.y) rows.push_back(c.y);
    if (c.y == 3) maxRow3 = std::max(maxRow3, c.coverage);
    if (c.y == 6) maxRow6 = std::max(maxRow6, c.coverage);
  }
  EXPECT_EQ(rows, (std::vector<int32_t>{3, 4, 5, 6}));
  EXPECT_EQ(maxRow3, 255u);
  EXPECT_EQ(maxRow6, 127u);
}

TEST_F(SpanDab, ColumnsAreRowsWithTheAxesExchanged) {
  paintPenDabRows(plot, plane, 255, 0.8f, 2.7f, 4.3f, 5.6f);
  std::vector<test::SPlotCall> rows = recordedCalls();
  recordedCalls().clear();
  TChannel turned(10, 12);
  paintPenDabColumns(plot, turned, 255, 0.8f, 2.7f, 5.6f, 4.3f);
  ASSERT_EQ(recordedCalls().size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(recordedCalls()[i].x, rows[i].y);
    EXPECT_EQ(recordedCalls()[i].y, rows[i].x);
    EXPECT_EQ(recordedCalls()[i].coverage, rows[i].coverage);
  }
}

TEST_F(SpanDab, HugeOrBrokenDabsStayInThePlane) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float dabs[][3] = {{1e9f, 5, 5}, {50, -20, 3}, {nan, 5, 5}, {3, nan, 5}, {3, 5, nan}, {-4, 5, 5}};
  for (const auto& d : dabs) {
    paintPenDabRows(plot, plane, 255, 1.0f, d[0], d[1], d[2]);
    paintPenDabColumns(plot, plane, 255, 1.0f, d[0], d[1], d[2]);
  }
  for (const test::SPlotCall& c : recordedCalls()) ASSERT_TRUE(insideGrid(c.x, c.y, plane.Width, plane.Height));
  EXPECT_FALSE(recordedCalls().empty());
}

TEST_F(SpanDab, PenCoverageIsAMaximum) {
  plot = SPlotter{};  // plotDirect into plotMax
  fill(plane, uint8_t{0});
  paintPenDabRows(plot, plane, 255, 0.5f, 3.0f, 5.0f, 5.0f);
  paintPenDabRows(plot, plane, 255, 0.5f, 3.0f, 5.0f, 5.5f);
  for (int32_t y = 0; y < plane.Height; ++y)
    for (int32_t x = 0; x < plane.Width; ++x) EXPECT_LE(plane.getPixel(x, y), 127);
  EXPECT_EQ(plane.getPixel(5, 5), 127);
}

}  // namespace
}  // namespace pg
