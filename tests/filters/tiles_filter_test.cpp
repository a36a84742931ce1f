#include "filters/tiles_filter.h"

#include <gtest/gtest.h>

#include "filters/filter_fixture.h"

namespace pg {
namespace tiles_filter_test {

using testing::FilterFixture;

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

bool runTiles(const SFlt4Context& c, const SFltTiles& rec) {
  uint8_t b[kTilesRecordSize];
  writeTilesRecord(rec, b);
  return tilesKernel(&c, b, kTilesRecordSize);
}

TEST(TilesFilter, RecordLayout) {
  uint8_t b[16];
  writeTilesRecord({0, 1, 300, {0x11223344u, 0x55667788u, 0x99AABBCCu}}, b);
  const uint8_t expected[16] = {0, 1, 0x2C, 0x01, 0x44, 0x33, 0x22, 0x11, 0x88, 0x77, 0x66, 0x55, 0xCC, 0xBB, 0xAA, 0x99};
  EXPECT_TRUE(std::equal(b, b + 16, expected));
  SFltTiles back;
  ASSERT_TRUE(readTilesRecord(b, 16, back));
  EXPECT_EQ(back.width, 300);
  EXPECT_EQ(back.colours[2], 0x99AABBCCu);
  EXPECT_FALSE(readTilesRecord(b, 8, back));
}

TEST(TilesFilter, SquaresFormCheckersAndDiagonalStripes) {
  FilterFixture f(20, 20);
  f.fill(0xFFFFFFFFu);
  SFlt4Context c = f.context({2, 2, 20, 20});
  c.bounds = {2, 2, 20, 20};  // tiles start at the work rectangle's corner
  ASSERT_TRUE(runTiles(c, {1, 0, 8, {kRed, kGreen, kBlue}}));
  struct Case {
    int32_t x, y;
    uint32_t expected;
  };
  for (const Case& k : {Case{2, 2, kRed}, Case{9, 9, kRed}, Case{10, 2, kGreen}, Case{2, 10, kGreen},
                        Case{18, 18, kRed}, Case{19, 10, kGreen},  // the cut cells at the edge
                        Case{1, 1, 0xFFFFFFFFu}})
    EXPECT_EQ(f.pixel(k.x, k.y), k.expected) << k.x << "," << k.y;

  FilterFixture g(24, 24);
  ASSERT_TRUE(runTiles(g.context(), {1, 1, 8, {kRed, kGreen, kBlue}}));
  // Three colours: (r + c) mod 3 runs along the diagonals.
  EXPECT_EQ(g.pixel(0, 0), kRed);
  EXPECT_EQ(g.pixel(8, 0), kGreen);
  EXPECT_EQ(g.pixel(0, 8), kGreen);
  EXPECT_EQ(g.pixel(16, 0), kBlue);
  EXPECT_EQ(g.pixel(8, 8), kBlue);
  EXPECT_EQ(g.pixel(16, 16), kGreen);
}

TEST(TilesFilter, TrianglesAlternateAndMirror) {
  // W = 9: rows of Hr = 8. Two colours: left and right red, middle green.
  FilterFixture f(27, 16);
  ASSERT_TRUE(runTiles(f.context(), {0, 0, 9, {kRed, kGreen, kBlue}}));
  // Even row: the middle triangle stands on the cell's bottom, apex at the top.
  EXPECT_EQ(f.pixel(4, 7), kGreen);
  EXPECT_EQ(f.pixel(0, 0), kRed);
  EXPECT_EQ(f.pixel(8, 0), kRed);
  // Odd row: upside down, its colours one on (left and right green, middle red).
  EXPECT_EQ(f.pixel(4, 8), kRed);
  EXPECT_EQ(f.pixel(0, 8), kRed);
  EXPECT_EQ(f.pixel(4, 15), kRed);
  EXPECT_EQ(f.pixel(0, 15), kGreen);
  // An odd width is symmetric about its middle column in every row.
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t u = 0; u < 9; ++u) ASSERT_EQ(f.pixel(u, y), f.pixel(8 - u, y)) << u << "," << y;

  // Three colours: the next cell starts two colours on, so the triangle
  // between two cells has one colour.
  FilterFixture g(18, 8);
  ASSERT_TRUE(runTiles(g.context(), {0, 1, 9, {kRed, kGreen, kBlue}}));
  EXPECT_EQ(g.pixel(0, 0), kRed);     // cell 0: left red, middle green, right blue
  EXPECT_EQ(g.pixel(4, 7), kGreen);
  EXPECT_EQ(g.pixel(8, 0), kBlue);
  EXPECT_EQ(g.pixel(9, 0), kBlue);    // cell 1: left blue, middle red, right green
  EXPECT_EQ(g.pixel(13, 7), kRed);
  EXPECT_EQ(g.pixel(17, 0), kGreen);
}

TEST(TilesFilter, OpacityAndProtectedAlpha) {
  // Transparent colours: triangles leave the layer as it was; squares bring
  // in no colour (blended over, the alpha follows the colour's).
  FilterFixture t(20, 20);
  t.fillRandom(3);
  ASSERT_TRUE(runTiles(t.context(), {0, 1, 8, {0x00FF0000u, 0x0000FF00u, 0x000000FFu}}));
  EXPECT_TRUE(t.unchanged());
  FilterFixture s(20, 20);
  s.fillRandom(3);
  ASSERT_TRUE(runTiles(s.context(), {1, 0, 8, {0x00FF0000u, 0x0000FF00u, 0}}));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) ASSERT_EQ(s.pixel(x, y), s.original(x, y) & 0x00FFFFFFu);

  FilterFixture p(20, 20);
  p.fillRandom(4);
  p.protectAlpha = true;
  p.setSelection([](int32_t x, int32_t) { return static_cast<uint8_t>(x < 10 ? 0 : 255); });
  ASSERT_TRUE(runTiles(p.context(), {0, 1, 8, {kRed, kGreen, kBlue}}));
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      ASSERT_EQ(pixelAlpha(p.pixel(x, y)), pixelAlpha(p.original(x, y)));
      if (x < 10) {
        ASSERT_EQ(p.pixel(x, y), p.original(x, y));
      }
    }
}

TEST(TilesFilter, HostileRecords) {
  FilterFixture f(16, 16);
  f.fillRandom(5);
  EXPECT_FALSE(runTiles(f.context(), {1, 0, 7, {kRed, kGreen, kBlue}}));  // width below 8
  EXPECT_FALSE(runTiles(f.context(), {2, 0, 8, {kRed, kGreen, kBlue}}));  // no such shape
  EXPECT_TRUE(f.unchanged());
  // A third-colour byte above 1 means three colours, never more.
  SFltTiles rec{1, 200, 8, {kRed, kGreen, kBlue}};
  EXPECT_EQ(tilesColourCount(rec), 3);
  ASSERT_TRUE(runTiles(f.context(), rec));
  EXPECT_EQ(f.pixel(8, 8), kBlue);
  EXPECT_TRUE(runTiles(f.context(), {0, 255, 65535, {kRed, kGreen, kBlue}}));  // one huge cell
}

}  // namespace tiles_filter_test
}  // namespace pg
