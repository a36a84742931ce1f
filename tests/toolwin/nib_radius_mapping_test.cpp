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

TEST(NibScaleMapping, OneHundredPerCentSitsInTheMiddle) {
  struct Case {
    double low, high;
  };
  for (const Case& c : {Case{10, 500}, Case{50, 200}, Case{90, 110}, Case{1, 5000}}) {
    SCOPED_TRACE(::testing::Message() << c.low << ".." << c.high);
    const double hundred = (1.0 - c.low / 100.0) / ((c.high - c.low) / 100.0);  // v of 100 %
    EXPECT_NEAR(nibScaleInFilter(hundred, c.low, c.high), 0.5, 1e-12);
    EXPECT_NEAR(nibScaleOutFilter(0.5, c.low, c.high), hundred, 1e-12);
    EXPECT_DOUBLE_EQ(nibScaleInFilter(0.0, c.low, c.high), 0.0);
    EXPECT_NEAR(nibScaleInFilter(1.0, c.low, c.high), 1.0, 1e-12);
    for (double v : {0.1, 0.3, 0.77})
      EXPECT_NEAR(nibScaleOutFilter(nibScaleInFilter(v, c.low, c.high), c.low, c.high), v, 1e-12);
    EXPECT_DOUBLE_EQ(nibScaleInFilter(-2.0, c.low, c.high), 0.0);
    EXPECT_NEAR(nibScaleOutFilter(7.0, c.low, c.high), 1.0, 1e-12);
  }
}

TEST(NibScaleMapping, ARangeWithout100InsideIsLinearNotUndefined) {
  // A parametric nib's range is 100..100, an image nib's may start at 100:
  // the bend's denominator would be zero there.
  struct Case {
    double low, high;
  };
  for (const Case& c : {Case{100, 100}, Case{100, 500}, Case{20, 100}, Case{150, 400}}) {
    SCOPED_TRACE(::testing::Message() << c.low << ".." << c.high);
    for (double v : {0.0, 0.25, 1.0}) {
      EXPECT_DOUBLE_EQ(nibScaleInFilter(v, c.low, c.high), v);
      EXPECT_DOUBLE_EQ(nibScaleOutFilter(v, c.low, c.high), v);
    }
  }
}

}  // namespace
}  // namespace pg
