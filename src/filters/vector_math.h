#pragma once
// Small value types for the geometry of lights: a 2-D and a 3-D vector of
// singles and a 4 x 4 rotation matrix of doubles (row-major; a vector is a
// row multiplied by the upper 3 x 3).
#include <array>

namespace pg {

struct TVector2 {
  float x = 0.0f;
  float y = 0.0f;
  // By angle radians: x' = cos x - sin y, y' = sin x + cos y.
  void rotate(float angle);
  float length() const;
  void scale(float k);
};

struct TVector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  void set(float nx, float ny, float nz);
  static double dot(const TVector3& a, const TVector3& b);
  // Scales to length k; a zero vector stays zero.
  void setLength(float k);
  static float distance(const TVector3& a, const TVector3& b);
  // a := a - b.
  static void subtract(TVector3& a, const TVector3& b);
  void rotateY(double angle);
  void rotateZ(double angle);
};

struct T44Matrix {
  std::array<std::array<double, 4>, 4> m{};
  void identity();
  void rotationY(double angle);
  void rotationZ(double angle);
  // out_j = x m[0][j] + y m[1][j] + z m[2][j].
  void transform(const TVector3& in, TVector3& out) const;
};

}  // namespace pg
