#include "core/block_image.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/block_pool.h"
#include "platform/debug_output.h"

namespace pg {
namespace {

TEST(BlockImageGeometry, NewImageIsUniformBackgroundWithClippedEdgeTiles) {
  CBlockVMTC img(100, 70);
  ASSERT_TRUE(img.isValid());
  EXPECT_EQ(img.columns(), 4);
  EXPECT_EQ(img.rows(), 3);
  const STileRec* t = img.tileAtIndex(3, 2);
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(img.tileX(*t), 96);
  EXPECT_EQ(img.tileY(*t), 64);
  EXPECT_EQ(img.clippedWidth(*t), 4);
  EXPECT_EQ(img.clippedHeight(*t), 6);
  EXPECT_EQ(img.committedBytes(), 0u);
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 100; ++x) ASSERT_EQ(img.getPixel(x, y), 0x00FFFFFFu);
  EXPECT_EQ(img.committedBytes(), 0u);
}

TEST(BlockImageGeometry, ChannelSizesAndRefusedSizes) {
  struct Case {
    int32_t w, h;
    bool valid;
    int32_t cols, rows;
  };
  const Case cases[] = {
      {0, 0, false, 0, 0},    {65, 1, true, 2, 1},       {64, 64, true, 1, 1},
      {-5, 10, false, 0, 0},  {10, 0, false, 0, 0},      {20000, 20000, false, 0, 0},
  };
  for (const Case& c : cases) {
    CBlockVCH ch(c.w, c.h);
    EXPECT_EQ(ch.isValid(), c.valid) << c.w << "x" << c.h;
    EXPECT_EQ(ch.columns(), c.cols) << c.w << "x" << c.h;
    EXPECT_EQ(ch.rows(), c.rows) << c.w << "x" << c.h;
    if (!c.valid) {
      EXPECT_EQ(ch.size(), (SSize{0, 0}));
    }
  }
  CBlockVMTC empty(0, 0);
  EXPECT_FALSE(empty.isValid());
}

TEST(BlockImageGeometry, HugeEmptyImageCostsOnlyItsRecords) {
  const uint64_t blocksBefore = tilePool().blocksInUse();
  CBlockVMTC img(10000, 10000);
  ASSERT_TRUE(img.isValid());
  EXPECT_EQ(img.columns(), 313);
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_LT(img.tableBytes(), 1u << 20);  // eight bytes a tile
  EXPECT_EQ(img.getPixel(9999, 9999), 0x00FFFFFFu);
  img.fill(0x11223344);
  EXPECT_TRUE(img.xorAll(0x00FFFFFF));
  EXPECT_EQ(img.getPixel(5000, 5000), 0x11DDCCBBu);
  EXPECT_EQ(tilePool().blocksInUse(), blocksBefore);
}

TEST(BlockImagePixels, ReadsNeverCommitWritesAlwaysDo) {
  CBlockVMTC img(100, 70);
  (void)img.getPixel(5, 5);
  (void)img.getPixelClamped(500, -3);
  (void)img.getPixelOrBackground(99, 69);
  (void)img.getPixelGrey(40, 40);
  EXPECT_EQ(img.committedBytes(), 0u);

  // Writing the value the tile already has still commits it.
  EXPECT_TRUE(img.setPixel(5, 5, 0x00FFFFFF));
  EXPECT_EQ(img.committedBytes(), 4096u);
  ASSERT_NE(img.pixelPtr(40, 40), nullptr);
  EXPECT_EQ(img.committedBytes(), 8192u);
  EXPECT_EQ(img.compact(), 2);
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_EQ(img.getPixel(5, 5), 0x00FFFFFFu);
}

TEST(BlockImagePixels, CompactTakesTheTilesColourAndSparesMixedTiles) {
  CBlockVMTC img(100, 70);
  img.fill(0x80102030);  // uniform tiles only change their colour
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_TRUE(img.setPixel(1, 1, 0x80102030));
  EXPECT_TRUE(img.setPixel(33, 1, 0xFF000000));
  img.fill(0x01020304);  // committed tiles stay committed, every pixel equal
  EXPECT_EQ(img.committedBytes(), 8192u);
  EXPECT_TRUE(img.setPixel(34, 1, 0xFF000000));
  EXPECT_EQ(img.compact(), 1);
  EXPECT_EQ(img.committedBytes(), 4096u);
  EXPECT_EQ(img.getPixel(1, 1), 0x01020304u);
  EXPECT_FALSE(img.tileAtIndex(0, 0)->committed());
  EXPECT_EQ(img.tileAtIndex(0, 0)->uniform, 0x01020304u);
}

TEST(BlockImagePixels, EdgeTileWithOldPaddingIsNotCompacted) {
  CBlockVMTC img(100, 70);
  const STileRec* t = img.tileAtIndex(3, 2);
  for (int y = 64; y < 70; ++y)
    for (int x = 96; x < 100; ++x) EXPECT_TRUE(img.setPixel(x, y, 0xFF00FF00));
  EXPECT_TRUE(t->committed());
  EXPECT_EQ(img.compact(), 0);
  EXPECT_TRUE(t->committed());
}

TEST(BlockImagePixels, ReadsOutsideTheImage) {
  CBlockVMTC img(40, 40);
  EXPECT_TRUE(img.setPixel(0, 0, 0xFF123456));
  EXPECT_EQ(img.getPixel(-1, 0), 0u);
  EXPECT_EQ(img.getPixel(0, -1), 0u);
  EXPECT_EQ(img.getPixel(64, 0), 0u);
  EXPECT_EQ(img.getPixelOrBackground(-1, 0), 0x00FFFFFFu);
  EXPECT_EQ(img.getPixelOrBackground(40, 0), 0x00FFFFFFu);
  EXPECT_EQ(img.getPixelClamped(-1, 0), 0xFF123456u);
  EXPECT_EQ(img.getPixelClamped(-100, -100), 0xFF123456u);
  CBlockVCH ch(65, 1);
  EXPECT_EQ(ch.getPixelOr0(-1, 0), 0);
}

TEST(BlockImagePixels, WritesOutsideTheImageAreRefused) {
  CBlockVMTC img(40, 40);
  const TPoint outside[] = {{-1, 0}, {0, -1}, {40, 0}, {0, 40}, {63, 63}, {1 << 30, 0}, {INT32_MIN, INT32_MIN}};
  for (TPoint p : outside) {
    EXPECT_EQ(img.pixelPtr(p.X, p.Y), nullptr) << p.X << "," << p.Y;
    EXPECT_FALSE(img.setPixel(p.X, p.Y, 1)) << p.X << "," << p.Y;
  }
  EXPECT_EQ(img.tileAtIndex(-1, 0, true), nullptr);
  EXPECT_EQ(img.tileAtIndex(2, 0, true), nullptr);
  EXPECT_EQ(img.committedBytes(), 0u);
  EXPECT_EQ(img.pixelAddress(-1, 0, true), nullptr);
  EXPECT_EQ(img.pixelAddress(5, 5, false), nullptr);  // uniform: no address without a commit
  EXPECT_EQ(img.committedBytes(), 0u);
  // The clamped form moves the point inside.
  ASSERT_NE(img.pixelPtrClamped(100, -5), nullptr);
  EXPECT_TRUE(img.tileAtIndex(1, 0)->committed());
  EXPECT_EQ(img.pixelAddress(39, 0, false), img.pixelPtr(39, 0));
  CBlockVCH ch(70, 70);
  EXPECT_EQ(ch.pixelPtr(-1, 3), nullptr);
  EXPECT_FALSE(ch.setPixel(70, 0, 1));
}

TEST(BlockImageFaults, FailedCommitAnswersNullAndIsReported) {
  std::vector<std::string> lines;
  DebugSink old = setDebugSink([&](std::string_view t) { lines.emplace_back(t); });
  CBlockVMTC img(100, 100);
  {
    CTilePoolFailScope fail(1);  // one tile can be had, then none
    EXPECT_TRUE(img.setPixel(1, 1, 0xFF000000));
    EXPECT_FALSE(img.commitFailed());
    EXPECT_EQ(img.pixelPtr(50, 50), nullptr);
    EXPECT_FALSE(img.setPixel(50, 50, 0xFF000000));
    EXPECT_EQ(img.tileAt(50, 50, true), nullptr);
    EXPECT_TRUE(img.commitFailed());
  }
  setDebugSink(old);
  EXPECT_EQ(img.committedBytes(), 4096u);
  EXPECT_EQ(img.getPixel(50, 50), 0x00FFFFFFu);  // the refused tile stays as it was
  ASSERT_EQ(lines.size(), 1u);                   // reported once per image
  EXPECT_EQ(lines[0], "CBlockImage::commitTile: out of memory!\\n");
  EXPECT_TRUE(img.setPixel(50, 50, 0xFF000000));  // memory is back
}

TEST(BlockImageFaults, CopyFailsWhenTilesCannotBeHad) {
  CBlockVMTC src(64, 64);
  EXPECT_TRUE(src.setPixel(0, 0, 1));
  EXPECT_TRUE(src.setPixel(40, 40, 2));
  CBlockVMTC dst(64, 64);
  {
    CTilePoolFailScope fail(1);
    EXPECT_FALSE(dst.assignTiles(src));
    EXPECT_TRUE(dst.commitFailed());
    EXPECT_EQ(CBlockVMTC::CreateCopy(src), nullptr);
  }
  EXPECT_TRUE(dst.assignTiles(src));
  EXPECT_EQ(dst.getPixel(40, 40), 2u);
}

TEST(BlockImageBounds, OpaqueBoundsAreWholeTiles) {
  CBlockVMTC img(40, 40);
  TRect r{};
  EXPECT_FALSE(img.getOpaqueBounds(r));
  EXPECT_TRUE(img.setPixel(35, 35, 0x01000000));
  ASSERT_TRUE(img.getOpaqueBounds(r));
  EXPECT_EQ(r, (TRect{32, 32, 64, 64}));
  EXPECT_TRUE(img.fillAlphaAll(0));
  img.tileAtIndex(0, 0, false)->uniform = 0x80000000;
  ASSERT_TRUE(img.getOpaqueBounds(r));
  EXPECT_EQ(r, (TRect{0, 0, 32, 32}));
}

TEST(BlockImageBounds, ChannelTileBoundsAndExactBounds) {
  CBlockVCH ch(200, 150);
  TRect r{};
  EXPECT_FALSE(ch.getTileBounds(r));
  EXPECT_FALSE(ch.getBounds(r));
  EXPECT_TRUE(ch.setPixel(5, 7, 9));
  EXPECT_TRUE(ch.setPixel(130, 100, 0));  // a committed tile of zeros counts for the tile bounds only
  ASSERT_TRUE(ch.getBounds(r));
  EXPECT_EQ(r, (TRect{5, 7, 6, 8}));
  ASSERT_TRUE(ch.getTileBounds(r));
  EXPECT_EQ(r, (TRect{0, 0, 192, 128}));
  ch.tileAtIndex(3, 2, false)->uniform = 1;  // uniform non-zero edge tile: its visible part
  ASSERT_TRUE(ch.getBounds(r));
  EXPECT_EQ(r, (TRect{5, 7, 200, 150}));
}

TEST(BlockImageTiles, AlignToTilesUsesTheImagesOwnEdge) {
  CBlockVMTC img(200, 200);
  CBlockVCH ch(200, 200);
  SRectXYWH a{70, 70, 1, 1}, b{70, 70, 1, 1}, c{-3, 5, 30, 60};
  img.alignToTiles(a);
  ch.alignToTiles(b);
  ch.alignToTiles(c);
  EXPECT_EQ(a, (SRectXYWH{64, 64, 32, 32}));
  EXPECT_EQ(b, (SRectXYWH{64, 64, 64, 64}));
  EXPECT_EQ(c, (SRectXYWH{-64, 0, 128, 128}));
}

TEST(BlockImageTiles, AssignTilesCopiesOnlyCommonTiles) {
  CBlockVMTC src(100, 40);  // 4 x 2 tiles
  for (int c = 0; c < 4; ++c) EXPECT_TRUE(src.setPixel(c * 32 + 1, 33, 0xFF000000u + static_cast<uint32_t>(c)));
  src.tileAtIndex(3, 0, false)->uniform = 0x12345678;
  CBlockVMTC dst(64, 100);  // 2 x 4 tiles
  EXPECT_TRUE(dst.setPixel(60, 90, 7));
  ASSERT_TRUE(dst.assignTiles(src));
  EXPECT_EQ(dst.getPixel(1, 33), 0xFF000000u);
  EXPECT_EQ(dst.getPixel(33, 33), 0xFF000001u);
  EXPECT_EQ(dst.getPixel(60, 90), 7u);  // outside the common tiles
  EXPECT_EQ(dst.committedTiles(), 3);
  // A uniform source tile makes the destination tile uniform with its colour.
  CBlockVMTC flat(100, 40);
  flat.tileAtIndex(0, 1, false)->uniform = 0xAB;
  ASSERT_TRUE(dst.assignTiles(flat));
  EXPECT_EQ(dst.getPixel(1, 33), 0xABu);
  EXPECT_EQ(dst.committedTiles(), 1);
}

TEST(BlockImageTiles, AssignTilesRectOnChannelsMovesWholeSixtyFourPixelTiles) {
  CBlockVCH src(256, 256);
  EXPECT_TRUE(src.setPixel(70, 70, 5));  // tile (1, 1)
  EXPECT_TRUE(src.setPixel(130, 10, 6));  // tile (2, 0)
  CBlockVCH dst(256, 256);
  ASSERT_TRUE(dst.assignTilesRect(src, SRectXYWH{70, 70, 1, 1}, TPoint{128, 128}));
  EXPECT_EQ(dst.getPixel(128 + 6, 128 + 6), 5);
  EXPECT_EQ(dst.committedTiles(), 1);
  // Tiles that would land outside the destination are left out.
  CBlockVCH small(100, 100);
  EXPECT_TRUE(small.assignTilesRect(src, SRectXYWH{0, 0, 256, 256}, TPoint{0, 0}));
  EXPECT_EQ(small.getPixel(70, 70), 5);
  EXPECT_EQ(small.committedTiles(), 1);
}

TEST(BlockImageTiles, ViewsOverCommittedTilesOwnNothing) {
  CBlockVMTC img(64, 64);
  EXPECT_TRUE(img.setPixel(33, 2, 0xCAFEBABE));
  const STileRec& t = *img.tileAtIndex(1, 0);
  {
    TVMTC v = img.view(t);
    ASSERT_TRUE(v.IsAllocated());
    EXPECT_EQ(v.Width, 32);
    EXPECT_EQ(v.RowStep(), 32);
    EXPECT_EQ(v.ByteSize(), 4096);
    EXPECT_FALSE(v.Resize(10, 10));
    EXPECT_EQ(v.getPixel(1, 2), 0xCAFEBABEu);
    *v.pixelAt(0, 0) = 5;
  }
  EXPECT_EQ(img.getPixel(32, 0), 5u);  // the view wrote into the tile and freed nothing
  TVMTC uniformView = img.view(*img.tileAtIndex(0, 0));
  EXPECT_FALSE(uniformView.IsAllocated());
  CBlockVCH ch(70, 70);
  EXPECT_TRUE(ch.setPixel(3, 63, 9));
  TVChannel cv = ch.view(*ch.tileAtIndex(0, 0));
  EXPECT_EQ(cv.RowStep(), 64);
  EXPECT_EQ(cv.getPixel(3, 63), 9);
}

TEST(BlockImageWalkers, BlockPiecesLieInOneTileOfEachImage) {
  CBlockVMTC src(200, 150);
  CBlockVMTC dst(180, 170);
  struct Piece {
    int dc, dr, sc, sr;
    SRectXYWH piece;
    TPoint srcPos;
  };
  std::vector<Piece> pieces;
  const SRectXYWH rect{13, 7, 150, 90};
  const TPoint point{-5, 21};
  ASSERT_TRUE(dst.forEachTileBlock(src, point, rect,
                                   [&](STileRec& d, const STileRec& s, const SRectXYWH& p, TPoint sp) {
                                     pieces.push_back({dst.tileColumn(d), dst.tileRow(d), src.tileColumn(s),
                                                       src.tileRow(s), p, sp});
                                     return true;
                                   }));
  int64_t area = 0;
  for (const Piece& p : pieces) {
    area += static_cast<int64_t>(p.piece.Width) * p.piece.Height;
    EXPECT_EQ(p.piece.X >> 5, p.dc);
    EXPECT_EQ((p.piece.X + p.piece.Width - 1) >> 5, p.dc);
    EXPECT_EQ((p.piece.Y + p.piece.Height - 1) >> 5, p.dr);
    EXPECT_EQ(p.srcPos.X >> 5, p.sc);
    EXPECT_EQ((p.srcPos.X + p.piece.Width - 1) >> 5, p.sc);
    EXPECT_EQ((p.srcPos.Y + p.piece.Height - 1) >> 5, p.sr);
    EXPECT_EQ(p.srcPos.X - p.piece.X, rect.X - point.X);  // one offset throughout
    EXPECT_EQ(p.srcPos.Y - p.piece.Y, rect.Y - point.Y);
  }
  // The point moved the first 5 columns off the destination.
  EXPECT_EQ(area, int64_t{145} * 90);
  EXPECT_FALSE(dst.forEachTileBlock(src, TPoint{500, 0}, rect,
                                    [](STileRec&, const STileRec&, const SRectXYWH&, TPoint) { return true; }));
}

TEST(BlockImageWalkers, RectWalkStopsAtTheFirstFailedPiece) {
  CBlockVMTC img(100, 100);
  int calls = 0;
  EXPECT_FALSE(img.forEachTileRect(SRectXYWH{0, 0, 100, 100}, [&](STileRec&, const SRectXYWH&) {
    return ++calls < 3;
  }));
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(img.forEachTileRect(SRectXYWH{-50, 0, 10, 10}, [](STileRec&, const SRectXYWH&) { return true; }));
  // Huge rectangles from a recording are clipped without overflow.
  calls = 0;
  EXPECT_FALSE(img.forEachTileRect(SRectXYWH{INT32_MAX - 5, 0, INT32_MAX, 10}, [&](STileRec&, const SRectXYWH&) {
    return ++calls, true;
  }));
  EXPECT_TRUE(img.forEachTileRect(SRectXYWH{-1000, -1000, INT32_MAX, INT32_MAX}, [&](STileRec&, const SRectXYWH&) {
    return ++calls, true;
  }));
  EXPECT_EQ(calls, 16);
}

TEST(TilePool, BlocksComeBackAndAddressesStayWhileTheImageLives) {
  const uint64_t before = tilePool().blocksInUse();
  uint32_t* p = nullptr;
  {
    CBlockVMTC a(64, 64);
    p = a.pixelPtr(3, 3);
    *p = 42;
    {
      CBlockVMTC b(2000, 2000);  // several chunks
      for (int y = 0; y < 2000; y += 32)
        for (int x = 0; x < 2000; x += 32) EXPECT_TRUE(b.setPixel(x, y, 1));
      EXPECT_EQ(tilePool().blocksInUse(), before + 1 + 63 * 63);
      b.compact();
    }
    EXPECT_EQ(a.pixelPtr(3, 3), p);
    EXPECT_EQ(a.getPixel(3, 3), 42u);
    EXPECT_EQ(tilePool().blocksInUse(), before + 1);
  }
  EXPECT_EQ(tilePool().blocksInUse(), before);
  // Empty chunks are given back (one spare may stay mapped).
  constexpr uint64_t kChunk = CTilePool::kBlocksPerChunk;
  EXPECT_LE(tilePool().bytesMapped(), (tilePool().blocksInUse() / kChunk + 3) * kChunk * 4096);
}

}  // namespace
}  // namespace pg
