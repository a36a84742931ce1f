// The older floor's perspective tables: the grid and its distances, the
// horizon row, the two planes on either side of it.
#include <gtest/gtest.h>

#include <cmath>

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

}  // namespace
}  // namespace pg
