// Vectors and the rotation matrix of the light geometry.
#include "filters/vector_math.h"

#include <cmath>

#include "core/det_math.h"

namespace pg {

void TVector2::rotate(float angle) {
  const float c = dmath::cos(angle);
  const float s = dmath::sin(angle);
  const float nx = c * x - s * y;
  const float ny = s * x + c * y;
  x = nx;
  y = ny;
}

float TVector2::length() const { return std::sqrt(x * x + y * y); }

void TVector2::scale(float k) {
  x *= k;
  y *= k;
}

void TVector3::set(float nx, float ny, float nz) {
  x = nx;
  y = ny;
  z = nz;
}

double TVector3::dot(const TVector3& a, const TVector3& b) {
  return double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
}

void TVector3::setLength(float k) {
  const double len = std::sqrt(dot(*this, *this));
  if (len == 0.0) return;
  const double f = k / len;
  x = float(x * f);
  y = float(y * f);
  z = float(z * f);
}

float TVector3::distance(const TVector3& a, const TVector3& b) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
  const double sum = dx * dx + dy * dy + dz * dz;
  return sum == 0.0 ? 0.0f : float(std::sqrt(sum));
}

void TVector3::subtract(TVector3& a, const TVector3& b) {
  a.x -= b.x;
  a.y -= b.y;
  a.z -= b.z;
}

namespace {

// The vector turned by a rotation matrix built by `build`.
void rotateBy(TVector3& v, void (T44Matrix::*build)(double), double angle) {
  T44Matrix m;
  (m.*build)(angle);
  const TVector3 copy = v;
  m.transform(copy, v);
}

// A rotation in the plane of axis 0 and axis j.
void planeRotation(T44Matrix& t, size_t j, double angle) {
  t.identity();
  const double c = dmath::cos(angle), s = dmath::sin(angle);
  t.m[0][0] = c;
  t.m[0][j] = s;
  t.m[j][0] = -s;
  t.m[j][j] = c;
}

}  // namespace

void TVector3::rotateY(double angle) { rotateBy(*this, &T44Matrix::rotationY, angle); }

void TVector3::rotateZ(double angle) { rotateBy(*this, &T44Matrix::rotationZ, angle); }

void T44Matrix::identity() {
  for (auto& row : m) row.fill(0.0);
  for (int i = 0; i < 4; ++i) m[size_t(i)][size_t(i)] = 1.0;
}

void T44Matrix::rotationY(double angle) { planeRotation(*this, 2, angle); }

void T44Matrix::rotationZ(double angle) { planeRotation(*this, 1, angle); }

void T44Matrix::transform(const TVector3& in, TVector3& out) const {
  double r[3];
  for (size_t j = 0; j < 3; ++j) r[j] = in.x * m[0][j] + in.y * m[1][j] + in.z * m[2][j];
  out.set(float(r[0]), float(r[1]), float(r[2]));
}

}  // namespace pg
