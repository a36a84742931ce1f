// The seed fillers against a plain breadth-first reference on seeded random
// pictures, and the rules of the alpha-aware and masked variants.
#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "core/blend_arith.h"
#include "core/colour.h"
#include "core/plane_ops.h"
#include "document/seed_fill.h"

namespace pg::test {
namespace {

// The region a fill must find: 4-connected pixels inside `area` within the
// tolerance of the seed's colour (and where the mask allows), breadth-first.
std::vector<uint8_t> referenceRegion(const TMTC& img, const TRect& area, TPoint seed, uint32_t tol,
                                     const std::vector<uint8_t>* allowed) {
  const int32_t w = img.Width;
  std::vector<uint8_t> out(static_cast<size_t>(w) * static_cast<size_t>(img.Height), 0);
  const uint32_t seedColour = img.getPixel(seed.X, seed.Y);
  const auto ok = [&](int32_t x, int32_t y) {
    if (x < area.Left || x >= area.Right || y < area.Top || y >= area.Bottom) return false;
    const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
    if (out[i] != 0) return false;
    if (allowed != nullptr && (*allowed)[i] == 0) return false;
    return colorDistanceSq(seedColour, img.getPixel(x, y)) <= tol;
  };
  std::deque<TPoint> queue;
  if (!ok(seed.X, seed.Y)) return out;
  queue.push_back(seed);
  out[static_cast<size_t>(seed.Y) * static_cast<size_t>(w) + static_cast<size_t>(seed.X)] = 255;
  while (!queue.empty()) {
    const TPoint p = queue.front();
    queue.pop_front();
    const TPoint next[4] = {{p.X + 1, p.Y}, {p.X - 1, p.Y}, {p.X, p.Y + 1}, {p.X, p.Y - 1}};
    for (const TPoint& n : next) {
      if (!ok(n.X, n.Y)) continue;
      out[static_cast<size_t>(n.Y) * static_cast<size_t>(w) + static_cast<size_t>(n.X)] = 255;
      queue.push_back(n);
    }
  }
  return out;
}

void put(TMTC& p, int32_t x, int32_t y, uint32_t v) { *p.pixelAt(x, y) = v; }

std::vector<uint8_t> channelBytes(const TChannel& c) {
  std::vector<uint8_t> out;
  for (int32_t y = 0; y < c.Height; ++y)
    for (int32_t x = 0; x < c.Width; ++x) out.push_back(c.getPixel(x, y));
  return out;
}

// A maze-like picture: few colours in short runs, so regions wind and touch
// the edges, and single pixels stand alone.
void randomPicture(TMTC& img, uint32_t seed) {
  std::mt19937 rng(seed);
  const uint32_t palette[4] = {0xFF102030, 0xFF112131, 0xFFF0E0D0, 0xFF808080};
  for (int32_t y = 0; y < img.Height; ++y)
    for (int32_t x = 0; x < img.Width; ++x) put(img, x, y, palette[rng() % 4]);
}

void copyToTiles(const TMTC& img, CBlockVMTC& tiles) {
  for (int32_t y = 0; y < img.Height; ++y)
    for (int32_t x = 0; x < img.Width; ++x) EXPECT_TRUE(tiles.setPixel(x, y, img.getPixel(x, y)));
}

TEST(SeedFill, BothSourcesMatchTheBreadthFirstReference) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    TMTC img(70, 45);
    randomPicture(img, seed);
    CBlockVMTC tiles(70, 45);
    copyToTiles(img, tiles);
    std::mt19937 rng(seed * 77);
    // Seeds anywhere, the corners included; bounds the whole picture or a
    // part of it; tolerances that join the two dark colours or not.
    const TPoint seeds[] = {{0, 0}, {69, 44}, {static_cast<int32_t>(rng() % 70), static_cast<int32_t>(rng() % 45)}};
    const TRect areas[] = {{0, 0, 70, 45}, {5, 3, 60, 40}, {-10, -10, 500, 500}};
    for (const TPoint& s : seeds) {
      for (const TRect& area : areas) {
        for (int32_t tol : {1, 10, 800}) {
          const TRect clipped{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, 70),
                              std::min(area.Bottom, 45)};
          const std::vector<uint8_t> want = referenceRegion(img, clipped, s, static_cast<uint32_t>(tol), nullptr);
          const bool inside = s.X >= clipped.Left && s.X < clipped.Right && s.Y >= clipped.Top && s.Y < clipped.Bottom;
          TChannel outFlat(70, 45), outTiled(70, 45);
          fill(outFlat, 0);
          fill(outTiled, 0);
          CSeedFillTC flat(kSeedFillCapacity, img, outFlat, area);
          CSeedFill tiled(kSeedFillCapacity, tiles, outTiled, area);
          ASSERT_EQ(flat.fill(s, tol), inside);
          ASSERT_EQ(tiled.fill(s, tol), inside);
          EXPECT_FALSE(flat.overflowed());
          EXPECT_EQ(channelBytes(outFlat), want) << "seed " << seed << " at " << s.X << "," << s.Y << " tol " << tol;
          EXPECT_EQ(channelBytes(outTiled), want);
        }
      }
    }
  }
}

TEST(SeedFill, GradedValuesToleranceAndOverflow) {
  // One row: seed grey 100, then 101 (distance 3), then 102 (distance 12).
  TMTC img(3, 1);
  put(img, 0, 0, 0xFF646464);
  put(img, 1, 0, 0xFF656565);
  put(img, 2, 0, 0xFF666666);
  TChannel out(3, 1);
  fill(out, 0);
  CSeedFillTC f(kSeedFillCapacity, img, out, TRect{0, 0, 3, 1});
  // Tolerance 0 keeps the default 10: the third pixel stays out.
  ASSERT_TRUE(f.fill({0, 0}, 0));
  EXPECT_EQ(f.tolerance, 10u);
  EXPECT_NE(out.getPixel(1, 0), 0);
  EXPECT_EQ(out.getPixel(2, 0), 0);
  // A pixel exactly at the tolerance is inside.
  fill(out, 0);
  ASSERT_TRUE(f.fill({0, 0}, 12));
  EXPECT_NE(out.getPixel(2, 0), 0);

  // A seed outside the bounds: false, the output untouched.
  fill(out, 7);
  EXPECT_FALSE(f.fill({3, 0}, 12));
  EXPECT_EQ(out.getPixel(0, 0), 7);

  // A checkerboard needs a run start per cell: a tiny queue overflows and
  // the fill answers true with the part found so far.
  TMTC board(64, 64);
  for (int32_t y = 0; y < 64; ++y)
    for (int32_t x = 0; x < 64; ++x) put(board, x, y, (x % 2 == 0 || y % 2 == 0) ? 0xFF000000 : 0xFFFFFFFF);
  TChannel bo(64, 64);
  fill(bo, 0);
  CSeedFillTC small(4, board, bo, TRect{0, 0, 64, 64});
  EXPECT_TRUE(small.fill({0, 0}, 1));
  EXPECT_TRUE(small.overflowed());
}

TEST(SeedFill, AlphaRules) {
  // Transparent seed: the region is the connected low alpha (2a² <= tol).
  TMTC img(4, 1);
  put(img, 0, 0, 0x00000000);
  put(img, 1, 0, 0x05FF0000);  // 2 x 25 = 50
  put(img, 2, 0, 0x06FF0000);  // 2 x 36 = 72
  put(img, 3, 0, 0x00000000);
  TChannel out(4, 1);
  fill(out, 0);
  CSeedFillTCWithAlpha t(kSeedFillCapacity, img, out, TRect{0, 0, 4, 1});
  ASSERT_TRUE(t.fill({0, 0}, 60));
  EXPECT_TRUE(t.seedTransparent);
  EXPECT_EQ(channelBytes(out), (std::vector<uint8_t>{255, 255, 0, 0}));

  // Opaque seed: a transparent neighbour stops the region for any tolerance
  // below 196608.
  TMTC row(3, 1);
  put(row, 0, 0, 0xFF000000);
  put(row, 1, 0, 0x00000000);
  put(row, 2, 0, 0xFF000000);
  TChannel o2(3, 1);
  fill(o2, 0);
  CSeedFillTCWithAlpha opaque(kSeedFillCapacity, row, o2, TRect{0, 0, 3, 1});
  ASSERT_TRUE(opaque.fill({0, 0}, 196607));
  EXPECT_EQ(channelBytes(o2), (std::vector<uint8_t>{255, 0, 0}));
  fill(o2, 0);
  ASSERT_TRUE(opaque.fill({0, 0}, 196608));
  EXPECT_EQ(channelBytes(o2), (std::vector<uint8_t>{255, 255, 255}));

  // A light translucent seed is flattened onto black, a dark one onto white.
  TMTC one(1, 1);
  put(one, 0, 0, 0x80FFFFFF);
  TChannel o3(1, 1);
  fill(o3, 0);
  CSeedFillTCWithAlpha light(kSeedFillCapacity, one, o3, TRect{0, 0, 1, 1});
  ASSERT_TRUE(light.fill({0, 0}, 10));
  uint32_t flat = 0;
  lerpPixelRgb(&flat, 0x80FFFFFF, 0x80);
  EXPECT_EQ(light.seedColor & 0xFFFFFF, flat & 0xFFFFFF);
  EXPECT_EQ(light.flattenColor, 0u);
}

TEST(SeedFill, TheMaskIsAWallTheRegionCannotCross) {
  TMTC img(20, 10);
  fill(img, 0xFF203040);
  CBlockVMTC tiles(20, 10);
  copyToTiles(img, tiles);
  // The mask (offset by 2, 1 from the source) is 0 in column 12 of the source.
  CBlockVCH mask(24, 12);
  std::vector<uint8_t> allowed(200, 0);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 20; ++x) {
      const uint8_t v = x == 12 ? 0 : 200;
      EXPECT_TRUE(mask.setPixel(x + 2, y + 1, v));
      allowed[static_cast<size_t>(y * 20 + x)] = v;
    }
  const std::vector<uint8_t> want = referenceRegion(img, TRect{0, 0, 20, 10}, {3, 3}, 10, &allowed);
  TChannel a(20, 10), b(20, 10);
  fill(a, 0);
  fill(b, 0);
  CSeedFillWithMask tiled(kSeedFillCapacity, tiles, a, TRect{0, 0, 20, 10});
  CSeedFillTCWithMask flat(kSeedFillCapacity, img, b, TRect{0, 0, 20, 10});
  tiled.setMask(&mask, {2, 1});
  flat.setMask(&mask, {2, 1});
  ASSERT_TRUE(tiled.fill({3, 3}, 10));
  ASSERT_TRUE(flat.fill({3, 3}, 10));
  EXPECT_EQ(channelBytes(a), want);
  EXPECT_EQ(channelBytes(b), want);
  EXPECT_EQ(a.getPixel(15, 3), 0);
  // A seed where the mask is 0 finds nothing.
  fill(a, 0);
  EXPECT_FALSE(tiled.fill({12, 3}, 10));
}

}  // namespace
}  // namespace pg::test
