#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/blend_arith.h"
#include "core/block_image.h"
#include "core/plane_ops.h"

namespace pg {
namespace {

// Pixels of a channel as a vector, rows top-down.
std::vector<uint8_t> bytesOf(const CBlockVCH& ch) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < ch.height(); ++y)
    for (int32_t x = 0; x < ch.width(); ++x) out.push_back(ch.getPixel(x, y));
  return out;
}

// Some tiles uniform (0 or a value), some committed with random bytes.
void fillSparse(CBlockVCH& ch, std::mt19937& rng) {
  for (int32_t i = 0; i < ch.tileCount(); ++i) {
    STileRec& t = ch.tileRef(i);
    t.uniform = rng() % 3 == 0 ? 0 : rng() & 0xFF;
    if (rng() % 2) {
      EXPECT_TRUE(ch.commitTile(t));
      uint8_t* p = ch.tileMemory(t);
      for (int j = 0; j < 4096; ++j) p[j] = static_cast<uint8_t>(rng());
    }
  }
}

TEST(MaskMorphology, DilateASinglePixel) {
  struct Case {
    TPoint at;
    TRect block;  // the expected 255 pixels
  };
  const Case cases[] = {{{10, 10}, {9, 9, 12, 12}}, {{0, 0}, {0, 0, 2, 2}}, {{99, 64}, {98, 63, 100, 66}}};
  for (const Case& c : cases) {
    CBlockVCH src(100, 80), dst(100, 80);
    EXPECT_TRUE(src.setPixel(c.at.X, c.at.Y, 255));
    ASSERT_TRUE(dst.dilateRect(src, TRect{0, 0, 100, 80}));
    for (int32_t y = 0; y < 80; ++y)
      for (int32_t x = 0; x < 100; ++x)
        ASSERT_EQ(dst.getPixel(x, y), ptInRect(c.block, TPoint{x, y}) ? 255 : 0) << x << "," << y;
  }
}

TEST(MaskMorphology, DilateFromWritesOnlyTheTileBoundsUnlessGrown) {
  CBlockVCH src(200, 100), plain(200, 100), grown(200, 100);
  EXPECT_TRUE(src.setPixel(63, 10, 200));  // on the right edge of tile (0, 0)
  ASSERT_TRUE(plain.dilateFrom(src));
  ASSERT_TRUE(grown.dilateFromGrown(src));
  EXPECT_EQ(plain.getPixel(62, 9), 200);
  EXPECT_EQ(plain.getPixel(64, 10), 0);  // outside the tile bounds: not written
  EXPECT_EQ(grown.getPixel(64, 10), 200);
  CBlockVCH empty(200, 100);
  EXPECT_FALSE(plain.dilateFrom(empty));  // no tiles in use
}

TEST(MaskMorphology, ErodeShrinksABlockByOnePixel) {
  CBlockVCH src(100, 100), dst(100, 100);
  ASSERT_TRUE(src.fillRect(SRectXYWH{20, 20, 5, 5}, 255));
  ASSERT_TRUE(dst.erodeFrom(src));
  for (int32_t y = 15; y < 30; ++y)
    for (int32_t x = 15; x < 30; ++x)
      ASSERT_EQ(dst.getPixel(x, y), (x >= 21 && x < 24 && y >= 21 && y < 24) ? 255 : 0) << x << "," << y;
  // A full channel stays full: reads at the edges repeat the edge pixel.
  CBlockVCH full(70, 70), out(70, 70);
  EXPECT_TRUE(full.xorAll(255));
  ASSERT_TRUE(out.erodeFrom(full));
  EXPECT_EQ(out.getPixel(0, 0), 255);
  EXPECT_EQ(out.getPixel(69, 69), 255);
}

TEST(MaskFills, FillOutsideFillsTheBandsAroundARectangle) {
  CBlockVCH ch(100, 80);
  EXPECT_FALSE(ch.fillOutside(TRect{0, 0, 100, 80}, 9));
  EXPECT_FALSE(ch.fillOutside(TRect{-5, -5, 120, 90}, 9));
  EXPECT_EQ(ch.committedBytes(), 0u);
  ASSERT_TRUE(ch.fillOutsideXYWH(SRectXYWH{10, 20, 30, 40}, 9));
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 100; ++x)
      ASSERT_EQ(ch.getPixel(x, y), (x >= 10 && x < 40 && y >= 20 && y < 60) ? 0 : 9) << x << "," << y;
}

TEST(MaskFills, WholeUniformTilesOnlyChangeTheirValue) {
  CBlockVCH ch(100, 70);
  ASSERT_TRUE(ch.fillRect(SRectXYWH{0, 0, 100, 70}, 7));
  ASSERT_TRUE(ch.xorAll(0xF0));
  EXPECT_EQ(ch.committedBytes(), 0u);
  EXPECT_EQ(ch.getPixel(99, 69), 0xF7);
  ASSERT_TRUE(ch.fillRect(SRectXYWH{1, 1, 3, 3}, 0));
  EXPECT_EQ(ch.committedTiles(), 1);
  EXPECT_EQ(ch.getPixel(2, 2), 0);
  EXPECT_EQ(ch.getPixel(5, 5), 0xF7);
}

TEST(MaskCombine, CombineEqualsTheByteOperationPerPixel) {
  std::mt19937 rng(21);
  const ByteOp ops[] = {&byteSet, &byteMax, &byteMul};
  const TPoint points[] = {{0, 0}, {64, 0}, {-13, 29}};
  for (ByteOp op : ops) {
    for (TPoint pt : points) {
      CBlockVCH src(150, 100), dst(140, 130);
      fillSparse(src, rng);
      fillSparse(dst, rng);
      std::vector<uint8_t> want = bytesOf(dst);
      TPoint p = pt;
      SRectXYWH r{0, 0, 150, 100};
      ASSERT_TRUE(clipCopyRect(dst.size(), src.size(), p, r));
      for (int32_t y = 0; y < r.Height; ++y)
        for (int32_t x = 0; x < r.Width; ++x)
          op(&want[static_cast<size_t>(p.Y + y) * 140 + p.X + x], src.getPixel(r.X + x, r.Y + y));
      ASSERT_TRUE(dst.combine(src, pt, op, SRectXYWH{0, 0, 150, 100}));
      EXPECT_EQ(bytesOf(dst), want);
    }
  }
  // Uniform onto whole uniform tiles commits nothing.
  CBlockVCH a(128, 128), b(128, 128);
  EXPECT_TRUE(a.xorAll(200));
  EXPECT_TRUE(b.xorAll(100));
  ASSERT_TRUE(b.combine(a, TPoint{0, 0}, &byteMax, SRectXYWH{0, 0, 128, 128}));
  EXPECT_EQ(b.committedBytes(), 0u);
  EXPECT_EQ(b.getPixel(127, 127), 200);
  ASSERT_TRUE(b.assignFrom(a));
  EXPECT_EQ(b.committedBytes(), 0u);
}

TEST(MaskCopies, ToAndFromBottomUpChannels) {
  std::mt19937 rng(22);
  CBlockVCH ch(100, 70);
  fillSparse(ch, rng);
  ch.tileRef(0).uniform = 0;
  if (ch.tileRef(0).committed()) ch.decommitTile(ch.tileRef(0));
  TChannel plane(100, 70);
  fill(plane, 0x55);
  ASSERT_TRUE(ch.copyToChannel(plane, 0, 0, true));
  EXPECT_EQ(plane.getPixel(3, 3), 0x55);  // a uniform 0 tile skipped
  ASSERT_TRUE(ch.copyToChannel(plane, 0, 0, false));
  for (int32_t y = 0; y < 70; ++y)
    for (int32_t x = 0; x < 100; ++x) ASSERT_EQ(plane.getPixel(x, y), ch.getPixel(x, y));
  CBlockVCH back(100, 70);
  ASSERT_TRUE(back.copyFromChannel(plane, TPoint{0, 0}, SRectXYWH{0, 0, 100, 70}));
  EXPECT_EQ(bytesOf(back), bytesOf(ch));
}

TEST(MaskFromLayer, LuminanceAndAlpha) {
  CBlockVMTC layer(100, 70);
  EXPECT_TRUE(layer.setPixel(0, 0, 0xFFFFFFFFu));  // white, opaque
  EXPECT_TRUE(layer.setPixel(1, 0, 0x00FFFFFFu));  // white, transparent
  EXPECT_TRUE(layer.setPixel(2, 0, 0x80000000u));  // black, half
  EXPECT_TRUE(layer.setPixel(3, 0, 0xFF808080u));  // grey 128, opaque
  CBlockVCH lum(100, 70), inv(100, 70), alpha(100, 70);
  ASSERT_TRUE(lum.fromLuminance(layer, false));
  ASSERT_TRUE(inv.fromLuminance(layer, true));
  ASSERT_TRUE(alpha.fromAlpha(layer));
  EXPECT_EQ(lum.getPixel(0, 0), 255);
  EXPECT_EQ(inv.getPixel(0, 0), 0);
  EXPECT_EQ(lum.getPixel(1, 0), 0);
  EXPECT_EQ(inv.getPixel(1, 0), 0);
  EXPECT_EQ(lum.getPixel(2, 0), 0);
  EXPECT_EQ(inv.getPixel(2, 0), 128);  // P[255][128]
  EXPECT_EQ(lum.getPixel(3, 0), 128);  // the grey weights sum to 65536
  EXPECT_EQ(alpha.getPixel(2, 0), 0x80);
  EXPECT_EQ(alpha.getPixel(50, 50), 0);
  EXPECT_EQ(lum.committedTiles(), lum.tileCount());  // every tile is written
  EXPECT_EQ(layer.committedTiles(), 1);               // the layer is only read
}

TEST(MaskStretch, StretchToADisplayPlaneAndFromAnotherChannel) {
  CBlockVCH ch(4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) EXPECT_TRUE(ch.setPixel(x, y, static_cast<uint8_t>(x * 10 + y)));
  TMTC plane(2, 2);
  ASSERT_TRUE(ch.stretchToChannel(plane, SRectXYWH{0, 0, 2, 2}, SRectXYWH{0, 0, 4, 4}));
  // 3 x 3 boxes; samples outside the channel count as 0.
  EXPECT_EQ(plane.getPixel(0, 0), 11u * 0x010101u);
  EXPECT_EQ(plane.getPixel(1, 1), ((20 + 30) * 2 + (2 + 3) * 2) / 9u * 0x010101u);
  CBlockVCH flat(300, 200), small(77, 50);
  EXPECT_TRUE(flat.xorAll(90));
  ASSERT_TRUE(small.stretchFrom(flat));
  EXPECT_EQ(small.getPixel(10, 10), 90);
  EXPECT_EQ(small.getPixel(76, 49), 90);
  // Samples 0, 0, 1, 1 and 2, 2, 3, 3: the truncated means.
  CBlockVCH row(4, 1), half(2, 1);
  const uint8_t values[] = {10, 21, 200, 0};
  for (int32_t x = 0; x < 4; ++x) EXPECT_TRUE(row.setPixel(x, 0, values[x]));
  ASSERT_TRUE(half.stretchFrom(row));
  EXPECT_EQ(half.getPixel(0, 0), 15);
  EXPECT_EQ(half.getPixel(1, 0), 100);
}

// The thumbnail sums each box a tile at a time; it must give the plain
// means of every pixel, for a mask of uniform and committed tiles, at sizes
// that cut the tiles anywhere and with boxes that pass the mask's edges.
TEST(MaskStretch, BoxesSummedByTileAreThePlainMeans) {
  CBlockVCH mask(333, 210);
  std::mt19937 rng(7);
  for (int32_t i = 0; i < mask.tileCount(); ++i) {
    STileRec& t = mask.tileRef(i);
    t.uniform = rng() & 0xFF;
    if (rng() % 2 == 0) continue;
    ASSERT_TRUE(mask.commitTile(t));
    for (int32_t k = 0; k < 4096; ++k) mask.tileMemory(t)[k] = uint8_t(rng());
  }
  struct Case {
    SRectXYWH dst, src;
  };
  for (const Case c : {Case{{0, 0, 64, 40}, {0, 0, 333, 210}}, Case{{0, 0, 7, 5}, {0, 0, 333, 210}},
                       Case{{0, 0, 50, 50}, {-20, 30, 400, 250}}, Case{{3, 2, 20, 9}, {65, 63, 129, 70}}}) {
    TMTC plane(70, 50);
    fill(plane, 0);
    ASSERT_TRUE(mask.stretchToChannel(plane, c.dst, c.src));
    const int64_t rx = (int64_t{c.src.Width} << 10) / c.dst.Width, ry = (int64_t{c.src.Height} << 10) / c.dst.Height;
    const int32_t bw = c.src.Width / c.dst.Width + 1, bh = c.src.Height / c.dst.Height + 1;
    for (int32_t y = c.dst.Y; y < c.dst.Y + c.dst.Height; ++y)
      for (int32_t x = c.dst.X; x < c.dst.X + c.dst.Width; ++x) {
        uint64_t sum = 0;
        for (int32_t i = 0; i < bh; ++i)
          for (int32_t j = 0; j < bw; ++j)
            sum += mask.getPixelOr0(int32_t(((x * rx) >> 10) + c.src.X + j), int32_t(((y * ry) >> 10) + c.src.Y + i));
        ASSERT_EQ(plane.getPixel(x, y), uint32_t(sum / (uint64_t(bw) * bh)) * 0x010101u) << x << "," << y;
      }
  }
}

}  // namespace
}  // namespace pg
