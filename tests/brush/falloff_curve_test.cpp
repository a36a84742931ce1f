#include "brush/falloff_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace pg {
namespace falloff_curve_test {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(FalloffProfiles, ValuesOfTheEightTypes) {
  struct Case {
    uint32_t type;
    float t, w;
  };
  const float sq075 = std::sqrt(0.75f);
  const Case cases[] = {
      {0, 0.0f, 1.0f},    {0, 0.25f, 0.75f},         {0, 1.0f, 0.0f},
      {1, 0.0f, 1.0f},    {1, 0.5f, 0.3f},           {1, 1.0f, 0.0f},
      {2, 0.7f, 1.0f},    {3, 0.5f, sq075},          {3, 1.0f, 0.0f},
      {4, 0.5f, 0.75f},   {5, 0.5f, 0.5f},           {5, 1.0f, 0.0f},
      {6, 0.0f, 1.0f},    {6, 0.5f, 1.0f - sq075},   {6, 1.0f, 0.0f},
      {7, 0.4f, 1.0f},    {8, 0.4f, 1.0f},           {255, 0.9f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "type " << c.type << " t " << c.t);
    EXPECT_NEAR(falloffCurveFunc(c.type)(c.t), c.w, 1e-6f);
  }
  EXPECT_NEAR(falloffPowerExponent(), 1.7369655941662063, 1e-12);
}

TEST(FalloffProfiles, DistancesOutsideTheDabStayInRange) {
  for (uint32_t type = 0; type < 8; ++type) {
    SCOPED_TRACE(type);
    const FalloffFunc f = falloffCurveFunc(type);
    for (float t : {-3.0f, 1.5f, 40.0f, kNaN, std::numeric_limits<float>::infinity()}) {
      const float w = f(t);
      EXPECT_TRUE(w >= 0.0f && w <= 1.0f) << "t " << t << " gives " << w;
    }
  }
}

TEST(FalloffProfiles, GradeTypesAreTheFalloffTypesRenumbered) {
  // Grade type -> falloff type: 0 -> 3, 1 -> 4, 2 -> 5, 3 -> 0, 4 -> 1, 5 -> 6.
  const uint32_t falloffOf[6] = {3, 4, 5, 0, 1, 6};
  for (int32_t g = 0; g < 6; ++g)
    for (float t : {0.0f, 0.1f, 0.5f, 0.8f, 1.0f}) {
      SCOPED_TRACE(::testing::Message() << "grade " << g << " t " << t);
      EXPECT_NEAR(gradeProfileFunc(g)(t), falloffCurveFunc(falloffOf[g])(t), 1e-6);
    }
  // Types outside 0..5 are linear.
  EXPECT_EQ(gradeProfileFunc(-1)(0.25), 0.75);
  EXPECT_EQ(gradeProfileFunc(255)(0.25), 0.75);
}

TEST(FalloffCurveEval, CoreAndFloor) {
  struct Case {
    const char* what;
    float t, core, floor, w;
  };
  const Case cases[] = {
      {"centre", 0.0f, 0.0f, 0.0f, 1.0f},
      {"plain profile", 0.25f, 0.0f, 0.0f, 0.75f},
      {"inside the core", 0.3f, 0.5f, 0.0f, 1.0f},
      {"past the core", 0.75f, 0.5f, 0.0f, 0.5f},
      {"full core", 0.9f, 1.0f, 0.0f, 1.0f},
      {"floor", 1.0f, 0.0f, 0.25f, 0.25f},
      {"floor and profile", 0.5f, 0.0f, 0.5f, 0.75f},
      {"full floor", 0.9f, 0.0f, 1.0f, 1.0f},
      {"beyond the rim", 2.0f, 0.0f, 0.0f, 0.0f},
      {"before the centre", -1.0f, 0.0f, 0.0f, 1.0f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_NEAR(evalFalloffCurve(curveLinear, c.t, c.core, c.floor), c.w, 1e-6f);
  }
  EXPECT_EQ(evalFalloffCurve(nullptr, 0.5f, 0.0f, 0.0f), 1.0f);
  const float w = evalFalloffCurve(curveCircle, kNaN, 0.2f, 0.1f);
  EXPECT_TRUE(w >= 0.0f && w <= 1.0f);
}

}  // namespace falloff_curve_test
}  // namespace pg
