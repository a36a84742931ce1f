#include "core/layer_composite.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "block_test_util.h"
#include "core/blend_arith.h"
#include "core/blend_modes.h"
#include "core/block_image.h"
#include "core/composite_core.h"
#include "core/plane_ops.h"

namespace pg {
namespace {

using testing::Pixels;

::testing::AssertionResult samePixels(const Pixels& got, const Pixels& want) {
  if (got.w != want.w || got.h != want.h) return ::testing::AssertionFailure() << "sizes differ";
  for (int32_t y = 0; y < want.h; ++y)
    for (int32_t x = 0; x < want.w; ++x)
      if (got.at(x, y) != want.at(x, y)) {
        std::ostringstream s;
        s << "first difference at (" << x << ", " << y << "): got 0x" << std::hex << got.at(x, y) << ", want 0x"
          << want.at(x, y);
        return ::testing::AssertionFailure() << s.str();
      }
  return ::testing::AssertionSuccess();
}

// Where a rectangle of the source lands: odd offsets, edges, clipping on
// every side, whole tiles.
struct Geometry {
  SSize src, dst;
  SRectXYWH rect;
  TPoint point;
};
const Geometry kGeometries[] = {
    {{100, 70}, {100, 70}, {0, 0, 100, 70}, {0, 0}},
    {{100, 70}, {120, 90}, {13, 5, 70, 50}, {40, 33}},
    {{90, 90}, {70, 100}, {-10, -10, 200, 200}, {-7, 3}},
    {{128, 96}, {128, 96}, {32, 32, 64, 32}, {64, 0}},
    {{64, 64}, {100, 50}, {0, 0, 64, 64}, {61, 45}},
};

// Visits every pixel of the clipped copy: f(dst x, dst y, src x, src y).
template <class F>
void eachPixel(SSize dstSize, SSize srcSize, TPoint point, SRectXYWH rect, F&& f) {
  if (!clipCopyRect(dstSize, srcSize, point, rect)) return;
  for (int32_t y = 0; y < rect.Height; ++y)
    for (int32_t x = 0; x < rect.Width; ++x) f(point.X + x, point.Y + y, rect.X + x, rect.Y + y);
}

class LayerCompositeReference : public ::testing::TestWithParam<uint32_t> {
 protected:
  std::mt19937 rng{GetParam() * 7919u + 17u};
};

TEST_P(LayerCompositeReference, BlendLayerToPlaneEqualsThePixelOperator) {
  const uint32_t mode = GetParam();
  const PixelOp32 op = layerBlendInfo(mode)->SrcAlphaOp;
  for (const Geometry& g : kGeometries) {
    for (bool bottomUp : {false, true}) {
      CBlockVMTC layer(g.src.W, g.src.H);
      testing::fillSparse(layer, rng);
      const Pixels src = testing::toPixels(layer);
      TMTC topDown(g.dst.W, g.dst.H);
      TTC screen(true, g.dst.W, g.dst.H);
      TMTC& plane = bottomUp ? static_cast<TMTC&>(screen) : topDown;
      testing::fillPlane(plane, rng);
      Pixels want = testing::toPixels(plane);
      SLayerBlendAttr attr;
      attr.blendMode = static_cast<uint8_t>(mode);
      attr.opacity = static_cast<uint8_t>(rng() % 2 ? 255 : 1 + rng() % 254);
      eachPixel(plane.size(), layer.size(), g.point, g.rect,
                [&](int32_t dx, int32_t dy, int32_t sx, int32_t sy) { op(&want.at(dx, dy), src.at(sx, sy), attr.opacity); });
      const int64_t committed = layer.committedTiles();
      EXPECT_TRUE(layer.blendLayerToPlane(plane, attr, g.rect, g.point));
      EXPECT_TRUE(samePixels(testing::toPixels(plane), want)) << "mode " << mode << " rect " << g.rect.X;
      EXPECT_EQ(layer.committedTiles(), committed);  // the layer is only read
    }
  }
}

TEST_P(LayerCompositeReference, BlendLayerEqualsThePixelOperator) {
  const uint32_t mode = GetParam();
  const PixelOp32 op = layerBlendInfo(mode)->SrcAlphaOp;
  for (const Geometry& g : kGeometries) {
    CBlockVMTC src(g.src.W, g.src.H), dst(g.dst.W, g.dst.H);
    testing::fillSparse(src, rng);
    testing::fillSparse(dst, rng);
    const Pixels s = testing::toPixels(src);
    Pixels want = testing::toPixels(dst);
    SLayerBlendAttr attr;
    attr.blendMode = static_cast<uint8_t>(mode | (rng() % 2 ? 128 : 0));  // looked up with mode and 127
    attr.opacity = static_cast<uint8_t>(rng() % 2 ? 255 : rng() % 256);
    eachPixel(dst.size(), src.size(), g.point, g.rect,
              [&](int32_t dx, int32_t dy, int32_t sx, int32_t sy) { op(&want.at(dx, dy), s.at(sx, sy), attr.opacity); });
    EXPECT_TRUE(dst.blendLayer(src, attr, g.rect, g.point));
    EXPECT_TRUE(samePixels(testing::toPixels(dst), want)) << "mode " << mode << " rect " << g.rect.X;
  }
}

TEST_P(LayerCompositeReference, BlendFromAndBlendPlaneEqualAlphaMapThenOperator) {
  const uint32_t mode = GetParam();
  const PixelOp32 op = layerOverOp(mode);
  for (const Geometry& g : kGeometries) {
    CBlockVMTC src(g.src.W, g.src.H), dst(g.dst.W, g.dst.H);
    testing::fillSparse(src, rng);
    testing::fillSparse(dst, rng);
    const Pixels s = testing::toPixels(src);
    const uint32_t opacity = rng() % 3 == 0 ? 255 : rng() % 256;
    const uint32_t k = rng() % 3 == 0 ? 255 : rng() % 256;
    Pixels want = testing::toPixels(dst);
    if (opacity != 0)
      eachPixel(dst.size(), src.size(), g.point, g.rect, [&](int32_t dx, int32_t dy, int32_t sx, int32_t sy) {
        uint32_t& d = want.at(dx, dy);
        d = (d & 0x00FFFFFFu) | productAt(d >> 24, k) << 24;
        op(&d, s.at(sx, sy), opacity);
      });
    // The same operator into a plane holding dst's pixels.
    TMTC plane(g.dst.W, g.dst.H);
    EXPECT_TRUE(dst.copyToPlane(plane, 0, 0, false, 255));
    EXPECT_TRUE(dst.blendFrom(src, g.point, op, opacity, k, g.rect));
    EXPECT_TRUE(samePixels(testing::toPixels(dst), want)) << "mode " << mode << " rect " << g.rect.X;
    EXPECT_TRUE(src.blendPlane(plane, g.point, op, opacity, k, g.rect));
    EXPECT_TRUE(samePixels(testing::toPixels(plane), want)) << "mode " << mode << " rect " << g.rect.X;
  }
}

TEST_P(LayerCompositeReference, BlendFrom2AndBlendPlaneMaskedEqualAlphaMapThenCompositePixelOps) {
  const uint32_t mode = GetParam();
  const SLayerBlendMode& row = *layerBlendInfo(mode);
  for (const Geometry& g : kGeometries) {
    // The merge descriptor of a layer of this mode onto a normal layer.
    const SPixelBlendOps ops{row.SecondColour, row.Flags | (rng() % 2 ? kOpsSkipTransparent : 0u), &lerpPixelRgb,
                             row.ExplicitOp};
    CBlockVMTC src(g.src.W, g.src.H), dst(g.dst.W, g.dst.H);
    testing::fillSparse(src, rng);
    testing::fillSparse(dst, rng);
    const Pixels s = testing::toPixels(src);
    const uint32_t opacity = rng() % 3 == 0 ? 255 : 1 + rng() % 255;
    const uint32_t k = rng() % 3 == 0 ? 255 : rng() % 256;
    Pixels want = testing::toPixels(dst);
    eachPixel(dst.size(), src.size(), g.point, g.rect, [&](int32_t dx, int32_t dy, int32_t sx, int32_t sy) {
      uint32_t& d = want.at(dx, dy);
      d = (d & 0x00FFFFFFu) | productAt(k, d >> 24) << 24;
      compositePixelOps(&d, s.at(sx, sy), opacity, ops);
    });
    TMTC plane(g.dst.W, g.dst.H);
    EXPECT_TRUE(dst.copyToPlane(plane, 0, 0, false, 255));
    EXPECT_TRUE(dst.blendFrom2(src, g.point, ops, opacity, k, g.rect));
    EXPECT_TRUE(samePixels(testing::toPixels(dst), want)) << "mode " << mode << " rect " << g.rect.X;
    EXPECT_TRUE(src.blendPlaneMasked(plane, g.point, ops, opacity, k, g.rect));
    EXPECT_TRUE(samePixels(testing::toPixels(plane), want)) << "mode " << mode << " rect " << g.rect.X;
  }
}

INSTANTIATE_TEST_SUITE_P(AllModes, LayerCompositeReference, ::testing::Range(0u, kLayerBlendModeCount));

// ---- the per-piece rules, seen through committedBytes ----------------------------------

TEST(LayerCompositeRules, UniformTilesStayUncommittedWhereTheRulesAllow) {
  const uint32_t red = 0xFFFF0000u;
  SLayerBlendAttr normal;
  normal.blendMode = lbmNormal;
  struct Case {
    const char* rule;
    bool srcPainted;   // src has a committed tile at (1, 0)
    bool dstPainted;   // dst has a committed tile at (0, 0)
    uint32_t srcUniform;
    SRectXYWH rect;
    int64_t dstCommitted;
    uint32_t pixelAt40_40;  // dst pixel (40, 40) afterwards
  };
  const Case cases[] = {
      {"R1 transparent source", false, false, 0x00FFFFFFu, {0, 0, 100, 70}, 0, 0x00FFFFFFu},
      {"R2 whole uniform tiles, edge tiles too", false, false, red, {0, 0, 100, 70}, 0, 0x00FF0000u},
      {"R3 part of a tile", false, false, red, {0, 0, 10, 10}, 1, 0x00FFFFFFu},
      {"R3 onto a committed tile", false, true, red, {0, 0, 100, 70}, 1, 0x00FF0000u},
      {"R4 stored source", true, false, red, {0, 0, 100, 70}, 1, 0x00FF0000u},
  };
  for (const Case& c : cases) {
    CBlockVMTC src(100, 70), dst(100, 70);
    for (int32_t i = 0; i < src.tileCount(); ++i) src.tileRef(i).uniform = c.srcUniform;
    if (c.srcPainted) {
      EXPECT_TRUE(src.setPixel(40, 3, 0xFF00FF00u));
    }
    if (c.dstPainted) {
      EXPECT_TRUE(dst.setPixel(1, 1, 0x00FFFFFFu));
    }
    EXPECT_TRUE(dst.blendLayer(src, normal, c.rect, TPoint{c.rect.X, c.rect.Y}));
    EXPECT_EQ(dst.committedTiles(), c.dstCommitted) << c.rule;
    EXPECT_EQ(dst.committedBytes(), static_cast<uint64_t>(c.dstCommitted) * 4096) << c.rule;
    EXPECT_EQ(dst.getPixel(40, 40), c.pixelAt40_40) << c.rule;
  }
}

TEST(LayerCompositeRules, UntouchedLayerChangesNothingAndCommitsNothing) {
  CBlockVMTC layer(300, 200);
  CBlockVMTC below(300, 200);
  std::mt19937 rng(5);
  testing::fillSparse(below, rng);
  const Pixels before = testing::toPixels(below);
  const int64_t committed = below.committedTiles();
  TMTC plane(300, 200);
  testing::fillPlane(plane, rng);
  const Pixels planeBefore = testing::toPixels(plane);
  for (uint32_t mode = 0; mode < kLayerBlendModeCount; ++mode) {
    SLayerBlendAttr attr;
    attr.blendMode = static_cast<uint8_t>(mode);
    EXPECT_TRUE(below.blendLayer(layer, attr, SRectXYWH{0, 0, 300, 200}, TPoint{0, 0}));
    EXPECT_TRUE(layer.blendLayerToPlane(plane, attr, SRectXYWH{0, 0, 300, 200}, TPoint{0, 0}));
    EXPECT_TRUE(layer.blendLayerMasked(below, attr, SRectXYWH{0, 0, 300, 200}, TPoint{0, 0}));
    EXPECT_TRUE(layer.blendLayerToPlane2(plane, attr, SRectXYWH{0, 0, 300, 200}, TPoint{0, 0}));
  }
  EXPECT_TRUE(samePixels(testing::toPixels(below), before));
  EXPECT_TRUE(samePixels(testing::toPixels(plane), planeBefore));
  EXPECT_EQ(below.committedTiles(), committed);
  EXPECT_EQ(layer.committedBytes(), 0u);
}

TEST(LayerCompositeRules, ZeroOpacityCompositesNothing) {
  CBlockVMTC layer(64, 64);
  layer.fill(0xFF102030u);
  TMTC plane(64, 64);
  fill(plane, 0xFF000000u);
  SLayerBlendAttr attr;
  attr.blendMode = lbmNormal;
  attr.opacity = 0;
  EXPECT_FALSE(layer.blendLayerToPlane(plane, attr, SRectXYWH{0, 0, 64, 64}, TPoint{0, 0}));
  EXPECT_EQ(plane.getPixel(5, 5), 0xFF000000u);
  attr.opacity = 255;
  attr.blendMode = 22;  // no such mode
  EXPECT_FALSE(layer.blendLayerToPlane(plane, attr, SRectXYWH{0, 0, 64, 64}, TPoint{0, 0}));
  EXPECT_EQ(plane.getPixel(5, 5), 0xFF000000u);
}

TEST(LayerCompositeRules, MaskedBlendGivesTheSameAlphaOnUniformAndCommittedTiles) {
  // One colour reaches the destination through R2 (uniform onto whole
  // uniform), R3 (uniform onto committed) and R4 (committed source): every
  // branch must give the same pixels, alpha included.
  for (uint32_t mode : {lbmMultiply, lbmAdd, lbmSubtract, lbmNormal, lbmScreen}) {
    SLayerBlendAttr attr;
    attr.blendMode = static_cast<uint8_t>(mode);
    attr.opacity = 200;
    CBlockVMTC uniformSrc(64, 64), committedSrc(64, 64);
    uniformSrc.fill(0xC0336699u);
    committedSrc.fill(0xC0336699u);
    for (int32_t i = 0; i < committedSrc.tileCount(); ++i) EXPECT_TRUE(committedSrc.commitTile(committedSrc.tileRef(i)));
    CBlockVMTC r2(64, 64), r3(64, 64), r4(64, 64);
    for (CBlockVMTC* d : {&r2, &r3, &r4}) d->fill(0x80C0A040u);
    for (int32_t i = 0; i < r3.tileCount(); ++i) EXPECT_TRUE(r3.commitTile(r3.tileRef(i)));
    const SRectXYWH all{0, 0, 64, 64};
    EXPECT_TRUE(uniformSrc.blendLayerMasked(r2, attr, all, TPoint{0, 0}));
    EXPECT_TRUE(uniformSrc.blendLayerMasked(r3, attr, all, TPoint{0, 0}));
    EXPECT_TRUE(committedSrc.blendLayerMasked(r4, attr, all, TPoint{0, 0}));
    EXPECT_EQ(r2.committedBytes(), 0u);
    const uint32_t want = r4.getPixel(10, 10);
    EXPECT_EQ(want >> 24, 255u) << "mode " << mode;
    EXPECT_EQ(r2.getPixel(10, 10), want) << "mode " << mode;
    EXPECT_EQ(r3.getPixel(10, 10), want) << "mode " << mode;
  }
}

TEST(LayerCompositeRules, CoverageBlendIntoAPlaneFollowsTheModesPair) {
  std::mt19937 rng(99);
  for (uint32_t mode : {lbmMultiply, lbmAdd, lbmSubtract, lbmNormal, lbmOverlay}) {
    CBlockVMTC layer(100, 70);
    testing::fillSparse(layer, rng);
    const Pixels src = testing::toPixels(layer);
    TMTC plane(100, 70);
    testing::fillPlane(plane, rng);
    Pixels want = testing::toPixels(plane);
    const SLayerKindOps& pair = layerKindOps(mode);
    SLayerBlendAttr attr;
    attr.blendMode = static_cast<uint8_t>(mode);
    attr.opacity = 180;
    for (int32_t y = 0; y < 70; ++y)
      for (int32_t x = 0; x < 100; ++x) {
        const STileRec& t = *layer.tileAt(x, y);
        if (!t.committed() && (t.uniform >> 24) == 0) continue;  // R1 skips such tiles
        pair.Primitive(&want.at(x, y), src.at(x, y), attr.opacity);
      }
    EXPECT_TRUE(layer.blendLayerToPlane2(plane, attr, SRectXYWH{0, 0, 100, 70}, TPoint{0, 0}));
    EXPECT_TRUE(samePixels(testing::toPixels(plane), want)) << "mode " << mode;
  }
}

// ---- dissolve --------------------------------------------------------------------------------

// The dissolve reference: each pixel of the layer laid down with the mode's
// operator when the threshold passes the draw at its place on the plane.
Pixels dissolveReference(const CBlockVMTC& layer, const TMTC& plane, const SLayerBlendAttr& attr, TPoint at) {
  Pixels out = testing::toPixels(plane);
  const SStochasticBlend s{layerBlendInfo(attr.blendMode)->SrcAlphaOp, attr.dissolveAmount};
  for (int32_t y = 0; y < layer.height(); ++y)
    for (int32_t x = 0; x < layer.width(); ++x) {
      const int32_t px = at.X + x, py = at.Y + y;
      if (px < 0 || py < 0 || px >= plane.Width || py >= plane.Height) continue;
      stochasticBlend(s, &out.at(px, py), layer.getPixel(x, y), attr.opacity, px, py);
    }
  return out;
}

SLayerBlendAttr dissolveAttr(uint8_t mode, uint8_t amount) {
  SLayerBlendAttr attr;
  attr.blendMode = mode;
  attr.opacity = 230;
  attr.dissolve = true;
  attr.dissolveAmount = amount;
  return attr;
}

TEST(LayerCompositeDissolve, TheDitherIsAFunctionOfPlacePixelAndAmount) {
  std::mt19937 rng(3);
  CBlockVMTC layer(100, 70);
  testing::fillSparse(layer, rng);
  const SLayerBlendAttr attr = dissolveAttr(lbmScreen, 150);
  TMTC a(100, 70);
  fill(a, 0xFF808080u);
  const Pixels want = dissolveReference(layer, a, attr, TPoint{0, 0});
  EXPECT_TRUE(layer.blendLayerToPlane(a, attr, SRectXYWH{0, 0, 100, 70}, TPoint{0, 0}));
  EXPECT_TRUE(samePixels(testing::toPixels(a), want));
  // Some pixels dithered away, some drawn.
  int kept = 0;
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 100; ++x) kept += want.at(x, y) == 0xFF808080u;
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, 7000);
}

// The same pixels give the same composite however they are held (committed
// tiles or uniform ones, transparent tiles committed or not) and whatever
// rectangles the plane is composed in, in whatever order.
TEST(LayerCompositeDissolve, SamePixelsGiveTheSameCompositeWhateverTheTilesAndRectangles) {
  std::mt19937 rng(11);
  CBlockVMTC sparse(100, 70);
  testing::fillSparse(sparse, rng);
  // The same pixels with every tile committed.
  CBlockVMTC dense(100, 70);
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 100; ++x) ASSERT_TRUE(dense.setPixel(x, y, sparse.getPixel(x, y)));
  for (int32_t i = 0; i < dense.tileCount(); ++i) ASSERT_TRUE(dense.commitTile(dense.tileRef(i)));
  ASSERT_EQ(testing::toPixels(dense).at(99, 69), testing::toPixels(sparse).at(99, 69));
  for (uint8_t amount : {uint8_t{40}, uint8_t{128}, uint8_t{255}}) {
    const SLayerBlendAttr attr = dissolveAttr(lbmNormal, amount);
    TMTC whole(100, 70), pieces(100, 70);
    fill(whole, 0xFF204060u);
    fill(pieces, 0xFF204060u);
    const Pixels want = dissolveReference(sparse, whole, attr, TPoint{0, 0});
    EXPECT_TRUE(sparse.blendLayerToPlane(whole, attr, SRectXYWH{0, 0, 100, 70}, TPoint{0, 0}));
    // Bands from the bottom up, each cut in two, from the densely held copy.
    for (int32_t y = 63; y >= 0; y -= 7)
      for (const SRectXYWH r : {SRectXYWH{50, y, 50, 7}, SRectXYWH{0, y, 50, 7}})
        (void)dense.blendLayerToPlane(pieces, attr, r, TPoint{r.X, r.Y});  // a clip result only
    EXPECT_TRUE(samePixels(testing::toPixels(whole), want)) << int(amount);
    EXPECT_TRUE(samePixels(testing::toPixels(pieces), want)) << int(amount);
  }
}

// ---- faults ------------------------------------------------------------------------------------

TEST(LayerCompositeFaults, BlendsFailWhenADestinationTileCannotBeCommitted) {
  std::mt19937 rng(8);
  CBlockVMTC src(100, 70);
  testing::fillSparse(src, rng);
  SLayerBlendAttr attr;
  attr.blendMode = lbmNormal;
  const SRectXYWH all{0, 0, 100, 70};
  {
    CBlockVMTC dst(100, 70);
    CTilePoolFailScope fail(2);
    EXPECT_FALSE(dst.blendLayer(src, attr, all, TPoint{0, 0}));
    EXPECT_TRUE(dst.commitFailed());
    EXPECT_LE(dst.committedTiles(), 2);
  }
  {
    CBlockVMTC dst(100, 70);
    CTilePoolFailScope fail(0);
    EXPECT_FALSE(dst.blendFrom(src, TPoint{0, 0}, &blendNormalOver, 255, 255, all));
    EXPECT_FALSE(dst.blendFrom2(src, TPoint{0, 0}, *layerCompositeOps(lbmOverlay), 255, 255, all));
    EXPECT_FALSE(src.blendLayerMasked(dst, attr, all, TPoint{0, 0}));
    EXPECT_TRUE(dst.commitFailed());
    EXPECT_EQ(dst.committedTiles(), 0);
  }
}

}  // namespace
}  // namespace pg
