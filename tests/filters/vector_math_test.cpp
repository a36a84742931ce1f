// The light geometry's vectors and rotation matrix.
#include <gtest/gtest.h>

#include <numbers>

#include "filters/vector_math.h"

namespace pg {
namespace {

TEST(VectorMath, QuarterTurnsAboutZAndY) {
  TVector3 v;
  v.set(1, 0, 0);
  v.rotateZ(std::numbers::pi / 2);
  EXPECT_NEAR(v.x, 0.0f, 1e-7f);
  EXPECT_NEAR(v.y, 1.0f, 1e-7f);
  EXPECT_NEAR(v.z, 0.0f, 1e-7f);
  v.set(1, 0, 0);
  v.rotateY(std::numbers::pi / 2);
  EXPECT_NEAR(v.x, 0.0f, 1e-7f);
  EXPECT_NEAR(v.y, 0.0f, 1e-7f);
  EXPECT_NEAR(v.z, 1.0f, 1e-7f);
  TVector2 w{1, 0};
  w.rotate(float(std::numbers::pi / 2));
  EXPECT_NEAR(w.x, 0.0f, 1e-7f);
  EXPECT_NEAR(w.y, 1.0f, 1e-7f);
}

TEST(VectorMath, LengthsDistancesAndDots) {
  TVector3 zero;
  zero.setLength(1.0f);
  EXPECT_EQ(zero.x, 0.0f);
  EXPECT_EQ(zero.y, 0.0f);
  EXPECT_EQ(zero.z, 0.0f);
  TVector3 v;
  v.set(3, 0, 4);
  v.setLength(10.0f);
  EXPECT_FLOAT_EQ(v.x, 6.0f);
  EXPECT_FLOAT_EQ(v.z, 8.0f);
  TVector3 a, b;
  a.set(1, 2, 3);
  b.set(4, 6, 3);
  EXPECT_FLOAT_EQ(TVector3::distance(a, b), 5.0f);
  EXPECT_EQ(TVector3::distance(a, a), 0.0f);
  EXPECT_DOUBLE_EQ(TVector3::dot(a, b), 4.0 + 12.0 + 9.0);
  TVector3::subtract(b, a);
  EXPECT_FLOAT_EQ(b.x, 3.0f);
  EXPECT_FLOAT_EQ(b.y, 4.0f);
  EXPECT_FLOAT_EQ(b.z, 0.0f);
  TVector2 w{3, 4};
  EXPECT_FLOAT_EQ(w.length(), 5.0f);
  w.scale(2.0f);
  EXPECT_FLOAT_EQ(w.y, 8.0f);
}

TEST(VectorMath, TheMatrixLeavesItsFourthRowAndColumnOut) {
  T44Matrix m;
  m.identity();
  m.m[3][0] = 100.0;  // never read
  m.m[0][3] = 100.0;
  TVector3 in, out;
  in.set(1, 2, 3);
  m.transform(in, out);
  EXPECT_FLOAT_EQ(out.x, 1.0f);
  EXPECT_FLOAT_EQ(out.y, 2.0f);
  EXPECT_FLOAT_EQ(out.z, 3.0f);
}

}  // namespace
}  // namespace pg
