// The older tiles, clouds/rocks and floor kernels: square tiles against a
// plain reference, triangles covering the area, the clouds texture's
// determinism and tiling, the colouring against hand-worked values, the
// floor's planes, the selection, and parameters that would divide by zero or
// read past the colours.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "filter_fixture.h"
#include "filters/legacy_param_words.h"
#include "filters/legacy_render_kernels.h"

namespace pg {
namespace legacy_render_kernels_test {

using testing::FilterFixture;
using test::words;

bool run(FilterKernel k, FilterFixture& f, const std::vector<uint8_t>& p) {
  const SFlt4Context c = f.context();
  return k(&c, p.data(), int32_t(p.size()));
}

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

// count, shape | cell << 8, three colours
std::vector<uint8_t> tiles(uint32_t count, uint32_t shape, uint32_t cell) {
  return words({count, shape | cell << 8, kRed, kGreen, kBlue});
}
// colour 1, colour 2, seed, unused, mode word, texture size
std::vector<uint8_t> clouds(int32_t mode, uint32_t strength, bool noise, uint32_t tw, uint32_t th, uint32_t seed = 77) {
  const uint32_t modeWord = (uint32_t(mode) & 0xFFFF) | (strength & 0x7FFF) << 16 | (noise ? 1u << 31 : 0u);
  return words({0xFFFFFFu, 0x000000u, seed, 0, modeWord, tw | th << 16});
}

TEST(LegacyTiles, SquaresMatchTheirPlainReference) {
  struct Case {
    int32_t size, cell;
    uint32_t count;
    int32_t painted;  // the painted part of each side: cells rounded half to even, cut by the edge
  };
  for (const Case& c : std::vector<Case>{{16, 4, 3, 16}, {16, 4, 2, 16}, {10, 4, 3, 8}, {14, 4, 1, 16}, {6, 4, 3, 6}}) {
    FilterFixture f(c.size, c.size);
    f.fill(0x00000000u);
    ASSERT_TRUE(run(&legacyTiles4Kernel, f, tiles(c.count, 0, uint32_t(c.cell)))) << c.size;
    const uint32_t colours[] = {kRed, kGreen, kBlue};
    for (int32_t y = 0; y < c.size; ++y)
      for (int32_t x = 0; x < c.size; ++x) {
        const bool inside = x < c.painted && y < c.painted;
        const uint32_t expected = inside ? colours[(x / c.cell + y / c.cell) % int32_t(c.count)] : 0u;
        ASSERT_EQ(f.pixel(x, y), expected) << c.size << "/" << c.count << " at " << x << "," << y;
      }
  }
}

TEST(LegacyTiles, TrianglesCoverTheAreaInTheirColours) {
  FilterFixture f(24, 24);
  f.fill(0x00000000u);
  ASSERT_TRUE(run(&legacyTiles4Kernel, f, tiles(3, 1, 8)));
  f.dumpIfAsked("legacy_triangle_tiles");
  std::set<uint32_t> full;
  int opaque = 0;
  for (int32_t y = 0; y < 24; ++y)
    for (int32_t x = 0; x < 24; ++x) {
      const uint32_t p = f.pixel(x, y);
      EXPECT_NE(p >> 24, 0u) << "a hole at " << x << "," << y;
      if ((p >> 24) == 255 && (p == kRed || p == kGreen || p == kBlue)) {
        full.insert(p);
        ++opaque;
      }
    }
  EXPECT_EQ(full.size(), 3u);
  EXPECT_GT(opaque, 24 * 24 / 2);
}

TEST(LegacyTiles, KeepAlphaAndUnselectedPixels) {
  FilterFixture f(16, 16);
  f.fill(0x80102030u);
  f.protectAlpha = true;
  f.setSelection([](int32_t x, int32_t) { return uint8_t(x < 8 ? 255 : 0); });
  ASSERT_TRUE(run(&legacyTiles4Kernel, f, tiles(3, 0, 4)));
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 16; ++x) {
      if (x >= 8) {
        ASSERT_EQ(f.pixel(x, y), 0x80102030u) << x << "," << y;
      } else {
        ASSERT_EQ(f.pixel(x, y) >> 24, 0x80u) << x << "," << y;
        ASSERT_NE(f.pixel(x, y), 0x80102030u) << x << "," << y;
      }
    }
}

TEST(LegacyCloudsRocks, TextureIsSeededSoftAndBounded) {
  const std::vector<uint8_t> a = legacyCloudTexture(40, 30, 5, 1.0, true);
  EXPECT_EQ(a, legacyCloudTexture(40, 30, 5, 1.0, true));
  EXPECT_NE(a, legacyCloudTexture(40, 30, 6, 1.0, true));
  const std::set<uint8_t> values(a.begin(), a.end());
  EXPECT_GT(values.size(), 10u);
  // Without noise the texture is the flat middle grey; blurring keeps it.
  for (uint8_t v : legacyCloudTexture(7, 5, 5, 1.0, false)) ASSERT_EQ(v, 128);
  // A texture of one texel is well defined.
  EXPECT_EQ(legacyCloudTexture(1, 1, 5, 3.0, true).size(), 1u);
}

TEST(LegacyCloudsRocks, ColoursByMode) {
  struct Case {
    const char* what;
    std::vector<uint8_t> params;
    uint32_t expected;  // every pixel of a flat texture
  };
  for (const Case& c : std::vector<Case>{
           // Clouds: the texel itself (128) is the amount of colour 1 over colour 2.
           {"clouds", clouds(-1, 10, false, 8, 8), 0xFF808080u},
           // Rocks: the distance from 128 (0 here) against half the mode.
           {"rocks", clouds(100, 10, false, 8, 8), 0xFF000000u},
           // A mode of 0 or 1: half of it is 0, every distance reaches it.
           {"rocks of mode 1", clouds(1, 10, false, 8, 8), 0xFFFFFFFFu},
       }) {
    FilterFixture f(12, 12);
    f.fill(0x00336699u);
    ASSERT_TRUE(run(&legacyCloudsRocks4Kernel, f, c.params)) << c.what;
    for (int32_t y = 0; y < 12; ++y)
      for (int32_t x = 0; x < 12; ++x) ASSERT_EQ(f.pixel(x, y), c.expected) << c.what << " at " << x << "," << y;
  }
}

TEST(LegacyCloudsRocks, TextureTilesTheArea) {
  FilterFixture f(30, 20);
  f.fill(0xFF000000u);
  ASSERT_TRUE(run(&legacyCloudsRocks4Kernel, f, clouds(-1, 40, true, 12, 8)));
  f.dumpIfAsked("legacy_clouds");
  std::set<uint32_t> seen;
  for (int32_t y = 0; y < 20; ++y)
    for (int32_t x = 0; x < 30; ++x) {
      seen.insert(f.pixel(x, y));
      if (x + 12 < 30) {
        ASSERT_EQ(f.pixel(x, y), f.pixel(x + 12, y)) << x << "," << y;
      }
      if (y + 8 < 20) {
        ASSERT_EQ(f.pixel(x, y), f.pixel(x, y + 8)) << x << "," << y;
      }
    }
  EXPECT_GT(seen.size(), 5u);
}

TEST(LegacyFloor, LaysThePlanesInsideTheSelection) {
  TMTC ceiling(8, 8), floor(8, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) {
      *ceiling.pixelAt(x, y) = ((x + y) & 1) != 0 ? 0xFF2040E0u : 0xFFE0E0E0u;
      *floor.pixelAt(x, y) = ((x / 2 + y / 2) & 1) != 0 ? 0xFFC03010u : 0xFF303030u;
    }
  SFltFloor rec;
  initFltFloor(rec);
  rec.EyeDistance = 20.0f;  // percent of the longer side
  rec.ProjectionDistance = 100;
  rec.CeilingHeight = 40;
  rec.FogDistance = 60;
  rec.FogColour = 0xFFFFFF;
  rec.FogOpacity = 50;

  FilterFixture f(24, 16);
  f.fill(0xFF336699u);
  f.setSelection([](int32_t x, int32_t) { return uint8_t(x < 12 ? 255 : 0); });
  SFlt4Context c = f.context();
  ASSERT_TRUE(legacyFloorRender(&c, rec, &ceiling, &floor));
  int changed = 0;
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 24; ++x) {
      if (x >= 12) {
        ASSERT_EQ(f.pixel(x, y), 0xFF336699u) << x << "," << y;
      } else {
        changed += f.pixel(x, y) != 0xFF336699u;
      }
    }
  EXPECT_GT(changed, 12 * 16 / 2);
  // The floor below the horizon shows its reds, the ceiling above its blues.
  EXPECT_GT(f.pixel(4, 15) >> 16 & 0xFF, f.pixel(4, 15) & 0xFF) << std::hex << f.pixel(4, 15);
  EXPECT_GT(f.pixel(4, 0) & 0xFF, f.pixel(4, 0) >> 16 & 0xFF) << std::hex << f.pixel(4, 0);
  f.dumpIfAsked("legacy_floor");

  // Without both images nothing is laid; a single pixel and hostile values
  // are well defined.
  FilterFixture g(5, 5);
  g.fill(0xFF336699u);
  c = g.context();
  EXPECT_TRUE(legacyFloorRender(&c, rec, nullptr, &floor));
  EXPECT_TRUE(g.unchanged());
  FilterFixture one(1, 1);
  one.fill(0xFF336699u);
  c = one.context();
  rec.Pitch = std::nanf("");
  rec.EyeDistance = 1e30f;
  rec.FogOpacity = -100000;
  EXPECT_TRUE(legacyFloorRender(&c, rec, &ceiling, &floor));
}

// Parameters that would divide by zero or read past the record: true with
// nothing changed where nothing is drawn, else false.
TEST(LegacyRenderKernels, EdgeCases) {
  struct Case {
    const char* what;
    FilterKernel kernel;
    std::vector<uint8_t> params;
    bool result;
    bool changes;
  };
  const std::vector<Case> cases = {
      {"tiles of cell 0", &legacyTiles4Kernel, tiles(3, 0, 0), true, false},
      {"tiles of no colours", &legacyTiles4Kernel, tiles(0, 0, 4), false, false},
      {"tiles of more colours than the record holds", &legacyTiles4Kernel, tiles(4, 0, 4), false, false},
      {"tiles of an unknown shape", &legacyTiles4Kernel, tiles(3, 2, 4), false, false},
      {"triangles of cell 1", &legacyTiles4Kernel, tiles(3, 1, 1), true, true},
      {"square tiles wider than the layer", &legacyTiles4Kernel, tiles(2, 0, 255), true, false},
      {"tiles record of the wrong size", &legacyTiles4Kernel, words({3, 4 << 8, kRed, kGreen}), false, false},
      {"clouds of texture width 0", &legacyCloudsRocks4Kernel, clouds(-1, 10, true, 0, 8), true, false},
      {"clouds of texture height 0", &legacyCloudsRocks4Kernel, clouds(-1, 10, true, 8, 0), true, false},
      {"clouds texture beyond the layer", &legacyCloudsRocks4Kernel, clouds(-1, 10, true, 60000, 60000), true, true},
      {"rocks of mode 0", &legacyCloudsRocks4Kernel, clouds(0, 10, true, 8, 8), true, true},
      {"clouds record of the wrong size", &legacyCloudsRocks4Kernel, words({1, 2, 3, 4, 5}), false, false},
  };
  for (const Case& c : cases) {
    FilterFixture f(10, 10);
    f.fill(0xFF336699u);
    EXPECT_EQ(run(c.kernel, f, c.params), c.result) << c.what;
    EXPECT_EQ(!f.unchanged(), c.changes) << c.what;
  }
}

}  // namespace legacy_render_kernels_test
}  // namespace pg
