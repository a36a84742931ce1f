#include "toolwin/nib_radius_mapping.h"

#include <gtest/gtest.h>

namespace pg {
namespace {

double positionOfRadius(double r) { return nibRadiusInFilter((r - 0.1) / 199.9); }

TEST(NibRadiusMapping, SmallSizesTakeMostOfTheSlider) {
  const std::pair<double, double> cases[] = {
      {0.1, 0.0}, {200.0, 1.0}, {1.0, 1620.0 / 41221.0}, {10.0, 17820.0 / 55630.0}, {100.0, 179820.0 / 199720.0},
  };
  for (auto [r, p] : cases) {
    EXPECT_NEAR(positionOfRadius(r), p, 1e-12) << r;
    EXPECT_NEAR(0.1 + 199.9 * nibRadiusOutFilter(p), r, 1e-9) << r;
  }
  // Inputs outside 0..1 are clamped.
  EXPECT_EQ(nibRadiusInFilter(-1), 0.0);
  EXPECT_NEAR(nibRadiusInFilter(2), 1.0, 1e-12);
  EXPECT_NEAR(nibRadiusOutFilter(5), 1.0, 1e-12);
}

TEST(NibRadiusMapping, AStepMovesTheSliderByATwentieth) {
  for (float r : {0.5f, 3.0f, 10.0f, 60.0f}) {
    float up = stepNibRadius(r, true);
    EXPECT_NEAR(positionOfRadius(up) - positionOfRadius(r), 0.05, 1e-5) << r;
    EXPECT_NEAR(stepNibRadius(up, false), r, 1e-3) << r;
  }
  EXPECT_EQ(stepNibRadius(200.0f, true), 200.0f);
  EXPECT_EQ(stepNibRadius(0.1f, false), 0.1f);
}

}  // namespace
}  // namespace pg
