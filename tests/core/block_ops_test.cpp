#include <gtest/gtest.h>

#include <random>

#include "block_test_util.h"
#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/plane_ops.h"
#include "core/ring_buffers.h"

namespace pg {
namespace {

using testing::Pixels;

bool same(const Pixels& a, const Pixels& b) { return a.w == b.w && a.h == b.h && a.p == b.p; }

// ---- copies --------------------------------------------------------------------------

TEST(BlockCopies, ToPlaneCopiesOrMixesEveryPixelOfTheClippedRectangle) {
  std::mt19937 rng(11);
  CBlockVMTC img(100, 70);
  testing::fillSparse(img, rng);
  const Pixels src = testing::toPixels(img);
  struct Case {
    TPoint point;
    SRectXYWH rect;
    bool skipTransparent;
    uint32_t opacity;
  };
  const Case cases[] = {
      {{0, 0}, {0, 0, 100, 70}, false, 255},  {{-9, 5}, {3, 2, 90, 90}, false, 255},
      {{4, 4}, {0, 0, 100, 70}, true, 255},   {{0, 0}, {10, 10, 50, 40}, false, 128},
      {{20, -3}, {0, 0, 100, 70}, true, 77},  {{0, 0}, {0, 0, 100, 70}, false, 0},
  };
  for (const Case& c : cases) {
    TTC plane(true, 80, 60);  // bottom-up rows
    testing::fillPlane(plane, rng);
    Pixels want = testing::toPixels(plane);
    TPoint pt = c.point;
    SRectXYWH r = c.rect;
    if (clipCopyRect(plane.size(), img.size(), pt, r))
      for (int32_t y = 0; y < r.Height; ++y)
        for (int32_t x = 0; x < r.Width; ++x) {
          const uint32_t s = src.at(r.X + x, r.Y + y);
          const STileRec& t = *img.tileAt(r.X + x, r.Y + y);
          if (c.skipTransparent && !t.committed() && (s >> 24) == 0) continue;
          uint32_t& d = want.at(pt.X + x, pt.Y + y);
          if (c.opacity == 255)
            d = s;
          else
            lerpPixelRgb(&d, s, c.opacity);
        }
    EXPECT_TRUE(img.copyToPlaneRect(plane, c.point, c.skipTransparent, c.opacity, c.rect));
    EXPECT_TRUE(same(testing::toPixels(plane), want)) << c.point.X << "," << c.opacity;
  }
}

TEST(BlockCopies, FromPlaneCommitsWhatItTouchesAndLeavesTheImageOnFailure) {
  std::mt19937 rng(12);
  TMTC plane(50, 40);
  testing::fillPlane(plane, rng);
  CBlockVMTC img(100, 70);
  ASSERT_TRUE(img.copyFromPlaneRect(plane, TPoint{30, 20}, 255, SRectXYWH{5, 5, 40, 30}));
  EXPECT_EQ(img.committedTiles(), 6);  // columns 0..2 x rows 0..1 of x 30..69, y 20..49
  for (int32_t y = 0; y < 30; ++y)
    for (int32_t x = 0; x < 40; ++x) ASSERT_EQ(img.getPixel(30 + x, 20 + y), plane.getPixel(5 + x, 5 + y));
  EXPECT_EQ(img.getPixel(29, 20), 0x00FFFFFFu);
  // A lower opacity mixes the colour bytes and keeps the image's alpha.
  CBlockVMTC half(50, 40);
  half.fill(0x40000000u);
  ASSERT_TRUE(half.copyFromPlane(plane, 0, 0, 100));
  uint32_t want = 0x40000000u;
  lerpPixelRgb(&want, plane.getPixel(7, 9), 100);
  EXPECT_EQ(half.getPixel(7, 9), want);

  CBlockVMTC fresh(100, 70);
  EXPECT_TRUE(fresh.setPixel(31, 21, 0xFF010203u));
  const Pixels before = testing::toPixels(fresh);
  {
    CTilePoolFailScope fail(2);
    EXPECT_FALSE(fresh.copyFromPlaneRect(plane, TPoint{30, 20}, 255, SRectXYWH{5, 5, 40, 30}));
  }
  EXPECT_TRUE(fresh.commitFailed());
  EXPECT_TRUE(same(testing::toPixels(fresh), before));
}

TEST(BlockCopies, AssignRectCopiesAndKeepsUniformTilesUniform) {
  std::mt19937 rng(13);
  CBlockVMTC src(128, 96);
  testing::fillSparse(src, rng);
  const Pixels s = testing::toPixels(src);
  CBlockVMTC dst(100, 100);
  Pixels want = testing::toPixels(dst);
  TPoint pt{7, -3};
  SRectXYWH r{10, 0, 128, 96};
  ASSERT_TRUE(dst.assignRect(src, pt, r));
  ASSERT_TRUE(clipCopyRect(dst.size(), src.size(), pt, r));
  for (int32_t y = 0; y < r.Height; ++y)
    for (int32_t x = 0; x < r.Width; ++x) want.at(pt.X + x, pt.Y + y) = s.at(r.X + x, r.Y + y);
  EXPECT_TRUE(same(testing::toPixels(dst), want));

  CBlockVMTC flat(100, 70), copy(100, 70);
  flat.fill(0x12345678u);
  ASSERT_TRUE(copy.assignFrom(flat));
  EXPECT_EQ(copy.committedBytes(), 0u);  // whole uniform tiles, edge tiles included
  EXPECT_EQ(copy.getPixel(99, 69), 0x12345678u);
}

// ---- fills ---------------------------------------------------------------------------

TEST(BlockFills, UniformTilesCoveredWholeOnlyChangeTheirColour) {
  CBlockVMTC img(100, 70);
  ASSERT_TRUE(img.xorAll(0x00FFFFFF));
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_EQ(img.getPixel(99, 69), 0u);
  ASSERT_TRUE(img.fillRGBAll(0x00ABCDEF));
  ASSERT_TRUE(img.fillAlphaAll(0x80));
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_EQ(img.getPixel(50, 50), 0x80ABCDEFu);
  ASSERT_TRUE(img.fillModeNeutralAll(5));  // overlay: 0x7F7F7F, alpha kept
  EXPECT_EQ(img.getPixel(0, 0), 0x807F7F7Fu);
  EXPECT_FALSE(img.fillModeNeutralAll(22));
  EXPECT_EQ(img.committedBytes(), 0u);

  // Part of a tile commits it; the rest of the tile keeps its colour.
  ASSERT_TRUE(img.fillMaskedRect(SRectXYWH{3, 3, 2, 2}, 0x0000FF00u, 0x00001100u));
  EXPECT_EQ(img.committedTiles(), 1);
  EXPECT_EQ(img.getPixel(3, 3), 0x807F117Fu);
  EXPECT_EQ(img.getPixel(5, 5), 0x807F7F7Fu);
  ASSERT_TRUE(img.xorRect(SRectXYWH{0, 0, 32, 32}, 0xFF000000u));  // a committed tile stays committed
  EXPECT_EQ(img.getPixel(5, 5), 0x7F7F7F7Fu);
  EXPECT_EQ(img.committedTiles(), 1);
  EXPECT_FALSE(img.xorRect(SRectXYWH{200, 0, 5, 5}, 1));
}

// ---- transforms ------------------------------------------------------------------------

TEST(BlockTransforms, MirrorFlipAndHalfTurnOfARectangle) {
  std::mt19937 rng(14);
  const SRectXYWH rects[] = {{0, 0, 100, 70}, {13, 7, 50, 33}, {-5, 60, 40, 40}};
  for (const SRectXYWH& rect : rects) {
    for (int kind = 0; kind < 3; ++kind) {
      CBlockVMTC img(100, 70);
      testing::fillSparse(img, rng);
      const Pixels before = testing::toPixels(img);
      Pixels want = before;
      SRectXYWH r = rect;
      ASSERT_TRUE(clipXYWHToSize(r, img.size()));
      for (int32_t y = 0; y < r.Height; ++y)
        for (int32_t x = 0; x < r.Width; ++x) {
          const int32_t sx = kind == 1 ? x : r.Width - 1 - x;
          const int32_t sy = kind == 0 ? y : r.Height - 1 - y;
          want.at(r.X + x, r.Y + y) = before.at(r.X + sx, r.Y + sy);
        }
      const bool ok = kind == 0 ? img.mirrorRectH(rect) : kind == 1 ? img.flipRectV(rect) : img.rotateRect180(rect);
      EXPECT_TRUE(ok);
      EXPECT_TRUE(same(testing::toPixels(img), want)) << "kind " << kind << " rect " << rect.X;
    }
  }
  // The result is compacted: a flat image stays without memory.
  CBlockVMTC flat(100, 70);
  flat.fill(0x11111111u);
  EXPECT_TRUE(flat.setPixel(1, 1, 0x11111111u));
  ASSERT_TRUE(flat.mirrorRectH(SRectXYWH{0, 0, 100, 70}));
  EXPECT_EQ(flat.committedBytes(), 0u);
}

TEST(BlockTransforms, QuarterTurnsIntoAPlaneAndIntoAnotherImage) {
  std::mt19937 rng(15);
  CBlockVMTC img(70, 40);
  testing::fillSparse(img, rng);
  for (bool clockwise : {true, false}) {
    TMTC plane(40, 70);
    ASSERT_TRUE(img.rotateToPlane(plane, clockwise));
    for (int32_t Y = 0; Y < 70; ++Y)
      for (int32_t X = 0; X < 40; ++X)
        ASSERT_EQ(plane.getPixel(X, Y), clockwise ? img.getPixel(Y, 40 - 1 - X) : img.getPixel(70 - 1 - Y, X));
  }
  // Into another image at a point, clipped on every side in both directions.
  const TPoint points[] = {{0, 0}, {-13, 9}, {25, -30}, {10, 10}};
  for (bool clockwise : {true, false}) {
    for (TPoint pt : points) {
      CBlockVMTC dst(50, 60);
      dst.fill(0xDEADBEEFu);
      TMTC turned(40, 70);
      EXPECT_TRUE(img.rotateToPlane(turned, clockwise));
      ASSERT_TRUE(img.rotateToBlock(dst, pt, clockwise));
      for (int32_t y = 0; y < 60; ++y)
        for (int32_t x = 0; x < 50; ++x) {
          const int32_t X = x - pt.X, Y = y - pt.Y;
          const bool inside = X >= 0 && Y >= 0 && X < 40 && Y < 70;
          ASSERT_EQ(dst.getPixel(x, y), inside ? turned.getPixel(X, Y) : 0xDEADBEEFu)
              << clockwise << " " << pt.X << "," << pt.Y << " at " << x << "," << y;
        }
    }
  }
  // Tiles turned from uniform ones of one colour stay without memory where
  // they are whole; every pixel is still the plain turn's.
  CBlockVMTC patches(200, 130);
  for (int32_t i = 0; i < patches.tileCount(); ++i) {
    STileRec& t = patches.tileRef(i);
    t.uniform = (i / 3) % 2 == 0 ? 0xFF102030u : 0x80405060u;
    if (i % 7 == 0) {
      EXPECT_TRUE(patches.setPixel(patches.tileX(t) + 3, patches.tileY(t) + 1, 0xFFFFFFFFu));
    }
  }
  for (bool clockwise : {true, false}) {
    TMTC turned(130, 200);
    EXPECT_TRUE(patches.rotateToPlane(turned, clockwise));
    for (TPoint pt : {TPoint{0, 0}, TPoint{-13, 9}, TPoint{32, -64}}) {
      CBlockVMTC dst(140, 210);
      ASSERT_TRUE(patches.rotateToBlock(dst, pt, clockwise));
      for (int32_t y = 0; y < 210; ++y)
        for (int32_t x = 0; x < 140; ++x) {
          const int32_t X = x - pt.X, Y = y - pt.Y;
          const bool inside = X >= 0 && Y >= 0 && X < 130 && Y < 200;
          ASSERT_EQ(dst.getPixel(x, y), inside ? turned.getPixel(X, Y) : dst.background())
              << clockwise << " " << pt.X << "," << pt.Y << " at " << x << "," << y;
        }
    }
  }
  CBlockVMTC wide(6000, 40), tall(40, 6000);
  wide.fill(0xFF00FF00u);
  ASSERT_TRUE(wide.rotateToBlock(tall, TPoint{0, 0}, true));
  EXPECT_EQ(tall.committedTiles(), 0);
  EXPECT_EQ(tall.getPixel(39, 5999), 0xFF00FF00u);

  CBlockVMTC far(50, 60);
  EXPECT_FALSE(img.rotateToBlock(far, TPoint{50, 0}, true));
  EXPECT_FALSE(img.rotateToBlock(far, TPoint{-40, 0}, false));
  EXPECT_EQ(far.committedBytes(), 0u);
}

TEST(BlockTransforms, StretchFromAveragesSixteenSamples) {
  CBlockVMTC src(4, 1), dst(2, 1);
  EXPECT_TRUE(src.setPixel(0, 0, 0x10203040u));
  EXPECT_TRUE(src.setPixel(1, 0, 0x11213141u));
  EXPECT_TRUE(src.setPixel(2, 0, 0x80808080u));
  EXPECT_TRUE(src.setPixel(3, 0, 0x01010101u));
  ASSERT_TRUE(dst.stretchFrom(src));
  // Samples 0, 0, 1, 1 and 2, 2, 3, 3: the truncated means per byte.
  EXPECT_EQ(dst.getPixel(0, 0), 0x10203040u);
  EXPECT_EQ(dst.getPixel(1, 0), 0x40404040u);
  CBlockVMTC flatSrc(300, 200), flatDst(77, 131);
  flatSrc.fill(0xFF336699u);
  ASSERT_TRUE(flatDst.stretchFrom(flatSrc));
  EXPECT_EQ(flatDst.getPixel(76, 130), 0xFF336699u);
  // Compacted: the 2 x 4 inner tiles are uniform again; the 7 edge tiles keep
  // the old colour beyond the image edge and stay committed.
  EXPECT_EQ(flatDst.committedTiles(), 7);
}

TEST(BlockTransforms, StretchToPlaneAveragesABox) {
  CBlockVMTC img(4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_TRUE(img.setPixel(x, y, static_cast<uint32_t>(x * 10 + y)));
  TMTC plane(2, 2);
  ASSERT_TRUE(img.stretchToPlane(plane, SRectXYWH{0, 0, 2, 2}, 4, 4));
  // Boxes of 3 x 3 from (0, 0) and (2, 2); reads past the edge are clamped.
  EXPECT_EQ(plane.getPixel(0, 0), 11u);                    // x 0,10,20 / y 0,1,2
  EXPECT_EQ(plane.getPixel(1, 1), 29u);  // x 20,30,30 / y 2,3,3: 264 / 9
  EXPECT_FALSE(img.stretchToPlane(plane, SRectXYWH{0, 0, 0, 2}, 4, 4));
}

TEST(BlockTransforms, FailuresLeaveTheImageAsItWas) {
  std::mt19937 rng(16);
  CBlockVMTC img(100, 70);
  testing::fillSparse(img, rng);
  img.tileRef(0).uniform = 0xFF000000u;  // at least one uniform tile to commit
  if (img.tileRef(0).committed()) img.decommitTile(img.tileRef(0));
  const Pixels before = testing::toPixels(img);
  CBlockVMTC small(30, 30);
  {
    CTilePoolFailScope fail(0);
    EXPECT_FALSE(img.mirrorRectH(SRectXYWH{0, 0, 100, 70}));
    EXPECT_FALSE(img.stretchFrom(small));
    EXPECT_FALSE(small.rotateToBlock(img, TPoint{0, 0}, true));
  }
  EXPECT_TRUE(same(testing::toPixels(img), before));
}

// ---- alpha and byte grids -------------------------------------------------------------------

TEST(BlockAlphaGrids, AlphaGoesOutToAGridAndBack) {
  CBlockVMTC img(100, 70);
  img.fill(0x80112233u);
  EXPECT_TRUE(img.setPixel(40, 40, 0x05445566u));
  SByteGrid grid;
  ASSERT_TRUE(img.alphaToGrid(grid, SRectXYWH{30, 30, 100, 100}));  // clipped to 70 x 40
  EXPECT_EQ(grid.W, 70);
  EXPECT_EQ(grid.H, 40);
  EXPECT_EQ(*byteGridRow(grid, 10, 10), 0x05);
  EXPECT_EQ(*byteGridRow(grid, 0, 0), 0x80);
  EXPECT_FALSE(img.alphaToGrid(grid, SRectXYWH{100, 0, 5, 5}));

  SByteGrid ones;
  ASSERT_TRUE(byteGridSetSize(ones, 40, 40));
  std::fill(ones.Data.get(), ones.Data.get() + 1600, uint8_t{0xFF});
  ASSERT_TRUE(img.alphaFromGrid(ones, TPoint{-8, 20}));  // clipped at the left
  EXPECT_EQ(img.getPixel(31, 59), 0xFF112233u);
  EXPECT_EQ(img.getPixel(32, 59), 0x80112233u);
  EXPECT_EQ(img.getPixel(31, 19), 0x80112233u);
  EXPECT_EQ(img.getPixel(40, 40), 0x05445566u);
  EXPECT_EQ(img.committedTiles(), 3);  // (0, 0) and (0, 1) now mixed, (1, 1) painted

  SByteGrid whole;
  ASSERT_TRUE(byteGridSetSize(whole, 100, 70));
  *byteGridRow(whole, 40, 40) = 0x77;
  ASSERT_TRUE(img.swapAlphaWithGrid(whole));
  EXPECT_EQ(img.getPixel(40, 40), 0x77445566u);
  EXPECT_EQ(img.getPixel(0, 0), 0x00112233u);
  EXPECT_EQ(*byteGridRow(whole, 40, 40), 0x05);
  EXPECT_EQ(*byteGridRow(whole, 0, 0), 0x80);
  EXPECT_EQ(*byteGridRow(whole, 5, 25), 0xFF);
  SByteGrid wrong;
  ASSERT_TRUE(byteGridSetSize(wrong, 99, 70));
  EXPECT_FALSE(img.swapAlphaWithGrid(wrong));
  SByteGrid empty;
  EXPECT_FALSE(img.alphaFromGrid(empty, TPoint{0, 0}));
}

}  // namespace
}  // namespace pg
