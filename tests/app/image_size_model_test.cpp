// The image size dialogs' models: units, relative mode, ranges, the kept
// aspect, the resolution, the results, and the anchor cells.
#include <gtest/gtest.h>

#include "app/image_size_model.h"
#include "core/units.h"

namespace pg {
namespace {

TEST(CanvasSizeModel, AxisInAUnitAndTypedLengthsStayExact) {
  CCanvasSizeModel m(1000, 500, 72);
  m.setUnit(0, kUnitInch);
  EXPECT_NEAR(m.unitField(0), 13.889f, 0.0005f);
  m.setUnitField(0, 10.0f);
  m.setUnit(0, kUnitCm);
  EXPECT_FLOAT_EQ(m.unitField(0), 25.4f);
  m.setUnit(0, kUnitMm);
  EXPECT_FLOAT_EQ(m.unitField(0), 254.0f);
  EXPECT_FLOAT_EQ(m.pixelField(0), 720.0f);
  EXPECT_EQ(m.resultWidth(), 720);
  EXPECT_EQ(m.resultHeight(), 500);
  EXPECT_TRUE(m.changed());
}

TEST(CanvasSizeModel, RelativePercentShowsDifferences) {
  CCanvasSizeModel m(400, 300, 72);
  m.setRelative(true);
  m.setUnit(0, kUnitPercent);
  EXPECT_FLOAT_EQ(m.unitField(0), 0.0f);
  EXPECT_FLOAT_EQ(m.pixelField(0), 0.0f);
  m.setUnitField(0, 50.0f);
  EXPECT_EQ(m.resultWidth(), 600);
  EXPECT_FLOAT_EQ(m.pixelField(0), 200.0f);
  // Leaving relative mode shows the whole sizes again.
  m.setRelative(false);
  EXPECT_FLOAT_EQ(m.pixelField(0), 600.0f);
  EXPECT_FLOAT_EQ(m.unitField(0), 150.0f);
  // The pixel field's range follows the offset: 8..10000 absolute, 8-300..10000-300 relative for the height.
  m.setRelative(true);
  EXPECT_FLOAT_EQ(m.pixelRange(1).min, -292.0f);
  EXPECT_FLOAT_EQ(m.pixelRange(1).max, 9700.0f);
  m.setPixelField(1, -1000.0f);  // clamped: the height stays at least 8
  EXPECT_EQ(m.resultHeight(), 8);
}

TEST(CanvasSizeModel, UnchangedSizeIsNoChangeAndAMissingResolutionIsSeventyTwo) {
  CCanvasSizeModel m(640, 480, 0);
  EXPECT_FALSE(m.changed());
  m.setUnit(1, kUnitInch);
  EXPECT_FLOAT_EQ(m.unitField(1), 480.0f / 72.0f);
  m.setPixelField(1, 480.4f);
  EXPECT_FALSE(m.changed());
  m.setAnchor(9);  // out of range: kept
  EXPECT_EQ(m.anchor(), 4);
  m.setAnchor(0);
  EXPECT_EQ(m.anchor(), 0);
}

TEST(ResampleModel, KeptAspectNarrowsTheRangesAndTheOtherAxisFollows) {
  CResampleModel m(400, 200, 72);
  m.setKeepAspect(true);
  EXPECT_FLOAT_EQ(m.pixelRange(0).min, 16.0f);
  EXPECT_FLOAT_EQ(m.pixelRange(0).max, 10000.0f);
  EXPECT_FLOAT_EQ(m.pixelRange(1).max, 5000.0f);
  m.setPixelField(0, 10.0f);
  EXPECT_EQ(m.resultWidth(), 16);
  EXPECT_EQ(m.resultHeight(), 8);
  m.setPixelField(1, 300.0f);
  EXPECT_EQ(m.resultWidth(), 600);
  m.setKeepAspect(false);
  m.setPixelField(0, 10.0f);
  EXPECT_EQ(m.resultWidth(), 10);
  EXPECT_EQ(m.resultHeight(), 300);
}

TEST(ResampleModel, ResolutionKeepsLengthsOrPixelsByUnit) {
  struct Case {
    int32_t widthUnit;
    float newRes;
    int32_t width;  // expected result
  };
  // 720 px at 72: 10 inch. At 144 an axis in inch keeps its 10 inch (1440 px),
  // one in per cent keeps its 720 pixels.
  const Case cases[] = {{kUnitInch, 144, 1440}, {kUnitCm, 144, 1440}, {kUnitPercent, 144, 720}, {kUnitInch, 50, 720}};
  for (const Case& c : cases) {
    CResampleModel m(720, 360, 72);
    m.setKeepAspect(false);
    m.setUnit(0, c.widthUnit);
    m.setUnit(1, kUnitPercent);
    m.setResolution(c.newRes);
    // 50 is below the 72..600 range and is clamped to 72.
    EXPECT_EQ(m.resultWidth(), c.width) << c.widthUnit << " " << c.newRes;
    EXPECT_EQ(m.resultHeight(), 360);
  }
  // With the aspect kept and the height in per cent, the height follows the width.
  CResampleModel m(720, 360, 72);
  m.setKeepAspect(true);
  m.setUnit(0, kUnitInch);
  m.setUnit(1, kUnitPercent);
  m.setResolution(144);
  EXPECT_EQ(m.resultWidth(), 1440);
  EXPECT_EQ(m.resultHeight(), 720);
  EXPECT_EQ(m.resultResolution(), 144);
  EXPECT_TRUE(m.changed());
}

TEST(ResampleModel, OnlyAResolutionChangeIsAChange) {
  CResampleModel m(300, 300, 96);
  EXPECT_FALSE(m.changed());
  m.setResolution(96.4f);
  EXPECT_FALSE(m.changed());
  m.setUnit(0, kUnitPercent);
  m.setUnit(1, kUnitPercent);
  m.setResolution(120);
  EXPECT_EQ(m.resultWidth(), 300);
  EXPECT_TRUE(m.changed());
}

TEST(AnchorCells, UnevenGridAndBorders) {
  SAnchorCells a;
  a.layout(64, 64);  // cw = ch = 40: edges 2, 22, 42, 62
  EXPECT_EQ(a.cells[0], (TRect{2, 2, 22, 22}));
  EXPECT_EQ(a.cells[4], (TRect{22, 22, 42, 42}));
  EXPECT_EQ(a.cells[8], (TRect{42, 42, 62, 62}));
  struct Hit {
    int x, y, cell;
  };
  const Hit hits[] = {{1, 30, -1}, {2, 2, 0}, {30, 30, 4}, {61, 61, 8}, {62, 10, -1}, {50, 10, 2}, {10, 50, 6}};
  for (const Hit& h : hits) EXPECT_EQ(a.hit(h.x, h.y), h.cell) << h.x << "," << h.y;
}

}  // namespace
}  // namespace pg
