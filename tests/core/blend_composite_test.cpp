#include <gtest/gtest.h>

#include <random>

#include "core/blend_modes.h"
#include "core/composite_core.h"

namespace pg {
namespace blend_composite_test {

constexpr uint32_t px(uint32_t a, uint32_t r, uint32_t g, uint32_t b) { return (a << 24) | (r << 16) | (g << 8) | b; }
constexpr uint32_t grey(uint32_t a, uint32_t v) { return px(a, v, v, v); }

TEST(CompositePixelOps, Cases) {
  const SPixelBlendOps& overlay = *layerCompositeOps(lbmOverlay);
  const SPixelBlendOps overlaySkip{overlay.Start, kOpsSkipTransparent, overlay.DstOp, overlay.SrcOp};
  struct Case {
    const char* what;
    uint32_t dst, src, opacity;
    const SPixelBlendOps* ops;
    uint32_t want;
  };
  const Case cases[] = {
      // A semi-transparent source over a transparent pixel keeps its colour
      // (composited as written it would come out 255: white).
      {"overlay 200 at alpha 128 onto transparent", grey(0, 0), grey(128, 200), 255, &overlay, grey(128, 200)},
      {"opaque source onto transparent", grey(0, 50), px(255, 10, 20, 30), 255, &overlay, px(255, 10, 20, 30)},
      {"onto opaque: the explicit-alpha mix", grey(255, 100), grey(255, 200), 128, &overlay, grey(255, 128)},
      {"transparent source, skip flag: untouched", px(77, 1, 2, 3), px(0, 9, 9, 9), 255, &overlaySkip,
       px(77, 1, 2, 3)},
      {"opacity 0, skip flag: untouched", px(77, 1, 2, 3), px(255, 9, 9, 9), 0, &overlaySkip, px(77, 1, 2, 3)},
      {"transparent source, no flag: colour stays", px(77, 1, 2, 3), px(0, 9, 9, 9), 255, &overlay, px(77, 1, 2, 3)},
      {"outA 0: only alpha rewritten", px(0, 1, 2, 3), px(0, 9, 9, 9), 255, &overlay, px(0, 1, 2, 3)},
      // Half over half: outA = 128 + 128 - 64; overlay(100, 200) = 156, mixed by
      // 128: 255x = 128*156 + 127*100; (127*128*200 + 128*255x) / (255*128 + 127*128) = 152.
      {"half over half", grey(128, 100), grey(128, 200), 255, &overlay, grey(192, 152)},
  };
  for (const Case& c : cases) {
    uint32_t p = c.dst;
    compositePixelOps(&p, c.src, c.opacity, *c.ops);
    EXPECT_EQ(p, c.want) << c.what << std::hex << " got " << p;
  }
}

TEST(CompositePixelOps, OpaqueDestinationGivesTheExplicitMixForAnyOperators) {
  // Merge descriptors pair any two explicit-alpha operators; over an opaque
  // destination the result is DstOp then SrcOp, as the display composite does.
  const PixelOp32 ops[] = {&lerpPixelRgb, &blendMultiplyRgb, &blendAddRgb, &blendSubRgb, &blendScreen,
                           &blendSubtractNega, &blendHue};
  std::mt19937 rng(11);
  for (PixelOp32 dstOp : ops)
    for (PixelOp32 srcOp : ops)
      for (uint32_t flags : {0u, kOpsStartFromSource}) {
        const SPixelBlendOps rec{0x7F7F7F, flags, dstOp, srcOp};
        for (int n = 0; n < 300; ++n) {
          const uint32_t d = rng() | 0xFF000000u, s = rng(), opacity = rng() & 255;
          uint32_t w = (flags & kOpsStartFromSource) ? s : rec.Start;
          dstOp(&w, d, 255);
          srcOp(&w, s, mulDiv255(pixelAlpha(s), opacity));
          uint32_t p = d;
          compositePixelOps(&p, s, opacity, rec);
          ASSERT_EQ(p, (w & 0xFFFFFFu) | 0xFF000000u);
        }
      }
}

TEST(CompositePixelOps, SubtractModeWorksInTheInvertedSpace) {
  // A subtract lower layer seen by its own operator from white: the colour
  // comes out inverted (the merge inverts it back afterwards).
  const SPixelBlendOps rec{0xFFFFFF, 0, &blendSubRgb, &blendAddRgb};
  uint32_t p = px(255, 10, 20, 30);
  compositePixelOps(&p, px(0, 0, 0, 0), 255, rec);
  EXPECT_EQ(p, px(255, 245, 235, 225));
}

// ------------------------------------------------------- rectangle loops

class RectLoops : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(src.Resize(4, 3));
    ASSERT_TRUE(dst.Resize(5, 4));
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) *src.pixelAt(x, y) = px(200, 10 * x, 10 * y, 100);
    fillDst(px(255, 0, 0, 0));
  }
  void fillDst(uint32_t v) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 5; ++x) *dst.pixelAt(x, y) = v;
  }
  TMTC src, dst;
};

TEST_F(RectLoops, BlendPlaneRectOpClipsAndSkipsParamZero) {
  EXPECT_TRUE(blendPlaneRectOp(src, dst, {-1, 2}, &pixelSet, 1, {0, 0, 4, 3}));
  // Source column 1.. lands at destination column 0; rows 0 and 1 at rows 2 and 3.
  EXPECT_EQ(dst.getPixel(0, 2), src.getPixel(1, 0));
  EXPECT_EQ(dst.getPixel(2, 3), src.getPixel(3, 1));
  EXPECT_EQ(dst.getPixel(3, 3), px(255, 0, 0, 0));
  EXPECT_EQ(dst.getPixel(0, 1), px(255, 0, 0, 0));
  fillDst(px(255, 0, 0, 0));
  EXPECT_TRUE(blendPlaneRectOp(src, dst, {0, 0}, &pixelSet, 0, {0, 0, 4, 3}));
  EXPECT_EQ(dst.getPixel(0, 0), px(255, 0, 0, 0));
  EXPECT_FALSE(blendPlaneRectOp(src, dst, {5, 0}, &pixelSet, 1, {0, 0, 4, 3}));
  EXPECT_FALSE(compositeRectOp(src, dst, {4, 0, 2, 2}, {0, 0}, &pixelSet, 1));
}

TEST_F(RectLoops, CompositePlaneRectCopiesAtFullOpacityOnly) {
  EXPECT_TRUE(compositePlane(src, dst, 1, 1, 255));
  EXPECT_EQ(dst.getPixel(1, 1), src.getPixel(0, 0));  // alpha included
  EXPECT_EQ(dst.getPixel(4, 3), src.getPixel(3, 2));
  fillDst(px(9, 0, 0, 0));
  EXPECT_TRUE(compositePlane(src, dst, 0, 0, 51));
  // Colour bytes mixed by the opacity alone (the source alpha 200 unused); alpha kept.
  EXPECT_EQ(dst.getPixel(3, 2), px(9, 6, 4, 20));
  fillDst(px(9, 0, 0, 0));
  EXPECT_TRUE(compositePlane(src, dst, 0, 0, 0));
  EXPECT_EQ(dst.getPixel(3, 2), px(9, 0, 0, 0));
}

TEST_F(RectLoops, CoverageCompositesIgnoreTheSourceAlpha) {
  fillDst(px(7, 200, 200, 200));
  *src.pixelAt(0, 0) = px(0, 128, 128, 128);
  EXPECT_TRUE(compositeMultiply(src, dst, {0, 0, 1, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(7, 100, 100, 100));
  EXPECT_TRUE(compositeAdd(src, dst, {0, 0, 1, 1}, {0, 0}, 255));
  EXPECT_EQ(dst.getPixel(0, 0), px(7, 228, 228, 228));
  EXPECT_TRUE(compositeSubtract(src, dst, {0, 0, 1, 1}, {0, 0}, 128));
  EXPECT_EQ(dst.getPixel(0, 0), px(7, 164, 164, 164));
}

TEST_F(RectLoops, AlphaMapComesBeforeTheOperator) {
  fillDst(px(200, 50, 50, 50));
  // Over the destination with its alpha halved first.
  EXPECT_TRUE(blendRowsOpAlphaMap(src, dst, {0, 0}, &blendNormalOver, 255, 128, {0, 0, 1, 1}));
  uint32_t want = px(mulDiv255(200, 128), 50, 50, 50);
  blendNormalOver(&want, src.getPixel(0, 0), 255);
  EXPECT_EQ(dst.getPixel(0, 0), want);
  EXPECT_EQ(dst.getPixel(1, 0), px(200, 50, 50, 50));
  // Param 0: nothing, not even the alpha map.
  EXPECT_FALSE(blendRowsOpAlphaMap(src, dst, {0, 0}, &blendNormalOver, 0, 0, {0, 0, 4, 3}));
  EXPECT_EQ(dst.getPixel(1, 0), px(200, 50, 50, 50));

  EXPECT_TRUE(blendRectOpAlphaMap(dst, {3, 2, 10, 10}, px(255, 90, 90, 90), &blendNormalOver, 255, 0));
  EXPECT_EQ(dst.getPixel(4, 3), px(255, 90, 90, 90));
  EXPECT_EQ(dst.getPixel(2, 3), px(200, 50, 50, 50));

  fillDst(px(200, 50, 50, 50));
  const SPixelBlendOps& ops = *layerCompositeOps(lbmOverlay);
  EXPECT_TRUE(compositeRectOpsAlphaMap(src, dst, {1, 1}, ops, 255, 0, {0, 0, 1, 1}));
  EXPECT_EQ(dst.getPixel(1, 1), src.getPixel(0, 0));  // destination alpha mapped to 0 first
  EXPECT_TRUE(compositeColorOpsAlphaMap(dst, {0, 3, 1, 1}, px(128, 200, 200, 200), ops, 255, 255));
  uint32_t w2 = px(200, 50, 50, 50);
  compositePixelOps(&w2, px(128, 200, 200, 200), 255, ops);
  EXPECT_EQ(dst.getPixel(0, 3), w2);
  EXPECT_FALSE(compositeColorOpsAlphaMap(dst, {0, 3, 1, 1}, px(128, 200, 200, 200), ops, 0, 255));
}

TEST_F(RectLoops, UnknownOperatorsRunPerPixel) {
  PixelOp32 count = [](uint32_t* d, uint32_t, uint32_t p) { *d += p; };
  fillDst(0);
  EXPECT_TRUE(blendPlaneRectOp(src, dst, {0, 0}, count, 2, {0, 0, 4, 3}));
  EXPECT_EQ(dst.getPixel(3, 2), 2u);
  EXPECT_EQ(dst.getPixel(4, 2), 0u);
  int rows = 0;
  EXPECT_TRUE(forEachRowPair(src, dst, {3, 0}, {0, 0, 4, 3}, [&](uint32_t*, const uint32_t*, size_t n) {
    EXPECT_EQ(n, 2u);
    ++rows;
  }));
  EXPECT_EQ(rows, 3);
}

}  // namespace blend_composite_test
}  // namespace pg
