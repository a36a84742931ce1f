// The print dialog's placement: scale, fit, centre, repeat, the record, the
// preview geometry and the sampled image.
#include <gtest/gtest.h>

#include "app/print_placement.h"
#include "core/planes.h"

namespace pg {
namespace {

SPrinterInfo printer600() {
  SPrinterInfo p;
  p.paperW = 5100;
  p.paperH = 6800;
  p.printableX = 150;
  p.printableY = 100;
  p.printableW = 4800;
  p.printableH = 6600;
  p.dpiX = p.dpiY = 600;
  return p;
}

const SPrintRecord kPlain{1, 1, false, false, 0, 0, 1};

TEST(PrintPlacement, ScaleAndFit) {
  CPrintPlacement m(printer600(), {1000, 500, 100}, kPlain);
  EXPECT_FLOAT_EQ(m.w, 6000);
  EXPECT_FLOAT_EQ(m.h, 3000);
  EXPECT_FLOAT_EQ(m.scaleFactor(), 1.0f);
  m.setFit(true);
  EXPECT_FLOAT_EQ(m.w, 4800);
  EXPECT_FLOAT_EQ(m.h, 2400);
  EXPECT_TRUE(m.centre());
  EXPECT_FALSE(m.sizeEditable());
  EXPECT_FALSE(m.positionEditable());
  EXPECT_FLOAT_EQ(m.scaleFactor(), 0.8f);
  m.setLogicalScale(true);
  EXPECT_FLOAT_EQ(m.scaleFactor(), 4.8f);
}

TEST(PrintPlacement, RepeatDividesThePageAndCentresTheRow) {
  CPrintPlacement m(printer600(), {100, 100, 100}, kPlain);
  m.setRepeat(true);
  m.setRepeatCounts(2, 3);
  m.setFit(true);
  // 2400 x 2200 per cell; the square keeps its aspect: 2200 x 2200.
  EXPECT_FLOAT_EQ(m.w, 2200);
  EXPECT_FLOAT_EQ(m.h, 2200);
  EXPECT_FLOAT_EQ(m.x, (5100 - 2 * 2200) / 2.0f);
  EXPECT_FLOAT_EQ(m.y, (6800 - 3 * 2200) / 2.0f);
  m.setFit(false);
  m.setWidth(1000);
  EXPECT_FLOAT_EQ(m.x, 1550);  // the pair sits around the page centre
  EXPECT_FLOAT_EQ(m.x + 2 * m.w / 2, 2550);
  m.setRepeat(false);
  EXPECT_EQ(m.repeatX(), 1);
  EXPECT_EQ(m.repeatY(), 1);
  m.setRepeatCounts(0, 5);  // repeat off: the edits are shut
  EXPECT_EQ(m.repeatY(), 1);
}

TEST(PrintPlacement, RecordAndPosition) {
  CPrintPlacement m(printer600(), {1000, 500, 100}, kPlain);
  m.setPosition(600, 1200);
  SPrintRecord r = m.record();
  EXPECT_FLOAT_EQ(r.xMm, 25.4f);
  EXPECT_FLOAT_EQ(r.yMm, 50.8f);
  EXPECT_FALSE(r.fitOrCentre);
  EXPECT_FLOAT_EQ(r.scale, 1.0f);
  m.setCentre(true);
  m.setPosition(0, 0);  // centred: the position edits are shut
  EXPECT_FLOAT_EQ(m.x, (5100 - 6000) / 2.0f);
  EXPECT_TRUE(m.record().fitOrCentre);
  // The window's settings open the dialog where the last print was.
  CPrintPlacement again(printer600(), {1000, 500, 100}, {1, 1, false, false, 25.4f, 50.8f, 0.5f});
  EXPECT_FLOAT_EQ(again.x, 600);
  EXPECT_FLOAT_EQ(again.y, 1200);
  EXPECT_FLOAT_EQ(again.w, 3000);
}

TEST(PrintPlacement, PreviewAndDrag) {
  CPrintPlacement m(printer600(), {1000, 500, 100}, kPlain);
  m.setWidth(1020);
  m.setPosition(510, 680);
  // The paper 5100 x 6800 in a 110 x 144 box: 102 x 136 at (4, 4), 1/50.
  CPrintPlacement::SPreview p = m.preview(110, 144);
  EXPECT_FLOAT_EQ(p.paper.Left, 4);
  EXPECT_FLOAT_EQ(p.paper.Right, 106);
  EXPECT_FLOAT_EQ(p.image.Left, 4 + 10.2f);
  EXPECT_FLOAT_EQ(p.image.Top, 4 + 13.6f);
  EXPECT_TRUE(m.startsDrag(p, p.image.Left + 2, p.image.Top + 2));
  EXPECT_TRUE(m.startsDrag(p, p.image.Right + 5, p.image.Bottom - 5));  // a corner handle
  EXPECT_FALSE(m.startsDrag(p, 100, 140));
  m.dragBy(p, 2, -1);
  EXPECT_FLOAT_EQ(m.x, 610);
  EXPECT_FLOAT_EQ(m.y, 630);
  m.setCentre(true);
  p = m.preview(110, 144);
  // Centred, only the handles start a drag (which then moves nothing).
  EXPECT_FALSE(m.startsDrag(p, (p.image.Left + p.image.Right) / 2, (p.image.Top + p.image.Bottom) / 2));
  EXPECT_TRUE(m.startsDrag(p, p.image.Left + 2, p.image.Top + 2));
  float before = m.x;
  m.dragBy(p, 10, 10);
  EXPECT_FLOAT_EQ(m.x, before);
}

TEST(PrintPlacement, UnusablePagesAndImages) {
  SPrinterInfo none;
  EXPECT_FALSE(none.usable());
  EXPECT_TRUE(printer600().usable());
  EXPECT_FALSE((SPrintImage{0, 10, 72}).valid());
  EXPECT_FALSE((SPrintImage{10, 10, 0}).valid());
  CPrintPlacement m(none, {10, 10, 72}, kPlain);
  EXPECT_FLOAT_EQ(m.preview(100, 100).paper.Right, 0);  // nothing to show, no division by zero
  m.setFit(true);
  EXPECT_TRUE(std::isfinite(m.w));
}

TEST(SampleImage, AveragesSamplesAndClipsToTheTarget) {
  TMTC image(2, 1);
  *image.pixelAt(0, 0) = 0xFF0000FFu;  // blue
  *image.pixelAt(1, 0) = 0x00FF0000u;  // red, transparent: alpha is not taken
  TMTC target(6, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x) *target.pixelAt(x, y) = 0;
  sampleImageInto(image, target, TRect{0, 0, 8, 2}, 1);
  // 8 output pixels over 2 image pixels, each sample rounded to the nearest
  // image pixel; the target ends after 6.
  EXPECT_EQ(target.getPixel(0, 0), 0xFF0000FFu);
  EXPECT_EQ(target.getPixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(target.getPixel(2, 0), 0xFFFF0000u);
  EXPECT_EQ(target.getPixel(5, 1), 0xFFFF0000u);
  // Two samples a side straddle the edge between the two pixels and average them.
  TMTC two(2, 1);
  sampleImageInto(image, two, TRect{0, 0, 2, 1}, 2);
  EXPECT_EQ(two.getPixel(0, 0), 0xFF7F007Fu);
}

}  // namespace
}  // namespace pg
