// The region histogram of the levels and threshold dialogs, its picture and
// the threshold dialog's automatic value.
#include <gtest/gtest.h>

#include "filter_fixture.h"
#include "filters/filter_dialog_model.h"
#include "filters/histogram.h"
#include "ui/memory_graphic.h"

namespace pg {
namespace {

using testing::FilterFixture;

TEST(Histogram, ExtremesAndWeights) {
  FilterFixture f(4, 2);
  // Red 20 .. 220, greys 10 .. 200; one pixel transparent, one half selected.
  const uint32_t px[8] = {0xFF140A0Au, 0xFFDC0000u, 0xFF646464u, 0xFFC8C8C8u,
                          0x00FFFFFFu, 0xFF505050u, 0xFF505050u, 0xFF505050u};
  f.setPixels([&](int32_t x, int32_t y) { return px[y * 4 + x]; });
  f.setSelection([](int32_t x, int32_t y) { return uint8_t(x == 3 && y == 1 ? 128 : 255); });
  SHistogram h;
  h.compute(f.context());
  EXPECT_EQ(h.lowest[SHistogram::kRed], 20);
  EXPECT_EQ(h.highest[SHistogram::kRed], 220);
  // The transparent white pixel counts nothing.
  EXPECT_EQ(h.bins[SHistogram::kRed][255], 0.0f);
  EXPECT_NEAR(h.bins[SHistogram::kRed][0x50], 2.0f + 128.0f / 255.0f, 1e-3f);
  EXPECT_NEAR(h.total, 6.0f + 128.0f / 255.0f, 1e-3f);
  EXPECT_EQ(h.count[SHistogram::kRed], 5);
}

TEST(Histogram, ATransparentRegionIsEmptyAndDrawsNothing) {
  FilterFixture f(8, 8);
  f.fill(0x00804020u);
  SHistogram h;
  h.compute(f.context());
  for (size_t c = 0; c < 4; ++c) {
    EXPECT_EQ(h.lowest[c], 255);
    EXPECT_EQ(h.highest[c], 0);
    EXPECT_EQ(h.count[c], 0);
  }
  TMemoryGraphic g(258, 102);
  drawHistogram(h, 0, 0xFF808080u, 0xFFF0F0F0u, g);
  for (int32_t y = 1; y < 101; ++y)
    for (int32_t x = 1; x < 257; ++x) ASSERT_EQ(g.scanLine(y)[x], 0xFFFFFFFFu);
}

TEST(Histogram, ColumnsRiseWithTheirBins) {
  FilterFixture f(4, 1);
  f.setPixels([](int32_t x, int32_t) { return x < 3 ? 0xFF000000u : 0xFFFFFFFFu; });
  SHistogram h;
  h.compute(f.context());
  TMemoryGraphic g(258, 102);
  drawHistogram(h, 4, 0xFF808080u, 0xFFF0F0F0u, g);
  // Grey 0 holds three times grey 255's weight; the scale is capped by the
  // largest bin, so bin 0 reaches the top and bin 255 a third of it.
  EXPECT_EQ(g.scanLine(1)[1], 0xFF000000u);
  EXPECT_EQ(g.scanLine(66)[256], 0xFFFFFFFFu);
  EXPECT_EQ(g.scanLine(68)[256], 0xFF000000u);
  EXPECT_EQ(g.scanLine(50)[128], 0xFFFFFFFFu);
}

TEST(Histogram, TheAutomaticThresholdLiesBetweenTheGreyExtremes) {
  struct Case {
    uint32_t dark, light;
    float threshold;
  };
  const Case cases[] = {{0xFF0A0A0Au, 0xFFC8C8C8u, 105.0f}, {0xFF000000u, 0xFF000000u, 1.0f}};
  for (const Case& c : cases) {
    resetFilterDialogMemory();
    FilterFixture f(2, 1);
    f.setPixels([&](int32_t x, int32_t) { return x == 0 ? c.dark : c.light; });
    SHistogram h;
    h.compute(f.context());
    SFilterOpenInfo info;
    info.histogram = &h;
    CFilterDialogModel m(*filterDialogFor("filterThreshold"), 0, 0, info);
    EXPECT_EQ(m.controlChanged(kSenderAuto), EPreviewRequest::Now);
    EXPECT_FLOAT_EQ(m.value(0), c.threshold);
    (void)m.controlChanged(kSenderDefaults);
    EXPECT_FLOAT_EQ(m.value(0), 128.0f);
  }
  resetFilterDialogMemory();
}

}  // namespace
}  // namespace pg
