#include "brush/plot_rows.h"

#include <gtest/gtest.h>

#include <random>

#include "brush/dab_plane.h"
#include "brush/plot_merge.h"
#include "core/blend_modes.h"
#include "core/plane_ops.h"
#include "plot_test_util.h"

namespace pg {
namespace {

using test::PlotFixture;

using PlotRows = PlotFixture;
using test::kSlotSettings;
using test::useSlotSetting;

// Rows of random coverage (zeros included) at random places, some reaching
// past the mask on either side, through the row plotter and through
// plotProc32 per pixel.
TEST_F(PlotRows, RowPlottersEqualPlottingEachPixel) {
  std::mt19937 rng(17);
  auto mask = test::randomMask(300, 200, rng);
  test::forEachKernelLevel([&] {
    for (const test::SSlotSetting& s : kSlotSettings) {
      useSlotSetting(plot, s, mask.get());
      plot.plotMaskOffsetX = -40;
      plot.plotMaskOffsetY = 12;
      TMTC fast(400, 240), ref(400, 240);
      test::fillRandom(fast, rng);
      ASSERT_TRUE(ref.copyPixelsFrom(fast));
      const RowPlot32 row = rowPlotter32(plot);
      std::vector<uint8_t> cov(400);
      for (int i = 0; i < 200; ++i) {
        const int32_t y = static_cast<int32_t>(rng() % 240);
        const int32_t x0 = static_cast<int32_t>(rng() % 400);
        const int32_t n = static_cast<int32_t>(rng() % (400 - x0)) + 1;
        for (int32_t j = 0; j < n; ++j) cov[j] = rng() % 3 == 0 ? 0 : static_cast<uint8_t>(rng());
        const uint32_t colour = static_cast<uint32_t>(rng());
        row(plot, fast.pixelAt(x0, y), x0, y, cov.data(), n, colour);
        reference::plotRow32(plot, ref.pixelAt(x0, y), x0, y, cov.data(), n, colour);
      }
      EXPECT_TRUE(test::samePixels(fast, ref)) << s.what;
    }
  });
}

TEST_F(PlotRows, EightBitRowsEqualPlottingEachPixel) {
  std::mt19937 rng(4);
  struct Setting8 {
    const char* what;
    PlotProc8 proc;
    PlotBaseOp8 op;
  };
  const Setting8 settings[] = {
      {"direct max", &plotDirect, &plotMax},
      {"other merge", &plotDirect, [](uint8_t* p, uint32_t v, uint32_t c) { lerpByte(p, v, c); }},
  };
  for (const Setting8& s : settings) {
    plot.plotProc8 = s.proc;
    plot.plotBaseOp8 = s.op;
    TChannel fast(100, 20), ref(100, 20);
    test::fillRandom(fast, rng);
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 100; ++x) *ref.pixelAt(x, y) = fast.getPixel(x, y);
    std::vector<uint8_t> cov(100);
    for (int i = 0; i < 50; ++i) {
      const int32_t y = static_cast<int32_t>(rng() % 20), x0 = static_cast<int32_t>(rng() % 100);
      const int32_t n = static_cast<int32_t>(rng() % (100 - x0)) + 1;
      for (int32_t j = 0; j < n; ++j) cov[j] = static_cast<uint8_t>(rng());
      const uint32_t v = rng() & 255;
      rowPlotter8(plot)(plot, fast.pixelAt(x0, y), x0, y, cov.data(), n, v);
      reference::plotRow8(plot, ref.pixelAt(x0, y), x0, y, cov.data(), n, v);
    }
    for (int32_t y = 0; y < 20; ++y)
      for (int32_t x = 0; x < 100; ++x) ASSERT_EQ(fast.getPixel(x, y), ref.getPixel(x, y)) << s.what;
  }
}

// ---- plane commits ------------------------------------------------------------------

TEST_F(PlotRows, PlotMaskEqualsReferenceAndStaysInBothPlanes) {
  std::mt19937 rng(8);
  auto mask = test::randomMask(120, 90, rng);
  TChannel coverage(70, 50);
  test::fillRandom(coverage, rng);
  const TPoint points[] = {{0, 0}, {-20, 10}, {60, 50}, {500, 0}};
  const SRectXYWH rects[] = {{0, 0, 70, 50}, {-5, -5, 30, 300}, {10, 10, 0, 5}};
  for (const test::SSlotSetting& s : kSlotSettings) {
    useSlotSetting(plot, s, mask.get());
    TMTC fast(100, 80), ref(100, 80);
    test::fillRandom(fast, rng);
    ASSERT_TRUE(ref.copyPixelsFrom(fast));
    for (TPoint p : points)
      for (SRectXYWH r : rects) {
        const uint32_t colour = static_cast<uint32_t>(rng()), opacity = rng() % 300;
        plotMask(plot, fast, coverage, p, opacity, colour, r);
        reference::plotMask(plot, ref, coverage, p, opacity, colour, r);
      }
    EXPECT_TRUE(test::samePixels(fast, ref)) << s.what;
  }
}

TEST_F(PlotRows, PlotMaskHandsOnCoveragePlaneCoordinates) {
  TChannel coverage(10, 10);
  fill(coverage, uint8_t{200});
  TMTC target(20, 20);
  test::recordedCalls().clear();
  plot.plotProc32 = &test::recordPlot32;
  plotMask(plot, target, coverage, {5, 6}, 128, 0x0000FF, {2, 3, 2, 1});
  ASSERT_EQ(test::recordedCalls().size(), 2u);
  EXPECT_EQ(test::recordedCalls()[0].x, 2);
  EXPECT_EQ(test::recordedCalls()[0].y, 3);
  EXPECT_EQ(test::recordedCalls()[1].x, 3);
  EXPECT_EQ(test::recordedCalls()[0].coverage, mulDiv255(200, 128));
}

}  // namespace
}  // namespace pg
