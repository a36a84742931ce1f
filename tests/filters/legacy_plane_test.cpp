// The older floor's perspective tables: the grid and its distances, the
// horizon row, the two planes on either side of it; the three-texel sampler
// against a plain reference and the plane rendered with its fog and modes.
#include <gtest/gtest.h>

#include <cmath>

#include "core/planes.h"
#include "filters/legacy_plane.h"

namespace pg {
namespace {

TEST(LegacyPlane, InitSizesTheGridAndTheDistances) {
  struct Case {
    int32_t w, h, fog;
    bool ok;
    int32_t nearD, farD;
  };
  for (const Case& c : std::vector<Case>{{100, 60, 100, true, 40, 8000},
                                         {100, 60, 0, true, 40, 47},   // fog below 1 counts as 1
                                         {1, 1, 50, true, 1, 71},      // tiny areas keep a near distance of 1
                                         {0, 10, 50, false, 0, 0},
                                         {10, -1, 50, false, 0, 0}}) {
    CInfinitePlane p;
    ASSERT_EQ(p.init(c.w, c.h, c.fog), c.ok) << c.w << "x" << c.h;
    if (!c.ok) continue;
    EXPECT_EQ(p.gridWidth(), c.w + 1);
    EXPECT_EQ(p.gridHeight(), c.h + 1);
    EXPECT_EQ(p.nearDistance(), c.nearD) << c.w << "x" << c.h << " fog " << c.fog;
    EXPECT_EQ(p.fogDistance(), c.farD) << c.w << "x" << c.h << " fog " << c.fog;
  }
}

TEST(LegacyPlane, TablesAboveAndBelowTheHorizon) {
  CInfinitePlane p;
  ASSERT_TRUE(p.init(40, 30, 60));
  p.setParams(5.0, 10.0, -3.0, 0.3, 0.0);
  p.buildTables(nullptr, nullptr, 25.0, 50.0);
  const int32_t horizon = p.gridHeight() / 2;
  for (int32_t i = 0; i < p.gridWidth(); i += 7) {
    // With no pitch the horizon is the middle row: as far as the plane goes.
    EXPECT_EQ(p.side(i, horizon), 0);
    EXPECT_EQ(p.u(i, horizon), 0.0);
    EXPECT_EQ(p.v(i, horizon), double(1 << 30));
    EXPECT_EQ(p.distance(i, horizon), p.fogDistance());
    EXPECT_EQ(p.side(i, 0), 0) << "above the middle the ray falls to the floor";
    EXPECT_EQ(p.side(i, p.gridHeight() - 1), 1) << "below it the ray rises to the ceiling";
  }
  for (int32_t j = 0; j < p.gridHeight(); ++j)
    for (int32_t i = 0; i < p.gridWidth(); ++i) {
      ASSERT_GE(p.distance(i, j), p.nearDistance());
      ASSERT_LE(p.distance(i, j), p.fogDistance());
    }
  // Straight ahead on the floor's first row: t = (0 - 10) / -15, u = eye x - t x 50 x sin(heading).
  const int32_t mid = p.gridWidth() / 2;
  const double t = -10.0 / (0 - p.gridHeight() / 2);
  EXPECT_NEAR(p.u(mid, 0), t * (-50.0 * std::sin(0.3)) + 5.0, 1e-9);
  EXPECT_NEAR(p.v(mid, 0), t * (50.0 * std::cos(0.3)) - 3.0, 1e-9);
}

TEST(LegacyPlane, ThreeTexelSamplerMatchesItsPlainReference) {
  // A 3 x 2 texture; (u, v) in texels, wrapping.
  TMTC tex(3, 2);
  const uint32_t px[2][3] = {{0xFF000000u, 0xFF0000FFu, 0xFF00FF00u}, {0xFFFF0000u, 0x00808080u, 0xFFFFFFFFu}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) *tex.pixelAt(x, y) = px[y][x];
  // Byte b of the weighted mean of (texel, weight) pairs.
  const auto mean = [](std::initializer_list<std::pair<uint32_t, double>> taps) {
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      double sum = 0;
      for (const auto& [p, wgt] : taps) sum += double(p >> shift & 0xFF) * wgt;
      out |= uint32_t(std::lround(sum)) << shift;
    }
    return out;
  };
  struct Case {
    double u, v;
    uint32_t expected;
  };
  for (const Case& c : std::vector<Case>{
           {0, 0, px[0][0]},
           {2, 1, px[1][2]},
           {-1, -1, px[1][2]},  // wraps both ways
           {3, 2, px[0][0]},
           {0.5, 0, mean({{px[0][0], 0.5}, {px[0][1], 0.5}})},
           {1.25, 0.5, mean({{px[0][1], 0.25}, {px[0][2], 0.25}, {px[1][1], 0.5}})},
           // The far half of the cell: its far corner and the two beside it.
           {0.75, 0.75, mean({{px[1][1], 0.5}, {px[1][0], 0.25}, {px[0][1], 0.25}})},
           {2.5, 0.5, mean({{px[0][2], 0.0}, {px[0][0], 0.5}, {px[1][2], 0.5}})},
       })
    EXPECT_EQ(sampleThreeTexels(tex, c.u, c.v), c.expected) << c.u << "," << c.v;
  EXPECT_EQ(sampleThreeTexels(tex, std::nan(""), 0), 0u);
  EXPECT_EQ(sampleThreeTexels(tex, 1e300, -1e300), sampleThreeTexels(tex, 1e300, -1e300));
  TMTC empty;
  EXPECT_EQ(sampleThreeTexels(empty, 1, 1), 0u);
}

// A level view: the floor's colour below the horizon, the ceiling's above,
// fading into the fog towards the horizon row.
struct PlaneScene {
  PlaneScene() {
    EXPECT_TRUE(floorTex.Resize(4, 4));
    EXPECT_TRUE(ceilingTex.Resize(4, 4));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        *floorTex.pixelAt(x, y) = 0xFFFF0000u;
        *ceilingTex.pixelAt(x, y) = 0xFF0000FFu;
      }
    EXPECT_TRUE(plane.init(21, 21, 40));
    plane.setParams(0.0, 10.0, 0.0, 0.0, 0.0);
    plane.buildTables(&floorTex, &ceilingTex, 20.0, 30.0);
    EXPECT_TRUE(target.Resize(21, 21));
  }
  void fill(uint32_t v) {
    for (int y = 0; y < 21; ++y)
      for (int x = 0; x < 21; ++x) *target.pixelAt(x, y) = v;
  }
  TMTC floorTex, ceilingTex, target;
  CInfinitePlane plane;
};

TEST(LegacyPlane, RenderLaysBothPlanesIntoTheFog) {
  PlaneScene s;
  s.fill(0xFF123456u);
  CInfinitePlane::SRender how;
  how.fogColour = 0xFFFFFF;
  ASSERT_TRUE(s.plane.render(s.target, how, nullptr, nullptr));
  const uint32_t bottom = s.target.getPixel(10, 20), top = s.target.getPixel(10, 0), horizon = s.target.getPixel(10, 10);
  EXPECT_GT(bottom >> 16 & 0xFF, bottom & 0xFF) << std::hex << bottom << ": the floor, near";
  EXPECT_GT(top & 0xFF, top >> 16 & 0xFF) << std::hex << top << ": the ceiling, near";
  for (int shift = 0; shift < 24; shift += 8)
    EXPECT_GE(horizon >> shift & 0xFF, 0xC0u) << std::hex << horizon << ": by the horizon the fog's white prevails";
  EXPECT_LT(horizon >> 24, 0x80u) << std::hex << horizon << ": and the plane fades out";
  EXPECT_GT(bottom >> 24, s.target.getPixel(10, 12) >> 24) << "nearer rows show more of the plane";

  // Keep: the layer shows through the fog; protect: alpha stays.
  s.fill(0x80123456u);
  how.keepLayer = true;
  ASSERT_TRUE(s.plane.render(s.target, how, nullptr, nullptr));
  EXPECT_NE(s.target.getPixel(10, 10), horizon);
  EXPECT_LT(s.target.getPixel(10, 10) & 0xFF, horizon & 0xFF) << "the layer's dark blue byte shows";
  s.fill(0x80123456u);
  how.keepLayer = false;
  how.protectAlpha = true;
  ASSERT_TRUE(s.plane.render(s.target, how, nullptr, nullptr));
  for (int y = 0; y < 21; ++y) ASSERT_EQ(s.target.getPixel(3, y) >> 24, 0x80u) << y;
  // With full opacity the plane covers all; short of infinity the rows that
  // start at the fog distance are beyond, fog without texture.
  how = CInfinitePlane::SRender{};
  how.opacity = 255;
  for (const bool infinity : {true, false}) {
    s.fill(0xFF123456u);
    how.toInfinity = infinity;
    ASSERT_TRUE(s.plane.render(s.target, how, nullptr, nullptr));
    EXPECT_EQ(s.target.getPixel(10, 20) >> 24, 255u) << infinity;
    const uint32_t beyond = s.target.getPixel(10, 9);
    if (infinity) {
      EXPECT_EQ(beyond >> 24, 255u);
    } else {
      EXPECT_EQ(beyond & 0xFFFFFFu, 0xFFFFFFu) << std::hex << beyond;
    }
  }
  // Coverage: a pixel of weight 0 is left alone.
  s.fill(0xFF123456u);
  const auto leftHalf = [](const void*, int32_t x, int32_t) { return x < 10 ? 255u : 0u; };
  ASSERT_TRUE(s.plane.render(s.target, CInfinitePlane::SRender{}, leftHalf, nullptr));
  EXPECT_EQ(s.target.getPixel(15, 20), 0xFF123456u);
  EXPECT_NE(s.target.getPixel(5, 20), 0xFF123456u);
  // A target of another size is refused.
  TMTC other(20, 21);
  EXPECT_FALSE(s.plane.render(other, how, nullptr, nullptr));
}

}  // namespace
}  // namespace pg
