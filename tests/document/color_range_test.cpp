// Colour range selection: the weight curve, the coverage of picked colours
// and the document operation.
#include <gtest/gtest.h>

#include "core/block_image.h"
#include "core/plane_ops.h"
#include "doc_ops_fixture.h"
#include "document/color_range.h"

namespace pg::test {
namespace {

TEST(ColorRange, WeightCurve) {
  const uint32_t r2 = 50 * 50 * 2;
  EXPECT_EQ(colorRangeWeight(0, r2), 255u);
  EXPECT_EQ(colorRangeWeight(r2, r2), 255u);
  EXPECT_EQ(colorRangeWeight(r2 + r2 / 4, r2), 128u);  // 1.25 x r2
  EXPECT_EQ(colorRangeWeight(r2 + r2 / 2, r2), 0u);
  // Range 0: only exact matches.
  EXPECT_EQ(colorRangeWeight(0, 0), 255u);
  EXPECT_EQ(colorRangeWeight(1, 0), 0u);
}

uint8_t coverageOf(uint32_t pixel, const std::vector<SColorRangeEntry>& entries) {
  CBlockVMTC src(1, 1);
  EXPECT_TRUE(src.setPixel(0, 0, pixel));
  TChannel ch(1, 1);
  fill(ch, 0);
  CColorMask cm;
  SColorRangeSettings s;
  EXPECT_TRUE(cm.init(s, src, {0, 0}, nullptr, ch));
  cm.compute(entries.data(), static_cast<uint32_t>(entries.size()));
  return ch.getPixel(0, 0);
}

TEST(ColorRange, CoverageOfPickedColours) {
  const SColorRangeEntry red{0x00FF0000, 1, 10, {0, 0}};
  EXPECT_EQ(coverageOf(0xFFFF0000, {red}), 255);
  // r2 = 200: a distance of 250 (1.25 x r2) is half covered.
  const uint32_t near = 0xFFFF0000 | 0x0000000F;  // blue 15: d = 225
  const uint8_t opaque = coverageOf(near, {red});
  const uint8_t translucent = coverageOf((near & 0xFFFFFF) | 0x80000000, {red});
  EXPECT_GT(opaque, 0);
  EXPECT_LT(opaque, 255);
  EXPECT_GT(translucent, opaque);
  // Removing the same colour again takes the coverage away; transparent
  // pixels are never covered.
  SColorRangeEntry off = red;
  off.add = 0;
  EXPECT_EQ(coverageOf(0xFFFF0000, {red, off}), 0);
  EXPECT_EQ(coverageOf(0x01FF0000, {red}), 0);
  // Range 0 selects only the exact colour.
  const SColorRangeEntry exact{0x00FF0000, 1, 0, {0, 0}};
  EXPECT_EQ(coverageOf(0xFFFF0001, {exact}), 0);
  EXPECT_EQ(coverageOf(0xFFFF0000, {exact}), 255);
}

TEST(ColorRange, TheDocumentOperation) {
  OpsFixture f;
  f.addLayer(0, 1);
  f.layer(0)->image->fill(0xFF0000FF);
  for (int32_t y = 5; y < 15; ++y)
    for (int32_t x = 5; x < 25; ++x) EXPECT_TRUE(f.layer(0)->image->setPixel(x, y, 0xFFFF0000));
  f.doc->undoSetSelectionFlags(true, true);  // undo of a mask's content keeps the flags
  const SColorRangeEntry red{0x00FF0000, 1, 10, {0, 0}};
  SColorRangeSettings s;
  s.count = 1;
  for (uint32_t source : {0u, 1u}) {
    s.source = source;
    f.roundTrip([&] { return f.doc->applyColorRangeSelection(*f.flow, 0, true, &red, s, -1); }, (13 << 8) | 32,
                "colour range");
    const CMaskData* m = f.doc->masks()->currentMask();
    EXPECT_EQ(m->valueAtPaper(6, 6), 255);
    EXPECT_EQ(m->valueAtPaper(30, 30), 0);
  }
  // No pixel selected: success, nothing written, nothing changed.
  const SColorRangeEntry green{0x0000FF00, 1, 5, {0, 0}};
  const std::string before = snapshot(*f.doc);
  const uint32_t from = f.position();
  ASSERT_TRUE(f.doc->applyColorRangeSelection(*f.flow, 0, true, &green, s, -1));
  EXPECT_EQ(snapshot(*f.doc), before);
  EXPECT_TRUE(f.packetsSince(from).empty());
  // A count beyond the table is refused.
  s.count = 300;
  EXPECT_FALSE(f.doc->applyColorRangeSelection(*f.flow, 0, true, &green, s, -1));
}

TEST(ColorRange, PreviewModes) {
  TMTC src(2, 1), out(2, 1);
  *src.pixelAt(0, 0) = 0xFF102030;
  *src.pixelAt(1, 0) = 0xFF102030;
  TChannel cov(2, 1);
  *cov.pixelAt(0, 0) = 255;
  *cov.pixelAt(1, 0) = 0;
  ASSERT_TRUE(renderColorRangePreview(src, cov, ColorRangeView::Grey, out));
  EXPECT_EQ(*out.pixelAt(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(*out.pixelAt(1, 0), 0xFF000000u);
  ASSERT_TRUE(renderColorRangePreview(src, cov, ColorRangeView::OverWhite, out));
  EXPECT_EQ(*out.pixelAt(0, 0) & 0xFFFFFF, 0x102030u);
  EXPECT_EQ(*out.pixelAt(1, 0), 0xFFFFFFFFu);
  TMTC wrong(3, 1);
  EXPECT_FALSE(renderColorRangePreview(src, cov, ColorRangeView::OverBlack, wrong));
}

}  // namespace
}  // namespace pg::test
